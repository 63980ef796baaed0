#include <gtest/gtest.h>

#include <QPainter>

#include "CMemuDC.h"

using namespace orv;

TEST(MemuDC, DrawsIntoTheBufferAndCopiesOnceAtTheEnd) {
  QImage target(50, 40, QImage::Format_ARGB32_Premultiplied);
  target.fill(Qt::blue);
  QPainter p(&target);
  {
    CMemuDC dc(p, QRect(10, 10, 20, 10));
    EXPECT_TRUE(dc.Buffered());
    dc->fillRect(QRect(10, 10, 20, 10), Qt::red);  // the target's coordinates
    dc->fillRect(QRect(0, 0, 50, 40), Qt::green);  // clipped to the rectangle's buffer
    EXPECT_EQ(target.pixelColor(15, 15), QColor(Qt::blue)) << "nothing shows before the copy";
  }
  p.end();
  EXPECT_EQ(target.pixelColor(15, 15), QColor(Qt::green));
  EXPECT_EQ(target.pixelColor(5, 5), QColor(Qt::blue)) << "outside the rectangle untouched";
  EXPECT_EQ(target.pixelColor(31, 15), QColor(Qt::blue));
}

TEST(MemuDC, AllZeroRectangleBuffersTheClipBox) {
  QImage target(60, 60, QImage::Format_ARGB32_Premultiplied);
  target.fill(Qt::blue);
  QPainter p(&target);
  p.setClipRect(QRect(20, 30, 10, 5));
  {
    CMemuDC dc(p, QRect(0, 0, 0, 0));
    EXPECT_EQ(dc.Rect(), QRect(20, 30, 10, 5));
    dc->fillRect(QRect(0, 0, 60, 60), Qt::yellow);
  }
  p.end();
  EXPECT_EQ(target.pixelColor(25, 32), QColor(Qt::yellow));
  EXPECT_EQ(target.pixelColor(25, 40), QColor(Qt::blue));
  QImage whole(8, 8, QImage::Format_ARGB32_Premultiplied);
  QPainter q(&whole);
  CMemuDC dc(q);
  EXPECT_EQ(dc.Rect(), QRect(0, 0, 8, 8)) << "no clip: the whole device";
}

TEST(MemuDC, CopyBackgroundStartsFromTheTargetsPixels) {
  QImage target(30, 30, QImage::Format_ARGB32_Premultiplied);
  target.fill(Qt::blue);
  target.setPixelColor(12, 12, Qt::white);
  QPainter p(&target);
  {
    CMemuDC keep(p, QRect(10, 10, 10, 10), true);
    keep->fillRect(QRect(15, 15, 2, 2), Qt::red);
  }
  {
    CMemuDC replace(p, QRect(0, 0, 5, 5), false);  // nothing drawn: the area is replaced
  }
  p.end();
  EXPECT_EQ(target.pixelColor(12, 12), QColor(Qt::white)) << "background kept";
  EXPECT_EQ(target.pixelColor(16, 16), QColor(Qt::red));
  EXPECT_EQ(target.pixelColor(11, 18), QColor(Qt::blue));
  EXPECT_EQ(target.pixelColor(2, 2).alpha(), 0) << "a plain copy replaces the rectangle";
}
