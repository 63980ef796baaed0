// The video window on an X display (ctest runs this under Xvfb): while the
// processor's stream plays into the layer cells and the window's views, the
// operator opens and closes the window again and again. The render thread
// draws into native windows through SDL the whole time.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QWidget>

#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "CGdipButton.h"
#include "CommLibrary.h"
#include "ControlId.h"
#include "Ini.h"
#include "LivePreview.h"
#include "MBaseDialog.h"
#include "MShowVideoDlg.h"
#include "OrvComm.h"
#include "TestNet.h"
#include "VideoPreview.h"
#include "VirtualProcessor.h"

namespace orv::test {
namespace {

using namespace std::chrono_literals;

// Runs the GUI thread's queues until `done` holds or 10 s have passed.
template <class F>
bool PumpUntil(F done) {
  const auto deadline = std::chrono::steady_clock::now() + 10s;
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    QApplication::processEvents(QEventLoop::AllEvents, 5);
    std::this_thread::sleep_for(2ms);
  }
  return true;
}

class VideoWindowOnX11 : public ::testing::Test {
 protected:
  void SetUp() override {
    if (QGuiApplication::platformName() != QStringLiteral("xcb")) {
      GTEST_SKIP() << "needs an X display: ctest runs this under xvfb-run";
    }
    sim::ProcessorConfig config;
    config.ip = TestIp(2);
    config.selfReportMs = 0;
    config.udp = false;
    processor_ = std::make_unique<sim::VirtualProcessor>(config);
    std::string error;
    ASSERT_TRUE(processor_->Start(&error)) << error;
    processor_->SetPreviewOffered(true);
    state_.block = processor_->Image();
    state_.REPLY1_FLAG = 1;

    page_ = std::make_unique<QWidget>();
    page_->setGeometry(0, 0, 960, 540);
    page_->show();
    live_ = std::make_unique<mainpage::LivePreview>(page_.get());
    ASSERT_EQ(live_->Preview().frameSize().width, 352);
    live_->StartContexts();
    for (int layer = 0; layer < 2; ++layer) {
      auto* widget = new QWidget(page_.get());
      widget->setGeometry(layer * 480, 0, 480, 270);
      widget->show();
      cells_.push_back(live_->CellVideoFactory()(widget, layer, 0));
      cells_.back()->SetGeometry(layer * 480, 0, 480, 270);
      live_->Preview().RegisterCell(layer);
      live_->Preview().CropLayer(layer, state_);
    }

    const uint8_t address = processor_->address();
    comm_.SetAddressList(1, &address);
    comm_.RegisterReply([this](const Reply& r) { live_->FeedPacket(r.arg1, r.data); }, 26);
    ASSERT_NE(comm_.OpenNetLink(TestIp(2).c_str(), kDevicePort), 0);
  }
  void TearDown() override {
    comm_.CloseAll();
    cells_.clear();
    live_.reset();
    page_.reset();
    if (processor_) processor_->Stop();
  }

  int CellFrames() { return live_->Preview().Cell(0)->target().drawnCount(); }

  DeviceState state_;
  std::unique_ptr<sim::VirtualProcessor> processor_;
  OrvComm comm_;
  std::unique_ptr<QWidget> page_;
  std::unique_ptr<mainpage::LivePreview> live_;
  std::vector<std::unique_ptr<CellVideo>> cells_;
};

TEST_F(VideoWindowOnX11, OpeningAndClosingTheWindowWhileTheStreamPlaysFiftyTimes) {
  preview::MShowVideoDlg* window = live_->VideoWindow();
  ASSERT_NE(window, nullptr);
  auto* close = qobject_cast<CGdipButton*>(FindControl(window, MBaseDialog::kCloseButtonId));
  ASSERT_NE(close, nullptr);
  ASSERT_TRUE(PumpUntil([&] { return CellFrames() > 0; })) << "the stream plays in the cells";
  for (int round = 0; round < 50; ++round) {
    SCOPED_TRACE(round);
    const int viewFrames = window->View(3).target().drawnCount();
    live_->ToggleVideoWindow();
    ASSERT_TRUE(window->isVisible());
    ASSERT_TRUE(PumpUntil([&] { return window->View(3).target().drawnCount() > viewFrames; }))
        << "the views draw while the window is up";
    QTest::mouseClick(close, Qt::LeftButton);
    ASSERT_FALSE(window->isVisible());
    EXPECT_EQ(window->View(0).window(), nullptr) << "a closed window keeps no views";
    EXPECT_EQ(live_->Preview().context(0).TargetCount(), 2) << "only the two cells are drawn";
    // The render thread goes on drawing the cells after the views are gone.
    const int before = CellFrames();
    ASSERT_TRUE(PumpUntil([&] { return CellFrames() > before + 1; }));
  }
}

}  // namespace
}  // namespace orv::test
