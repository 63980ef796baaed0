// The main page with the real main window, the real library and a virtual
// processor on loopback: started connected (as --connect does), the canvas
// shows the processor's layer windows; a drag of the Main layer with real
// mouse events sends its device window, the processor reports it back and
// the cell stays; the program/preview modes split the canvas into halves.
#include <atomic>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include <QTest>

#include "AppTestSupport.h"
#include "CGdipButton.h"
#include "CPictureCtrl.h"
#include "CommandEncoder.h"
#include "ControlId.h"
#include "DeviceState.h"
#include "LivePreview.h"
#include "MBaseDialog.h"
#include "MMainDlg.h"
#include "MShowVideoDlg.h"
#include "MainPageCells.h"
#include "Messages.h"
#include "OrvComm.h"
#include "PageTable.h"
#include "PixelNear.h"
#include "PreviewPicture.h"
#include "ProcessorWindowFixture.h"
#include "ReplySink.h"
#include "SerialPorts.h"
#include "StartConnection.h"
#include "TestNet.h"
#include "VideoPreview.h"
#include "VirtualProcessor.h"
#include "WaitBox.h"

namespace orv::test {
namespace {

using canvas::Rect;
using mainpage::Origin;

// Passes every reply on to the main window and counts the ones the test waits for.
class CountingSink : public ReplySink {
 public:
  explicit CountingSink(ReplySink& target) : target_(target) {}
  void RefreshAfterReply(int type, int arg) override {
    target_.RefreshAfterReply(type, arg);
    if (type == 10) ++layerWindows;
    if (type == 20) ++pvwModes;
  }
  void BusyOn(int text) override { target_.BusyOn(text); }
  void BusyOff() override { target_.BusyOff(); }
  void EdidApplyResult() override { target_.EdidApplyResult(); }
  void VgaAdjustResult() override { target_.VgaAdjustResult(); }
  void CaptionChunkAcknowledged() override { target_.CaptionChunkAcknowledged(); }
  void EnableCaptionPage() override { target_.EnableCaptionPage(); }
  void CaptionUploadStart(bool ok) override { target_.CaptionUploadStart(ok); }
  void RefreshVideoSettings() override { target_.RefreshVideoSettings(); }
  void BoardRefresh() override { target_.BoardRefresh(); }
  void FeedVideoPacket(int channel, std::span<const uint8_t> bytes) override {
    target_.FeedVideoPacket(channel, bytes);
  }
  std::atomic<int> layerWindows{0};
  std::atomic<int> pvwModes{0};

 private:
  ReplySink& target_;
};

class MainPageEndToEnd : public ProcessorWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    StartProcessor(2, true);
    // A Main window smaller than the output, so that it can be dragged.
    processor_->WithModel([](sim::DeviceModel& m) {
      m.image().CHNLDATA[0] = {1, 255, 0, 0, 240, 120, 960, 540, 0};
      return 0;
    });
    sink_ = std::make_unique<CountingSink>(Window());
    SetReplySink(sink_.get());
  }
  void TearDown() override {
    SetReplySink(nullptr);
    ProcessorWindowTest::TearDown();
  }
  MMainDlg& Page() { return *Window().MainPage(); }
  CCell* Layer(int i) { return Page().Cells()->Layer(i); }
  std::vector<sim::ReceivedRequest> LayerWindowSends() {
    std::vector<sim::ReceivedRequest> out;
    for (const auto& r : processor_->Requests().Entries()) {
      if (r.kind == wire::FrameKind::Command && r.type == SET_LAYER_WINDOW) out.push_back(r);
    }
    return out;
  }
  // Output area 1's corner; the plane's margin scales with each resolution
  // change, so it depends on the resolution the project had before.
  canvas::Point FirstAreaCorner() {
    const Rect area = Page().Cells()->Output(0)->DeviceRect();
    return {area.left, area.top};
  }
  // Device rectangle of layer `i` relative to its cell's origin.
  static Rect Relative(const CCell& cell) {
    const Rect d = cell.DeviceRect();
    return d.Offset(-cell.Origin().x, -cell.Origin().y);
  }

  std::unique_ptr<CountingSink> sink_;
};

uint16_t U16(const sim::ReceivedRequest& r, std::size_t at) {
  return static_cast<uint16_t>(r.head.at(at) | (r.head.at(at + 1) << 8));
}

