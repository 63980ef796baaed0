#pragma once
// IPv4 text as the panel passes it: exactly four dotted decimal numbers
// 0..255, nothing else.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orv {

std::optional<std::array<uint8_t, 4>> ParseIpv4(std::string_view text);
inline bool IsLoopback(const std::array<uint8_t, 4>& a) {
  return a[0] == 127;
}
std::string FormatIpv4(const std::array<uint8_t, 4>& a);

}  // namespace orv
