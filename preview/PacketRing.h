#pragma once
// The 100 packet slots between the receiving thread (the only writer) and
// the decode thread (the only reader). A slot's full flag hands it over:
// set with release by the writer after the copy, cleared with release by the
// reader after use; each side reads it with acquire.
#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <span>
#include <vector>

namespace orv::preview {

constexpr int kPacketSlots = 100;

struct Packet {
  std::vector<uint8_t> bytes;
  std::chrono::steady_clock::time_point fedAt;
};

class PacketRing {
 public:
  // Writer. False when the next slot is still full: the newest packet is dropped.
  bool Push(std::span<const uint8_t> bytes);
  // Reader: the oldest full slot, or none; Pop hands it back.
  const Packet* Front() const;
  void Pop();
  // Neither side may be running.
  void Clear();

 private:
  struct Slot {
    Packet packet;
    std::atomic<bool> full{false};
  };
  std::array<Slot, kPacketSlots> slots_;
  int writeIndex_ = 0;
  int readIndex_ = 0;
};

}  // namespace orv::preview
