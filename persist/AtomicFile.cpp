#include "AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>

namespace orv {
namespace {

// Writes every byte, retrying short writes and interruptions.
bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

// A symbolic link is followed, so that replacing the file keeps the link.
std::string ResolveTarget(const std::string& path) {
  std::error_code error;
  if (!std::filesystem::is_symlink(path, error)) return path;
  const auto resolved = std::filesystem::weakly_canonical(path, error);
  return error ? path : resolved.string();
}

std::string FolderOf(const std::string& path) {
  const auto slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
}

std::string FileNameOf(const std::string& path) {
  const auto slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

void SyncFolder(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

std::optional<std::string> ReadWholeFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return std::nullopt;
  }
  std::string bytes;
  char buffer[16384];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      ::close(fd);
      return std::nullopt;
    }
    if (n == 0) break;
    bytes.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return bytes;
}

AtomicReplace::AtomicReplace(std::string path) : target_(ResolveTarget(path)) {}

AtomicReplace::~AtomicReplace() {
  if (!temp_.empty() && !committed_) ::unlink(temp_.c_str());
}

bool AtomicReplace::Begin() {
  if (!temp_.empty()) return true;
  // A hidden name that no "*.pro" or "*.ini" pattern matches, made unique by
  // the process id, a counter and the clock; O_EXCL never reuses a name.
  static std::atomic<unsigned> counter{0};
  const std::string base = FolderOf(target_) + "." + FileNameOf(target_) + ".tmp-";
  for (int attempt = 0; attempt < 16; ++attempt) {
    const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    char suffix[64];
    std::snprintf(suffix, sizeof suffix, "%d-%u-%llx", static_cast<int>(::getpid()),
                  counter.fetch_add(1), static_cast<unsigned long long>(ticks) & 0xFFFFFFull);
    const std::string candidate = base + suffix;
    // 0666 under the umask, like any newly created file; an existing target
    // hands its own permissions on.
    const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      return false;
    }
    struct stat info {};
    if (::stat(target_.c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
      ::fchmod(fd, info.st_mode & 07777);
    }
    ::close(fd);
    temp_ = candidate;
    return true;
  }
  return false;
}

bool AtomicReplace::Commit() {
  if (temp_.empty() || committed_) return false;
  const int fd = ::open(temp_.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool synced = ::fsync(fd) == 0;
  ::close(fd);
  if (!synced) return false;
  if (::rename(temp_.c_str(), target_.c_str()) != 0) return false;
  committed_ = true;
  SyncFolder(FolderOf(target_));
  return true;
}

bool WriteFileAtomically(const std::string& path, std::string_view bytes) {
  AtomicReplace replace(path);
  if (!replace.Begin()) return false;
  const int fd = ::open(replace.TempPath().c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
  if (fd < 0) return false;
  const bool written = WriteAll(fd, bytes);
  const bool closed = ::close(fd) == 0;
  return written && closed && replace.Commit();
}

}  // namespace orv
