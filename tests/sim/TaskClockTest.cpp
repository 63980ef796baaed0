// The processor's clock and scheduled tasks: the calendar arithmetic, which
// tasks fall due, and what SET_TASK does to the clock and the schedule.
#include <gtest/gtest.h>

#include "ControlChannel.h"
#include "DeviceClock.h"
#include "DeviceModel.h"
#include "FrameParser.h"
#include "ReplyLayout.h"
#include "TestNet.h"
#include "VirtualProcessor.h"
#include "WireFormat.h"

namespace orv::sim {
namespace {

TEST(CivilClock, SecondsOfDatesAndTimes) {
  struct Case {
    ClockBytes t;
    std::optional<int64_t> seconds;
  };
  const Case cases[] = {
      {{0, 1, 1, 0, 0, 0}, 0},
      {{0, 1, 2, 0, 0, 1}, 86401},
      {{0, 3, 1, 0, 0, 0}, 60 * 86400},         // 2000 is a leap year
      {{24, 2, 29, 23, 59, 59}, 762566399},     // 2024-02-29 23:59:59
      {{25, 2, 29, 0, 0, 0}, std::nullopt},     // 2025 is not
      {{26, 13, 1, 0, 0, 0}, std::nullopt},     // month 13
      {{26, 0, 1, 0, 0, 0}, std::nullopt},      // month 0
      {{26, 4, 31, 0, 0, 0}, std::nullopt},     // 31 April
      {{26, 1, 1, 24, 0, 0}, std::nullopt},     // hour 24
      {{26, 1, 1, 0, 60, 0}, std::nullopt},     // minute 60
      {{255, 12, 31, 23, 59, 59}, 8078572799},  // the last second the bytes hold
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CivilSeconds(c.t), c.seconds) << int{c.t[0]} << "/" << int{c.t[1]};
    if (c.seconds) {
      EXPECT_EQ(CivilFields(*c.seconds), c.t);
    }
  }
  // Beyond the bytes' range the fields stay at its ends.
  EXPECT_EQ(CivilFields(-5), (ClockBytes{0, 1, 1, 0, 0, 0}));
  EXPECT_EQ(CivilFields(9000000000), (ClockBytes{255, 12, 31, 23, 59, 59}));
}

TEST(CivilClock, RunsOnFromWhenItWasSetAndRefusesNonsense) {
  auto now = std::chrono::steady_clock::time_point{};
  DeviceClock clock({26, 12, 31, 23, 59, 30}, [&] { return now; });
  now += std::chrono::seconds(45);
  EXPECT_EQ(clock.Read(), (ClockBytes{27, 1, 1, 0, 0, 15}));
  EXPECT_FALSE(clock.Set({27, 2, 30, 0, 0, 0}));
  EXPECT_EQ(clock.Read(), (ClockBytes{27, 1, 1, 0, 0, 15}));
  EXPECT_TRUE(clock.Set({24, 2, 29, 12, 0, 0}));
  now += std::chrono::milliseconds(2500);
  EXPECT_EQ(clock.Read(), (ClockBytes{24, 2, 29, 12, 0, 2}));
}

TEST(TaskSchedule, TasksFallDueOnceOrDailyInTimeOrder) {
  TaskeInfo info{};
  const auto set = [&](int t, ClockBytes when, int preset, int32_t option) {
    Task& task = info.TASK[t];
    task = {when[0], when[1], when[2], when[3], when[4], when[5], static_cast<uint8_t>(preset),
            0,       option};
  };
  const int64_t noon = *CivilSeconds({26, 5, 4, 12, 0, 0});
  set(0, {26, 5, 4, 12, 0, 5}, 1, kTaskOnce);
  set(1, {26, 5, 1, 12, 0, 2}, 2, kTaskDaily);  // every day from 1 May
  set(2, {26, 5, 4, 12, 0, 3}, 3, kTaskUnused);
  set(3, {26, 13, 4, 12, 0, 3}, 4, kTaskOnce);  // month 13: never
  set(4, {26, 5, 4, 12, 0, 1}, 5, 7);           // an option the device does not know
  set(5, {26, 5, 9, 12, 0, 2}, 6, kTaskDaily);  // starts on 9 May
  struct Case {
    int64_t from, to;
    std::vector<int> due;
  };
  const Case cases[] = {
      {noon, noon + 1, {}},
      {noon, noon + 10, {1, 0}},
      {noon + 2, noon + 10, {0}},  // the daily one fell due at +2, not after it
      {noon + 5, noon + 86400, {}},
      {noon + 5, noon + 86402, {1}},
      {noon + 5 * 86400, noon + 5 * 86400 + 2, {1, 5}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DueTasks(info, c.from, c.to), c.due) << c.from - noon << ".." << c.to - noon;
  }
}

class TaskModel : public ::testing::Test {
 protected:
  // The data types of the answers to one command.
  std::vector<uint16_t> Command(uint16_t type, std::vector<uint8_t> bytes) {
    Frames out;
    wire::FrameParser parser;
    parser.Feed(wire::EncodeFrame(9, wire::FrameKind::Command, type, bytes),
                [&](const wire::FrameView& f) { model.Handle(f, false, out); });
    std::vector<uint16_t> types;
    for (const auto& frame : out) {
      wire::FrameParser replies;
      replies.Feed(frame, [&](const wire::FrameView& v) {
        types.push_back(v.type);
        Reply r;
        if (v.type == 23 &&
            wire::DecodeReply(v.type, v.address, v.payload, r) == wire::ReplyCheck::Ok) {
          lastAckStatus = r.data[2];
        }
      });
    }
    return types;
  }

