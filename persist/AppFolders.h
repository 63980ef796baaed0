#pragma once
// Where the panel's files live. A portable copy (a build tree, a copy in a
// folder its user can write) keeps everything beside its executable, as it
// always did. An installed copy (a "share/orvpanel/installed-layout" marker
// beside its bin folder, or a program folder its user cannot write) reads its
// shipped files from the install's data folder and keeps each user's settings
// and projects in that user's own folders, so that nothing is ever written
// beside the executable and two users never share a settings file.
// DecideFolders is the one place that chooses.
#include <functional>
#include <string>

namespace orv {

enum class FolderLayout { Portable, Installed };

// Every folder ends in '/'.
struct AppFolderSet {
  FolderLayout layout = FolderLayout::Portable;
  std::string program;   // the executable's folder
  std::string data;      // shipped files, only read: language files, font, default Info.ini
  std::string settings;  // Info.ini and the user's copies of the language files
  std::string userData;  // projects and caption pictures
};

// What the decision looks at, so that a test can lay out any machine.
struct FolderProbe {
  std::function<bool(const std::string& path)> isFile;
  std::function<bool(const std::string& folder)> isWritableFolder;
  // The variable's value, "" when unset.
  std::function<std::string(const char* name)> environment;
  // The account's home folder, used when HOME is unset.
  std::function<std::string()> accountHome;
};

// The marker an install puts into its data folder.
inline constexpr const char* kInstalledLayoutMarker = "installed-layout";

// The data folder an install beside `programFolder` has ("/usr/bin/" gives
// "/usr/share/orvpanel/").
std::string InstalledDataFolder(const std::string& programFolder);

AppFolderSet DecideFolders(const std::string& programFolder, const FolderProbe& probe);
FolderProbe SystemFolderProbe();
// All four folders are `folder` (which gets its trailing '/').
AppFolderSet PortableFolders(std::string folder);

// For an installed layout: creates the user's folders, copies the shipped
// Info.ini defaults when the user has none yet, and copies each shipped
// language file the user has no copy of, or an older one. The language
// files are rewritten at run time, so the copy in the settings folder is the
// one the panel reads and writes. Does nothing for a portable layout.
void SeedUserFolders(const AppFolderSet& folders);

// The folder the language files are read from and rewritten in.
std::string LanguageFolderOf(const AppFolderSet& folders);

}  // namespace orv
