#pragma once
// One preview decoder: the packet ring filled by the communication thread,
// the decode thread, the two frame slots, the render thread and the table of
// targets every picture is drawn into. No Qt, no SDL.
//
// Hand-over: a packet slot belongs to the receiving thread while its full flag
// is clear and to the decode thread while it is set; frame slots likewise
// between decoding and drawing. Flags are published with release and read
// with acquire, so the bytes written before a flag are seen after it.
#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <semaphore>
#include <span>
#include <thread>
#include <vector>

#include "H264Decoder.h"
#include "PacketRing.h"
#include "PreviewGeometry.h"
#include "PreviewTarget.h"

namespace orv::preview {

constexpr int kFrameSlots = 2;
constexpr int kTargetEntries = 240;
// One packet on the wire is at most 4 KB; anything far larger is not a packet.
constexpr std::size_t kMaxPacketBytes = 1 << 20;

struct ContextCounters {
  uint64_t packetsFed = 0;
  uint64_t packetsDroppedFull = 0;     // ring full: the newest is dropped
  uint64_t packetsDroppedInvalid = 0;  // empty or oversized
  uint64_t packetsIgnored = 0;         // no running decoder
  uint64_t picturesStored = 0;
  uint64_t picturesDropped = 0;  // both frame slots still full
  uint64_t framesDrawn = 0;      // render passes over the table
  DecoderCounters decoder;
};

class DecoderContext {
 public:
  DecoderContext();
  ~DecoderContext();  // stops first
  DecoderContext(const DecoderContext&) = delete;
  DecoderContext& operator=(const DecoderContext&) = delete;

  // Copied into the decoder's creation record at the next start.
  void SetDecoderSize(FrameSize size) { decoderSize_ = size; }
  FrameSize decoderSize() const { return decoderSize_; }

  // User-interface thread. Start starts the decode thread, which makes the
  // decoder (unless one exists), and the render thread; when the decoder
  // cannot be made the decode thread ends, only the render thread runs and
  // packets are ignored.
  void Start();
  // Waits for both threads, then empties the target table, frees the
  // packets and the frames and destroys the decoder. Never waits on the
  // receiving thread for longer than one packet copy.
  void Stop();
  bool decoding() const { return decoding_.load(std::memory_order_acquire); }
  bool rendering() const { return renderThread_.joinable(); }

  // Receiving thread; never blocks. The bytes are copied.
  void FeedPacket(std::span<const uint8_t> bytes);

  // A target drawn by every render pass; false when the table is full.
  // Registering a target twice keeps one entry.
  bool RegisterTarget(PreviewTarget* target, TargetKind kind);
  void RemoveTarget(PreviewTarget* target);
  int TargetCount() const;

  ContextCounters Counters() const;
  // CPU seconds the decode and render threads used so far (0 when not running).
  double DecodeCpuSeconds();
  double RenderCpuSeconds();

 private:
  struct FrameSlot {
    FramePicture picture;
    std::atomic<bool> full{false};
  };
  struct TargetEntry {
    PreviewTarget* target = nullptr;
    TargetKind kind = TargetKind::Cell;
  };

  void DecodeLoop();
  void RenderLoop();
  void DecodePacket(const Packet& packet);
  void StorePicture(const DecodedPicture& decoded, std::chrono::steady_clock::time_point fedAt);
  void DrawToTargets(const FramePicture& picture);

  FrameSize decoderSize_{352, 240};
  DecoderHandle decoder_ = nullptr;

  PacketRing packets_;
  std::atomic<bool> decoding_{false};
  std::atomic<int> feeders_{0};
  std::atomic<bool> decodeStop_{true};
  std::thread decodeThread_;
  std::counting_semaphore<(1 << 30)> packetSignal_{0};

  std::array<FrameSlot, kFrameSlots> frames_;
  int frameWriteIndex_ = 0;  // decode thread
  int frameReadIndex_ = 0;   // render thread
  std::atomic<bool> renderStop_{true};
  std::thread renderThread_;
  std::counting_semaphore<(1 << 30)> frameSignal_{0};

  mutable std::mutex tableMutex_;
  std::array<TargetEntry, kTargetEntries> targets_{};

  struct AtomicCounters {
    std::atomic<uint64_t> packetsFed{0}, packetsDroppedFull{0}, packetsDroppedInvalid{0},
        packetsIgnored{0}, picturesStored{0}, picturesDropped{0}, framesDrawn{0};
  };
  AtomicCounters counters_;
  mutable std::mutex decoderCountersMutex_;
  DecoderCounters decoderCounters_;
};

}  // namespace orv::preview
