#include "StartConnection.h"

#include <cctype>
#include <cstdlib>

#include "CommandEncoder.h"
#include "DeviceState.h"
#include "Ipv4.h"
#include "MConnectDlg.h"
#include "MachineList.h"
#include "MessageIds.h"
#include "Messages.h"
#include "OrvDlg.h"
#include "PageTable.h"
#include "ReadBack.h"
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

bool ConnectNetwork(OrvDlg& window, const std::string& ip) {
  CommLibrary* library = GetCommLibrary();
  if (library == nullptr || !ParseIpv4(ip)) return false;
  const uint8_t address = MachineAddress(ip);
  library->SetAddressList(1, &address);
  // A link that cannot open still gets the read-back: its wait box ends in
  // the usual "did not answer" message.
  const bool opened = library->OpenNetLink(ip.c_str(), kDevicePort) != 0;
  {
    // The connected processor's address, as the search window's Connect
    // records it (the machine report and show-control clients name it).
    auto s = State();
    s->NET_MODE = 1;
    s->DEVICE_IP = ip;
  }
  SendMsg(&window, UM_PAGE_REQUEST, request::kConnectionState, 0);
  SetDeviceAddress(address);
  library->SetTargetMachine(ip.c_str());
  SendMsg(&window, UM_PAGE_REQUEST, request::kDestinationIp, 0, QString::fromStdString(ip));
  SendMsg(&window, UM_PAGE_REQUEST, request::kOnline, opened ? 1 : 0);
  StartFullReadBack();
  return opened;
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
  if (!target.address.empty()) return ConnectNetwork(window, target.address);
  if (target.serial.empty()) return true;
  const auto number = SerialPortNumberOf(target.serial);
  MConnectDlg* page = window.ConnectPage();
  return number && page != nullptr && page->ConnectPort(*number);
}

}  // namespace orv
