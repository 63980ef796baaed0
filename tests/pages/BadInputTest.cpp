// The pages against the recording library: values from the device outside
// their tables change nothing, and refused operator actions send nothing.
#include <QTest>

#include "AppTestSupport.h"
#include "CDropList.h"
#include "CGdipButton.h"
#include "CommandEncoder.h"
#include "DeviceState.h"
#include "MCropDlg.h"
#include "MKeyerDlg.h"
#include "MessageIds.h"
#include "Orv_FeatherDlg.h"
#include "oRealEdit.h"

namespace orv::test {
namespace {

using PageInput = MainWindowTest;

int SendsOf(const FakeCommLibrary& library, uint16_t type) {
  int n = 0;
  for (const TypedSend& s : library.TypedSends()) n += s.type == type ? 1 : 0;
  return n;
}

TEST_F(PageInput, KeyerIgnoresUnknownModesAndKeepsThePip1KeyerToLayout3) {
  MKeyerDlg* page = Window().KeyerPage();
  page->ShowPage(true);
  {
    auto s = State();
    s->block.MOSAICSETT.MOSAICMODE = 3;
    s->block.KEYERINFO.KEYER[0].KEYERMODE = 4;
  }
  page->RefreshFromDevice();
  EXPECT_EQ(page->ModeList()->GetCurSel(), 4);
  EXPECT_TRUE(page->KeyerList()->List()->IsAvailable(1));
  // A mode the table lacks leaves the list; the edits stay off (not the user mode).
  { State()->block.KEYERINFO.KEYER[0].KEYERMODE = 99; }
  page->RefreshFromDevice();
  EXPECT_EQ(page->ModeList()->GetCurSel(), 4);
  EXPECT_FALSE(page->ValueEdit(0)->isEnabled());

  // Layout 3 keeps the chosen PIP-1 keyer; any other layout returns to PIP-3.
  SendMsg(page, UM_LIST_SELECT, MKeyerDlg::kKeyerListId, 1);
  EXPECT_EQ(page->ChosenKeyer(), 1);
  page->RefreshFromDevice();
  EXPECT_EQ(page->ChosenKeyer(), 1);
  { State()->block.MOSAICSETT.MOSAICMODE = 0; }
  page->RefreshFromDevice();
  EXPECT_EQ(page->ChosenKeyer(), 0);
  EXPECT_FALSE(page->KeyerList()->List()->IsAvailable(1));
}

TEST_F(PageInput, KeyerOnAnUnshownLayerIsRefusedWithAMessageButOffAlwaysWorks) {
  MKeyerDlg* page = Window().KeyerPage();
  page->ShowPage(true);
  QTest::mouseClick(page->Switch(), Qt::LeftButton);
  EXPECT_FALSE(page->Switch()->IsChecked());
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].text, QStringLiteral("PIP3 Is Off"));
  EXPECT_EQ(SendsOf(Library(), SET_KEYER), 0);

  // The device reports the keyer on while its layer is off: it can be switched off.
  { State()->block.KEYERINFO.KEYER[0].KEYERONOFF = 1; }
  page->RefreshFromDevice();
  QTest::mouseClick(page->Switch(), Qt::LeftButton);
  EXPECT_EQ(SendsOf(Library(), SET_KEYER), 1);
  EXPECT_EQ(State()->block.KEYERINFO.KEYER[0].KEYERONOFF, 0);
  EXPECT_EQ(Boxes().size(), 1u);
}

TEST_F(PageInput, FeatherRefusedOutsideSplicedLayoutsAndUnknownValuesKeepTheLists) {
  Orv_FeatherDlg* page = Window().FeatherPage();
  page->ShowPage(true);
  QTest::mouseClick(page->Switch(), Qt::LeftButton);
  EXPECT_FALSE(page->Switch()->IsChecked());
  EXPECT_EQ(SendsOf(Library(), SET_FEATHER), 0);
  EXPECT_TRUE(Boxes().empty());

  {
    auto s = State();
    s->block.MOSAICSETT.MOSAICMODE = 3;
    s->FEATHER[2] = 3;  // layer 1 shape
    s->FEATHER[6] = 2;  // layer 1 level
  }
  page->RefreshFromDevice();
  EXPECT_EQ(page->Group1Caption(), QStringLiteral("PIP1"));
  EXPECT_EQ(page->List(Orv_FeatherDlg::kShape1List)->GetCurSel(), 3);
  {
    auto s = State();
    s->FEATHER[2] = 9;
    s->FEATHER[6] = -1;
    s->FEATHER[0] = 7;  // neither on nor off: shown off
  }
  page->RefreshFromDevice();
  EXPECT_EQ(page->List(Orv_FeatherDlg::kShape1List)->GetCurSel(), 3);
  EXPECT_EQ(page->List(Orv_FeatherDlg::kLevel1List)->GetCurSel(), 2);
  EXPECT_FALSE(page->Switch()->IsChecked());
}

TEST_F(PageInput, CropWithoutSignalAndWithOutOfRangeValuesStaysBounded) {
  auto* page = static_cast<MCropDlg*>(Window().ColumnPage(5));
  Window().ShowPageByIndex(5, false);
  {
    auto s = State();
    s->block.CHNLDATA[0].CHNLINPUT = 200;  // no such input: group 0, entry 0's name
    Crop& c = s->CropOf(0, 0);
    c = Crop{1, 0, 60000, 0, 60000, 0, 0, 0};
  }
  page->RefreshFromDevice();
  EXPECT_EQ(page->Edit(CropEdit::HStart)->Value(), kCropMaxValue);
  EXPECT_TRUE(page->Edit(CropEdit::HStart)->isEnabled());
  EXPECT_TRUE(page->PreviewArea().contains(page->PreviewRect()) || page->PreviewRect().isEmpty());

  // Reset is sent only while cropping is on.
  QTest::mouseClick(page->Switch(), Qt::LeftButton);  // off
  QTest::mouseClick(page->ResetButton(), Qt::LeftButton);
  const auto sends = Library().TypedSends();
  ASSERT_EQ(SendsOf(Library(), SET_CROP), 1);
  EXPECT_EQ(sends.back().bytes[1], 0);
  EXPECT_EQ(sends.back().bytes[10], 0);
}

}  // namespace
}  // namespace orv::test
