#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <random>

#include "ComSettings.h"
#include "IniDocument.h"
#include "PersistTestSupport.h"

namespace orv::test {
namespace {

const std::string kZhongWen = "\xE4\xB8\xAD\xE6\x96\x87";  // 中文

ino_t InodeOf(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 ? info.st_ino : 0;
}

class IniTest : public TempFolderTest {
 protected:
  std::string Ini() const { return Path("Info.ini"); }
};

TEST_F(IniTest, ReadLimitsFollowTheBufferSize) {
  const std::string value(300, 'v');
  WriteBytes(Ini(), "[PRESET0-1]\r\nPNAMESTR=" + value + "\r\n");
  EXPECT_EQ(ReadSetting("PRESET0-1", "PNAMESTR", Ini()), std::string(255, 'v'));
  EXPECT_EQ(GetProfileString("PRESET0-1", "PNAMESTR", "", 100, Ini()), std::string(99, 'v'));
  EXPECT_EQ(GetProfileString("PRESET0-1", "PNAMESTR", "", 10, Ini()), std::string(9, 'v'));
  EXPECT_EQ(GetProfileString("PRESET0-1", "PNAMESTR", "", 1, Ini()), "");
  EXPECT_EQ(GetProfileString("PRESET0-1", "PNAMESTR", "", 0, Ini()), "");
  // The limit counts UTF-16 units, not bytes: 300 Chinese characters give 255.
  std::string chinese;
  for (int i = 0; i < 150; ++i) chinese += kZhongWen;
  WriteBytes(Path("utf16.ini"),
             "\xFF\xFE" + AsciiUtf16("[S]\r\nK=") + Utf8ToUtf16Le(chinese) + AsciiUtf16("\r\n"));
  const std::string read = ReadSetting("S", "K", Path("utf16.ini"));
  EXPECT_EQ(Utf16Length(read), 255u);
  EXPECT_EQ(read, chinese.substr(0, 255 * 3));
}

TEST_F(IniTest, MissingFileSectionOrKeyGivesTheFallback) {
  EXPECT_EQ(GetProfileString("Setting", "Language", "English", 100, Ini()), "English");
  EXPECT_EQ(ReadSetting("Project", "FilePath", Ini()), "");
  WriteBytes(Ini(), "[Setting]\r\nOther=1\r\n");
  EXPECT_EQ(GetProfileString("Setting", "Language", "English", 100, Ini()), "English");
  EXPECT_EQ(GetProfileString("Nothing", "Other", "x", 100, Ini()), "x");
  // The fallback obeys the limit and loses trailing blanks.
  EXPECT_EQ(GetProfileString("Setting", "Language", "Englishman", 5, Ini()), "Engl");
  EXPECT_EQ(GetProfileString("Setting", "Language", "English  ", 100, Ini()), "English");
  EXPECT_EQ(ReadSetting("Setting", "Language", Path("no-such-folder/Info.ini")), "");
}

TEST_F(IniTest, SectionsAndKeysCompareWithoutCaseAndBlanksAreDropped) {
  WriteBytes(Ini(),
             "; a comment line\r\n"
             "[com]\r\n"
             "  PORT = 5  \r\n"
             ";timeout=9\r\n"
             "\r\n"
             "[ Setting ]\r\n"
             "language=\"Chinese\"\r\n"
             "quoted='a b'\r\n"
             "half=\"open\r\n"
             "empty=\r\n"
             "bare\r\n"
             "port=first\r\n"
             "port=second\r\n");
  EXPECT_EQ(ReadSetting("COM", "port", Ini()), "5");
  EXPECT_EQ(GetProfileString("COM", "timeout", "none", 10, Ini()), "none");
  EXPECT_EQ(ReadSetting("SETTING", "Language", Ini()), "Chinese");
  EXPECT_EQ(ReadSetting("Setting", "quoted", Ini()), "a b");
  EXPECT_EQ(ReadSetting("Setting", "half", Ini()), "\"open");
  EXPECT_EQ(GetProfileString("Setting", "empty", "x", 10, Ini()), "");
  EXPECT_EQ(GetProfileString("Setting", "bare", "x", 10, Ini()), "");
  EXPECT_EQ(ReadSetting("Setting", "port", Ini()), "first");
}

TEST_F(IniTest, FirstWriteCreatesTheFileInTheWesternCodePage) {
  ASSERT_TRUE(WriteProfileString("PRESET0-1", "PNAMESTR", "Zo\xC3\xAB", Ini()));
  EXPECT_EQ(ReadBytes(Ini()), "[PRESET0-1]\r\nPNAMESTR=Zo\xEB\r\n");
  EXPECT_EQ(ReadSetting("preset0-1", "pnamestr", Ini()), "Zo\xC3\xAB");
}

// A text the code page cannot hold turns the file into UTF-16LE with a mark,
// every line converted, so nothing becomes "?"; files it fits stay as they are.
TEST_F(IniTest, TextsOutsideTheCodePageTurnTheFileIntoUtf16) {
  const std::string lodz =
      "/opt/\xC5\x82\xC3\xB3"
      "d\xC5\xBA/show.pro";  // łódź
  const struct {
    int codePage;
    std::string before;  // the file in its code page
    std::string a;       // the value of A, UTF-8
    std::string value;
  } cases[] = {
      {kCodePageWestern, "[S]\r\nA=Zo\xEB\r\n", "Zo\xC3\xAB", lodz},
      {kCodePageChinese, "[S]\r\nA=\xD6\xD0\xCE\xC4\r\n", kZhongWen, "Zo\xC3\xAB"},
  };
  for (const auto& c : cases) {
    SetAnsiCodePageForTesting(c.codePage);
    WriteBytes(Ini(), c.before);
    ASSERT_TRUE(WriteProfileString("S", "A2", "fits", Ini()));
    EXPECT_EQ(ReadBytes(Ini()).substr(0, 2), c.before.substr(0, 2)) << "still in its code page";
    WriteBytes(Ini(), c.before);
    ASSERT_TRUE(WriteProfileString("Project", "FilePath", c.value, Ini()));
    EXPECT_EQ(ReadBytes(Ini()),
              "\xFF\xFE" + Utf8ToUtf16Le("[S]\r\nA=" + c.a +
                                         "\r\n[Project]\r\nFilePath=" + c.value + "\r\n"));
    SetAnsiCodePageForTesting(kCodePageWestern);  // the reader's code page does not matter now
    EXPECT_EQ(ReadSetting("Project", "FilePath", Ini()), c.value);
    EXPECT_EQ(ReadSetting("S", "A", Ini()), c.a);
  }
}

TEST_F(IniTest, FirstWriteUnderTheChineseCodePageUsesIt) {
  SetAnsiCodePageForTesting(kCodePageChinese);
  ASSERT_TRUE(WriteProfileString("InPutSrcRemark-3", "REMARKSTR", kZhongWen, Ini()));
  EXPECT_EQ(ReadBytes(Ini()), "[InPutSrcRemark-3]\r\nREMARKSTR=\xD6\xD0\xCE\xC4\r\n");
  EXPECT_EQ(ReadSetting("InPutSrcRemark-3", "REMARKSTR", Ini()), kZhongWen);
}

TEST_F(IniTest, WritingAKeyKeepsEveryOtherByte) {
  const std::string before =
      "; kept\r\n"
      "[COM]\r\n"
      "port = 3\r\n"
      "timeout=1\r\n"
      "\r\n"
      "[Setting]\r\n"
      "Language=English";
  WriteBytes(Ini(), before);
  ASSERT_TRUE(WriteProfileString("com", "PORT", "7", Ini()));
  EXPECT_EQ(ReadBytes(Ini()),
            "; kept\r\n[COM]\r\nport=7\r\ntimeout=1\r\n\r\n[Setting]\r\nLanguage=English");

  // A new key goes after the section's last line, before the blank line.
  ASSERT_TRUE(WriteProfileString("COM", "baud", "115200", Ini()));
  // A new key in the last section ends the unterminated last line first.
  ASSERT_TRUE(WriteProfileString("Setting", "Extra", "x", Ini()));
  // A new section goes at the end.
  ASSERT_TRUE(WriteProfileString("Project", "FilePath", "/shows/a.pro", Ini()));
  EXPECT_EQ(ReadBytes(Ini()),
            "; kept\r\n[COM]\r\nport=7\r\ntimeout=1\r\nbaud=115200\r\n\r\n"
            "[Setting]\r\nLanguage=English\r\nExtra=x\r\n"
            "[Project]\r\nFilePath=/shows/a.pro\r\n");
  EXPECT_EQ(ReadSetting("Project", "FilePath", Ini()), "/shows/a.pro");
}

TEST_F(IniTest, LineFeedFilesStayLineFeedFiles) {
  WriteBytes(Ini(), "[A]\nk=1\n");
  ASSERT_TRUE(WriteProfileString("A", "j", "2", Ini()));
  ASSERT_TRUE(WriteProfileString("B", "k", "3", Ini()));
  EXPECT_EQ(ReadBytes(Ini()), "[A]\nk=1\nj=2\n[B]\nk=3\n");
}

TEST_F(IniTest, ALineBreakCannotEnterTheFile) {
  ASSERT_TRUE(WriteProfileString("S", "K", "first\r\n[Injected]\r\nX=1", Ini()));
  EXPECT_EQ(ReadBytes(Ini()), "[S]\r\nK=first\r\n");
  EXPECT_EQ(ReadSetting("Injected", "X", Ini()), "");
}

TEST_F(IniTest, Utf16FilesAreReadAndWrittenAsUtf16) {
  // As the Chinese language file: FF FE, then UTF-16LE with CR LF.
  const std::string before = "\xFF\xFE" + AsciiUtf16("[Setting]\r\nLanguage=Chinese\r\n") +
                             AsciiUtf16("[String]\r\nSIDS_38=") + "\xD0\x63\x3A\x79" +
                             AsciiUtf16("\r\n");  // 提示
  WriteBytes(Path("Chinese.ini"), before);
  EXPECT_EQ(ReadSetting("Setting", "Language", Path("Chinese.ini")), "Chinese");
  EXPECT_EQ(ReadSetting("String", "SIDS_38", Path("Chinese.ini")), "\xE6\x8F\x90\xE7\xA4\xBA");

  ASSERT_TRUE(WriteProfileString("String", "SIDS_145", kZhongWen, Path("Chinese.ini")));
  const std::string after = ReadBytes(Path("Chinese.ini"));
  EXPECT_EQ(after, before + AsciiUtf16("SIDS_145=") + "\x2D\x4E\x87\x65" + AsciiUtf16("\r\n"));
  EXPECT_EQ(ReadSetting("String", "SIDS_145", Path("Chinese.ini")), kZhongWen);
  ASSERT_TRUE(WriteProfileString("Setting", "Language", "Chinese2", Path("Chinese.ini")));
  EXPECT_EQ(ReadBytes(Path("Chinese.ini")).substr(0, 2 + 2 * 30),
            "\xFF\xFE" + AsciiUtf16("[Setting]\r\nLanguage=Chinese2\r\n"));
}

// A UTF-16 file cut after an odd byte: the stray byte is completed to a unit
// before anything is appended, so the new key lands aligned and reads back
// from the file itself, and so does everything before it.
TEST_F(IniTest, AnOddLengthUtf16FileIsRepairedBeforeAWrite) {
  const std::string bom = "\xFF\xFE";
  const std::string full = bom + AsciiUtf16("[S]\r\nA=12\r\n");
  const struct {
    const char* name;
    std::string before;
    std::string section;
    std::string after;
  } cases[] = {
      {"0A 00 straddling two units", bom + std::string("\x5B\x0A\x00", 3), "S",
       bom + std::string("\x5B\x0A\x00\x00", 4) + AsciiUtf16("\r\n[S]\r\nK=v\r\n")},
      {"cut inside the final line feed", full.substr(0, full.size() - 1), "S",
       full + AsciiUtf16("K=v\r\n")},
      {"cut inside the last character", full.substr(0, full.size() - 5), "S",
       full + AsciiUtf16("K=v\r\n")},
      {"only the mark and one byte", bom + "[", "S", bom + AsciiUtf16("[\r\n[S]\r\nK=v\r\n")},
  };
  for (const auto& c : cases) {
    WriteBytes(Ini(), c.before);
    ASSERT_TRUE(WriteProfileString(c.section, "K", "v", Ini())) << c.name;
    const std::string after = ReadBytes(Ini());
    EXPECT_EQ(after, c.after) << c.name;
    const IniDocument fromFile = IniDocument::Parse(after, kCodePageWestern);
    EXPECT_EQ(fromFile.Find(c.section, "K"), "v") << c.name;
  }
}

TEST_F(IniTest, Utf8FilesWithAMarkKeepIt) {
  WriteBytes(Ini(), "\xEF\xBB\xBF[S]\r\nK=Zo\xC3\xAB\r\n");
  EXPECT_EQ(ReadSetting("S", "K", Ini()), "Zo\xC3\xAB");
  ASSERT_TRUE(WriteProfileString("S", "L", kZhongWen, Ini()));
  EXPECT_EQ(ReadBytes(Ini()), "\xEF\xBB\xBF[S]\r\nK=Zo\xC3\xAB\r\nL=" + kZhongWen + "\r\n");
}

TEST_F(IniTest, WritesReplaceTheFileWholeAndLeaveNothingBehind) {
  ASSERT_TRUE(WriteProfileString("S", "K", "1", Ini()));
  const ino_t first = InodeOf(Ini());
  ASSERT_TRUE(WriteProfileString("S", "K", "2", Ini()));
  EXPECT_NE(InodeOf(Ini()), first);  // a new file took the name
  const ino_t second = InodeOf(Ini());
  // Writing the value the file already has leaves the file alone.
  ASSERT_TRUE(WriteProfileString("s", "k", "2", Ini()));
  EXPECT_EQ(InodeOf(Ini()), second);
  EXPECT_EQ(Entries(), std::vector<std::string>{"Info.ini"});

  EXPECT_FALSE(WriteProfileString("S", "K", "1", Path("missing/Info.ini")));
  std::filesystem::create_directory(Path("folder.ini"));
  EXPECT_FALSE(WriteProfileString("S", "K", "1", Path("folder.ini")));
  EXPECT_EQ(Entries(), (std::vector<std::string>{"Info.ini", "folder.ini"}));
}

TEST_F(IniTest, ALinkedSettingsFileStaysLinked) {
  WriteBytes(Path("real.ini"), "[S]\r\nK=1\r\n");
  std::filesystem::create_symlink(Path("real.ini"), Ini());
  ASSERT_TRUE(WriteProfileString("S", "K", "2", Ini()));
  EXPECT_TRUE(std::filesystem::is_symlink(Ini()));
  EXPECT_EQ(ReadBytes(Path("real.ini")), "[S]\r\nK=2\r\n");
}

TEST_F(IniTest, ChangesMadeByOthersAreSeen) {
  WriteBytes(Ini(), "[S]\r\nK=aaaa\r\n");
  EXPECT_EQ(ReadSetting("S", "K", Ini()), "aaaa");
  // Same size, same inode: only the modification time tells.
  std::filesystem::last_write_time(
      Ini(), std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
  EXPECT_EQ(ReadSetting("S", "K", Ini()), "aaaa");
  {
    std::fstream out(Ini(), std::ios::in | std::ios::out | std::ios::binary);
    out.seekp(5);
    out << "K=bbbb";
  }
  EXPECT_EQ(ReadSetting("S", "K", Ini()), "bbbb");
}

TEST_F(IniTest, SerialSettingsPair) {
  std::string timeout = "unchanged";
  EXPECT_EQ(ReadComSettings(timeout), 0);
  EXPECT_EQ(timeout, "");
  ASSERT_TRUE(WriteComSettings(3, "1"));
  EXPECT_EQ(ReadBytes(SettingsPath()), "[COM]\r\nport=3\r\ntimeout=1\r\n");
  EXPECT_EQ(ReadComSettings(timeout), 3);
  EXPECT_EQ(timeout, "1");

  WriteBytes(SettingsPath(), "[COM]\r\nport=COM3\r\ntimeout=12345678901\r\n");
  EXPECT_EQ(ReadComSettings(timeout), 0);
  EXPECT_EQ(timeout, "123456789");  // 10-character buffer
  WriteBytes(SettingsPath(), "[COM]\r\nport=12345678901\r\n");
  EXPECT_EQ(ReadComSettings(timeout), 123456789);
}

TEST(AppFolderTest, IsTheExecutablesFolderUnlessOverridden) {
  SetAppFolderForTesting("");
  const std::string expected =
      std::filesystem::canonical("/proc/self/exe").parent_path().string() + "/";
  EXPECT_EQ(AppFolder(), expected);
  EXPECT_EQ(SettingsPath(), expected + "Info.ini");
  SetAppFolderForTesting("/tmp/elsewhere");
  EXPECT_EQ(AppFolder(), "/tmp/elsewhere/");
  EXPECT_EQ(SettingsPath(), "/tmp/elsewhere/Info.ini");
  SetAppFolderForTesting("");
  EXPECT_EQ(AppFolder(), expected);
}

// The parser takes any bytes: it keeps untouched files byte for byte, and a
// key written into any document reads back.
TEST(IniDocumentFuzz, AnyBytesParseKeepAndAcceptWrites) {
  std::mt19937 random(20240517);
  const std::string alphabet =
      "[]=;\"' \t\r\n\xFF\xFE\xD6\xC3\xAB\x80"
      "abcSK0";
  for (int round = 0; round < 3000; ++round) {
    std::string bytes;
    const int length = static_cast<int>(random() % 200);
    for (int i = 0; i < length; ++i) {
      bytes.push_back(random() % 4 == 0 ? static_cast<char>(random() & 0xFF)
                                        : alphabet[random() % alphabet.size()]);
    }
    if (round % 5 == 0) bytes = "\xFF\xFE" + bytes;
    const int codePage = round % 2 == 0 ? kCodePageWestern : kCodePageChinese;
    IniDocument doc = IniDocument::Parse(bytes, codePage);
    ASSERT_EQ(doc.Serialize(), bytes) << "round " << round;
    (void)doc.Find("S", "K");

    const std::string section = round % 3 == 0 ? "S" : "Sect" + std::to_string(round % 7);
    const std::string value = "v" + std::to_string(round);
    doc.Set(section, "K", value);
    ASSERT_EQ(doc.Find(section, "k"), value) << "round " << round;
    const IniDocument reread = IniDocument::Parse(doc.Serialize(), codePage);
    ASSERT_EQ(reread.Find(section, "K"), value) << "round " << round;
    ASSERT_EQ(reread.Encoding(), doc.Encoding());
  }
}

}  // namespace
}  // namespace orv::test
