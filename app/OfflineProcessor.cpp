#include "OfflineProcessor.h"

#include <random>

#include "DeviceModel.h"
#include "VirtualProcessor.h"

namespace orv {

namespace {

constexpr int kAddressAttempts = 16;
// The second number of every private address: far from 127.0.0.x, where
// the demo, the tests and a loopback search put their processors.
constexpr uint32_t kPrivateNet = 77;
constexpr int kKeyframeMs = 200;

}  // namespace

OfflineProcessor::OfflineProcessor() = default;

OfflineProcessor::~OfflineProcessor() {
  Stop();
}

std::string OfflineProcessor::CandidateAddress(uint32_t seed, int n) {
  const uint32_t mixed = (seed + static_cast<uint32_t>(n) * 2654435761u) ^ (seed >> 16);
  const uint32_t third = (mixed >> 8) % 256;
  const uint32_t fourth = 2 + mixed % 252;  // 2..253: never .0, .1, .254 or .255
  return "127." + std::to_string(kPrivateNet) + "." + std::to_string(third) + "." +
         std::to_string(fourth);
}

bool OfflineProcessor::Start(const std::optional<ParamBlock>& image, std::string* error) {
  Stop();
  const uint32_t seed = std::random_device{}();
  std::string why;
  for (int n = 0; n < kAddressAttempts; ++n) {
    sim::ProcessorConfig config;
    config.ip = CandidateAddress(seed, n);
    config.port = 0;
    config.udp = false;
    // The panel's decoder starts after the read-back, well after the first
    // keyframe went out: a short interval brings the first picture sooner.
    config.keyframeMs = kKeyframeMs;
    auto processor = std::make_unique<sim::VirtualProcessor>(config);
    if (!processor->Start(&why)) continue;
    if (image) processor->WithModel([&image](sim::DeviceModel& model) { model.image() = *image; });
    ip_ = config.ip;
    port_ = processor->config().port;
    processor_ = std::move(processor);
    return true;
  }
  if (error) *error = why;
  return false;
}

void OfflineProcessor::Stop() {
  if (!processor_) return;
  processor_->Stop();
  processor_.reset();
  ip_.clear();
  port_ = 0;
}

}  // namespace orv
