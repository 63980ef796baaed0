#include <gtest/gtest.h>

#include <QTest>

#include "ArtIds.h"
#include "MessageIds.h"
#include "TestSupport.h"
#include "oBitmapSlider.h"
#include "oSliderEdit.h"

using namespace orv;
using namespace orv::test;

namespace {

struct SliderPair : ::testing::Test {
  void SetUp() override {
    edit = new oSliderEdit(&page, 1533);
    edit->setGeometry(260, 10, 60, 24);
    slider = new oBitmapSlider(&page, 1534);
    ASSERT_TRUE(slider->LoadChannel(art::kSliderChannel, art::kSliderChannelActive));
    ASSERT_TRUE(slider->LoadThumb(art::kSliderThumb, art::kSliderThumbActive));
    slider->move(10, 10);
    page.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
  }
  QPoint At(int x) const { return QPoint(x, slider->height() / 2); }
  std::vector<Message> Committed() {
    auto all = page.Take();
    std::vector<Message> out;
    for (auto& m : all) {
      if (m.id == UM_VALUE_COMMITTED) out.push_back(m);
    }
    return out;
  }
  RecordingPage page;
  oSliderEdit* edit = nullptr;
  oBitmapSlider* slider = nullptr;
};

}  // namespace

TEST_F(SliderPair, PicturesSizeTheSliderAndBindCouplesBothWays) {
  EXPECT_EQ(slider->size(), QSize(200, 16));
  edit->Setup(1, 1, true, 111, QStringLiteral("%d"));
  edit->Bind(slider);
  EXPECT_EQ(slider->Minimum(), 1);
  EXPECT_EQ(slider->Maximum(), 111);
  EXPECT_EQ(slider->PageSize(), 55);
  EXPECT_EQ(slider->GetPos(), 1);
  edit->SetValue(40);
  EXPECT_EQ(slider->GetPos(), 40) << "edit to slider";
  slider->setFocus();
  QTest::keyClick(slider, Qt::Key_Right);
  EXPECT_EQ(edit->text(), QStringLiteral("41")) << "slider to edit";
  auto got = Committed();
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].wParam, 1533) << "reported with the edit's id";
  edit->setEnabled(false);
  EXPECT_FALSE(slider->isEnabled()) << "the slider follows the edit's enabled state";
}

TEST_F(SliderPair, DecimalFormatRunsTheSliderInHundredths) {
  edit->Setup(0.29f, 0, true, 10, QStringLiteral("%.2f"));
  edit->Bind(slider);
  EXPECT_EQ(edit->Scale(), 100);
  EXPECT_EQ(slider->Maximum(), 1000);
  EXPECT_EQ(slider->GetPos(), 29);
  slider->setFocus();
  QTest::keyClick(slider, Qt::Key_Right);
  EXPECT_EQ(edit->text(), QStringLiteral("0.30"));
  QTest::keyClick(slider, Qt::Key_End);
  EXPECT_EQ(edit->text(), QStringLiteral("10.00"));
  edit->setFocus();
  edit->selectAll();
  QTest::keyClicks(edit, QStringLiteral("2.5"));
  QTest::keyClick(edit, Qt::Key_Return);
  EXPECT_EQ(slider->GetPos(), 250);
  EXPECT_EQ(Committed().size(), 3u);
}

TEST_F(SliderPair, KeysStepAndHomePostsOnce) {
  edit->Setup(50, 0, true, 100, QStringLiteral("%d"));
  edit->Bind(slider);
  slider->SetPageSize(20);
  slider->setFocus();
  struct Step {
    Qt::Key key;
    int expected;
  };
  for (const Step& s :
       {Step{Qt::Key_PageUp, 30}, Step{Qt::Key_PageDown, 50}, Step{Qt::Key_Left, 49},
        Step{Qt::Key_Up, 48}, Step{Qt::Key_Down, 49}, Step{Qt::Key_End, 100}}) {
    QTest::keyClick(slider, s.key);
    EXPECT_EQ(slider->GetPos(), s.expected);
  }
  Committed();
  QTest::keyClick(slider, Qt::Key_Home);
  EXPECT_EQ(slider->GetPos(), 0);
  EXPECT_EQ(edit->text(), QStringLiteral("0"));
  EXPECT_EQ(Committed().size(), 1u);
}

