#include "GifWalker.h"

#include <cstring>

namespace orv {

namespace {

int Word(const uint8_t* p) {
  return p[0] | (p[1] << 8);
}

size_t ColourTableSize(uint8_t packed) {
  return (packed & 0x80) ? 3u * (1u << ((packed & 7) + 1)) : 0u;
}

// Skips a chain of sub-blocks starting at `pos`; returns the position after
// the zero length byte, or nothing when the chain runs past `size`.
std::optional<size_t> SkipSubBlocks(const uint8_t* data, size_t size, size_t pos) {
  for (;;) {
    if (pos >= size) return std::nullopt;
    const size_t n = data[pos];
    ++pos;
    if (n == 0) return pos;
    if (n > size - pos) return std::nullopt;
    pos += n;
  }
}

}  // namespace

bool IsGifData(const uint8_t* data, size_t size) {
  return data && size >= 6 &&
         (std::memcmp(data, "GIF87a", 6) == 0 || std::memcmp(data, "GIF89a", 6) == 0);
}

std::optional<GifLayout> WalkGif(const uint8_t* data, size_t size) {
  if (!IsGifData(data, size) || size < 13) return std::nullopt;
  GifLayout layout;
  layout.width = Word(data + 6);
  layout.height = Word(data + 8);
  const size_t table = ColourTableSize(data[10]);
  if (table > size - 13) return std::nullopt;
  layout.headerSize = 13 + table;

  size_t pos = layout.headerSize;
  GifFrameInfo pending;  // a graphic control extension waiting for its image
  bool havePending = false;
  while (pos < size) {
    const uint8_t kind = data[pos];
    if (kind == 0x3B) break;  // trailer
    if (kind == 0x21) {
      if (size - pos < 2) break;
      const uint8_t label = data[pos + 1];
      if (label == 0xF9) {
        if (size - pos < 8) break;
        pending = GifFrameInfo{};
        pending.start = pos;
        pending.hasControl = true;
        pending.disposal = (data[pos + 3] >> 2) & 7;
        pending.delayHundredths = Word(data + pos + 4);
        havePending = true;
        pos += 8;
        continue;
      }
      size_t fixed = 0;
      if (label == 0xFF)
        fixed = 14;
      else if (label == 0xFE)
        fixed = 2;
      else if (label == 0x01)
        fixed = 15;
      else
        break;  // unknown extension
      if (fixed > size - pos) break;
      const auto next = SkipSubBlocks(data, size, pos + fixed);
      if (!next) break;
      if (label == 0x01) {
        GifFrameInfo f = havePending ? pending : GifFrameInfo{};
        if (!havePending) f.start = pos;
        f.plainText = true;
        f.left = Word(data + pos + 3);
        f.top = Word(data + pos + 5);
        f.width = Word(data + pos + 7);
        f.height = Word(data + pos + 9);
        f.end = *next;
        layout.frames.push_back(f);
        havePending = false;
      }
      pos = *next;
      continue;
    }
    if (kind == 0x2C) {
      if (size - pos < 11) break;
      const size_t local = ColourTableSize(data[pos + 9]);
      if (local > size - pos - 11) break;
      const auto next = SkipSubBlocks(data, size, pos + 11 + local);
      if (!next) break;
      GifFrameInfo f = havePending ? pending : GifFrameInfo{};
      if (!havePending) f.start = pos;
      f.left = Word(data + pos + 1);
      f.top = Word(data + pos + 3);
      f.width = Word(data + pos + 5);
      f.height = Word(data + pos + 7);
      f.end = *next;
      layout.frames.push_back(f);
      havePending = false;
      pos = *next;
      continue;
    }
    break;  // unknown block
  }
  if (layout.frames.empty()) return std::nullopt;
  return layout;
}

QByteArray FrameGif(const uint8_t* data, const GifLayout& layout, const GifFrameInfo& frame) {
  QByteArray out;
  out.reserve(static_cast<qsizetype>(layout.headerSize + (frame.end - frame.start) + 1));
  out.append(reinterpret_cast<const char*>(data), static_cast<qsizetype>(layout.headerSize));
  out.append(reinterpret_cast<const char*>(data + frame.start),
             static_cast<qsizetype>(frame.end - frame.start));
  out.append(static_cast<char>(0x3B));
  return out;
}

int FrameDisplayMs(const GifFrameInfo& frame) {
  if (!frame.hasControl || frame.delayHundredths <= 4) return 100;
  return frame.delayHundredths * 10;
}

}  // namespace orv
