#pragma once
// A GIF89a writer, block by block, with its own LZW coder. The generator uses
// it for the wait animation; tests use it to build GIFs with exactly the
// blocks they need (comments, application and plain-text extensions, odd
// delays and disposal methods).
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QPoint>

namespace orv::art {

// LZW-codes colour indices the way GIF image data is coded (clear code first,
// code width growing to 12 bits, a clear code when the table is full, end code
// last) and returns the packed bytes, not yet cut into sub-blocks.
QByteArray LzwEncode(const std::vector<uint8_t>& indices, int minCodeSize);

// Smallest n (1..8) so that a colour table of 2^n entries holds `colours` colours.
int ColourTableBits(int colours);

class GifWriter {
 public:
  // Header and logical screen descriptor; a non-empty palette becomes the
  // global colour table (padded with black to a power of two).
  GifWriter(int width, int height, const std::vector<QRgb>& globalPalette, int backgroundIndex = 0);

  void LoopExtension(int loops = 0);  // NETSCAPE2.0 application extension
  void Comment(std::string_view text);
  void GraphicControl(int delayHundredths, int disposal, int transparentIndex = -1);
  // An image block; a non-empty palette becomes its local colour table.
  // Indices are row by row, width x height.
  void Image(int left, int top, int width, int height, const std::vector<uint8_t>& indices,
             const std::vector<QRgb>& localPalette = {});
  // A plain-text extension with the given text as its data.
  void PlainText(int left, int top, int width, int height, std::string_view text);
  void Trailer();

  const QByteArray& Bytes() const { return bytes_; }

 private:
  void Byte(int b) { bytes_.append(static_cast<char>(b & 0xFF)); }
  void Word(int w) {
    Byte(w);
    Byte(w >> 8);
  }
  void ColourTable(const std::vector<QRgb>& palette, int bits);
  void SubBlocks(const QByteArray& data);

  QByteArray bytes_;
  int globalBits_ = 0;
};

// One frame of an animation: the picture (only its opaque pixels' colours are
// used), where it goes, how long it shows and how it is disposed of.
struct GifFrame {
  QImage image;
  QPoint offset;
  int delayHundredths = 0;
  int disposal = 1;
};

// Encodes an animation that loops for ever, with one global colour table of
// the frames' exact colours. Returns nothing when they need more than 256
// colours.
std::optional<QByteArray> EncodeAnimation(int width, int height,
                                          const std::vector<GifFrame>& frames);

}  // namespace orv::art
