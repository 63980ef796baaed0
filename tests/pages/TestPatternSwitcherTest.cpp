// The test pattern page and the switcher page: their rules against the
// recording library, and one run each against a virtual processor.
#include <QTest>

#include "CDropList.h"
#include "CGdipButton.h"
#include "CPictureCtrl.h"
#include "GrabSwatch.h"
#include "MMainDlg.h"
#include "MSubTitleDlg.h"
#include "MSwitcherDlg.h"
#include "MTstPatternDlg.h"
#include "MessageIds.h"
#include "PageRun.h"
#include "PageTable.h"
#include "oBitmapSlider.h"
#include "oSliderEdit.h"

namespace orv::test {
namespace {

using PatternRules = MainWindowTest;
using SwitcherRules = MainWindowTest;
using PatternRun = PageRun;
using SwitcherRun = PageRun;

std::vector<TypedSend> SendsOf(const FakeCommLibrary& library, uint16_t type) {
  return library.TypedSendsOf(type);
}

void ShowPatternTab(OrvDlg& window, bool show) {
  SendMsg(&window, UM_PAGE_REQUEST, request::kMiscTab, 0, QVariantList{2, show ? 1 : 0});
  DeliverPostedMessages();
}

void Commit(oRealEdit* edit, const QString& text) {
  edit->setText(text);
  edit->Commit(true);
  DeliverPostedMessages();
}

void Click(QWidget* w) {
  QTest::mouseClick(w, Qt::LeftButton);
  DeliverPostedMessages();
}

MSwitcherDlg* Switcher(OrvDlg& window) {
  return static_cast<MSwitcherDlg*>(window.ColumnPage(3));
}

TEST_F(PatternRules, StepsStayInRangeAndTheGrabReleasesThePatternButNotItsLock) {
  MTstPatternDlg* page = Window().TestPatternPage();
  ShowPatternTab(Window(), true);
  ASSERT_TRUE(page->isVisible());
  {
    auto s = State();
    s->block.OUTPUTRESO.HRESO = 1920;
    s->block.OUTPUTRESO.VRESO = 1080;
  }
  EXPECT_EQ(page->PatternSwitch()->text(), QStringLiteral("0ff"));
  EXPECT_FALSE(page->NextButton()->isEnabled());

  Click(page->PatternSwitch());
  EXPECT_EQ(page->PatternSwitch()->text(), QStringLiteral("0n"));
  EXPECT_TRUE(Window().LayersLocked());
  EXPECT_FALSE(Window().Button(strip::kTake)->isEnabled());
  EXPECT_EQ(SendsOf(Library(), SET_TEST_PATTERN).back().bytes[0], 1);
  // "<<" at 1 stays at 1; ">>" at 111 stays at 111.
  Click(page->PreviousButton());
  EXPECT_EQ(SendsOf(Library(), SET_TEST_PATTERN).back().bytes[0], 1);
  Commit(page->PatternEdit(), QStringLiteral("111"));
  EXPECT_EQ(SendsOf(Library(), SET_TEST_PATTERN).back().bytes[0], 111);
  Click(page->NextButton());
  EXPECT_EQ(SendsOf(Library(), SET_TEST_PATTERN).back().bytes[0], 111);
  EXPECT_EQ(page->PatternSlider()->GetPos(), 111);
  const std::size_t patternSends = SendsOf(Library(), SET_TEST_PATTERN).size();

  // The grab releases the switch ("Off") without a pattern command; the lock stays.
  Click(page->GrabSwitch());
  EXPECT_EQ(page->PatternSwitch()->text(), QStringLiteral("Off"));
  EXPECT_FALSE(page->PatternEdit()->isEnabled());
  EXPECT_EQ(SendsOf(Library(), SET_TEST_PATTERN).size(), patternSends);
  EXPECT_EQ(State()->TESTPATTERN_ID, 111);
  EXPECT_TRUE(Window().LayersLocked());
  EXPECT_EQ(SendsOf(Library(), SET_PIXEL_GRAB).back().bytes[0], 1);
  EXPECT_TRUE(page->HStartEdit()->isEnabled());

  // A horizontal start of 5000 on a 1920-pixel output becomes 1919.
  Commit(page->HStartEdit(), QStringLiteral("5000"));
  EXPECT_EQ(page->HStartEdit()->Value(), 1919);
  const auto grab = SendsOf(Library(), SET_PIXEL_GRAB).back().bytes;
  EXPECT_EQ(std::vector<uint8_t>(grab.begin(), grab.begin() + 6),
            (std::vector<uint8_t>{1, 0x7F, 0x07, 0, 0, 0x55}));

  // The swatch takes the low bytes; the text shows the values whole.
  EXPECT_FALSE(page->Swatch()->Colour());
  {
    auto s = State();
    s->PIXEL_GRAB[0] = 300;
    s->PIXEL_GRAB[1] = 20;
    s->PIXEL_GRAB[2] = 20;
  }
  SendMsg(page, UM_TEST_PATTERN_REFRESH);
  EXPECT_EQ(page->Swatch()->Colour(), QColor(44, 20, 20));
  EXPECT_EQ(page->Swatch()->Text(), QStringLiteral("R:300   G:20    B:20"));

  // Hiding the page while the pattern is in use switches it off and unlocks.
  ShowPatternTab(Window(), false);
  EXPECT_EQ(SendsOf(Library(), SET_TEST_PATTERN).back().bytes[0], 0);
  EXPECT_FALSE(Window().LayersLocked());
  EXPECT_FALSE(page->PatternActive());
}

TEST_F(PatternRules, CaptionButtonSwitchesThePatternOffAndShowsTheCaptionPage) {
  MTstPatternDlg* page = Window().TestPatternPage();
  ShowPatternTab(Window(), true);
  Click(page->PatternSwitch());
  ASSERT_TRUE(Window().LayersLocked());
  Click(page->CaptionButton());
  EXPECT_TRUE(Window().CaptionPage()->isVisible());
  EXPECT_EQ(page->PatternSwitch()->text(), QStringLiteral("Off"));
  EXPECT_EQ(SendsOf(Library(), SET_TEST_PATTERN).back().bytes[0], 0);
  EXPECT_FALSE(Window().LayersLocked());
  EXPECT_TRUE(SendsOf(Library(), SET_PIXEL_GRAB).empty());

  // Switching the pattern on hides the caption page again.
  Click(page->PatternSwitch());
  EXPECT_FALSE(Window().CaptionPage()->isVisible());
}

TEST_F(SwitcherRules, SwitchPanelsFadeAndTheSerialTakeMode) {
  MSwitcherDlg* page = Switcher(Window());
  Window().ShowPageByIndex(3, false);
  EXPECT_FALSE(page->FadeList()->isEnabled());

  // On with panel 0 sends mode 1, shows the wait box, asks for both keyers.
  Click(page->ModeSwitch());
  EXPECT_EQ(SendsOf(Library(), SET_PVW_MODE).back().bytes[0], 1);
  EXPECT_TRUE(Window().Wait().Shown());
  SendMsg(&Window(), UM_WAIT, 0);  // the recording library never answers
  const auto keyers = SendsOf(Library(), GET_KEYER);
  ASSERT_EQ(keyers.size(), 2u);
  EXPECT_EQ(keyers[0].bytes[0], 1);
  EXPECT_EQ(keyers[1].bytes[0], 3);
  EXPECT_TRUE(page->FadeList()->isEnabled());
  EXPECT_TRUE(page->PanelButton(0)->isEnabled());
  EXPECT_FALSE(page->PanelButton(1)->isEnabled());
  // The current panel again sends nothing.
  Click(page->PanelButton(0));
  EXPECT_EQ(SendsOf(Library(), SET_PVW_MODE).size(), 1u);

  // The fade list sends the chosen index.
  SendMsg(page, UM_LIST_SELECT, MSwitcherDlg::kFadeListId, 6);
  EXPECT_EQ(SendsOf(Library(), SET_TRANSITION_TIME).back().bytes[0], 6);
  EXPECT_EQ(State()->block.PVWMODEINFO.PVWDTIME, 6);

  // Off sends 0 and disables the mode controls.
  Click(page->ModeSwitch());
  SendMsg(&Window(), UM_WAIT, 0);
  EXPECT_EQ(SendsOf(Library(), SET_PVW_MODE).back().bytes[0], 0);
  EXPECT_FALSE(page->PanelButton(0)->isEnabled());
  EXPECT_FALSE(page->FadeList()->isEnabled());

  // Over a serial line the multi-machine mode is refused with a message.
  { State()->NET_MODE = 0; }
  Click(page->MultiSwitch());
  EXPECT_FALSE(page->MultiSwitch()->IsChecked());
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].text,
            QStringLiteral("In Serial Interface mode Take Function is not available"));
  EXPECT_EQ(State()->SWITCH_MODE, 0);
  { State()->NET_MODE = 1; }
  Click(page->MultiSwitch());
  EXPECT_EQ(State()->SWITCH_MODE, 1);
}

