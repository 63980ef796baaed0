// The output and picture pages against a virtual processor: controls driven
// with real events, the bytes the processor received, what it holds, and
// what the pages show once its answers came back.
#include "CGdipButton.h"
#include "LayerTabs.h"
#include "MOutputDlg.h"
#include "MPicSettingDlg.h"
#include "PageRun.h"
#include "oSliderEdit.h"

namespace orv::test {
namespace {

class ListPageRun : public PageRun {
 protected:
  // Choose() for an entry below the popup's visible rows: scrolled to first.
  void ChooseFar(CDropButton* drop, int index) {
    QTest::mouseClick(drop, Qt::LeftButton);
    ASSERT_TRUE(drop->PopupShown());
    CDropList* list = drop->List();
    list->scrollToItem(list->item(index));
    const QRect r = list->visualItemRect(list->item(index));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, r.center());
    DeliverPostedMessages();
  }
};

using OutputPage = ListPageRun;
using PicturePage = ListPageRun;

int Word(const std::vector<uint8_t>& head, std::size_t at) {
  return head[at] | (head[at + 1] << 8);
}

TEST_F(OutputPage, FixedAndCustomResolutionsWindowsAndRotationRoundTrip) {
  ASSERT_NO_FATAL_FAILURE(Connect(TestIp(81), [](sim::DeviceModel& m) {
    OutputReso& o = m.image().OUTPUTRESO;
    o = {10, 1920, 1080, 6000, 2200, 1125, 44, 5, 148, 36, 1, 1};
    m.image().CHNLDATA[0] = {1, 255, 0, 0, 0, 0, 1920, 1080, 0};
    m.image().LOGOINFO.LOGOUSAGE = 1;
  }));
  auto* page = Window().OutputPage();
  Window().ShowPageByIndex(1, false);
  ASSERT_TRUE(page->isVisible());
  EXPECT_EQ(page->ResolutionList()->GetCurSel(), 10);
  EXPECT_FALSE(page->WidthEdit()->isEnabled());
  EXPECT_EQ(page->WindowEdit(3)->Value(), 1080);

  // A fixed resolution: the timing, the four windows, the logo and caption 0.
  Choose(page->ResolutionList(), 9);
  const std::vector<uint16_t> fixedOrder = {SET_OUTPUT_TIMING, GET_LAYER_WINDOW, GET_LAYER_WINDOW,
                                            GET_LAYER_WINDOW,  GET_LAYER_WINDOW, GET_LOGO,
                                            GET_CAPTION};
  for (std::size_t i = 0; i < fixedOrder.size(); ++i) EXPECT_EQ(Request(i + 1).type, fixedOrder[i]);
  EXPECT_EQ(Head(1, 7), (std::vector<uint8_t>{9, 0x80, 0x07, 0x38, 0x04, 0x6A, 0x17}));
  EXPECT_EQ(Request(5).FirstByte(), 3);
  AwaitQuiet();
  EXPECT_EQ(Image().OUTPUTRESO.RESOINDEX, 9);
  EXPECT_EQ(Image().OUTPUTRESO.FPS, 5994);

  // Custom: choosing it sends nothing; typed sizes are held to the budget.
  const std::size_t before = processor_->Requests().Size();
  ChooseFar(page->ResolutionList(), MOutputDlg::kCustomIndex);
  EXPECT_TRUE(page->WidthEdit()->isEnabled());
  {
    auto s = State();  // the applied resolution stays in the record until "Apply"
    EXPECT_EQ(s->block.OUTPUTRESO.RESOINDEX, 9);
    EXPECT_EQ(s->block.OUTPUTRESO.FPS, 5994);
  }
  Type(page->HeightEdit(), QStringLiteral("2160"));
  Type(page->WidthEdit(), QStringLiteral("3840"));
  EXPECT_EQ(page->WidthEdit()->Value(), 1124);
  AwaitQuiet();
  EXPECT_EQ(processor_->Requests().Size(), before);

  // The timing rows: a total raised to hold the active area, then Apply.
  QTest::mouseClick(page->MoreButton(), Qt::LeftButton);
  ASSERT_TRUE(page->TimingRowsShown());
  ASSERT_TRUE(page->TimingEditOf(MOutputDlg::kHTotal)->isVisible());
  Type(page->HeightEdit(), QStringLiteral("1000"));
  Type(page->WidthEdit(), QStringLiteral("2000"));
  Type(page->TimingEditOf(MOutputDlg::kHTotal), QStringLiteral("2000"));
  EXPECT_EQ(page->TimingEditOf(MOutputDlg::kHTotal)->Value(), 2224);
  Type(page->RateEdit(), QStringLiteral("59.94"));
  SavePicture(*page, "output-custom.png");
  QTest::mouseClick(page->ApplyButton(), Qt::LeftButton);
  const std::vector<uint8_t> custom = Head(before + 1, 22);
  EXPECT_EQ(Request(before + 1).type, SET_OUTPUT_TIMING);
  EXPECT_EQ(custom[0], 18);
  EXPECT_EQ(Word(custom, 1), 2000);
  EXPECT_EQ(Word(custom, 3), 1000);
  EXPECT_EQ(Word(custom, 5), 5994);
  EXPECT_EQ(Word(custom, 7), 2224);
  EXPECT_EQ(Word(custom, 13), 1125);
  EXPECT_EQ(custom[21], 1);  // applied with the rows shown
  for (std::size_t i = 2; i <= 5; ++i) EXPECT_EQ(Request(before + i).type, GET_LAYER_WINDOW);
  // The processor fitted the main window into the new raster; the page shows it.
  ASSERT_TRUE(PumpUntil([&] { return page->WindowEdit(3)->Value() == 1000; }));
  AwaitQuiet();
  EXPECT_EQ(processor_->Requests().Size(), before + 5);  // no logo, no caption after Apply
  EXPECT_EQ(Image().OUTPUTRESO.RESOINDEX, 18);
  EXPECT_EQ(Image().OUTPUTRESO.HTOTAL, 2224);

  // Window edits are held inside the output; "1/2" keeps the half the window is in.
  std::size_t n = processor_->Requests().Size();
  // (Each answer re-reads the window into the edits, so the next is typed after it.)
  Type(page->WindowEdit(2), QStringLiteral("800"));
  AwaitQuiet();
  Type(page->WindowEdit(0), QStringLiteral("1500"));
  EXPECT_EQ(page->WindowEdit(0)->Value(), 1200);
  AwaitQuiet();
  Type(page->WindowEdit(2), QStringLiteral("5000"));
  EXPECT_EQ(page->WindowEdit(2)->Value(), 800);
  AwaitQuiet();
  EXPECT_EQ(Request(n + 3).type, SET_LAYER_WINDOW);
  EXPECT_EQ(Word(Head(n + 2, 9), 1), 1200);
  QTest::mouseClick(page->Button(MOutputDlg::kHalf), Qt::LeftButton);
  AwaitQuiet();
  EXPECT_EQ(Head(n + 4, 9), (std::vector<uint8_t>{0, 0xE8, 0x03, 0, 0, 0xE8, 0x03, 0xE8, 0x03}));

  // Rotation: sent once; the same mode again sends nothing.
  QTest::mouseClick(page->RotationButton(5), Qt::LeftButton);
  EXPECT_EQ(Request(n + 5).head[10], 5);
  EXPECT_TRUE(page->RotationButton(5)->IsChecked());
  EXPECT_EQ(page->PreviewMode(), 5);
  AwaitQuiet();
  n = processor_->Requests().Size();
  QTest::mouseClick(page->RotationButton(5), Qt::LeftButton);
  AwaitQuiet();
  EXPECT_EQ(processor_->Requests().Size(), n);
  EXPECT_TRUE(page->RotationButton(5)->IsChecked());
  EXPECT_EQ(Image().CHNLDATA[0].CHNLROTATION, 5);
  EXPECT_EQ(Image().CHNLDATA[0].HPOS, 1000);

  // Typed but not applied: hiding the page brings the applied values back.
  Type(page->WidthEdit(), QStringLiteral("1600"));
  page->ShowPage(false);
  EXPECT_EQ(page->WidthEdit()->Value(), 2000);
}

TEST_F(PicturePage, UserAdjustmentsAllGroupsSwitchesAndResetsRoundTrip) {
  ASSERT_NO_FATAL_FAILURE(Connect(TestIp(82), [](sim::DeviceModel& m) {
    m.image().PICCOMMSETT = {7, 17, 0.0f};
    m.image().CHNLDATA[0].CHNLINPUT = 1;
    m.image().CHNLDATA[1].CHNLINPUT = 2;
    for (PicSet& p : m.image().PICSET) p.BRIGHTNESS = 40;
  }));
  auto* page = static_cast<MPicSettingDlg*>(Window().ColumnPage(0));
  Window().ShowPageByIndex(0, false);
  ASSERT_TRUE(page->isVisible());
  int group = 0;
  { group = InputGroupOfLayer(*State(), 0); }
  using P = MPicSettingDlg;
  EXPECT_EQ(page->Edit(P::kBrightness)->Value(), 40);
  EXPECT_EQ(page->BrightLevelSwitch()->text(), QStringLiteral("0ff"));
  EXPECT_FALSE(page->Edit(P::kBrightLevel)->isEnabled());
  EXPECT_TRUE(page->InputButton()->IsChecked());

  // The current input group only.
  Type(page->Edit(P::kBrightness), QStringLiteral("60"));
  EXPECT_EQ(Request(1).type, SET_PICTURE);
  EXPECT_EQ(Head(1, 7), (std::vector<uint8_t>{1, 7, 17, 0, 0, 0, 60}));
  AwaitQuiet();
  EXPECT_EQ(Image().PICSET[GroupLayerIndex(group, 0)].BRIGHTNESS, 60);
  EXPECT_EQ(Image().PICSET[GroupLayerIndex((group + 1) % 12, 0)].BRIGHTNESS, 40);

  // "ALL": every group of the layer, here and in the processor.
  QTest::mouseClick(page->AllButton(), Qt::LeftButton);
  EXPECT_FALSE(page->InputButton()->IsChecked());
  Type(page->Edit(P::kContrast), QStringLiteral("70"));
  EXPECT_EQ(Request(2).head[5], 1);
  EXPECT_EQ(Request(2).head[7], 70);
  AwaitQuiet();
  for (int g = 0; g < 12; ++g) {
    EXPECT_EQ(Image().PICSET[GroupLayerIndex(g, 0)].CONTRAST, 70) << g;
    EXPECT_EQ(State()->PicSetOf(g, 0).CONTRAST, 70) << g;
  }

  // Switches on: the bright level edit's value (17 shows as 16), gamma in tenths.
  QTest::mouseClick(page->BrightLevelSwitch(), Qt::LeftButton);
  EXPECT_EQ(page->BrightLevelSwitch()->text(), QStringLiteral("0n"));
  EXPECT_EQ(Request(3).head[2], 16);
  AwaitQuiet();
  // Gamma 0.0 reads back as off, so switching on from 0.0 gives the least gamma.
  QTest::mouseClick(page->GammaSwitch(), Qt::LeftButton);
  EXPECT_EQ(Request(4).head[3], 1);
  AwaitQuiet();
  EXPECT_EQ(page->GammaSwitch()->text(), QStringLiteral("0n"));
  Type(page->Edit(P::kGamma), QStringLiteral("2.3"));
  EXPECT_EQ(Request(5).head[3], 23);
  AwaitQuiet();
  EXPECT_FLOAT_EQ(Image().PICCOMMSETT.GAMMA, 2.3f);

  // A fixed colour temperature takes the gains away; the user one and a gain.
  Choose(page->ColorTempList(), 2);
  EXPECT_EQ(Request(6).head[11], 2);
  EXPECT_FALSE(page->Edit(P::kRed)->isEnabled());
  AwaitQuiet();
  ChooseFar(page->ColorTempList(), P::kUserColorTemp);
  AwaitQuiet();
  ASSERT_TRUE(page->Edit(P::kRed)->isEnabled());
  SavePicture(*page, "picture-user.png");
  Type(page->Edit(P::kRed), QStringLiteral("200"));
  EXPECT_EQ(Request(8).head[12], 200);
  AwaitQuiet();

  // "Reset": the gains come back from the processor's read-back.
  QTest::mouseClick(page->ResetButton(), Qt::LeftButton);
  EXPECT_EQ(Request(9).head[15], 1);
  EXPECT_EQ(Request(10).type, GET_PICTURE);
  ASSERT_TRUE(PumpUntil([&] { return page->Edit(P::kRed)->Value() == 128; }));
  AwaitQuiet();

  // "Reset Picture Settings": every record, here and in the processor.
  QTest::mouseClick(page->ResetPictureButton(), Qt::LeftButton);
  EXPECT_EQ(Request(11).head[0], 0);
  EXPECT_EQ(Request(12).type, GET_PICTURE);
  ASSERT_TRUE(PumpUntil([&] { return page->Edit(P::kContrast)->Value() == 50; }));
  AwaitQuiet();
  EXPECT_EQ(Image().PICSET[GroupLayerIndex(5, 3)].BRIGHTNESS, 50);

  // A preset mode shows its values with the adjustments locked.
  Choose(page->ModeList(), 6);
  EXPECT_EQ(Request(13).head[1], 6);
  EXPECT_FALSE(page->Edit(P::kBrightness)->isEnabled());
  EXPECT_EQ(page->Edit(P::kSaturation)->Value(), 0);

  // PIP-1 names its own input on the apply-to button.
  QTest::mouseClick(page->Tabs().Tab(1), Qt::LeftButton);
  std::string name;
  { name = State()->INPUT_TABLE[2].name; }
  EXPECT_EQ(page->InputButton()->text(), QString::fromStdString(name).trimmed());
}

}  // namespace
}  // namespace orv::test
