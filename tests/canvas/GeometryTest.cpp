#include <gtest/gtest.h>

#include <cmath>

#include "Conversions.h"
#include "DragRules.h"
#include "HitZones.h"
#include "Snapping.h"
#include "Tiles.h"

using namespace orv::canvas;

namespace {

constexpr ScalePair kSix{6.0, 6.0};
const Rect kClient{0, 0, 1280, 728};

struct CanvasToDeviceCase {
  Rect canvas;
  ScalePair scale;
  Rect device;
};

TEST(CanvasConversions, CanvasToDeviceRoundsHalfUpAndTreatsOneAsZero) {
  const CanvasToDeviceCase cases[] = {
      {{20, 30, 120, 90}, kSix, {120, 180, 720, 540}},
      {{1, 1, 11, 11}, kSix, {0, 0, 60, 60}},  // canvas 1 is device 0
      {{2, 2, 12, 12}, kSix, {12, 12, 72, 72}},
      {{-4, -4, 6, 6}, kSix, {0, 0, 60, 60}},        // negative is 0, the size stays
      {{3, 5, 10, 8}, {1.5, 2.5}, {5, 13, 16, 21}},  // 4.5 -> 5, 12.5 -> 13, 10.5 -> 11, 7.5 -> 8
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CanvasToDevice(c.canvas, c.scale), c.device) << c.canvas.left << "," << c.canvas.top;
  }
}

struct DeviceToCanvasCase {
  Rect device;
  Rect canvas;
};

TEST(CanvasConversions, DeviceToCanvasWithTheClientEdgeRule) {
  const DeviceToCanvasCase cases[] = {
      {{125, 198, 2045, 1278}, {21, 33, 341, 213}},   // 20.83 -> 21, 33.0
      {{1, 1, 61, 61}, {0, 0, 10, 10}},               // device 1 is canvas 0
      {{0, 0, 7667, 60}, {0, 0, 1278, 10}},           // two short of the client edge: kept
      {{0, 0, 7673, 4362}, {0, 0, 1280, 728}},        // 1279 and 727 are within 1 pixel
      {{6000, 0, 9000, 5000}, {1000, 0, 1280, 728}},  // beyond the client: clamped
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DeviceToCanvas(c.device, kSix, kClient), c.canvas) << c.device.left;
  }
}

TEST(CanvasConversions, UnusableScaleOrEmptyClientGiveNothing) {
  const Rect r{10, 10, 100, 100};
  for (ScalePair bad :
       {ScalePair{0, 6}, ScalePair{6, -1}, ScalePair{std::nan(""), 6}, ScalePair{6, INFINITY}}) {
    EXPECT_FALSE(CanvasToDevice(r, bad));
    EXPECT_FALSE(DeviceToCanvas(r, bad, kClient));
  }
  EXPECT_FALSE(DeviceToCanvas(r, kSix, Rect{}));
  EXPECT_TRUE(DeviceToCanvas(r, {1e-12, 1e-12}, kClient)) << "a tiny scale must not overflow";
}

TEST(CanvasHitZones, EachZoneAndTheTestOrder) {
  const Rect r{10, 10, 60, 40};
  const struct {
    Point p;
    int zone;
  } cases[] = {
      {{12, 25}, kZoneLeft},        {{12, 15}, kZoneLeft},  // t+5 belongs to the edge, tested first
      {{30, 12}, kZoneTop},         {{57, 25}, kZoneRight},      {{30, 38}, kZoneBottom},
      {{30, 25}, kZoneInterior},    {{15, 15}, kZoneLeft},  // l+5,t+5: left edge before interior
      {{11, 11}, kZoneTopLeft},     {{11, 39}, kZoneBottomLeft}, {{59, 11}, kZoneTopRight},
      {{59, 39}, kZoneBottomRight}, {{70, 25}, kZoneOutside},
  };
  for (const auto& c : cases) EXPECT_EQ(HitZoneAt(r, c.p), c.zone) << c.p.x << "," << c.p.y;
}

TEST(CanvasHitZones, CellUnderPointPicksTheNarrowestThenTheEarlier) {
  std::vector<CellShape> cells{
      {{0, 0, 200, 100}},              // 0 wide
      {{50, 20, 150, 80}},             // 1 narrower
      {{60, 20, 160, 80}},             // 2 as narrow as 1, later
      {{70, 30, 90, 50}, false},       // 3 narrowest, hidden
      {{75, 30, 95, 50}, true, true},  // 4 narrowest, locked area
  };
  EXPECT_EQ(CellUnderPoint(cells, std::nullopt, {80, 40}), 1u);
  EXPECT_EQ(CellUnderPoint(cells, std::nullopt, {10, 10}), 0u);
  EXPECT_EQ(CellUnderPoint(cells, std::nullopt, {300, 10}), std::nullopt);
  EXPECT_EQ(CellUnderPoint(cells, 0u, {2, 50}), 0u) << "the selected cell's edge wins";
  EXPECT_EQ(CellUnderPoint(cells, 0u, {80, 40}), 1u) << "but not its interior";
}

