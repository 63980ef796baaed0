// Figures for the preview path: a stream of the virtual processor's composed
// output at 30 pictures a second, fed at real-time pace through FeedPacket,
// decoded on the decode thread and drawn by the render thread into a cell
// target on SDL's software renderer. The floor is libavcodec decoding the
// same packets alone.
//
//   preview_bench [seconds]      (default 10 per size)
#include <pthread.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <random>
#include <thread>
#include <vector>

#include "DecoderContext.h"
#include "DeviceModel.h"
#include "H264Encoder.h"
#include "PreviewPicture.h"
#include "PreviewStream.h"
#include "SdlTarget.h"

namespace {

using namespace orv;
using namespace orv::preview;
using Clock = std::chrono::steady_clock;

constexpr int kFps = 30;

double ThreadCpuNow() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

// Access units of `frames` pictures of the composed output, each cut into
// wire pieces as the processor sends them.
std::vector<std::vector<std::vector<uint8_t>>> MakeStream(int code, int frames, int kbps,
                                                          const std::string& preset,
                                                          std::string& encoderName) {
  sim::EncoderSettings settings;
  sim::StreamSizeOfCode(code, settings.width, settings.height);
  settings.fps = kFps;
  settings.kbps = kbps;
  settings.preset = preset;
  std::string error;
  auto encoder = sim::H264Encoder::Open(settings, &error);
  if (!encoder) {
    std::fprintf(stderr, "no encoder: %s\n", error.c_str());
    std::exit(1);
  }
  encoderName = encoder->name();
  const ParamBlock image = sim::StartImage();
  sim::YuvImage picture;
  picture.Resize(settings.width, settings.height);
  std::mt19937 rng(17);
  std::vector<std::vector<std::vector<uint8_t>>> units;
  for (int i = 0; i < frames; ++i) {
    sim::ComposePreview(image, i * 1000 / kFps, picture);
    // Grain, so the encoder spends its bit rate as on a camera picture.
    for (auto& y : picture.y)
      y = static_cast<uint8_t>(std::clamp(y + static_cast<int>(rng() % 17) - 8, 16, 235));
    auto unit = encoder->Encode(picture);
    unit.insert(unit.end(), {0, 0, 0, 1, 0x09, 0xF0});
    std::vector<std::vector<uint8_t>> pieces;
    for (std::size_t at = 0; at < unit.size(); at += sim::kStreamPieceBytes) {
      const std::size_t n = std::min(sim::kStreamPieceBytes, unit.size() - at);
      pieces.emplace_back(unit.begin() + static_cast<std::ptrdiff_t>(at),
                          unit.begin() + static_cast<std::ptrdiff_t>(at + n));
    }
    units.push_back(std::move(pieces));
  }
  return units;
}

// CPU seconds libavcodec needs for the packets alone, and the pictures it gave.
double Floor(const std::vector<std::vector<std::vector<uint8_t>>>& units, int width, int height,
             int& pictures) {
  const auto record = MakeCreateRecord(width, height);
  DecoderHandle decoder = Hi264DecCreate(&record);
  pictures = 0;
  const double begin = ThreadCpuNow();
  DecodedPicture picture;
  for (const auto& unit : units) {
    for (const auto& piece : unit) {
      int r = Hi264DecFrame(decoder, piece.data(), static_cast<uint32_t>(piece.size()), 0, 0,
                            &picture, 0);
      while (r == kDecodePicture) {
        ++pictures;
        r = Hi264DecFrame(decoder, nullptr, 0, 0, 0, &picture, 0);
      }
    }
  }
  const double spent = ThreadCpuNow() - begin;
  Hi264DecDestroy(decoder);
  return spent;
}

// A cell target that also notes how long each picture took from its last packet.
class TimedTarget : public PreviewTarget {
 public:
  TimedTarget() : cell_(TextureKind::Iyuv, std::string()) {}
  bool Build(FrameSize frame) {
    if (!cell_.BuildOnSurface(640, 360, frame)) return false;
    cell_.SetVisible(true);
    cell_.SetSource(Quadrant(1, frame));
    return true;
  }
  void Draw(const FramePicture& picture) override {
    cell_.Draw(picture);
    const double ms =
        std::chrono::duration<double, std::milli>(Clock::now() - picture.fedAt).count();
    std::lock_guard lock(mutex_);
    latenciesMs_.push_back(ms);
  }
  std::vector<double> Latencies() {
    std::lock_guard lock(mutex_);
    return latenciesMs_;
  }