TEST_F(SliderPair, DragReportsEveryChangeAndNothingOnRelease) {
  edit->Setup(0, 0, true, 100, QStringLiteral("%d"));
  edit->Bind(slider);
  const int start = slider->PixelOfPosition(0);
  QTest::mousePress(slider, Qt::LeftButton, Qt::NoModifier, At(start));
  EXPECT_TRUE(slider->Dragging());
  EXPECT_TRUE(Committed().empty()) << "picked up at the thumb: no move yet";
  int changes = 0;
  int last = slider->GetPos();
  for (int x = start + 5; x <= start + 60; x += 5) {
    QMouseEvent move(QEvent::MouseMove, QPointF(At(x)), slider->mapToGlobal(QPointF(At(x))),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(slider, &move);
    if (slider->GetPos() != last) ++changes;
    last = slider->GetPos();
  }
  EXPECT_GT(changes, 5);
  EXPECT_EQ(static_cast<int>(Committed().size()), changes);
  EXPECT_EQ(edit->text(), QString::number(slider->GetPos()));
  QTest::mouseRelease(slider, Qt::LeftButton, Qt::NoModifier, At(start + 60));
  EXPECT_FALSE(slider->Dragging());
  EXPECT_TRUE(Committed().empty()) << "release reports nothing";
}

TEST_F(SliderPair, ClickFarFromTheThumbMakesItJump) {
  edit->Setup(0, 0, true, 100, QStringLiteral("%d"));
  edit->Bind(slider);
  QTest::mousePress(slider, Qt::LeftButton, Qt::NoModifier, At(150));
  EXPECT_EQ(slider->GetPos(), slider->PositionOfPixel(150));
  EXPECT_NEAR(slider->PixelOfPosition(slider->GetPos()), 150, 10);
  QTest::mouseRelease(slider, Qt::LeftButton, Qt::NoModifier, At(150));
  EXPECT_EQ(Committed().size(), 1u);
}

TEST_F(SliderPair, DisabledSliderIgnoresInput) {
  edit->Setup(10, 0, false, 100, QStringLiteral("%d"));
  edit->Bind(slider);
  EXPECT_FALSE(slider->isEnabled());
  QTest::mousePress(slider, Qt::LeftButton, Qt::NoModifier, At(150));
  QTest::keyClick(slider, Qt::Key_End);
  EXPECT_EQ(slider->GetPos(), 10);
  EXPECT_TRUE(Committed().empty());
}

TEST(Slider, PositionPixelMapping) {
  oBitmapSlider s;
  s.resize(200, 16);  // no pictures: the control's own size, no thumb
  s.SetRange(0, 100);
  EXPECT_EQ(s.PixelOfPosition(0), 0);
  EXPECT_EQ(s.PixelOfPosition(50), 100);
  EXPECT_EQ(s.PixelOfPosition(100), 200);
  ASSERT_TRUE(s.LoadChannel(art::kSliderChannel, 0));
  ASSERT_TRUE(s.LoadThumb(art::kSliderThumb, 0));
  s.SetMargins(4, 0, 6, 0);
  // (200 - 6 - 4 - 12) * p / 100 + 4 + 6
  EXPECT_EQ(s.PixelOfPosition(0), 10);
  EXPECT_EQ(s.PixelOfPosition(50), 99);
  EXPECT_EQ(s.PixelOfPosition(100), 188);
  // (x - 6 - 4) / (200 - 6 - 4 - 12 - 8) * 101
  EXPECT_EQ(s.PositionOfPixel(10), 0);
  EXPECT_EQ(s.PositionOfPixel(95), 50);
  EXPECT_EQ(s.PositionOfPixel(180), 101) << "clamped by SetPos, not by the mapping";
  s.SetPos(101);
  EXPECT_EQ(s.GetPos(), 100);
  s.SetPos(-5);
  EXPECT_EQ(s.GetPos(), 0);

  oBitmapSlider v(nullptr, 0, true);
  ASSERT_TRUE(v.LoadChannel(art::kSliderChannelV, 0));
  ASSERT_TRUE(v.LoadThumb(art::kSliderThumbV, 0));
  v.SetRange(0, 100);
  // Maximum at the top: (200 - 12) * (100 - p) / 100 + 6
  EXPECT_EQ(v.PixelOfPosition(100), 6);
  EXPECT_EQ(v.PixelOfPosition(0), 194);
  EXPECT_EQ(v.PositionOfPixel(v.PixelOfPosition(30)), 30);
  EXPECT_EQ(v.PositionOfPixel(v.PixelOfPosition(77)), 77);
}

TEST(Slider, WithoutPicturesStillTracksInput) {
  RecordingPage page;
  oBitmapSlider s(&page);
  s.resize(120, 20);
  s.SetRange(0, 10);
  page.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
  int moved = 0;
  QObject::connect(&s, &oBitmapSlider::Moved, [&](int, bool) { ++moved; });
  QTest::mousePress(&s, Qt::LeftButton, Qt::NoModifier, QPoint(100, 10));
  QTest::mouseRelease(&s, Qt::LeftButton, Qt::NoModifier, QPoint(100, 10));
  EXPECT_GT(s.GetPos(), 5);
  EXPECT_EQ(moved, 2) << "one move and the release";
}