TEST_F(SwitcherRules, ReadBackShowsTheDualPanelAndIgnoresUnknownModes) {
  MSwitcherDlg* page = Switcher(Window());
  {
    auto s = State();
    s->block.PVWMODEINFO.PVWMODE = 2;
    s->block.PVWMODEINFO.PVWDTIME = 4;
  }
  page->RefreshFromDevice();
  EXPECT_TRUE(page->PanelButton(1)->IsChecked());
  EXPECT_FALSE(page->PanelButton(0)->IsChecked());
  EXPECT_FALSE(page->PanelButton(1)->isEnabled());
  EXPECT_EQ(page->CurrentPanel(), 1);
  EXPECT_EQ(page->FadeList()->GetCurSel(), 4);
  EXPECT_TRUE(page->ModeSwitch()->IsChecked());

  // A mode or fade outside the tables changes nothing.
  {
    auto s = State();
    s->block.PVWMODEINFO.PVWMODE = 9;
    s->block.PVWMODEINFO.PVWDTIME = 12;
  }
  page->RefreshFromDevice();
  EXPECT_TRUE(page->ModeSwitch()->IsChecked());
  EXPECT_EQ(page->CurrentPanel(), 1);
  EXPECT_EQ(page->FadeList()->GetCurSel(), 4);

  // "Panel x 1" from the dual layout: mode 1, then the mode is read back.
  Window().ShowPageByIndex(3, false);
  Click(page->PanelButton(0));
  EXPECT_EQ(SendsOf(Library(), SET_PVW_MODE).back().bytes[0], 1);
  EXPECT_EQ(SendsOf(Library(), GET_PVW_MODE).size(), 1u);
  EXPECT_TRUE(SendsOf(Library(), GET_KEYER).empty());
}

