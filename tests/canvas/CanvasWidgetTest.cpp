// The canvas driven by real mouse events on the offscreen platform: presses,
// drags (also far outside the window) and releases, checking the cells and
// the numbered messages the window above receives, in their order.
#include <gtest/gtest.h>

#include <memory>

#include <QTest>

#include "CPictureCtrl.h"
#include "MessageIds.h"
#include "RecordingWindow.h"

using namespace orv;
using canvas::Rect;

namespace {

// Device plane at scale 6: output area 1 at device (125, 198) is canvas
// (21, 33, 341, 213); output area 2 to its right is unlocked.
class CanvasWidget : public ::testing::Test {
 protected:
  void SetUp() override {
    parent.resize(700, 500);
    canvas = new CPictureCtrl(&parent);
    canvas->setGeometry(0, 0, 700, 500);
    canvas->SetAreaAlignment(true);
    area = canvas->AddArea(QStringLiteral("OUTPUT:DVI-1"), 125, 198, 0);
    area->SetFixed(true);
    area->SetAreaStyle(true);
    area2 = canvas->AddArea(QStringLiteral("OUTPUT:DVI-2"), 2045, 198, 0);
    main = canvas->AddLayer(600, 360, 125, 198, QStringLiteral("Main : "), 0, 0);
    pip = canvas->AddLayer(480, 300, 1325, 798, QStringLiteral("PIP-1 : "), 1, 0);
    for (CCell* layer : {main, pip}) {
      canvas->AttachToArea(layer, 125, 198, 2045, 1278);
      canvas->PlaceFromDevice(layer, layer->DeviceRect());
    }
    parent.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));
    parent.Take();
  }

  void Press(QPoint at) { QTest::mousePress(canvas, Qt::LeftButton, {}, at); }
  void MoveTo(QPoint to) { QTest::mouseMove(canvas, to); }
  void Release(QPoint at) { QTest::mouseRelease(canvas, Qt::LeftButton, {}, at); }
  // Moves in steps of a few pixels, as a hand would.
  void DragSteps(QPoint from, QPoint to, int steps) {
    for (int i = 1; i <= steps; ++i) MoveTo(from + (to - from) * i / steps);
  }

  test::RecordingWindow parent;
  CPictureCtrl* canvas = nullptr;
  CCell* area = nullptr;
  CCell* area2 = nullptr;
  CCell* main = nullptr;
  CCell* pip = nullptr;
};

void ExpectMessages(const std::vector<Message>& got,
                    const std::vector<std::tuple<uint32_t, intptr_t, intptr_t>>& want) {
  ASSERT_EQ(got.size(), want.size());
  for (std::size_t i = 0; i < want.size(); ++i) {
    EXPECT_EQ(got[i].id, std::get<0>(want[i])) << i;
    EXPECT_EQ(got[i].wParam, std::get<1>(want[i])) << i;
    EXPECT_EQ(got[i].lParam, std::get<2>(want[i])) << i;
  }
}

intptr_t Ptr(CCell* cell) {
  return reinterpret_cast<intptr_t>(cell);
}

TEST_F(CanvasWidget, DragSnapsToTheCornerAndTheDeviceRectangleAbuts) {
  ASSERT_EQ(main->CanvasRect(), (Rect{21, 33, 121, 93}));
  ASSERT_EQ(pip->CanvasRect(), (Rect{221, 133, 301, 183}));
  // Grab PIP-1 and bring its top-left within a pixel of Main's top-right,
  // (122, 34), in 11 steps of 9 pixels (one step aligns the bottoms).
  const QPoint grab(261, 158);
  const QPoint end = grab + QPoint(-99, -99);
  Press(grab);
  DragSteps(grab, end, 11);
  EXPECT_EQ(canvas->SnapKind(), canvas::kSnapTopRight);
  EXPECT_EQ(canvas->SnapPartner(), main->CanvasRect());
  Release(end);

  EXPECT_EQ(canvas->SnapKind(), canvas::kSnapNone);
  EXPECT_EQ(pip->CanvasRect(), (Rect{121, 33, 201, 83}));
  EXPECT_EQ(pip->DeviceRect(), (Rect{725, 198, 1205, 498}))
      << "left on Main's device right, top on the area, size kept";
  ExpectMessages(parent.Take(), {{UM_CELL_ACTIVATED, Ptr(pip), 0}, {UM_CELL_MOVED, Ptr(pip), 0}});
  EXPECT_EQ(canvas->Selected(), pip);
  EXPECT_EQ(pip->PosText(), QStringLiteral("Pos:[600,0]"));
}

