#pragma once
// The two checksums of the wire format: CRC-8 over a frame header, so that a
// receiver can reject a false header at once instead of waiting for the
// payload length it claims, and CRC-16 over the whole frame.
#include <cstdint>
#include <span>

namespace orv::wire {

// CRC-8, polynomial 0x07, initial value 0, no reflection, no final xor.
uint8_t Crc8(std::span<const uint8_t> bytes);

// CRC-16, polynomial 0x1021, initial value 0xFFFF, no reflection, no final
// xor (the widely used "CCITT-FALSE" variant).
uint16_t Crc16(std::span<const uint8_t> bytes, uint16_t crc = 0xFFFF);

}  // namespace orv::wire
