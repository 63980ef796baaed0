#include "SearchWindowLayout.h"

#include <algorithm>

#include "MachineList.h"
#include "MachineTilePainter.h"

namespace orv {

namespace {
constexpr int kMargin = 10;
constexpr int kControlsTop = 30;
constexpr int kGroupHeight = 44;
constexpr int kButtonHeight = 30;
constexpr int kButtonWidth = 110;
constexpr int kSecondRowTop = 80;
constexpr int kNarrowTilesTop = 120;
}  // namespace

SearchWindowLayout SearchWindowLayout::For(const QSize& window) {
  SearchWindowLayout l;
  const int width = window.width();
  const bool oneRow = width >= kOneRowWidth;
  const int groupWidth = oneRow ? 220 : std::max(width - 2 * kMargin, 120);
  l.group = QRect(kMargin, kControlsTop, groupWidth, kGroupHeight);
  l.refresh = QRect(l.group.right() - 35, kControlsTop + 15, 26, 22);
  l.list = QRect(kMargin + 10, kControlsTop + 16, l.refresh.left() - 6 - (kMargin + 10), 20);
  if (oneRow) {
    l.search = QRect(l.group.right() + 1 + kMargin, kControlsTop + 8, kButtonWidth, kButtonHeight);
    l.connect = l.search.translated(kButtonWidth + kMargin, 0);
    l.tileOrigin = QPoint(MachineList::kFirstTileLeft, MachineList::kFirstTileTop);
  } else {
    const int half = std::max((width - 3 * kMargin) / 2, 40);
    l.search = QRect(kMargin, kSecondRowTop, half, kButtonHeight);
    l.connect = QRect(2 * kMargin + half, kSecondRowTop, half, kButtonHeight);
    l.tileOrigin = QPoint(MachineList::kFirstTileLeft, kNarrowTilesTop);
  }
  const int step = MachineList::kTileWidth + MachineList::kTileGap;
  l.tilesPerRow =
      std::clamp((width - MachineList::kFirstTileLeft) / step, 1, MachineList::kTilesPerRow);
  const int areaTop = l.tileOrigin.y() - MachineTilePainter::kBorder;
  l.tileArea = QRect(0, areaTop, std::max(width - kScrollBarWidth, 0),
                     std::max(window.height() - areaTop, 0));
  l.scrollBar = QRect(width - kScrollBarWidth, areaTop, kScrollBarWidth, l.tileArea.height());
  return l;
}

}  // namespace orv
