#include <gtest/gtest.h>

#include <QTest>
#include <QWidget>

#include "Dpi.h"
#include "Mouse.h"

using namespace orv;

TEST(Dpi, OverrideScalesWindowSizes) {
  SetDpiOverride(Dpi{144, 120});
  EXPECT_DOUBLE_EQ(DpiScaleX(), 1.5);
  EXPECT_EQ(ScaleX(1280), 1920);
  EXPECT_EQ(ScaleY(728), 910);
  SetDpiOverride(Dpi{97, 97});
  EXPECT_EQ(ScaleX(1280), 1293) << "truncated toward zero (1293.33)";
  SetDpiOverride(std::nullopt);
  EXPECT_GT(ScreenDpi().x, 0);
}

TEST(Mouse, CaptureNeedsAShownWidgetAndIsReleased) {
  QWidget hidden;
  EXPECT_FALSE(SetCapture(&hidden));
  EXPECT_EQ(GetCapture(), nullptr);
  QWidget shown;
  shown.resize(50, 50);
  shown.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&shown));
  EXPECT_TRUE(SetCapture(&shown));
  EXPECT_EQ(GetCapture(), &shown);
  EXPECT_EQ(QWidget::mouseGrabber(), &shown);
  ReleaseCapture();
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
  {
    QWidget gone;
    gone.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&gone));
    SetCapture(&gone);
  }
  EXPECT_EQ(GetCapture(), nullptr) << "a destroyed widget no longer holds the capture";
}

TEST(Mouse, CursorTableCoversEveryKind) {
  EXPECT_EQ(CursorFor(CursorKind::SizeWE).shape(), Qt::SizeHorCursor);
  EXPECT_EQ(CursorFor(CursorKind::SizeNWSE).shape(), Qt::SizeFDiagCursor);
  EXPECT_EQ(CursorFor(CursorKind::Hand).shape(), Qt::PointingHandCursor);
  QWidget w;
  SetCursorKind(&w, CursorKind::SizeAll);
  EXPECT_EQ(w.cursor().shape(), Qt::SizeAllCursor);
  {
    WaitCursor wait;
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
  }
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}
