// Ending the panel from outside: SIGTERM (kill, a service manager), SIGINT (a
// terminal) and SIGHUP (a closed terminal, a logout) reach the window's
// thread and close the panel as its close button does; so does the event
// loop being told to quit (the desktop session ending). The operator's last
// change is in the project on disk, the settings file names it, and the
// processor's link is closed.
#include <signal.h>
#include <unistd.h>

#include <QApplication>
#include <QTest>
#include <QTimer>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>

#include "AppTestSupport.h"
#include "CommandEncoder.h"
#include "DeviceState.h"
#include "Ini.h"
#include "InputStrip.h"
#include "OrvApp.h"
#include "ProjectFile.h"
#include "ReadBack.h"
#include "ShutdownSignals.h"
#include "TestNet.h"
#include "Timers.h"
#include "VirtualProcessor.h"
#include "WaitBox.h"

namespace orv::test {
namespace {

using namespace std::chrono_literals;

struct EndRequest {
  const char* name;
  std::function<void()> send;
};

const EndRequest kEndRequests[] = {
    {"SIGTERM", [] { kill(getpid(), SIGTERM); }},
    {"SIGINT", [] { kill(getpid(), SIGINT); }},
    {"SIGHUP", [] { kill(getpid(), SIGHUP); }},
    {"quit", [] { QCoreApplication::quit(); }},
};

TEST(ShutdownSignals, EachSignalReachesTheWindowsThreadAndThePreviousHandlerComesBack) {
  for (int signal : ShutdownSignals::kSignals) {
    SCOPED_TRACE(signal);
    struct sigaction before = {};
    sigaction(signal, nullptr, &before);
    {
      int received = 0;
      ShutdownSignals handlers([&](int s) { received = s; });
      ASSERT_TRUE(handlers.installed());
      kill(getpid(), signal);
      EXPECT_TRUE(PumpUntil([&] { return received == signal; }));
    }
    struct sigaction after = {};
    sigaction(signal, nullptr, &after);
    EXPECT_EQ(after.sa_handler, before.sa_handler);
  }
}

class ShutdownRun : public MainWindowTest, public ::testing::WithParamInterface<EndRequest> {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    // OrvApp makes its own window, library and timers.
    DestroyWindow();
    SetManualTimers(false);
    SetPauseFunction({});
    SetCommLibrary(nullptr);
    sim::ProcessorConfig config;
    config.ip = ip_ = TestIp(3);
    config.udp = false;
    config.selfReportMs = 0;
    processor_ = std::make_unique<sim::VirtualProcessor>(config);
    std::string error;
    ASSERT_TRUE(processor_->Start(&error)) << error;
  }
  void TearDown() override {
    if (processor_) processor_->Stop();
    MainWindowTest::TearDown();
  }
  static OrvDlg* RunningWindow() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (auto* window = qobject_cast<OrvDlg*>(w); window && window->isVisible()) return window;
    }
    return nullptr;
  }
  bool ReadBackDone(OrvDlg* window) {
    if (!window || window->Wait().Shown()) return false;
    for (const auto& r : processor_->Requests().Entries()) {
      if (r.kind == wire::FrameKind::Command && r.type == QUERY68) return true;
    }
    return false;
  }

  std::string ip_;
  std::unique_ptr<sim::VirtualProcessor> processor_;
};

TEST_P(ShutdownRun, TheOperatorsChangeIsInTheProjectOnDisk) {
  const EndRequest& request = GetParam();
  ASSERT_NE(processor_->Image().CHNLDATA[0].CHNLINPUT, 3);
  // Started connected; once read back, the operator routes input 3 to the
  // Main layer with the input strip; the processor takes it; then the end
  // request comes.
  bool sent = false;
  QTimer driver;
  const auto deadline = std::chrono::steady_clock::now() + 30s;
  QObject::connect(&driver, &QTimer::timeout, [&] {
    OrvDlg* window = RunningWindow();
    if (std::chrono::steady_clock::now() > deadline) {
      ADD_FAILURE() << "the change never reached the processor";
      if (window) window->close();
      return;
    }
    if (sent || !ReadBackDone(window)) return;
    if (processor_->Image().CHNLDATA[0].CHNLINPUT != 3) {
      const strip::SlotRect& r = window->Strip().Layout().Slot(3);
      const QPoint at(r.left + 5, r.top + 5);
      QWidget* target = window->childAt(at);
      if (target && window->CurrentLayer() == 0) {
        QTest::mouseClick(target, Qt::LeftButton, {}, target->mapFrom(window, at));
      }
      return;
    }
    sent = true;
    request.send();
  });
  driver.start(20);

  OrvApp::Options options;
  options.localAddresses = {TestLocalIp()};
  options.connectAddress = ip_;
  OrvApp app(std::move(options));
  EXPECT_EQ(app.Run(), 0);
  driver.stop();
  ASSERT_TRUE(sent);

  const std::string project = GetProfileString("Project", "FilePath", "", 1024, Settings());
  ASSERT_FALSE(project.empty()) << "Info.ini names the project";
  ASSERT_TRUE(std::filesystem::exists(project)) << project;
  {
    auto s = State();
    *s = DeviceState();
  }
  ASSERT_TRUE(LoadProject(project, [](int, int) {}));
  EXPECT_EQ(State()->block.CHNLDATA[0].CHNLINPUT, 3) << "the change was saved at the close";
  EXPECT_TRUE(PumpUntil([&] { return processor_->TcpLinkCount() == 0; }))
      << "the link to the processor is closed";
}

INSTANTIATE_TEST_SUITE_P(EachRequest, ShutdownRun, ::testing::ValuesIn(kEndRequests),
                         [](const auto& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace orv::test
