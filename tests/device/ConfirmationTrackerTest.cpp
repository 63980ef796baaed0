// The confirmation tracker over the real send path (SendCommand into a fake
// library) and the real decoders (HandleReply): which answers confirm which
// command, what a refusal, a disagreeing report or silence publishes, and
// what is read back.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "CommandEncoder.h"
#include "ConfirmationTracker.h"
#include "Decoders.h"
#include "DeviceState.h"
#include "FakeCommLibrary.h"

namespace orv {
namespace {

constexpr uint8_t kDevice = 5;

struct Answer {
  uint8_t dataType;
  int32_t arg1;
  std::vector<uint8_t> data;
  uint8_t source = kDevice;
};

Answer Ack(uint16_t type, uint8_t status = 0, uint8_t reason = 0) {
  return {23, 0, {static_cast<uint8_t>(type), static_cast<uint8_t>(type >> 8), status, reason}};
}

// The report of layer 1's window (data type 10) at HPOS `hpos`, the rest as
// the fixture's record holds it.
Answer Window1(int32_t hpos) {
  const int32_t values[5] = {hpos, 20, 640, 360, 0};
  std::vector<uint8_t> data(20);
  std::memcpy(data.data(), values, sizeof values);
  return {10, 1, data};
}

Answer Layers(uint8_t onOff, uint8_t alpha) {
  return {14, 4, {1, 64, 0, onOff, alpha, 2, 0, 64, 0, 0, 64, 0}};
}

Answer Feather() {
  return {30, 0, std::vector<uint8_t>(36, 0)};
}

Answer EdidEvent(uint8_t applied) {
  return {24, 0, {0, 1, applied, 0, 0, 0, 0, 0}};
}

struct Send {
  uint16_t type;
  uint8_t a = 0;
};

struct Expected {
  uint16_t type;
  WriteVerdict verdict;
  RefusalReason reason = RefusalReason::NotGiven;
};

class ConfirmationTrackerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetCommLibrary(&library_);
    SetDeviceAddress(kDevice);
    ResetRecord();
    observer_ = AddOutcomeObserver([this](const WriteOutcome& o) {
      std::lock_guard lock(mutex_);
      outcomes_.push_back(o);
    });
  }
  void TearDown() override {
    RemoveOutcomeObserver(observer_);
    SetCommLibrary(nullptr);
  }

  // Layer 1's window and on/off state as the reports below agree with.
  static void ResetRecord() {
    {
      auto s = State();
      s->NET_MODE = 1;
      ChannelData& pip = s->block.CHNLDATA[1];
      pip.HPOS = 10;
      pip.VPOS = 20;
      pip.HACT = 640;
      pip.VACT = 360;
      pip.CHNLROTATION = 0;
      pip.CHNLONOFF = 1;
      pip.CHNLALPHA = 40;
      s->LAYER_DEFAULT[1].FULLSCREEN_REQ = 0;
      s->block.EDIDINFO[EdidSlotOfInput(1)].INPUTSRC = 1;
    }
  }

  ConfirmationTracker::Options Options() {
    ConfirmationTracker::Options o;
    o.clock = [this] { return nowMs_; };
    o.readBack = [this](uint16_t query, uint8_t arg) {
      std::lock_guard lock(mutex_);
      readBacks_.push_back(std::to_string(query) + "/" + std::to_string(arg));
    };
    return o;
  }

  static void Deliver(const Answer& a) {
    Reply r;
    r.dataType = a.dataType;
    r.arg1 = a.arg1;
    r.data = a.data;
    r.sourceAddress = a.source;
    HandleReply(r);
  }

  std::vector<WriteOutcome> Outcomes() {
    std::lock_guard lock(mutex_);
    return outcomes_;
  }
  std::vector<std::string> ReadBacks() {
    std::lock_guard lock(mutex_);
    return readBacks_;
  }

  test::FakeCommLibrary library_;
  int64_t nowMs_ = 1000;
  std::mutex mutex_;
  std::vector<WriteOutcome> outcomes_;
  std::vector<std::string> readBacks_;
  int observer_ = 0;
};

