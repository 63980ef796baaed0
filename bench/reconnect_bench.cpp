// The link watch against the virtual processor in this process, over TCP
// loopback, ticked every 100 ms as the panel ticks it. Ten rounds each of:
//
//   closed   the processor drops the connection; until the watch calls the
//            link lost
//   silent   the processor hangs (link open, nothing sent); until lost
//   back     the processor was switched off for 0.1 .. 1.0 s (longer each
//            round) and comes back on the same address; from its return
//            until the read-back of the reconnect is complete (data type 17)
//
// The reconnect attempts follow the backoff (0.5, 1, 2, 4, then every 5 s),
// so a processor that stays off longer waits up to 5 s for the next attempt;
// the figure is for a processor that is back within the first second.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "LibraryLinkDriver.h"
#include "LinkWatch.h"
#include "OrvComm.h"
#include "TestNet.h"
#include "VirtualProcessor.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRounds = 10;
constexpr uint16_t kGetAll = 0;
constexpr uint16_t kProbe = 67;
constexpr int kPresetFlags = 17;

double Ms(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

struct Figures {
  std::vector<double> ms;
  void Print(const char* name, const char* goal) {
    if (ms.empty()) {
      std::printf("%-8s no round completed\n", name);
      return;
    }
    std::sort(ms.begin(), ms.end());
    std::printf("%-8s median %7.1f ms   max %7.1f ms   (%zu rounds, goal %s)\n", name,
                ms[ms.size() / 2], ms.back(), ms.size(), goal);
  }
};

class Bench {
 public:
  explicit Bench(const std::string& ip)
      : ip_(ip),
        driver_(&comm_, {[this] { Send(kProbe); }, [this](const orv::LinkTarget&) { Resync(); }}),
        watch_(driver_) {
    comm_.RegisterReply([this](const orv::Reply&) { readBackDone_ = true; }, kPresetFlags);
  }

  bool Connect() {
    if (!comm_.OpenNetLink(ip_.c_str(), orv::kDevicePort)) return false;
    orv::LinkTarget target;
    target.kind = orv::LinkTarget::Kind::Network;
    target.ip = ip_;
    target.deviceAddress = static_cast<uint8_t>(std::stoi(ip_.substr(ip_.rfind('.') + 1)));
    watch_.Begin(target);
    return true;
  }

  // Ticks every 100 ms until `done` holds (20 s at most); the time it held.
  std::optional<Clock::time_point> TickUntil(const std::function<bool()>& done) {
    const auto deadline = Clock::now() + std::chrono::seconds(20);
    auto next = Clock::now();
    while (Clock::now() < deadline) {
      watch_.Tick();
      if (done()) return Clock::now();
      next += std::chrono::milliseconds(orv::LinkWatch::kTickMs);
      std::this_thread::sleep_until(next);
    }
    return std::nullopt;
  }

  bool Lost() const { return watch_.Status().Down(); }
  bool Answering() const { return watch_.Status().phase == orv::LinkPhase::Connected; }
  bool ReadBackDone() const { return readBackDone_ && Answering(); }
  void ForgetReadBack() { readBackDone_ = false; }

 private:
  void Send(uint16_t type) {
    uint8_t buffer[orv::kCommandBufferSize];
    std::fill(std::begin(buffer), std::end(buffer), 0x55);
    comm_.SendTyped(type, buffer, watch_.Status().target.deviceAddress);
  }
  void Resync() {
    readBackDone_ = false;
    Send(kGetAll);
  }

  std::string ip_;
  orv::OrvComm comm_;
  orv::LibraryLinkDriver driver_;
  orv::LinkWatch watch_;
  std::atomic<bool> readBackDone_{false};
};

}  // namespace

int main() {
  const std::string ip = orv::test::TestIp(21);
  orv::sim::ProcessorConfig config;
  config.ip = ip;
  config.udp = false;
  config.encoder = false;
  orv::sim::VirtualProcessor processor(config);
  std::string error;
  if (!processor.Start(&error)) {
    std::fprintf(stderr, "reconnect_bench: %s\n", error.c_str());
    return 1;
  }
  Bench bench(ip);
  if (!bench.Connect()) {
    std::fprintf(stderr, "reconnect_bench: cannot connect to %s\n", ip.c_str());
    return 1;
  }
  Figures closed, silent, back;
  auto settle = [&] { return bench.TickUntil([&] { return bench.Answering(); }).has_value(); };

  for (int round = 0; round < kRounds && settle(); ++round) {
    const auto start = Clock::now();
    processor.DropLinks(orv::sim::VirtualProcessor::LinkSet::Tcp);
    if (auto at = bench.TickUntil([&] { return bench.Lost(); }))
      closed.ms.push_back(Ms(*at - start));
  }
  for (int round = 0; round < kRounds && settle(); ++round) {
    const auto start = Clock::now();
    processor.SetHung(true);
    if (auto at = bench.TickUntil([&] { return bench.Lost(); }))
      silent.ms.push_back(Ms(*at - start));
    processor.SetHung(false);
  }
  for (int round = 0; round < kRounds && settle(); ++round) {
    processor.GoOffline();
    if (!bench.TickUntil([&] { return bench.Lost(); })) break;
    const auto offUntil = Clock::now() + std::chrono::milliseconds(100 * (round + 1));
    bench.TickUntil([&] { return Clock::now() >= offUntil; });
    bench.ForgetReadBack();
    const auto start = Clock::now();
    if (!processor.ComeBack()) break;
    if (auto at = bench.TickUntil([&] { return bench.ReadBackDone(); }))
      back.ms.push_back(Ms(*at - start));
  }
  processor.Stop();

  std::printf("reconnect_bench: link watch over TCP loopback, ticked every %d ms\n",
              orv::LinkWatch::kTickMs);
  closed.Print("closed", "<= 1000 ms");
  silent.Print("silent", "<= 4000 ms");
  back.Print("back", "<= 1500 ms");
  return 0;
}
