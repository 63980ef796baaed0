#include <gtest/gtest.h>

#include "CSxGroupBox.h"
#include "Skin.h"
#include "TestSupport.h"

using namespace orv;
using namespace orv::test;

namespace {

struct Box : ::testing::Test {
  void SetUp() override {
    box = new CSxGroupBox(QStringLiteral("Sync Mode"), &page, 1441);
    box->setGeometry(10, 10, 200, 80);
    box->SetCaptionFont(skin::ArialFont(15, 700));
    box->SetCaptionColor(skin::kOrange);
    box->SetColors(QColor(90, 90, 90), QColor(200, 200, 200), QColor(60, 60, 60),
                   QColor(70, 70, 70));
  }
  // Pixels of the top line, in box coordinates.
  std::vector<QColor> TopLine(const QImage& img) {
    const auto g = box->Layout();
    std::vector<QColor> row;
    for (int x = 0; x < box->width(); ++x) row.push_back(img.pixelColor(10 + x, 10 + g.topLineY));
    return row;
  }
  RecordingPage page;
  CSxGroupBox* box = nullptr;
};

}  // namespace

TEST_F(Box, CaptionPlacementFollowsTheAlignment) {
  const int fontHeight = QFontMetrics(skin::ArialFont(15, 700)).height();
  auto g = box->Layout();
  EXPECT_EQ(g.topLineY, fontHeight / 2);
  EXPECT_EQ(g.caption.left(), 8) << "left: the inset from the frame corner";
  const int width = g.caption.width();
  box->SetAlignment(CSxGroupBox::kRight);
  g = box->Layout();
  EXPECT_EQ(g.caption.right() + 1, 200 - 8);
  EXPECT_EQ(g.caption.width(), width);
  box->SetAlignment(CSxGroupBox::kCentre);
  g = box->Layout();
  EXPECT_EQ(g.caption.left(), (200 - width) / 2);
  box->SetAlignment(12345);
  EXPECT_EQ(box->Alignment(), CSxGroupBox::kLeft) << "an unknown alignment counts as left";
  box->SetCaptionInset(20);
  box->SetCaptionLift(3);
  g = box->Layout();
  EXPECT_EQ(g.caption.left(), 20);
  EXPECT_EQ(g.caption.top(), -3);
}

TEST_F(Box, TheTopLineLeavesAGapForTheCaption) {
  const QImage img = Grab(page);
  const auto g = box->Layout();
  const auto line = TopLine(img);
  EXPECT_EQ(line[2], QColor(90, 90, 90));
  EXPECT_EQ(line[g.gapStart - 1], QColor(90, 90, 90));
  EXPECT_EQ(line[g.gapEnd + 1], QColor(90, 90, 90));
  EXPECT_EQ(line[g.gapStart + 1], QColor(16, 16, 16)) << "the leading blank of the caption";
  // The caption is drawn in its colour inside the gap.
  bool orange = false;
  for (int y = g.caption.top(); y <= g.caption.bottom(); ++y) {
    for (int x = g.caption.left(); x <= g.caption.right(); ++x) {
      orange |= img.pixelColor(10 + x, 10 + y) == skin::kOrange;
    }
  }
  EXPECT_TRUE(orange);
  // Left, bottom and right edges are drawn.
  EXPECT_EQ(img.pixelColor(10, 10 + 50), QColor(90, 90, 90));
  EXPECT_EQ(img.pixelColor(10 + 100, 10 + 79), QColor(90, 90, 90));
  EXPECT_EQ(img.pixelColor(10 + 199, 10 + 50), QColor(90, 90, 90));
}

TEST_F(Box, EmptyCaptionOrPictureStyleDrawsAClosedFrame) {
  box->SetText(QString());
  for (const QColor& c : TopLine(Grab(page))) EXPECT_EQ(c, QColor(90, 90, 90));
  CSxGroupBox picture(QStringLiteral("ignored"), &page, 0, CSxGroupBox::kLeft, true);
  picture.setGeometry(10, 100, 120, 40);
  EXPECT_TRUE(picture.Layout().caption.isEmpty());
  const QImage img = Grab(page);
  const int y = 100 + picture.Layout().topLineY;
  for (int x = 10; x < 130; ++x) EXPECT_EQ(img.pixelColor(x, y), QColor(160, 160, 160)) << x;
}

TEST_F(Box, DisabledBoxUsesTheDisabledPensAndGreysItsCaption) {
  box->setEnabled(false);
  const QImage img = Grab(page);
  const auto g = box->Layout();
  EXPECT_EQ(TopLine(img)[2], QColor(60, 60, 60));
  bool orange = false, grey = false;
  for (int y = g.caption.top(); y <= g.caption.bottom() + 1; ++y) {
    for (int x = g.caption.left(); x <= g.caption.right() + 1; ++x) {
      const QColor c = img.pixelColor(10 + x, 10 + y);
      orange |= c == skin::kOrange;
      grey |= c == skin::kButtonShadow;
    }
  }
  EXPECT_FALSE(orange);
  EXPECT_TRUE(grey);
}

TEST_F(Box, EtchedStylesDrawTheSecondPenBesideTheFirst) {
  box->SetText(QString());
  box->SetFrameStyle(CSxGroupBox::kRaised);
  QImage img = Grab(page);
  int x = 10 + 100;
  int y = 10 + box->Layout().topLineY;
  EXPECT_EQ(img.pixelColor(x, y), QColor(90, 90, 90));
  EXPECT_EQ(img.pixelColor(x, y + 1), QColor(200, 200, 200)) << "raised: inwards";
  box->SetFrameStyle(CSxGroupBox::kSunken);
  img = Grab(page);
  y = 10 + box->Layout().topLineY;
  EXPECT_EQ(img.pixelColor(x, y), QColor(90, 90, 90));
  EXPECT_EQ(img.pixelColor(x, y - 1), QColor(200, 200, 200)) << "sunken: outwards";
}