TEST_F(MainPageEndToEnd, ReadBackShowsTheLayersAndADragSendsTheDroppedWindow) {
  ConnectAndReadBack();
  EXPECT_EQ(State()->DEVICE_IP, ip_) << "the connected processor is named";
  // The processor's windows, on output area 1: Main and PIP-1 on, PIP-2 and PIP-3 off.
  const ParamBlock image = processor_->Image();
  for (int i = 0; i < 4; ++i) {
    const ChannelData& c = image.CHNLDATA[i];
    SCOPED_TRACE(i);
    EXPECT_EQ(Relative(*Layer(i)), (Rect{c.HPOS, c.VPOS, c.HPOS + c.HACT, c.VPOS + c.VACT}));
    EXPECT_EQ(Layer(i)->Origin(), FirstAreaCorner());
    EXPECT_EQ(Layer(i)->IsHidden(), c.CHNLONOFF == 0);
  }
  EXPECT_FALSE(Page().Cells()->Output(0)->IsHidden());
  EXPECT_TRUE(Page().Cells()->Output(1)->IsHidden());

  // Drag the Main layer by its middle, 30 canvas pixels right and 20 down.
  CPictureCtrl* canvas = Page().Canvas();
  const Rect before = Layer(0)->CanvasRect();
  const QPoint grab((before.left + before.right) / 2, (before.top + before.bottom) / 2);
  const QPoint drop = grab + QPoint(30, 20);
  const std::size_t sentBefore = LayerWindowSends().size();
  const int reportsBefore = sink_->layerWindows;
  QTest::mousePress(canvas, Qt::LeftButton, Qt::NoModifier, grab);
  DeliverPostedMessages();
  for (int step = 1; step <= 10; ++step) QTest::mouseMove(canvas, grab + (drop - grab) * step / 10);
  QTest::mouseRelease(canvas, Qt::LeftButton, Qt::NoModifier, drop);
  ASSERT_TRUE(PumpUntil([&] { return LayerWindowSends().size() > sentBefore; }));

  const Rect dropped = Relative(*Layer(0));
  EXPECT_NE(dropped, (Rect{240, 120, 1200, 660})) << "the drag moved the window";
  EXPECT_EQ(dropped.Width(), 960);
  EXPECT_EQ(dropped.Height(), 540);
  const sim::ReceivedRequest sent = LayerWindowSends().back();
  EXPECT_EQ(sent.head.at(0), 0) << "layer 0";
  EXPECT_EQ(U16(sent, 1), dropped.left);
  EXPECT_EQ(U16(sent, 3), dropped.top);
  EXPECT_EQ(U16(sent, 5), dropped.Width());
  EXPECT_EQ(U16(sent, 7), dropped.Height());
  EXPECT_EQ(State()->ACTIVE_LAYER, 0);

  // The processor reports the window back; the cell stays where it was dropped.
  ASSERT_TRUE(PumpUntil([&] { return sink_->layerWindows > reportsBefore; }));
  DeliverPostedMessages();
  EXPECT_EQ(Relative(*Layer(0)), dropped);
  const ChannelData stored = processor_->Image().CHNLDATA[0];
  EXPECT_EQ((Rect{stored.HPOS, stored.VPOS, stored.HPOS + stored.HACT, stored.VPOS + stored.VACT}),
            dropped);
}

TEST_F(MainPageEndToEnd, ProgramPreviewModesSplitTheCanvasIntoHalves) {
  ConnectAndReadBack();
  const mainpage::MainPageCells& cells = *Page().Cells();
  auto switchTo = [&](int mode) {
    const int before = sink_->pvwModes;
    { State()->block.PVWMODEINFO.PVWMODE = static_cast<uint8_t>(mode); }
    SendCommand(SET_PVW_MODE);
    ASSERT_TRUE(PumpUntil([&] { return sink_->pvwModes > before; }));
    DeliverPostedMessages();
  };
  auto inside = [](const CCell& cell, const CCell& area) {
    const Rect c = cell.CanvasRect();
    const Rect a = area.CanvasRect();
    return c.left >= a.left && c.top >= a.top && c.right <= a.right && c.bottom <= a.bottom;
  };
  const int halfHeight = Page().height() / 2;

  switchTo(1);
  EXPECT_TRUE(Page().Canvas()->Halves());
  CCell* preview = cells.ProgramPreviewArea(Origin::Preview1);
  CCell* program = cells.ProgramPreviewArea(Origin::Program1);
  EXPECT_FALSE(preview->IsHidden());
  EXPECT_FALSE(program->IsHidden());
  EXPECT_TRUE(cells.ProgramPreviewArea(Origin::Preview2)->IsHidden());
  for (int k = 0; k < 4; ++k) EXPECT_TRUE(cells.Output(k)->IsHidden());
  EXPECT_LT(preview->CanvasRect().bottom, halfHeight);
  EXPECT_GE(program->CanvasRect().top, halfHeight);
  // Main and PIP-1 are on program (fixed), PIP-2 and PIP-3 on preview.
  EXPECT_TRUE(inside(*Layer(0), *program));
  EXPECT_TRUE(Layer(0)->IsFixed());
  EXPECT_TRUE(Layer(0)->Name().startsWith(QStringLiteral("PGM : ")));
  EXPECT_TRUE(inside(*Layer(2), *preview));
  EXPECT_FALSE(Layer(2)->IsFixed());

  switchTo(2);
  CCell* preview2 = cells.ProgramPreviewArea(Origin::Preview2);
  CCell* program2 = cells.ProgramPreviewArea(Origin::Program2);
  for (CCell* area : {preview, program, preview2, program2}) EXPECT_FALSE(area->IsHidden());
  EXPECT_EQ(preview2->CanvasRect().left, preview->CanvasRect().right);
  EXPECT_EQ(program2->CanvasRect().left, program->CanvasRect().right);
  EXPECT_LT(preview2->CanvasRect().bottom, halfHeight);
  EXPECT_GE(program2->CanvasRect().top, halfHeight);
  EXPECT_TRUE(inside(*Layer(1), *program2));
  EXPECT_TRUE(Layer(1)->Name().startsWith(QStringLiteral("PGM2 : ")));
  EXPECT_TRUE(inside(*Layer(3), *preview2));
  EXPECT_TRUE(Layer(3)->Name().startsWith(QStringLiteral("PVW2 : ")));

  switchTo(0);
  EXPECT_FALSE(Page().Canvas()->Halves());
  EXPECT_FALSE(cells.Output(0)->IsHidden());
  EXPECT_TRUE(preview->IsHidden());
  EXPECT_FALSE(Layer(0)->IsFixed()) << "back in mode 0 the layers can be moved again";
  EXPECT_TRUE(Layer(0)->Name().startsWith(QStringLiteral("Main : ")));
  EXPECT_EQ(Layer(0)->Origin(), FirstAreaCorner());
}

