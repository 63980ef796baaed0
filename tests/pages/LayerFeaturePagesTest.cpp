// One run each for the PIP, mosaic and logo pages: their controls driven with
// real mouse and key events against a virtual processor over TCP loopback,
// what reached the processor, what it holds, and what the pages show after
// its answers (the wait box taken down by the processor's device events).
#include "CDropList.h"
#include "CGdipButton.h"
#include "LayerTabs.h"
#include "MLogoDlg.h"
#include "MMosaicDlg.h"
#include "MPIPDlg.h"
#include "MessageBox.h"
#include "PageRun.h"
#include "PageWidgets.h"
#include "oBitmapSlider.h"
#include "oSliderEdit.h"

namespace orv::test {
namespace {

using Pips = PageRun;
using Mosaics = PageRun;
using Logos = PageRun;

constexpr int kPipPage = 4;
constexpr int kMosaicPage = 2;
constexpr int kLogoPage = 6;

// The requests of one type received since `from` (0-based index into the log).
std::vector<sim::ReceivedRequest> OfType(sim::VirtualProcessor& p, uint16_t type,
                                         std::size_t from = 0) {
  std::vector<sim::ReceivedRequest> found;
  const auto entries = p.Requests().Entries();
  for (std::size_t i = from; i < entries.size(); ++i)
    if (entries[i].type == type) found.push_back(entries[i]);
  return found;
}

int U16(const sim::ReceivedRequest& r, std::size_t at) {
  return r.head[at] | (r.head[at + 1] << 8);
}

int U32(const sim::ReceivedRequest& r, std::size_t at) {
  return U16(r, at) | (U16(r, at + 2) << 16);
}

TEST_F(Pips, SwitchAlphaAndSourceRoundTripWhileTheLogoHoldsPip3) {
  ASSERT_NO_FATAL_FAILURE(Connect(TestIp(41), [](sim::DeviceModel& m) {
    m.image().CHNLDATA[2] = {0, 20, 1, 0, 60, 60, 480, 270, 0};
    m.image().LOGOINFO.LOGOUSAGE = 1;
  }));
  auto* page = static_cast<MPIPDlg*>(Window().ColumnPage(kPipPage));
  Window().ShowPageByIndex(kPipPage, false);
  ASSERT_TRUE(page->isVisible());
  EXPECT_FALSE(page->Switch(1)->IsChecked());
  EXPECT_FALSE(page->AlphaEdit(1)->isEnabled());
  EXPECT_FALSE(page->Switch(2)->isEnabled());  // the logo holds PIP-3
  EXPECT_FALSE(page->SourceList(2)->isEnabled());

  // PIP-2 on: sent with its alpha; its controls open up.
  QTest::mouseClick(page->Switch(1), Qt::LeftButton);
  EXPECT_EQ(Request(1).type, SET_LAYER_ONOFF);
  EXPECT_EQ(Head(1, 3), (std::vector<uint8_t>{2, 1, 20}));
  EXPECT_TRUE(page->AlphaEdit(1)->isEnabled());
  EXPECT_TRUE(page->SourceList(1)->isEnabled());
  AwaitQuiet();
  Type(page->AlphaEdit(1), QStringLiteral("99"));  // clamped to 64
  EXPECT_EQ(Head(2, 3), (std::vector<uint8_t>{2, 1, 64}));
  AwaitQuiet();
  EXPECT_EQ(Image().CHNLDATA[2].CHNLALPHA, 64);
  EXPECT_EQ(page->AlphaEdit(1)->Slider()->GetPos(), 64);

  // A source is stored by its code (list rows skip absent inputs) and sent by the main window.
  CDropButton* list = page->SourceList(1);
  const int row = list->FindByData(2);
  ASSERT_GE(row, 0);
  Choose(list, row);
  DeliverPostedMessages();  // the page hands the choice on with a posted message
  EXPECT_EQ(Request(3).type, SET_LAYER_INPUT);
  EXPECT_EQ(Head(3, 3), (std::vector<uint8_t>{2, 2, 0}));
  AwaitQuiet();
  EXPECT_EQ(Image().CHNLDATA[2].CHNLINPUT, 2);
  EXPECT_EQ(list->List()->GetItemData(list->GetCurSel()), 2u);

  // SDI is listed but cannot be chosen.
  const std::size_t before = processor_->Requests().Size();
  const int sdi = list->FindByData(5);
  ASSERT_GE(sdi, 0);
  Choose(list, sdi);
  AwaitQuiet();
  EXPECT_EQ(processor_->Requests().Size(), before);
  EXPECT_EQ(Image().CHNLDATA[2].CHNLINPUT, 2);
}

TEST_F(Mosaics, LayoutPartValuesResetAndSwitchOffRoundTrip) {
  ASSERT_NO_FATAL_FAILURE(Connect(TestIp(42), [](sim::DeviceModel& m) {
    m.image().MOSAICSETT.MOSAICMODE = 2;
    m.image().MOSAICSETT.MOSAICAUTOARR = 0;
  }));
  auto* page = static_cast<MMosaicDlg*>(Window().ColumnPage(kMosaicPage));
  Window().ShowPageByIndex(kMosaicPage, false);
  ASSERT_TRUE(page->isVisible());
  EXPECT_TRUE(page->On());
  EXPECT_EQ(page->PressedLayout(), 1);
  EXPECT_FALSE(page->LayoutButton(3)->isEnabled());  // "Panel x 3" only from the device
  EXPECT_EQ(page->Edit(MosaicEdit::Width)->Value(), 960);

  EXPECT_EQ(page->ChosenPart(), 0);

  // "Panel x2_1": the new layout with the part chosen so far, then none chosen;
  // the re-reads, the wait box until the device's event.
  QTest::mouseClick(page->LayoutButton(2), Qt::LeftButton);
  EXPECT_EQ(Request(1).type, SET_MOSAIC);
  EXPECT_EQ(Head(1, 4), (std::vector<uint8_t>{0, 3, 0, 0}));
  EXPECT_EQ(State()->MOSAIC_BYTE2, kNoMosaicPart);
  AwaitQuiet();
  EXPECT_EQ(OfType(*processor_, QUERY73).size(), 1u);
  ASSERT_TRUE(PumpUntil([&] { return !Window().Wait().Shown(); }));
  EXPECT_EQ(Image().MOSAICSETT.MOSAICMODE, 3);
  EXPECT_EQ(page->PressedLayout(), 2);

  // The second part's picture: chosen, sent with kind 1, held by the processor.
  std::size_t mark = processor_->Requests().Size();
  QTest::mouseClick(page, Qt::LeftButton, Qt::NoModifier, page->PartRect(1).center());
  ASSERT_TRUE(processor_->Requests().WaitForSize(mark + 1, std::chrono::seconds(10)));
  AwaitQuiet();
  auto sets = OfType(*processor_, SET_MOSAIC, mark);
  ASSERT_EQ(sets.size(), 1u);
  EXPECT_EQ((std::vector<uint8_t>(sets[0].head.begin(), sets[0].head.begin() + 4)),
            (std::vector<uint8_t>{1, 3, 1, 0}));
  AwaitQuiet();
  EXPECT_EQ(Image().MOSAICSETT.MOSAICAUTOARR, 1);
  EXPECT_EQ(page->ChosenPart(), 1);
  EXPECT_FALSE(Window().Wait().Shown());

  // A width past the total is lowered to what the start leaves.
  mark = processor_->Requests().Size();
  Type(page->Edit(MosaicEdit::HStart), QStringLiteral("400"));
  AwaitQuiet();
  Type(page->Edit(MosaicEdit::Width), QStringLiteral("5000"));
  AwaitQuiet();
  sets = OfType(*processor_, SET_MOSAIC, mark);
  ASSERT_EQ(sets.size(), 2u);
  EXPECT_EQ(sets[1].head[0], 2);
  EXPECT_EQ(U32(sets[1], 4), 400);
  EXPECT_EQ(U32(sets[1], 12), 1920 - 400);
  EXPECT_EQ(Image().MOSAICSETT.HACT[0], 1520);
  EXPECT_EQ(page->Edit(MosaicEdit::Width)->Value(), 1520);

  // PIP-1's values, then "Reset" for it.
  QTest::mouseClick(page->Tabs().Tab(1), Qt::LeftButton);
  EXPECT_EQ(page->Edit(MosaicEdit::HStart)->Value(), 960);
  mark = processor_->Requests().Size();
  QTest::mouseClick(page->ResetButton(), Qt::LeftButton);
  AwaitQuiet();
  sets = OfType(*processor_, SET_MOSAIC, mark);
  ASSERT_EQ(sets.size(), 1u);
  EXPECT_EQ(sets[0].head[3], 1);
  EXPECT_EQ(sets[0].head[28], 1);
  EXPECT_EQ(Image().MOSAICSETT.HPOS[1], 0);
  EXPECT_EQ(Image().MOSAICSETT.VTOTAL[1], 1080);

  // Off: mode 0 sent, the pressed layout kept for the next switch-on.
  mark = processor_->Requests().Size();
  QTest::mouseClick(page->Switch(), Qt::LeftButton);
  AwaitQuiet();
  sets = OfType(*processor_, SET_MOSAIC, mark);
  ASSERT_EQ(sets.size(), 1u);
  EXPECT_EQ(sets[0].head[1], 0);
  EXPECT_EQ(OfType(*processor_, GET_LAYER_WINDOW, mark).size() >= 4, true);
  EXPECT_EQ(Image().MOSAICSETT.MOSAICMODE, 0);
  EXPECT_FALSE(page->On());
  EXPECT_EQ(page->PressedLayout(), 2);
  EXPECT_FALSE(page->Edit(MosaicEdit::Width)->isEnabled());
}

// A fresh page switched on sends a layout it offers and leaves the logo alone;
// the mode goes out with the part chosen so far, and none is chosen after it.
TEST_F(Mosaics, FirstSwitchOnSendsAnOfferedLayoutAndKeepsTheLogo) {
  ASSERT_NO_FATAL_FAILURE(Connect(TestIp(44), [](sim::DeviceModel& m) {
    m.image().MOSAICSETT.MOSAICMODE = 0;
    m.image().LOGOINFO.LOGOUSAGE = 1;
  }));
  auto* page = static_cast<MMosaicDlg*>(Window().ColumnPage(kMosaicPage));
  Window().ShowPageByIndex(kMosaicPage, false);
  ASSERT_TRUE(page->isVisible());
  ASSERT_FALSE(page->On());
  const uint8_t partBefore = State()->MOSAIC_BYTE2;

  QTest::mouseClick(page->Switch(), Qt::LeftButton);
  EXPECT_EQ(State()->MOSAIC_BYTE2, kNoMosaicPart);  // until the device's report comes
  EXPECT_EQ(State()->block.LOGOINFO.LOGOUSAGE, 1);
  EXPECT_TRUE(page->LayoutButton(page->PressedLayout())->isEnabled());
  AwaitQuiet();
  const auto sets = OfType(*processor_, SET_MOSAIC);
  ASSERT_EQ(sets.size(), 1u);
  EXPECT_EQ(sets[0].head[1], 1) << "\"Panel x 1\", the first layout the page offers";
  EXPECT_EQ(sets[0].head[2], partBefore);
  EXPECT_EQ(Image().LOGOINFO.LOGOUSAGE, 1);
  EXPECT_EQ(Image().MOSAICSETT.MOSAICMODE, 1);
}

TEST_F(Logos, MarkSaveUseLoadSwitchAndClearRoundTrip) {
  ASSERT_NO_FATAL_FAILURE(Connect(TestIp(43), [](sim::DeviceModel& m) {
    m.image().CHNLDATA[3] = {1, 64, 0, 0, 100, 50, 640, 360, 0};  // the DVI input, with a signal
  }));
  auto* page = static_cast<MLogoDlg*>(Window().ColumnPage(kLogoPage));
  Window().ShowPageByIndex(kLogoPage, false);
  ASSERT_TRUE(page->isVisible());
  AwaitQuiet();
  processor_->Requests().Clear();
  EXPECT_FALSE(page->LogoMode());
  EXPECT_EQ(page->Edit(LogoEdit::Width)->Value(), 640);
  EXPECT_FALSE(page->Switch()->isEnabled());

  // "Normal" while normal sends nothing; a start past the PIP-3 window shortens the mark.
  QTest::mouseClick(page->NormalButton(), Qt::LeftButton);
  Type(page->Edit(LogoEdit::HStart), QStringLiteral("500"));
  EXPECT_EQ(Request(1).type, SET_LOGO);
  EXPECT_EQ(Request(1).head[0], 3);
  EXPECT_EQ(U16(Request(1), 2), 100 + 500);
  EXPECT_EQ(U16(Request(1), 6), 140);
  EXPECT_EQ(page->Edit(LogoEdit::Width)->Value(), 140);
  AwaitQuiet();

  // "Save" into slot 1: the mark removed, the rectangle saved, the wait box down again.
  QTest::mouseClick(page->SaveLoadButton(0), Qt::LeftButton);
  EXPECT_EQ(Head(2, 2), (std::vector<uint8_t>{3, 0}));
  EXPECT_EQ(Head(3, 2), (std::vector<uint8_t>{2, 0}));
  EXPECT_EQ(U16(Request(3), 6), 140);
  AwaitQuiet();
  ASSERT_TRUE(PumpUntil([&] { return !Window().Wait().Shown(); }));
  EXPECT_EQ(Image().LOGOINFO.LOGOVALID[0], 1);
  EXPECT_EQ(Image().LOGOINFO.HACT[0], 140);
  EXPECT_EQ(page->ClearButton(0)->text(), UiQText(10));

  // "Logo": PIP-3 becomes the logo layer; the PIP page locks PIP-3.
  QTest::mouseClick(page->LogoButton(), Qt::LeftButton);
  EXPECT_EQ(Head(4, 1), (std::vector<uint8_t>{4}));
  EXPECT_EQ(Request(4).head[11], 1);
  AwaitQuiet();
  EXPECT_EQ(Image().LOGOINFO.LOGOUSAGE, 1);
  EXPECT_TRUE(page->LogoMode());
  EXPECT_TRUE(page->SaveLoadButton(0)->isEnabled());
  EXPECT_FALSE(page->SlotButton(1)->isEnabled());  // slot 2 holds no logo
  EXPECT_FALSE(page->Edit(LogoEdit::Width)->isEnabled());
  EXPECT_FALSE(static_cast<MPIPDlg*>(Window().ColumnPage(kPipPage))->Switch(2)->isEnabled());

  // A new place past the right edge is pulled in; switching on asks to load it first.
  Type(page->Edit(LogoEdit::HStart), QStringLiteral("1900"));
  EXPECT_EQ(page->Edit(LogoEdit::HStart)->Value(), 1920 - 140);
  EXPECT_TRUE(page->PositionChanged());
  AwaitQuiet();
  std::size_t mark = processor_->Requests().Size();
  {
    ScopedMessageBoxAnswer ok(kIdOk);
    QTest::mouseClick(page->Switch(), Qt::LeftButton);
  }
  AwaitQuiet();
  ASSERT_TRUE(PumpUntil([&] { return !Window().Wait().Shown(); }));
  auto logos = OfType(*processor_, SET_LOGO, mark);
  ASSERT_EQ(logos.size(), 3u);
  EXPECT_EQ(logos[1].head[0], 1);  // load
  EXPECT_EQ(U16(logos[1], 2), 1780);
  EXPECT_EQ(logos[2].head[0], 5);  // on
  EXPECT_EQ(logos[2].head[12], 1);
  EXPECT_EQ(Image().LOGOINFO.LOGOONOFF, 1);
  EXPECT_EQ(Image().LOGOINFO.HPOS[0], 1780);
  EXPECT_FALSE(page->PositionChanged());
  EXPECT_TRUE(page->Switch()->IsChecked());
  SavePicture(Window(), "logo-mode-en.png");

  // Clearing the current slot: the slot emptied at once on the page and at the processor.
  mark = processor_->Requests().Size();
  QTest::mouseClick(page->ClearButton(0), Qt::LeftButton);
  EXPECT_FALSE(page->SlotButton(0)->isEnabled());
  AwaitQuiet();
  logos = OfType(*processor_, SET_LOGO, mark);
  ASSERT_EQ(logos.size(), 1u);
  EXPECT_EQ(logos[0].head[0], 0);
  EXPECT_EQ(logos[0].head[10], 0);
  EXPECT_EQ(Image().LOGOINFO.LOGOVALID[0], 0);
  EXPECT_EQ(Image().LOGOINFO.LOGOONOFF, 0);
  EXPECT_EQ(page->ClearButton(0)->text(), QStringLiteral("O"));
}

}  // namespace
}  // namespace orv::test
