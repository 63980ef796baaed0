// The link watch's state machine against a scripted link and a hand-driven
// clock: each case is a table of steps (time passes, the link changes, the
// watch ticks) with the phase and the driver calls expected after each.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "LinkWatch.h"

namespace orv {
namespace {

using Link = RouteHealth::Link;
using P = LinkPhase;

class ScriptedDriver : public LinkDriver {
 public:
  RouteHealth health{Link::Open, 0};
  bool present = true;
  // What a reopen finds: the link state it leaves behind.
  Link reopenGives = Link::Connecting;
  int probes = 0, closes = 0, reopens = 0, resyncs = 0;

  RouteHealth Observe() override { return health; }
  bool DevicePresent(const LinkTarget&) override { return present; }
  void SendProbe() override { ++probes; }
  void Close(const LinkTarget&) override {
    ++closes;
    health.link = Link::Absent;
  }
  void BeginReopen(const LinkTarget&) override {
    ++reopens;
    health = {reopenGives, 0};
  }
  void Resync(const LinkTarget&) override { ++resyncs; }
};

LinkTarget Target() {
  LinkTarget target;
  target.kind = LinkTarget::Kind::Network;
  target.ip = "127.0.0.9";
  target.deviceAddress = 9;
  return target;
}

// One step: `afterMs` passes, the link is changed as given, the watch ticks.
struct Step {
  int afterMs;
  int newFrames = 0;          // frames arriving before the tick
  Link link = Link::Unknown;  // Unknown: unchanged
  P phase;                    // expected after the tick
  int attempt = -1;           // expected; -1: not checked
};

struct Case {
  const char* name;
  std::vector<Step> steps;
  int probes, closes, reopens, resyncs;  // expected at the end
  Link reopenGives = Link::Connecting;
  Link startLink = Link::Open;
};

const Case kCases[] = {
    {"answering link stays connected",
     {{1500, 1, Link::Unknown, P::Connected},
      {1500, 1, Link::Unknown, P::Connected},
      {1900, 0, Link::Unknown, P::Connected}},
     0,
     0,
     0,
     0},
    {"closed connection is lost at the next tick",
     {{100, 0, Link::Absent, P::Lost, 0}},
     0,
     1,
     0,
     0},
    {"silence: probe after 2 s, answer keeps the link",
     {{1999, 0, Link::Unknown, P::Connected},
      {1, 0, Link::Unknown, P::Probing},
      {500, 1, Link::Unknown, P::Connected}},
     1,
     0,
     0,
     0},
    {"silence: no answer to the probe within 1 s is a loss",
     {{2000, 0, Link::Unknown, P::Probing},
      {999, 0, Link::Unknown, P::Probing},
      {1, 0, Link::Unknown, P::Lost, 0}},
     1,
     1,
     0,
     0},
    {"reconnect: backoff 0.5 s, link opens, read-back answered",
     {{100, 0, Link::Absent, P::Lost, 0},
      {499, 0, Link::Unknown, P::Lost, 0},
      {1, 0, Link::Unknown, P::Reopening, 1},
      {100, 0, Link::Open, P::Resyncing, 1},
      {100, 3, Link::Unknown, P::Connected}},
     0,
     1,
     1,
     1},
    {"reconnect: refused attempts back off 0.5, 1, 2, 4, 5, 5 s",
     {{100, 0, Link::Absent, P::Lost, 0},
      {500, 0, Link::Unknown, P::Reopening, 1},
      {100, 0, Link::Unknown, P::Lost, 1},
      {999, 0, Link::Unknown, P::Lost, 1},
      {1, 0, Link::Unknown, P::Reopening, 2},
      {100, 0, Link::Unknown, P::Lost, 2},
      {2000, 0, Link::Unknown, P::Reopening, 3},
      {100, 0, Link::Unknown, P::Lost, 3},
      {3999, 0, Link::Unknown, P::Lost, 3},
      {1, 0, Link::Unknown, P::Reopening, 4},
      {100, 0, Link::Unknown, P::Lost, 4},
      {5000, 0, Link::Unknown, P::Reopening, 5},
      {100, 0, Link::Unknown, P::Lost, 5},
      {5000, 0, Link::Unknown, P::Reopening, 6}},
     0,
     6,
     6,
     0,
     Link::Absent},
    {"reconnect: a connection that never completes is given up after 3 s",
     {{100, 0, Link::Absent, P::Lost},
      {500, 0, Link::Unknown, P::Reopening, 1},
      {2999, 0, Link::Unknown, P::Reopening, 1},
      {1, 0, Link::Unknown, P::Lost, 1}},
     0,
     2,
     1,
     0},
    {"reconnect: a hung processor that accepts but never answers is retried",
     {{100, 0, Link::Absent, P::Lost},
      {500, 0, Link::Unknown, P::Reopening, 1},
      {100, 0, Link::Open, P::Resyncing, 1},
      {2999, 0, Link::Unknown, P::Resyncing, 1},
      {1, 0, Link::Unknown, P::Lost, 1},
      {1000, 0, Link::Unknown, P::Reopening, 2}},
     0,
     2,
     2,
     1},
    {"a library that cannot tell never reports a loss",
     {{100, 0, Link::Unknown, P::Connected}, {5000, 0, Link::Unknown, P::Connected}},
     0,
     0,
     0,
     0,
     Link::Connecting,
     Link::Unknown},
};

TEST(LinkWatchTable, EveryCaseFollowsItsSteps) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    ScriptedDriver driver;
    driver.reopenGives = c.reopenGives;
    int64_t now = 1000;
    LinkWatch watch(driver, [&] { return now; });
    driver.health.link = c.startLink;
    watch.Begin(Target());
    for (std::size_t i = 0; i < c.steps.size(); ++i) {
      const Step& s = c.steps[i];
      SCOPED_TRACE("step " + std::to_string(i));
      now += s.afterMs;
      driver.health.framesIn += static_cast<uint64_t>(s.newFrames);
      if (s.link != Link::Unknown) driver.health.link = s.link;
      watch.Tick();
      EXPECT_EQ(watch.Status().phase, s.phase);
      if (s.attempt >= 0) {
        EXPECT_EQ(watch.Status().attempt, s.attempt);
      }
    }
    EXPECT_EQ(driver.probes, c.probes);
    EXPECT_EQ(driver.closes, c.closes);
    EXPECT_EQ(driver.reopens, c.reopens);
    EXPECT_EQ(driver.resyncs, c.resyncs);
  }
}

