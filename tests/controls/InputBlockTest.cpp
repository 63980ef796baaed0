// A control greys only when it, or a widget of its page between it and the
// window's input blocker, was disabled; a window that disables its content
// while the wait box shows keeps every look. Slider/edit pairs follow the
// edit's own state, also when it changed while input was blocked.
#include <functional>

#include <gtest/gtest.h>

#include <QTest>

#include "ArtIds.h"
#include "CDropList.h"
#include "CGdipButton.h"
#include "CMyEdit.h"
#include "CSxGroupBox.h"
#include "MessageIds.h"
#include "OwnEnabledState.h"
#include "Skin.h"
#include "TestSupport.h"
#include "oBitmapSlider.h"
#include "oRealEdit.h"
#include "oSliderEdit.h"

using namespace orv;
using namespace orv::test;

namespace {

// `content` stands for the main window's content area (the input blocker);
// `panel` for a page inside it.
struct BlockedContent : ::testing::Test {
  void SetUp() override {
    content = new QWidget(&page);
    content->setGeometry(page.rect());
    MarkInputBlocker(*content);
    panel = new QWidget(content);
    panel->setGeometry(content->rect());
    button = new CGdipButton(panel, 1021);
    ASSERT_TRUE(button->LoadImage(art::kFaceButton));
    ASSERT_TRUE(button->LoadAltImage(art::kFaceButtonActive));
    button->setGeometry(10, 10, 150, 28);
    button->setText(QStringLiteral("SEARCH"));
    box = new CSxGroupBox(QStringLiteral("Sync Mode"), panel, 1441);
    box->setGeometry(10, 50, 200, 60);
    box->SetCaptionFont(skin::ArialFont(15, 700));
    box->SetCaptionColor(skin::kOrange);
    drop = new CDropButton;
    ASSERT_TRUE(drop->Create(QStringLiteral("1920x1080"), panel, 0xAFC0, QColor(16, 16, 16),
                             QColor(60, 60, 60), QColor(235, 235, 235), nullptr, QColor(46, 46, 46),
                             QRect(10, 120, 150, 22)));
    slider = new oBitmapSlider(panel, 1534);
    ASSERT_TRUE(slider->LoadChannel(art::kSliderChannel, art::kSliderChannelActive));
    ASSERT_TRUE(slider->LoadThumb(art::kSliderThumb, art::kSliderThumbActive));
    slider->move(10, 160);
    sliderEdit = new oSliderEdit(panel, 1533);
    sliderEdit->setGeometry(220, 155, 60, 24);
    sliderEdit->Setup(40, 0, true, 100, QStringLiteral("%d"));
    sliderEdit->Bind(slider);
    numeric = new oRealEdit(panel, 1200);
    numeric->setGeometry(220, 190, 60, 24);
    numeric->Setup(7, 0, true, 100, QStringLiteral("%d"));
    edit = new CMyEdit(panel, 1201);
    edit->setGeometry(220, 120, 100, 24);
    edit->setText(QStringLiteral("Welcome"));
    page.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
  }
  // The slider dragged from its left end to its right end.
  void Drag() {
    const int y = slider->height() / 2;
    QTest::mousePress(slider, Qt::LeftButton, {}, QPoint(2, y));
    QTest::mouseMove(slider, QPoint(slider->width() - 2, y));
    QTest::mouseRelease(slider, Qt::LeftButton, {}, QPoint(slider->width() - 2, y));
  }
  int Commits() {
    int n = 0;
    for (const Message& m : page.Take()) n += m.id == UM_VALUE_COMMITTED ? 1 : 0;
    return n;
  }
  RecordingPage page;
  QWidget* content = nullptr;
  QWidget* panel = nullptr;
  CGdipButton* button = nullptr;
  CSxGroupBox* box = nullptr;
  CDropButton* drop = nullptr;
  oBitmapSlider* slider = nullptr;
  oSliderEdit* sliderEdit = nullptr;
  oRealEdit* numeric = nullptr;
  CMyEdit* edit = nullptr;
};

QImage Part(const QImage& img, const QWidget& w) {
  return img.copy(QRect(w.mapTo(w.window(), QPoint(0, 0)), w.size()));
}

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

// Every kind of skinned control, disabled three ways: by itself and by its
// page show the disabled look; by the input block alone the normal one. A
// state set while input is blocked shows once the block ends.
TEST_F(BlockedContent, EveryControlKindShowsItsOwnAndItsPagesDisabledStateOnly) {
  struct Case {
    const char* name;
    QWidget* control;
    QWidget* shown;  // where the look is read (a slider's look is its own)
  };
  const Case cases[] = {
      {"image button", button, button},
      {"group box", box, box},
      {"drop button", drop, drop},
      {"slider edit", sliderEdit, sliderEdit},
      {"slider of a disabled edit", sliderEdit, slider},
      {"numeric edit", numeric, numeric},
      {"text edit", edit, edit},
  };
  const QImage open = Grab(page);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const QImage normal = Part(open, *c.shown);
    c.control->setEnabled(false);
    const QImage itself = Part(Grab(page), *c.shown);
    EXPECT_FALSE(itself == normal) << "disabled by itself, it looks live";
    c.control->setEnabled(true);
    EXPECT_TRUE(Part(Grab(page), *c.shown) == normal);

    panel->setEnabled(false);
    EXPECT_TRUE(Part(Grab(page), *c.shown) == itself) << "disabled by its page, it looks live";
    panel->setEnabled(true);

    content->setEnabled(false);
    EXPECT_TRUE(Part(Grab(page), *c.shown) == normal) << "the input block changed its look";
    c.control->setEnabled(false);
    EXPECT_TRUE(Part(Grab(page), *c.shown) == itself) << "disabled during the block, looks live";
    content->setEnabled(true);
    EXPECT_TRUE(Part(Grab(page), *c.shown) == itself) << "the block's end undid its state";
    EXPECT_FALSE(c.control->isEnabled());
    content->setEnabled(false);
    c.control->setEnabled(true);
    content->setEnabled(true);
    EXPECT_TRUE(Part(Grab(page), *c.shown) == normal) << "enabled during the block, looks dead";
    EXPECT_TRUE(c.control->isEnabled());
  }
}

