#pragma once
// A line-oriented text file that knows its encoding: UTF-16LE with a
// byte-order mark, or ANSI bytes in a code page (the system ANSI code page
// unless one is set). Texts in memory are UTF-8.
//
// Reading in text mode without write or create options first probes the
// file: when it starts with FF FE it is read as UTF-16LE, in binary mode.
// Writes go straight to the file at the current position, unbuffered, with no
// line-end translation.
#include <cstddef>
#include <string>
#include <string_view>

namespace orv {

class CStdioFileEx {
 public:
  // Open options. Write without create opens an existing file and keeps its
  // content; create without no-truncate empties it.
  enum OpenFlags : unsigned {
    modeRead = 0x0000,
    modeWrite = 0x0001,
    modeReadWrite = 0x0002,
    shareDenyWrite = 0x0020,
    modeCreate = 0x1000,
    modeNoTruncate = 0x2000,
    typeText = 0x4000,
    typeBinary = 0x8000,
    modeWriteUnicode = 0x10000,  // WriteString writes UTF-16LE with a byte-order mark
  };

  // Longest ANSI piece ReadString returns, in bytes (a longer line comes back
  // in several pieces).
  static constexpr std::size_t kMaxAnsiPiece = 4095;

  CStdioFileEx() = default;
  ~CStdioFileEx();
  CStdioFileEx(const CStdioFileEx&) = delete;
  CStdioFileEx& operator=(const CStdioFileEx&) = delete;

  bool Open(const std::string& path, unsigned flags);
  // Closes; false when a write error happened on the way or closing failed.
  bool Close();
  bool IsOpen() const { return fd_ >= 0; }

  // The next line without its line end; false at end of file.
  bool ReadString(std::string& line);
  // False when the bytes could not all be written (the file remembers it, see
  // WriteFailed()).
  bool WriteString(std::string_view text);
  // Flushes the written bytes to the disk.
  bool Sync();

  // True when the file's first two bytes are FF FE.
  static bool IsFileUnicode(const std::string& path);

  // Conversions with this file's code page: UTF-8 text to code-page bytes
  // ("#" for what the code page lacks; U+FFFD for 65001) and back.
  std::string ToNarrow(std::string_view text) const;
  std::string ToWide(std::string_view bytes) const;

  bool IsUnicodeText() const { return unicodeText_; }
  unsigned OpenFlagsUsed() const { return openFlags_; }
  int CodePage() const { return codePage_; }
  void SetCodePage(int codePage) { codePage_ = codePage; }
  bool WriteFailed() const { return writeFailed_; }
  // Byte offset of the next read or write.
  std::size_t Position() const { return position_; }
  const std::string& FilePath() const { return path_; }

  // The current section of the forward key search (FindKey): it belongs to
  // the file being read and starts empty at every Open.
  std::string& SearchSection() { return searchSection_; }

 private:
  // Next byte, or -1 at end of file (or on a read error).
  int NextByte();
  bool Fill();
  bool WriteBytes(std::string_view bytes);

  int fd_ = -1;
  std::string path_;
  bool unicodeText_ = false;
  unsigned openFlags_ = 0;
  int codePage_ = -1;
  bool writeFailed_ = false;
  std::size_t position_ = 0;
  std::string buffer_;  // bytes read ahead of position_
  std::size_t bufferAt_ = 0;
  std::string searchSection_;
};

}  // namespace orv
