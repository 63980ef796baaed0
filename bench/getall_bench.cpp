// GET_ALL until data type 2 is delivered to its reply function, over TCP
// loopback and over a pseudo-terminal at 115200 baud, against the virtual
// processor running in this process. Prints each transport's time and its
// ratio to the wire's physical limit.
//
// For the serial line the limit is the bits both frames need on the line:
// (request frame + image frame) bytes x 10 bits / baud. The processor paces
// its side of the pty to the baud rate, as a UART would; the unpaced figure
// shows what the software alone costs. For TCP loopback there is no line;
// the ratio given is to the same bytes on a 1 Gbit/s Ethernet link
// (payload bits only), which loopback does not have to respect.
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <numeric>
#include <string>
#include <vector>

#include "OrvComm.h"
#include "SerialPorts.h"
#include "VirtualProcessor.h"
#include "WireFormat.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr double kRequestBytes = orv::wire::kFrameOverhead;  // GET_ALL carries nothing
constexpr double kImageBytes = orv::wire::kFrameOverhead + orv::kParamBlockSize;

class ImageWaiter {
 public:
  explicit ImageWaiter(orv::CommLibrary& comm) {
    comm.RegisterReply(
        [this](const orv::Reply& r) {
          if (r.data.size() != orv::kParamBlockSize) return;
          std::lock_guard lock(mutex_);
          ++images_;
          cv_.notify_all();
        },
        2);
  }
  bool WaitFor(int count, int timeoutMs) {
    std::unique_lock lock(mutex_);
    return cv_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                        [&] { return images_ >= count; });
  }

 private:
  std::mutex mutex_;
  std::condition_variable cv_;
  int images_ = 0;
};

struct Figures {
  double minMs = 0, medianMs = 0, meanMs = 0;
  int runs = 0;
};

// Runs GET_ALL `runs` times one after another; false if an answer is missing.
bool Measure(orv::OrvComm& comm, ImageWaiter& waiter, int runs, Figures& out) {
  std::vector<double> ms;
  const std::vector<uint8_t> buffer(32, 0x55);
  for (int i = 0; i < runs; ++i) {
    const auto start = Clock::now();
    if (!comm.SendTyped(0, buffer.data(), 0xFF)) return false;
    if (!waiter.WaitFor(i + 1, 5000)) return false;
    ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
  }
  std::sort(ms.begin(), ms.end());
  out.runs = runs;
  out.minMs = ms.front();
  out.medianMs = ms[ms.size() / 2];
  out.meanMs = std::accumulate(ms.begin(), ms.end(), 0.0) / static_cast<double>(ms.size());
  return true;
}

void Print(const char* name, const Figures& f, double limitMs, const char* limitName) {
  std::printf(
      "%-28s %4d runs  median %8.3f ms  min %8.3f ms  mean %8.3f ms  %s %8.3f ms  ratio %8.4f\n",
      name, f.runs, f.medianMs, f.minMs, f.meanMs, limitName, limitMs, f.medianMs / limitMs);
}

bool SerialRun(bool pace, int runs, Figures& out) {
  orv::sim::ProcessorConfig config;
  config.ip = pace ? "127.0.9.2" : "127.0.9.3";
  config.serialPty = true;
  config.paceSerial = pace;
  config.selfReportMs = 0;
  orv::sim::VirtualProcessor processor(config);
  std::string error;
  if (!processor.Start(&error)) {
    std::fprintf(stderr, "getall_bench: %s\n", error.c_str());
    return false;
  }
  constexpr int kPort = 90;
  orv::AddExtraSerialDevice(processor.PtyPath(), kPort);
  orv::OrvComm comm;
  ImageWaiter waiter(comm);
  const bool ok = comm.OpenSerial(kPort, 115200) && Measure(comm, waiter, runs, out);
  orv::RemoveExtraSerialDevice(processor.PtyPath());
  return ok;
}

}  // namespace

int main() {
  std::printf("GET_ALL until data type 2 is delivered (request %d bytes, image frame %d bytes)\n",
              static_cast<int>(kRequestBytes), static_cast<int>(kImageBytes));

  {
    orv::sim::ProcessorConfig config;
    config.ip = "127.0.9.1";
    config.selfReportMs = 0;
    orv::sim::VirtualProcessor processor(config);
    std::string error;
    if (!processor.Start(&error)) {
      std::fprintf(stderr, "getall_bench: %s\n", error.c_str());
      return 1;
    }
    orv::OrvComm comm;
    ImageWaiter waiter(comm);
    Figures tcp;
    if (!comm.OpenNetLink("127.0.9.1", orv::kDevicePort) || !Measure(comm, waiter, 200, tcp)) {
      std::fprintf(stderr, "getall_bench: TCP run failed\n");
      return 1;
    }
    const double gigabitMs = (kRequestBytes + kImageBytes) * 8.0 / 1e9 * 1000.0;
    Print("TCP loopback", tcp, gigabitMs, "1 Gbit/s wire");
  }

  const double serialMs = (kRequestBytes + kImageBytes) * 10.0 / 115200.0 * 1000.0;
  Figures paced, unpaced;
  if (!SerialRun(true, 10, paced) || !SerialRun(false, 50, unpaced)) {
    std::fprintf(stderr, "getall_bench: serial run failed\n");
    return 1;
  }
  Print("pty 115200 baud, paced", paced, serialMs, "line limit");
  Print("pty 115200 baud, unpaced", unpaced, serialMs, "line limit");
  return 0;
}
