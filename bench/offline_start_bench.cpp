// Figure for offline mode: the time from starting the panel offline (as
// `orvpanel --offline` does: a new process, the main window, the built-in
// virtual processor started, connected and read back) to the first picture
// of live video drawn in the canvas's main-layer cell.
//
// Each round is a new process (this program again, in its child role), so
// the figure includes loading the program and its libraries. The clock is
// CLOCK_MONOTONIC, shared by parent and child.
//
// Run it on the window system the panel uses:
//   xvfb-run -a -s "-screen 0 1600x900x24" build/bin/offline_start_bench [rounds]
#include <QApplication>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "CPictureCtrl.h"
#include "CellVideoWidget.h"
#include "CommLibrary.h"
#include "CommandEncoder.h"
#include "Ini.h"
#include "LivePreview.h"
#include "MMainDlg.h"
#include "OrvComm.h"
#include "OrvDlg.h"
#include "StartConnection.h"
#include "VideoPreview.h"
#include "WaitBox.h"

namespace {

using namespace orv;

constexpr char kChildRole[] = "--child";

int64_t MonotonicNs() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec;
}

// One offline start; prints the milliseconds since the spawn to the first
// picture, then since main() to: the picture, the window shown, the offline
// processor connected, the read-back's wait box down, the canvas's video on.
int RunChild(int argc, char** argv, int64_t spawnedNs) {
  const int64_t mainNs = MonotonicNs();
  QApplication::setAttribute(Qt::AA_DontCreateNativeWidgetSiblings);
  QApplication app(argc, argv);
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("orv-offline-" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  SetAppFolderForTesting(folder.string() + "/");
  WriteProfileString("Remote", "Enabled", "0", folder.string() + "/Info.ini");

  OrvComm comm;
  SetCommLibrary(&comm);
  int code = 0;
  {
    OrvDlg::Options options;
    options.library = &comm;
    options.watchSerialPorts = false;
    OrvDlg window(std::move(options));
    window.Initialise();
    window.show();
    const int64_t shownNs = MonotonicNs();
    if (!ConnectAtStart(window, {"", "", true, ""})) {
      std::fprintf(stderr, "offline_start_bench: the offline processor did not start\n");
      return 1;
    }
    CPictureCtrl* canvas = window.MainPage()->Canvas();
    auto* live = dynamic_cast<mainpage::LivePreview*>(window.MainPage()->Preview());
    const auto drawn = [&] {
      preview::CellVideoWidget* cell = live ? live->Preview().Cell(0) : nullptr;
      return canvas->VideoEnabled() && cell != nullptr && cell->target().drawnCount() > 0;
    };
    const int64_t connectedNs = MonotonicNs();
    int64_t readBackNs = 0;
    bool waitSeen = false;
    int64_t videoNs = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!drawn() && std::chrono::steady_clock::now() < deadline) {
      QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
      waitSeen = waitSeen || window.Wait().Shown();
      if (readBackNs == 0 && waitSeen && !window.Wait().Shown()) readBackNs = MonotonicNs();
      if (videoNs == 0 && canvas->VideoEnabled()) videoNs = MonotonicNs();
    }
    const int64_t drawnNs = MonotonicNs();
    if (!drawn()) {
      std::fprintf(stderr, "offline_start_bench: no live picture in the main cell\n");
      code = 1;
    } else {
      const auto since = [mainNs](int64_t ns) { return (ns - mainNs) / 1e6; };
      std::printf("%.1f %.1f %.1f %.1f %.1f %.1f\n", (drawnNs - spawnedNs) / 1e6, since(drawnNs),
                  since(shownNs), since(connectedNs), since(readBackNs), since(videoNs));
    }
    window.CloseDown();
  }
  SetCommLibrary(nullptr);
  std::filesystem::remove_all(folder);
  return code;
}

// Starts this program in its child role and reads its line back.
bool RunRound(const char* self, std::vector<double>& figures) {
  int pipeFds[2];
  if (pipe(pipeFds) != 0) return false;
  const std::string spawned = std::to_string(MonotonicNs());
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(pipeFds[1], STDOUT_FILENO);
    close(pipeFds[0]);
    close(pipeFds[1]);
    execl(self, self, kChildRole, spawned.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  close(pipeFds[1]);
  std::string out;
  char buffer[256];
  ssize_t n = 0;
  while ((n = read(pipeFds[0], buffer, sizeof buffer)) > 0) out.append(buffer, buffer + n);
  close(pipeFds[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  figures.assign(6, 0.0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 ||
      std::sscanf(out.c_str(), "%lf %lf %lf %lf %lf %lf", &figures[0], &figures[1], &figures[2],
                  &figures[3], &figures[4], &figures[5]) != 6) {
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 3 && std::strcmp(argv[1], kChildRole) == 0) {
    return RunChild(argc, argv, std::atoll(argv[2]));
  }
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  std::printf(
      "all in ms; after main(): window shown, offline processor connected, read back,"
      " video on, first picture\n");
  std::printf("%-6s %-10s %-12s %-8s %-10s %-10s %-9s %s\n", "round", "total", "before main",
              "shown", "connected", "read back", "video on", "picture");
  std::vector<double> totals;
  for (int round = 1; round <= rounds; ++round) {
    std::vector<double> f;
    if (!RunRound("/proc/self/exe", f)) {
      std::fprintf(stderr, "offline_start_bench: round %d failed\n", round);
      return 1;
    }
    totals.push_back(f[0]);
    std::printf("%-6d %-10.0f %-12.0f %-8.0f %-10.0f %-10.0f %-9.0f %.0f\n", round, f[0],
                f[0] - f[1], f[2], f[3], f[4], f[5], f[1]);
  }
  std::sort(totals.begin(), totals.end());
  std::printf(
      "offline start to the first live picture in the canvas: median %.0f ms, worst %.0f ms"
      " (goal 1500 ms)\n",
      totals[totals.size() / 2], totals.back());
  return 0;
}
