#include "ConnectLink.h"

#include <QString>

#include "CommandEncoder.h"
#include "DeviceState.h"
#include "Ini.h"
#include "Ipv4.h"
#include "MachineList.h"
#include "MessageIds.h"
#include "Messages.h"
#include "ReadBack.h"
#include "SerialPorts.h"

namespace orv {

namespace {

// Sub-codes of UM_PAGE_REQUEST a connect sends.
constexpr intptr_t kReqOnline = 0x5C0;
constexpr intptr_t kReqConnectionState = 0x5BA;
constexpr intptr_t kReqDestinationIp = 0x5C1;

constexpr char kNetSection[] = "NET";
constexpr char kLastIpKey[] = "ip";
constexpr std::size_t kIpChars = 16;

}  // namespace

LinkTarget NetworkTarget(const std::string& ip, const std::string& name) {
  LinkTarget target;
  target.kind = LinkTarget::Kind::Network;
  target.ip = ip;
  target.deviceAddress = MachineAddress(ip);
  target.name = name;
  return target;
}

LinkTarget SerialTarget(int port, int baud) {
  LinkTarget target;
  target.kind = LinkTarget::Kind::Serial;
  target.serialName = StableSerialName(SerialDevicePath(port));
  target.baud = baud;
  target.deviceAddress = DeviceAddress();
  return target;
}

void WatchLink(const LinkTarget& target) {
  if (LinkWatch* watch = GetLinkWatch()) watch->Begin(target);
}

void StopWatchingLink(LinkTarget::Kind kind, const std::string& ip) {
  LinkWatch* watch = GetLinkWatch();
  if (watch == nullptr) return;
  const LinkTarget& watched = watch->Status().target;
  if (watched.kind != kind) return;
  if (kind == LinkTarget::Kind::Network && watched.ip != ip) return;
  watch->OperatorDisconnect();
}

namespace {

// Opens the link to `target`, makes its processor the connected one and
// starts the read-back. Returns whether the link opened.
bool ConnectTarget(QWidget* mainWindow, const LinkTarget& target, bool evenIfUnanswered) {
  CommLibrary* library = GetCommLibrary();
  const bool opened =
      library != nullptr && library->OpenNetLink(target.ip.c_str(), target.port) != 0;
  if (!opened && !evenIfUnanswered) return false;

  const uint8_t address = target.deviceAddress;
  if (library != nullptr) {
    library->SetAddressList(1, &address);
    library->SetTargetMachine(target.ip.c_str());
  }
  {
    // The connected processor's address, as the search window's Connect
    // records it (the machine report and show-control clients name it).
    auto s = State();
    s->NET_MODE = 1;
    s->DEVICE_IP = target.ip;
  }
  SetDeviceAddress(address);
  PostMsg(mainWindow, UM_PAGE_REQUEST, kReqConnectionState, 0);
  PostMsg(mainWindow, UM_PAGE_REQUEST, kReqDestinationIp, 0, QString::fromStdString(target.ip));
  PostMsg(mainWindow, UM_PAGE_REQUEST, kReqOnline, opened ? 1 : 0);
  WatchLink(target);
  StartFullReadBack();
  return opened;
}

}  // namespace

NetConnect ConnectNetwork(QWidget* mainWindow, const std::string& text, bool evenIfUnanswered) {
  const auto parsed = ParseIpv4(text);
  if (!parsed) return NetConnect::NotIpv4;
  const std::string ip = FormatIpv4(*parsed);
  if (!ConnectTarget(mainWindow, NetworkTarget(ip), evenIfUnanswered)) return NetConnect::NoAnswer;
  RememberNetworkAddress(ip);
  return NetConnect::Connected;
}

bool ConnectOffline(QWidget* mainWindow, const std::string& ip, uint16_t port) {
  if (!ParseIpv4(ip)) return false;
  LinkTarget target = NetworkTarget(ip);
  target.port = port;
  target.offline = true;
  return ConnectTarget(mainWindow, target, false);
}

void RememberNetworkAddress(const std::string& ip) {
  if (ParseIpv4(ip)) WriteProfileString(kNetSection, kLastIpKey, ip, SettingsPath());
}

std::string LastNetworkAddress() {
  const std::string ip = GetProfileString(kNetSection, kLastIpKey, "", kIpChars, SettingsPath());
  return ParseIpv4(ip) ? ip : std::string();
}

}  // namespace orv
