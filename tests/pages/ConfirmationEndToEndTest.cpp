// Writes the processor refuses, answers with other values or leaves
// unanswered, end to end: the virtual processor refuses (its own budget
// check, or on order of its control line), the panel's tracker settles the
// write, the operator's line says so, and the pages and the canvas show the
// processor's values again.
#include "CCell.h"
#include "CGdipButton.h"
#include "ConfirmationTracker.h"
#include "ControlChannel.h"
#include "MMainDlg.h"
#include "MOutputDlg.h"
#include "MainPageCells.h"
#include "MessageIds.h"
#include "PageRun.h"
#include "Timers.h"
#include "WriteOutcomeLine.h"

namespace orv::test {
namespace {

using ConfirmationRun = ConnectedWindowTest;

bool LineSays(OrvDlg& window, const QString& text) {
  return window.OutcomeLine()->Text().endsWith(text);
}

// With ORV_PAGE_SCREENSHOT set: the window as NAME-en.png and NAME-zh.png.
void Shoot(OrvDlg& window, const std::string& name) {
  for (int chinese : {0, 1}) {
    SendMsg(&window, UM_LANGUAGE, chinese);
    DeliverPostedMessages();
    SavePicture(window, (name + (chinese ? "-zh.png" : "-en.png")).c_str());
  }
  SendMsg(&window, UM_LANGUAGE, 0);
  DeliverPostedMessages();
}

TEST_F(ConfirmationRun, RefusedCustomResolutionPutsThePageAndCanvasBack) {
  ASSERT_NO_FATAL_FAILURE(Connect(TestIp(121), [](sim::DeviceModel&) {}));
  const OutputReso kept = Image().OUTPUTRESO;
  ASSERT_EQ(kept.HRESO, 1920);
  auto* page = Window().OutputPage();
  Window().ShowPageByIndex(1, false);
  const int keptIndex = page->ResolutionList()->GetCurSel();

  // 640 x 2160 at 60 Hz: within the panel's estimate with the timing rows
  // hidden, beyond the processor's pixel budget with the totals it is sent.
  QTest::mouseClick(page->ResolutionList(), Qt::LeftButton);
  CDropList* list = page->ResolutionList()->List();
  list->scrollToItem(list->item(MOutputDlg::kCustomIndex));
  QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                    list->visualItemRect(list->item(MOutputDlg::kCustomIndex)).center());
  DeliverPostedMessages();
  // The width first: the page lowers a height that does not fit the width shown.
  Type(page->WidthEdit(), QStringLiteral("640"));
  Type(page->HeightEdit(), QStringLiteral("2160"));
  ASSERT_EQ(page->WidthEdit()->Value(), 640);
  ASSERT_EQ(page->HeightEdit()->Value(), 2160);
  QTest::mouseClick(page->ApplyButton(), Qt::LeftButton);
  const sim::ReceivedRequest sent = Request(1);
  ASSERT_EQ(sent.type, SET_OUTPUT_TIMING);
  EXPECT_EQ(sent.head[1] | (sent.head[2] << 8), 640);

  ASSERT_TRUE(PumpUntil([&] {
    return LineSays(
        Window(), QStringLiteral("Output timing refused by the processor: over its pixel budget"));
  })) << Window().OutcomeLine()->Text().toStdString();
  // The image is read back: the record, the page and the canvas follow it.
  ASSERT_TRUE(PumpUntil([&] {
    return page->ResolutionList()->GetCurSel() == keptIndex &&
           Window().MainPage()->Cells()->Output(0)->DeviceRect().Width() == 1920;
  }));
  AwaitQuiet();
  EXPECT_EQ(Image().OUTPUTRESO.HRESO, 1920);
  {
    auto s = State();
    EXPECT_EQ(s->block.OUTPUTRESO.HRESO, 1920);
    EXPECT_EQ(s->block.OUTPUTRESO.VRESO, 1080);
  }
  EXPECT_EQ(page->WidthEdit()->Value(), 1920);
  EXPECT_EQ(Window().MainPage()->Cells()->Output(0)->DeviceRect().Height(), 1080);
  EXPECT_GE(Sent(GET_ALL), 1u);
  EXPECT_EQ(Window().Confirmations()->Stats().refused, 1u);
  Shoot(Window(), "confirm-refused");
}

struct OrderCase {
  const char* controlLine;
  const char* line;   // what the operator's line ends with
  int64_t advanceMs;  // manual time run after the send (the answer time)
  bool readBack;      // the window is asked for again
  WriteVerdict verdict;
};

// Each control-line order through the whole path: a layer window typed on the
// output page, the processor's answer, the outcome, the line, the page.
TEST_F(ConfirmationRun, ControlLineOrdersRunThroughTheWholePath) {
  const OrderCase cases[] = {
      {"refuse-next 4",
       "Layer window refused by the processor: refused on order of its control line", 0, true,
       WriteVerdict::Refused},
      {"ignore-next 4", "Layer window not confirmed by the processor; reading it back", 1000, true,
       WriteVerdict::Unconfirmed},
      // Byte 5 is the low byte of the width.
      {"alter-next 4 5", "Layer window: the processor keeps other values; the panel shows them", 0,
       false, WriteVerdict::Disagreed},
  };
  ASSERT_NO_FATAL_FAILURE(Connect(TestIp(122), [](sim::DeviceModel&) {}));
  auto* page = Window().OutputPage();
  Window().ShowPageByIndex(1, false);
  std::vector<WriteOutcome> outcomes;
  const int observer = AddOutcomeObserver([&outcomes](const WriteOutcome& o) {
    if (o.verdict != WriteVerdict::Confirmed) outcomes.push_back(o);
  });
  int width = 900;
  for (const OrderCase& c : cases) {
    SCOPED_TRACE(c.controlLine);
    AwaitQuiet();
    outcomes.clear();
    const int32_t before = Image().CHNLDATA[0].HACT;
    ASSERT_TRUE(sim::ExecuteControlLine(*processor_, c.controlLine).starts_with("ok"));
    const std::size_t windowReads = Sent(GET_LAYER_WINDOW);
    const std::size_t windowWrites = Sent(SET_LAYER_WINDOW);
    width -= 50;
    Type(page->WindowEdit(2), QString::number(width));
    ASSERT_TRUE(PumpUntil([&] { return Sent(SET_LAYER_WINDOW) > windowWrites; }));
    if (c.advanceMs > 0) {
      AwaitQuiet();
      EXPECT_TRUE(outcomes.empty());  // nothing is late before the answer time
      AdvanceManualTime(c.advanceMs);
    }
    ASSERT_TRUE(PumpUntil([&] { return LineSays(Window(), QString::fromUtf8(c.line)); }))
        << Window().OutcomeLine()->Text().toStdString();
    AwaitQuiet();
    ASSERT_EQ(outcomes.size(), 1u);
    EXPECT_EQ(outcomes[0].type, SET_LAYER_WINDOW);
    EXPECT_EQ(outcomes[0].verdict, c.verdict);
    EXPECT_EQ(Sent(GET_LAYER_WINDOW) > windowReads, c.readBack);
    // The page shows what the processor holds.
    const int32_t held = Image().CHNLDATA[0].HACT;
    EXPECT_EQ(held, c.verdict == WriteVerdict::Disagreed ? width + 1 : before);
    EXPECT_EQ(static_cast<int32_t>(page->WindowEdit(2)->Value()), held);
    EXPECT_EQ(State()->block.CHNLDATA[0].HACT, held);
  }
  RemoveOutcomeObserver(observer);
}

}  // namespace
}  // namespace orv::test
