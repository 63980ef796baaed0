// Write confirmations: the time from a command's send to its confirmation
// (acknowledge, report, comparison) over TCP loopback against the virtual
// processor running in this process, for 1,000 mixed writes sent one after
// another; and the tracker's memory while 100,000 writes go to a library that
// never answers.
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "CommandEncoder.h"
#include "ConfirmationTracker.h"
#include "Decoders.h"
#include "DeviceState.h"
#include "FakeCommLibrary.h"
#include "OrvComm.h"
#include "VirtualProcessor.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kCommands = 1000;
constexpr int kFloodCommands = 100000;

struct Write {
  uint16_t type;
  uint8_t a;
};

// Settings the processor stores as sent, so that every one is confirmed.
constexpr Write kMix[] = {
    {orv::SET_LAYER_WINDOW, 1}, {orv::SET_LAYER_ONOFF, 1},     {orv::SET_TEST_PATTERN, 0},
    {orv::SET_LOOP_OUT, 0},     {orv::SET_TRANSITION_TIME, 0}, {orv::SET_PICTURE, 0},
    {orv::FREEZE, 0},           {orv::SET_LAYER_WINDOW, 2},    {orv::SET_PVW_MODE, 0},
};

class Confirmations {
 public:
  Confirmations() {
    sendId_ = orv::AddSendObserver([this](const orv::SentCommand& s) {
      std::lock_guard lock(mutex_);
      sentAt_[s.serial] = Clock::now();
    });
    outcomeId_ = orv::AddOutcomeObserver([this](const orv::WriteOutcome& o) {
      std::lock_guard lock(mutex_);
      const auto sent = sentAt_.find(o.serial);
      if (sent != sentAt_.end()) {
        const double ms =
            std::chrono::duration<double, std::milli>(Clock::now() - sent->second).count();
        ms_.push_back(ms);
        byType_[o.type].push_back(ms);
        sentAt_.erase(sent);
      }
      ++verdicts_[static_cast<int>(o.verdict)];
      cv_.notify_all();
    });
  }
  ~Confirmations() {
    orv::RemoveOutcomeObserver(outcomeId_);
    orv::RemoveSendObserver(sendId_);
  }
  bool WaitFor(std::size_t settled) {
    std::unique_lock lock(mutex_);
    return cv_.wait_for(lock, std::chrono::seconds(5), [&] { return Settled() >= settled; });
  }
  std::vector<double> Times() {
    std::lock_guard lock(mutex_);
    return ms_;
  }
  std::map<uint16_t, std::vector<double>> ByType() {
    std::lock_guard lock(mutex_);
    return byType_;
  }
  std::map<int, int> Verdicts() {
    std::lock_guard lock(mutex_);
    return verdicts_;
  }

 private:
  std::size_t Settled() const {
    std::size_t n = 0;
    for (const auto& [verdict, count] : verdicts_) n += static_cast<std::size_t>(count);
    return n;
  }
  std::mutex mutex_;
  std::condition_variable cv_;
  std::map<uint64_t, Clock::time_point> sentAt_;
  std::vector<double> ms_;
  std::map<uint16_t, std::vector<double>> byType_;
  std::map<int, int> verdicts_;
  int sendId_ = 0;
  int outcomeId_ = 0;
};

double Percentile(const std::vector<double>& sorted, double p) {
  const auto at = static_cast<std::size_t>(p * static_cast<double>(sorted.size() - 1) + 0.5);
  return sorted[std::min(at, sorted.size() - 1)];
}