TEST_F(MainPageEndToEnd, TheProcessorsPreviewPlaysInTheLayerCellsAndTheVideoWindow) {
  processor_->SetPreviewOffered(true);
  ConnectAndReadBack();
  ASSERT_TRUE(PumpUntil([&] { return Page().Canvas()->VideoEnabled(); }));
  auto* live = dynamic_cast<mainpage::LivePreview*>(Page().Preview());
  ASSERT_NE(live, nullptr);
  preview::CellVideoWidget* mainVideo = live->Preview().Cell(0);
  ASSERT_NE(mainVideo, nullptr);
  // Right of the input's large letters, above its clock: the input's own colour.
  const Rect cell = Layer(0)->CanvasRect();
  const int input = processor_->Image().CHNLDATA[0].CHNLINPUT;
  const sim::Rgb colour = sim::InputColour(input);
  EXPECT_TRUE(PumpUntil([&] {
    return PixelNear(mainVideo->target().PixelAt(cell.Width() * 7 / 8, cell.Height() / 3), colour.r,
                     colour.g, colour.b, 40);
  })) << "the Main cell shows input "
      << input;

  // The preview button brings up the video window; its views draw the stream too.
  preview::MShowVideoDlg* window = live->VideoWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_FALSE(window->isVisible());
  Window().Button(strip::kPreview)->click();
  EXPECT_TRUE(window->isVisible());
  EXPECT_TRUE(PumpUntil([&] { return window->View(0).target().drawnCount() > 0; }));
  // The preview button again, Escape and the close button each close the
  // window; closed, it has no views to draw.
  const std::vector<std::pair<const char*, std::function<void()>>> closers = {
      {"preview button", [&] { Window().Button(strip::kPreview)->click(); }},
      {"Escape", [&] { QTest::keyClick(window, Qt::Key_Escape); }},
      {"close button",
       [&] {
         QTest::mouseClick(FindControl(window, MBaseDialog::kCloseButtonId), Qt::LeftButton);
       }},
  };
  for (const auto& [how, close] : closers) {
    SCOPED_TRACE(how);
    if (!window->isVisible()) Window().Button(strip::kPreview)->click();
    ASSERT_TRUE(window->isVisible());
    ASSERT_NE(window->View(0).window(), nullptr);
    const int drawnWhileOpen = live->Preview().context(0).TargetCount();
    close();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->View(0).window(), nullptr);
    EXPECT_EQ(live->Preview().context(0).TargetCount(), drawnWhileOpen - 4)
        << "the four views leave the decoder's list, the layer cells stay";
  }

  // Switched off by the processor: the cells lose their video.
  processor_->SetPreviewOffered(false);
  EXPECT_TRUE(PumpUntil([&] { return !Page().Canvas()->VideoEnabled(); }));
  EXPECT_EQ(live->Preview().Cell(0), nullptr);
}

TEST_F(MainPageEndToEnd, StartsConnectedOverTheSerialPortToo) {
  // The port joins the list before the window fills its port list, as at start-up.
  const auto port = SerialPortNumberOf(processor_->PtyPath());
  ASSERT_TRUE(port.has_value());
  MakeWindow(comm_.get());
  sink_ = std::make_unique<CountingSink>(Window());
  SetReplySink(sink_.get());
  ASSERT_TRUE(ConnectAtStart(Window(), {"", processor_->PtyPath()}));
  ASSERT_TRUE(PumpUntil([&] { return !Window().Wait().Shown(); }));
  EXPECT_TRUE(Boxes().empty());
  EXPECT_FALSE(Layer(1)->IsHidden()) << "PIP-1 is on in the processor";
  EXPECT_FALSE(SerialPortNumberOf("ttyNothing").has_value());
}

}  // namespace
}  // namespace orv::test
