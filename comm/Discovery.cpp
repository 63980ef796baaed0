#include "Discovery.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <netinet/in.h>

#include <cstring>

namespace orv {

std::optional<Ipv4Bytes> NetmaskOfLocalAddress(const Ipv4Bytes& address) {
  ifaddrs* list = nullptr;
  if (getifaddrs(&list) != 0) return std::nullopt;
  std::optional<Ipv4Bytes> mask;
  for (ifaddrs* i = list; i && !mask; i = i->ifa_next) {
    if (!i->ifa_addr || i->ifa_addr->sa_family != AF_INET || !i->ifa_netmask) continue;
    const auto* a = reinterpret_cast<const sockaddr_in*>(i->ifa_addr);
    if (std::memcmp(&a->sin_addr, address.data(), 4) != 0) continue;
    const auto* m = reinterpret_cast<const sockaddr_in*>(i->ifa_netmask);
    Ipv4Bytes bytes;
    std::memcpy(bytes.data(), &m->sin_addr, 4);
    mask = bytes;
  }
  freeifaddrs(list);
  return mask;
}

std::vector<Ipv4Bytes> DiscoveryTargets(const Ipv4Bytes& local,
                                        const std::optional<Ipv4Bytes>& netmask) {
  std::vector<Ipv4Bytes> targets;
  if (local[0] == 127) {
    for (int n = 1; n <= 254; ++n) {
      const Ipv4Bytes t = {127, local[1], local[2], static_cast<uint8_t>(n)};
      if (t != local) targets.push_back(t);
    }
    return targets;
  }
  if (!netmask) return targets;
  Ipv4Bytes broadcast;
  for (int i = 0; i < 4; ++i) broadcast[i] = static_cast<uint8_t>(local[i] | ~(*netmask)[i]);
  if (broadcast != local) targets.push_back(broadcast);
  return targets;
}

}  // namespace orv
