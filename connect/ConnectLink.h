#pragma once
// The one connection path: every way of connecting (search window, typed
// address, --connect, --serial, the serial page) ends here, so that the
// link watch watches each link the same way.
#include <string>

#include "LinkWatch.h"

class QWidget;

namespace orv {

// The link to the processor at an IPv4 address; its device address is the
// address's last number.
LinkTarget NetworkTarget(const std::string& ip, const std::string& name = {});
// The link to serial port `port`, found again by its stable device name.
LinkTarget SerialTarget(int port, int baud);

// Hands a link that was just opened (and whose read-back started) to the
// running panel's link watch; nothing when there is none.
void WatchLink(const LinkTarget& target);
// The operator closed the watched link of this kind (and, for a network
// link, this address): the watch stops reconnecting.
void StopWatchingLink(LinkTarget::Kind kind, const std::string& ip = {});

enum class NetConnect { Connected, NotIpv4, NoAnswer };

// Connects the processor at `ip` as the search window's Connect does: the
// link is opened, the device address follows the address rule, NET_MODE is
// set, the machine becomes the connected one (DEVICE_IP, 0x5C1, 0x5C0) and
// the full read-back starts with its wait box. The address is kept in
// Info.ini. When the text is not IPv4, or (unless `evenIfUnanswered`) the
// link cannot be opened, nothing changes.
NetConnect ConnectNetwork(QWidget* mainWindow, const std::string& ip,
                          bool evenIfUnanswered = false);

// Connects the panel's built-in processor (offline mode) listening on the
// loopback address `ip` and `port` as ConnectNetwork does; its link is
// watched as an offline one and its address is not kept for the next start.
// False when the link cannot be opened.
bool ConnectOffline(QWidget* mainWindow, const std::string& ip, uint16_t port);

// The last network address connected ([NET] ip in Info.ini), or empty;
// the connection page offers it at the next start.
std::string LastNetworkAddress();
void RememberNetworkAddress(const std::string& ip);

}  // namespace orv
