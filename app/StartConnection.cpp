#include "StartConnection.h"

#include <cctype>
#include <cstdlib>

#include "ConnectLink.h"
#include "MConnectDlg.h"
#include "OrvDlg.h"
#include "SerialPorts.h"

namespace orv {

namespace {

// Port numbers have at most two digits; a device path given by hand takes
// the highest one no device uses.
constexpr int kHighestPort = 99;

std::optional<int> NumberIn(const std::string& text) {
  if (text.empty() || text.size() > 3) return std::nullopt;
  for (char c : text) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
  }
  const int n = std::atoi(text.c_str());
  return n > 0 ? std::optional<int>(n) : std::nullopt;
}

}  // namespace

std::optional<int> SerialPortNumberOf(const std::string& port) {
  if (port.size() > 3 && (port.compare(0, 3, "COM") == 0 || port.compare(0, 3, "com") == 0))
    return NumberIn(port.substr(3));
  if (auto n = NumberIn(port)) return n;
  if (port.empty() || port[0] != '/') return std::nullopt;
  std::vector<SerialPortEntry> ports;
  EnumerateSerialPorts(ports);
  for (const SerialPortEntry& entry : ports) {
    if (SerialDevicePath(entry.number) == port) return entry.number;
  }
  for (int n = kHighestPort; n > 0; --n) {
    if (SerialDevicePath(n).empty()) {
      AddExtraSerialDevice(port, n);
      return n;
    }
  }
  return std::nullopt;
}

bool ConnectAtStart(OrvDlg& window, const StartTarget& target) {
  // A processor that is not up yet is still connected: the link watch
  // reconnects it as soon as it answers.
  if (target.offline) return window.WorkOffline(target.offlineProject);
  if (!target.address.empty()) {
    return ConnectNetwork(&window, target.address, true) == NetConnect::Connected;
  }
  if (target.serial.empty()) return true;
  const auto number = SerialPortNumberOf(target.serial);
  MConnectDlg* page = window.ConnectPage();
  return number && page != nullptr && page->ConnectPort(*number);
}

}  // namespace orv
