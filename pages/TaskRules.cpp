#include "TaskRules.h"

#include <algorithm>

namespace orv {

namespace {

constexpr int kFirstYear = 2000;
constexpr int kLastYear = kFirstYear + 255;

uint8_t Clamped(int value, int low, int high) {
  return static_cast<uint8_t>(std::clamp(value, low, high));
}

}  // namespace

std::optional<QDateTime> ClockTime(const ClockFields& clock) {
  const QDate date(kFirstYear + clock[0], clock[1], clock[2]);
  const QTime time(clock[3], clock[4], clock[5]);
  if (!date.isValid() || !time.isValid()) return std::nullopt;
  return QDateTime(date, time, Qt::UTC);
}

ClockFields ClockFieldsOf(const QDateTime& t) {
  const QDate date = t.date();
  const QTime time = t.time();
  return {Clamped(date.year() - kFirstYear, 0, kLastYear - kFirstYear),
          static_cast<uint8_t>(date.month()),
          static_cast<uint8_t>(date.day()),
          static_cast<uint8_t>(time.hour()),
          static_cast<uint8_t>(time.minute()),
          static_cast<uint8_t>(time.second())};
}

QString ClockText(const ClockFields& clock) {
  return QString::asprintf("%d/%d/%d %02d:%02d:%02d", kFirstYear + clock[0], clock[1], clock[2],
                           clock[3], clock[4], clock[5]);
}

ClockFields TaskTime(const Task& task) {
  return {task.YEAR, task.MONTH, task.DAY, task.HOUR, task.MIN, task.SEC};
}

void SetTaskTime(Task& task, const ClockFields& time) {
  task.YEAR = time[0];
  task.MONTH = time[1];
  task.DAY = time[2];
  task.HOUR = time[3];
  task.MIN = time[4];
  task.SEC = time[5];
}

void ClampTask(Task& task) {
  task.MONTH = Clamped(task.MONTH, 1, 12);
  const int lastDay = QDate(kFirstYear + task.YEAR, task.MONTH, 1).daysInMonth();
  task.DAY = Clamped(task.DAY, 1, lastDay);
  task.HOUR = Clamped(task.HOUR, 0, 23);
  task.MIN = Clamped(task.MIN, 0, 59);
  task.SEC = Clamped(task.SEC, 0, 59);
}

int ShownPreset(int presetId, const uint8_t (&flags)[kPresets]) {
  if (presetId < 0 || presetId >= kPresets) return -1;
  if (flags[presetId] != 0) return presetId;
  for (int n = kPresets - 1; n >= 0; --n) {
    if (flags[n] != 0) return n;
  }
  return presetId;
}

}  // namespace orv
