#include "HitZones.h"

#include <array>

namespace orv::canvas {

namespace {

enum Edge { kL, kT, kR, kB };

// One coordinate of a zone rectangle: an edge of the cell plus an offset.
struct Coord {
  Edge edge;
  int offset;
};
struct ZoneRow {
  Coord left, top, right, bottom;
  ZoneEdges moves;
};

constexpr int kEdgeZone = 5;

// Indexed by zone; the grab strips along the edges are 5 pixels wide.
constexpr std::array<ZoneRow, 9> kZones{{
    {{kL, 0}, {kT, kEdgeZone}, {kL, kEdgeZone}, {kB, -kEdgeZone}, {true, false, false, false}},
    {{kL, kEdgeZone}, {kT, 0}, {kR, -kEdgeZone}, {kT, kEdgeZone}, {false, true, false, false}},
    {{kR, -kEdgeZone}, {kT, kEdgeZone}, {kR, 0}, {kB, -kEdgeZone}, {false, false, true, false}},
    {{kL, kEdgeZone}, {kB, -kEdgeZone}, {kR, -kEdgeZone}, {kB, 0}, {false, false, false, true}},
    {{kL, kEdgeZone},
     {kT, kEdgeZone},
     {kR, -kEdgeZone},
     {kB, -kEdgeZone},
     {true, true, true, true}},
    {{kL, 0}, {kT, 0}, {kL, kEdgeZone}, {kT, kEdgeZone}, {true, true, false, false}},
    {{kL, 0}, {kB, -kEdgeZone}, {kL, kEdgeZone}, {kB, 0}, {true, false, false, true}},
    {{kR, -kEdgeZone}, {kT, 0}, {kR, 0}, {kT, kEdgeZone}, {false, true, true, false}},
    {{kR, -kEdgeZone}, {kB, -kEdgeZone}, {kR, 0}, {kB, 0}, {false, false, true, true}},
}};

int Resolve(Coord c, const Rect& r) {
  const std::array<int, 4> edges{r.left, r.top, r.right, r.bottom};
  return edges[c.edge] + c.offset;
}

bool InsideInclusive(const Rect& r, Point p) {
  return p.x >= r.left && p.x <= r.right && p.y >= r.top && p.y <= r.bottom;
}

}  // namespace

ZoneEdges EdgesOf(int zone) {
  if (zone < 0 || zone >= static_cast<int>(kZones.size())) return {};
  return kZones[zone].moves;
}

bool IsResizeZone(int zone) {
  return zone >= 0 && zone < static_cast<int>(kZones.size()) && zone != kZoneInterior;
}

int HitZoneAt(const Rect& cell, Point p) {
  for (std::size_t zone = 0; zone < kZones.size(); ++zone) {
    const ZoneRow& z = kZones[zone];
    const Rect strip{Resolve(z.left, cell), Resolve(z.top, cell), Resolve(z.right, cell),
                     Resolve(z.bottom, cell)};
    if (InsideInclusive(strip, p)) return static_cast<int>(zone);
  }
  return kZoneOutside;
}

std::optional<std::size_t> CellUnderPoint(const std::vector<CellShape>& cells,
                                          std::optional<std::size_t> selected, Point p) {
  if (selected && *selected < cells.size()) {
    const CellShape& s = cells[*selected];
    if (s.visible && s.rect.Contains(p) && IsResizeZone(HitZoneAt(s.rect, p))) return selected;
  }
  std::optional<std::size_t> best;
  for (std::size_t i = 0; i < cells.size(); ++i) {
    const CellShape& c = cells[i];
    if (!c.visible || c.lockedArea || !c.rect.Contains(p)) continue;
    if (!best || c.rect.Width() < cells[*best].rect.Width()) best = i;
  }
  return best;
}

Rect MoveConfinement(const Rect& cell, Point press, const Rect& region) {
  Rect r{region.left + (press.x - cell.left), region.top + (press.y - cell.top),
         region.right - (cell.right - press.x), region.bottom - (cell.bottom - press.y)};
  r.right = std::max(r.right, r.left);
  r.bottom = std::max(r.bottom, r.top);
  return r;
}

Point ClampPoint(Point p, const Rect& inclusive) {
  return {std::clamp(p.x, inclusive.left, inclusive.right),
          std::clamp(p.y, inclusive.top, inclusive.bottom)};
}

}  // namespace orv::canvas
