#include "PreviewPicture.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <utility>

#include "CaptionOverlay.h"
#include "DeviceState.h"
#include "PreviewQuadrant.h"
#include "TestPattern.h"

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

// The RGB value is kept beside its YUV so the keyer tests what the input carried.
struct Pixel {
  Rgb rgb;
  Yuv yuv;
};
Pixel PixelOf(Rgb c) {
  return {c, ToYuv(c)};
}

struct Source {
  std::array<Pixel, kSourceWidth * kSourceHeight> pixels;
};

void DrawText(Source& s, const std::string& text, int x0, int y0, int scale, Pixel ink) {
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
  s.pixels.fill(PixelOf(InputColour(code)));
  const Pixel white = PixelOf({255, 255, 255}), black = PixelOf({0, 0, 0});
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

// The part of the synthetic source a layer shows, in source pixels.
struct SourceRect {
  int left = 0, top = 0, width = kSourceWidth, height = kSourceHeight;
};

// One axis of a crop mapped onto `size` source pixels; an empty or outside crop keeps
// at least the last pixel rather than dividing by nothing.
std::pair<int, int> KeptSpan(int pos, int act, int total, int size) {
  const int first = std::min(pos, total - 1);
  const int last = std::clamp(pos + act, first + 1, total);
  const int from = first * size / total;
  const int to = std::max(from + 1, (last * size + total - 1) / total);
  return {from, std::min(to, size) - from};
}

SourceRect KeptPart(const Crop& crop) {
  if (!crop.CROPONOFF || !crop.HTOTAL || !crop.VTOTAL || !crop.HACT || !crop.VACT) return {};
  const auto [left, width] = KeptSpan(crop.HPOS, crop.HACT, crop.HTOTAL, kSourceWidth);
  const auto [top, height] = KeptSpan(crop.VPOS, crop.VACT, crop.VTOTAL, kSourceHeight);
  return {left, top, width, height};
}

// Keyer 0 belongs to layer 3, keyer 1 to layer 1; the others have none.
constexpr std::array<int, kLayers> kKeyerOfLayer{-1, 1, -1, 0};

const Keyer* ActiveKeyer(const ParamBlock& image, int layer) {
  const int k = kKeyerOfLayer[static_cast<std::size_t>(layer)];
  if (k < 0 || !image.KEYERINFO.KEYER[k].KEYERONOFF) return nullptr;
  return &image.KEYERINFO.KEYER[k];
}

bool Keyed(const Keyer* keyer, Rgb c) {
  return keyer && c.r >= keyer->KEYERREDL && c.r <= keyer->KEYERREDH && c.g >= keyer->KEYERGREENL &&
         c.g <= keyer->KEYERGREENH && c.b >= keyer->KEYERBLUEL && c.b <= keyer->KEYERBLUEH;
}

// How rotation mode 0..7 (off, clockwise 90, anticlockwise 90, mirrored,
// flipped, 180, and the two 90 turns mirrored) reads the source for a point
// of the window: the window's axes swapped, then the source's columns and
// rows counted from the far side. An unknown mode shows the picture unturned.
struct Turn {
  bool transpose, mirrorX, mirrorY;
};
constexpr std::array<Turn, 8> kTurns{{{false, false, false},
                                      {true, false, true},
                                      {true, true, false},
                                      {false, true, false},
                                      {false, false, true},
                                      {false, true, true},
                                      {true, false, false},
                                      {true, true, true}}};

// CHNLALPHA is a PIP layer's opacity: 0 invisible .. 64 (and above) opaque.
constexpr int kAlphaSteps = 64;

uint8_t Mix(uint8_t over, uint8_t under, int opacity) {
  return static_cast<uint8_t>((over * opacity + under * (kAlphaSteps - opacity)) / kAlphaSteps);
}

void Blit(const Source& s, const SourceRect& part, const Keyer* keyer, int rotation, int opacity,
          int left, int top, int width, int height, int clipRight, int clipBottom, int clipLeft,
          int clipTop, YuvImage& out) {
  if (opacity <= 0) return;
  if (width <= 0 || height <= 0) return;
  const Turn turn =
      rotation >= 0 && rotation < 8 ? kTurns[static_cast<std::size_t>(rotation)] : kTurns[0];
  const int x0 = std::max(left, clipLeft), x1 = std::min(left + width, clipRight);
  const int y0 = std::max(top, clipTop), y1 = std::min(top + height, clipBottom);
  for (int y = y0; y < y1; ++y) {
    const int dy = y - top;
    for (int x = x0; x < x1; ++x) {
      const int dx = x - left;
      int u = turn.transpose ? dy * part.width / height : dx * part.width / width;
      int v = turn.transpose ? dx * part.height / width : dy * part.height / height;
      if (turn.mirrorX) u = part.width - 1 - u;
      if (turn.mirrorY) v = part.height - 1 - v;
      const int sx = part.left + u;
      const int sy = part.top + v;
      const Pixel& px = s.pixels[sy * kSourceWidth + sx];
      if (Keyed(keyer, px.rgb)) continue;
      const Yuv p = px.yuv;
      uint8_t& luma = out.y[static_cast<std::size_t>(y) * out.width + x];
      luma = Mix(p.y, luma, opacity);
      if ((x % 2) == 0 && (y % 2) == 0) {
        const std::size_t c = static_cast<std::size_t>(y / 2) * out.chromaWidth() + x / 2;
        out.u[c] = Mix(p.u, out.u[c], opacity);
        out.v[c] = Mix(p.v, out.v[c], opacity);
      }
    }
  }
}

// The outputs a test pattern covers: mode 0 shows one output per quadrant,
// modes 1 and 2 their program quadrants.
bool QuadrantIsOutput(int mode, int quadrant) {
  switch (mode) {
    case 1:
      return quadrant == 1;
    case 2:
      return quadrant >= 2;
    default:
      return true;
  }
}

void FillWithPattern(int pattern, int hreso, int vreso, int64_t elapsedMs, int qx, int qy, int hw,
                     int hh, YuvImage& out) {
  for (int y = 0; y < hh; ++y) {
    const int oy = y * vreso / hh;
    for (int x = 0; x < hw; ++x) {
      const Yuv p = ToYuv(TestPatternColour(pattern, x * hreso / hw, oy, hreso, vreso, elapsedMs));
      const int px = qx + x, py = qy + y;
      out.y[static_cast<std::size_t>(py) * out.width + px] = p.y;
      if ((px % 2) == 0 && (py % 2) == 0) {
        const std::size_t c = static_cast<std::size_t>(py / 2) * out.chromaWidth() + px / 2;
        out.u[c] = p.u;
        out.v[c] = p.v;
      }
    }
  }
}

bool OnProgram(const PvwModeInfo& pv, int layer) {
  return pv.PVWMODE != 1 && pv.PVWMODE != 2 ? true : pv.PGMSTATE[layer] != 0;
}

void FrameRect(int left, int top, int width, int height, const std::array<int, 4>& clip,
               YuvImage& out) {
  const auto dot = [&](int x, int y) {
    if (x >= clip[0] && y >= clip[1] && x < clip[2] && y < clip[3])
      out.y[static_cast<std::size_t>(y) * out.width + x] = 235;
  };
  for (int x = left; x < left + width; ++x) {
    dot(x, top);
    dot(x, top + height - 1);
  }
  for (int y = top; y < top + height; ++y) {
    dot(left, y);
    dot(left + width - 1, y);
  }
}

// While the logo uses PIP-3, the layer shows the loaded logo (its part of the
// PIP-3 source) at the logo's placement, only when switched on; a border
// option frames it.
struct LayerWindow {
  bool shown;
  int x, y, w, h;
};

LayerWindow WindowOf(const ParamBlock& image, int layer) {
  const ChannelData& ch = image.CHNLDATA[layer];
  const LogoInfo& logo = image.LOGOINFO;
  if (layer != 3 || logo.LOGOUSAGE != 1)
    return {ch.CHNLONOFF != 0, ch.HPOS, ch.VPOS, ch.HACT, ch.VACT};
  const int id = logo.LOGOCURID;
  if (id >= 4 || !logo.LOGOONOFF || !logo.LOGOVALID[id]) return {false, 0, 0, 0, 0};
  return {true, logo.HPOS[id], logo.VPOS[id], logo.HACT[id], logo.VACT[id]};
}

}  // namespace

