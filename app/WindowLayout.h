#pragma once
// The main window's geometry as plain arithmetic on the client rectangle, so
// that it is tested without a window. Coordinates: x grows rightwards from
// the client's left edge, y downwards from its top; right and bottom edges
// are exclusive.
#include <array>

#include <QLine>
#include <QRect>

namespace orv::layout {

inline constexpr int kDesignWidth = 1280;  // at 96 DPI
inline constexpr int kDesignHeight = 728;
inline constexpr int kPageButtonWidth = 75;
inline constexpr int kPageButtonHeight = 36;
inline constexpr int kPageButtonTop = 104;
inline constexpr int kPageCount = 11;

// The window size for the screen's DPI: s x 1280 by (dpiY / 96) x 728,
// float products truncated toward zero.
QSize InitialWindowSize(int dpiX, int dpiY);

// Page button `index` (0..10) of the page column.
QRect PageButtonRect(const QRect& client, int index);

// Every page of the page column: x from L+77, width trunc(s x 320 + L+77) -
// (L+77), y from T+106 to B-96.
QRect PageColumnRect(const QRect& client, double scale);

// The main page: y from T+106 to B-141; x from L+75 (no page shown) or the
// page column's right edge, to R-24.
QRect MainPageRect(const QRect& client, bool pageShown, double scale);

// The keyer, test pattern and time/task pages hang below the main window's
// top-left corner (screen coordinates of the window frame), as wide as the
// page column: x = left + 83, y = top + 208 (+ 197 after the window moved),
// bottom 104 above the window's bottom.
QRect SubPageRect(const QRect& windowFrame, double scale, bool afterMove);

// The four separator lines: vertical at L+75 and R-24 over the full height,
// horizontal at T+105 and B-95 from L+75 to R-24.
struct SeparatorLines {
  QLine verticals[2];
  QLine horizontals[2];
};
SeparatorLines Separators(const QRect& client);

// Which edge or corner the operator drags while resizing.
enum class SizingEdge { Left, Right, Top, Bottom, TopLeft, TopRight, BottomLeft, BottomRight };

// The minimum-size rule while resizing: a proposed width below 1280 moves the
// dragged edge (the left one when dragging a left edge or corner, else the
// right one) to give exactly 1280; height likewise with 728 and the top edge.
QRect ApplyMinimumSize(const QRect& proposed, SizingEdge edge);

// The band under the canvas. TAKE, Lock Output, Freeze, the switch and the
// preview button close up leftwards from 66 pixels inside the client's right
// edge; hidden ones take no room. The layer buttons (PGM MAIN..PIP-3, then PVW
// MAIN..PIP-3) keep their slots from the canvas's left edge (pitch 74, the PVW
// group 10 pixels further) while the shown ones end before the right group;
// otherwise the shown ones close up and, if they must, narrow (not below
// kLayerButtonMinWidth), so that none covers another.
enum StripButton { kTakeButton, kLockOutputButton, kFreezeButton, kSwitchButton, kPreviewButton };
inline constexpr int kStripRightButtons = 5;
inline constexpr int kLayerButtonWidth = 70;
inline constexpr int kLayerButtonMinWidth = 44;
struct StripRowShown {
  std::array<bool, 8> layers{};  // PGM 0..3, PVW 0..3
  std::array<bool, kStripRightButtons> right{};
};
struct StripRow {
  std::array<QRect, 8> layers;  // hidden buttons keep a place of their size, unused
  std::array<QRect, kStripRightButtons> right;
};
StripRow PlaceStripRow(const QRect& client, int canvasLeft, const StripRowShown& shown);

// A control that keeps its distances from two client edges while the window
// is resized (recorded once at the design size).
struct EdgeAnchor {
  bool fromRight = false;  // else from the left
  int horizontalDistance = 0;
  int bottomDistance = 0;
  QSize size;
};
EdgeAnchor AnchorOf(const QRect& control, const QRect& client, bool fromRight);
QRect PlaceAnchored(const EdgeAnchor& anchor, const QRect& client);

}  // namespace orv::layout