struct MatchCase {
  const char* name;
  int baud;
  std::vector<Send> sends;
  std::vector<Answer> answers;
  int waitMs;  // then Expire
  std::vector<Expected> outcomes;
  std::vector<std::string> readBacks;  // "query/arg"
  uint64_t unmatched;
};

TEST_F(ConfirmationTrackerTest, AnswersSettleCommandsByTypeAndOrder) {
  using V = WriteVerdict;
  using R = RefusalReason;
  const MatchCase cases[] = {
      {"applied: ack and an agreeing report",
       0,
       {{SET_LAYER_WINDOW, 1}},
       {Ack(SET_LAYER_WINDOW), Window1(10)},
       0,
       {{SET_LAYER_WINDOW, V::Confirmed}},
       {},
       0},
      {"refused with the pixel-budget reason: the whole image is read back",
       0,
       {{SET_OUTPUT_TIMING}},
       {Ack(SET_OUTPUT_TIMING, 1, 1)},
       0,
       {{SET_OUTPUT_TIMING, V::Refused, R::PixelBudget}},
       {"0/0"},
       0},
      {"refused, reason not given: the layer's window is read back",
       0,
       {{SET_LAYER_WINDOW, 1}},
       {Ack(SET_LAYER_WINDOW, 1, 0)},
       0,
       {{SET_LAYER_WINDOW, V::Refused, R::NotGiven}},
       {"54/1"},
       0},
      {"the report disagrees: published, no read-back (the report put the record right)",
       0,
       {{SET_LAYER_WINDOW, 1}},
       {Ack(SET_LAYER_WINDOW), Window1(11)},
       0,
       {{SET_LAYER_WINDOW, V::Disagreed}},
       {},
       0},
      {"no answer: unconfirmed after 1 s",
       0,
       {{SET_LAYER_WINDOW, 1}},
       {},
       1000,
       {{SET_LAYER_WINDOW, V::Unconfirmed}},
       {"54/1"},
       0},
      {"no answer within 999 ms: still waiting", 0, {{SET_LAYER_WINDOW, 1}}, {}, 999, {}, {}, 0},
      {"at 9600 baud 1.999 s is not late", 9600, {{SET_LAYER_WINDOW, 1}}, {}, 1999, {}, {}, 0},
      {"at 9600 baud: unconfirmed after 2 s",
       9600,
       {{SET_LAYER_WINDOW, 1}},
       {},
       2000,
       {{SET_LAYER_WINDOW, V::Unconfirmed}},
       {"54/1"},
       0},
      {"acknowledged but the report never comes: unconfirmed",
       0,
       {{SET_LAYER_WINDOW, 1}},
       {Ack(SET_LAYER_WINDOW)},
       1000,
       {{SET_LAYER_WINDOW, V::Unconfirmed}},
       {"54/1"},
       0},
      {"answers out of order across types",
       0,
       {{SET_LAYER_ONOFF, 0}, {SET_TEST_PATTERN}},
       {Ack(SET_TEST_PATTERN), Ack(SET_LAYER_ONOFF), Layers(1, 40)},
       0,
       {{SET_TEST_PATTERN, V::Confirmed}, {SET_LAYER_ONOFF, V::Confirmed}},
       {},
       0},
      {"same type: the first ack takes the first command",
       0,
       {{SET_LAYER_WINDOW, 1}, {SET_LAYER_WINDOW, 1}},
       {Ack(SET_LAYER_WINDOW), Ack(SET_LAYER_WINDOW, 1, 2), Window1(10)},
       0,
       {{SET_LAYER_WINDOW, V::Refused, R::OutOfRange}, {SET_LAYER_WINDOW, V::Confirmed}},
       {"54/1"},
       0},
      {"an answer for a command never sent is ignored and counted",
       0,
       {},
       {Ack(SET_LAYER_WINDOW), Ack(SET_CROP, 1, 1)},
       1000,
       {},
       {},
       2},
      {"an acknowledge of a query is no write answer", 0, {}, {Ack(QUERY55)}, 0, {}, {}, 0},
      {"an acknowledge from another machine settles nothing",
       0,
       {{SET_TEST_PATTERN}},
       {{23, 0, {SET_TEST_PATTERN, 0, 1, 1}, 9}},
       0,
       {},
       {},
       0},
      {"answered by an event: refused (the EDID page reads the slot back itself)",
       0,
       {{SET_EDID, 1}},
       {EdidEvent(0)},
       0,
       {{SET_EDID, V::Refused}},
       {},
       0},
      {"refused, then the report of the kept values: no read-back",
       0,
       {{SET_FEATHER}},
       {Ack(SET_FEATHER, 1, 2), Feather()},
       0,
       {{SET_FEATHER, V::Refused, R::OutOfRange}},
       {},
       0},
      {"refused, the report of the kept values missing: read back when due",
       0,
       {{SET_FEATHER}},
       {Ack(SET_FEATHER, 1, 2)},
       1000,
       {{SET_FEATHER, V::Refused, R::OutOfRange}},
       {"73/0"},
       0},
      {"answered by an event: applied",
       0,
       {{SET_EDID, 1}},
       {EdidEvent(1)},
       0,
       {{SET_EDID, V::Confirmed}},
       {},
       0},
  };
  for (const MatchCase& c : cases) {
    SCOPED_TRACE(c.name);
    {
      std::lock_guard lock(mutex_);
      outcomes_.clear();
      readBacks_.clear();
    }
    ResetRecord();
    ConfirmationTracker tracker(Options());
    tracker.SetSerialBaud(c.baud);
    std::vector<uint64_t> serials;
    const int observer =
        AddSendObserver([&serials](const SentCommand& s) { serials.push_back(s.serial); });
    for (const Send& s : c.sends) SendCommand(s.type, s.a, 0);
    RemoveSendObserver(observer);
    for (const Answer& a : c.answers) Deliver(a);
    tracker.Expire(nowMs_ + c.waitMs);

    const auto got = Outcomes();
    ASSERT_EQ(got.size(), c.outcomes.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
      EXPECT_EQ(got[i].type, c.outcomes[i].type) << i;
      EXPECT_EQ(got[i].verdict, c.outcomes[i].verdict) << i;
      EXPECT_EQ(got[i].reason, c.outcomes[i].reason) << i;
      EXPECT_NE(std::find(serials.begin(), serials.end(), got[i].serial), serials.end()) << i;
    }
    EXPECT_EQ(ReadBacks(), c.readBacks);
    EXPECT_EQ(tracker.Stats().unmatched, c.unmatched);
  }
}

