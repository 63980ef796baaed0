#include "VideoWindowLayout.h"

#include <array>

namespace orv::preview {
namespace {

constexpr int kCorner = 20;
constexpr int kEdge = 3;
constexpr int kCaptionBand = 26;

struct Distances {
  int left, right, top, bottom;
};

struct HitRow {
  bool (*matches)(const Distances&);
  HitZone zone;
};

constexpr std::array<HitRow, 8> kHitRows{{
    {[](const Distances& d) { return d.left < kCorner && d.top < kCorner; }, HitZone::TopLeft},
    {[](const Distances& d) { return d.right < kCorner && d.top < kCorner; }, HitZone::TopRight},
    {[](const Distances& d) { return d.left < kCorner && d.bottom < kCorner; },
     HitZone::BottomLeft},
    {[](const Distances& d) { return d.right < kCorner && d.bottom < kCorner; },
     HitZone::BottomRight},
    {[](const Distances& d) { return d.left < kEdge; }, HitZone::Left},
    {[](const Distances& d) { return d.right < kEdge; }, HitZone::Right},
    {[](const Distances& d) { return d.top < kEdge; }, HitZone::Top},
    {[](const Distances& d) { return d.bottom < kEdge; }, HitZone::Bottom},
}};

}  // namespace

ViewPlace PlaceView(int i, int width, int height) {
  const int a = width - 20;
  const int b = (height - 26) / 2;
  ViewPlace p;
  p.view.x = (i == 0 || i == 2) ? 10 : a / 2 + 10;
  p.view.y = (i < 2) ? 46 : b + 46;
  p.view.width = a / 2;
  p.view.height = b - 20;
  p.caption = Box{p.view.x, p.view.y - 20, 80, 20};
  return p;
}

HitZone HitTest(int x, int y, int width, int height) {
  const Distances d{x, width - 1 - x, y, height - 1 - y};
  for (const auto& row : kHitRows) {
    if (row.matches(d)) return row.zone;
  }
  if (y >= 0 && y < kCaptionBand) return HitZone::Caption;
  return HitZone::Client;
}

}  // namespace orv::preview