 private:
  SdlTarget cell_;
  std::mutex mutex_;
  std::vector<double> latenciesMs_;
};

double Percentile(std::vector<double> v, double p) {
  if (v.empty()) return 0.0;
  std::sort(v.begin(), v.end());
  const auto at = static_cast<std::size_t>(p * static_cast<double>(v.size() - 1) + 0.5);
  return v[at];
}

void Run(int code, int seconds, int kbps, const std::string& preset) {
  const int frames = seconds * kFps;
  std::string encoderName;
  const auto units = MakeStream(code, frames, kbps, preset, encoderName);
  const FrameSize frame = *FrameSizeOfCode(code);
  std::size_t packets = 0, bytes = 0;
  for (const auto& u : units) {
    packets += u.size();
    for (const auto& p : u) bytes += p.size();
  }

  int floorPictures = 0;
  const double floorCpu = Floor(units, frame.width, frame.height, floorPictures);

  TimedTarget target;
  if (!target.Build(frame)) {
    std::fprintf(stderr, "no software renderer\n");
    std::exit(1);
  }
  DecoderContext context;
  context.SetDecoderSize(frame);
  context.Start();
  context.RegisterTarget(&target, TargetKind::Cell);
  const auto begin = Clock::now();
  for (int i = 0; i < frames; ++i) {
    std::this_thread::sleep_until(begin + std::chrono::microseconds(i * 1000000LL / kFps));
    for (const auto& piece : units[static_cast<std::size_t>(i)]) context.FeedPacket(piece);
  }
  // The last pictures: until everything fed is drawn or a second has passed.
  const auto drainEnd = Clock::now() + std::chrono::seconds(1);
  while (context.Counters().framesDrawn + context.Counters().picturesDropped <
             static_cast<uint64_t>(frames) &&
         Clock::now() < drainEnd) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  const double wall = std::chrono::duration<double>(Clock::now() - begin).count();
  const double decodeCpu = context.DecodeCpuSeconds();
  const double renderCpu = context.RenderCpuSeconds();
  const auto c = context.Counters();
  context.Stop();
  const auto latencies = target.Latencies();

  std::printf("code %d (%d x %d), %d s at %d pictures/s, %d kbit/s, encoder %s preset %s\n", code,
              frame.width, frame.height, seconds, kFps, kbps, encoderName.c_str(), preset.c_str());
  std::printf("  stream: %zu access units in %zu packets, %.1f KB a picture\n", units.size(),
              packets, static_cast<double>(bytes) / 1024.0 / static_cast<double>(frames));
  std::printf(
      "  pictures drawn: %llu (%.1f per second); dropped packets %llu, dropped pictures %llu\n",
      static_cast<unsigned long long>(c.framesDrawn), static_cast<double>(c.framesDrawn) / wall,
      static_cast<unsigned long long>(c.packetsDroppedFull),
      static_cast<unsigned long long>(c.picturesDropped));
  std::printf("  feed-to-present latency: median %.1f ms, 95th percentile %.1f ms\n",
              Percentile(latencies, 0.5), Percentile(latencies, 0.95));
  std::printf("  CPU of one core: decode thread %.1f %%, render thread %.1f %%\n",
              100.0 * decodeCpu / wall, 100.0 * renderCpu / wall);
  std::printf(
      "  floor (libavcodec alone): %.1f %% of one core for %d pictures; "
      "decode + draw / floor = %.2f\n",
      100.0 * floorCpu / wall, floorPictures,
      floorCpu > 0 ? (decodeCpu + renderCpu) / floorCpu : 0.0);
}

}  // namespace

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
  // "medium" codes as a hardware encoder does (CABAC, deblocking): the
  // stream a processor sends. "ultrafast" is the virtual processor's own.
  for (const char* preset : {"medium", "ultrafast"}) {
    Run(17, seconds, 4000, preset);
    Run(1, seconds, 1000, preset);
  }
  return 0;
}
