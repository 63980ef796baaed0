#include "Ini.h"

#include <sys/stat.h>
#include <unistd.h>

#include <list>
#include <memory>
#include <mutex>
#include <optional>

#include "AppFolders.h"
#include "AtomicFile.h"
#include "CodePage.h"
#include "IniDocument.h"

namespace orv {
namespace {

// What identifies one version of a file: a rewrite (which always renames a
// new file into place) changes the inode, an edit in place the size or time.
struct FileStamp {
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  long long modifiedNs = 0;
  bool operator==(const FileStamp&) const = default;
};

std::optional<FileStamp> StampOf(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  return FileStamp{
      info.st_dev, info.st_ino, info.st_size,
      static_cast<long long>(info.st_mtim.tv_sec) * 1000000000LL + info.st_mtim.tv_nsec};
}

// The last few files parsed, so that reading a language file text by text
// does not parse the whole file for every key.
class DocumentCache {
 public:
  // Null when the file is missing or unreadable.
  std::shared_ptr<const IniDocument> Get(const std::string& path) {
    const int codePage = AnsiCodePage();
    const auto stamp = StampOf(path);
    if (!stamp) return nullptr;
    {
      std::lock_guard lock(mutex_);
      for (auto it = entries_.begin(); it != entries_.end(); ++it) {
        if (it->path == path && it->stamp == *stamp && it->codePage == codePage) {
          entries_.splice(entries_.begin(), entries_, it);
          return entries_.front().document;
        }
      }
    }
    const auto bytes = ReadWholeFile(path);
    if (!bytes) return nullptr;
    auto document = std::make_shared<const IniDocument>(IniDocument::Parse(*bytes, codePage));
    // Stored only when the file did not change while it was being read.
    if (StampOf(path) == stamp) Put(path, *stamp, codePage, document);
    return document;
  }

  void Put(const std::string& path, const FileStamp& stamp, int codePage,
           std::shared_ptr<const IniDocument> document) {
    std::lock_guard lock(mutex_);
    entries_.remove_if([&path](const Entry& e) { return e.path == path; });
    entries_.push_front({path, stamp, codePage, std::move(document)});
    while (entries_.size() > kEntries) entries_.pop_back();
  }

 private:
  static constexpr std::size_t kEntries = 4;
  struct Entry {
    std::string path;
    FileStamp stamp;
    int codePage;
    std::shared_ptr<const IniDocument> document;
  };
  std::mutex mutex_;
  std::list<Entry> entries_;
};

DocumentCache& Cache() {
  static DocumentCache cache;
  return cache;
}

std::string_view DropTrailingBlanks(std::string_view text) {
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

std::mutex& FolderMutex() {
  static std::mutex mutex;
  return mutex;
}

// The folders of this process; empty until first asked for (or set by a test).
std::optional<AppFolderSet>& CurrentFolders() {
  static std::optional<AppFolderSet> folders;
  return folders;
}

std::string ExecutableFolder() {
  std::string buffer(4096, '\0');
  for (;;) {
    const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n < 0) return "./";
    if (static_cast<std::size_t>(n) < buffer.size()) {
      buffer.resize(static_cast<std::size_t>(n));
      break;
    }
    buffer.resize(buffer.size() * 2);
  }
  const auto slash = buffer.find_last_of('/');
  return slash == std::string::npos ? std::string("./") : buffer.substr(0, slash + 1);
}

}  // namespace

std::string GetProfileString(std::string_view section, std::string_view key,
                             std::string_view fallback, std::size_t maxChars,
                             const std::string& path) {
  if (maxChars == 0) return {};
  std::string value;
  const auto document = Cache().Get(path);
  std::optional<std::string> found;
  if (document) found = document->Find(section, key);
  if (found) {
    value = std::move(*found);
  } else {
    value = DropTrailingBlanks(fallback);
  }
  return std::string(Utf16Prefix(value, maxChars - 1));
}

bool WriteProfileString(std::string_view section, std::string_view key, std::string_view value,
                        const std::string& path) {
  const int codePage = AnsiCodePage();
  IniDocument document = IniDocument::Parse("", codePage);
  const bool exists = ::access(path.c_str(), F_OK) == 0;
  if (exists) {
    // A file that is there but cannot be read is left alone rather than
    // replaced by a file holding only this key.
    auto cached = Cache().Get(path);
    if (!cached) return false;
    document = *cached;
  }
  if (!document.Set(section, key, value) && exists) return true;
  if (!WriteFileAtomically(path, document.Serialize())) return false;
  if (const auto stamp = StampOf(path)) {
    Cache().Put(path, *stamp, codePage, std::make_shared<const IniDocument>(std::move(document)));
  }
  return true;
}

std::string ReadSetting(std::string_view section, std::string_view key, const std::string& path) {
  return GetProfileString(section, key, "", 256, path);
}

AppFolderSet Folders() {
  std::lock_guard lock(FolderMutex());
  auto& folders = CurrentFolders();
  if (!folders) {
    folders = DecideFolders(ExecutableFolder(), SystemFolderProbe());
    SeedUserFolders(*folders);
  }
  return *folders;
}

std::string AppFolder() {
  return Folders().program;
}

std::string DataFolder() {
  return Folders().data;
}

std::string SettingsFolder() {
  return Folders().settings;
}

std::string UserDataFolder() {
  return Folders().userData;
}

std::string SettingsPath() {
  return SettingsFolder() + "Info.ini";
}

void SetFoldersForTesting(std::optional<AppFolderSet> folders) {
  std::lock_guard lock(FolderMutex());
  if (folders) SeedUserFolders(*folders);
  CurrentFolders() = std::move(folders);
}

void SetAppFolderForTesting(const std::string& folder) {
  SetFoldersForTesting(folder.empty() ? std::nullopt
                                      : std::optional<AppFolderSet>(PortableFolders(folder)));
}

}  // namespace orv
