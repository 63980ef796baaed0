#include "Tiles.h"

#include <array>

namespace orv::canvas {

namespace {

struct Grid {
  int rows, columns;
};
// Indexed by split type.
constexpr std::array<Grid, kSplitTypeCount> kGrids{
    {{1, 1}, {4, 1}, {1, 4}, {2, 2}, {3, 1}, {1, 3}, {2, 1}, {1, 2}}};

// Line k of n across [low, high): low + k * ((high - low) / n), the last on high.
int Line(int low, int high, int k, int n) {
  return k == n ? high : low + k * ((high - low) / n);
}

}  // namespace

std::vector<Rect> SplitTiles(const Rect& area, int splitType) {
  const Grid g = splitType >= 0 && splitType < kSplitTypeCount ? kGrids[splitType] : kGrids[0];
  std::vector<Rect> tiles;
  tiles.reserve(static_cast<std::size_t>(g.rows * g.columns));
  for (int row = 0; row < g.rows; ++row) {
    for (int column = 0; column < g.columns; ++column) {
      tiles.push_back({Line(area.left, area.right, column, g.columns),
                       Line(area.top, area.bottom, row, g.rows),
                       Line(area.left, area.right, column + 1, g.columns),
                       Line(area.top, area.bottom, row + 1, g.rows)});
    }
  }
  return tiles;
}

std::optional<Placement> DoubleClickTarget(const Rect& cell, const std::vector<AreaShape>& areas) {
  Placement target;
  for (const AreaShape& area : areas) {
    if (!area.visible || area.rect.IsEmpty() || !Overlaps(area.rect, cell)) continue;
    const std::vector<Rect> tiles = SplitTiles(area.rect, area.splitType);
    const std::vector<Rect> deviceTiles = SplitTiles(area.device, area.splitType);
    for (std::size_t i = 0; i < tiles.size(); ++i) {
      if (!Overlaps(tiles[i], cell)) continue;
      target.rect = Union(target.rect, tiles[i]);
      target.device = Union(target.device, deviceTiles[i]);
    }
  }
  if (target.rect.IsEmpty()) return std::nullopt;
  return target;
}

std::optional<DoubleClickStep> ToggleTarget(const Placement& current, const Placement& target,
                                            const std::optional<Placement>& saved) {
  if (current.rect == target.rect) {
    if (!saved) return std::nullopt;
    return DoubleClickStep{*saved, saved};
  }
  return DoubleClickStep{target, current};
}

}  // namespace orv::canvas