TEST(CanvasDragRules, ResizeStopsAtEightPixels) {
  const Rect r{100, 100, 200, 150};
  const struct {
    int zone;
    Point mouse;
    Rect result;
  } cases[] = {
      {kZoneRight, {150, 0}, {100, 100, 150, 150}},
      {kZoneRight, {109, 0}, {100, 100, 109, 150}},
      {kZoneRight, {108, 0}, {100, 100, 108, 150}},
      {kZoneRight, {20, 0}, {100, 100, 108, 150}},
      {kZoneLeft, {500, 0}, {192, 100, 200, 150}},
      {kZoneBottom, {0, 90}, {100, 100, 200, 108}},
      {kZoneTopLeft, {300, 300}, {192, 142, 200, 150}},
      {kZoneBottomRight, {0, 0}, {100, 100, 108, 108}},
      {kZoneTopRight, {250, 60}, {100, 60, 250, 150}},
      {kZoneInterior, {0, 0}, r},
  };
  for (const auto& c : cases) EXPECT_EQ(ResizeByZone(r, c.zone, c.mouse), c.result) << c.zone;
}

TEST(CanvasDragRules, ResizeClampKeepsBoundsAndMinimum) {
  const Rect bounds{20, 30, 340, 210};
  EXPECT_EQ(ClampResized({10, 20, 400, 300}, bounds, kZoneBottomRight), bounds);
  EXPECT_EQ(ClampResized({336, 40, 344, 60}, bounds, kZoneLeft), (Rect{332, 40, 340, 60}))
      << "cut below 8 by the bound: the moved left edge gives way";
  EXPECT_EQ(ClampResized({-5, -5, 50, 50}, {}, kZoneTopLeft), (Rect{-5, -5, 50, 50}))
      << "empty bounds: unchanged";
}

TEST(CanvasDragRules, MoveClampKeepsTheSize) {
  const Rect bounds{20, 30, 340, 210};
  const struct {
    Rect in, out;
  } cases[] = {
      {{0, 0, 100, 60}, {20, 30, 120, 90}},          // above and left of the bounds
      {{300, 200, 400, 260}, {240, 150, 340, 210}},  // beyond right and bottom
      {{-50, -50, 50, 10}, {20, 30, 120, 90}},       // negative
      {{0, 0, 500, 300}, {20, 30, 340, 210}},        // larger than the bounds: cut
      {{100, 100, 150, 150}, {100, 100, 150, 150}},  // inside
  };
  for (const auto& c : cases) EXPECT_EQ(ClampMoved(c.in, bounds), c.out) << c.in.left;
}

// Each snap kind once; the device rectangle must abut the partner's exactly,
// whatever the rounding of the moved cell's own conversion.
TEST(CanvasSnapping, EachKindAndTheDeviceRectangleAbutsThePartner) {
  const Rect o{100, 100, 200, 160};
  const Rect oDevice{601, 599, 1199, 961};  // not what o converts to: copied, not recomputed
  const Rect oldDevice{0, 0, 300, 180};     // the moved cell's device size: 300 x 180
  const struct {
    Rect m;
    int kind;
    Rect moved;
    Rect device;
  } cases[] = {
      {{49, 69, 99, 99}, kSnapTopLeft, {50, 70, 100, 100}, {301, 419, 601, 599}},
      {{51, 131, 101, 161}, kSnapBottomLeft, {50, 130, 100, 160}, {301, 781, 601, 961}},
      {{199, 71, 249, 101}, kSnapTopRight, {200, 70, 250, 100}, {1199, 419, 1499, 599}},
      {{201, 159, 251, 189}, kSnapBottomRight, {200, 160, 250, 190}, {1199, 961, 1499, 1141}},
      {{50, 120, 100, 150}, kSnapLeft, {50, 120, 100, 150}, {301, 720, 601, 900}},
      {{200, 110, 250, 140}, kSnapRight, {200, 110, 250, 140}, {1199, 660, 1499, 840}},
      {{120, 160, 170, 190}, kSnapBottom, {120, 160, 170, 190}, {720, 961, 1020, 1141}},
      {{120, 70, 170, 100}, kSnapTop, {120, 70, 170, 100}, {720, 419, 1020, 599}},
  };
  for (const auto& c : cases) {
    const auto snap = SnapTo(c.m, o);
    ASSERT_TRUE(snap) << c.kind;
    EXPECT_EQ(snap->kind, c.kind);
    EXPECT_EQ(snap->moved, c.moved) << c.kind;
    const Rect own = *CanvasToDevice(snap->moved, kSix);
    EXPECT_EQ(SnappedDevice(*snap, own, oldDevice, oDevice), c.device) << c.kind;
  }
  EXPECT_FALSE(SnapTo({50, 0, 100, 30}, o)) << "left edges aligned but no vertical overlap";
  EXPECT_FALSE(SnapTo({300, 300, 350, 330}, o));
}

