#include "CaptionOverlay.h"

#include <algorithm>
#include <vector>

#include "PreviewPicture.h"
#include "WireFormat.h"

namespace orv::sim {

namespace {

// The quadrants that hold an output, per program/preview mode.
const std::vector<int> kOutputQuadrants[3] = {{0, 1, 2, 3}, {1}, {2, 3}};

Rgb RgbOf(uint32_t colour) {
  return {static_cast<uint8_t>(colour), static_cast<uint8_t>(colour >> 8),
          static_cast<uint8_t>(colour >> 16)};
}

enum Background : uint8_t { kOpaque = 0, kTranslucent = 1, kTransparent = 2 };

void Put(YuvImage& out, int x, int y, Yuv p, bool blend) {
  uint8_t& luma = out.y[static_cast<std::size_t>(y) * out.width + x];
  luma = blend ? static_cast<uint8_t>((luma + p.y) / 2) : p.y;
  if (x % 2 || y % 2) return;
  const std::size_t c = static_cast<std::size_t>(y / 2) * out.chromaWidth() + x / 2;
  out.u[c] = blend ? static_cast<uint8_t>((out.u[c] + p.u) / 2) : p.u;
  out.v[c] = blend ? static_cast<uint8_t>((out.v[c] + p.v) / 2) : p.v;
}

struct Area {
  int hs, vs, width, height;  // output pixels
};

void DrawOne(const CaptionView& view, const Area& area, int scrollX, int quadrant, int hreso,
             int vreso, YuvImage& out) {
  const CaptionPicture& pic = *view.picture;
  const Yuv ink = ToYuv(RgbOf(wire::GetU32(&view.record[16])));
  const Yuv paper = ToYuv(RgbOf(wire::GetU32(&view.record[20])));
  const uint8_t background = view.record[13];
  const int hw = out.width / 2, hh = out.height / 2;
  const int qx = (quadrant % 2) * hw, qy = quadrant < 2 ? 0 : hh;
  const int x0 = qx + area.hs * hw / hreso, x1 = qx + (area.hs + area.width) * hw / hreso;
  const int y0 = qy + area.vs * hh / vreso, y1 = qy + (area.vs + area.height) * hh / vreso;
  for (int y = y0; y < std::min(y1, qy + hh); ++y) {
    const int row = (y - qy) * vreso / hh - area.vs;
    for (int x = x0; x < std::min(x1, qx + hw); ++x) {
      const int column = (x - qx) * hreso / hw - area.hs - scrollX;
      if (pic.Bit(column, row)) {
        Put(out, x, y, ink, false);
      } else if (background != kTransparent) {
        Put(out, x, y, paper, background == kTranslucent);
      }
    }
  }
}

}  // namespace

int CaptionScrollX(int pictureWidth, int displayWidth, int speed, int direction,
                   int64_t elapsedMs) {
  if (speed <= 0 || speed > 3) return 0;
  const int64_t period = static_cast<int64_t>(pictureWidth) + displayWidth;
  if (period <= 0) return 0;
  const auto travelled =
      static_cast<int>(elapsedMs * kCaptionSpeedPixelsPerSecond[speed] / 1000 % period);
  return direction == 1 ? travelled - pictureWidth : displayWidth - travelled;
}

void DrawCaptions(std::span<const CaptionView> captions, const ParamBlock& image, int64_t elapsedMs,
                  YuvImage& picture) {
  const int hreso = image.OUTPUTRESO.HRESO, vreso = image.OUTPUTRESO.VRESO;
  const int mode = image.PVWMODEINFO.PVWMODE;
  if (hreso == 0 || vreso == 0 || mode < 0 || mode > 2 || picture.width < 2 || picture.height < 2)
    return;
  for (const CaptionView& view : captions) {
    const CaptionRecord& r = view.record;
    const bool shown = r[24] || r[25];
    if (!view.picture || !r[12] || !shown || r[13] > kTransparent) continue;
    const Area area{wire::GetU16(&r[4]), wire::GetU16(&r[6]),
                    std::min<int>(wire::GetU16(&r[8]), hreso), view.picture->height};
    if (area.hs >= hreso || area.vs >= vreso || area.width <= 0) continue;
    const int scrollX = CaptionScrollX(view.picture->width, area.width, r[10], r[11], elapsedMs);
    for (int q : kOutputQuadrants[mode]) DrawOne(view, area, scrollX, q, hreso, vreso, picture);
  }
}

}  // namespace orv::sim
