// Discovery on the loopback interface: three processors on the test's own
// subnet (hosts 2..4) answer one search, each with its identity (data type
// 27) before its hello (data type 0).
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "CommTestSupport.h"
#include "Discovery.h"
#include "OrvComm.h"
#include "TestNet.h"
#include "VirtualProcessor.h"

namespace orv {
namespace {

using test::Buffer;
using test::ReplyRecorder;
using test::TestIp;

TEST(DiscoveryTargets, LoopbackSweepsTheLoopbackNetOnly) {
  const auto targets = DiscoveryTargets({127, 0, 0, 1}, std::nullopt);
  EXPECT_EQ(targets.size(), 253u);
  for (const auto& t : targets) {
    EXPECT_EQ(t[0], 127);
    EXPECT_NE(t[3], 0);
    EXPECT_NE(t[3], 255);
    EXPECT_NE(t, (Ipv4Bytes{127, 0, 0, 1}));
  }
  // Another /24 of the loopback net: that subnet only.
  const auto own = DiscoveryTargets({127, 9, 8, 1}, std::nullopt);
  ASSERT_EQ(own.size(), 253u);
  EXPECT_EQ(own.front(), (Ipv4Bytes{127, 9, 8, 2}));
  EXPECT_EQ(own.back(), (Ipv4Bytes{127, 9, 8, 254}));
  // Another interface: its subnet's broadcast address, computed only.
  const auto lan = DiscoveryTargets({192, 168, 3, 7}, Ipv4Bytes{255, 255, 255, 0});
  ASSERT_EQ(lan.size(), 1u);
  EXPECT_EQ(lan[0], (Ipv4Bytes{192, 168, 3, 255}));
  EXPECT_TRUE(DiscoveryTargets({192, 168, 3, 7}, std::nullopt).empty());
  EXPECT_TRUE(NetmaskOfLocalAddress({127, 0, 0, 1}).has_value());
}

TEST(Discovery, ThreeProcessorsOnLoopbackAnswerOneSearch) {
  std::vector<std::unique_ptr<sim::VirtualProcessor>> processors;
  for (int host = 2; host <= 4; ++host) {
    sim::ProcessorConfig config;
    config.ip = TestIp(host);
    config.selfReportMs = 0;
    processors.push_back(std::make_unique<sim::VirtualProcessor>(config));
    std::string error;
    ASSERT_TRUE(processors.back()->Start(&error)) << error;
  }
  // A processor outside the test's subnet, as another suite's or a real one
  // on 127.0.0.n would be.
  sim::ProcessorConfig strangerConfig;
  strangerConfig.ip = test::TestNet::Get().Outsider();
  strangerConfig.selfReportMs = 0;
  sim::VirtualProcessor stranger(strangerConfig);
  std::string error;
  ASSERT_TRUE(stranger.Start(&error)) << error;
  OrvComm comm;
  ReplyRecorder recorder(comm);
  ASSERT_EQ(comm.SelectLocalInterface(test::TestLocalIp().c_str()), 1);
  // A served-address list naming other machines does not hide search answers.
  const uint8_t old[] = {77};
  comm.SetAddressList(1, old);
  const auto b = Buffer({0xFF});
  ASSERT_EQ(comm.SendTyped(69, b.data(), 0xFF), 1);
  for (int a = 2; a <= 4; ++a) {
    ASSERT_TRUE(recorder.WaitFor(0, 1, a)) << a;
    ASSERT_TRUE(recorder.WaitFor(27, 1, a)) << a;
  }
  // Per machine: identity first, then hello; the identity carries its text
  // and MAC.
  std::map<int, std::vector<uint8_t>> order;
  for (const auto& r : recorder.All()) {
    if (r.dataType == 27 || r.dataType == 0) order[r.source].push_back(r.dataType);
    if (r.dataType == 27) {
      const std::string text(r.data.begin(), r.data.end());
      EXPECT_EQ(text, TestIp(r.source));
      EXPECT_EQ(r.extra, (std::vector<uint8_t>{0x02, 0x51, 0x20, 0, 0, r.source}));
    }
  }
  for (int a = 2; a <= 4; ++a) EXPECT_EQ(order[a], (std::vector<uint8_t>{27, 0})) << a;
  EXPECT_EQ(recorder.Count(27), 3u);
  EXPECT_EQ(stranger.Stats().datagramsIn, 0u) << "the search stays on the test's own subnet";
  EXPECT_EQ(comm.NetLinkCount(), 0u);  // a search opens no links by itself

  // Then, as the search window does, link to all three and talk to one.
  for (int host = 2; host <= 4; ++host) {
    ASSERT_EQ(comm.OpenNetLink(TestIp(host).c_str(), kDevicePort), 1);
  }
  const uint8_t listed[] = {2, 3, 4};
  ASSERT_EQ(comm.SetAddressList(3, listed), 1);
  ASSERT_EQ(comm.SetTargetMachine(TestIp(3).c_str()), 1);
  const auto getAll = Buffer();
  ASSERT_EQ(comm.SendTyped(0, getAll.data(), 3), 1);
  ASSERT_TRUE(recorder.WaitFor(2, 1, 3));
  EXPECT_EQ(recorder.Count(2), 1u);
}

TEST(Discovery, SilentProcessorIsNotFound) {
  sim::ProcessorConfig config;
  config.ip = TestIp(5);
  config.selfReportMs = 0;
  sim::VirtualProcessor quiet(config);
  ASSERT_TRUE(quiet.Start());
  quiet.SetSilent(true);
  OrvComm comm;
  ReplyRecorder recorder(comm);
  ASSERT_EQ(comm.SelectLocalInterface(test::TestLocalIp().c_str()), 1);
  const auto b = Buffer({0xFF});
  ASSERT_EQ(comm.SendTyped(69, b.data(), 0xFF), 1);
  // The search reached it; what it did not send cannot arrive later than a
  // while after that.
  ASSERT_TRUE(test::Eventually([&] { return quiet.Stats().datagramsIn >= 1; }));
  EXPECT_FALSE(recorder.WaitFor(27, 1, 5, 300));
}

}  // namespace
}  // namespace orv
