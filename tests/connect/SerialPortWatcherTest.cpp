// The one-second poll of the serial port list and its arrival and removal reports.
#include <gtest/gtest.h>

#include "SerialPortWatcher.h"
#include "Timers.h"

namespace orv {
namespace {

class Watcher : public ::testing::Test {
 protected:
  void SetUp() override { SetManualTimers(true); }
  void TearDown() override { SetManualTimers(false); }
  std::vector<SerialPortEntry> ports{{"COM1", 1}};
  std::vector<bool> reports;
  SerialPortWatcher::Enumerator Source() {
    return [this] { return ports; };
  }
};

TEST_F(Watcher, ReportsArrivalAndRemovalOnTheNextPoll) {
  SerialPortWatcher watcher([this](bool arrival) { reports.push_back(arrival); }, Source());
  AdvanceManualTime(3000);
  EXPECT_TRUE(reports.empty()) << "nothing changed";

  ports.push_back({"COM61", 61});
  AdvanceManualTime(999);
  EXPECT_TRUE(reports.empty()) << "not polled yet";
  AdvanceManualTime(1);
  EXPECT_EQ(reports, (std::vector<bool>{true}));

  ports.erase(ports.begin());
  AdvanceManualTime(1000);
  EXPECT_EQ(reports, (std::vector<bool>{true, false}));
  EXPECT_EQ(watcher.Ports().size(), 1u);
  EXPECT_EQ(watcher.Ports()[0].number, 61);
}

TEST_F(Watcher, ASwappedAdapterReportsRemovalThenArrival) {
  SerialPortWatcher watcher([this](bool arrival) { reports.push_back(arrival); }, Source());
  ports = {{"COM2", 2}};
  watcher.Poll();
  EXPECT_EQ(reports, (std::vector<bool>{false, true}));
  // The same number under another name is another device.
  ports = {{"com2", 2}};
  reports.clear();
  watcher.Poll();
  EXPECT_EQ(reports, (std::vector<bool>{false, true}));
}

}  // namespace
}  // namespace orv