TEST_F(CanvasWidget, ResizeNeverGoesBelowEightOrOutsideTheArea) {
  const QPoint rightEdge(118, 60);  // Main's right-edge zone
  Press(rightEdge);
  MoveTo({-400, 60});  // past its left edge and out of the window
  EXPECT_EQ(main->CanvasRect(), (Rect{21, 33, 29, 93}));
  MoveTo({2000, 3000});
  Release({2000, 3000});  // released far outside
  EXPECT_EQ(main->CanvasRect(), (Rect{21, 33, 341, 93}));
  EXPECT_EQ(main->DeviceRect(), (Rect{125, 198, 2045, 558}))
      << "right edge 2046 aligned to the area";
  ExpectMessages(parent.Take(), {{UM_CELL_ACTIVATED, Ptr(main), 0}, {UM_CELL_MOVED, Ptr(main), 0}});
}

TEST_F(CanvasWidget, FastMovesOutsideTheWindowKeepTheCellInItsArea) {
  Press({71, 63});
  MoveTo({-3000, -3000});
  EXPECT_EQ(main->CanvasRect(), (Rect{21, 33, 121, 93}));
  EXPECT_EQ(main->DeviceRect(), (Rect{125, 198, 725, 558})) << "held at the bound: unchanged";
  MoveTo({9000, 9000});
  EXPECT_EQ(main->CanvasRect(), (Rect{241, 153, 341, 213}));
  Release({9000, 9000});
  EXPECT_EQ(main->DeviceRect(), (Rect{1445, 918, 2045, 1278}));
  ExpectMessages(parent.Take(), {{UM_CELL_ACTIVATED, Ptr(main), 0}, {UM_CELL_MOVED, Ptr(main), 0}});
}

TEST_F(CanvasWidget, PushingAgainstTheBoundLeavesTheDeviceRectangleAlone) {
  canvas->SetAreaAlignment(false);
  Press({71, 63});
  for (int i = 0; i < 3; ++i) MoveTo({-3000 - i, -3000});
  Release({-3000, -3000});
  EXPECT_EQ(main->CanvasRect(), (Rect{21, 33, 121, 93}));
  EXPECT_EQ(main->DeviceRect(), (Rect{125, 198, 725, 558})) << "not 126 from canvas 21";
}

TEST_F(CanvasWidget, LockedAreaIgnoredUnlockedAreaMovesButDoesNotResize) {
  Press({200, 200});  // inside the locked area only
  Release({200, 200});
  EXPECT_EQ(canvas->Selected(), nullptr);
  Press({343, 120});  // the unlocked area's left edge
  MoveTo({300, 120});
  Release({300, 120});
  EXPECT_EQ(area2->CanvasRect(), (Rect{341, 33, 661, 213}));
  EXPECT_TRUE(parent.Take().empty());

  Press({500, 120});
  MoveTo({530, 132});
  Release({530, 132});
  EXPECT_EQ(area2->CanvasRect(), (Rect{371, 45, 691, 225}));
  EXPECT_EQ(area2->DeviceRect(), (Rect{2226, 270, 4146, 1350}));
  ExpectMessages(parent.Take(),
                 {{UM_CELL_ACTIVATED, Ptr(area2), 0}, {UM_CELL_MOVED, Ptr(area2), 1}});
}

TEST_F(CanvasWidget, PressWithoutMoveAndCtrlClickPostNoMove) {
  Press({71, 63});
  Release({71, 63});
  ExpectMessages(parent.Take(), {{UM_CELL_ACTIVATED, Ptr(main), 0}});
  QTest::mouseClick(canvas, Qt::LeftButton, Qt::ControlModifier, {261, 158});
  EXPECT_EQ(canvas->Selected(), nullptr);
  EXPECT_TRUE(pip->IsSelected());
  EXPECT_FALSE(main->IsSelected());
  EXPECT_TRUE(parent.Take().empty());
  canvas->MenuCommand(CPictureCtrl::kTopSettingCommand);
  ExpectMessages(parent.Take(), {{UM_SHOW_TOP_BUTTONS, 0, 0}});
}

