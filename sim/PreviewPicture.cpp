#include "PreviewPicture.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

namespace orv::sim {
namespace {

constexpr std::array<Rgb, 12> kInputColours{{
    {200, 40, 40},
    {40, 170, 60},
    {50, 70, 210},
    {210, 190, 40},
    {170, 50, 190},
    {40, 180, 190},
    {230, 120, 30},
    {120, 120, 120},
    {120, 200, 120},
    {200, 120, 160},
    {90, 60, 30},
    {160, 160, 230},
}};

struct Yuv {
  uint8_t y, u, v;
};

// Studio-range BT.601, the matrix decoders assume for this stream.
Yuv ToYuv(Rgb c) {
  const double y = 16 + 0.257 * c.r + 0.504 * c.g + 0.098 * c.b;
  const double u = 128 - 0.148 * c.r - 0.291 * c.g + 0.439 * c.b;
  const double v = 128 + 0.439 * c.r - 0.368 * c.g - 0.071 * c.b;
  auto clamp = [](double x) { return static_cast<uint8_t>(std::clamp(x + 0.5, 0.0, 255.0)); };
  return {clamp(y), clamp(u), clamp(v)};
}

// 5 x 7 glyphs, one row per byte, bit 4 = leftmost column.
struct Glyph {
  char c;
  std::array<uint8_t, 7> rows;
};
constexpr std::array<Glyph, 15> kGlyphs{{
    {'0', {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}},
    {'1', {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'2', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}},
    {'3', {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E}},
    {'4', {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}},
    {'5', {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E}},
    {'6', {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}},
    {'7', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08}},
    {'8', {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}},
    {'9', {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C}},
    {'I', {0x0E, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'N', {0x11, 0x19, 0x15, 0x13, 0x11, 0x11, 0x11}},
    {':', {0x00, 0x0C, 0x0C, 0x00, 0x0C, 0x0C, 0x00}},
    {'.', {0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x0C}},
    {' ', {0, 0, 0, 0, 0, 0, 0}},
}};

const Glyph* GlyphOf(char c) {
  for (const auto& g : kGlyphs) {
    if (g.c == c) return &g;
  }
  return nullptr;
}

// The source of one input at a fixed small size; the compositor scales it.
constexpr int kSourceWidth = 160;
constexpr int kSourceHeight = 90;

struct Source {
  std::array<Yuv, kSourceWidth * kSourceHeight> pixels;
};

void DrawText(Source& s, const std::string& text, int x0, int y0, int scale, Yuv ink) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const Glyph* g = GlyphOf(text[i]);
    if (!g) continue;
    for (int row = 0; row < 7 * scale; ++row) {
      for (int col = 0; col < 5 * scale; ++col) {
        if (!(g->rows[row / scale] & (0x10 >> (col / scale)))) continue;
        const int x = x0 + static_cast<int>(i) * 6 * scale + col, y = y0 + row;
        if (x >= 0 && x < kSourceWidth && y >= 0 && y < kSourceHeight) {
          s.pixels[y * kSourceWidth + x] = ink;
        }
      }
    }
  }
}

// Fill colour; the input's number top left; a clock and a moving bar along the bottom.
void MakeSource(int code, int64_t elapsedMs, Source& s) {
  const Yuv fill = ToYuv(InputColour(code));
  s.pixels.fill(fill);
  const Yuv white{235, 128, 128}, black{16, 128, 128};
  DrawText(s, "IN" + std::to_string(code + 1), 2, 2, 3, white);
  const int64_t tenths = elapsedMs / 100;
  char clock[16];
  std::snprintf(clock, sizeof clock, "%02d:%02d.%d", static_cast<int>(tenths / 600 % 60),
                static_cast<int>(tenths / 10 % 60), static_cast<int>(tenths % 10));
  DrawText(s, clock, 2, kSourceHeight - 10, 1, white);
  const int barX = static_cast<int>(elapsedMs / 20 % kSourceWidth);
  for (int y = kSourceHeight - 12; y < kSourceHeight; ++y) {
    for (int x = barX; x < std::min(barX + 6, kSourceWidth); ++x)
      s.pixels[y * kSourceWidth + x] = black;
  }
}

std::optional<int> QuadrantOf(const PvwModeInfo& pv, int layer) {
  const bool leftColumn = layer == 0 || layer == 2;
  switch (pv.PVWMODE) {
    case 1:
      return pv.PGMSTATE[layer] ? 1 : 0;
    case 2:
      if (pv.PGMSTATE[layer]) return leftColumn ? 2 : 3;
      if (pv.PVWSTATE[layer]) return leftColumn ? 0 : 1;
      return std::nullopt;
    default:
      return layer;
  }
}

void Blit(const Source& s, int left, int top, int width, int height, int clipRight, int clipBottom,
          int clipLeft, int clipTop, YuvImage& out) {
  if (width <= 0 || height <= 0) return;
  const int x0 = std::max(left, clipLeft), x1 = std::min(left + width, clipRight);
  const int y0 = std::max(top, clipTop), y1 = std::min(top + height, clipBottom);
  for (int y = y0; y < y1; ++y) {
    const int sy = (y - top) * kSourceHeight / height;
    for (int x = x0; x < x1; ++x) {
      const int sx = (x - left) * kSourceWidth / width;
      const Yuv p = s.pixels[sy * kSourceWidth + sx];
      out.y[static_cast<std::size_t>(y) * out.width + x] = p.y;
      if ((x % 2) == 0 && (y % 2) == 0) {
        const std::size_t c = static_cast<std::size_t>(y / 2) * out.chromaWidth() + x / 2;
        out.u[c] = p.u;
        out.v[c] = p.v;
      }
    }
  }
}

}  // namespace

Rgb InputColour(int code) {
  return kInputColours[static_cast<std::size_t>(code) % kInputColours.size()];
}

void ComposePreview(const ParamBlock& image, int64_t elapsedMs, YuvImage& picture) {
  std::fill(picture.y.begin(), picture.y.end(), 16);
  std::fill(picture.u.begin(), picture.u.end(), 128);
  std::fill(picture.v.begin(), picture.v.end(), 128);
  const int hreso = image.OUTPUTRESO.HRESO, vreso = image.OUTPUTRESO.VRESO;
  if (hreso == 0 || vreso == 0) return;
  const int hw = picture.width / 2, hh = picture.height / 2;
  Source source;
  for (int layer = 0; layer < kLayers; ++layer) {
    const ChannelData& ch = image.CHNLDATA[layer];
    const auto q = QuadrantOf(image.PVWMODEINFO, layer);
    if (!ch.CHNLONOFF || !q) continue;
    const int qx = (*q % 2) * hw, qy = *q < 2 ? 0 : hh;
    MakeSource(ch.CHNLINPUT, elapsedMs, source);
    const auto scaleX = [&](int64_t v) { return static_cast<int>(v * hw / hreso); };
    const auto scaleY = [&](int64_t v) { return static_cast<int>(v * hh / vreso); };
    Blit(source, qx + scaleX(ch.HPOS), qy + scaleY(ch.VPOS), scaleX(ch.HACT), scaleY(ch.VACT),
         qx + hw, qy + hh, qx, qy, picture);
  }
}

}  // namespace orv::sim
