#include "PacketRing.h"

namespace orv::preview {

bool PacketRing::Push(std::span<const uint8_t> bytes) {
  Slot& slot = slots_[writeIndex_];
  if (slot.full.load(std::memory_order_acquire)) return false;
  slot.packet.bytes.assign(bytes.begin(), bytes.end());
  slot.packet.fedAt = std::chrono::steady_clock::now();
  slot.full.store(true, std::memory_order_release);
  writeIndex_ = (writeIndex_ + 1) % kPacketSlots;
  return true;
}

const Packet* PacketRing::Front() const {
  const Slot& slot = slots_[readIndex_];
  return slot.full.load(std::memory_order_acquire) ? &slot.packet : nullptr;
}

void PacketRing::Pop() {
  Slot& slot = slots_[readIndex_];
  slot.full.store(false, std::memory_order_release);
  readIndex_ = (readIndex_ + 1) % kPacketSlots;
}

void PacketRing::Clear() {
  for (auto& slot : slots_) {
    std::vector<uint8_t>().swap(slot.packet.bytes);
    slot.full.store(false, std::memory_order_release);
  }
  writeIndex_ = 0;
  readIndex_ = 0;
}

}  // namespace orv::preview
