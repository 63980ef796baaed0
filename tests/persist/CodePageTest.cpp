#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "CodePage.h"

namespace orv {
namespace {

const std::string kZoe = "Zo\xC3\xAB";                     // Zoë
const std::string kZhongWen = "\xE4\xB8\xAD\xE6\x96\x87";  // 中文
const std::string kEuro = "\xE2\x82\xAC";

TEST(CodePage, WesternWritesOneBytePerLatinCharacterAndDefaultsTheRest) {
  bool used = true;
  EXPECT_EQ(Utf8ToCodePage(kZoe, kCodePageWestern, '#', &used), "Zo\xEB");
  EXPECT_FALSE(used);
  EXPECT_EQ(Utf8ToCodePage(kEuro, kCodePageWestern, '#'), "\x80");
  EXPECT_EQ(Utf8ToCodePage("a" + kZhongWen + "b", kCodePageWestern, '#', &used), "a##b");
  EXPECT_TRUE(used);
  EXPECT_EQ(Utf8ToCodePage("x\r\ny", kCodePageWestern, '#'), "x\r\ny");
}

TEST(CodePage, WesternReadsBack) {
  EXPECT_EQ(CodePageToUtf8("Zo\xEB", kCodePageWestern), kZoe);
  EXPECT_EQ(CodePageToUtf8("\x80", kCodePageWestern), kEuro);
  // The five bytes 1252 leaves undefined read as the control characters of
  // the same value rather than failing.
  EXPECT_EQ(CodePageToUtf8("a\x81"
                           "b\x9D",
                           kCodePageWestern),
            "a\xC2\x81"
            "b\xC2\x9D");
}

TEST(CodePage, ChineseWritesDoubleBytesAndReadsThemBack) {
  EXPECT_EQ(Utf8ToCodePage(kZhongWen, kCodePageChinese, '#'), "\xD6\xD0\xCE\xC4");
  EXPECT_EQ(CodePageToUtf8("\xD6\xD0\xCE\xC4", kCodePageChinese), kZhongWen);
  EXPECT_EQ(Utf8ToCodePage(kEuro, kCodePageChinese, '#'), "\x80");
  bool used = false;
  EXPECT_EQ(Utf8ToCodePage(kZoe, kCodePageChinese, '?', &used), "Zo?");
  EXPECT_TRUE(used);
  // A byte that starts nothing, and a lead byte cut short at the end.
  EXPECT_EQ(CodePageToUtf8("a\xFF"
                           "b",
                           kCodePageChinese),
            "a\xEF\xBF\xBD"
            "b");
  EXPECT_EQ(CodePageToUtf8("a\xD6", kCodePageChinese), "a\xEF\xBF\xBD");
}

TEST(CodePage, Utf8CodePagePassesTextAndReplacesMalformedBytes) {
  EXPECT_EQ(Utf8ToCodePage(kZoe + kZhongWen, kCodePageUtf8, '#'), kZoe + kZhongWen);
  EXPECT_EQ(Utf8ToCodePage("a\xC3", kCodePageUtf8, '#'), "a\xEF\xBF\xBD");
  EXPECT_EQ(CodePageToUtf8("a\xFF"
                           "b",
                           kCodePageUtf8),
            "a\xEF\xBF\xBD"
            "b");
  // Malformed input to a single-byte code page takes the default character.
  EXPECT_EQ(Utf8ToCodePage("a\xFF"
                           "b",
                           kCodePageWestern, '#'),
            "a#b");
}

// Every sequence Unicode rules out becomes U+FFFD, one for each longest
// valid beginning, in both directions of the UTF-8 code page; what is valid
// passes unchanged.
TEST(CodePage, Utf8CodePageLetsOnlyWellFormedTextThrough) {
  const std::string r = "\xEF\xBF\xBD";
  const struct {
    const char* name;
    std::string bytes;
    std::string text;
  } cases[] = {
      {"beyond U+10FFFF", "a\xF4\x90\x80\x80z", "a" + r + r + r + r + "z"},
      {"five-byte form", "\xF8\x88\x80\x80\x80", r + r + r + r + r},
      {"overlong slash", "\xC0\xAF", r + r},
      {"overlong three bytes", "\xE0\x80\xAF", r + r + r},
      {"overlong four bytes", "\xF0\x8F\xBF\xBF", r + r + r + r},
      {"high surrogate", "\xED\xA0\x80", r + r + r},
      {"cut short before a letter",
       "\xE2\x82"
       "A",
       r + "A"},
      {"lone continuation", "\x80", r},
      {"largest character", "\xF4\x8F\xBF\xBF", "\xF4\x8F\xBF\xBF"},
      {"replacement character itself", r, r},
      {"surrogate pair spelt as UTF-8", "\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CodePageToUtf8(c.bytes, kCodePageUtf8), c.text) << c.name;
    bool replaced = false;
    EXPECT_EQ(Utf8ToCodePage(c.bytes, kCodePageUtf8, '#', &replaced), c.text) << c.name;
    EXPECT_EQ(replaced, c.bytes != c.text) << c.name;
  }
}

TEST(CodePage, AnsiCodePageFollowsTheLocaleUnlessOverridden) {
  EXPECT_EQ(AnsiCodePageForLocale("zh_CN.UTF-8"), kCodePageChinese);
  EXPECT_EQ(AnsiCodePageForLocale("zh_CN"), kCodePageChinese);
  EXPECT_EQ(AnsiCodePageForLocale("zh-CN"), kCodePageChinese);
  EXPECT_EQ(AnsiCodePageForLocale("zh_CN.GB18030@stroke"), kCodePageChinese);
  EXPECT_EQ(AnsiCodePageForLocale("zh_TW.UTF-8"), kCodePageWestern);
  EXPECT_EQ(AnsiCodePageForLocale("zh_CNX"), kCodePageWestern);
  EXPECT_EQ(AnsiCodePageForLocale("de_DE.UTF-8"), kCodePageWestern);
  EXPECT_EQ(AnsiCodePageForLocale(""), kCodePageWestern);

  const char* saved = std::getenv("LC_ALL");
  const std::string savedText = saved != nullptr ? saved : "";
  setenv("LC_ALL", "zh_CN.UTF-8", 1);
  EXPECT_EQ(AnsiCodePage(), kCodePageChinese);
  EXPECT_EQ(Utf8ToCodePage(kZhongWen, kCodePageAnsi, '#'), "\xD6\xD0\xCE\xC4");
  setenv("LC_ALL", "en_GB.UTF-8", 1);
  EXPECT_EQ(AnsiCodePage(), kCodePageWestern);
  SetAnsiCodePageForTesting(kCodePageChinese);
  EXPECT_EQ(AnsiCodePage(), kCodePageChinese);
  SetAnsiCodePageForTesting(0);
  EXPECT_EQ(AnsiCodePage(), kCodePageWestern);
  if (saved != nullptr) {
    setenv("LC_ALL", savedText.c_str(), 1);
  } else {
    unsetenv("LC_ALL");
  }
}

TEST(CodePage, Utf16LittleEndianBothWays) {
  const std::string face = "\xF0\x9F\x98\x80";  // U+1F600, a surrogate pair
  EXPECT_EQ(Utf8ToUtf16Le("A" + kZoe.substr(2) + kZhongWen.substr(0, 3) + face),
            std::string("A\0\xEB\0\x2D\x4E\x3D\xD8\x00\xDE", 10));
  EXPECT_EQ(Utf16LeToUtf8(std::string("A\0\x2D\x4E\x3D\xD8\x00\xDE", 8)),
            "A" + kZhongWen.substr(0, 3) + face);
  // An unpaired surrogate becomes U+FFFD, a final odd byte is dropped.
  EXPECT_EQ(Utf16LeToUtf8(std::string("\x3D\xD8"
                                      "A\0"
                                      "B",
                                      5)),
            "\xEF\xBF\xBD"
            "A");
}

TEST(CodePage, Utf16LengthAndPrefixCountCodeUnits) {
  const std::string face = "\xF0\x9F\x98\x80";
  EXPECT_EQ(Utf16Length("abc"), 3u);
  EXPECT_EQ(Utf16Length(kZhongWen), 2u);
  EXPECT_EQ(Utf16Length("a" + face), 3u);
  EXPECT_EQ(Utf16Prefix(kZhongWen + "x", 1), kZhongWen.substr(0, 3));
  // A pair that does not fit whole is left out rather than split.
  EXPECT_EQ(Utf16Prefix("a" + face, 2), "a");
  EXPECT_EQ(Utf16Prefix("a" + face, 3), "a" + face);
  EXPECT_EQ(Utf16Prefix("abc", 0), "");
}

TEST(CodePage, UnfinishedTailFindsCharactersCutAtTheEnd) {
  EXPECT_EQ(UnfinishedTail("a\xD6", kCodePageChinese), 1u);
  EXPECT_EQ(UnfinishedTail("\xD6\xD0", kCodePageChinese), 0u);
  EXPECT_EQ(UnfinishedTail("\xD6\xD0\xCE", kCodePageChinese), 1u);
  // 0xD6 here is the trail byte of the pair that starts at 0xCE.
  EXPECT_EQ(UnfinishedTail("\xCE\xD6", kCodePageChinese), 0u);
  EXPECT_EQ(UnfinishedTail("a\xE4\xB8", kCodePageUtf8), 2u);
  EXPECT_EQ(UnfinishedTail("a\xE4\xB8\xAD", kCodePageUtf8), 0u);
  EXPECT_EQ(UnfinishedTail("a\xD6", kCodePageWestern), 0u);
}

}  // namespace
}  // namespace orv
