#include "Conversions.h"

namespace orv::canvas {

namespace {

// v + 0.5 truncated toward zero; kept inside int so that a tiny scale
// cannot overflow the cast.
int RoundHalfUp(double v) {
  constexpr double kLimit = 1e9;
  return static_cast<int>(std::clamp(v + 0.5, -kLimit, kLimit));
}

int EdgeToClient(int edge, int clientEdge) {
  return edge >= clientEdge - 1 ? clientEdge : edge;
}

}  // namespace

std::optional<Rect> CanvasToDevice(const Rect& c, ScalePair s) {
  if (!s.IsValid()) return std::nullopt;
  Rect d;
  d.left = c.left > 1 ? RoundHalfUp(c.left * s.sx) : 0;
  d.top = c.top > 1 ? RoundHalfUp(c.top * s.sy) : 0;
  d.right = d.left + RoundHalfUp((c.right - c.left) * s.sx);
  d.bottom = d.top + RoundHalfUp((c.bottom - c.top) * s.sy);
  return d.Normalized();
}

std::optional<Rect> DeviceToCanvas(const Rect& d, ScalePair s, const Rect& client) {
  if (!s.IsValid() || client.IsEmpty()) return std::nullopt;
  const float sx = static_cast<float>(s.sx);
  const float sy = static_cast<float>(s.sy);
  const float fl = d.left > 1 ? static_cast<float>(d.left) / sx : 0.0f;
  const float ft = d.top > 1 ? static_cast<float>(d.top) / sy : 0.0f;
  Rect c;
  c.left = std::max(0, RoundHalfUp(fl));
  c.top = std::max(0, RoundHalfUp(ft));
  c.right = RoundHalfUp(static_cast<float>(d.right - d.left) / sx + fl);
  c.bottom = RoundHalfUp(static_cast<float>(d.bottom - d.top) / sy + ft);
  c.right = EdgeToClient(c.right, client.right);
  c.bottom = EdgeToClient(c.bottom, client.bottom);
  return c.Normalized();
}

}  // namespace orv::canvas
