// A full read-back as the panel runs it, against the virtual processor in
// this process: GET_ALL through the command encoder, the image applied by the
// reply decoders, the slot requests, the 200 ms pause, the seven follow-ups
// and what their answers ask for (the encoder exchange, the board re-read),
// until the last answer has been applied. Over TCP loopback and over a
// pseudo-terminal at 115200 baud.
//
// Each figure is printed beside its floor: the mandated 200 ms pause plus the
// time the line needs for the bytes that must pass one after another: the
// GET_ALL request, the image frame, then every answer the device can only
// send after the pause (all answers except the image, the preset flags and
// the answers to the slot requests, data types 4 and 5, which travel during
// the pause). Over the serial line that is 10 bits per byte at 115200 baud;
// TCP loopback has no line, so the same bytes are counted at 1 Gbit/s.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <mutex>
#include <numeric>
#include <string>
#include <thread>
#include <vector>

#include "CommandEncoder.h"
#include "Decoders.h"
#include "DeviceState.h"
#include "ForwardingCommLibrary.h"
#include "OrvComm.h"
#include "ReadBack.h"
#include "ReplyLayout.h"
#include "SerialPorts.h"
#include "VirtualProcessor.h"
#include "WireFormat.h"

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr double kPauseMs = 200.0;
constexpr int kSerialBaud = 115200;
constexpr int kSerialPort = 91;

