#include "DeviceClock.h"

#include <algorithm>

namespace orv::sim {

namespace {

constexpr int64_t kDay = 86400;
constexpr int kLastYearByte = 255;

// Days from 1970-01-01 of a proleptic Gregorian date, and back (the usual
// era arithmetic: 400-year eras of 146097 days).
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const auto yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

struct Date {
  int64_t y;
  unsigned m, d;
};

Date CivilFromDays(int64_t z) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const auto doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  const unsigned d = doy - (153 * mp + 2) / 5 + 1;
  const unsigned m = mp < 10 ? mp + 3 : mp - 9;
  return {static_cast<int64_t>(yoe) + era * 400 + (m <= 2), m, d};
}

unsigned DaysInMonth(int64_t y, unsigned m) {
  static constexpr unsigned kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  return m == 2 && leap ? 29 : kDays[m - 1];
}

const int64_t kEpochDays = DaysFromCivil(2000, 1, 1);

}  // namespace

std::optional<int64_t> CivilSeconds(const ClockBytes& t) {
  const int64_t year = 2000 + t[0];
  const unsigned month = t[1];
  const unsigned day = t[2];
  if (month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month) || t[3] > 23 ||
      t[4] > 59 || t[5] > 59) {
    return std::nullopt;
  }
  const int64_t days = DaysFromCivil(year, month, day) - kEpochDays;
  return days * kDay + t[3] * 3600 + t[4] * 60 + t[5];
}

ClockBytes CivilFields(int64_t seconds) {
  const int64_t last = *CivilSeconds({kLastYearByte, 12, 31, 23, 59, 59});
  seconds = std::clamp<int64_t>(seconds, 0, last);
  const Date date = CivilFromDays(seconds / kDay + kEpochDays);
  const int64_t inDay = seconds % kDay;
  return {static_cast<uint8_t>(date.y - 2000),   static_cast<uint8_t>(date.m),
          static_cast<uint8_t>(date.d),          static_cast<uint8_t>(inDay / 3600),
          static_cast<uint8_t>(inDay / 60 % 60), static_cast<uint8_t>(inDay % 60)};
}

DeviceClock::DeviceClock(const ClockBytes& start, Source source)
    : source_(std::move(source)), setSeconds_(CivilSeconds(start).value_or(0)), setAt_(source_()) {}

bool DeviceClock::Set(const ClockBytes& t) {
  const auto seconds = CivilSeconds(t);
  if (!seconds) return false;
  setSeconds_ = *seconds;
  setAt_ = source_();
  return true;
}

int64_t DeviceClock::Now() const {
  const auto ran = std::chrono::duration_cast<std::chrono::seconds>(source_() - setAt_);
  return setSeconds_ + ran.count();
}

std::vector<int> DueTasks(const TaskeInfo& info, int64_t from, int64_t to) {
  std::vector<std::pair<int64_t, int>> due;
  for (int t = 0; t < kTasks; ++t) {
    const Task& task = info.TASK[t];
    const auto at = CivilSeconds({task.YEAR, task.MONTH, task.DAY, task.HOUR, task.MIN, task.SEC});
    if (!at || to < *at) continue;
    int64_t last = 0;  // the task's latest time at or before `to`
    if (task.OPTION == kTaskOnce) {
      last = *at;
    } else if (task.OPTION == kTaskDaily) {
      last = *at + (to - *at) / kDay * kDay;
    } else {
      continue;
    }
    if (last > from) due.emplace_back(last, t);
  }
  std::sort(due.begin(), due.end());
  std::vector<int> tasks;
  for (const auto& d : due) tasks.push_back(d.second);
  return tasks;
}

}  // namespace orv::sim
