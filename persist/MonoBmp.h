#pragma once
// One-bit pictures and the monochrome BMP files the caption pictures travel
// in ("PFile.BMP", "<folder>PFile<n>.BMP"): a 14-byte file header, a 40-byte
// information header, a two-entry colour table (black, white) and the rows
// bottom-up, each padded to a multiple of 4 bytes.
//
// A BMP file is untrusted input: every header field is checked against the
// file's size before a row is read, so a file that lies about its size,
// depth or shape is refused with the reason instead of being read.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "CaptionUpload.h"

namespace orv {

// A one-bit picture in memory: rows top to bottom, CaptionStride(width) bytes
// each, the leftmost pixel in the highest bit; 1 = white.
struct MonoBitmap {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rows;

  MonoBitmap() = default;
  MonoBitmap(int w, int h);
  int Stride() const { return CaptionStride(width); }
  bool Bit(int x, int y) const;
  void Set(int x, int y, bool on);
};

inline constexpr int kMonoBmpHeaderBytes = 62;  // file header, information header, colours

// The whole file of `bitmap`.
std::vector<uint8_t> EncodeMonoBmp(const MonoBitmap& bitmap);
// Replaces `path` with it; false leaves the old file as it was.
bool WriteMonoBmp(const std::string& path, const MonoBitmap& bitmap);

enum class BmpProblem {
  None,
  CannotOpen,  // missing or unreadable
  NotBmp,      // no "BM", a header too short, compressed rows (RLE, JPEG, PNG), an
               // unknown depth, bit-field masks missing
  Truncated,   // the rows the header announces lie beyond the end of the file
  BadWidth,    // zero or negative
  BadHeight,   // zero (a negative height means rows stored top-down)
  NotOneBit,   // a caption file must have one bit per pixel
  TooLarge,    // wider than 3840 or higher than 128
};

struct BmpHeader {
  uint32_t dataOffset = 0;
  int32_t width = 0;
  int32_t height = 0;  // rows, always positive
  uint16_t bitCount = 0;
  bool topDown = false;  // the first stored row is the top one
};

inline constexpr std::size_t kBmpHeadBytes = 54;  // file header and information header

// Checks the headers of a BMP file of `fileSize` bytes that begins with
// `head`: signature, an uncompressed kind (1, 4, 8, 16, 24 or 32 bits; plain,
// or 16 and 32 bits with bit-field masks; any header from the 12-byte core
// one to the 124-byte fifth version), rows bottom-up or top-down, and the
// announced rows inside the file.
BmpProblem ParseBmpHeader(std::span<const uint8_t> head, uint64_t fileSize, BmpHeader* out);
// The same for a file on disk.
BmpProblem InspectBmpFile(const std::string& path, BmpHeader* out);
// What a caption upload needs beyond that: one bit per pixel, at most 3840 x 128.
BmpProblem CheckCaptionHeader(const BmpHeader& header);

// A caption picture file open for an upload: its rows are read one at a time.
class CaptionBmpFile : public CaptionRows {
 public:
  // Opens and checks the file; null with the reason when it cannot be uploaded.
  static std::unique_ptr<CaptionBmpFile> Open(const std::string& path, BmpProblem* problem);
  ~CaptionBmpFile() override;

  int Width() const override { return header_.width; }
  int Height() const override { return header_.height; }
  bool ReadRow(int n, std::span<uint8_t> out) override;

 private:
  CaptionBmpFile(std::FILE* file, const BmpHeader& header) : file_(file), header_(header) {}
  std::FILE* file_;
  BmpHeader header_;
};

// The whole picture of a one-bit caption file, for showing it.
std::optional<MonoBitmap> ReadMonoBmp(const std::string& path, BmpProblem* problem);

}  // namespace orv
