#include "Ipv4.h"

namespace orv {

std::optional<std::array<uint8_t, 4>> ParseIpv4(std::string_view text) {
  std::array<uint8_t, 4> out{};
  std::size_t part = 0;
  int value = 0;
  int digits = 0;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    const bool end = i == text.size();
    const char c = end ? '.' : text[i];
    if (c == '.') {
      if (digits == 0 || value > 255 || part >= 4) return std::nullopt;
      out[part++] = static_cast<uint8_t>(value);
      value = 0;
      digits = 0;
    } else if (c >= '0' && c <= '9') {
      if (++digits > 3) return std::nullopt;
      value = 10 * value + (c - '0');
    } else {
      return std::nullopt;
    }
  }
  if (part != 4) return std::nullopt;
  return out;
}

std::string FormatIpv4(const std::array<uint8_t, 4>& a) {
  return std::to_string(a[0]) + "." + std::to_string(a[1]) + "." + std::to_string(a[2]) + "." +
         std::to_string(a[3]);
}

}  // namespace orv
