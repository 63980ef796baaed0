// Figures for the window's thread while the processor starts and stops
// offering its preview: the main window, connected to a virtual processor in
// this process, runs a 10 ms timer; its worst lateness while the preview
// starts (decoder, layer cells' video, first picture drawn) and while it
// stops is the longest stall the operator would feel. For comparison, the
// worst lateness over one second of the preview simply playing: what the
// machine's load alone costs the timer. Also the process's resident memory
// before the first start and after each one.
//
// Run it on the window system the panel uses:
//   xvfb-run -a -s "-screen 0 1600x900x24" build/bin/preview_stall_bench [rounds]
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "CPictureCtrl.h"
#include "CellVideoWidget.h"
#include "CommLibrary.h"
#include "CommandEncoder.h"
#include "DeviceState.h"
#include "Ini.h"
#include "LivePreview.h"
#include "MMainDlg.h"
#include "OrvComm.h"
#include "OrvDlg.h"
#include "StartConnection.h"
#include "TestNet.h"
#include "VideoPreview.h"
#include "VirtualProcessor.h"
#include "WaitBox.h"

namespace {

using namespace orv;

double RssMb() {
  std::ifstream status("/proc/self/status");
  std::string key;
  while (status >> key) {
    if (key == "VmRSS:") {
      double kb = 0;
      status >> kb;
      return kb / 1024.0;
    }
    status.ignore(1 << 20, '\n');
  }
  return 0.0;
}

// The worst lateness of a 10 ms timer since the last Reset.
class StallMeter {
 public:
  StallMeter() {
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout,
                     [this] { worstMs_ = std::max(worstMs_, clock_.restart() - kTickMs); });
    clock_.start();
    timer_.start(kTickMs);
  }
  void Reset() {
    clock_.restart();
    worstMs_ = 0;
  }
  qint64 WorstMs() const { return std::max(worstMs_, clock_.elapsed() - kTickMs); }

 private:
  static constexpr qint64 kTickMs = 10;
  QTimer timer_;
  QElapsedTimer clock_;
  qint64 worstMs_ = 0;
};

// Runs the event loop until `done` holds; false after 30 s.
template <class F>
bool RunUntil(F done) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 20);
  }
  return true;
}

void RunFor(int ms) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  RunUntil([&] { return std::chrono::steady_clock::now() >= end; });
}

}  // namespace

int main(int argc, char** argv) {
  // As the panel's main(): the video cells' siblings stay plain widgets.
  QApplication::setAttribute(Qt::AA_DontCreateNativeWidgetSiblings);
  QApplication app(argc, argv);
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;

  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("orv-stall-" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  SetAppFolderForTesting(folder.string() + "/");
  WriteProfileString("Remote", "Enabled", "0", folder.string() + "/Info.ini");

  sim::ProcessorConfig config;
  config.ip = test::TestIp(2);
  config.udp = false;
  config.selfReportMs = 0;
  sim::VirtualProcessor processor(config);
  std::string error;
  if (!processor.Start(&error)) {
    std::fprintf(stderr, "preview_stall_bench: %s\n", error.c_str());
    return 1;
  }
  OrvComm comm;
  SetCommLibrary(&comm);
  int code = 0;
  {
    OrvDlg::Options options;
    options.library = &comm;
    options.localAddresses = [] { return std::vector<std::string>{test::TestLocalIp()}; };
    options.watchSerialPorts = false;
    OrvDlg window(std::move(options));
    window.Initialise();
    window.show();
    if (!ConnectAtStart(window, {config.ip, ""}) ||
        !RunUntil([&] { return !window.Wait().Shown(); })) {
      std::fprintf(stderr, "preview_stall_bench: the read-back did not end\n");
      return 1;
    }
    RunFor(500);
    auto* live = dynamic_cast<mainpage::LivePreview*>(window.MainPage()->Preview());
    CPictureCtrl* canvas = window.MainPage()->Canvas();
    const auto cellDrawn = [&] {
      preview::CellVideoWidget* cell = live ? live->Preview().Cell(0) : nullptr;
      return cell ? cell->target().drawnCount() : 0;
    };

    std::printf("platform %s, %d rounds\n", qPrintable(QGuiApplication::platformName()), rounds);
    std::printf("resident memory before the first start: %.0f MB\n", RssMb());
    std::printf("%-6s %-14s %-14s %-14s %s\n", "round", "start (ms)", "playing (ms)", "stop (ms)",
                "resident after start (MB)");
    StallMeter meter;
    qint64 worst = 0;
    for (int round = 1; round <= rounds; ++round) {
      meter.Reset();
      processor.SetPreviewOffered(true);
      if (!RunUntil([&] { return canvas->VideoEnabled() && cellDrawn() > 3; })) {
        std::fprintf(stderr, "preview_stall_bench: no picture in the Main cell\n");
        code = 1;
        break;
      }
      RunFor(300);
      const qint64 start = meter.WorstMs();
      const double rss = RssMb();
      meter.Reset();
      RunFor(1000);
      const qint64 playing = meter.WorstMs();
      meter.Reset();
      processor.SetPreviewOffered(false);
      if (!RunUntil([&] { return !canvas->VideoEnabled(); })) {
        std::fprintf(stderr, "preview_stall_bench: the preview did not stop\n");
        code = 1;
        break;
      }
      RunFor(300);
      const qint64 stop = meter.WorstMs();
      worst = std::max({worst, start, stop});
      std::printf("%-6d %-14lld %-14lld %-14lld %.0f\n", round, static_cast<long long>(start),
                  static_cast<long long>(playing), static_cast<long long>(stop), rss);
    }
    std::printf("longest stall of the window's thread while the preview starts or stops: %lld ms\n",
                static_cast<long long>(worst));
    window.CloseDown();
  }
  SetCommLibrary(nullptr);
  processor.Stop();
  std::filesystem::remove_all(folder);
  return code;
}
