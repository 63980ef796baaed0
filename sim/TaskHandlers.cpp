// The processor's clock and scheduled tasks: SET_TASK (17) in its three
// kinds, GET_TASKS (51), and the tasks falling due as the clock runs.
#include <algorithm>

#include "DeviceModel.h"

namespace orv::sim {

namespace {

enum SetTaskKind : uint8_t { kSetClock = 0, kScheduleTask = 1, kSwitchTasks = 2 };

ClockBytes TimeBytes(const Command& c) {
  ClockBytes t{};
  std::copy_n(c.b.begin() + 2, t.size(), t.begin());
  return t;
}

}  // namespace

// Every kind carries the time-task switch in byte 1. Kind 0 sets the clock
// (a date or time out of range is refused and the clock reported as it
// runs), kind 1 stores the task named in byte 8, kind 2 only switches.
void DeviceModel::SetTask(const Command& c, Frames& out) {
  const uint8_t kind = c.b[0];
  auto& info = state_.block.TASKEINFO;
  if (kind == kSetClock) {
    info.TASKSTATUS = c.b[1];
    const bool set = SetClock(TimeBytes(c));
    Ack(c.type, set ? 0 : 1, out);
    Reply(13, 0, 0, clock_.Read(), {}, out);
    return;
  }
  if (kind == kScheduleTask) {
    const int t = c.b[8];
    if (t >= kTasks) return Ack(c.type, 1, out);
    const ClockBytes when = TimeBytes(c);
    Task& task = info.TASK[t];
    task.YEAR = when[0];
    task.MONTH = when[1];
    task.DAY = when[2];
    task.HOUR = when[3];
    task.MIN = when[4];
    task.SEC = when[5];
    task.PRESETID = c.b[9];
    task.OPTION = c.b[10];
  } else if (kind != kSwitchTasks) {
    return Ack(c.type, 1, out);
  }
  info.TASKSTATUS = c.b[1];
  Ack(c.type, 0, out);
  ReplyRecord(7, 0, info, out);
}

void DeviceModel::GetTasks(const Command&, Frames& out) {
  ReplyRecord(7, 0, state_.block.TASKEINFO, out);
  Reply(13, 0, 0, clock_.Read(), {}, out);
}

bool DeviceModel::SetClock(const ClockBytes& t) {
  if (!clock_.Set(t)) return false;
  tasksCheckedTo_ = clock_.Now();
  return true;
}

void DeviceModel::RestorePreset(int n) {
  const uint8_t freeze = state_.block.FREEZE_STATE;
  const TaskeInfo tasks = state_.block.TASKEINFO;
  state_.block = presets_[static_cast<std::size_t>(n)];
  state_.block.FREEZE_STATE = freeze;
  state_.block.TASKEINFO = tasks;
}

void DeviceModel::RunTasks(Frames& out) {
  const int64_t now = clock_.Now();
  const int64_t from = std::exchange(tasksCheckedTo_, now);
  const TaskeInfo& info = state_.block.TASKEINFO;
  if (info.TASKSTATUS == 0) return;
  bool loaded = false;
  for (int t : DueTasks(info, from, now)) {
    const int preset = info.TASK[t].PRESETID;
    // A task naming a preset that does not exist or holds nothing loads nothing.
    if (preset >= kPresets || presetFlags_[static_cast<std::size_t>(preset)] == 0) continue;
    RestorePreset(preset);
    ++tasksFired_;
    loaded = true;
  }
  if (loaded) ReplyRecord(2, 0, state_.block, out);
}

}  // namespace orv::sim
