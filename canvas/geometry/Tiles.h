#pragma once
// The tiles of an output area by its split type (the guide lines drawn on a
// locked area) and the rectangle a double click sends a layer window to.
#include <optional>
#include <vector>

#include "CanvasRect.h"

namespace orv::canvas {

constexpr int kSplitTypeCount = 8;  // 0 whole, 1..7 rows / columns / grids

// Tiles row by row; lines at equal truncated fractions, the last tile ending
// on the area's edge. An unknown split type is the whole area.
std::vector<Rect> SplitTiles(const Rect& area, int splitType);

struct AreaShape {
  Rect rect;    // canvas
  Rect device;  // device
  int splitType = 0;
  bool visible = true;
};

// A cell's canvas rectangle with its device rectangle.
struct Placement {
  Rect rect;
  Rect device;
  friend bool operator==(const Placement&, const Placement&) = default;
};

// The union of the tiles, of every visible non-empty area overlapping the
// cell, that overlap the cell; the device target from the same tiles of the
// areas' device rectangles. Nothing when no tile overlaps.
std::optional<Placement> DoubleClickTarget(const Rect& cell, const std::vector<AreaShape>& areas);

// A double click: a cell already on its target goes back to the saved
// placement (nothing happens without one); otherwise the current placement
// is saved and the target taken.
struct DoubleClickStep {
  Placement now;
  std::optional<Placement> saved;
};
std::optional<DoubleClickStep> ToggleTarget(const Placement& current, const Placement& target,
                                            const std::optional<Placement>& saved);

}  // namespace orv::canvas
