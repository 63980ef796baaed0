// The control strip against a virtual processor on the test's own loopback
// subnet, with the real library: a slot click changes the layer's input on
// the processor and the canvas; TAKE swaps program and preview after the
// fade and ends the wait; a saved preset brings its layout back.
#include <chrono>

#include <QTest>

#include "CGdipButton.h"
#include "CommandEncoder.h"
#include "DeviceState.h"
#include "LivePreview.h"
#include "MMainDlg.h"
#include "MainPageCells.h"
#include "Messages.h"
#include "PageTable.h"
#include "PixelNear.h"
#include "PreviewPicture.h"
#include "ProcessorWindowFixture.h"
#include "VideoPreview.h"
#include "WaitBox.h"

namespace orv::test {
namespace {

class StripEndToEnd : public ProcessorWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    StartProcessor(2);
  }
  void ConnectAndReadBack() {
    ProcessorWindowTest::ConnectAndReadBack();
    // The follow-up requests of the read-back have their answers too.
    ASSERT_TRUE(PumpUntil([&] { return Sent(QUERY68) > 0; }));
    DeliverPostedMessages();
  }
  CCell* Layer(int i) { return Window().MainPage()->Cells()->Layer(i); }
};

TEST_F(StripEndToEnd, ASlotClickRoutesTheLayerOnTheProcessorAndTheCanvas) {
  processor_->SetPreviewOffered(true);
  ConnectAndReadBack();
  const strip::SlotRect& r = Window().Strip().Layout().Slot(3);
  QWidget* target = Window().childAt(QPoint(r.left + 5, r.top + 5));
  ASSERT_NE(target, nullptr);
  QTest::mouseClick(target, Qt::LeftButton, {},
                    target->mapFrom(&Window(), QPoint(r.left + 5, r.top + 5)));
  ASSERT_TRUE(PumpUntil([&] { return processor_->Image().CHNLDATA[0].CHNLINPUT == 3; }));
  EXPECT_EQ(Sent(SET_LAYER_INPUT), 1u);
  // The Main cell's live video shows input 3's colour (right of its large
  // letters, above its clock).
  auto* live = dynamic_cast<mainpage::LivePreview*>(Window().MainPage()->Preview());
  ASSERT_NE(live, nullptr);
  const canvas::Rect cell = Layer(0)->CanvasRect();
  const sim::Rgb colour = sim::InputColour(3);
  EXPECT_TRUE(PumpUntil([&] {
    preview::CellVideoWidget* video = live->Preview().Cell(0);
    return video != nullptr &&
           PixelNear(video->target().PixelAt(cell.Width() * 7 / 8, cell.Height() / 3), colour.r,
                     colour.g, colour.b, 40);
  }));
  std::string name;
  { name = State()->INPUT_TABLE[3].name; }
  EXPECT_TRUE(Layer(0)->Name().contains(QString::fromStdString(name)))
      << Layer(0)->Name().toStdString();
}

TEST_F(StripEndToEnd, PluggingAndUnpluggingASourceShowsOnItsSlot) {
  ConnectAndReadBack();
  const strip::SlotRect& r = Window().Strip().Layout().Slot(3);
  auto lampIsGreen = [&] {
    const QImage shot = Window().grab().toImage();
    const QColor lamp = shot.pixelColor(r.left + 6, r.bottom + 6);
    return lamp.green() > 150 && lamp.red() < 100;
  };
  ASSERT_FALSE(lampIsGreen());
  processor_->SetSignal(3, true, 1280, 720, 5000);
  ASSERT_TRUE(PumpUntil([&] {
    auto s = State();
    return s->block.INPUTINFO.INPUTSTATE[3] != 0 &&
           s->block.INPUTINFO.INPUTRESO[3].INPUTRESOHACT == 1280;
  }));
  DeliverPostedMessages();
  EXPECT_TRUE(lampIsGreen());
  processor_->SetSignal(3, false);
  ASSERT_TRUE(PumpUntil([&] { return State()->block.INPUTINFO.INPUTSTATE[3] == 0; }));
  DeliverPostedMessages();
  EXPECT_FALSE(lampIsGreen());
}

