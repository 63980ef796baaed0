#include <functional>

#include <gtest/gtest.h>

#include <QTest>

#include "ArtIds.h"
#include "CGdipButton.h"
#include "ResourceRegistry.h"
#include "TestSupport.h"

using namespace orv;
using namespace orv::test;
using Look = CGdipButton::Look;

namespace {

struct ButtonOnPage : ::testing::Test {
  void SetUp() override {
    page.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
    button = new CGdipButton(&page, 1021);
    ASSERT_TRUE(button->LoadImage(art::kFaceButton));
    ASSERT_TRUE(button->LoadAltImage(art::kFaceButtonActive));
    button->move(20, 20);
    button->FitToImage();
    button->setText(QStringLiteral("OUTPUT"));
    button->SetTextColor(QColor(235, 235, 235));
    button->show();
  }
  QImage Shot() { return Grab(page); }
  RecordingPage page;
  CGdipButton* button = nullptr;
};

}  // namespace

TEST_F(ButtonOnPage, FitsToItsPictureAndPreparesOnFirstPaint) {
  EXPECT_EQ(button->size(), QSize(96, 28));
  EXPECT_FALSE(button->Prepared());
  Shot();
  EXPECT_TRUE(button->Prepared());
  EXPECT_EQ(button->CurrentLook(), Look::Standard);
}

TEST_F(ButtonOnPage, TransparentCornersShowThePageInEveryState) {
  const QColor skin(16, 16, 16);
  auto corner = [&] { return Shot().pixelColor(20, 20); };
  EXPECT_EQ(corner(), skin) << "normal";
  button->SetHoverForDisplay(true);
  EXPECT_EQ(corner(), skin) << "hover";
  EXPECT_EQ(button->CurrentLook(), Look::StandardHover);
  button->SetHoverForDisplay(false);
  button->setDown(true);
  EXPECT_EQ(corner(), skin) << "pressed";
  EXPECT_EQ(button->CurrentLook(), Look::StandardPressed);
  button->setDown(false);
  button->SetDisabledLook(true);
  EXPECT_EQ(corner(), skin) << "disabled";
  button->SetDisabledLook(false);
  button->SetStayPushed(true);
  button->SetChecked(true);
  EXPECT_EQ(corner(), skin) << "checked";
  EXPECT_EQ(button->CurrentLook(), Look::Alternate);
  // And the face itself is drawn: the middle is not the page colour.
  EXPECT_NE(Shot().pixelColor(20 + 48, 20 + 3), skin);
}

TEST_F(ButtonOnPage, PressingMovesOnlyTheCaption) {
  const QRect released = button->CaptionRect();
  button->setDown(true);
  const QRect pressed = button->CaptionRect();
  EXPECT_EQ(pressed.topLeft() - released.topLeft(), QPoint(1, 1));
  // The picture stays: a pixel away from the text is the same both ways.
  button->setDown(false);
  const QColor up = Shot().pixelColor(20 + 3, 20 + 14);
  button->setDown(true);
  EXPECT_EQ(Shot().pixelColor(20 + 3, 20 + 14), up);
}

TEST_F(ButtonOnPage, DisabledLookIsGreyWhateverTheMouseDoes) {
  button->SetDisabledLook(true);
  button->SetHoverForDisplay(true);
  const QImage img = Shot();
  EXPECT_EQ(button->CurrentLook(), Look::Disabled);
  const QColor c = img.pixelColor(20 + 48, 20 + 4);
  EXPECT_EQ(c.red(), c.green());
  EXPECT_EQ(c.green(), c.blue());
  // The two-tone caption: shadow-grey text with a dark copy one pixel down-right.
  bool shadowText = false, darkCopy = false;
  const QRect r = button->CaptionRect().translated(20, 20);
  for (int y = r.top(); y <= r.bottom(); ++y) {
    for (int x = r.left(); x <= r.right() + 1; ++x) {
      const QColor p = img.pixelColor(x, y);
      shadowText |= p == QColor(160, 160, 160);
      darkCopy |= p == QColor(50, 50, 50);
    }
  }
  EXPECT_TRUE(shadowText);
  EXPECT_TRUE(darkCopy);
  button->SetDisabledLook(false);
  button->SetHoverForDisplay(false);
  EXPECT_FALSE(Shot() == img);
  button->setEnabled(false);
  const QImage off = Shot();
  EXPECT_EQ(button->CurrentLook(), Look::Disabled) << "a disabled button looks live";
  EXPECT_TRUE(off == img) << "disabled itself, it looks other than by the flag";
}