TEST_F(SwitcherRun, ProgramPreviewOnFadeAndTakeRoundTrip) {
  ASSERT_NO_FATAL_FAILURE(Connect(TestIp(31), [](sim::DeviceModel& m) {
    auto& pv = m.image().PVWMODEINFO;
    pv.PVWMODE = 0;
    pv.PVWDTIME = 0;
    std::fill(std::begin(pv.PGMSTATE), std::end(pv.PGMSTATE), 0);
    pv.PGMSTATE[0] = 1;
  }));
  MSwitcherDlg* page = Switcher(Window());
  Window().ShowPageByIndex(3, false);
  ASSERT_FALSE(Window().MainPage()->Canvas()->Halves());

  // On: the processor switches, reports and ends the wait with its event.
  Click(page->ModeSwitch());
  EXPECT_EQ(Request(1).type, SET_PVW_MODE);
  EXPECT_EQ(Request(1).FirstByte(), 1);
  ASSERT_TRUE(PumpUntil([&] { return !Window().Wait().Shown(); }));
  EXPECT_EQ(Image().PVWMODEINFO.PVWMODE, 1);
  EXPECT_TRUE(Window().MainPage()->Canvas()->Halves());
  EXPECT_TRUE(Window().Button(strip::kTake)->isVisible());
  EXPECT_TRUE(page->PanelButton(0)->IsChecked());

  // A fade of 1.0 s: the take is acknowledged at once and reported after the fade.
  AwaitQuiet();
  processor_->Requests().Clear();
  Choose(page->FadeList(), 5);
  EXPECT_EQ(Request(1).type, SET_TRANSITION_TIME);
  EXPECT_EQ(Request(1).FirstByte(), 5);
  AwaitQuiet();
  EXPECT_EQ(Image().PVWMODEINFO.PVWDTIME, 5);
  EXPECT_EQ(page->FadeList()->GetCurSel(), 5);
  const auto takenAt = std::chrono::steady_clock::now();
  Click(Window().Button(strip::kTake));
  ASSERT_TRUE(PumpUntil([&] { return State()->block.PVWMODEINFO.PGMSTATE[1] == 1; }));
  EXPECT_GE(std::chrono::steady_clock::now() - takenAt, std::chrono::milliseconds(900));
  EXPECT_EQ(Image().PVWMODEINFO.PGMSTATE[0], 0);

  Window().resize(1280, 728);
  SavePicture(Window(), "switcher-en.png");
  SendMsg(&Window(), UM_LANGUAGE, 1);
  EXPECT_EQ(page->TitleText(), QStringLiteral("切换台模式"));
  EXPECT_EQ(page->PanelButton(0)->text(), QStringLiteral("单屏 x 1"));
  SavePicture(Window(), "switcher-zh.png");
}

