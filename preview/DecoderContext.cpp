#include "DecoderContext.h"

#include <pthread.h>
#include <time.h>

#include <algorithm>
#include <cstring>

namespace orv::preview {
namespace {

// Without work a thread looks at its slots again after this long, so a stop
// flag is seen promptly even when no signal comes.
constexpr auto kIdlePass = std::chrono::milliseconds(10);

double ThreadCpuSeconds(std::thread& thread) {
  if (!thread.joinable()) return 0.0;
  clockid_t clock;
  if (pthread_getcpuclockid(thread.native_handle(), &clock) != 0) return 0.0;
  timespec ts{};
  if (clock_gettime(clock, &ts) != 0) return 0.0;
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

void CopyPlane(std::vector<uint8_t>& to, const uint8_t* from, std::size_t bytes) {
  to.resize(bytes);
  if (bytes > 0) std::memcpy(to.data(), from, bytes);
}

}  // namespace

DecoderContext::DecoderContext() = default;

DecoderContext::~DecoderContext() {
  Stop();
  Hi264DecDestroy(decoder_);
}

void DecoderContext::Start() {
  if (!decodeThread_.joinable()) {
    decodeStop_.store(false, std::memory_order_release);
    decoding_.store(true);
    decodeThread_ = std::thread([this] { DecodeLoop(); });
  }
  if (!renderThread_.joinable()) {
    renderStop_.store(false, std::memory_order_release);
    renderThread_ = std::thread([this] { RenderLoop(); });
  }
}

void DecoderContext::Stop() {
  const bool wasDecoding = decodeThread_.joinable();
  const bool wasRendering = renderThread_.joinable();
  if (wasDecoding) {
    decodeStop_.store(true, std::memory_order_release);
    // Sequentially consistent with FeedPacket's check: once this store is
    // seen no new copy starts, and the wait below outlasts any copy under way.
    decoding_.store(false);
    packetSignal_.release();
    decodeThread_.join();
    while (feeders_.load() != 0) std::this_thread::yield();
  }
  if (wasRendering) {
    renderStop_.store(true, std::memory_order_release);
    frameSignal_.release();
    renderThread_.join();
  }
  if (wasDecoding || wasRendering) {
    std::lock_guard lock(tableMutex_);
    targets_.fill(TargetEntry{});
  }
  if (wasDecoding) {
    packets_.Clear();
    if (decoder_) {
      std::lock_guard lock(decoderCountersMutex_);
      decoderCounters_ = Hi264DecCounters(decoder_);
      Hi264DecDestroy(decoder_);
      decoder_ = nullptr;
    }
  }
  if (wasRendering) {
    for (auto& slot : frames_) {
      slot.picture = FramePicture{};
      slot.full.store(false, std::memory_order_release);
    }
    frameWriteIndex_ = 0;
    frameReadIndex_ = 0;
  }
}

void DecoderContext::FeedPacket(std::span<const uint8_t> bytes) {
  if (bytes.empty() || bytes.size() > kMaxPacketBytes) {
    counters_.packetsDroppedInvalid.fetch_add(1, std::memory_order_relaxed);
    return;
  }
  feeders_.fetch_add(1);
  if (!decoding_.load()) {
    feeders_.fetch_sub(1);
    counters_.packetsIgnored.fetch_add(1, std::memory_order_relaxed);
    return;
  }
  if (packets_.Push(bytes)) {
    counters_.packetsFed.fetch_add(1, std::memory_order_relaxed);
    packetSignal_.release();
  } else {
    counters_.packetsDroppedFull.fetch_add(1, std::memory_order_relaxed);
  }
  feeders_.fetch_sub(1);
}

void DecoderContext::DecodeLoop() {
  // The decoder is made here, not on the caller's thread: opening it takes
  // long enough to be felt on the user-interface thread. Without one, packets
  // are ignored from now on.
  if (!decoder_) {
    const DecoderCreateRecord record = MakeCreateRecord(decoderSize_.width, decoderSize_.height);
    decoder_ = Hi264DecCreate(&record);
  }
  if (!decoder_) {
    decoding_.store(false);
    return;
  }
  while (!decodeStop_.load(std::memory_order_acquire)) {
    (void)packetSignal_.try_acquire_for(kIdlePass);
    // Every waiting packet is taken in one pass: an access unit at the
    // larger sizes spans several packets, more than one pass per 10 ms
    // would keep up with.
    while (!decodeStop_.load(std::memory_order_acquire)) {
      const Packet* packet = packets_.Front();
      if (!packet) break;
      DecodePacket(*packet);
      packets_.Pop();
    }
  }
}

void DecoderContext::DecodePacket(const Packet& packet) {
  DecodedPicture picture;
  int result = Hi264DecFrame(decoder_, packet.bytes.data(),
                             static_cast<uint32_t>(packet.bytes.size()), 0, 0, &picture, 0);
  while (result != kDecodeNeedData && result != kDecodeFlushed &&
         !decodeStop_.load(std::memory_order_acquire)) {
    if (result == kDecodePicture) StorePicture(picture, packet.fedAt);
    result = Hi264DecFrame(decoder_, nullptr, 0, 0, 0, &picture, 0);
  }
  std::lock_guard lock(decoderCountersMutex_);
  decoderCounters_ = Hi264DecCounters(decoder_);
}

void DecoderContext::StorePicture(const DecodedPicture& decoded,
                                  std::chrono::steady_clock::time_point fedAt) {
  FrameSlot& slot = frames_[frameWriteIndex_];
  if (slot.full.load(std::memory_order_acquire)) {
    counters_.picturesDropped.fetch_add(1, std::memory_order_relaxed);
    return;
  }
  const int visibleRows = decoded.hiddenRows < decoded.height
                              ? static_cast<int>(decoded.height - decoded.hiddenRows)
                              : 0;
  const int chromaRows = (visibleRows + 1) / 2;
  FramePicture& p = slot.picture;
  p.width = static_cast<int>(decoded.width);
  p.height = visibleRows;
  p.lumaStride = static_cast<int>(decoded.lumaStride);
  p.chromaStride = static_cast<int>(decoded.chromaStride);
  p.fedAt = fedAt;
  CopyPlane(p.y, decoded.y, static_cast<std::size_t>(p.lumaStride) * visibleRows);
  CopyPlane(p.u, decoded.u, static_cast<std::size_t>(p.chromaStride) * chromaRows);
  CopyPlane(p.v, decoded.v, static_cast<std::size_t>(p.chromaStride) * chromaRows);
  slot.full.store(true, std::memory_order_release);
  frameWriteIndex_ ^= 1;
  counters_.picturesStored.fetch_add(1, std::memory_order_relaxed);
  frameSignal_.release();
}

void DecoderContext::RenderLoop() {
  while (!renderStop_.load(std::memory_order_acquire)) {
    (void)frameSignal_.try_acquire_for(kIdlePass);
    for (int i = 0; i < kFrameSlots && !renderStop_.load(std::memory_order_acquire); ++i) {
      FrameSlot& slot = frames_[frameReadIndex_];
      if (!slot.full.load(std::memory_order_acquire)) break;
      DrawToTargets(slot.picture);
      slot.full.store(false, std::memory_order_release);
      frameReadIndex_ ^= 1;
    }
  }
}

void DecoderContext::DrawToTargets(const FramePicture& picture) {
  std::lock_guard lock(tableMutex_);
  for (const auto& entry : targets_) {
    if (entry.target) entry.target->Draw(picture);
  }
  counters_.framesDrawn.fetch_add(1, std::memory_order_relaxed);
}

bool DecoderContext::RegisterTarget(PreviewTarget* target, TargetKind kind) {
  if (!target) return false;
  std::lock_guard lock(tableMutex_);
  auto held = std::find_if(targets_.begin(), targets_.end(),
                           [&](const TargetEntry& e) { return e.target == target; });
  if (held != targets_.end()) return true;
  auto empty = std::find_if(targets_.begin(), targets_.end(),
                            [](const TargetEntry& e) { return e.target == nullptr; });
  if (empty == targets_.end()) return false;
  *empty = TargetEntry{target, kind};
  return true;
}

void DecoderContext::RemoveTarget(PreviewTarget* target) {
  std::lock_guard lock(tableMutex_);
  for (auto& entry : targets_) {
    if (entry.target == target) entry = TargetEntry{};
  }
}

int DecoderContext::TargetCount() const {
  std::lock_guard lock(tableMutex_);
  return static_cast<int>(std::count_if(targets_.begin(), targets_.end(),
                                        [](const TargetEntry& e) { return e.target != nullptr; }));
}

ContextCounters DecoderContext::Counters() const {
  ContextCounters c;
  c.packetsFed = counters_.packetsFed.load();
  c.packetsDroppedFull = counters_.packetsDroppedFull.load();
  c.packetsDroppedInvalid = counters_.packetsDroppedInvalid.load();
  c.packetsIgnored = counters_.packetsIgnored.load();
  c.picturesStored = counters_.picturesStored.load();
  c.picturesDropped = counters_.picturesDropped.load();
  c.framesDrawn = counters_.framesDrawn.load();
  std::lock_guard lock(decoderCountersMutex_);
  c.decoder = decoderCounters_;
  return c;
}

double DecoderContext::DecodeCpuSeconds() {
  return ThreadCpuSeconds(decodeThread_);
}

double DecoderContext::RenderCpuSeconds() {
  return ThreadCpuSeconds(renderThread_);
}

}  // namespace orv::preview
