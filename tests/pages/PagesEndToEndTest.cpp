// One run per page: the page's controls driven with real mouse and key
// events, what reached the processor (its request log), what the processor
// holds, and what the page shows once the processor's answer came back.
#include "CGdipButton.h"
#include "LayerTabs.h"
#include "MCropDlg.h"
#include "MKeyerDlg.h"
#include "MessageIds.h"
#include "Orv_FeatherDlg.h"
#include "PageRun.h"
#include "PageTable.h"
#include "Timers.h"

namespace orv::test {
namespace {

using Keyers = PageRun;
using Crops = PageRun;
using Feathering = PageRun;

TEST_F(Keyers, SwitchModeRangesAndTheOtherKeyerRoundTrip) {
  ASSERT_NO_FATAL_FAILURE(Connect(TestIp(11), [](sim::DeviceModel& m) {
    m.image().MOSAICSETT.MOSAICMODE = 3;  // the PIP-1 keyer can be chosen
    m.image().CHNLDATA[3].CHNLONOFF = 1;
    m.image().KEYERINFO.KEYER[1].KEYERGAINBND = 77;
  }));
  MKeyerDlg* page = Window().KeyerPage();
  page->ShowPage(true);
  page->raise();
  EXPECT_EQ(page->ValueEdit(1)->Value(), 100);  // the read-back's red high
  EXPECT_FALSE(page->ModeList()->isEnabled());

  // On: the chosen keyer's fields, the channel in byte 31, 0x55 between.
  QTest::mouseClick(page->Switch(), Qt::LeftButton);
  const sim::ReceivedRequest on = Request(1);
  EXPECT_EQ(on.type, SET_KEYER);
  ASSERT_EQ(on.head.size(), 32u);
  EXPECT_EQ(Head(1, 4), (std::vector<uint8_t>{1, 0, 0, 100}));
  EXPECT_EQ(on.head[20], 0x55);
  EXPECT_EQ(on.head[31], 3);
  EXPECT_TRUE(page->ModeList()->isEnabled());
  EXPECT_TRUE(page->ValueEdit(0)->isEnabled());

  // A fixed mode: sent, then after 40 ms the device's ranges are read back.
  AwaitQuiet();
  Choose(page->ModeList(), 3);
  EXPECT_EQ(Request(2).type, SET_KEYER);
  EXPECT_EQ(Request(2).head[1], 3);
  EXPECT_FALSE(page->ValueEdit(0)->isEnabled());
  AdvanceManualTime(MKeyerDlg::kModeReadBackMs);
  EXPECT_EQ(Request(3).type, GET_KEYER);
  EXPECT_EQ(Request(3).FirstByte(), 3);
  ASSERT_TRUE(PumpUntil([&] { return page->ValueEdit(0)->Value() == 224; }));

  // Reset: user mode with full ranges, gains kept; then one range typed.
  AwaitQuiet();
  QTest::mouseClick(page->ResetButton(), Qt::LeftButton);
  EXPECT_EQ(Head(4, 9), (std::vector<uint8_t>{1, 0, 0, 255, 0, 255, 0, 255, 50}));
  AwaitQuiet();
  Type(page->ValueEdit(2), QStringLiteral("40"));
  EXPECT_EQ(Request(5).head[4], 40);
  AwaitQuiet();
  EXPECT_EQ(Image().KEYERINFO.KEYER[0].KEYERGREENL, 40);
  EXPECT_EQ(Image().KEYERINFO.KEYER[0].KEYERMODE, 0);
  EXPECT_EQ(page->ValueEdit(2)->Value(), 40);

  // The PIP-1 keyer: asked for by its channel, shown when it answers.
  AwaitQuiet();
  Choose(page->KeyerList(), 1);
  EXPECT_EQ(Request(6).type, GET_KEYER);
  EXPECT_EQ(Request(6).FirstByte(), 1);
  ASSERT_TRUE(PumpUntil([&] { return page->ValueEdit(8)->Value() == 77; }));
  EXPECT_EQ(page->Channel(), 1);
  EXPECT_FALSE(page->Switch()->IsChecked());
}

TEST_F(Crops, SwitchTypedStartResetAndAnotherLayerRoundTrip) {
  ASSERT_NO_FATAL_FAILURE(Connect(TestIp(12), [](sim::DeviceModel& m) {
    m.image().CHNLDATA[0].CHNLINPUT = 0;
    m.image().CHNLDATA[1].CHNLINPUT = 2;
  }));
  auto* page = static_cast<MCropDlg*>(Window().ColumnPage(5));
  Window().ShowPageByIndex(5, false);
  ASSERT_TRUE(page->isVisible());
  const Crop source = Image().CROP[GroupLayerIndex(0, 0)];
  ASSERT_GT(source.HTOTAL, 0);
  EXPECT_FALSE(page->Edit(CropEdit::HStart)->isEnabled());

  QTest::mouseClick(page->Switch(), Qt::LeftButton);
  EXPECT_EQ(Request(1).type, SET_CROP);
  EXPECT_EQ(Head(1, 2), (std::vector<uint8_t>{0, 1}));
  EXPECT_EQ(Request(1).head[10], 0);
  EXPECT_TRUE(page->Edit(CropEdit::HStart)->isEnabled());

  // A width, then a start past the source: the start is lowered to fit.
  AwaitQuiet();
  Type(page->Edit(CropEdit::Width), QStringLiteral("640"));
  AwaitQuiet();
  EXPECT_EQ(Request(2).head[6] | (Request(2).head[7] << 8), 640);
  Type(page->Edit(CropEdit::HStart), QStringLiteral("9000"));
  const int fitted = source.HTOTAL - 640;
  EXPECT_EQ(Request(3).head[2] | (Request(3).head[3] << 8), fitted);
  AwaitQuiet();
  EXPECT_EQ(Image().CROP[GroupLayerIndex(0, 0)].HPOS, fitted);
  EXPECT_EQ(page->Edit(CropEdit::HStart)->Value(), fitted);
  EXPECT_NEAR(page->PreviewRect().right(), page->PreviewArea().right(), 1);

  // Reset: the device answers with the whole source.
  AwaitQuiet();
  QTest::mouseClick(page->ResetButton(), Qt::LeftButton);
  EXPECT_EQ(Request(4).head[10], 1);
  ASSERT_TRUE(PumpUntil([&] { return page->Edit(CropEdit::Width)->Value() == source.HTOTAL; }));
  EXPECT_EQ(page->Edit(CropEdit::HStart)->Value(), 0);
  EXPECT_EQ(page->PreviewRect(), page->PreviewArea());

  // PIP-1 shows its own source and crop, switched off.
  AwaitQuiet();
  QTest::mouseClick(page->Tabs().Tab(1), Qt::LeftButton);
  EXPECT_EQ(page->SelectedLayer(), 1);
  EXPECT_EQ(page->Group(), 2);
  std::string name;
  { name = State()->INPUT_TABLE[2].name; }
  EXPECT_EQ(page->SourceText(),
            QStringLiteral("Input Source\n") + QString::fromStdString(name).trimmed());
  EXPECT_FALSE(page->Switch()->IsChecked());
  EXPECT_FALSE(page->Edit(CropEdit::HStart)->isEnabled());
}

TEST_F(Feathering, SwitchAndListsRoundTripAndTheLayerControlsFollow) {
  ASSERT_NO_FATAL_FAILURE(Connect(TestIp(13), [](sim::DeviceModel& m) {
    m.image().MOSAICSETT.MOSAICMODE = 2;
    m.image().CHNLDATA[2].CHNLONOFF = 1;
  }));
  Orv_FeatherDlg* page = Window().FeatherPage();
  SendMsg(&Window(), UM_PAGE_REQUEST, request::kFeather, 0);
  ASSERT_TRUE(page->isVisible());
  EXPECT_EQ(page->Group1Caption(), QStringLiteral("PIP2"));
  EXPECT_EQ(page->Group1Layer(), 2);
  EXPECT_FALSE(page->List(Orv_FeatherDlg::kShape1List)->isEnabled());

  QTest::mouseClick(page->Switch(), Qt::LeftButton);
  EXPECT_EQ(Request(1).type, SET_FEATHER);
  EXPECT_EQ(Request(1).head[0], 1);
  EXPECT_EQ(Request(1).head[9], 3);
  ASSERT_TRUE(PumpUntil([&] { return !Window().PageButton(4)->isEnabled(); }));
  EXPECT_TRUE(page->List(Orv_FeatherDlg::kShape1List)->isEnabled());

  // Group 1 edits layer 2: its shape is element 3 (byte 5); group 2's level is element 8.
  Choose(page->List(Orv_FeatherDlg::kShape1List), 4);
  EXPECT_EQ(Request(2).head[5], 4);
  EXPECT_EQ(Request(2).head[9], 2);
  AwaitQuiet();
  Choose(page->List(Orv_FeatherDlg::kLevel2List), 2);
  EXPECT_EQ(Request(3).head[8], 2);
  EXPECT_EQ(Request(3).head[9], 3);
  AwaitQuiet();

  // A new read of the processor's feathering shows what it holds.
  {
    auto s = State();
    std::fill(std::begin(s->FEATHER), std::end(s->FEATHER), 0);
  }
  SendCommand(QUERY73);
  ASSERT_TRUE(PumpUntil([&] { return page->Switch()->IsChecked(); }));
  EXPECT_EQ(page->List(Orv_FeatherDlg::kShape1List)->GetCurSel(), 4);
  EXPECT_EQ(page->List(Orv_FeatherDlg::kLevel2List)->GetCurSel(), 2);

  // Off again: the layer controls come back.
  AwaitQuiet();
  QTest::mouseClick(page->Switch(), Qt::LeftButton);
  EXPECT_EQ(Request(5).head[0], 0);
  ASSERT_TRUE(PumpUntil([&] { return Window().PageButton(4)->isEnabled(); }));
  EXPECT_FALSE(page->List(Orv_FeatherDlg::kShape1List)->isEnabled());
}

}  // namespace
}  // namespace orv::test
