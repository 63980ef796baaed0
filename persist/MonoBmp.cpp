#include "MonoBmp.h"

#include <algorithm>
#include <array>
#include <climits>
#include <iterator>
#include <string_view>

#include "AtomicFile.h"

namespace orv {

namespace {

void PutU16(std::vector<uint8_t>& out, std::size_t at, uint32_t v) {
  out[at] = static_cast<uint8_t>(v);
  out[at + 1] = static_cast<uint8_t>(v >> 8);
}

void PutU32(std::vector<uint8_t>& out, std::size_t at, uint32_t v) {
  PutU16(out, at, v & 0xFFFF);
  PutU16(out, at + 2, v >> 16);
}

uint32_t GetU32(std::span<const uint8_t> b, std::size_t at) {
  return static_cast<uint32_t>(b[at]) | (static_cast<uint32_t>(b[at + 1]) << 8) |
         (static_cast<uint32_t>(b[at + 2]) << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

uint16_t GetU16(std::span<const uint8_t> b, std::size_t at) {
  return static_cast<uint16_t>(b[at] | (b[at + 1] << 8));
}

constexpr uint32_t kFileHeaderBytes = 14;
constexpr uint32_t kCoreHeaderBytes = 12;  // the oldest header: 16-bit sizes, no compression
constexpr uint32_t kInfoHeaderBytes = 40;
constexpr uint32_t kMaskBytes = 12;       // red, green and blue masks after a 40-byte header
constexpr uint32_t kOs2HeaderBytes = 64;  // its compression numbers mean other things
constexpr uint32_t kRgb = 0;
constexpr uint32_t kBitFields = 3;

// The uncompressed kinds taken: the rows are plain pixels, either palette
// indexes or colours (whose layout bit-field masks may describe).
struct StoredKind {
  uint32_t compression;
  uint16_t bitCount;
};
constexpr StoredKind kUncompressedKinds[] = {
    {kRgb, 1},  {kRgb, 4},  {kRgb, 8},        {kRgb, 16},
    {kRgb, 24}, {kRgb, 32}, {kBitFields, 16}, {kBitFields, 32},
};

bool IsUncompressedKind(uint32_t infoSize, uint32_t compression, uint16_t bitCount) {
  if (compression == kBitFields && infoSize == kOs2HeaderBytes) return false;
  if (infoSize == kCoreHeaderBytes && bitCount > 8 && bitCount != 24) return false;
  return std::any_of(
      std::begin(kUncompressedKinds), std::end(kUncompressedKinds),
      [&](const StoredKind& k) { return k.compression == compression && k.bitCount == bitCount; });
}

// Bytes of one stored row of `width` pixels at `bitCount` bits, padded to 4.
uint64_t RowBytes(int32_t width, uint16_t bitCount) {
  return (static_cast<uint64_t>(width) * bitCount + 31) / 32 * 4;
}

uint64_t FileSize(std::FILE* f) {
  if (std::fseek(f, 0, SEEK_END) != 0) return 0;
  const long size = std::ftell(f);
  return size > 0 ? static_cast<uint64_t>(size) : 0;
}

// Opens `path` and checks its headers; the file stays open on success.
std::FILE* OpenChecked(const std::string& path, BmpHeader* header, BmpProblem* problem) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) {
    *problem = BmpProblem::CannotOpen;
    return nullptr;
  }
  const uint64_t size = FileSize(f);
  std::array<uint8_t, kBmpHeadBytes> head{};
  std::size_t got = 0;
  if (std::fseek(f, 0, SEEK_SET) == 0) got = std::fread(head.data(), 1, head.size(), f);
  *problem = ParseBmpHeader(std::span(head.data(), got), size, header);
  if (*problem != BmpProblem::None) {
    std::fclose(f);
    return nullptr;
  }
  return f;
}

}  // namespace

MonoBitmap::MonoBitmap(int w, int h)
    : width(w),
      height(h),
      rows(static_cast<std::size_t>(CaptionStride(w)) * static_cast<std::size_t>(h), 0) {}

bool MonoBitmap::Bit(int x, int y) const {
  if (x < 0 || y < 0 || x >= width || y >= height) return false;
  return (rows[static_cast<std::size_t>(y * Stride() + x / 8)] >> (7 - x % 8)) & 1;
}

void MonoBitmap::Set(int x, int y, bool on) {
  if (x < 0 || y < 0 || x >= width || y >= height) return;
  uint8_t& b = rows[static_cast<std::size_t>(y * Stride() + x / 8)];
  const auto mask = static_cast<uint8_t>(0x80 >> (x % 8));
  b = on ? static_cast<uint8_t>(b | mask) : static_cast<uint8_t>(b & ~mask);
}

std::vector<uint8_t> EncodeMonoBmp(const MonoBitmap& bitmap) {
  const auto stride = static_cast<std::size_t>(bitmap.Stride());
  const std::size_t imageSize = stride * static_cast<std::size_t>(bitmap.height);
  std::vector<uint8_t> out(kMonoBmpHeaderBytes + imageSize, 0);
  out[0] = 'B';
  out[1] = 'M';
  PutU32(out, 2, static_cast<uint32_t>(out.size()));
  PutU32(out, 10, kMonoBmpHeaderBytes);
  PutU32(out, 14, kInfoHeaderBytes);
  PutU32(out, 18, static_cast<uint32_t>(bitmap.width));
  PutU32(out, 22, static_cast<uint32_t>(bitmap.height));  // positive: rows bottom-up
  PutU16(out, 26, 1);                                     // planes
  PutU16(out, 28, 1);                                     // bits per pixel
  // Compression, image size, resolutions and colour counts stay 0. Colour
  // table: entry 0 black (already 0), entry 1 white.
  std::fill_n(out.begin() + 58, 3, uint8_t{0xFF});
  for (int y = 0; y < bitmap.height; ++y) {
    const auto from = bitmap.rows.begin() + static_cast<std::ptrdiff_t>(y * stride);
    const auto to = out.begin() + static_cast<std::ptrdiff_t>(kMonoBmpHeaderBytes +
                                                              (bitmap.height - 1 - y) * stride);
    std::copy_n(from, stride, to);
  }
  return out;
}

bool WriteMonoBmp(const std::string& path, const MonoBitmap& bitmap) {
  const std::vector<uint8_t> bytes = EncodeMonoBmp(bitmap);
  return WriteFileAtomically(
      path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

BmpProblem ParseBmpHeader(std::span<const uint8_t> head, uint64_t fileSize, BmpHeader* out) {
  if (head.size() < kFileHeaderBytes + 4 || head[0] != 'B' || head[1] != 'M') {
    return BmpProblem::NotBmp;
  }
  BmpHeader h;
  h.dataOffset = GetU32(head, 10);
  const uint32_t infoSize = GetU32(head, 14);
  uint32_t compression = kRgb;
  int64_t height = 0;
  if (infoSize == kCoreHeaderBytes) {
    if (head.size() < kFileHeaderBytes + kCoreHeaderBytes) return BmpProblem::NotBmp;
    h.width = GetU16(head, 18);
    height = GetU16(head, 20);
    h.bitCount = GetU16(head, 24);
  } else {
    if (infoSize < kInfoHeaderBytes || head.size() < kBmpHeadBytes) return BmpProblem::NotBmp;
    h.width = static_cast<int32_t>(GetU32(head, 18));
    height = static_cast<int32_t>(GetU32(head, 22));
    h.bitCount = GetU16(head, 28);
    compression = GetU32(head, 30);
  }
  // Masks that a 40-byte header announces follow it; later headers hold them.
  const uint32_t masks = compression == kBitFields && infoSize == kInfoHeaderBytes ? kMaskBytes : 0;
  if (!IsUncompressedKind(infoSize, compression, h.bitCount) ||
      h.dataOffset < uint64_t{kFileHeaderBytes} + infoSize + masks) {
    return BmpProblem::NotBmp;
  }
  if (h.width <= 0) return BmpProblem::BadWidth;
  // A negative height stores the rows top-down.
  if (height == 0 || height == INT32_MIN) return BmpProblem::BadHeight;
  h.topDown = height < 0;
  h.height = static_cast<int32_t>(height < 0 ? -height : height);
  const uint64_t end =
      h.dataOffset + RowBytes(h.width, h.bitCount) * static_cast<uint64_t>(h.height);
  if (end > fileSize) return BmpProblem::Truncated;
  if (out) *out = h;
  return BmpProblem::None;
}

BmpProblem InspectBmpFile(const std::string& path, BmpHeader* out) {
  BmpProblem problem = BmpProblem::None;
  BmpHeader header;
  if (std::FILE* f = OpenChecked(path, &header, &problem)) {
    std::fclose(f);
    if (out) *out = header;
  }
  return problem;
}

BmpProblem CheckCaptionHeader(const BmpHeader& header) {
  if (header.bitCount != 1) return BmpProblem::NotOneBit;
  if (header.width > kCaptionMaxWidth || header.height > kCaptionMaxHeight) {
    return BmpProblem::TooLarge;
  }
  return BmpProblem::None;
}

std::unique_ptr<CaptionBmpFile> CaptionBmpFile::Open(const std::string& path, BmpProblem* problem) {
  BmpProblem local = BmpProblem::None;
  BmpProblem& p = problem ? *problem : local;
  BmpHeader header;
  std::FILE* f = OpenChecked(path, &header, &p);
  if (!f) return nullptr;
  p = CheckCaptionHeader(header);
  if (p != BmpProblem::None) {
    std::fclose(f);
    return nullptr;
  }
  return std::unique_ptr<CaptionBmpFile>(new CaptionBmpFile(f, header));
}

CaptionBmpFile::~CaptionBmpFile() {
  std::fclose(file_);
}

// Row n from the top lies at dataOffset + (height - n) x stride in a file
// that stores its rows bottom-up, at dataOffset + (n - 1) x stride top-down.
bool CaptionBmpFile::ReadRow(int n, std::span<uint8_t> out) {
  const auto stride = static_cast<std::size_t>(CaptionStride(header_.width));
  if (n < 1 || n > header_.height || out.size() != stride) return false;
  const int stored = header_.topDown ? n - 1 : header_.height - n;
  const long at =
      static_cast<long>(header_.dataOffset) + static_cast<long>(stored) * static_cast<long>(stride);
  return std::fseek(file_, at, SEEK_SET) == 0 && std::fread(out.data(), 1, stride, file_) == stride;
}

std::optional<MonoBitmap> ReadMonoBmp(const std::string& path, BmpProblem* problem) {
  auto file = CaptionBmpFile::Open(path, problem);
  if (!file) return std::nullopt;
  MonoBitmap bitmap(file->Width(), file->Height());
  const auto stride = static_cast<std::size_t>(bitmap.Stride());
  for (int n = 1; n <= bitmap.height; ++n) {
    if (!file->ReadRow(n, std::span(bitmap.rows).subspan((n - 1) * stride, stride))) {
      if (problem) *problem = BmpProblem::Truncated;
      return std::nullopt;
    }
  }
  return bitmap;
}

}  // namespace orv
