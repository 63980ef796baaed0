#pragma once
// The processor's own date and time and its scheduled tasks.
//
// The clock is kept as the six bytes the processor reports (data type 13):
// year - 2000, month, day, hour, minute, second. It knows no time zone: it
// counts civil seconds from 2000-01-01 00:00:00 and runs on from the moment
// it was last set. A task names a date and time in the same civil seconds
// and falls due once, or every day from its date on.
#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "ParamBlock.h"

namespace orv::sim {

using ClockBytes = std::array<uint8_t, 6>;

// Seconds since 2000-01-01 00:00:00 of a civil date and time; nothing when a
// field is out of range (month 13, 30 February, hour 24, minute 60).
std::optional<int64_t> CivilSeconds(const ClockBytes& t);
// The date and time of a second count 0 .. the end of year 2255.
ClockBytes CivilFields(int64_t seconds);

class DeviceClock {
 public:
  using Source = std::function<std::chrono::steady_clock::time_point()>;
  explicit DeviceClock(const ClockBytes& start, Source source = &std::chrono::steady_clock::now);

  // False when `t` is not a date and time; the clock then runs on unchanged.
  bool Set(const ClockBytes& t);
  int64_t Now() const;
  ClockBytes Read() const { return CivilFields(Now()); }

 private:
  Source source_;
  int64_t setSeconds_ = 0;
  std::chrono::steady_clock::time_point setAt_;
};

// Task options of TASKEINFO.TASK[t].OPTION.
enum TaskOption : int32_t { kTaskUnused = 0, kTaskOnce = 1, kTaskDaily = 2 };

// The tasks falling due after `from` and at or before `to` (civil seconds),
// earliest first. A task whose date or time is out of range never falls due;
// a daily task falls due at most once in the interval.
std::vector<int> DueTasks(const TaskeInfo& info, int64_t from, int64_t to);

}  // namespace orv::sim
