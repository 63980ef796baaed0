#pragma once
// The processor's live preview: while the preview is offered and the stream
// is switched on, a thread of its own composes the output, encodes it and
// sends every access unit as data type 26 on channel 0, cut into wire-sized
// pieces, at the encoder's frame rate (at most 100 a second). An access unit
// delimiter follows each unit so a receiver knows at once that it is complete.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "CaptionPeer.h"
#include "H264Encoder.h"
#include "ParamBlock.h"

namespace orv::sim {

// What one picture is made from, read from the model on its own thread.
struct StreamSnapshot {
  bool offered = false;
  // A host is connected over the network; the preview is a network stream
  // (a serial line could not carry it), so without one nothing is encoded.
  bool listened = true;
  ParamBlock image{};
  int fps = 15;
  int resolutionCode = 1;
  int kbps = 3072;
  std::array<CaptionView, 4> captions{};
  int testPattern = 0;  // 0 off, else the pattern that replaces the outputs
};

struct PreviewStreamStats {
  uint64_t accessUnits = 0;
  uint64_t packets = 0;
  uint64_t bytes = 0;
  uint64_t corruptPackets = 0;
  int width = 0, height = 0;
  std::string encoder;  // name of the encoder in use
  std::string error;    // why there is no stream, if there is none
};

// The picture size of an encoder resolution code (code 1's size for unknown codes).
void StreamSizeOfCode(int code, int& width, int& height);

// The largest piece of H.264 one data-type-26 reply carries.
constexpr std::size_t kStreamPieceBytes = 4095;

class PreviewStream {
 public:
  using Snapshotter = std::function<StreamSnapshot()>;
  using Sender = std::function<void(std::vector<uint8_t> piece)>;

  PreviewStream(Snapshotter snapshot, Sender send);
  ~PreviewStream();
  void Start();
  void Stop();  // before the model and the sender go away

  // Pictures flow while both are on: the processor offers its preview and
  // the stream is switched on (the default).
  void SetOffered(bool offered);
  void SetEnabled(bool on);
  // The time from one keyframe to the next (at least one frame apart).
  void SetKeyframeMs(int ms) { keyframeMs_ = ms; }
  // The next `count` packets sent are random bytes, and the access unit after
  // them is sent cut short.
  void InjectCorrupt(int count);
  PreviewStreamStats Stats() const;

 private:
  void Run();
  void SendUnit(const std::vector<uint8_t>& unit);
  void SendCorrupt();

  Snapshotter snapshot_;
  Sender send_;
  std::thread thread_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  bool stop_ = false;
  bool enabled_ = true;
  bool offered_ = false;
  int corruptPending_ = 0;
  bool truncateNext_ = false;
  std::atomic<int> keyframeMs_{1000};
  PreviewStreamStats stats_;
  std::unique_ptr<H264Encoder> encoder_;
  YuvImage picture_;
};

}  // namespace orv::sim