TEST_F(PatternRun, PatternLocksTheLayersShowsInTheOutputAndTheGrabReadsIt) {
  ASSERT_NO_FATAL_FAILURE(Connect(TestIp(32), [](sim::DeviceModel& m) {
    m.image().PVWMODEINFO.PVWMODE = 0;
    m.image().OUTPUTRESO.HRESO = 1920;
    m.image().OUTPUTRESO.VRESO = 1080;
  }));
  MTstPatternDlg* page = Window().TestPatternPage();
  ShowPatternTab(Window(), true);
  ASSERT_TRUE(page->isVisible());

  // Pattern 2 is solid red: switched on, then stepped from 1.
  Click(page->PatternSwitch());
  EXPECT_EQ(Request(1).type, SET_TEST_PATTERN);
  EXPECT_EQ(Request(1).FirstByte(), 1);
  EXPECT_TRUE(Window().LayersLocked());
  Click(page->NextButton());
  EXPECT_EQ(Request(2).FirstByte(), 2);
  AwaitQuiet();
  EXPECT_EQ(processor_->WithModel([](sim::DeviceModel& m) { return int{m.testPattern()}; }), 2);

  // The grab asks the processor for a pixel of its output: the pattern's red.
  Click(page->GrabSwitch());
  EXPECT_EQ(Request(3).type, SET_PIXEL_GRAB);
  Commit(page->HStartEdit(), QStringLiteral("100"));
  EXPECT_EQ(Head(4, 3), (std::vector<uint8_t>{1, 100, 0}));
  ASSERT_TRUE(PumpUntil([&] { return page->Swatch()->Colour() == QColor(255, 0, 0); }));
  EXPECT_EQ(page->Swatch()->Text(), QStringLiteral("R:255   G:0    B:0"));

  Window().resize(1280, 728);
  SavePicture(Window(), "testpattern-en.png");
  SendMsg(&Window(), UM_LANGUAGE, 1);
  EXPECT_EQ(page->TitleText(), QStringLiteral("测试画面"));
  EXPECT_EQ(page->CaptionButton()->text(), QStringLiteral("字幕设置"));
  SavePicture(Window(), "testpattern-zh.png");

  // The caption button ends the grab; the pattern, released by the grab,
  // stays in use until the page is hidden, and with it the lock.
  AwaitQuiet();
  processor_->Requests().Clear();
  Click(page->CaptionButton());
  EXPECT_EQ(Request(1).type, SET_PIXEL_GRAB);
  EXPECT_EQ(Request(1).FirstByte(), 0);
  EXPECT_TRUE(Window().CaptionPage()->isVisible());
  EXPECT_TRUE(Window().LayersLocked());
  ShowPatternTab(Window(), false);
  EXPECT_EQ(Request(2).type, SET_TEST_PATTERN);
  EXPECT_EQ(Request(2).FirstByte(), 0);
  EXPECT_FALSE(Window().LayersLocked());
  AwaitQuiet();
  EXPECT_EQ(processor_->WithModel([](sim::DeviceModel& m) { return int{m.testPattern()}; }), 0);
}

}  // namespace
}  // namespace orv::test
