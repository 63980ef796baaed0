#include "WireFormat.h"

#include <algorithm>

#include "Crc.h"

namespace orv::wire {

std::vector<uint8_t> EncodeFrame(uint8_t address, FrameKind kind, uint16_t type,
                                 std::span<const uint8_t> payload) {
  if (payload.size() > kMaxPayload) return {};
  std::vector<uint8_t> frame(kFrameOverhead + payload.size());
  frame[0] = kSync0;
  frame[1] = kSync1;
  frame[2] = kProtocolVersion;
  frame[3] = address;
  frame[4] = static_cast<uint8_t>(kind);
  PutU16(&frame[5], type);
  PutU16(&frame[7], static_cast<uint16_t>(payload.size()));
  frame[9] = Crc8(std::span(frame).subspan(2, 7));
  std::copy(payload.begin(), payload.end(), frame.begin() + kHeaderSize);
  const std::size_t crcAt = kHeaderSize + payload.size();
  PutU16(&frame[crcAt], Crc16(std::span(frame).subspan(2, crcAt - 2)));
  return frame;
}

}  // namespace orv::wire
