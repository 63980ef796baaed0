#include "AppFolders.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

#include "AtomicFile.h"

namespace orv {
namespace {

constexpr const char* kAppName = "orvpanel";

std::string WithSlash(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

// $VARIABLE when it holds an absolute path (relative ones are ignored, as
// the XDG base directories say), else home + fallback.
std::string BaseFolder(const FolderProbe& probe, const char* variable, const std::string& home,
                       const char* fallback) {
  const std::string value = probe.environment(variable);
  if (!value.empty() && value.front() == '/') return WithSlash(value);
  return WithSlash(home) + fallback;
}

std::string HomeFolder(const FolderProbe& probe) {
  std::string home = probe.environment("HOME");
  if (home.empty()) home = probe.accountHome();
  return home.empty() ? std::string("/") : home;
}

bool IsRegularFile(const std::string& path) {
  std::error_code error;
  return std::filesystem::is_regular_file(path, error);
}

// Copies `from` to `to` when `to` is missing or older; silent on failure.
void CopyIfNewer(const std::string& from, const std::string& to) {
  namespace fs = std::filesystem;
  std::error_code error;
  const auto shipped = fs::last_write_time(from, error);
  if (error) return;
  if (IsRegularFile(to)) {
    const auto own = fs::last_write_time(to, error);
    if (!error && own >= shipped) return;
  }
  if (const auto bytes = ReadWholeFile(from)) WriteFileAtomically(to, *bytes);
}

}  // namespace

std::string InstalledDataFolder(const std::string& programFolder) {
  std::string parent = programFolder;
  while (!parent.empty() && parent.back() == '/') parent.pop_back();
  const auto slash = parent.find_last_of('/');
  parent = slash == std::string::npos ? std::string() : parent.substr(0, slash);
  return parent + "/share/" + kAppName + "/";
}

AppFolderSet DecideFolders(const std::string& programFolder, const FolderProbe& probe) {
  const std::string program = WithSlash(programFolder);
  const std::string shipped = InstalledDataFolder(program);
  const bool marked = probe.isFile(shipped + kInstalledLayoutMarker);
  if (!marked && probe.isWritableFolder(program)) return PortableFolders(program);

  const std::string home = HomeFolder(probe);
  AppFolderSet folders;
  folders.layout = FolderLayout::Installed;
  folders.program = program;
  // A read-only copy without an install around it still ships its files
  // beside the executable.
  folders.data = marked ? shipped : program;
  folders.settings = BaseFolder(probe, "XDG_CONFIG_HOME", home, ".config/") + kAppName + "/";
  folders.userData = BaseFolder(probe, "XDG_DATA_HOME", home, ".local/share/") + kAppName + "/";
  return folders;
}

FolderProbe SystemFolderProbe() {
  FolderProbe probe;
  probe.isFile = IsRegularFile;
  probe.isWritableFolder = [](const std::string& folder) {
    return ::access(folder.c_str(), W_OK) == 0;
  };
  probe.environment = [](const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
  };
  probe.accountHome = [] {
    const passwd* entry = ::getpwuid(::getuid());
    return entry == nullptr || entry->pw_dir == nullptr ? std::string()
                                                        : std::string(entry->pw_dir);
  };
  return probe;
}

AppFolderSet PortableFolders(std::string folder) {
  folder = WithSlash(std::move(folder));
  return {FolderLayout::Portable, folder, folder, folder, folder};
}

std::string LanguageFolderOf(const AppFolderSet& folders) {
  return folders.settings + "Language/";
}

void SeedUserFolders(const AppFolderSet& folders) {
  if (folders.layout != FolderLayout::Installed) return;
  namespace fs = std::filesystem;
  std::error_code error;
  fs::create_directories(folders.settings, error);
  fs::create_directories(folders.userData, error);
  const std::string settingsFile = folders.settings + "Info.ini";
  const std::string shippedSettings = folders.data + "Info.ini";
  if (!IsRegularFile(settingsFile) && IsRegularFile(shippedSettings)) {
    if (const auto bytes = ReadWholeFile(shippedSettings)) {
      WriteFileAtomically(settingsFile, *bytes);
    }
  }
  const std::string shippedLanguages = folders.data + "Language/";
  const std::string ownLanguages = LanguageFolderOf(folders);
  fs::directory_iterator it(shippedLanguages, error);
  if (error) return;
  fs::create_directories(ownLanguages, error);
  for (const auto& entry : it) {
    const std::string name = entry.path().filename().string();
    if (IsRegularFile(entry.path().string())) {
      CopyIfNewer(entry.path().string(), ownLanguages + name);
    }
  }
}

}  // namespace orv
