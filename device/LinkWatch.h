#pragma once
// The link to the connected processor, watched. Every way of connecting
// (search, typed address, --connect, --serial, the serial page) hands its
// link to the one LinkWatch, which notices a lost link, probes a silent one
// and reconnects with backoff, then has the processor read back.
//
// It sees the link only through a LinkDriver and time only through an
// injected clock, and is driven by Tick() from a timer (every kTickMs); it
// never blocks and runs on one thread (the user-interface thread).
#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "CommLibrary.h"
#include "LinkHealth.h"

namespace orv {

// The link the operator chose, as the watch reopens it.
struct LinkTarget {
  enum class Kind : uint8_t { None, Network, Serial };
  Kind kind = Kind::None;
  std::string ip;               // Network: IPv4 text
  uint16_t port = kDevicePort;  // Network: the TCP port
  // Network: the panel's own built-in processor (offline mode), on a
  // private loopback address.
  bool offline = false;
  uint8_t deviceAddress = 0;  // the address commands carry
  std::string serialName;     // Serial: the stable device name (a by-id link when there is one)
  int baud = 0;
  std::string name;  // what the operator calls the processor (may be empty)

  // "127.0.0.5" or the serial device name.
  const std::string& Where() const { return kind == Kind::Serial ? serialName : ip; }
};

enum class LinkPhase : uint8_t {
  Idle,       // nothing connected yet
  Connected,  // answering
  Probing,    // silent: a probe is out
  Lost,       // waiting for the next reconnect attempt
  Reopening,  // a reconnect attempt is opening the link
  Resyncing,  // the link is open again; the read-back must be answered
  Closed,     // disconnected by the operator
};

struct LinkStatus {
  LinkPhase phase = LinkPhase::Idle;
  LinkTarget target;
  int attempt = 0;               // reconnect attempts since the loss
  int64_t lostAtMs = -1;         // clock time the loss was found
  int64_t reconnectedAtMs = -1;  // clock time of the last reconnect since Begin; -1 none

  // While the link is down commands are refused instead of sent.
  bool Down() const { return phase == LinkPhase::Lost || phase == LinkPhase::Reopening; }
  bool Reconnecting() const { return Down() || phase == LinkPhase::Resyncing; }
};

// What the watch does to the world.
class LinkDriver {
 public:
  virtual ~LinkDriver() = default;
  // The link the sends go to, now.
  virtual RouteHealth Observe() = 0;
  // Whether the target's device is still there (a serial device node).
  virtual bool DevicePresent(const LinkTarget& target) = 0;
  // A harmless request that the processor answers (see docs/protocol.md).
  virtual void SendProbe() = 0;
  virtual void Close(const LinkTarget& target) = 0;
  // Starts opening the target's link again; returns at once.
  virtual void BeginReopen(const LinkTarget& target) = 0;
  // The link is open again: make it the target of sends and read everything back.
  virtual void Resync(const LinkTarget& target) = 0;
};

class LinkWatch {
 public:
  using Clock = std::function<int64_t()>;  // milliseconds, monotonic
  using Listener = std::function<void(const LinkStatus&)>;

  static constexpr int kTickMs = 100;
  static constexpr int kSilenceBeforeProbeMs = 2000;
  static constexpr int kProbeAnswerMs = 1000;
  // A reconnect attempt whose link is not open by then is given up.
  static constexpr int kReopenLimitMs = 3000;
  // A reopened link whose processor does not answer the read-back by then
  // (a processor that accepts connections but hangs) is given up.
  static constexpr int kResyncAnswerMs = 3000;
  // Pause before reconnect attempt n (1-based); the last repeats.
  static constexpr std::array<int, 5> kBackoffMs = {500, 1000, 2000, 4000, 5000};

  static int64_t SteadyMilliseconds();
  static int BackoffMs(int attempt);

  explicit LinkWatch(LinkDriver& driver, Clock clock = SteadyMilliseconds);

  // Called on every change of phase or attempt.
  void SetListener(Listener listener) { listener_ = std::move(listener); }

  // A connect of any kind opened `target` and started its read-back.
  void Begin(LinkTarget target);
  // The operator disconnected: no more watching or reconnecting.
  void OperatorDisconnect();
  // The processor's name became known (the search window's tile name).
  void SetTargetName(const std::string& name);
  void Tick();

  const LinkStatus& Status() const { return status_; }

 private:
  void Enter(LinkPhase phase, int64_t now);
  void LoseLink(int64_t now);
  void RetryLater(int64_t now);
  // True when the link is gone (closed, or its device vanished).
  bool LinkGone(const RouteHealth& health);
  // True (and the silence timer restarted) when frames arrived since the last look.
  bool HeardFrom(const RouteHealth& health, int64_t now);
  void Notify();

  LinkDriver& driver_;
  Clock clock_;
  Listener listener_;
  LinkStatus status_;
  uint64_t framesSeen_ = 0;
  int64_t heardAtMs_ = 0;
  int64_t phaseSinceMs_ = 0;
  int64_t nextAttemptAtMs_ = 0;
};

// The watch of the running panel (set by the main window; null in tests
// that have none). User-interface thread only.
void SetLinkWatch(LinkWatch* watch);
LinkWatch* GetLinkWatch();

}  // namespace orv
