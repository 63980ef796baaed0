#include "LocalAddresses.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

namespace orv {

std::vector<std::string> SystemIpv4Addresses() {
  std::vector<std::string> out;
  ifaddrs* list = nullptr;
  if (getifaddrs(&list) != 0) return out;
  for (const ifaddrs* it = list; it != nullptr; it = it->ifa_next) {
    if (it->ifa_addr == nullptr || it->ifa_addr->sa_family != AF_INET) continue;
    if ((it->ifa_flags & IFF_UP) == 0) continue;
    const auto* address = reinterpret_cast<const sockaddr_in*>(it->ifa_addr);
    char text[INET_ADDRSTRLEN] = {};
    if (inet_ntop(AF_INET, &address->sin_addr, text, sizeof text) != nullptr) {
      out.emplace_back(text);
    }
  }
  freeifaddrs(list);
  return out;
}

std::vector<std::string> LocalAddressEntries(const std::vector<std::string>& addresses) {
  std::vector<std::string> out;
  for (const std::string& a : addresses) {
    if (!a.empty() && a.front() != '0') out.push_back(a);
  }
  if (out.empty()) out.emplace_back(kNoEntryText);
  return out;
}

}  // namespace orv
