#pragma once
// Turns a byte stream (TCP, serial line) or a datagram into frames. Bytes that
// do not belong to a valid frame are skipped one at a time until the next
// sync pair, so a receiver resynchronises after line noise, a lost byte or a
// truncated frame without losing the frame that follows. The parser reads
// only from its own buffer and never past the bytes it holds.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "WireFormat.h"

namespace orv::wire {

struct ParseStats {
  uint64_t bytesIn = 0;
  uint64_t frames = 0;        // frames with a valid header and CRC
  uint64_t garbageBytes = 0;  // bytes skipped outside any valid frame
  uint64_t badHeader = 0;     // header check failed
  uint64_t badVersion = 0;    // valid header of another protocol version
  uint64_t badKind = 0;       // valid header with an unknown frame kind
  uint64_t oversize = 0;      // valid header claiming more than kMaxPayload
  uint64_t badCrc = 0;        // complete frame whose CRC failed
  uint64_t truncated = 0;     // bytes of an incomplete frame dropped by Reset()
  uint64_t stalled = 0;       // incomplete frames given up by DropStalled()
};

class FrameParser {
 public:
  using Handler = std::function<void(const FrameView&)>;

  // Appends bytes and calls `onFrame` for every complete valid frame, in
  // order. `onFrame` may call Stop() to end this call early (the remaining
  // bytes stay buffered); it must not call Feed() or Reset() on this parser,
  // because the frame's payload points into the buffer they change.
  void Feed(std::span<const uint8_t> bytes, const Handler& onFrame);
  // Drops whatever is buffered (an incomplete frame at the end of a datagram
  // or of a closed link) and counts it as truncated.
  void Reset();
  void Stop() { stopped_ = true; }

  // Bytes still missing before the frame that starts the buffer can be
  // judged: the rest of its header, then the rest of the length it announces.
  // 0 when nothing is buffered.
  std::size_t Missing() const;
  // Gives up the incomplete frame at the start of the buffer, whose rest did
  // not come: counts it as stalled, drops its first byte and parses what is
  // buffered behind it, as after a failed frame check, so a frame that
  // arrived inside the claimed length is found. Same rules for `onFrame` as
  // Feed().
  void DropStalled(const Handler& onFrame);

  std::size_t Buffered() const { return buffer_.size() - start_; }
  const ParseStats& Stats() const { return stats_; }

 private:
  void Skip(std::size_t count);
  void Parse(const Handler& onFrame);
  void Compact();

  std::vector<uint8_t> buffer_;
  std::size_t start_ = 0;
  bool stopped_ = false;
  ParseStats stats_;
};

}  // namespace orv::wire