TEST_F(StripEndToEnd, TakeSwapsProgramAndPreviewAfterTheFadeAndEndsTheWait) {
  processor_->WithModel([](sim::DeviceModel& m) {
    auto& pv = m.image().PVWMODEINFO;
    pv.PVWMODE = 1;
    pv.PVWDTIME = 4;  // half a second
    for (int i = 0; i < 4; ++i) {
      pv.PGMSTATE[i] = i < 2 ? 1 : 0;
      pv.PVWSTATE[i] = i < 2 ? 0 : 1;
      m.image().CHNLDATA[i].CHNLONOFF = 1;
    }
    return 0;
  });
  ConnectAndReadBack();
  CGdipButton* take = Window().Button(strip::kTake);
  ASSERT_TRUE(take->isVisible());
  const canvas::Point programCorner = Layer(0)->Origin();
  const canvas::Point previewCorner = Layer(2)->Origin();
  ASSERT_NE(programCorner, previewCorner);
  EXPECT_FALSE(Window().Button(strip::kPgmFirst + 2)->IsChecked());

  const auto started = std::chrono::steady_clock::now();
  QTest::mouseClick(take, Qt::LeftButton);
  EXPECT_TRUE(Window().Wait().Shown());
  ASSERT_TRUE(PumpUntil([&] { return !Window().Wait().Shown(); }));
  EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(450));
  ASSERT_TRUE(PumpUntil([&] { return Layer(2)->Origin() == programCorner; }));
  EXPECT_EQ(Layer(0)->Origin(), previewCorner);
  EXPECT_EQ(State()->block.PVWMODEINFO.PGMSTATE[2], 1);
  EXPECT_TRUE(Window().Button(strip::kPgmFirst + 2)->IsChecked());
  EXPECT_FALSE(Window().Button(strip::kPgmFirst + 2)->isEnabled());
  EXPECT_TRUE(Boxes().empty()) << "no time-out message";
}

TEST_F(StripEndToEnd, ASavedPresetBringsItsLayoutBack) {
  ConnectAndReadBack();
  const ChannelData saved = processor_->Image().CHNLDATA[1];
  QTest::mouseClick(Window().Button(strip::kPresetFirst + 2), Qt::LeftButton);
  QTest::mouseClick(Window().Button(strip::kSave), Qt::LeftButton);
  ASSERT_TRUE(PumpUntil([&] {
    return processor_->WithModel([](sim::DeviceModel& m) { return m.presetFlags()[2]; }) == 1;
  }));
  EXPECT_FALSE(Window().Button(strip::kPresetFirst + 2)->DisabledLook());

  // Another layout: PIP-1 moved.
  {
    auto s = State();
    s->block.CHNLDATA[1].HPOS = 40;
    s->block.CHNLDATA[1].VPOS = 30;
  }
  SendCommand(SET_LAYER_WINDOW, 1);
  ASSERT_TRUE(PumpUntil([&] { return processor_->Image().CHNLDATA[1].HPOS == 40; }));
  const canvas::Rect moved = Layer(1)->DeviceRect();

  const std::size_t getAllBefore = Sent(GET_ALL);
  QTest::mouseClick(Window().Button(strip::kLoad), Qt::LeftButton);
  ASSERT_TRUE(PumpUntil([&] { return Sent(GET_ALL) > getAllBefore; }));
  ASSERT_TRUE(PumpUntil([&] { return !Window().Wait().Shown(); }));
  ASSERT_TRUE(PumpUntil([&] { return State()->block.CHNLDATA[1].HPOS == saved.HPOS; }));
  DeliverPostedMessages();
  EXPECT_EQ(State()->block.CHNLDATA[1].VPOS, saved.VPOS);
  EXPECT_NE(Layer(1)->DeviceRect(), moved);
  EXPECT_EQ(Layer(1)->DeviceRect().left - Layer(1)->Origin().x, saved.HPOS);
  ASSERT_EQ(Boxes().size(), 1u);  // only the confirmation of the save
  EXPECT_EQ(Boxes()[0].text, QStringLiteral("Save The Preset?"));
}

}  // namespace
}  // namespace orv::test