  DeviceModel model{{127, 0, 0, 9}, {0x02, 0x51, 0x20, 0, 0, 9}};
  int lastAckStatus = -1;
};

TEST_F(TaskModel, KindsOfSetTaskTouchOnlyWhatTheyCarry) {
  ASSERT_TRUE(model.SetClock({26, 6, 1, 9, 0, 0}));
  // Kind 2 switches the tasks on; the clock bytes it carries are not a new time.
  EXPECT_EQ(Command(17, {2, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0}), (std::vector<uint16_t>{23, 7}));
  EXPECT_EQ(model.image().TASKEINFO.TASKSTATUS, 1);
  EXPECT_EQ(model.ReadClock()[1], 6);
  // A clock of 13/40 is refused and the running clock reported.
  EXPECT_EQ(Command(17, {0, 1, 26, 13, 40, 25, 0, 0, 0, 0, 0}), (std::vector<uint16_t>{23, 13}));
  EXPECT_EQ(lastAckStatus, 1);
  EXPECT_EQ(model.ReadClock()[1], 6);
  // A task number or kind outside the table is refused.
  EXPECT_EQ(Command(17, {1, 1, 26, 6, 1, 9, 0, 5, 10, 2, 1}), (std::vector<uint16_t>{23}));
  EXPECT_EQ(lastAckStatus, 1);
  EXPECT_EQ(Command(17, {3, 1, 26, 6, 1, 9, 0, 5, 0, 2, 1}), (std::vector<uint16_t>{23}));
  EXPECT_EQ(lastAckStatus, 1);
}

TEST_F(TaskModel, APresetLoadKeepsTheSchedule) {
  Command(17, {1, 1, 26, 6, 1, 9, 0, 5, 4, 2, 2});  // task 4: preset 2 every day
  model.image().CHNLDATA[1].HPOS = 640;
  Command(1, {2, 2});                               // saved with the task in it
  Command(17, {1, 0, 26, 7, 1, 8, 0, 0, 4, 3, 1});  // then changed, and the switch off
  model.image().CHNLDATA[1].HPOS = 0;
  Command(1, {1, 2});
  EXPECT_EQ(model.image().CHNLDATA[1].HPOS, 640);
  const Task& task = model.image().TASKEINFO.TASK[4];
  EXPECT_EQ(task.MONTH, 7);
  EXPECT_EQ(task.PRESETID, 3);
  EXPECT_EQ(model.image().TASKEINFO.TASKSTATUS, 0);
}

TEST(TaskControl, TheClockLineSetsAndTellsTheClock) {
  ProcessorConfig config;
  config.ip = test::TestIp(97);
  config.udp = false;
  config.selfReportMs = 0;
  VirtualProcessor processor(config);
  ASSERT_TRUE(processor.Start());
  EXPECT_EQ(ExecuteControlLine(processor, "clock 2027 2 29 8 0 0").substr(0, 5), "error");
  EXPECT_EQ(ExecuteControlLine(processor, "clock 1999 1 1 8 0 0").substr(0, 5), "error");
  EXPECT_EQ(ExecuteControlLine(processor, "clock 2028 2 29 8 0 0"), "ok");
  EXPECT_EQ(ExecuteControlLine(processor, "clock").substr(0, 18), "ok 2028/2/29 8:0:0");
}

}  // namespace
}  // namespace orv::sim
