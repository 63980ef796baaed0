// Where the panel keeps its files: the layout decision for portable and
// installed copies, and an installed copy at work that writes nothing beside
// its executable or into its shipped data.
#include <sys/stat.h>

#include <filesystem>
#include <map>
#include <set>

#include "AppFolders.h"
#include "ComSettings.h"
#include "PersistTestSupport.h"
#include "ProjectFile.h"
#include "UiTexts.h"

namespace orv::test {
namespace {

namespace fs = std::filesystem;

struct Machine {
  std::set<std::string> files;
  std::set<std::string> writableFolders;
  std::map<std::string, std::string> environment;
  std::string accountHome = "/home/fromPasswd";
};

FolderProbe ProbeOf(const Machine& m) {
  FolderProbe probe;
  probe.isFile = [m](const std::string& path) { return m.files.count(path) > 0; };
  probe.isWritableFolder = [m](const std::string& f) { return m.writableFolders.count(f) > 0; };
  probe.environment = [m](const char* name) {
    const auto it = m.environment.find(name);
    return it == m.environment.end() ? std::string() : it->second;
  };
  probe.accountHome = [m] { return m.accountHome; };
  return probe;
}

TEST(AppFoldersTest, LayoutFollowsTheMarkerAndTheProgramFolder) {
  const std::string marker = std::string("/usr/share/orvpanel/") + kInstalledLayoutMarker;
  struct Case {
    const char* what;
    std::string program;
    Machine machine;
    FolderLayout layout;
    std::string data, settings, userData;
  };
  const Case cases[] = {
      {"build tree",
       "/src/build/bin",
       {{}, {"/src/build/bin/"}, {{"HOME", "/home/a"}}},
       FolderLayout::Portable,
       "/src/build/bin/",
       "/src/build/bin/",
       "/src/build/bin/"},
      {"installed, first user",
       "/usr/bin/",
       {{marker}, {}, {{"HOME", "/home/a"}}},
       FolderLayout::Installed,
       "/usr/share/orvpanel/",
       "/home/a/.config/orvpanel/",
       "/home/a/.local/share/orvpanel/"},
      {"installed, second user",
       "/usr/bin/",
       {{marker}, {}, {{"HOME", "/home/b"}}},
       FolderLayout::Installed,
       "/usr/share/orvpanel/",
       "/home/b/.config/orvpanel/",
       "/home/b/.local/share/orvpanel/"},
      {"installed, run by root (its folder is writable)",
       "/usr/bin/",
       {{marker}, {"/usr/bin/"}, {{"HOME", "/root"}}},
       FolderLayout::Installed,
       "/usr/share/orvpanel/",
       "/root/.config/orvpanel/",
       "/root/.local/share/orvpanel/"},
      {"XDG folders",
       "/usr/bin/",
       {{marker}, {}, {{"HOME", "/home/a"}, {"XDG_CONFIG_HOME", "/cfg"}, {"XDG_DATA_HOME", "/d/"}}},
       FolderLayout::Installed,
       "/usr/share/orvpanel/",
       "/cfg/orvpanel/",
       "/d/orvpanel/"},
      {"relative XDG folders are ignored",
       "/usr/bin/",
       {{marker}, {}, {{"HOME", "/home/a"}, {"XDG_CONFIG_HOME", "cfg"}, {"XDG_DATA_HOME", "d"}}},
       FolderLayout::Installed,
       "/usr/share/orvpanel/",
       "/home/a/.config/orvpanel/",
       "/home/a/.local/share/orvpanel/"},
      {"no HOME",
       "/usr/bin/",
       {{marker}, {}, {}},
       FolderLayout::Installed,
       "/usr/share/orvpanel/",
       "/home/fromPasswd/.config/orvpanel/",
       "/home/fromPasswd/.local/share/orvpanel/"},
      {"read-only copy without an install around it",
       "/opt/orv/",
       {{}, {}, {{"HOME", "/h"}}},
       FolderLayout::Installed,
       "/opt/orv/",
       "/h/.config/orvpanel/",
       "/h/.local/share/orvpanel/"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const AppFolderSet got = DecideFolders(c.program, ProbeOf(c.machine));
    EXPECT_EQ(got.layout, c.layout);
    EXPECT_EQ(got.program, c.program.back() == '/' ? c.program : c.program + "/");
    EXPECT_EQ(got.data, c.data);
    EXPECT_EQ(got.settings, c.settings);
    EXPECT_EQ(got.userData, c.userData);
  }
  EXPECT_EQ(InstalledDataFolder("/usr/local/bin/"), "/usr/local/share/orvpanel/");
}

// Every file below `root` with its content.
std::map<std::string, std::string> Snapshot(const std::string& root) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    files[entry.path().string()] = entry.is_regular_file() ? ReadBytes(entry.path().string()) : "";
  }
  return files;
}

class InstalledCopyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/installed-copy-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root_ = std::string(pattern) + "/";
    program_ = root_ + "usr/bin/";
    shipped_ = root_ + "usr/share/orvpanel/";
    fs::create_directories(program_);
    fs::create_directories(shipped_ + "Language");
    WriteBytes(program_ + "orvpanel", "program");
    WriteBytes(shipped_ + kInstalledLayoutMarker, "");
    WriteBytes(shipped_ + "Info.ini", "[Remote]\r\nPort=9750\r\n");
    WriteBytes(shipped_ + "Language/English.ini",
               "[Setting]\r\nLanguage=English\r\n[String]\r\nSIDS_38=Tips\r\n");
    WriteBytes(shipped_ + "Language/Chinese.ini",
               "[Setting]\r\nLanguage=Chinese\r\n[String]\r\nSIDS_38=Tip zh\r\n");
    SetAnsiCodePageForTesting(kCodePageWestern);
    before_ = Snapshot(root_ + "usr");
    // Read-only as an installed program folder is (root writes anyway, which
    // is why the snapshot is compared afterwards).
    fs::permissions(program_,
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
  }

