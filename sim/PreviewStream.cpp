#include "PreviewStream.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <random>

#include "PreviewPicture.h"

namespace orv::sim {
namespace {

struct CodeSize {
  int code, width, height;
};
constexpr std::array<CodeSize, 7> kCodeSizes{{
    {1, 352, 240},
    {7, 640, 480},
    {16, 1280, 720},
    {17, 1920, 1080},
    {19, 960, 540},
    {20, 640, 360},
    {21, 480, 270},
}};

constexpr std::array<uint8_t, 6> kAccessUnitDelimiter{0, 0, 0, 1, 0x09, 0xF0};

}  // namespace

void StreamSizeOfCode(int code, int& width, int& height) {
  const auto* found = std::find_if(kCodeSizes.begin(), kCodeSizes.end(),
                                   [code](const CodeSize& c) { return c.code == code; });
  if (found == kCodeSizes.end()) found = kCodeSizes.begin();
  width = found->width;
  height = found->height;
}

PreviewStream::PreviewStream(Snapshotter snapshot, Sender send)
    : snapshot_(std::move(snapshot)), send_(std::move(send)) {}

PreviewStream::~PreviewStream() {
  Stop();
}

void PreviewStream::Start() {
  if (thread_.joinable()) return;
  {
    std::lock_guard lock(mutex_);
    stop_ = false;
  }
  thread_ = std::thread([this] { Run(); });
}

void PreviewStream::Stop() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
  wake_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void PreviewStream::SetEnabled(bool on) {
  {
    std::lock_guard lock(mutex_);
    enabled_ = on;
  }
  wake_.notify_all();
}

void PreviewStream::SetOffered(bool offered) {
  {
    std::lock_guard lock(mutex_);
    offered_ = offered;
  }
  wake_.notify_all();
}

void PreviewStream::InjectCorrupt(int count) {
  std::lock_guard lock(mutex_);
  corruptPending_ += std::max(0, count);
  truncateNext_ = true;
}

PreviewStreamStats PreviewStream::Stats() const {
  std::lock_guard lock(mutex_);
  return stats_;
}

void PreviewStream::Run() {
  using Clock = std::chrono::steady_clock;
  const auto started = Clock::now();
  auto next = started;
  std::unique_lock lock(mutex_);
  while (!stop_) {
    if (!enabled_ || !offered_) {
      wake_.wait(lock, [this] { return stop_ || (enabled_ && offered_); });
      next = Clock::now();
      continue;
    }
    lock.unlock();
    const StreamSnapshot snap = snapshot_();
    const int fps = std::clamp(snap.fps, 1, 100);
    auto period = std::chrono::microseconds(1000000 / fps);
    if (snap.offered && snap.listened) {
      EncoderSettings wanted;
      StreamSizeOfCode(snap.resolutionCode, wanted.width, wanted.height);
      wanted.fps = fps;
      wanted.keyframeFrames = std::max(1, fps * keyframeMs_.load() / 1000);
      wanted.kbps = std::clamp(snap.kbps, 100, 50000);
      std::string error;
      if (!encoder_ || !(encoder_->settings() == wanted)) {
        encoder_ = H264Encoder::Open(wanted, &error);
        picture_.Resize(wanted.width, wanted.height);
      }
      if (encoder_) {
        const auto elapsed =
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - started);
        ComposePreview(snap.image, elapsed.count(), picture_, snap.testPattern, snap.captions);
        const auto unit = encoder_->Encode(picture_);
        SendCorrupt();
        if (!unit.empty()) SendUnit(unit);
      } else {
        period = std::chrono::seconds(1);
      }
      std::lock_guard statsLock(mutex_);
      stats_.width = wanted.width;
      stats_.height = wanted.height;
      stats_.encoder = encoder_ ? encoder_->name() : std::string();
      stats_.error = error;
    }
    lock.lock();
    next += period;
    const auto now = Clock::now();
    if (next < now) next = now;  // fell behind: no burst to catch up
    wake_.wait_until(lock, next, [this] { return stop_; });
  }
}

void PreviewStream::SendUnit(const std::vector<uint8_t>& unit) {
  std::vector<uint8_t> stream = unit;
  bool truncate = false;
  {
    std::lock_guard lock(mutex_);
    std::swap(truncate, truncateNext_);
  }
  if (truncate) stream.resize(stream.size() / 2);
  stream.insert(stream.end(), kAccessUnitDelimiter.begin(), kAccessUnitDelimiter.end());
  uint64_t pieces = 0;
  for (std::size_t at = 0; at < stream.size(); at += kStreamPieceBytes) {
    const std::size_t n = std::min(kStreamPieceBytes, stream.size() - at);
    send_(std::vector<uint8_t>(stream.begin() + static_cast<std::ptrdiff_t>(at),
                               stream.begin() + static_cast<std::ptrdiff_t>(at + n)));
    ++pieces;
  }
  std::lock_guard lock(mutex_);
  ++stats_.accessUnits;
  stats_.packets += pieces;
  stats_.bytes += stream.size();
}

void PreviewStream::SendCorrupt() {
  int count = 0;
  {
    std::lock_guard lock(mutex_);
    std::swap(count, corruptPending_);
  }
  if (count == 0) return;
  std::mt19937 rng(static_cast<uint32_t>(count) * 2654435761u);
  for (int i = 0; i < count; ++i) {
    std::vector<uint8_t> junk(1 + rng() % kStreamPieceBytes);
    for (auto& b : junk) b = static_cast<uint8_t>(rng());
    // Every fourth starts like a slice, so the decoder itself meets it.
    if (i % 4 == 0 && junk.size() > 5) std::copy_n(kAccessUnitDelimiter.begin(), 4, junk.begin());
    send_(std::move(junk));
  }
  std::lock_guard lock(mutex_);
  stats_.corruptPackets += static_cast<uint64_t>(count);
}

}  // namespace orv::sim
