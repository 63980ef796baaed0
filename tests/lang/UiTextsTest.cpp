// The UI text table, language selection, lookups and the port-switch texts.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

#include "Ini.h"
#include "LangTestSupport.h"
#include "UiTexts.h"

namespace orv {
namespace {

using test::ProgramFolder;
using test::ReadBytes;

std::string Sids(int n) {
  return "SIDS_" + std::to_string(n);
}

TEST(BuiltInTexts, KeepEveryBlankCapitalAndSpelling) {
  EXPECT_EQ(BuiltInUiText(0), "Picture Mode");
  EXPECT_EQ(BuiltInUiText(15), "EDID Selcet");
  EXPECT_EQ(BuiltInUiText(42), " User ");
  EXPECT_EQ(BuiltInUiText(64), " User ");
  EXPECT_EQ(BuiltInUiText(58), " Low Light1 ");
  EXPECT_EQ(BuiltInUiText(65), "Waitting Operation ...");
  EXPECT_EQ(BuiltInUiText(82), "Getting Data From Desitination... ");
  EXPECT_EQ(BuiltInUiText(83), "Search Desitination Machine... ");
  EXPECT_EQ(BuiltInUiText(96), "Customized  Resolution");
  EXPECT_EQ(BuiltInUiText(100), " Free Run");
  EXPECT_EQ(BuiltInUiText(136), "In Serial Interface mode Take Function is not available");
  EXPECT_EQ(BuiltInUiText(145), "Fixed to HDMI");
  EXPECT_EQ(BuiltInUiText(149), "Auto(Default DP)");
  EXPECT_EQ(BuiltInUiText(160), "PIP3 Input Source Is  Signal Off");
  EXPECT_EQ(BuiltInUiText(-1), "");
  EXPECT_EQ(BuiltInUiText(kUiTextCount), "");
}

TEST(BuiltInTexts, TableStartsBuiltInAndIgnoresSlotsOutsideIt) {
  UiTexts::ResetToBuiltIn();
  for (int n = 0; n < kUiTextCount; ++n) EXPECT_EQ(UiText(n), BuiltInUiText(n)) << n;
  UiTexts::Set(38, "Hinweis");
  UiTexts::Set(161, "out of range");
  UiTexts::Set(-1, "out of range");
  EXPECT_EQ(UiText(38), "Hinweis");
  EXPECT_EQ(UiText(161), "");
  EXPECT_EQ(UiText(-1), "");
  UiTexts::ResetToBuiltIn();
  EXPECT_EQ(UiText(38), "Tips");
}

using ShippedLanguages = ProgramFolder;

TEST_F(ShippedLanguages, EnglishFileHoldsTheBuiltInTextsExactly) {
  InstallShippedLanguages();
  SelectLanguage("English");
  EXPECT_EQ(LanguageFilePath(), LanguageDir() + "English.ini");
  for (int n = 0; n < kUiTextCount; ++n) EXPECT_EQ(GetText(Sids(n)), BuiltInUiText(n)) << n;
  const std::string bytes = ReadBytes(LanguageDir() + "English.ini");
  for (unsigned char c : bytes) ASSERT_LT(c, 0x80) << "English.ini must be plain ASCII";
}

TEST_F(ShippedLanguages, ChineseFileIsUtf16AndTranslatesEveryKey) {
  InstallShippedLanguages();
  const std::string bytes = ReadBytes(LanguageDir() + "Chinese.ini");
  ASSERT_GE(bytes.size(), 2u);
  EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");

  const std::string english = LanguageDir() + "English.ini";
  const std::string chinese = LanguageDir() + "Chinese.ini";
  EXPECT_EQ(GetProfileString("Setting", "Language", "", 1000, chinese), "Chinese");

  // Every key of the English file has a Chinese text, and most differ (names
  // such as TAKE, EDID or PIP-1 are the same in both).
  std::set<std::string> keys;
  for (int n = 0; n < kUiTextCount; ++n) keys.insert(Sids(n));
  for (int id : {102, 110, 117, 119, 120, 127, 150, 152,  154,  156, 158,
                 160, 162, 164, 170, 179, 183, 184, 1514, 1533, 1563}) {
    keys.insert("IDD" + std::to_string(id) + "_Title");
  }
  for (int id : {1021, 1025, 1180, 1245, 1123, 1126, 1241, 1179, 1183, 1244, 1178, 1247,
                 1466, 1446, 1451, 1472, 1601, 1237, 1238, 1246, 1236, 1255, 1441, 1572,
                 1700, 1701, 1703, 1704, 1705, 1706, 1708, 1710, 1711, 1720, 1721, 1722}) {
    keys.insert("IDS_" + std::to_string(id));
  }
  int translated = 0;
  for (const std::string& key : keys) {
    const std::string en = GetProfileString("String", key, "", 1000, english);
    const std::string zh = GetProfileString("String", key, "", 1000, chinese);
    EXPECT_FALSE(en.empty()) << key;
    EXPECT_FALSE(zh.empty()) << key;
    if (en != zh) ++translated;
  }
  EXPECT_GT(translated, static_cast<int>(keys.size()) * 9 / 10);
}

TEST_F(ShippedLanguages, ChineseTextsAfterARunTimeSwitch) {
  InstallShippedLanguages();
  SelectLanguage("English");
  ReloadUiTexts();
  EXPECT_EQ(UiText(38), "Tips");

  const auto name = LanguageNameForSwitch(1);
  ASSERT_TRUE(name.has_value());
  SelectLanguage(*name);
  ReloadUiTexts();
  EXPECT_EQ(ActiveLanguageName(), "Chinese");
  EXPECT_EQ(LanguageFilePath(), LanguageDir() + "Chinese.ini");
  EXPECT_EQ(UiText(38), "提示");
  EXPECT_EQ(UiText(65), "正在处理，请稍候...");
  EXPECT_EQ(UiText(85), "连接失败！");
  // Leading and trailing blanks of list entries survive the file.
  EXPECT_EQ(UiText(42), " 自定义 ");
  EXPECT_EQ(UiText(82), "正在从设备读取数据... ");
  EXPECT_EQ(UiText(100), " 自由运行");

  SelectLanguage(*LanguageNameForSwitch(0));
  ReloadUiTexts();
  EXPECT_EQ(UiText(38), "Tips");
  EXPECT_EQ(GetProfileString("Setting", "Language", "", 100, Settings()), "English");
}

TEST(LanguageSwitch, OnlyZeroAndOneSelectALanguage) {
  EXPECT_EQ(LanguageNameForSwitch(0), "English");
  EXPECT_EQ(LanguageNameForSwitch(1), "Chinese");
  EXPECT_FALSE(LanguageNameForSwitch(2).has_value());
  EXPECT_FALSE(LanguageNameForSwitch(-1).has_value());
}

using LanguageSelection = ProgramFolder;

TEST_F(LanguageSelection, MatchesTheDeclaredNameCaseSensitively) {
  WriteLanguageFile("lower.ini", "[Setting]\r\nLanguage=english\r\n[String]\r\nSIDS_38=lower\r\n");
  WriteLanguageFile("Mine.ini", "[Setting]\r\nLanguage=Deutsch\r\n[String]\r\nSIDS_38=Hinweis\r\n");
  WriteLanguageFile("notes.txt", "[Setting]\r\nLanguage=English\r\n");

  SelectLanguage("Deutsch");
  EXPECT_EQ(LanguageFilePath(), LanguageDir() + "Mine.ini");
  EXPECT_EQ(ActiveLanguageName(), "Deutsch");
  ReloadUiTexts();
  EXPECT_EQ(UiText(38), "Hinweis");

  // "english" is not "English", and a .txt file is no language file: the
  // recorded name is English and no file of the folder provides it.
  SelectLanguage("English");
  EXPECT_EQ(LanguageFilePath(), LanguageDir() + "English.ini");
  EXPECT_EQ(ActiveLanguageName(), "English");
  ReloadUiTexts();
  EXPECT_EQ(UiText(38), "Tips");
}

TEST_F(LanguageSelection, AnUnknownNameFallsBackToTheEnglishFile) {
  WriteLanguageFile("Eng.ini", "[Setting]\r\nLanguage=English\r\n[String]\r\nSIDS_38=Note\r\n");
  SelectLanguage("Klingon");
  EXPECT_EQ(ActiveLanguageName(), "English");
  EXPECT_EQ(LanguageFilePath(), LanguageDir() + "Eng.ini");
  ReloadUiTexts();
  EXPECT_EQ(UiText(38), "Note");
}

TEST_F(LanguageSelection, NoLanguageFolderKeepsTheBuiltInTexts) {
  ASSERT_FALSE(std::filesystem::exists(LanguageDir()));
  SelectLanguage("Chinese");
  EXPECT_TRUE(std::filesystem::is_directory(LanguageDir()));
  EXPECT_EQ(ActiveLanguageName(), "English");
  UiTexts::Set(65, "stale");
  ReloadUiTexts();
  for (int n = 0; n < kUiTextCount; ++n) EXPECT_EQ(UiText(n), BuiltInUiText(n)) << n;
  EXPECT_EQ(GetText("SIDS_65"), "");
}

TEST_F(LanguageSelection, SelectingALanguageRecordsItOverThePreviousOne) {
  InstallShippedLanguages();
  ASSERT_TRUE(WriteProfileString("Setting", "Language", "English", Settings()));
  // Selecting Chinese (the name a Chinese (PRC) system gives) records it.
  SelectLanguage(LanguageNameForLocale("zh_CN.UTF-8"));
  EXPECT_EQ(GetProfileString("Setting", "Language", "", 100, Settings()), "Chinese");
  ReloadUiTexts();
  EXPECT_EQ(UiText(38), "提示");
}

TEST(LanguageOfLocale, OnlyChinesePrcCountsAsChinese) {
  EXPECT_EQ(LanguageNameForLocale("zh_CN.UTF-8"), "Chinese");
  EXPECT_EQ(LanguageNameForLocale("zh_CN"), "Chinese");
  EXPECT_EQ(LanguageNameForLocale("zh_CN.GB18030"), "Chinese");
  EXPECT_EQ(LanguageNameForLocale("zh-CN"), "Chinese");
  EXPECT_EQ(LanguageNameForLocale("zh_TW.UTF-8"), "English");
  EXPECT_EQ(LanguageNameForLocale("zh_HK"), "English");
  EXPECT_EQ(LanguageNameForLocale("zh_CNX"), "English");
  EXPECT_EQ(LanguageNameForLocale("zh"), "English");
  EXPECT_EQ(LanguageNameForLocale("en_US.UTF-8"), "English");
  EXPECT_EQ(LanguageNameForLocale("C"), "English");
  EXPECT_EQ(LanguageNameForLocale(""), "English");
}

TEST(LanguageOfLocale, DefaultLanguageReadsTheEnvironmentInPrecedence) {
  const char* saved[3];
  const char* names[3] = {"LC_ALL", "LC_MESSAGES", "LANG"};
  std::string copies[3];
  for (int i = 0; i < 3; ++i) {
    saved[i] = std::getenv(names[i]);
    if (saved[i]) copies[i] = saved[i];
  }
  setenv("LC_ALL", "", 1);
  setenv("LC_MESSAGES", "zh_CN.UTF-8", 1);
  setenv("LANG", "en_GB.UTF-8", 1);
  EXPECT_EQ(DefaultLanguageName(), "Chinese");
  setenv("LC_ALL", "de_DE.UTF-8", 1);
  EXPECT_EQ(DefaultLanguageName(), "English");
  unsetenv("LC_ALL");
  unsetenv("LC_MESSAGES");
  setenv("LANG", "zh_CN", 1);
  EXPECT_EQ(DefaultLanguageName(), "Chinese");
  unsetenv("LANG");
  EXPECT_EQ(DefaultLanguageName(), "English");
  for (int i = 0; i < 3; ++i) {
    if (saved[i]) {
      setenv(names[i], copies[i].c_str(), 1);
    } else {
      unsetenv(names[i]);
    }
  }
}

using TextLookup = ProgramFolder;

TEST_F(TextLookup, BackslashNBecomesALineFeedOnlyInGetText) {
  WriteLanguageFile("English.ini",
                    "[Setting]\r\nLanguage=English\r\n[String]\r\n"
                    "SIDS_82=Line one\\nLine two\r\nIDS_1021=A\\nB\r\nSIDS_1=a\\n\\nb\\\r\n");
  SelectLanguage("English");
  EXPECT_EQ(GetText("SIDS_82"), "Line one\nLine two");
  EXPECT_EQ(GetText("SIDS_1"), "a\n\nb\\");
  EXPECT_EQ(GetRawText("IDS_1021"), "A\\nB");
  EXPECT_EQ(GetRawText("IDS_1021").size(), 4u);
  ReloadUiTexts();
  EXPECT_EQ(UiText(82), "Line one\nLine two");
}

TEST_F(TextLookup, AMissingKeyGivesAnEmptyText) {
  WriteLanguageFile("English.ini",
                    "[Setting]\r\nLanguage=English\r\n[String]\r\nSIDS_38=Tips\r\nSIDS_66=\r\n");
  SelectLanguage("English");
  ReloadUiTexts();
  EXPECT_EQ(UiText(38), "Tips");
  EXPECT_EQ(UiText(65), "");  // the wait box shows no text
  EXPECT_EQ(UiText(66), "");
  EXPECT_EQ(GetText("SIDS_999"), "");
  EXPECT_EQ(GetText("Nothing"), "");
}

TEST_F(TextLookup, ValuesAreReadWithRoomFor999Characters) {
  const std::string longText(1200, 'x');
  WriteLanguageFile("English.ini",
                    "[Setting]\r\nLanguage=English\r\n[String]\r\nSIDS_5=" + longText + "\r\n");
  SelectLanguage("English");
  EXPECT_EQ(GetText("SIDS_5"), std::string(999, 'x'));
}

TEST_F(TextLookup, ActiveLanguageDefaultsToEnglishAndIsCut) {
  EXPECT_EQ(ActiveLanguageName(), "English");
  ASSERT_TRUE(WriteProfileString("Setting", "Language", std::string(120, 'L'), Settings()));
  EXPECT_EQ(ActiveLanguageName(), std::string(99, 'L'));
}

class PortSwitch : public ProgramFolder {
 protected:
  std::string En(int n) {
    return GetProfileString("String", Sids(n), "", 1000, LanguageDir() + "English.ini");
  }
  std::string Zh(int n) {
    return GetProfileString("String", Sids(n), "", 1000, LanguageDir() + "Chinese.ini");
  }
  void Start(const char* language) {
    InstallShippedLanguages();
    SelectLanguage(language);
    ReloadUiTexts();
  }
};

TEST_F(PortSwitch, FirstPortDvi3InEnglishRenamesTextsAndBothFiles) {
  Start("English");
  EXPECT_TRUE(UpdatePortSwitchTexts(6, 0));
  EXPECT_EQ(UiText(145), "Fixed to DVI3*");
  EXPECT_EQ(UiText(148), "Auto(DVI3* Default)");
  EXPECT_EQ(UiText(146), "Fixed to DP");  // the second port is not 6 or 8
  EXPECT_EQ(UiText(149), "Auto(Default DP)");
  EXPECT_EQ(En(145), "Fixed to DVI3*");
  EXPECT_EQ(En(148), "Auto(DVI3* Default)");
  EXPECT_EQ(Zh(145), "固定 DVI3*");
  EXPECT_EQ(Zh(148), "自动(DVI3* 优先)");
  EXPECT_EQ(Zh(146), "固定 DP");

  // The Chinese file stays UTF-16LE and keeps its other texts.
  EXPECT_EQ(ReadBytes(LanguageDir() + "Chinese.ini").substr(0, 2), "\xFF\xFE");
  EXPECT_EQ(Zh(38), "提示");
  EXPECT_EQ(Zh(42), " 自定义 ");
  EXPECT_EQ(En(42), " User ");

  // A later run starts with the recorded texts.
  UiTexts::ResetToBuiltIn();
  SelectLanguage("Chinese");
  ReloadUiTexts();
  EXPECT_EQ(UiText(145), "固定 DVI3*");
  EXPECT_EQ(UiText(148), "自动(DVI3* 优先)");
}

TEST_F(PortSwitch, SecondPortAndDp2RowsInChinese) {
  Start("Chinese");
  EXPECT_TRUE(UpdatePortSwitchTexts(8, 6));
  EXPECT_EQ(UiText(145), "固定 DP2");
  EXPECT_EQ(UiText(148), "自动(DP2 优先)");
  EXPECT_EQ(UiText(146), "固定 HDMI3");
  EXPECT_EQ(UiText(149), "自动(HDMI3 优先)");
  EXPECT_EQ(En(146), "Fixed to HDMI3");
  EXPECT_EQ(En(149), "Auto(HDMI3 Default)");
  EXPECT_EQ(En(145), "Fixed to DP2");
  EXPECT_EQ(Zh(149), "自动(HDMI3 优先)");

  EXPECT_TRUE(UpdatePortSwitchTexts(8, 8));
  EXPECT_EQ(UiText(146), "固定 DP2");
  EXPECT_EQ(Zh(146), "固定 DP2");
  EXPECT_EQ(En(149), "Auto(DP2 Default)");
}

TEST_F(PortSwitch, OtherLanguagesKeepTheirTextsButTheFilesAreRecorded) {
  InstallShippedLanguages();
  WriteLanguageFile("Deutsch.ini",
                    "[Setting]\r\nLanguage=Deutsch\r\n[String]\r\nSIDS_145=Fest HDMI\r\n");
  SelectLanguage("Deutsch");
  ReloadUiTexts();
  EXPECT_FALSE(UpdatePortSwitchTexts(6, 6));
  EXPECT_EQ(UiText(145), "Fest HDMI");
  EXPECT_EQ(En(145), "Fixed to DVI3*");
  EXPECT_EQ(Zh(146), "固定 HDMI3");
}

TEST_F(PortSwitch, FilesAreRewrittenOnlyWhenATextChanges) {
  Start("English");
  UpdatePortSwitchTexts(6, 6);
  const std::string english = LanguageDir() + "English.ini";
  const std::string chinese = LanguageDir() + "Chinese.ini";
  const auto old = std::filesystem::file_time_type::clock::now() - std::chrono::hours(24);
  std::filesystem::last_write_time(english, old);
  std::filesystem::last_write_time(chinese, old);
  const std::string englishBytes = ReadBytes(english);
  const std::string chineseBytes = ReadBytes(chinese);

  // Every board report calls this again; nothing has changed.
  EXPECT_FALSE(UpdatePortSwitchTexts(6, 6));
  EXPECT_FALSE(UpdatePortSwitchTexts(6, 6));
  EXPECT_EQ(std::filesystem::last_write_time(english), old);
  EXPECT_EQ(std::filesystem::last_write_time(chinese), old);
  EXPECT_EQ(ReadBytes(english), englishBytes);
  EXPECT_EQ(ReadBytes(chinese), chineseBytes);

  // A port that is neither 6 nor 8 leaves texts and files alone.
  EXPECT_FALSE(UpdatePortSwitchTexts(2, 3));
  EXPECT_EQ(std::filesystem::last_write_time(chinese), old);

  // A real change writes again.
  EXPECT_TRUE(UpdatePortSwitchTexts(8, 6));
  EXPECT_NE(std::filesystem::last_write_time(english), old);
  EXPECT_EQ(En(145), "Fixed to DP2");
  EXPECT_EQ(Zh(145), "固定 DP2");
}

TEST_F(PortSwitch, MissingLanguageFilesAreNotCreated) {
  SelectLanguage("English");
  ReloadUiTexts();
  EXPECT_TRUE(UpdatePortSwitchTexts(6, 8));
  EXPECT_EQ(UiText(145), "Fixed to DVI3*");
  EXPECT_EQ(UiText(149), "Auto(DP2 Default)");
  EXPECT_FALSE(std::filesystem::exists(LanguageDir() + "English.ini"));
  EXPECT_FALSE(std::filesystem::exists(LanguageDir() + "Chinese.ini"));
}

}  // namespace
}  // namespace orv

namespace orv {
namespace {

TEST_F(PortSwitch, ListItemsFollowTheRenamedTexts) {
  Start("English");
  UpdatePortSwitchTexts(0, 8);
  const auto items = PortSwitchListItems();
  const char* expected[] = {"Fixed to HDMI", "Fixed to DP2", "Auto", "Auto(Default HDMI)",
                            "Auto(DP2 Default)"};
  for (int k = 0; k < 5; ++k) {
    EXPECT_EQ(items[k].text, expected[k]) << k;
    EXPECT_EQ(items[k].data, k);
  }
}

}  // namespace
}  // namespace orv
