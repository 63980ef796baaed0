#pragma once
// Where on a cell the mouse is (its ten zones), which cell it is over, and
// the region the pointer is confined to during a drag.
#include <cstddef>
#include <optional>
#include <vector>

#include "CanvasRect.h"

namespace orv::canvas {

enum Zone : int {
  kZoneLeft = 0,
  kZoneTop = 1,
  kZoneRight = 2,
  kZoneBottom = 3,
  kZoneInterior = 4,
  kZoneTopLeft = 5,
  kZoneBottomLeft = 6,
  kZoneTopRight = 7,
  kZoneBottomRight = 8,
  kZoneOutside = 9,
};
constexpr int kZoneCount = 10;

// The edges a zone moves when it is dragged (the interior moves all four).
struct ZoneEdges {
  bool left = false;
  bool top = false;
  bool right = false;
  bool bottom = false;
};
ZoneEdges EdgesOf(int zone);
bool IsResizeZone(int zone);  // edges and corners

// The first zone of the cell's rectangle containing `p` (edges inclusive),
// tested in zone order; kZoneOutside when none.
int HitZoneAt(const Rect& cell, Point p);

struct CellShape {
  Rect rect;
  bool visible = true;
  bool lockedArea = false;  // an area that cannot be selected
};
// The cell under the mouse: the selected cell when the point is on one of its
// edges or corners; else the narrowest visible, selectable cell holding the
// point, the earlier one on equal width.
std::optional<std::size_t> CellUnderPoint(const std::vector<CellShape>& cells,
                                          std::optional<std::size_t> selected, Point p);

// The points (inclusive) the mouse may reach while dragging a cell grabbed at
// `press` so that the cell stays inside `region`; at least one point.
Rect MoveConfinement(const Rect& cell, Point press, const Rect& region);
Point ClampPoint(Point p, const Rect& inclusive);

}  // namespace orv::canvas
