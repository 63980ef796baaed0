#pragma once
// The arithmetic of the time and task page, apart from its widgets: the
// device's six clock bytes against calendar times, a task read back from the
// device brought into range, and the preset a task is shown with.
//
// Clock bytes are year - 2000, month, day, hour, minute, second. The device
// clock knows no time zone, so its calendar times are kept as UTC times:
// adding seconds to them never meets a daylight-saving step.
#include <array>
#include <cstdint>
#include <optional>

#include <QDateTime>
#include <QString>

#include "ParamBlock.h"

namespace orv {

using ClockFields = std::array<uint8_t, 6>;

// The calendar time of clock bytes; nothing when a field is out of range
// (month 13, 30 February, hour 25).
std::optional<QDateTime> ClockTime(const ClockFields& clock);
// The clock bytes of a calendar time (its date and time of day as they
// stand); years outside 2000..2255 become the nearest of the two.
ClockFields ClockFieldsOf(const QDateTime& t);
// "%d/%d/%d %02d:%02d:%02d" of the bytes as they stand, the year + 2000.
QString ClockText(const ClockFields& clock);

// A task's date and time as clock bytes, and back.
ClockFields TaskTime(const Task& task);
void SetTaskTime(Task& task, const ClockFields& time);

// Brings a task into range: month 1..12, day from 1 to the month's last day,
// hour up to 23, minute and second up to 59.
void ClampTask(Task& task);

// The preset a task is shown with: its own while that preset holds settings,
// else the last preset that does, else its own; -1 when it names none of the
// ten presets.
int ShownPreset(int presetId, const uint8_t (&flags)[kPresets]);

}  // namespace orv
