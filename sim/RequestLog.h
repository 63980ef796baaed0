#pragma once
// What the processor received, in arrival order: one entry per frame taken
// off a link or out of a discovery datagram, answered or not. Tests and the
// figures read it to check the order and the spacing of the host's requests.
// Entries are added on the processor's I/O thread and read from any thread.
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <vector>

#include "WireFormat.h"

namespace orv::sim {

enum class RequestSource : uint8_t { Tcp, Serial, Datagram };

struct ReceivedRequest {
  std::chrono::steady_clock::time_point at;
  RequestSource source = RequestSource::Tcp;
  wire::FrameKind kind = wire::FrameKind::Command;
  uint16_t type = 0;
  uint8_t address = 0;
  std::size_t size = 0;       // payload bytes on the wire
  std::vector<uint8_t> head;  // the first (at most kHeadBytes) payload bytes

  static constexpr std::size_t kHeadBytes = 32;
  // The first payload byte, or -1 for a request that carries none.
  int FirstByte() const { return head.empty() ? -1 : head.front(); }
};

class RequestLog {
 public:
  // The oldest entries are dropped beyond this, so a long-running processor
  // keeps a bounded log.
  static constexpr std::size_t kMaxEntries = 1 << 16;

  void Add(RequestSource source, const wire::FrameView& frame);
  std::vector<ReceivedRequest> Entries() const;
  std::size_t Size() const;
  void Clear();
  // Waits until the log holds at least `count` entries; false after `timeout`.
  bool WaitForSize(std::size_t count, std::chrono::milliseconds timeout) const;

 private:
  mutable std::mutex mutex_;
  mutable std::condition_variable grown_;
  std::deque<ReceivedRequest> entries_;
};

}  // namespace orv::sim
