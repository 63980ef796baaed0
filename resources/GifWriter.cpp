#include "GifWriter.h"

#include <algorithm>
#include <unordered_map>

namespace orv::art {

namespace {

// Packs codes of varying width, least significant bit first.
class BitPacker {
 public:
  void Put(uint32_t code, int width) {
    accumulator_ |= code << bits_;
    bits_ += width;
    while (bits_ >= 8) {
      out_.append(static_cast<char>(accumulator_ & 0xFF));
      accumulator_ >>= 8;
      bits_ -= 8;
    }
  }
  QByteArray Finish() {
    if (bits_ > 0) out_.append(static_cast<char>(accumulator_ & 0xFF));
    accumulator_ = 0;
    bits_ = 0;
    return out_;
  }

 private:
  uint32_t accumulator_ = 0;
  int bits_ = 0;
  QByteArray out_;
};

constexpr int kMaxCode = 4095;

}  // namespace

QByteArray LzwEncode(const std::vector<uint8_t>& indices, int minCodeSize) {
  minCodeSize = std::clamp(minCodeSize, 2, 8);
  const uint32_t clear = 1u << minCodeSize;
  const uint32_t end = clear + 1;
  BitPacker out;
  int width = minCodeSize + 1;
  uint32_t next = end + 1;
  std::unordered_map<uint32_t, uint32_t> table;
  out.Put(clear, width);
  if (indices.empty()) {
    out.Put(end, width);
    return out.Finish();
  }
  uint32_t prefix = indices[0];
  for (size_t i = 1; i < indices.size(); ++i) {
    const uint32_t k = indices[i];
    const uint32_t key = (prefix << 8) | k;
    auto it = table.find(key);
    if (it != table.end()) {
      prefix = it->second;
      continue;
    }
    out.Put(prefix, width);
    if (next <= kMaxCode) {
      table.emplace(key, next++);
      // The decoder adds its entry one code later than we do, so it widens
      // its codes when its table reaches 2^width: for us, one entry later.
      if (next > (1u << width) && width < 12) ++width;
    } else {
      out.Put(clear, width);
      table.clear();
      width = minCodeSize + 1;
      next = end + 1;
    }
    prefix = k;
  }
  out.Put(prefix, width);
  // The end code is read after the decoder has added the entry of the last code.
  if (next <= kMaxCode && next + 1 > (1u << width) && width < 12) ++width;
  out.Put(end, width);
  return out.Finish();
}

int ColourTableBits(int colours) {
  int bits = 1;
  while (bits < 8 && (1 << bits) < colours) ++bits;
  return bits;
}

GifWriter::GifWriter(int width, int height, const std::vector<QRgb>& globalPalette,
                     int backgroundIndex) {
  bytes_.append("GIF89a", 6);
  Word(width);
  Word(height);
  if (globalPalette.empty()) {
    Byte(0);
  } else {
    globalBits_ = ColourTableBits(static_cast<int>(globalPalette.size()));
    Byte(0x80 | ((globalBits_ - 1) << 4) | (globalBits_ - 1));
  }
  Byte(backgroundIndex);
  Byte(0);  // pixel aspect ratio: none given
  if (!globalPalette.empty()) ColourTable(globalPalette, globalBits_);
}

void GifWriter::ColourTable(const std::vector<QRgb>& palette, int bits) {
  for (int i = 0; i < (1 << bits); ++i) {
    const QRgb c = i < static_cast<int>(palette.size()) ? palette[i] : qRgb(0, 0, 0);
    Byte(qRed(c));
    Byte(qGreen(c));
    Byte(qBlue(c));
  }
}

void GifWriter::SubBlocks(const QByteArray& data) {
  for (qsizetype pos = 0; pos < data.size(); pos += 255) {
    const qsizetype n = std::min<qsizetype>(255, data.size() - pos);
    Byte(static_cast<int>(n));
    bytes_.append(data.constData() + pos, n);
  }
  Byte(0);
}

void GifWriter::LoopExtension(int loops) {
  Byte(0x21);
  Byte(0xFF);
  Byte(11);
  bytes_.append("NETSCAPE2.0", 11);
  Byte(3);
  Byte(1);
  Word(loops);
  Byte(0);
}

void GifWriter::Comment(std::string_view text) {
  Byte(0x21);
  Byte(0xFE);
  SubBlocks(QByteArray(text.data(), static_cast<qsizetype>(text.size())));
}

void GifWriter::GraphicControl(int delayHundredths, int disposal, int transparentIndex) {
  Byte(0x21);
  Byte(0xF9);
  Byte(4);
  Byte(((disposal & 7) << 2) | (transparentIndex >= 0 ? 1 : 0));
  Word(delayHundredths);
  Byte(transparentIndex >= 0 ? transparentIndex : 0);
  Byte(0);
}

void GifWriter::Image(int left, int top, int width, int height, const std::vector<uint8_t>& indices,
                      const std::vector<QRgb>& localPalette) {
  Byte(0x2C);
  Word(left);
  Word(top);
  Word(width);
  Word(height);
  int bits = globalBits_;
  if (localPalette.empty()) {
    Byte(0);
  } else {
    bits = ColourTableBits(static_cast<int>(localPalette.size()));
    Byte(0x80 | (bits - 1));
    ColourTable(localPalette, bits);
  }
  const int minCodeSize = std::max(2, bits);
  Byte(minCodeSize);
  SubBlocks(LzwEncode(indices, minCodeSize));
}

void GifWriter::PlainText(int left, int top, int width, int height, std::string_view text) {
  Byte(0x21);
  Byte(0x01);
  Byte(12);
  Word(left);
  Word(top);
  Word(width);
  Word(height);
  Byte(8);  // character cell width
  Byte(8);  // character cell height
  Byte(1);  // foreground colour index
  Byte(0);  // background colour index
  SubBlocks(QByteArray(text.data(), static_cast<qsizetype>(text.size())));
}

void GifWriter::Trailer() {
  Byte(0x3B);
}

std::optional<QByteArray> EncodeAnimation(int width, int height,
                                          const std::vector<GifFrame>& frames) {
  std::vector<QRgb> palette;
  std::unordered_map<QRgb, uint8_t> index;
  for (const GifFrame& f : frames) {
    const QImage img = f.image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y) {
      const auto* row = reinterpret_cast<const QRgb*>(img.constScanLine(y));
      for (int x = 0; x < img.width(); ++x) {
        const QRgb c = row[x] | 0xFF000000u;
        if (index.count(c)) continue;
        if (palette.size() == 256) return std::nullopt;
        index.emplace(c, static_cast<uint8_t>(palette.size()));
        palette.push_back(c);
      }
    }
  }
  GifWriter gif(width, height, palette);
  gif.LoopExtension(0);
  for (const GifFrame& f : frames) {
    const QImage img = f.image.convertToFormat(QImage::Format_RGB32);
    std::vector<uint8_t> indices;
    indices.reserve(static_cast<size_t>(img.width()) * img.height());
    for (int y = 0; y < img.height(); ++y) {
      const auto* row = reinterpret_cast<const QRgb*>(img.constScanLine(y));
      for (int x = 0; x < img.width(); ++x) indices.push_back(index[row[x] | 0xFF000000u]);
    }
    gif.GraphicControl(f.delayHundredths, f.disposal);
    gif.Image(f.offset.x(), f.offset.y(), img.width(), img.height(), indices);
  }
  gif.Trailer();
  return gif.Bytes();
}

}  // namespace orv::art
