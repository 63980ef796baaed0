#include <functional>

#include <gtest/gtest.h>

#include <QTest>

#include "ArtIds.h"
#include "CDropList.h"
#include "CGdipButton.h"
#include "CMyEdit.h"
#include "CSxGroupBox.h"
#include "Skin.h"
#include "TestSupport.h"
#include "oBitmapSlider.h"
#include "oSliderEdit.h"

using namespace orv;
using namespace orv::test;

namespace {

// The main window blocks input while the wait box shows by disabling its
// content; every skinned control sits in that content here.
struct BlockedContent : ::testing::Test {
  void SetUp() override {
    content = new QWidget(&page);
    content->setGeometry(page.rect());
    button = new CGdipButton(content, 1021);
    ASSERT_TRUE(button->LoadImage(art::kFaceButton));
    button->setGeometry(10, 10, 150, 28);
    button->setText(QStringLiteral("SEARCH"));
    box = new CSxGroupBox(QStringLiteral("Sync Mode"), content, 1441);
    box->setGeometry(10, 50, 200, 60);
    box->SetCaptionFont(skin::ArialFont(15, 700));
    box->SetCaptionColor(skin::kOrange);
    drop = new CDropButton;
    ASSERT_TRUE(drop->Create(QStringLiteral("1920x1080"), content, 0xAFC0, QColor(16, 16, 16),
                             QColor(60, 60, 60), QColor(235, 235, 235), nullptr, QColor(46, 46, 46),
                             QRect(10, 120, 150, 22)));
    slider = new oBitmapSlider(content, 1534);
    ASSERT_TRUE(slider->LoadChannel(art::kSliderChannel, art::kSliderChannelActive));
    ASSERT_TRUE(slider->LoadThumb(art::kSliderThumb, art::kSliderThumbActive));
    slider->move(10, 160);
    sliderEdit = new oSliderEdit(content, 1533);
    sliderEdit->setGeometry(220, 155, 60, 24);
    sliderEdit->Setup(40, 0, true, 100, QStringLiteral("%d"));
    sliderEdit->Bind(slider);
    edit = new CMyEdit(content, 1200);
    edit->setGeometry(220, 120, 100, 24);
    edit->setText(QStringLiteral("Welcome"));
    page.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
  }
  RecordingPage page;
  QWidget* content = nullptr;
  CGdipButton* button = nullptr;
  CSxGroupBox* box = nullptr;
  CDropButton* drop = nullptr;
  oBitmapSlider* slider = nullptr;
  oSliderEdit* sliderEdit = nullptr;
  CMyEdit* edit = nullptr;
};

}  // namespace

TEST_F(BlockedContent, KeepsEveryControlsLookAndTakesNoInput) {
  const QImage open = Grab(page);
  content->setEnabled(false);
  EXPECT_TRUE(open == Grab(page)) << "a control changed its look while input was blocked";
  int clicks = 0;
  QObject::connect(button, &QAbstractButton::clicked, [&] { ++clicks; });
  QTest::mouseClick(button, Qt::LeftButton);
  EXPECT_EQ(clicks, 0);
  button->SetHoverForDisplay(true);
  Grab(page);
  EXPECT_EQ(button->CurrentLook(), CGdipButton::Look::Standard) << "no hover light without input";
  button->SetHoverForDisplay(false);
  content->setEnabled(true);
  EXPECT_TRUE(open == Grab(page));
  QTest::mouseClick(button, Qt::LeftButton);
  EXPECT_EQ(clicks, 1);
}

TEST_F(BlockedContent, AControlDisabledItselfShowsItAndABlockDoesNotUndoIt) {
  struct Case {
    const char* name;
    std::function<void(bool)> setOff;
  };
  const Case cases[] = {
      {"button's own flag", [&](bool off) { button->SetDisabledLook(off); }},
      {"group box", [&](bool off) { box->setEnabled(!off); }},
      {"drop button", [&](bool off) { drop->setEnabled(!off); }},
      {"slider edit and its slider", [&](bool off) { sliderEdit->setEnabled(!off); }},
      {"edit", [&](bool off) { edit->setEnabled(!off); }},
  };
  const QImage open = Grab(page);
  for (const Case& c : cases) {
    c.setOff(true);
    const QImage off = Grab(page);
    EXPECT_FALSE(open == off) << c.name << " looks the same disabled";
    content->setEnabled(false);
    EXPECT_TRUE(off == Grab(page)) << c.name << " changed when input was blocked around it";
    content->setEnabled(true);
    c.setOff(false);
    EXPECT_TRUE(open == Grab(page)) << c.name << " did not come back";
  }
  button->setEnabled(false);
  EXPECT_TRUE(open == Grab(page)) << "a button refusing clicks keeps its face without the flag";
}
