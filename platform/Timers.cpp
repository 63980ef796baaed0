#include "Timers.h"

#include <algorithm>
#include <map>
#include <vector>

#include <QObject>
#include <QTimerEvent>

namespace orv {

namespace {
bool manual_mode = false;
int64_t manual_now_ms = 0;
uint64_t timer_sequence = 0;  // orders timers falling due at the same moment
std::vector<TimerHost*>& Hosts() {
  static std::vector<TimerHost*> hosts;
  return hosts;
}
constexpr int kMinimumIntervalMs = 10;
}  // namespace

// The QObject behind a TimerClient: maps the owner's numbers to Qt timers (or,
// in manual mode, to due times on the manual clock).
class TimerHost : public QObject {
 public:
  explicit TimerHost(TimerClient* owner) : owner_(owner) { Hosts().push_back(this); }
  ~TimerHost() override {
    auto& hosts = Hosts();
    hosts.erase(std::remove(hosts.begin(), hosts.end(), this), hosts.end());
  }

  struct Entry {
    int intervalMs = 0;
    int qtTimerId = 0;      // 0 in manual mode
    int64_t dueMs = 0;      // manual mode only
    uint64_t sequence = 0;  // orders timers falling due at the same moment
  };

  void Set(uint32_t id, int intervalMs) {
    intervalMs = std::max(intervalMs, kMinimumIntervalMs);
    Kill(id);
    Entry e;
    e.intervalMs = intervalMs;
    e.sequence = ++timer_sequence;
    if (manual_mode) {
      e.dueMs = manual_now_ms + intervalMs;
    } else {
      e.qtTimerId = startTimer(intervalMs);
    }
    timers_[id] = e;
  }

  bool Kill(uint32_t id) {
    auto it = timers_.find(id);
    if (it == timers_.end()) return false;
    if (it->second.qtTimerId) killTimer(it->second.qtTimerId);
    timers_.erase(it);
    return true;
  }

  const Entry* Find(uint32_t id) const {
    auto it = timers_.find(id);
    return it == timers_.end() ? nullptr : &it->second;
  }

  // Earliest manual timer due at or before `limit`; false when none.
  bool NextDue(int64_t limit, int64_t& due, uint64_t& sequence, uint32_t& id) const {
    bool found = false;
    for (const auto& [timerId, e] : timers_) {
      if (e.qtTimerId || e.dueMs > limit) continue;
      if (!found || e.dueMs < due || (e.dueMs == due && e.sequence < sequence)) {
        due = e.dueMs;
        sequence = e.sequence;
        id = timerId;
        found = true;
      }
    }
    return found;
  }

  void FireManual(uint32_t id) {
    auto it = timers_.find(id);
    if (it == timers_.end()) return;
    it->second.dueMs += it->second.intervalMs;
    it->second.sequence = ++timer_sequence;
    owner_->OnTimer(id);
  }

 protected:
  void timerEvent(QTimerEvent* event) override {
    for (const auto& [id, e] : timers_) {
      if (e.qtTimerId == event->timerId()) {
        owner_->OnTimer(id);  // may kill or reset timers: the loop ends here
        return;
      }
    }
  }

 private:
  TimerClient* owner_;
  std::map<uint32_t, Entry> timers_;
};

TimerClient::TimerClient() : host_(std::make_unique<TimerHost>(this)) {}
TimerClient::~TimerClient() = default;

void TimerClient::SetTimer(uint32_t id, int intervalMs) {
  host_->Set(id, intervalMs);
}
bool TimerClient::KillTimer(uint32_t id) {
  return host_->Kill(id);
}
bool TimerClient::IsTimerActive(uint32_t id) const {
  return host_->Find(id) != nullptr;
}
int TimerClient::TimerIntervalMs(uint32_t id) const {
  const auto* e = host_->Find(id);
  return e ? e->intervalMs : 0;
}

void SetManualTimers(bool manual) {
  manual_mode = manual;
  manual_now_ms = 0;
}
bool ManualTimers() {
  return manual_mode;
}
int64_t ManualTimeMs() {
  return manual_now_ms;
}

void AdvanceManualTime(int64_t ms) {
  const int64_t end = manual_now_ms + std::max<int64_t>(ms, 0);
  for (;;) {
    TimerHost* best = nullptr;
    int64_t bestDue = 0;
    uint64_t bestSeq = 0;
    uint32_t bestId = 0;
    for (TimerHost* host : Hosts()) {
      int64_t due = 0;
      uint64_t seq = 0;
      uint32_t id = 0;
      if (!host->NextDue(end, due, seq, id)) continue;
      // Equal due times: the timer set first fires first.
      if (!best || due < bestDue || (due == bestDue && seq < bestSeq)) {
        best = host;
        bestDue = due;
        bestSeq = seq;
        bestId = id;
      }
    }
    if (!best) break;
    manual_now_ms = bestDue;
    best->FireManual(bestId);
  }
  manual_now_ms = end;
}

}  // namespace orv