bool LoopbackRun() {
  orv::sim::ProcessorConfig config;
  config.ip = "127.0.9.21";
  config.udp = false;
  config.selfReportMs = 0;
  config.previewOffered = false;
  orv::sim::VirtualProcessor processor(config);
  std::string error;
  if (!processor.Start(&error)) {
    std::fprintf(stderr, "confirm_bench: %s\n", error.c_str());
    return false;
  }
  *orv::State() = orv::DeviceState();
  auto comm = std::make_unique<orv::OrvComm>();
  orv::SetDeviceAddress(processor.address());
  orv::SetCommLibrary(comm.get());
  orv::RegisterReplyFunctions(*comm);
  bool ok = comm->OpenNetLink(config.ip.c_str(), orv::kDevicePort) != 0;
  {
    orv::ConfirmationTracker tracker;
    Confirmations confirmations;
    for (int i = 0; ok && i < kCommands; ++i) {
      const Write& w = kMix[static_cast<std::size_t>(i) % std::size(kMix)];
      orv::SendCommand(w.type, w.a, 0);
      ok = confirmations.WaitFor(static_cast<std::size_t>(i) + 1);
    }
    std::vector<double> ms = confirmations.Times();
    std::sort(ms.begin(), ms.end());
    const auto verdicts = confirmations.Verdicts();
    if (ok && !ms.empty()) {
      std::printf("send to confirmation, TCP loopback, %d mixed writes one after another:\n",
                  kCommands);
      std::printf("  median %.3f ms   99th percentile %.3f ms   max %.3f ms\n", Percentile(ms, 0.5),
                  Percentile(ms, 0.99), ms.back());
      std::printf("  confirmed %d  refused %d  disagreed %d  unconfirmed %d  unmatched %llu\n",
                  verdicts.count(0) ? verdicts.at(0) : 0, verdicts.count(1) ? verdicts.at(1) : 0,
                  verdicts.count(2) ? verdicts.at(2) : 0, verdicts.count(3) ? verdicts.at(3) : 0,
                  static_cast<unsigned long long>(tracker.Stats().unmatched));
      // SET_PVW_MODE (15) ends with event kind 3, whose re-read pauses the
      // reply thread: the write sent after it (a layer window) waits behind
      // those pauses, which makes the tail of the whole mix.
      for (auto& [type, times] : confirmations.ByType()) {
        std::sort(times.begin(), times.end());
        std::printf("  type %2u: median %.3f ms  99th percentile %.3f ms  (%zu writes)\n", type,
                    Percentile(times, 0.5), Percentile(times, 0.99), times.size());
      }
    }
  }
  orv::SetCommLibrary(nullptr);
  comm->CloseAll();
  comm.reset();
  return ok;
}

// A library that takes every send and never answers.
class SilentLibrary : public orv::test::FakeCommLibrary {
 public:
  int SendTyped(uint16_t, const uint8_t*, uint8_t) override { return 1; }
};

void MemoryRun() {
  SilentLibrary silent;
  orv::SetCommLibrary(&silent);
  int64_t now = 0;
  orv::ConfirmationTracker::Options options;
  options.clock = [&now] { return now; };
  options.readBack = [](uint16_t, uint8_t) {};
  orv::ConfirmationTracker tracker(options);
  std::size_t largest = 0;
  for (int i = 0; i < kFloodCommands; ++i) {
    const Write& w = kMix[static_cast<std::size_t>(i) % std::size(kMix)];
    orv::SendCommand(w.type, w.a, 0);
    if (i % 1000 == 999) largest = std::max(largest, tracker.MemoryBytes());
  }
  const std::size_t before = tracker.MemoryBytes();
  const std::size_t pending = tracker.PendingCount();
  now += 1000;
  tracker.Expire(now);
  const auto stats = tracker.Stats();
  std::printf("tracker memory, %d writes never answered:\n", kFloodCommands);
  std::printf(
      "  largest %zu bytes, at the end %zu bytes with %zu pending; after expiry %zu bytes\n",
      largest, before, pending, tracker.MemoryBytes());
  std::printf("  settled as unconfirmed %llu (%llu to keep the bound), outcomes dropped %llu\n",
              static_cast<unsigned long long>(stats.unconfirmed),
              static_cast<unsigned long long>(stats.overflowed),
              static_cast<unsigned long long>(stats.droppedOutcomes));
  orv::SetCommLibrary(nullptr);
}

}  // namespace

int main() {
  if (!LoopbackRun()) {
    std::fprintf(stderr, "confirm_bench: the loopback run failed\n");
    return 1;
  }
  MemoryRun();
  return 0;
}
