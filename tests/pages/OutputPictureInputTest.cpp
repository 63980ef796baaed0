// The output and picture pages against the recording library: values from
// the device outside their tables change nothing and index nothing, and the
// first state of a freshly made page.
#include <QTest>

#include <cmath>
#include <limits>

#include "AppTestSupport.h"
#include "CDropList.h"
#include "CGdipButton.h"
#include "CommandEncoder.h"
#include "DeviceState.h"
#include "LayerTabs.h"
#include "MOutputDlg.h"
#include "MPicSettingDlg.h"
#include "MessageIds.h"
#include "oSliderEdit.h"

namespace orv::test {
namespace {

using PageValues = MainWindowTest;

int SendsOf(const FakeCommLibrary& library, uint16_t type) {
  int n = 0;
  for (const TypedSend& s : library.TypedSends()) n += s.type == type ? 1 : 0;
  return n;
}

TEST_F(PageValues, OutputPageStartsAt1080p60AndIgnoresUnknownIndexesAndModes) {
  MOutputDlg* page = Window().OutputPage();
  page->ShowPage(true);
  EXPECT_EQ(page->ResolutionList()->GetCurSel(), 10);
  EXPECT_EQ(page->ResolutionList()->text(), QStringLiteral("1920 x 1080    60Hz"));
  { EXPECT_EQ(State()->block.OUTPUTRESO.RESOINDEX, 10); }
  EXPECT_FALSE(page->TimingEditOf(MOutputDlg::kHTotal)->isVisible());
  EXPECT_FALSE(page->ApplyButton()->isEnabled());

  // An index past the table, a zero timing and an unknown rotation.
  {
    auto s = State();
    s->block.OUTPUTRESO = {44, 2000, 1000, 0, 0, 0, 0, 0, 0, 0, 7, 9};
    s->block.CHNLDATA[0].CHNLROTATION = 12;
  }
  page->RefreshTiming();
  page->ReloadSelectedLayer();
  EXPECT_EQ(page->ResolutionList()->GetCurSel(), 10);
  EXPECT_EQ(page->WidthEdit()->Value(), 2000);
  EXPECT_EQ(page->RateEdit()->Value(), 23);  // clamped into the edit's range
  EXPECT_EQ(page->PolarityList(0)->GetCurSel(), 0);
  EXPECT_EQ(page->PreviewMode(), 0);
  for (int m = 0; m < kRotationModes; ++m) EXPECT_FALSE(page->RotationButton(m)->IsChecked());
  EXPECT_EQ(SendsOf(Library(), SET_OUTPUT_TIMING), 0);

  // Program layers are shown and locked in single program/preview mode.
  {
    auto s = State();
    s->block.PVWMODEINFO.PVWMODE = 1;
    s->block.PVWMODEINFO.PGMSTATE[0] = 1;
    s->block.PVWMODEINFO.PVWSTATE[1] = 1;
  }
  page->UpdateLayerTabs();
  EXPECT_EQ(page->Tabs().Tab(0)->text(), QStringLiteral("PGM"));
  EXPECT_FALSE(page->Tabs().Tab(0)->isEnabled());
  EXPECT_EQ(page->SelectedLayer(), 1);
}

TEST_F(PageValues, PicturePageIgnoresUnknownModesTemperaturesAndGamma) {
  auto* page = static_cast<MPicSettingDlg*>(Window().ColumnPage(0));
  page->ShowPage(true);
  using P = MPicSettingDlg;
  EXPECT_EQ(page->ModeList()->GetCurSel(), 0);
  EXPECT_EQ(page->BrightLevelSwitch()->text(), QStringLiteral("0ff"));

  {
    auto s = State();
    s->block.PICCOMMSETT = {P::kUserMode, 9, std::numeric_limits<float>::quiet_NaN()};
    PicSet& p = s->PicSetOf(InputGroupOfLayer(*s, 0), 0);
    p.COLORTEMP = 77;
    p.BRIGHTNESS = 250;
  }
  page->RefreshFromDevice();
  EXPECT_EQ(page->ModeList()->GetCurSel(), P::kUserMode);
  EXPECT_EQ(page->Edit(P::kGamma)->Value(), 0);
  EXPECT_EQ(page->GammaSwitch()->text(), QStringLiteral("0ff"));
  EXPECT_EQ(page->Edit(P::kBrightness)->Value(), 100);
  EXPECT_EQ(page->ColorTempList()->GetCurSel(), 0);

  // The bright level switched off sends 17, whatever the edit shows.
  { State()->block.PICCOMMSETT.BRIGHTLEVEL = 5; }
  page->RefreshFromDevice();
  ASSERT_EQ(page->BrightLevelSwitch()->text(), QStringLiteral("0n"));
  QTest::mouseClick(page->BrightLevelSwitch(), Qt::LeftButton);
  ASSERT_EQ(SendsOf(Library(), SET_PICTURE), 1);
  EXPECT_EQ(Library().TypedSends().back().bytes[2], P::kBrightLevelOff);
  EXPECT_EQ(page->Edit(P::kBrightLevel)->Value(), 5);
  EXPECT_FALSE(page->Edit(P::kBrightLevel)->isEnabled());

  { State()->block.PICCOMMSETT.PICMODE = 42; }
  page->RefreshFromDevice();
  EXPECT_EQ(page->ModeList()->GetCurSel(), P::kUserMode);

  // A preset mode: its gamma byte in tenths, the controls locked.
  { State()->block.PICCOMMSETT.PICMODE = 3; }
  page->RefreshFromDevice();
  EXPECT_FLOAT_EQ(page->Edit(P::kGamma)->Value(), 1.5f);
  EXPECT_EQ(page->GammaSwitch()->text(), QStringLiteral("0n"));
  EXPECT_FALSE(page->Edit(P::kGamma)->isEnabled());
  EXPECT_FALSE(page->BrightLevelSwitch()->isEnabled());
  EXPECT_EQ(page->ColorTempList()->GetCurSel(), P::kUserColorTemp);

  // Dual program/preview: the preview layer 2 becomes the tab shown; a later
  // refresh with the same assignment leaves the operator's tab alone.
  {
    auto s = State();
    s->block.PVWMODEINFO.PVWMODE = 2;
    s->block.PVWMODEINFO.PGMSTATE[0] = 1;
    s->block.PVWMODEINFO.PVWSTATE[2] = 1;
  }
  page->RefreshFromDevice();
  EXPECT_EQ(page->SelectedLayer(), 2);
  EXPECT_EQ(page->Tabs().Tab(0)->text(), QStringLiteral("PGM1"));
  EXPECT_FALSE(page->Tabs().Tab(0)->isEnabled());
  QTest::mouseClick(page->Tabs().Tab(3), Qt::LeftButton);
  page->RefreshFromDevice();
  EXPECT_EQ(page->SelectedLayer(), 3);

  // Hidden, a committed value changes nothing and sends nothing.
  page->ShowPage(false);
  SendMsg(page, UM_VALUE_COMMITTED, static_cast<int>(P::kFirstEdit) + P::kBrightness, 0);
  EXPECT_EQ(SendsOf(Library(), SET_PICTURE), 1);
}

}  // namespace
}  // namespace orv::test