Yuv ToYuv(Rgb c) {
  const double y = 16 + 0.257 * c.r + 0.504 * c.g + 0.098 * c.b;
  const double u = 128 - 0.148 * c.r - 0.291 * c.g + 0.439 * c.b;
  const double v = 128 + 0.439 * c.r - 0.368 * c.g - 0.071 * c.b;
  auto clamp = [](double x) { return static_cast<uint8_t>(std::clamp(x + 0.5, 0.0, 255.0)); };
  return {clamp(y), clamp(u), clamp(v)};
}

Rgb InputColour(int code) {
  return kInputColours[static_cast<std::size_t>(code) % kInputColours.size()];
}

void ComposePreview(const ParamBlock& image, int64_t elapsedMs, YuvImage& picture, int testPattern,
                    std::span<const CaptionView> captions) {
  std::fill(picture.y.begin(), picture.y.end(), 16);
  std::fill(picture.u.begin(), picture.u.end(), 128);
  std::fill(picture.v.begin(), picture.v.end(), 128);
  const int hreso = image.OUTPUTRESO.HRESO, vreso = image.OUTPUTRESO.VRESO;
  if (hreso == 0 || vreso == 0) return;
  const int hw = picture.width / 2, hh = picture.height / 2;
  Source source;
  for (int layer = 0; layer < kLayers; ++layer) {
    const ChannelData& ch = image.CHNLDATA[layer];
    const auto q = QuadrantByPreviewMode(image.PVWMODEINFO, layer);
    const LayerWindow win = WindowOf(image, layer);
    if (!win.shown || !q) continue;
    const int qx = (*q % 2) * hw, qy = *q < 2 ? 0 : hh;
    MakeSource(ch.CHNLINPUT, elapsedMs, source);
    const auto scaleX = [&](int64_t v) { return static_cast<int>(v * hw / hreso); };
    const auto scaleY = [&](int64_t v) { return static_cast<int>(v * hh / vreso); };
    const Crop& crop = image.CROP[GroupLayerIndex(InputGroupOfLayer(image, layer), layer)];
    const int opacity = layer == 0 ? kAlphaSteps : std::min<int>(ch.CHNLALPHA, kAlphaSteps);
    const int left = qx + scaleX(win.x), top = qy + scaleY(win.y);
    const int width = scaleX(win.w), height = scaleY(win.h);
    Blit(source, KeptPart(crop), ActiveKeyer(image, layer), ch.CHNLROTATION, opacity, left, top,
         width, height, qx + hw, qy + hh, qx, qy, picture);
    if (layer == 3 && image.LOGOINFO.LOGOUSAGE == 1 && image.LOGOINFO.LOGO_OPT)
      FrameRect(left, top, width, height, {qx, qy, qx + hw, qy + hh}, picture);
  }
  if (IsTestPattern(testPattern)) {
    for (int q = 0; q < 4; ++q) {
      if (!QuadrantIsOutput(image.PVWMODEINFO.PVWMODE, q)) continue;
      FillWithPattern(testPattern, hreso, vreso, elapsedMs, (q % 2) * hw, q < 2 ? 0 : hh, hw, hh,
                      picture);
    }
  }
  DrawCaptions(captions, image, elapsedMs, picture);
}

