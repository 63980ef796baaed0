#pragma once
// The computer's own IPv4 addresses, for the search window's choice of the
// interface that searches and links go out from.
#include <string>
#include <vector>

namespace orv {

// The entry a list shows when it has nothing to offer.
inline constexpr char kNoEntryText[] = "N/A";

// IPv4 addresses of the interfaces that are up, as dotted text, in the order
// the system lists them (the loopback interface included).
std::vector<std::string> SystemIpv4Addresses();

// The local address list: every address whose text does not start with '0'
// (an interface without an address), or the single entry "N/A".
std::vector<std::string> LocalAddressEntries(const std::vector<std::string>& addresses);

}  // namespace orv
