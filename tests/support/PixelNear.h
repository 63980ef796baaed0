#pragma once
// Whether a drawn pixel (0xRRGGBB, none when outside the surface) is within
// `tolerance` of a colour in each channel: decoded video is never exact.
#include <cstdint>
#include <cstdlib>
#include <optional>

namespace orv::test {

inline bool PixelNear(std::optional<uint32_t> pixel, int r, int g, int b, int tolerance) {
  if (!pixel) return false;
  const int pr = *pixel >> 16 & 0xFF, pg = *pixel >> 8 & 0xFF, pb = *pixel & 0xFF;
  return std::abs(pr - r) <= tolerance && std::abs(pg - g) <= tolerance &&
         std::abs(pb - b) <= tolerance;
}

}  // namespace orv::test
