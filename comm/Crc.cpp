#include "Crc.h"

#include <array>

namespace orv::wire {

namespace {

constexpr std::array<uint8_t, 256> MakeCrc8Table() {
  std::array<uint8_t, 256> table{};
  for (int i = 0; i < 256; ++i) {
    uint8_t c = static_cast<uint8_t>(i);
    for (int bit = 0; bit < 8; ++bit)
      c = (c & 0x80) ? static_cast<uint8_t>((c << 1) ^ 0x07) : static_cast<uint8_t>(c << 1);
    table[i] = c;
  }
  return table;
}

constexpr std::array<uint16_t, 256> MakeCrc16Table() {
  std::array<uint16_t, 256> table{};
  for (int i = 0; i < 256; ++i) {
    uint16_t c = static_cast<uint16_t>(i << 8);
    for (int bit = 0; bit < 8; ++bit) {
      c = (c & 0x8000) ? static_cast<uint16_t>((c << 1) ^ 0x1021) : static_cast<uint16_t>(c << 1);
    }
    table[i] = c;
  }
  return table;
}

constexpr auto kCrc8Table = MakeCrc8Table();
constexpr auto kCrc16Table = MakeCrc16Table();

}  // namespace

uint8_t Crc8(std::span<const uint8_t> bytes) {
  uint8_t crc = 0;
  for (uint8_t b : bytes) crc = kCrc8Table[crc ^ b];
  return crc;
}

uint16_t Crc16(std::span<const uint8_t> bytes, uint16_t crc) {
  for (uint8_t b : bytes)
    crc = static_cast<uint16_t>((crc << 8) ^ kCrc16Table[((crc >> 8) ^ b) & 0xFF]);
  return crc;
}

}  // namespace orv::wire
