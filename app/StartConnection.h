#pragma once
// Starting the panel connected: `--connect ADDRESS` opens the network link to
// the processor at that IPv4 address and `--serial PORT` the serial port, and
// either reads the processor back as the operator's Connect does. A
// processor that does not answer ends in the wait box's usual message.
// `--offline [FILE.pro]` starts the built-in virtual processor instead.
#include <optional>
#include <string>

namespace orv {

class OrvDlg;

struct StartTarget {
  std::string address;           // IPv4 text, or empty
  std::string serial;            // "COM7", "7" or a device path, or empty
  bool offline = false;          // the built-in virtual processor
  std::string offlineProject{};  // the project it holds; empty: the current one
};

// The COM number a --serial value names. A device path that is no known
// port is added to the port list under the highest free number. Nothing for a value
// that names no port.
std::optional<int> SerialPortNumberOf(const std::string& port);

// Connects the initialised main window to the target and starts the full
// read-back. False (after the usual message) when the link cannot be opened.
bool ConnectAtStart(OrvDlg& window, const StartTarget& target);

}  // namespace orv