TEST_F(ButtonOnPage, EveryFaceCoversAButtonWiderThanItsPicture) {
  button->resize(200, 28);
  const QColor skin(16, 16, 16);
  const QPoint nearRightEnd(20 + 190, 20 + 14);
  struct Case {
    const char* name;
    std::function<void()> set;
    Look look;
  };
  const Case cases[] = {
      {"normal", [] {}, Look::Standard},
      {"hover", [&] { button->SetHoverForDisplay(true); }, Look::StandardHover},
      {"disabled look", [&] { button->SetDisabledLook(true); }, Look::Disabled},
      {"checked hover",
       [&] {
         button->SetStayPushed(true);
         button->SetChecked(true);
         button->SetHoverForDisplay(true);
       },
       Look::AlternateHover},
  };
  for (const Case& c : cases) {
    c.set();
    const QImage img = Shot();
    EXPECT_EQ(button->CurrentLook(), c.look) << c.name;
    EXPECT_NE(img.pixelColor(nearRightEnd), skin) << c.name << " face ends mid-button";
    button->SetHoverForDisplay(false);
    button->SetDisabledLook(false);
    button->SetChecked(false);
    button->SetStayPushed(false);
  }
}

TEST_F(ButtonOnPage, StayPushedKeepsTheAlternateUntilTheOwnerClearsIt) {
  button->SetStayPushed(true);
  int clicks = 0;
  QObject::connect(button, &QAbstractButton::clicked, [&] { ++clicks; });
  QTest::mouseClick(button, Qt::LeftButton);
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(button->IsChecked());
  Shot();
  EXPECT_TRUE(button->ShowingAlternate());
  QTest::mouseClick(button, Qt::LeftButton);
  Shot();
  EXPECT_TRUE(button->ShowingAlternate()) << "a second click keeps it pushed";
  button->SetChecked(false);
  Shot();
  EXPECT_FALSE(button->ShowingAlternate());
  EXPECT_EQ(button->CurrentLook(), Look::Standard);
}

TEST_F(ButtonOnPage, ClickToggleFlipsAndDoubleClickCountsTwice) {
  button->SetClickToggle(true);
  QTest::mouseClick(button, Qt::LeftButton);
  EXPECT_TRUE(button->IsChecked());
  QTest::mouseClick(button, Qt::LeftButton);
  EXPECT_FALSE(button->IsChecked());
  int clicks = 0;
  QObject::connect(button, &QAbstractButton::clicked, [&] { ++clicks; });
  QTest::mouseClick(button, Qt::LeftButton);
  // A double click arrives as press, release, double-click press, release.
  QTest::mouseDClick(button, Qt::LeftButton);
  QTest::mouseRelease(button, Qt::LeftButton);
  EXPECT_EQ(clicks, 2) << "the double-click press counts as a press of its own";
  EXPECT_FALSE(button->IsChecked()) << "two clicks flip it back";
}

TEST_F(ButtonOnPage, DrawToggleFlipsThePictureOnPress) {
  button->SetDrawToggle(true);
  QTest::mousePress(button, Qt::LeftButton);
  Shot();
  EXPECT_EQ(button->CurrentLook(), Look::AlternatePressed);
  QTest::mouseRelease(button, Qt::LeftButton);
  Shot();
  EXPECT_EQ(button->CurrentLook(), Look::Alternate);
  EXPECT_FALSE(button->IsChecked()) << "draw-toggle changes the picture, not the state";
}

TEST(Button, StatePicturesUseTheColourMatrices) {
  QImage img(2, 1, QImage::Format_ARGB32);
  img.setPixel(0, 0, qRgba(100, 200, 250, 255));
  img.setPixel(1, 0, qRgba(10, 20, 30, 0));
  const QImage hover = CGdipButton::HoverPicture(img);
  EXPECT_EQ(qRed(hover.pixel(0, 0)), 117);    // 100 * 1.05 + 12.75
  EXPECT_EQ(qGreen(hover.pixel(0, 0)), 222);  // 200 * 1.05 + 12.75
  EXPECT_EQ(qBlue(hover.pixel(0, 0)), 255);   // clamped
  EXPECT_EQ(qAlpha(hover.pixel(1, 0)), 0) << "alpha unchanged";
  const QImage grey = CGdipButton::GreyPicture(img);
  EXPECT_EQ(qRed(grey.pixel(0, 0)), 175);  // 30 + 118 + 27.5
  EXPECT_EQ(qBlue(grey.pixel(0, 0)), 175);
}

TEST(Button, EmptyTooltipMakesNoneAndMissingPictureIsRecorded) {
  RecordingPage page;
  CGdipButton b(&page);
  b.SetToolTip(QString());
  EXPECT_FALSE(b.HasToolTip());
  b.SetToolTip(QStringLiteral("Freeze the output"));
  EXPECT_TRUE(b.HasToolTip());
  EXPECT_EQ(b.ToolTipText(), QStringLiteral("Freeze the output"));
  ClearMissingResources();
  EXPECT_FALSE(b.LoadImage(31337));
  EXPECT_FALSE(b.Picture().IsLoaded());
  ASSERT_EQ(MissingResources().size(), 1u);
  EXPECT_EQ(MissingResources()[0].second, 31337);
  ClearMissingResources();
  b.resize(40, 20);
  Grab(b);
  EXPECT_FALSE(b.Prepared()) << "without a picture the button is never prepared";
}
