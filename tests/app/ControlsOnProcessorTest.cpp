// The window connected to a virtual processor in the states where controls
// went wrong: the picture page in a preset mode, the misc page's keyer tab
// after a round trip through another page, and the band under the canvas in
// program/preview modes. With ORV_PAGE_SCREENSHOT naming a folder, each state
// is saved there in English and in Chinese.
#include <QTest>

#include <string>

#include "CGdipButton.h"
#include "CommandEncoder.h"
#include "DeviceState.h"
#include "MKeyerDlg.h"
#include "MMiscDlg.h"
#include "MPicSettingDlg.h"
#include "MessageIds.h"
#include "Messages.h"
#include "PageTable.h"
#include "ProcessorWindowFixture.h"
#include "oBitmapSlider.h"
#include "oSliderEdit.h"

namespace orv::test {
namespace {

class ControlsOnProcessor : public ProcessorWindowTest {
 protected:
  void Start(int pvwMode, int mosaic, int picMode) {
    ASSERT_NO_FATAL_FAILURE(StartProcessor(33));
    processor_->WithModel([&](sim::DeviceModel& m) {
      auto& pv = m.image().PVWMODEINFO;
      pv.PVWMODE = static_cast<uint8_t>(pvwMode);
      for (int i = 0; i < 4; ++i) pv.PVWSTATE[i] = pvwMode != 0 && pv.PGMSTATE[i] == 0 ? 1 : 0;
      m.image().MOSAICSETT.MOSAICMODE = mosaic;
      m.image().PICCOMMSETT.PICMODE = static_cast<uint8_t>(picMode);
      return 0;
    });
    // The panel's own window at 96 DPI.
    Window().resize(1280, 728);
    ASSERT_NO_FATAL_FAILURE(ConnectAndReadBack());
  }
  void Click(QWidget* w) {
    QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center());
    DeliverPostedMessages();
  }
  // Saves the window as NAME-en.png and NAME-zh.png.
  void Shoot(const std::string& name) {
    for (int chinese : {0, 1}) {
      SendMsg(&Window(), UM_LANGUAGE, chinese);
      DeliverPostedMessages();
      const std::string file = name + (chinese ? "-zh.png" : "-en.png");
      SavePicture(Window(), file.c_str());
    }
    SendMsg(&Window(), UM_LANGUAGE, 0);
    DeliverPostedMessages();
  }
};

TEST_F(ControlsOnProcessor, PicturePageInAPresetModeSendsNothingFromItsGreySliders) {
  ASSERT_NO_FATAL_FAILURE(Start(0, 0, 1));
  Click(Window().PageButton(0));
  auto* picture = static_cast<MPicSettingDlg*>(Window().ColumnPage(0));
  processor_->Requests().Clear();
  for (auto which : {MPicSettingDlg::kBrightness, MPicSettingDlg::kContrast, MPicSettingDlg::kRed,
                     MPicSettingDlg::kGreen, MPicSettingDlg::kBlue}) {
    oBitmapSlider* slider = picture->Edit(which)->Slider();
    EXPECT_FALSE(slider->isEnabled()) << which;
    const int y = slider->height() / 2;
    QTest::mousePress(slider, Qt::LeftButton, {}, QPoint(2, y));
    QTest::mouseMove(slider, QPoint(slider->width() - 2, y));
    QTest::mouseRelease(slider, Qt::LeftButton, {}, QPoint(slider->width() - 2, y));
    DeliverPostedMessages();
  }
  EXPECT_EQ(Sent(SET_PICTURE), 0u);
  Shoot("picture-preset");
}

TEST_F(ControlsOnProcessor, TheKeyerTabAfterARoundTripShowsTheKeyerPage) {
  ASSERT_NO_FATAL_FAILURE(Start(0, 0, 7));
  MMiscDlg* misc = Window().MiscPage();
  Click(Window().PageButton(9));
  Click(misc->Tab(MMiscDlg::kKeyerTab));
  Click(Window().PageButton(1));
  Click(Window().PageButton(9));
  QWidget* keyer = Window().KeyerPage();
  ASSERT_TRUE(keyer->isVisible());
  const QPoint centre = keyer->mapTo(&Window(), keyer->rect().center());
  EXPECT_TRUE(keyer->isAncestorOf(Window().childAt(centre)) || Window().childAt(centre) == keyer);
  Shoot("misc-keyer-roundtrip");
}

TEST_F(ControlsOnProcessor, ProgramPreviewBandWithAPageOpen) {
  ASSERT_NO_FATAL_FAILURE(Start(1, 5, 7));
  Click(Window().PageButton(0));
  EXPECT_FALSE(Window().Button(strip::kLockOutput)->isVisible());
  for (int i : {2, 3}) {
    CGdipButton* pvw = Window().Button(strip::kPvwFirst + i);
    ASSERT_TRUE(pvw->isVisible());
    EXPECT_EQ(Window().childAt(pvw->geometry().center()), pvw);
    EXPECT_FALSE(pvw->geometry().intersects(Window().Button(strip::kTake)->geometry()));
    EXPECT_FALSE(pvw->geometry().intersects(Window().Button(strip::kFreeze)->geometry()));
  }
  Shoot("strip-mode1-page");
}

TEST_F(ControlsOnProcessor, DualProgramPreviewBand) {
  ASSERT_NO_FATAL_FAILURE(Start(2, 0, 7));
  EXPECT_TRUE(Window().Button(strip::kTake)->isVisible());
  for (int i = 0; i < 4; ++i) EXPECT_FALSE(Window().Button(strip::kPvwFirst + i)->isVisible());
  Shoot("strip-mode2");
}

}  // namespace
}  // namespace orv::test