  void TearDown() override {
    SetFoldersForTesting(std::nullopt);
    SetAnsiCodePageForTesting(0);
    std::error_code error;
    fs::permissions(program_, fs::perms::owner_all, fs::perm_options::add, error);
    fs::remove_all(root_, error);
  }

  AppFolderSet InstallFor(const std::string& user) {
    Machine machine{{}, {}, {{"HOME", root_ + "home/" + user}}};
    FolderProbe probe = ProbeOf(machine);
    probe.isFile = [](const std::string& path) { return fs::is_regular_file(path); };
    return DecideFolders(program_, probe);
  }

  std::string root_, program_, shipped_;
  std::map<std::string, std::string> before_;
};

TEST_F(InstalledCopyTest, WritesOnlyIntoTheUsersFolders) {
  const AppFolderSet folders = InstallFor("a");
  ASSERT_EQ(folders.layout, FolderLayout::Installed);
  SetFoldersForTesting(folders);
  EXPECT_EQ(AppFolder(), program_);
  EXPECT_EQ(DataFolder(), shipped_);

  // Everything the panel writes at start, while running and at exit.
  SelectLanguage("Chinese");
  UpdatePortSwitchTexts(6, 8);
  WriteComSettings(3, "1");
  std::string project;
  EnsureProjectPath(project, "2026-01-02");
  EXPECT_TRUE(SaveProject(project));
  std::string relative = "Project/show";
  EnsureProjectPath(relative, "2026-01-02");

  EXPECT_EQ(Snapshot(root_ + "usr"), before_);
  const std::string settings = root_ + "home/a/.config/orvpanel/";
  EXPECT_EQ(SettingsPath(), settings + "Info.ini");
  const std::string info = ReadBytes(settings + "Info.ini");
  EXPECT_NE(info.find("Port=9750"), std::string::npos) << "the shipped defaults come first";
  EXPECT_NE(info.find("Language=Chinese"), std::string::npos);
  EXPECT_EQ(LanguageFilePath(), settings + "Language/Chinese.ini");
  EXPECT_NE(ReadBytes(settings + "Language/English.ini").find("SIDS_145=Fixed to DVI3*"),
            std::string::npos);
  const std::string userData = root_ + "home/a/.local/share/orvpanel/";
  EXPECT_EQ(project, userData + "Project/2026-01-02/2026-01-02.pro");
  EXPECT_TRUE(fs::is_regular_file(project));
  EXPECT_EQ(relative.rfind(userData + "Project/show", 0), 0u) << relative;

  // A second user starts from the shipped files, not from the first user's.
  SetFoldersForTesting(InstallFor("b"));
  EXPECT_EQ(ActiveLanguageName(), "English");
  EXPECT_EQ(ReadBytes(root_ + "home/b/.config/orvpanel/Language/English.ini"),
            ReadBytes(shipped_ + "Language/English.ini"));
  EXPECT_EQ(Snapshot(root_ + "usr"), before_);
}

TEST_F(InstalledCopyTest, KeepsTheUsersFilesAndTakesNewerShippedLanguageFiles) {
  const AppFolderSet folders = InstallFor("a");
  const std::string own = folders.settings;
  fs::create_directories(own + "Language");
  WriteBytes(own + "Info.ini", "[COM]\r\nport=4\r\n");
  WriteBytes(own + "Language/English.ini", "[Setting]\r\nLanguage=English\r\n");
  WriteBytes(own + "Language/Chinese.ini", "[Setting]\r\nLanguage=Chinese\r\n[String]\r\nX=1\r\n");
  // The shipped English file is newer than the user's copy, the Chinese one older.
  const auto now = fs::file_time_type::clock::now();
  fs::last_write_time(own + "Language/English.ini", now - std::chrono::hours(2));
  fs::last_write_time(shipped_ + "Language/English.ini", now - std::chrono::hours(1));
  fs::last_write_time(shipped_ + "Language/Chinese.ini", now - std::chrono::hours(3));
  SetFoldersForTesting(folders);
  EXPECT_EQ(ReadBytes(own + "Info.ini"), "[COM]\r\nport=4\r\n");
  EXPECT_EQ(ReadBytes(own + "Language/English.ini"), ReadBytes(shipped_ + "Language/English.ini"));
  EXPECT_EQ(ReadBytes(own + "Language/Chinese.ini"),
            "[Setting]\r\nLanguage=Chinese\r\n[String]\r\nX=1\r\n");
}

TEST_F(TempFolderTest, PortableCopyKeepsEverythingBesideTheExecutable) {
  const AppFolderSet folders = Folders();
  EXPECT_EQ(folders.layout, FolderLayout::Portable);
  for (const std::string& f : {DataFolder(), SettingsFolder(), UserDataFolder()}) {
    EXPECT_EQ(f, AppFolder());
  }
  EXPECT_EQ(SettingsPath(), Path("Info.ini"));
  EXPECT_EQ(LanguageFolder(), Path("Language/"));
  std::string project;
  EnsureProjectPath(project, "2026-01-02");
  EXPECT_EQ(project, Path("Project/2026-01-02/2026-01-02.pro"));
}

}  // namespace
}  // namespace orv::test
