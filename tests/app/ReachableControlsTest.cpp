// Every control the window shows can be reached: the misc page's sub-page
// after a round trip through another page, and every button of the band
// under the canvas in every program/preview mode, with and without a page
// open, at 96 and 120 DPI.
#include <QTest>

#include <string>
#include <vector>

#include "AppTestSupport.h"
#include "CGdipButton.h"
#include "CommandEncoder.h"
#include "DeviceState.h"
#include "Dpi.h"
#include "MKeyerDlg.h"
#include "MMiscDlg.h"
#include "MPicSettingDlg.h"
#include "MessageIds.h"
#include "Messages.h"
#include "PageTable.h"
#include "oBitmapSlider.h"
#include "oSliderEdit.h"

namespace orv::test {
namespace {

constexpr int kMiscPage = 9;

class Reachable : public MainWindowTest {
 protected:
  // The widget a click at the centre of `w` lands on is `w` or inside it.
  bool OnTop(QWidget* w) {
    const QPoint centre = w->mapTo(&Window(), w->rect().center());
    for (QWidget* hit = Window().childAt(centre); hit != nullptr; hit = hit->parentWidget()) {
      if (hit == w) return true;
    }
    return false;
  }
  void Click(QWidget* w) {
    QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center());
    DeliverPostedMessages();
  }
  void SetModes(int mode, int mosaic) {
    {
      auto s = State();
      s->block.PVWMODEINFO.PVWMODE = static_cast<uint8_t>(mode);
      s->block.MOSAICSETT.MOSAICMODE = static_cast<uint8_t>(mosaic);
    }
    Window().RefreshAfterReply(20, 0);
    DeliverPostedMessages();
    // The mosaic page reports its mode after the mode's own refresh.
    SendMsg(&Window(), UM_PAGE_REQUEST, request::kMosaicMode, mosaic);
    DeliverPostedMessages();
  }
};

TEST_F(Reachable, TheMiscSubPageComesBackWithTheMiscPage) {
  MMiscDlg* misc = Window().MiscPage();
  QWidget* keyer = Window().KeyerPage();
  Click(Window().PageButton(kMiscPage));
  Click(misc->Tab(MMiscDlg::kKeyerTab));
  ASSERT_TRUE(keyer->isVisible());
  ASSERT_TRUE(OnTop(keyer));
  for (int other : {0, 10}) {
    SCOPED_TRACE(other);
    Click(Window().PageButton(other));
    EXPECT_FALSE(keyer->isVisible()) << "the sub-page outlived its misc page";
    Click(Window().PageButton(kMiscPage));
    EXPECT_EQ(misc->CurrentTab(), MMiscDlg::kKeyerTab);
    EXPECT_TRUE(keyer->isVisible());
    EXPECT_TRUE(OnTop(keyer)) << "the misc page covers the keyer page its tab shows";
  }
  // Covered by anything else, the chosen tab brings its page back.
  misc->raise();
  ASSERT_FALSE(OnTop(keyer));
  Click(misc->Tab(MMiscDlg::kKeyerTab));
  EXPECT_TRUE(OnTop(keyer)) << "clicking the chosen tab did nothing";
}

// A read-back that switches the picture to a preset mode while the wait box
// blocks the window: once the box is gone, the sliders of the grey edits
// stay dead.
TEST_F(Reachable, PresetModeSlidersStayDeadAfterTheWaitBox) {
  auto* picture = static_cast<MPicSettingDlg*>(Window().ColumnPage(0));
  Window().ShowPageByIndex(0, false);
  const auto refreshIn = [&](int mode) {
    { State()->block.PICCOMMSETT.PICMODE = mode; }
    picture->RefreshFromDevice();
  };
  refreshIn(MPicSettingDlg::kUserMode);
  ASSERT_TRUE(picture->Edit(MPicSettingDlg::kContrast)->isEnabled());
  SendMsg(&Window(), UM_WAIT, 1, 0, QStringLiteral("Waitting Operation ..."));
  refreshIn(0);
  SendMsg(&Window(), UM_WAIT, 0);
  ASSERT_TRUE(Window().ContentEnabled());
  for (auto which : {MPicSettingDlg::kContrast, MPicSettingDlg::kBrightness, MPicSettingDlg::kRed,
                     MPicSettingDlg::kBlue}) {
    SCOPED_TRACE(which);
    oSliderEdit* edit = picture->Edit(which);
    oBitmapSlider* slider = edit->Slider();
    ASSERT_NE(slider, nullptr);
    EXPECT_FALSE(edit->isEnabled());
    EXPECT_FALSE(slider->isEnabled()) << "the slider of a grey edit is live";
    Library().ClearRecords();
    const int y = slider->height() / 2;
    QTest::mousePress(slider, Qt::LeftButton, {}, QPoint(2, y));
    QTest::mouseMove(slider, QPoint(slider->width() - 2, y));
    QTest::mouseRelease(slider, Qt::LeftButton, {}, QPoint(slider->width() - 2, y));
    DeliverPostedMessages();
    EXPECT_TRUE(Library().TypedSendsOf(SET_PICTURE).empty()) << "a preset mode became User";
  }
  int mode = -1;
  { mode = State()->block.PICCOMMSETT.PICMODE; }
  EXPECT_EQ(mode, 0);
}

struct BandCase {
  int mode;
  int mosaic;
  int page;  // -1 none; 10 the connection page with the search window
};

TEST_F(Reachable, EveryShownButtonOfTheBandIsInsideTheWindowAndUncovered) {
  const std::vector<BandCase> cases = {
      {0, 0, -1}, {0, 0, 0}, {0, 3, -1}, {0, 3, 0},  {0, 5, 10}, {1, 0, -1},
      {1, 0, 0},  {1, 5, 0}, {1, 5, 10}, {2, 0, -1}, {2, 0, 0},  {2, 5, 10},
  };
  struct Screen {
    int dpi;
    QSize window;  // empty: the window's own size for the DPI
  };
  const Screen screens[] = {{96, {}}, {120, {}}, {120, {1280, 728}}};
  for (const Screen& screen : screens) {
    SetDpiOverride(Dpi{screen.dpi, screen.dpi});
    MakeWindow();
    SetDpiOverride(std::nullopt);
    if (!screen.window.isEmpty()) Window().resize(screen.window);
    for (const BandCase& c : cases) {
      const std::string where = std::to_string(screen.dpi) + " DPI, " +
                                std::to_string(Window().width()) + " wide, mode " +
                                std::to_string(c.mode) + ", mosaic " + std::to_string(c.mosaic) +
                                ", page " + std::to_string(c.page);
      SCOPED_TRACE(where);
      Window().ShowPageByIndex(-1, false);
      SetModes(c.mode, c.mosaic);
      Window().ShowPageByIndex(c.page, false);
      if (c.page == 10) SendMsg(&Window(), UM_PAGE_REQUEST, request::kSearchWindow, 1);
      DeliverPostedMessages();
      std::vector<CGdipButton*> shown;
      for (int i = 0; i < 4; ++i) {
        for (int first : {strip::kPgmFirst, strip::kPvwFirst}) {
          if (Window().Button(first + i)->isVisible()) shown.push_back(Window().Button(first + i));
        }
      }
      for (int id :
           {strip::kTake, strip::kLockOutput, strip::kFreeze, strip::kSwitch, strip::kPreview}) {
        if (Window().Button(id)->isVisible()) shown.push_back(Window().Button(id));
      }
      EXPECT_EQ(Window().Button(strip::kLockOutput)->isVisible(), c.mode == 0 && c.mosaic != 0);
      EXPECT_EQ(Window().Button(strip::kTake)->isVisible(), c.mode != 0);
      for (std::size_t a = 0; a < shown.size(); ++a) {
        const QString name = shown[a]->text();
        EXPECT_TRUE(Window().rect().contains(shown[a]->geometry()))
            << name.toStdString() << " leaves the window";
        EXPECT_TRUE(OnTop(shown[a])) << name.toStdString() << " is covered";
        for (std::size_t b = a + 1; b < shown.size(); ++b) {
          EXPECT_FALSE(shown[a]->geometry().intersects(shown[b]->geometry()))
              << name.toStdString() << " overlaps " << shown[b]->text().toStdString();
        }
      }
      if (c.page == 10) SendMsg(&Window(), UM_PAGE_REQUEST, request::kSearchWindow, 2);
    }
  }
}

}  // namespace
}  // namespace orv::test
