// The main window's geometry as arithmetic: sizes for the DPI, the page
// column, the main page, the sub-pages and the minimum-size rule.
#include <gtest/gtest.h>

#include "WindowLayout.h"

namespace orv::layout {
namespace {

const QRect kClient(0, 0, 1280, 728);

TEST(WindowLayout, InitialSizeFollowsTheDpi) {
  EXPECT_EQ(InitialWindowSize(96, 96), QSize(1280, 728));
  EXPECT_EQ(InitialWindowSize(120, 120), QSize(1600, 910));
  EXPECT_EQ(InitialWindowSize(144, 96), QSize(1920, 728));  // only the height uses dpiY
}

TEST(WindowLayout, PageColumnAndPageButtons) {
  EXPECT_EQ(PageButtonRect(kClient, 0), QRect(0, 104, 75, 36));
  EXPECT_EQ(PageButtonRect(kClient, 10), QRect(0, 464, 75, 36));
  EXPECT_EQ(PageColumnRect(kClient, 1.0), QRect(77, 106, 320, 728 - 96 - 106));
  // trunc(1.25 x 320 + 77) - 77 = 400
  EXPECT_EQ(PageColumnRect(kClient, 1.25).width(), 400);
}

TEST(WindowLayout, MainPageTakesTheFreedWidthWhenNoPageShows) {
  const QRect wide = MainPageRect(kClient, false, 1.0);
  const QRect narrow = MainPageRect(kClient, true, 1.0);
  EXPECT_EQ(wide, QRect(75, 106, 1280 - 24 - 75, 728 - 141 - 106));
  EXPECT_EQ(narrow.left(), 77 + 320);
  EXPECT_EQ(narrow.left() + narrow.width(), 1256);
  EXPECT_EQ(narrow.top(), wide.top());
  EXPECT_EQ(narrow.height(), wide.height());
}

TEST(WindowLayout, SubPagesHangBelowTheWindowCorner) {
  const QRect frame(100, 50, 1300, 800);
  EXPECT_EQ(SubPageRect(frame, 1.0, false), QRect(183, 258, 320, 850 - 258 - 104));
  EXPECT_EQ(SubPageRect(frame, 1.0, true).top(), 247);
}

TEST(WindowLayout, SeparatorsSitBetweenTheAreas) {
  const SeparatorLines lines = Separators(kClient);
  EXPECT_EQ(lines.verticals[0], QLine(75, 0, 75, 728));
  EXPECT_EQ(lines.verticals[1], QLine(1256, 0, 1256, 728));
  EXPECT_EQ(lines.horizontals[0], QLine(75, 105, 1256, 105));
  EXPECT_EQ(lines.horizontals[1], QLine(75, 633, 1256, 633));
}

TEST(WindowLayout, MinimumSizeMovesTheDraggedEdge) {
  // Dragging the left edge to the right: the left edge is put back.
  const QRect fromLeft = ApplyMinimumSize(QRect(300, 100, 1000, 800), SizingEdge::Left);
  EXPECT_EQ(fromLeft, QRect(20, 100, 1280, 800));
  // Dragging the right edge: the right edge moves.
  EXPECT_EQ(ApplyMinimumSize(QRect(300, 100, 1000, 800), SizingEdge::Right),
            QRect(300, 100, 1280, 800));
  // Top-left corner: both the left and the top edge.
  EXPECT_EQ(ApplyMinimumSize(QRect(300, 200, 900, 500), SizingEdge::TopLeft),
            QRect(-80, -28, 1280, 728));
  // Bottom-left corner: left edge and bottom edge.
  EXPECT_EQ(ApplyMinimumSize(QRect(300, 200, 900, 500), SizingEdge::BottomLeft),
            QRect(-80, 200, 1280, 728));
  EXPECT_EQ(ApplyMinimumSize(QRect(300, 200, 900, 500), SizingEdge::TopRight),
            QRect(300, -28, 1280, 728));
  // Large enough: unchanged.
  EXPECT_EQ(ApplyMinimumSize(QRect(0, 0, 1400, 800), SizingEdge::Bottom), QRect(0, 0, 1400, 800));
}

TEST(WindowLayout, AnchoredControlsKeepTheirEdgeDistances) {
  const QRect control(1060, 646, 90, 28);
  const EdgeAnchor right = AnchorOf(control, kClient, true);
  EXPECT_EQ(PlaceAnchored(right, QRect(0, 0, 1480, 828)), QRect(1260, 746, 90, 28));
  const EdgeAnchor left = AnchorOf(QRect(84, 646, 80, 28), kClient, false);
  EXPECT_EQ(PlaceAnchored(left, QRect(0, 0, 1480, 828)), QRect(84, 746, 80, 28));
}

// The band under the canvas keeps its design places while they fit; the
// shown buttons close up, and narrow, only when they would meet.
TEST(WindowLayout, StripRowClosesUpOnlyWhatWouldOverlap) {
  StripRowShown plain;
  plain.layers = {true, true, true, true, false, false, false, false};
  plain.right = {false, true, true, true, true};
  const StripRow design = PlaceStripRow(kClient, 75, plain);
  for (std::size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(design.layers[i], QRect(90 + static_cast<int>(i) * 74, 591, 70, 26));
  }
  EXPECT_EQ(design.right[kLockOutputButton], QRect(800, 591, 96, 28));
  EXPECT_EQ(design.right[kPreviewButton], QRect(1118, 591, 96, 28));

  StripRowShown single;  // program/preview: PIP-2 and PIP-3 of both rows, TAKE
  single.layers = {false, false, true, true, false, false, true, true};
  single.right = {true, false, true, true, true};
  const StripRow open = PlaceStripRow(kClient, 397, single);
  EXPECT_EQ(open.right[kTakeButton], QRect(806, 585, 90, 38)) << "TAKE moves up to Freeze";
  EXPECT_EQ(open.layers[2].left(), 412);
  EXPECT_EQ(open.layers[7].right(), 412 + 4 * 70 + 3 * 4 + 10 - 1);

  // Less room still: the four buttons narrow.
  const StripRow narrow = PlaceStripRow(kClient, 500, single);
  EXPECT_LT(narrow.layers[2].width(), 70);
  EXPECT_GE(narrow.layers[2].width(), kLayerButtonMinWidth);
  EXPECT_LT(narrow.layers[7].right(), narrow.right[kTakeButton].left() - 9);
}

}  // namespace
}  // namespace orv::layout
