#pragma once
// The application object: prepares the process (settings file, language, the
// communication library), runs the main window until it is closed, and tears
// the library down in the order the main window asks for.
#include <memory>
#include <string>
#include <vector>

namespace orv {

class OrvComm;

class OrvApp {
 public:
  struct Options {
    // Restricts the local interfaces the search window offers (the demo and
    // tests pass 127.0.0.1 so that a search never leaves the machine).
    std::vector<std::string> localAddresses;
    // For looking at the window: after `screenshotDelayMs` the window (with
    // page `screenshotPage` shown, -1 none) is saved to this PNG and the
    // program ends.
    std::string screenshotPath;
    int screenshotPage = -1;
    int screenshotDelayMs = 1500;
    // Buttons of the main window (control ids) clicked one after another,
    // 500 ms apart, before the picture is taken (1564: the video window).
    std::vector<int> screenshotPresses;
    // Start connected: the processor at this IPv4 address over the network,
    // or the serial port named here ("COM7", "7" or a device path).
    std::string connectAddress;
    std::string serialPort;
    // Start offline: the built-in virtual processor, holding this project
    // (empty: the current one).
    bool offline = false;
    std::string offlineProject;
  };

  // Reads the options this program takes: --local-address A (repeatable),
  // --screenshot FILE, --page N, --delay MS, --press ID (repeatable),
  // --connect ADDRESS, --serial PORT, --offline [FILE.pro].
  // Returns false with a message for anything else.
  static bool ParseArguments(const std::vector<std::string>& args, Options& options,
                             std::string& error);
  // Every option ParseArguments takes ("--connect", ...).
  static const std::vector<std::string>& OptionNames();

  explicit OrvApp(Options options);
  ~OrvApp();

  // Runs the main window modally; returns the process exit code.
  int Run();

 private:
  void StopLibrary();

  Options options_;
  std::unique_ptr<OrvComm> comm_;
};

}  // namespace orv
