#pragma once
// Numbered timers of a window, in the manner of SetTimer/KillTimer: a timer is
// named by a number chosen by its owner, fires every interval until it is
// killed, and arrives as OnTimer(id) on the owner's thread (the GUI thread).
// Setting a running timer again restarts it with the new interval.
#include <cstdint>
#include <memory>

namespace orv {

class TimerClient {
 public:
  TimerClient();
  virtual ~TimerClient();
  TimerClient(const TimerClient&) = delete;
  TimerClient& operator=(const TimerClient&) = delete;

  // Intervals below 10 ms are raised to 10 ms, as the desktop toolkit does.
  void SetTimer(uint32_t id, int intervalMs);
  // Returns whether a timer of that number was running.
  bool KillTimer(uint32_t id);
  bool IsTimerActive(uint32_t id) const;
  // 0 when the timer is not running.
  int TimerIntervalMs(uint32_t id) const;

 protected:
  virtual void OnTimer(uint32_t id) = 0;

 private:
  friend class TimerHost;
  std::unique_ptr<class TimerHost> host_;
};

// Manual time for tests: while on, timers do not run by themselves; they fire
// only from AdvanceManualTime, in due order, so a 10-second liveness timer is
// tested without waiting. Switch it on before the timers are set.
void SetManualTimers(bool manual);
bool ManualTimers();
// Moves manual time forward and fires every timer that falls due, in order of
// due time (a timer with an interval of 1000 fires 3 times for 3000 ms).
void AdvanceManualTime(int64_t ms);
int64_t ManualTimeMs();

}  // namespace orv