TEST(CanvasDragRules, AlignmentPerZone) {
  const Rect area{125, 198, 2045, 1278};
  const struct {
    Rect device;
    int zone;
    Rect aligned;
  } cases[] = {
      {{127, 300, 500, 600}, kZoneLeft, {125, 300, 500, 600}},  // within 2
      {{128, 300, 500, 600}, kZoneLeft, {128, 300, 500, 600}},  // 3 inside: stays
      {{100, 300, 500, 600}, kZoneLeft, {125, 300, 500, 600}},  // outside
      {{300, 196, 500, 600}, kZoneTop, {300, 198, 500, 600}},
      {{300, 300, 2100, 600}, kZoneRight, {300, 300, 2045, 600}},
      {{300, 300, 500, 1276}, kZoneBottom, {300, 300, 500, 1278}},
      {{120, 190, 500, 600}, kZoneTopLeft, {125, 198, 500, 600}},
      {{120, 300, 500, 1300}, kZoneBottomLeft, {125, 300, 500, 1278}},
      {{300, 300, 2050, 1290}, kZoneBottomRight, {300, 300, 2045, 1278}},
      {{300, 150, 2100, 600}, kZoneTopRight, {300, 198, 2100, 600}},       // beyond: right stays
      {{300, 150, 2047, 600}, kZoneTopRight, {300, 198, 2045, 600}},       // within 2: placed
      {{1500, 1000, 2100, 1360}, kZoneInterior, {1445, 918, 2045, 1278}},  // size kept
      {{100, 300, 2100, 600}, kZoneInterior, {125, 300, 2125, 600}},       // too wide: left last
      {{300, 300, 900, 660}, kZoneInterior, {300, 300, 900, 660}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(AlignToArea(c.device, area, c.zone), c.aligned) << c.zone << " " << c.device.left;
  }
}

TEST(CanvasDragRules, DeviceAfterMoveAndResize) {
  const Rect old{125, 198, 725, 558};
  EXPECT_EQ(DeviceAfterMove({300, 240, 903, 601}, old), (Rect{300, 240, 900, 600}));
  EXPECT_EQ(DeviceAfterResize({300, 240, 903, 601}, old, kZoneRight), (Rect{125, 198, 903, 558}));
  EXPECT_EQ(DeviceAfterResize({300, 240, 903, 601}, old, kZoneTopLeft), (Rect{300, 240, 725, 558}));
  EXPECT_EQ(KeepNonNegative({-5, -2, 95, 98}), (Rect{0, 0, 100, 100}));
}

TEST(CanvasTiles, SplitTypesTruncateTheirLines) {
  EXPECT_EQ(SplitTiles({0, 0, 100, 10}, 1),
            (std::vector<Rect>{{0, 0, 100, 2}, {0, 2, 100, 4}, {0, 4, 100, 6}, {0, 6, 100, 10}}));
  EXPECT_EQ(SplitTiles({0, 0, 10, 10}, 3),
            (std::vector<Rect>{{0, 0, 5, 5}, {5, 0, 10, 5}, {0, 5, 5, 10}, {5, 5, 10, 10}}));
  EXPECT_EQ(SplitTiles({0, 0, 10, 10}, 5).size(), 3u);
  EXPECT_EQ(SplitTiles({0, 0, 10, 10}, 99), (std::vector<Rect>{{0, 0, 10, 10}}));
}

TEST(CanvasTiles, DoubleClickThereAndBack) {
  const std::vector<AreaShape> areas{
      {{20, 30, 340, 210}, {120, 180, 2040, 1260}, 3, true},
      {{0, 0, 0, 0}, {0, 0, 0, 0}, 0, true},  // empty: no target
  };
  const Placement start{{30, 40, 80, 70}, {180, 240, 480, 420}};
  const auto target = DoubleClickTarget(start.rect, areas);
  ASSERT_TRUE(target);
  EXPECT_EQ(*target, (Placement{{20, 30, 180, 120}, {120, 180, 1080, 720}}));
  const auto there = ToggleTarget(start, *target, std::nullopt);
  ASSERT_TRUE(there);
  EXPECT_EQ(there->now, *target);
  const auto back = ToggleTarget(there->now, *target, there->saved);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->now, start);
  EXPECT_FALSE(ToggleTarget(*target, *target, std::nullopt)) << "on target, nothing saved";

  EXPECT_EQ(DoubleClickTarget({150, 100, 200, 140}, areas)->rect, (Rect{20, 30, 340, 210}))
      << "across all four tiles: their union";
  EXPECT_FALSE(DoubleClickTarget({400, 300, 450, 350}, areas));
}

TEST(CanvasHitZones, MoveConfinementKeepsTheCellInside) {
  const Rect cell{100, 100, 200, 150};
  EXPECT_EQ(MoveConfinement(cell, {120, 110}, kClient), (Rect{20, 10, 1200, 688}));
  const Rect tiny = MoveConfinement({0, 0, 100, 100}, {50, 50}, {0, 0, 40, 40});
  EXPECT_EQ(tiny.Width(), 0) << "one point at least";
  EXPECT_EQ(ClampPoint({-50, 5000}, {20, 10, 1200, 688}), (Point{20, 688}));
}

}  // namespace