// A processor that never answers cannot make the tracker grow: the oldest
// commands beyond the cap are settled as unconfirmed, and so is the rest once
// its time is up.
TEST_F(ConfirmationTrackerTest, MemoryStaysBoundedWhenNothingAnswers) {
  auto options = Options();
  options.maxPending = 64;
  ConfirmationTracker tracker(options);
  std::size_t largest = 0;
  for (int i = 0; i < 20000; ++i) {
    SendCommand(SET_TEST_PATTERN);
    largest = std::max(largest, tracker.MemoryBytes());
  }
  EXPECT_EQ(tracker.PendingCount(), 64u);
  const auto stats = tracker.Stats();
  EXPECT_EQ(stats.tracked, 20000u);
  EXPECT_EQ(stats.overflowed, 20000u - 64u);
  EXPECT_LE(largest, 64 * 128 + ConfirmationTracker::kMaxQueuedOutcomes * 64);
  tracker.Expire(nowMs_ + 1000);
  EXPECT_EQ(tracker.PendingCount(), 0u);
  // What could be queued was published; the overflow beyond the queue's
  // bound is counted, never lost silently.
  EXPECT_EQ(Outcomes().size() + tracker.Stats().droppedOutcomes, 20000u);
  EXPECT_EQ(tracker.Stats().unconfirmed, 20000u);
}

}  // namespace
}  // namespace orv