// The picture page's case: an edit disabled while the wait box blocked the
// window; its slider must stay dead after the box is gone.
TEST_F(BlockedContent, ASliderStaysWithItsEditWhateverTheWindowWasDoing) {
  content->setEnabled(false);
  sliderEdit->setEnabled(false);
  content->setEnabled(true);
  EXPECT_FALSE(slider->isEnabled());
  EXPECT_FALSE(slider->TakesInput());
  Drag();
  EXPECT_EQ(slider->GetPos(), 40);
  EXPECT_EQ(Commits(), 0) << "a slider whose edit is grey sent a value";

  content->setEnabled(false);
  sliderEdit->setEnabled(true);
  content->setEnabled(true);
  EXPECT_TRUE(slider->isEnabled());
  Drag();
  EXPECT_EQ(slider->GetPos(), 100);
  EXPECT_GE(Commits(), 1);
}

// A disabled button greys, except that a checked face stays (the selected
// empty preset): the picture is the checked one, only the caption greys.
TEST_F(BlockedContent, ACheckedFaceWinsOverTheDisabledLook) {
  button->SetStayPushed(true);
  button->SetChecked(true);
  const QImage checked = Part(Grab(page), *button);
  button->SetDisabledLook(true);
  const QImage flagged = Part(Grab(page), *button);
  EXPECT_EQ(button->CurrentLook(), CGdipButton::Look::Alternate);
  const QPoint face(4, button->height() / 2);  // left of the caption
  EXPECT_EQ(flagged.pixelColor(face), checked.pixelColor(face));
  EXPECT_FALSE(flagged == checked) << "the caption of an unavailable button greys";
  button->SetDisabledLook(false);
  button->setEnabled(false);
  EXPECT_TRUE(Part(Grab(page), *button) == flagged);
  button->SetChecked(false);
  Grab(page);
  EXPECT_EQ(button->CurrentLook(), CGdipButton::Look::Disabled);
}
