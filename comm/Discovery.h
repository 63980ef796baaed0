#pragma once
// Where a discovery search goes. A search is one SEARCH command frame with
// the broadcast device address, sent by UDP to port 61213 from the selected
// local interface:
//  - on a loopback interface 127.a.b.c to every other address 127.a.b.1 ..
//    127.a.b.254 (its own /24), because processors bound to 127.a.b.n each
//    receive only datagrams addressed to their own address; processors on
//    another /24 of the loopback net belong to another search;
//  - on any other interface to that interface's subnet broadcast address.
// Processors answer by UDP to the sender's address and port.
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace orv {

using Ipv4Bytes = std::array<uint8_t, 4>;

// The netmask of the local interface holding `address`, from the system's
// interface list; nullopt when no interface holds it.
std::optional<Ipv4Bytes> NetmaskOfLocalAddress(const Ipv4Bytes& address);

// The datagram destinations of a search from `local` (with its netmask, when
// known). Empty when nothing can be reached.
std::vector<Ipv4Bytes> DiscoveryTargets(const Ipv4Bytes& local,
                                        const std::optional<Ipv4Bytes>& netmask);

}  // namespace orv
