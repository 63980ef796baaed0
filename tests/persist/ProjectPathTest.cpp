#include <regex>

#include "ProjectTestSupport.h"

namespace orv::test {
namespace {

namespace fs = std::filesystem;

TEST_F(ProjectTest, FirstStartMakesTheDatedFolderAndSavesAtClose) {
  std::string path = ReadSetting("Project", "FilePath", SettingsPath());
  ASSERT_EQ(path, "");
  EnsureProjectPath(path, "2024-05-17");
  EXPECT_EQ(path, folder_ + "Project/2024-05-17/2024-05-17.pro");
  EXPECT_TRUE(fs::is_directory(folder_ + "Project/2024-05-17"));
  EXPECT_FALSE(fs::exists(path));
  EXPECT_FALSE(LoadProject(path, [](int, int) {}));

  // Close: the path goes to the settings file, the record to the project.
  ASSERT_TRUE(WriteProfileString("Project", "FilePath", path, SettingsPath()));
  ASSERT_TRUE(SaveProject(path));
  EXPECT_TRUE(ReadBytes(path).starts_with("[OUTPUTRESO]\r\n"));
  std::string next = ReadSetting("Project", "FilePath", SettingsPath());
  EXPECT_EQ(next, path);
  EnsureProjectPath(next, "2024-05-18");
  EXPECT_EQ(next, path);  // an existing file is kept
}

TEST_F(ProjectTest, TodayIsAnIsoDate) {
  EXPECT_TRUE(std::regex_match(TodayDateText(), std::regex(R"(\d{4}-\d{2}-\d{2})")));
}

TEST_F(ProjectTest, ADotInAFolderNameDoesNotEndTheBaseName) {
  fs::create_directories(folder_ + "shows/v2.0");
  std::string path = folder_ + "shows/v2.0/gala.pro";
  EnsureProjectPath(path, "2024-05-17");
  EXPECT_EQ(path, folder_ + "shows/v2.0/gala.pro");
  EXPECT_EQ(ReadBytes(path), "\xFF\xFE");  // a new file holding only the mark
  EXPECT_TRUE(LoadProject(path, [](int, int) {}));
}

TEST_F(ProjectTest, OnlyAFinalProExtensionIsDropped) {
  WriteBytes(Path("gala.pro"), "KEEP");
  std::string path = Path("gala.v2.pro");
  EnsureProjectPath(path, "2024-05-17");
  EXPECT_EQ(path, Path("gala.v2.pro"));
  EXPECT_EQ(ReadBytes(Path("gala.pro")), "KEEP");
  EXPECT_EQ(ReadBytes(Path("gala.v2.pro")), "\xFF\xFE");

  std::string bare = Path("show");
  EnsureProjectPath(bare, "2024-05-17");
  EXPECT_EQ(bare, Path("show.pro"));
  std::string upper = Path("LOUD.PRO");
  EnsureProjectPath(upper, "2024-05-17");
  EXPECT_EQ(upper, Path("LOUD.pro"));
  std::string other = Path("notes.txt");
  EnsureProjectPath(other, "2024-05-17");
  EXPECT_EQ(other, Path("notes.txt.pro"));
}

TEST_F(ProjectTest, AMissingFolderGetsAFolderOfTheBaseName) {
  std::string path = folder_ + "a/b/gala.pro";
  EnsureProjectPath(path, "2024-05-17");
  EXPECT_EQ(path, folder_ + "a/b/gala/gala.pro");
  EXPECT_TRUE(fs::is_directory(folder_ + "a/b/gala"));
  EXPECT_EQ(ReadBytes(path), "\xFF\xFE");
}

TEST_F(ProjectTest, AnExistingFileIsUsedAsItIs) {
  WriteBytes(Path("kept.dat"), "DATA");
  std::string path = Path("kept.dat");
  EnsureProjectPath(path, "2024-05-17");
  EXPECT_EQ(path, Path("kept.dat"));
  EXPECT_EQ(ReadBytes(path), "DATA");
}

TEST_F(ProjectTest, ARelativePathIsTakenFromTheProgramFolder) {
  fs::create_directories(folder_ + "rel");
  std::string path = "rel/show.pro";
  EnsureProjectPath(path, "2024-05-17");
  EXPECT_EQ(path, folder_ + "rel/show.pro");
  EXPECT_TRUE(fs::exists(path));
}

std::string Repeat(const std::string& piece, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += piece;
  return out;
}

// The start-up path: a stored path that names a project is used whole, even
// past the 255 characters the settings file promises; only a path that names
// nothing is cut, by characters.
TEST_F(ProjectTest, StartupNeverTradesAnExistingProjectForAnotherFile) {
  const std::string ue = "\xC3\xBC";  // ü, two bytes
  const std::string stage = folder_ + "M" + ue + "nchen/B" + ue + "hne-Gr\xC3\xB6\xC3\x9F" + "e/";
  const struct {
    const char* name;
    std::string path;
  } existing[] = {
      {"over 255 bytes, under 255 characters", stage + Repeat(ue, 120) + "/show.pro"},
      {"over 255 characters", stage + Repeat(Repeat(ue, 100) + "/", 3) + "show.pro"},
  };
  for (const auto& c : existing) {
    fs::create_directories(fs::path(c.path).parent_path());
    State()->block.OUTPUTRESO.FPS = 5000;
    ASSERT_TRUE(SaveProject(c.path)) << c.name;
    ASSERT_TRUE(WriteProfileString("Project", "FilePath", c.path, SettingsPath()));
    EXPECT_EQ(StartupProjectPath(SettingsPath()), c.path) << c.name;
    EXPECT_EQ(ValueOf(KeyLines(ReadBytes(c.path)), "OUTPUTRESO", "FPS"), "5000") << c.name;
  }

  const std::string deep = folder_ + "gone/" + Repeat(Repeat(ue, 100) + "/", 2);
  ASSERT_TRUE(WriteProfileString("Project", "FilePath", deep + Repeat(ue, 100) + "/show.pro",
                                 SettingsPath()));
  const std::string made = StartupProjectPath(SettingsPath());
  EXPECT_EQ(CodePageToUtf8(made, kCodePageUtf8), made) << "no character is split";
  const std::string name = Repeat(ue, 255 - static_cast<int>(Utf16Length(deep)));
  EXPECT_EQ(made, deep + name + "/" + name + ".pro");
  EXPECT_EQ(ReadBytes(made), "\xFF\xFE");
}

TEST_F(ProjectTest, SaveThroughTheSaveMessageSteps) {
  // p := copy of the given path; EnsureProjectPath(p); SaveProject(p).
  std::string p = folder_ + "exports/gala.v2.pro";
  EnsureProjectPath(p, "2024-05-17");
  EXPECT_EQ(p, folder_ + "exports/gala.v2/gala.v2.pro");
  State()->block.OUTPUTRESO.FPS = 5000;
  ASSERT_TRUE(SaveProject(p));
  EXPECT_EQ(ValueOf(KeyLines(ReadBytes(p)), "OUTPUTRESO", "FPS"), "5000");
}

}  // namespace
}  // namespace orv::test
