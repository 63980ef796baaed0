// The virtual processor streams its composed output; the panel's comm
// library receives data type 26, the preview decodes it and draws each layer
// cell on the software renderer: every cell shows its own layer's input.
#include <gtest/gtest.h>

#include <QWidget>

#include <chrono>
#include <thread>

#include "CommLibrary.h"
#include "Ini.h"
#include "MShowVideoDlg.h"
#include "OrvComm.h"
#include "PixelNear.h"
#include "PreviewPicture.h"
#include "TestNet.h"
#include "VideoPreview.h"
#include "VirtualProcessor.h"

namespace orv::preview {
namespace {

using namespace std::chrono_literals;

bool Near(std::optional<uint32_t> pixel, sim::Rgb want, int tolerance) {
  return test::PixelNear(pixel, want.r, want.g, want.b, tolerance);
}

// Polls `done` until it holds or 10 s have passed (the drawing happens on the
// preview's own threads).
template <class F>
bool WaitUntil(F done) {
  const auto deadline = std::chrono::steady_clock::now() + 10s;
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(5ms);
  }
  return true;
}

class StreamEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    sim::ProcessorConfig config;
    config.ip = test::TestIp(2);
    config.selfReportMs = 0;
    config.udp = false;
    processor = std::make_unique<sim::VirtualProcessor>(config);
    std::string error;
    ASSERT_TRUE(processor->Start(&error)) << error;
    processor->SetPreviewOffered(true);
    state.block = processor->Image();
    state.REPLY1_FLAG = 1;

    const uint8_t address = processor->address();
    comm.SetAddressList(1, &address);
    comm.RegisterReply([this](const Reply& r) { preview.FeedPacket(r.arg1, r.data); }, 26);
    ASSERT_NE(comm.OpenNetLink(test::TestIp(2).c_str(), kDevicePort), 0);
  }
  void TearDown() override {
    comm.CloseAll();
    preview.Switch(false);
    if (processor) processor->Stop();
  }

  // A cell per layer, shown and cropped as the main page does it.
  std::unique_ptr<CellVideo> MakeCell(int layer) {
    auto cell = preview.CellFactory()(&canvas, layer, state.block.CHNLDATA[layer].CHNLINPUT);
    cell->SetGeometry(0, 0, 160, 90);
    preview.RegisterCell(layer);
    preview.CropLayer(layer, state);
    return cell;
  }

  sim::Rgb ColourOfLayer(int layer) const {
    return sim::InputColour(state.block.CHNLDATA[layer].CHNLINPUT);
  }

  DeviceState state;
  std::unique_ptr<sim::VirtualProcessor> processor;
  OrvComm comm;
  VideoPreview preview{DrawingSurface::Memory, AppFolder() + "arial.ttf"};
  QWidget canvas;
};

TEST_F(StreamEndToEnd, EachCellShowsItsOwnLayersInput) {
  // Layer 0 full screen on input 0, PIP-1 in the top right on input 2.
  ASSERT_TRUE(state.block.CHNLDATA[0].CHNLONOFF && state.block.CHNLDATA[1].CHNLONOFF);
  ASSERT_NE(state.block.CHNLDATA[0].CHNLINPUT, state.block.CHNLDATA[1].CHNLINPUT);
  // The processor encodes at 640 x 480 (its code 7) while the panel still
  // expects 352 x 240: the picture is drawn at the size it comes in.
  preview.Switch(true);
  auto main = MakeCell(0);
  auto pip = MakeCell(1);
  auto& mainTarget = preview.Cell(0)->target();
  auto& pipTarget = preview.Cell(1)->target();

  // The centre of each cell is away from its source's number and clock.
  EXPECT_TRUE(WaitUntil([&] { return Near(mainTarget.PixelAt(80, 60), ColourOfLayer(0), 40); }))
      << std::hex << mainTarget.PixelAt(80, 60).value_or(0);
  EXPECT_TRUE(WaitUntil([&] { return Near(pipTarget.PixelAt(80, 60), ColourOfLayer(1), 40); }))
      << std::hex << pipTarget.PixelAt(80, 60).value_or(0);

  // Corrupt packets on the wire are dropped or refused; the picture goes on.
  processor->InjectCorruptVideo(200);
  ASSERT_TRUE(WaitUntil([&] { return processor->StreamStats().corruptPackets >= 200; }));
  const int drawn = pipTarget.drawnCount();
  EXPECT_TRUE(WaitUntil([&] {
    return pipTarget.drawnCount() > drawn + 10 &&
           Near(pipTarget.PixelAt(80, 60), ColourOfLayer(1), 40);
  }));
  const auto counters = preview.context(0).Counters();
  EXPECT_GT(counters.decoder.rejectedUnits + counters.decoder.rejectedPictures +
                counters.decoder.parserResets + counters.packetsDroppedFull,
            0u);
}

TEST_F(StreamEndToEnd, TheVideoWindowShowsOneQuadrantInEachView) {
  preview.Switch(true);
  QWidget page;
  MShowVideoDlg window(&page);
  window.Create();
  window.resize(820, 626);  // views of 400 x 280
  preview.AttachVideoWindow(&window);
  auto& whole = window.View(0).target();  // layer 0 over the whole output
  auto& pip = window.View(1).target();    // PIP-1 alone at its window, black around it
  EXPECT_TRUE(WaitUntil([&] { return Near(whole.PixelAt(200, 140), ColourOfLayer(0), 40); }))
      << std::hex << whole.PixelAt(200, 140).value_or(0);
  // (1280 + 288) / 1920 and (60 + 162) / 1080 of the view: the middle of PIP-1.
  EXPECT_TRUE(WaitUntil([&] { return Near(pip.PixelAt(326, 58), ColourOfLayer(1), 40); }))
      << std::hex << pip.PixelAt(326, 58).value_or(0);
  EXPECT_TRUE(Near(pip.PixelAt(100, 200), {0, 0, 0}, 24)) << "no layer there";
  preview.AttachVideoWindow(nullptr);
  window.AttachContexts(nullptr, preview.frameSize(), DrawingSurface::Memory);
  EXPECT_EQ(preview.context(0).TargetCount(), 0);
}

TEST_F(StreamEndToEnd, ProgramAndPreviewQuadrantsFollowTake) {
  // Mode 1: the program output in quadrant 1, the preview output in quadrant 0.
  processor->WithModel([](sim::DeviceModel& m) {
    auto& pv = m.image().PVWMODEINFO;
    pv.PVWMODE = 1;
    pv.PGMSTATE[0] = 1;
    pv.PGMSTATE[1] = 0;
    return 0;
  });
  state.block = processor->Image();
  preview.Switch(true);
  auto main = MakeCell(0);
  auto pip = MakeCell(1);
  EXPECT_EQ(QuadrantOfLayer(state, 0), 1);
  EXPECT_EQ(QuadrantOfLayer(state, 1), 0);
  auto& mainTarget = preview.Cell(0)->target();
  auto& pipTarget = preview.Cell(1)->target();
  EXPECT_TRUE(WaitUntil([&] { return Near(mainTarget.PixelAt(80, 60), ColourOfLayer(0), 40); }));
  EXPECT_TRUE(WaitUntil([&] { return Near(pipTarget.PixelAt(80, 60), ColourOfLayer(1), 40); }));
}

}  // namespace
}  // namespace orv::preview