double Ms(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

std::size_t ReplyFrameBytes(const orv::Reply& r) {
  const orv::wire::ReplyRule* rule = orv::wire::ReplyRuleOf(r.dataType);
  const std::size_t args = rule != nullptr ? rule->argBytes : 0;
  return orv::wire::kFrameOverhead + args + r.data.size() + r.extra.size();
}

// One reply function call: when it began and ended, and its frame's size.
struct Applied {
  int type;
  std::size_t frameBytes;
  Clock::time_point begin;
  Clock::time_point end;
};

// Forwards every call to the real library; wraps each registered reply
// function to note when it ran, and counts the typed sends.
class TimedLibrary : public orv::test::ForwardingCommLibrary {
 public:
  using ForwardingCommLibrary::ForwardingCommLibrary;

  int RegisterReply(orv::ReplyFunction function, int dataType) override {
    auto timed = [this, function = std::move(function)](const orv::Reply& r) {
      const auto begin = Clock::now();
      function(r);
      const auto end = Clock::now();
      std::lock_guard lock(mutex_);
      applied_.push_back({r.dataType, ReplyFrameBytes(r), begin, end});
      lastActivity_ = end;
    };
    return ForwardingCommLibrary::RegisterReply(timed, dataType);
  }
  int SendTyped(uint16_t type, const uint8_t* buffer, uint8_t address) override {
    {
      std::lock_guard lock(mutex_);
      ++sends_;
      lastActivity_ = Clock::now();
    }
    return ForwardingCommLibrary::SendTyped(type, buffer, address);
  }

  void Clear() {
    std::lock_guard lock(mutex_);
    applied_.clear();
    sends_ = 0;
    lastActivity_ = Clock::now();
  }
  std::vector<Applied> AppliedReplies() const {
    std::lock_guard lock(mutex_);
    return applied_;
  }
  int Sends() const {
    std::lock_guard lock(mutex_);
    return sends_;
  }
  // True once the image was applied (its pause and follow-ups included) and
  // nothing was sent or applied for `quiet`.
  bool Settled(milliseconds quiet) const {
    std::lock_guard lock(mutex_);
    const bool image =
        std::any_of(applied_.begin(), applied_.end(), [](const Applied& a) { return a.type == 2; });
    return image && Clock::now() - lastActivity_ >= quiet;
  }

 private:
  mutable std::mutex mutex_;
  std::vector<Applied> applied_;
  int sends_ = 0;
  Clock::time_point lastActivity_ = Clock::now();
};

struct Run {
  double imageMs = 0;       // GET_ALL sent until the image's decoder began
  double lastMs = 0;        // GET_ALL sent until the last answer was applied
  double floorMs = 0;       // pause + line time of the bytes in sequence
  int requests = 0;         // typed sends, GET_ALL included
  int replies = 0;          // reply functions run
  std::size_t bytesIn = 0;  // reply frame bytes
};

// Line time of `bytes` in milliseconds: 10 bits per byte on a serial line,
// 8 on a 1 Gbit/s Ethernet link (baud 0).
double LineMs(double bytes, int baud) {
  return baud > 0 ? bytes * 10.0 / baud * 1000.0 : bytes * 8.0 / 1e9 * 1000.0;
}

bool OneReadBack(TimedLibrary& library, int baud, Run& out) {
  library.Clear();
  orv::ResetReplyStatistics();
  const auto start = Clock::now();
  orv::StartFullReadBack();
  const auto deadline = start + std::chrono::seconds(10);
  while (!library.Settled(milliseconds(150))) {
    if (Clock::now() > deadline) return false;
    std::this_thread::sleep_for(milliseconds(2));
  }
  const auto applied = library.AppliedReplies();
  out = {};
  out.requests = library.Sends();
  out.replies = static_cast<int>(applied.size());
  double afterPauseBytes = 0;
  double imageBytes = 0;
  for (const Applied& a : applied) {
    out.bytesIn += a.frameBytes;
    out.lastMs = std::max(out.lastMs, Ms(a.end - start));
    if (a.type == 2) {
      out.imageMs = Ms(a.begin - start);
      imageBytes = static_cast<double>(a.frameBytes);
    } else if (a.type != 17 && a.type != 4 && a.type != 5) {
      afterPauseBytes += static_cast<double>(a.frameBytes);
    }
  }
  const double requestBytes = orv::wire::kFrameOverhead;  // GET_ALL carries nothing
  out.floorMs = kPauseMs + LineMs(requestBytes + imageBytes + afterPauseBytes, baud);
  return out.imageMs > 0;
}

struct Summary {
  std::vector<Run> runs;
  double Median(double Run::*field) const {
    std::vector<double> v;
    for (const Run& r : runs) v.push_back(r.*field);
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
  }
  double Min(double Run::*field) const {
    double m = runs.front().*field;
    for (const Run& r : runs) m = std::min(m, r.*field);
    return m;
  }
  double Max(double Run::*field) const {
    double m = runs.front().*field;
    for (const Run& r : runs) m = std::max(m, r.*field);
    return m;
  }
};

bool Measure(TimedLibrary& library, int baud, int runs, Summary& out) {
  Run warmUp;
  if (!OneReadBack(library, baud, warmUp)) return false;
  for (int i = 0; i < runs; ++i) {
    Run r;
    if (!OneReadBack(library, baud, r)) return false;
    out.runs.push_back(r);
  }
  return true;
}

void Print(const char* name, const Summary& s) {
  const Run& first = s.runs.front();
  const double last = s.Median(&Run::lastMs);
  const double floor = s.Median(&Run::floorMs);
  std::printf("%s (%zu runs; %d requests, %d replies, %zu reply bytes per run)\n", name,
              s.runs.size(), first.requests, first.replies, first.bytesIn);
  std::printf("  GET_ALL sent -> image decoded       median %8.2f ms  min %8.2f  max %8.2f\n",
              s.Median(&Run::imageMs), s.Min(&Run::imageMs), s.Max(&Run::imageMs));
  std::printf("  GET_ALL sent -> last answer applied median %8.2f ms  min %8.2f  max %8.2f\n", last,
              s.Min(&Run::lastMs), s.Max(&Run::lastMs));
  std::printf(
      "  floor (200 ms pause + line time)           %8.2f ms  ratio %6.3f  above floor %7.2f ms\n",
      floor, last / floor, last - floor);
}

// The panel's side: the real library, the reply decoders registered through
// the timing wrapper, the encoder sending through it.
struct Panel {
  std::unique_ptr<orv::OrvComm> comm = std::make_unique<orv::OrvComm>();
  TimedLibrary timed{*comm};
  explicit Panel(uint8_t deviceAddress) {
    *orv::State() = orv::DeviceState();
    orv::SetDeviceAddress(deviceAddress);
    orv::SetCommLibrary(&timed);
    orv::RegisterReplyFunctions(timed);
  }
  ~Panel() {
    orv::SetCommLibrary(nullptr);
    comm->CloseAll();
    comm.reset();  // joins the reply thread before the wrapper goes
  }
};

std::unique_ptr<orv::sim::VirtualProcessor> StartProcessor(const std::string& ip, bool pty,
                                                           bool pace) {
  orv::sim::ProcessorConfig config;
  config.ip = ip;
  config.serialPty = pty;
  config.paceSerial = pace;
  config.udp = false;
  config.selfReportMs = 0;
  auto processor = std::make_unique<orv::sim::VirtualProcessor>(config);
  std::string error;
  if (!processor->Start(&error)) {
    std::fprintf(stderr, "readback_bench: %s\n", error.c_str());
    return nullptr;
  }
  return processor;
}

bool TcpRun(int runs, Summary& out) {
  auto processor = StartProcessor("127.0.9.11", false, false);
  if (!processor) return false;
  Panel panel(processor->address());
  return panel.comm->OpenNetLink("127.0.9.11", orv::kDevicePort) &&
         Measure(panel.timed, 0, runs, out);
}

bool SerialRun(bool pace, int runs, Summary& out) {
  auto processor = StartProcessor(pace ? "127.0.9.12" : "127.0.9.13", true, pace);
  if (!processor) return false;
  orv::AddExtraSerialDevice(processor->PtyPath(), kSerialPort);
  bool ok = false;
  {
    Panel panel(processor->address());
    ok = panel.comm->OpenSerial(kSerialPort, kSerialBaud) &&
         Measure(panel.timed, pace ? kSerialBaud : 0, runs, out);
  }
  orv::RemoveExtraSerialDevice(processor->PtyPath());
  return ok;
}

}  // namespace

int main() {
  std::printf("Full read-back: GET_ALL until the last follow-up answer is applied\n");
  Summary tcp, paced, unpaced;
  if (!TcpRun(20, tcp)) {
    std::fprintf(stderr, "readback_bench: TCP run failed\n");
    return 1;
  }
  Print("TCP loopback (line counted at 1 Gbit/s)", tcp);
  if (!SerialRun(true, 5, paced)) {
    std::fprintf(stderr, "readback_bench: serial run failed\n");
    return 1;
  }
  Print("pty 115200 baud, paced like a UART", paced);
  if (!SerialRun(false, 5, unpaced)) {
    std::fprintf(stderr, "readback_bench: unpaced serial run failed\n");
    return 1;
  }
  Print("pty, unpaced (software alone; line counted at 1 Gbit/s)", unpaced);
  return 0;
}