TEST_F(CanvasWidget, DoubleClickFillsTheTileAndRestores) {
  area->SetSplitType(3);
  const QPoint inside(71, 63);
  QTest::mouseDClick(canvas, Qt::LeftButton, {}, inside);
  EXPECT_EQ(main->CanvasRect(), (Rect{21, 33, 181, 123}));
  EXPECT_EQ(main->DeviceRect(), (Rect{125, 198, 1085, 738}));
  QTest::mouseDClick(canvas, Qt::LeftButton, {}, inside);
  EXPECT_EQ(main->CanvasRect(), (Rect{21, 33, 121, 93}));
  EXPECT_EQ(main->DeviceRect(), (Rect{125, 198, 725, 558}));
  ExpectMessages(parent.Take(), {{UM_CELL_MOVED, Ptr(main), 0}, {UM_CELL_MOVED, Ptr(main), 0}});
}

struct VideoLog {
  QWidget* parent = nullptr;
  Rect geometry;
  bool visible = true;
  bool destroyed = false;
};

class FakeVideo : public CellVideo {
 public:
  explicit FakeVideo(VideoLog& log) : log_(log) {}
  ~FakeVideo() override { log_.destroyed = true; }
  void SetGeometry(int x, int y, int w, int h) override { log_.geometry = {x, y, x + w, y + h}; }
  void SetVisible(bool visible) override { log_.visible = visible; }
  void SetLabel(const char*) override {}

 private:
  VideoLog& log_;
};

TEST_F(CanvasWidget, VideoPartFollowsTheCellAndDiesWithIt) {
  VideoLog log;
  canvas->SetVideoEnabled(true);
  canvas->SetVideoFactory([&](QWidget* cellWidget, int, int) {
    log.parent = cellWidget;
    return std::make_unique<FakeVideo>(log);
  });
  CCell* pip2 = canvas->AddLayer(480, 300, 120, 900, QStringLiteral("PIP-2 : "), 2, 0);
  ASSERT_NE(pip2, nullptr);
  EXPECT_EQ(log.parent, pip2);
  EXPECT_EQ(log.geometry, pip2->CanvasRect());
  canvas->PlaceFromDevice(pip2, {300, 960, 1500, 1800});
  EXPECT_EQ(log.geometry, (Rect{50, 160, 250, 300}));
  // The canvas leaves the cell unfilled for the video (the background shows).
  const QImage shot = canvas->grab().toImage();
  EXPECT_NE(shot.pixelColor(240, 290), QColor(0, 0, 0));
  EXPECT_EQ(shot.pixelColor(118, 50), QColor(0, 0, 0)) << "Main, without video, is black";
  canvas->ShowCell(pip2, false);
  EXPECT_FALSE(log.visible);
  EXPECT_EQ(canvas->AddLayer(10, 10, 0, 0, QString(), 2, 0), nullptr) << "z key 2 exists";
  canvas->RemoveLayers();
  EXPECT_TRUE(log.destroyed);
  EXPECT_EQ(canvas->LayerCell(0), nullptr);
  EXPECT_EQ(canvas->Cells().size(), 2u) << "the areas stay";
}

TEST_F(CanvasWidget, StackingFollowsTheList) {
  CCell* pip2 = canvas->AddLayer(480, 300, 120, 900, QString(), 2, 0);
  canvas->BringToFront(main);
  EXPECT_EQ(canvas->Cells().back(), main);
  EXPECT_EQ(canvas->children().last(), main) << "its window on top";
  canvas->SortByZKey();
  canvas->ApplyZOrder();
  std::vector<CCell*> layers;
  for (CCell* c : canvas->Cells()) {
    if (!c->IsArea()) layers.push_back(c);
  }
  EXPECT_EQ(layers, (std::vector<CCell*>{main, pip, pip2}));
  EXPECT_EQ(canvas->children().last(), pip2);
}

TEST_F(CanvasWidget, UnusableScaleOrEmptyClientLeavesCellsWhereTheyAre) {
  EXPECT_FALSE(canvas->SetScalePairs({0, 6}, {6, 6}));
  EXPECT_FALSE(canvas->SetScalePairs({6, 6}, {-2, 6}));
  EXPECT_EQ(canvas->ScaleB(), (canvas::ScalePair{6, 6}));
  canvas->resize(0, 0);
  canvas->PlaceFromDevice(main, {600, 600, 900, 900});
  EXPECT_EQ(main->CanvasRect(), (Rect{21, 33, 121, 93}));
  EXPECT_EQ(main->DeviceRect(), (Rect{600, 600, 900, 900}));
}

}  // namespace