Rgb OutputPixel(const ParamBlock& image, int testPattern, int64_t elapsedMs, int x, int y) {
  const int hreso = image.OUTPUTRESO.HRESO, vreso = image.OUTPUTRESO.VRESO;
  if (hreso == 0 || vreso == 0) return {0, 0, 0};
  x = std::clamp(x, 0, hreso - 1);
  y = std::clamp(y, 0, vreso - 1);
  if (IsTestPattern(testPattern)) {
    return TestPatternColour(testPattern, x, y, hreso, vreso, elapsedMs);
  }
  Source source;
  for (int layer = kLayers - 1; layer >= 0; --layer) {
    const ChannelData& ch = image.CHNLDATA[layer];
    if (!ch.CHNLONOFF || !OnProgram(image.PVWMODEINFO, layer) || ch.HACT <= 0 || ch.VACT <= 0)
      continue;
    if (x < ch.HPOS || y < ch.VPOS || x >= int64_t{ch.HPOS} + ch.HACT ||
        y >= int64_t{ch.VPOS} + ch.VACT)
      continue;
    const Crop& crop = image.CROP[GroupLayerIndex(InputGroupOfLayer(image, layer), layer)];
    const SourceRect part = KeptPart(crop);
    MakeSource(ch.CHNLINPUT, elapsedMs, source);
    const int sx = part.left + static_cast<int>(int64_t{x - ch.HPOS} * part.width / ch.HACT);
    const int sy = part.top + static_cast<int>(int64_t{y - ch.VPOS} * part.height / ch.VACT);
    const Rgb c = source.pixels[static_cast<std::size_t>(sy) * kSourceWidth + sx].rgb;
    if (!Keyed(ActiveKeyer(image, layer), c)) return c;
  }
  return {0, 0, 0};
}

}  // namespace orv::sim
