// The PIP, mosaic and logo pages against the recording library: device or
// project values outside their tables change nothing and index nothing past
// a table; refused operator actions send nothing.
#include <QTest>

#include "AppTestSupport.h"
#include "CDropList.h"
#include "CGdipButton.h"
#include "CommandEncoder.h"
#include "DeviceState.h"
#include "MLogoDlg.h"
#include "MMosaicDlg.h"
#include "MPIPDlg.h"
#include "MessageIds.h"
#include "oRealEdit.h"

namespace orv::test {
namespace {

using LayerFeatureInput = MainWindowTest;

int SendsOf(const FakeCommLibrary& library, uint16_t type) {
  int n = 0;
  for (const TypedSend& s : library.TypedSends()) n += s.type == type ? 1 : 0;
  return n;
}

TEST_F(LayerFeatureInput, MosaicModesAndPartsOutsideTheTablesChangeNothing) {
  auto* page = static_cast<MMosaicDlg*>(Window().ColumnPage(2));
  {
    auto s = State();
    s->block.MOSAICSETT.MOSAICMODE = 3;
    s->block.MOSAICSETT.MOSAICAUTOARR = 1;
  }
  page->RefreshFromDevice();
  ASSERT_EQ(page->PressedLayout(), 2);
  ASSERT_EQ(page->ChosenPart(), 1);
  { State()->block.MOSAICSETT.MOSAICMODE = 77; }
  page->RefreshFromDevice();
  EXPECT_TRUE(page->On());
  EXPECT_EQ(page->PressedLayout(), 2);
  {
    auto s = State();
    s->block.MOSAICSETT.MOSAICMODE = -4;
  }
  page->RefreshFromDevice();
  EXPECT_EQ(page->PressedLayout(), 2);
  {
    auto s = State();
    s->block.MOSAICSETT.MOSAICMODE = 3;
    s->block.MOSAICSETT.MOSAICAUTOARR = 1000;
  }
  page->RefreshFromDevice();
  EXPECT_EQ(page->ChosenPart(), kNoMosaicPart);
  // "Panel x 4" from the device frees PIP-3 from the logo.
  {
    auto s = State();
    s->block.MOSAICSETT.MOSAICMODE = 5;
    s->block.LOGOINFO.LOGOUSAGE = 1;
  }
  page->RefreshFromDevice();
  EXPECT_EQ(State()->block.LOGOINFO.LOGOUSAGE, 0);
  // A click on a part while the layout is "Panel x 1" does nothing.
  { State()->block.MOSAICSETT.MOSAICMODE = 1; }
  page->RefreshFromDevice();
  page->ShowPage(true);
  QTest::mouseClick(page, Qt::LeftButton, Qt::NoModifier, QPoint(70, 200));
  EXPECT_EQ(SendsOf(Library(), SET_MOSAIC), 0);
}

TEST_F(LayerFeatureInput, LogoIdsOutsideTheSlotsAreReadAsSlotOne) {
  MLogoDlg* page = Window().LogoPage();
  {
    auto s = State();
    s->block.LOGOINFO.LOGOUSAGE = 1;
    s->block.LOGOINFO.LOGOCURID = 200;
    s->LOGO_EDIT_ID = 9;
    s->block.LOGOINFO.LOGOVALID[0] = 1;
    s->block.LOGOINFO.HACT[0] = 320;
    s->block.LOGOINFO.VACT[0] = 180;
  }
  page->RefreshFromDevice();
  EXPECT_TRUE(page->LogoMode());
  EXPECT_EQ(page->SelectedSlot(), 0);
  EXPECT_EQ(State()->block.LOGOINFO.LOGOCURID, 0);
  EXPECT_EQ(State()->LOGO_EDIT_ID, 0);
  EXPECT_EQ(page->Edit(LogoEdit::Width)->Value(), 320);
  // "Logo" while already in logo mode sends nothing.
  page->ShowPage(true);
  QTest::mouseClick(page->LogoButton(), Qt::LeftButton);
  EXPECT_EQ(SendsOf(Library(), SET_LOGO), 0);
  // Hiding the page removes a drawn editing rectangle, once.
  { State()->MAIN_LOGO_FLAG = 1; }
  page->ShowPage(false);
  ASSERT_EQ(SendsOf(Library(), SET_LOGO), 1);
  EXPECT_EQ(Library().TypedSends().back().bytes[0], 3);
  EXPECT_EQ(Library().TypedSends().back().bytes[10], 0);
  EXPECT_EQ(State()->MAIN_LOGO_FLAG, 0);
  page->ShowPage(false);
  EXPECT_EQ(SendsOf(Library(), SET_LOGO), 1);
  // A usage value outside 0 and 1 shows the normal mode.
  { State()->block.LOGOINFO.LOGOUSAGE = 7; }
  page->RefreshFromDevice();
  EXPECT_FALSE(page->LogoMode());
}

TEST_F(LayerFeatureInput, PipInputsOutsideTheTableAndTheLockedPip3SendNothing) {
  auto* page = static_cast<MPIPDlg*>(Window().ColumnPage(4));
  {
    auto s = State();
    s->block.CHNLDATA[1].CHNLINPUT = 2;
    s->block.CHNLDATA[1].CHNLONOFF = 1;
  }
  page->RefreshFromDevice();
  const int shown = page->SourceList(0)->GetCurSel();
  { State()->block.CHNLDATA[1].CHNLINPUT = 250; }
  page->RefreshFromDevice();
  EXPECT_EQ(page->SourceList(0)->GetCurSel(), shown);
  // PIP-3's toggle while the logo holds it: nothing stored or sent, the toggle as it was.
  {
    auto s = State();
    s->block.LOGOINFO.LOGOUSAGE = 1;
    s->block.CHNLDATA[3].CHNLONOFF = 0;
  }
  page->RefreshFromDevice();
  page->Switch(2)->setEnabled(true);  // reach the page's own guard, not just the disabled button
  QTest::mouseClick(page->Switch(2), Qt::LeftButton);
  EXPECT_FALSE(page->Switch(2)->IsChecked());
  EXPECT_EQ(State()->block.CHNLDATA[3].CHNLONOFF, 0);
  EXPECT_EQ(SendsOf(Library(), SET_LAYER_ONOFF), 0);
}

}  // namespace
}  // namespace orv::test
