#include <gtest/gtest.h>

#include <vector>

#include <QElapsedTimer>
#include <QTest>

#include "Timers.h"

using namespace orv;

namespace {

class Ticker : public TimerClient {
 public:
  std::vector<uint32_t> fired;
  std::vector<int64_t> at;
  uint32_t killOnFire = 0;
  void OnTimer(uint32_t id) override {
    fired.push_back(id);
    at.push_back(ManualTimeMs());
    if (killOnFire == id) KillTimer(id);
  }
};

struct ManualTime {
  ManualTime() { SetManualTimers(true); }
  ~ManualTime() { SetManualTimers(false); }
};

}  // namespace

TEST(Timers, RealTimerFiresRepeatedlyUntilKilled) {
  Ticker t;
  t.SetTimer(43680, 15);
  EXPECT_TRUE(t.IsTimerActive(43680));
  EXPECT_EQ(t.TimerIntervalMs(43680), 15);
  ASSERT_TRUE(QTest::qWaitFor([&] { return t.fired.size() >= 3; }, 10000));
  EXPECT_TRUE(t.KillTimer(43680));
  const size_t count = t.fired.size();
  QTest::qWait(60);
  EXPECT_EQ(t.fired.size(), count);
  EXPECT_FALSE(t.IsTimerActive(43680));
  EXPECT_FALSE(t.KillTimer(43680)) << "killing a stopped timer reports false";
  for (uint32_t id : t.fired) EXPECT_EQ(id, 43680u);
}

TEST(Timers, ManualTimeFiresInDueOrderWithTheRightIds) {
  ManualTime manual;
  Ticker t;
  t.SetTimer(2734, 1000);
  t.SetTimer(2735, 10000);
  t.SetTimer(240, 5000);
  AdvanceManualTime(10000);
  // 2734 at 1000..10000 (10 times), 240 at 5000 and 10000, 2735 at 10000.
  EXPECT_EQ(std::count(t.fired.begin(), t.fired.end(), 2734u), 10);
  EXPECT_EQ(std::count(t.fired.begin(), t.fired.end(), 240u), 2);
  EXPECT_EQ(std::count(t.fired.begin(), t.fired.end(), 2735u), 1);
  for (size_t i = 1; i < t.at.size(); ++i) EXPECT_LE(t.at[i - 1], t.at[i]);
  std::vector<int64_t> at240;
  for (size_t i = 0; i < t.fired.size(); ++i) {
    if (t.fired[i] == 240u) at240.push_back(t.at[i]);
  }
  EXPECT_EQ(at240, (std::vector<int64_t>{5000, 10000}));
  // Timers due together fire in the order they were last scheduled.
  const std::vector<uint32_t> last3(t.fired.end() - 3, t.fired.end());
  EXPECT_EQ(last3, (std::vector<uint32_t>{2735, 240, 2734}));
}

TEST(Timers, SettingAgainRestartsAndKillInsideOnTimerStops) {
  ManualTime manual;
  Ticker t;
  t.SetTimer(5, 1000);
  AdvanceManualTime(900);
  t.SetTimer(5, 1000);  // restarts from now: next due at 1900, not 1000
  AdvanceManualTime(900);
  EXPECT_TRUE(t.fired.empty());
  AdvanceManualTime(100);
  ASSERT_EQ(t.fired.size(), 1u);
  EXPECT_EQ(t.at[0], 1900);

  t.killOnFire = 5;
  AdvanceManualTime(5000);
  EXPECT_EQ(t.fired.size(), 2u) << "a timer killed in its own handler fires no more";
  EXPECT_FALSE(t.IsTimerActive(5));
}

TEST(Timers, TinyIntervalsAreRaisedToTenMs) {
  ManualTime manual;
  Ticker t;
  t.SetTimer(1, 0);
  EXPECT_EQ(t.TimerIntervalMs(1), 10);
  AdvanceManualTime(35);
  EXPECT_EQ(t.fired.size(), 3u);
}

TEST(Timers, DestroyedClientStopsItsTimers) {
  ManualTime manual;
  Ticker keeper;
  keeper.SetTimer(9, 100);
  {
    Ticker gone;
    gone.SetTimer(9, 100);
  }
  AdvanceManualTime(250);  // must not call into the destroyed client
  EXPECT_EQ(keeper.fired.size(), 2u);
}
