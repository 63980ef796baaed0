#pragma once
// The frame format shared by every transport (TCP, serial line, UDP
// discovery). One frame:
//
//   offset  size  field
//   0       2     sync bytes A5 5A
//   2       1     protocol version (kProtocolVersion)
//   3       1     device address: the target unit of a command, the sender
//                 of a reply
//   4       1     frame kind (FrameKind)
//   5       2     type, little-endian: command type, or reply data type
//   7       2     payload length, little-endian, at most kMaxPayload
//   9       1     header check: Crc8 over bytes 2..8
//   10      n     payload
//   10+n    2     Crc16 over bytes 2..9+n, little-endian
//
// docs/protocol.md describes the payload of every frame kind and type.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace orv::wire {

constexpr uint8_t kSync0 = 0xA5;
constexpr uint8_t kSync1 = 0x5A;
constexpr uint8_t kProtocolVersion = 1;
constexpr std::size_t kHeaderSize = 10;
constexpr std::size_t kTrailerSize = 2;
constexpr std::size_t kFrameOverhead = kHeaderSize + kTrailerSize;
constexpr std::size_t kMaxPayload = 4096;
constexpr std::size_t kMaxFrameSize = kMaxPayload + kFrameOverhead;
constexpr uint8_t kBroadcastAddress = 0xFF;

enum class FrameKind : uint8_t {
  Command = 1,    // typed command: type = command type, payload = its wire bytes
  Block = 2,      // the 2360-byte parameter image, type = 22 (WRITE_ALL)
  BulkChunk = 3,  // bulk data: u32 position, u16 length, bytes; type = 0
  Reply = 4,      // device to host: type = reply data type 0..31
};

constexpr bool ValidFrameKind(uint8_t kind) {
  return kind >= 1 && kind <= 4;
}

// A parsed frame; the payload points into the parser's buffer and is valid
// only during the callback that receives it.
struct FrameView {
  uint8_t version = kProtocolVersion;
  uint8_t address = 0;
  FrameKind kind = FrameKind::Command;
  uint16_t type = 0;
  std::span<const uint8_t> payload;
};

// Builds one complete frame. Returns an empty vector when the payload is
// longer than kMaxPayload.
std::vector<uint8_t> EncodeFrame(uint8_t address, FrameKind kind, uint16_t type,
                                 std::span<const uint8_t> payload);

// Bulk chunks: the payload is a u32 position, a u16 length and the bytes.
constexpr std::size_t kBulkHeaderSize = 6;
constexpr std::size_t kMaxBulkBytes = kMaxPayload - kBulkHeaderSize;
constexpr uint16_t kBulkFrameType = 0;
constexpr uint16_t kBlockFrameType = 22;

inline void PutU16(uint8_t* out, uint16_t v) {
  out[0] = static_cast<uint8_t>(v);
  out[1] = static_cast<uint8_t>(v >> 8);
}
inline void PutU32(uint8_t* out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out[i] = static_cast<uint8_t>(v >> (8 * i));
}
inline uint16_t GetU16(const uint8_t* in) {
  return static_cast<uint16_t>(in[0] | (in[1] << 8));
}
inline uint32_t GetU32(const uint8_t* in) {
  return static_cast<uint32_t>(in[0]) | (static_cast<uint32_t>(in[1]) << 8) |
         (static_cast<uint32_t>(in[2]) << 16) | (static_cast<uint32_t>(in[3]) << 24);
}

}  // namespace orv::wire