TEST(LinkWatchTable, StatusRecordsLossAndReconnectTimes) {
  ScriptedDriver driver;
  int64_t now = 5000;
  LinkWatch watch(driver, [&] { return now; });
  std::vector<P> seen;
  watch.SetListener([&](const LinkStatus& s) { seen.push_back(s.phase); });
  watch.Begin(Target());
  EXPECT_EQ(watch.Status().reconnectedAtMs, -1);
  now += 100;
  driver.health.link = Link::Absent;
  watch.Tick();
  EXPECT_EQ(watch.Status().lostAtMs, 5100);
  EXPECT_TRUE(watch.Status().Down());
  now += 500;
  watch.Tick();
  driver.health = {Link::Open, 0};
  now += 100;
  watch.Tick();
  EXPECT_FALSE(watch.Status().Down());  // the read-back may go out
  EXPECT_TRUE(watch.Status().Reconnecting());
  driver.health.framesIn = 1;
  now += 100;
  watch.Tick();
  EXPECT_EQ(watch.Status().reconnectedAtMs, 5800);
  EXPECT_EQ(seen,
            (std::vector<P>{P::Connected, P::Lost, P::Reopening, P::Resyncing, P::Connected}));
}

TEST(LinkWatchTable, OperatorDisconnectStopsReconnecting) {
  ScriptedDriver driver;
  driver.reopenGives = Link::Absent;
  int64_t now = 0;
  LinkWatch watch(driver, [&] { return now; });
  watch.Begin(Target());
  driver.health.link = Link::Absent;
  now += 100;
  watch.Tick();
  ASSERT_EQ(watch.Status().phase, P::Lost);
  watch.OperatorDisconnect();
  for (int i = 0; i < 100; ++i) {
    now += 1000;
    watch.Tick();
  }
  EXPECT_EQ(watch.Status().phase, P::Closed);
  EXPECT_EQ(driver.reopens, 0);
  EXPECT_FALSE(watch.Status().Down());
}

TEST(LinkWatchTable, VanishedSerialDeviceIsALoss) {
  ScriptedDriver driver;
  int64_t now = 0;
  LinkWatch watch(driver, [&] { return now; });
  LinkTarget serial;
  serial.kind = LinkTarget::Kind::Serial;
  serial.serialName = "/dev/serial/by-id/usb-adapter";
  watch.Begin(serial);
  driver.health.framesIn = 1;
  driver.present = false;  // the read has not failed yet, the node is gone
  now += 100;
  watch.Tick();
  EXPECT_EQ(watch.Status().phase, P::Lost);
  // While it is gone, an attempt finds no device and never resyncs.
  driver.reopenGives = Link::Open;
  now += 500;
  watch.Tick();
  now += 100;
  watch.Tick();
  EXPECT_EQ(driver.resyncs, 0);
  EXPECT_EQ(watch.Status().phase, P::Lost);
}

}  // namespace
}  // namespace orv
