// Figures of the show-control server on loopback: request-to-answer latency
// (median, 99th percentile) through a target that acts on a thread of its
// own, as the panel acts on its user-interface thread; and events per second
// delivered to ten subscribed clients.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "ControlServer.h"
#include "LineClient.h"

namespace {

using namespace orv::remote;
using Clock = std::chrono::steady_clock;

// A stand-in for the panel: actions queue to one thread, which applies them
// to its state and answers.
class QueuedTarget : public ShowControlTarget {
 public:
  QueuedTarget() : thread_([this] { Loop(); }) {}
  ~QueuedTarget() override {
    {
      std::lock_guard lock(mutex_);
      stop_ = true;
    }
    wake_.notify_one();
    thread_.join();
  }
  void Execute(const ShowRequest& r, std::function<void(ActionResult)> done) override {
    {
      std::lock_guard lock(mutex_);
      queue_.emplace_back([this, r, done = std::move(done)] {
        if (r.command == Command::Input)
          state_.layers[static_cast<std::size_t>(r.layer)].input = r.value;
        done(ActionResult::Ok(state_));
      });
    }
    wake_.notify_one();
  }

 private:
  void Loop() {
    std::unique_lock lock(mutex_);
    while (true) {
      wake_.wait(lock, [this] { return stop_ || !queue_.empty(); });
      if (stop_) return;
      auto job = std::move(queue_.front());
      queue_.pop_front();
      lock.unlock();
      job();
      lock.lock();
    }
  }

  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::function<void()>> queue_;
  bool stop_ = false;
  ShowState state_;
  std::thread thread_;
};

double Ms(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

}  // namespace

int main() {
  const std::string ip = "127.0.0.1";
  QueuedTarget target;
  ServerOptions options;
  options.address = ip;
  options.port = 0;
  ControlServer server(target, options);
  std::string error;
  if (!server.Start(&error)) {
    std::fprintf(stderr, "control_bench: %s\n", error.c_str());
    return 1;
  }

  // Latency: one client, one request at a time.
  constexpr int kRequests = 5000;
  orv::test::LineClient client(ip, server.Port());
  std::vector<double> latencies;
  latencies.reserve(kRequests);
  for (int i = 0; i < kRequests; ++i) {
    const auto start = Clock::now();
    client.Send(R"({"cmd":"input","layer":1,"input":)" + std::to_string(i % 12) + "}");
    if (!client.ReadLine()) {
      std::fprintf(stderr, "control_bench: no answer to request %d\n", i);
      return 1;
    }
    latencies.push_back(Ms(Clock::now() - start));
  }
  std::sort(latencies.begin(), latencies.end());
  std::printf(
      "request to answer (%d requests, full state in each answer): median %.3f ms, "
      "99th percentile %.3f ms, max %.3f ms\n",
      kRequests, latencies[kRequests / 2], latencies[kRequests * 99 / 100], latencies.back());

  // Events: ten subscribers, one layer event per published change.
  constexpr int kClients = 10;
  constexpr int kChanges = 20000;
  std::vector<std::unique_ptr<orv::test::LineClient>> subscribers;
  ShowState state;
  server.Publish(state);
  for (int c = 0; c < kClients; ++c) {
    subscribers.push_back(std::make_unique<orv::test::LineClient>(ip, server.Port()));
    subscribers.back()->Send(R"({"cmd":"subscribe"})");
    subscribers.back()->ReadLine();
  }
  std::vector<std::thread> readers;
  // Counted by the readers; the publisher stays at most kWindow changes ahead
  // of the slowest client, below the server's per-client queue bound.
  constexpr int kWindow = 500;
  std::vector<std::atomic<int>> received(kClients);
  std::vector<Clock::time_point> finished(kClients);
  for (int c = 0; c < kClients; ++c) {
    readers.emplace_back([&, c] {
      auto& mine = received[static_cast<std::size_t>(c)];
      while (mine.load() < kChanges) {
        if (!subscribers[static_cast<std::size_t>(c)]->ReadLine()) break;
        mine.fetch_add(1);
      }
      finished[static_cast<std::size_t>(c)] = Clock::now();
    });
  }
  const auto start = Clock::now();
  auto slowest = [&] {
    int least = kChanges;
    for (const auto& n : received) least = std::min(least, n.load());
    return least;
  };
  for (int i = 0; i < kChanges; ++i) {
    while (i - slowest() > kWindow) std::this_thread::yield();
    state.layers[2].input = (i + 1) % 2;  // every change differs from the one before
    server.Publish(state);
  }
  for (std::thread& t : readers) t.join();
  const auto last = *std::max_element(finished.begin(), finished.end());
  int total = 0;
  for (const auto& n : received) total += n.load();
  const double seconds = Ms(last - start) / 1000.0;
  std::printf(
      "events to %d subscribers: %d of %d delivered in %.3f s, %.0f events/s in all, "
      "%.0f per client; dropped clients %llu\n",
      kClients, total, kClients * kChanges, seconds, total / seconds, total / seconds / kClients,
      static_cast<unsigned long long>(server.Stats().dropped));
  server.Stop();
  return total == kClients * kChanges ? 0 : 1;
}
