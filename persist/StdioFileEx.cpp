#include "StdioFileEx.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "CodePage.h"

namespace orv {
namespace {

// Bytes of look-back kept when the read buffer is refilled, so that a piece
// can hand back an unfinished character and a peek can be undone.
constexpr std::size_t kKeepBehind = 8;
constexpr std::size_t kReadChunk = 16384;

}  // namespace

CStdioFileEx::~CStdioFileEx() {
  Close();
}

bool CStdioFileEx::Open(const std::string& path, unsigned flags) {
  Close();
  const bool write = (flags & (modeWrite | modeReadWrite)) != 0;
  const bool create = (flags & modeCreate) != 0;
  unsigned used = flags;
  bool unicode = false;
  // Reading a text file: a byte-order mark makes it UTF-16LE, read in binary
  // mode (text mode would mangle the 16-bit units).
  if (!write && !create && (flags & typeBinary) == 0 && IsFileUnicode(path)) {
    unicode = true;
    used = (used & ~static_cast<unsigned>(typeText)) | typeBinary;
  }

  int oflags = O_CLOEXEC;
  if (flags & modeReadWrite) {
    oflags |= O_RDWR;
  } else if (flags & modeWrite) {
    oflags |= O_WRONLY;
  } else {
    oflags |= O_RDONLY;
  }
  if (create) {
    oflags |= O_CREAT;
    if ((flags & modeNoTruncate) == 0) oflags |= O_TRUNC;
  }
  const int fd = ::open(path.c_str(), oflags, 0666);
  if (fd < 0) return false;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
    ::close(fd);
    return false;
  }
  fd_ = fd;
  path_ = path;
  unicodeText_ = unicode;
  openFlags_ = used;
  writeFailed_ = false;
  position_ = 0;
  buffer_.clear();
  bufferAt_ = 0;
  searchSection_.clear();
  return true;
}

bool CStdioFileEx::Close() {
  if (fd_ < 0) return !writeFailed_;
  const bool closed = ::close(fd_) == 0;
  fd_ = -1;
  buffer_.clear();
  bufferAt_ = 0;
  return closed && !writeFailed_;
}

bool CStdioFileEx::Fill() {
  if (bufferAt_ > kKeepBehind) {
    buffer_.erase(0, bufferAt_ - kKeepBehind);
    bufferAt_ = kKeepBehind;
  }
  char chunk[kReadChunk];
  for (;;) {
    const ssize_t n = ::read(fd_, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    buffer_.append(chunk, static_cast<std::size_t>(n));
    return true;
  }
}

int CStdioFileEx::NextByte() {
  if (fd_ < 0) return -1;
  if (bufferAt_ >= buffer_.size() && !Fill()) return -1;
  ++position_;
  return static_cast<unsigned char>(buffer_[bufferAt_++]);
}

bool CStdioFileEx::ReadString(std::string& line) {
  if (fd_ < 0) return false;
  if (unicodeText_) {
    if (position_ == 0) {
      NextByte();
      NextByte();
    }
    std::string units;
    for (;;) {
      const int low = NextByte();
      if (low < 0) break;
      const int high = NextByte();
      if (high < 0) break;  // an odd final byte is not a character
      units.push_back(static_cast<char>(low));
      units.push_back(static_cast<char>(high));
      if (low == '\n' && high == 0) break;
    }
    if (units.empty()) return false;
    std::string_view body = units;
    if (body.ends_with(std::string_view("\r\0\n\0", 4))) {
      body.remove_suffix(4);
    } else if (body.ends_with(std::string_view("\n\0", 2)) ||
               body.ends_with(std::string_view("\r\0", 2))) {
      body.remove_suffix(2);
    }
    line = Utf16LeToUtf8(body);
    return true;
  }

  // ANSI: one piece of at most kMaxAnsiPiece bytes, up to and including a
  // line feed. Text mode reads CR LF as LF, so a line end is never split
  // between two pieces.
  const bool textMode = (openFlags_ & typeBinary) == 0;
  std::string bytes;
  while (bytes.size() < kMaxAnsiPiece) {
    int c = NextByte();
    if (c < 0) break;
    if (textMode && c == '\r') {
      const int next = NextByte();
      if (next == '\n') {
        c = '\n';
      } else if (next >= 0) {
        --bufferAt_;
        --position_;
      }
    }
    bytes.push_back(static_cast<char>(c));
    if (c == '\n') break;
  }
  if (bytes.empty()) return false;
  if (bytes.size() == kMaxAnsiPiece && bytes.back() != '\n') {
    // A full piece hands an unfinished double-byte or UTF-8 character on to
    // the next piece instead of cutting it in two.
    const std::size_t tail = UnfinishedTail(bytes, codePage_);
    if (tail > 0 && tail < bytes.size() && tail <= bufferAt_) {
      bytes.resize(bytes.size() - tail);
      bufferAt_ -= tail;
      position_ -= tail;
    }
  }
  std::string_view body = bytes;
  if (body.ends_with("\r\n")) {
    body.remove_suffix(2);
  } else if (body.ends_with('\r') || body.ends_with('\n')) {
    body.remove_suffix(1);
  }
  line = ToWide(body);
  return true;
}

bool CStdioFileEx::WriteBytes(std::string_view bytes) {
  if (fd_ < 0) {
    writeFailed_ = true;
    return false;
  }
  if (bufferAt_ < buffer_.size()) {
    // Bytes were read ahead: write where the reader stands.
    if (::lseek(fd_, static_cast<off_t>(position_), SEEK_SET) < 0) {
      writeFailed_ = true;
      return false;
    }
  }
  buffer_.clear();
  bufferAt_ = 0;
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      writeFailed_ = true;
      return false;
    }
    position_ += static_cast<std::size_t>(n);
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

bool CStdioFileEx::WriteString(std::string_view text) {
  if (openFlags_ & modeWriteUnicode) {
    std::string bytes;
    if (fd_ < 0 || position_ == 0) bytes = "\xFF\xFE";
    bytes += Utf8ToUtf16Le(text);
    return WriteBytes(bytes);
  }
  return WriteBytes(ToNarrow(text));
}

bool CStdioFileEx::Sync() {
  return fd_ >= 0 && !writeFailed_ && ::fsync(fd_) == 0;
}

bool CStdioFileEx::IsFileUnicode(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  unsigned char mark[2] = {0, 0};
  ssize_t n;
  do {
    n = ::read(fd, mark, 2);
  } while (n < 0 && errno == EINTR);
  ::close(fd);
  return n == 2 && mark[0] == 0xFF && mark[1] == 0xFE;
}

std::string CStdioFileEx::ToNarrow(std::string_view text) const {
  return Utf8ToCodePage(text, codePage_, '#');
}

std::string CStdioFileEx::ToWide(std::string_view bytes) const {
  return CodePageToUtf8(bytes, codePage_);
}

}  // namespace orv
