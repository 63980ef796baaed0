// The library under stress: golden bytes on a bare socket, malformed and
// random replies, peers that drop or stall, processors that restart.
#include <gtest/gtest.h>

#include <random>

#include "CommTestSupport.h"
#include "GoldenFrames.h"
#include "OrvComm.h"
#include "RawPeer.h"
#include "ReplyLayout.h"
#include "TestNet.h"
#include "VirtualProcessor.h"
#include "WireFormat.h"

namespace orv {
namespace {

using golden::Hex;
using test::Buffer;
using test::Eventually;
using test::RawPeer;
using test::ReplyRecorder;
using test::TestIp;

std::unique_ptr<sim::VirtualProcessor> StartProcessor(const std::string& ip) {
  sim::ProcessorConfig config;
  config.ip = ip;
  config.selfReportMs = 0;
  auto p = std::make_unique<sim::VirtualProcessor>(config);
  std::string error;
  EXPECT_TRUE(p->Start(&error)) << error;
  return p;
}

// Every delivered reply must fit its data type's table row exactly.
void ExpectWellFormed(const test::Recorded& r) {
  const auto* rule = wire::ReplyRuleOf(r.dataType);
  ASSERT_NE(rule, nullptr);
  switch (rule->shape) {
    case wire::ReplyShape::Plain:
      EXPECT_EQ(r.data.size(), rule->dataSize) << int{r.dataType};
      EXPECT_EQ(r.extra.size(), rule->extraSize) << int{r.dataType};
      break;
    case wire::ReplyShape::Count3:
      EXPECT_EQ(r.data.size(), 3u * static_cast<std::size_t>(r.arg1));
      break;
    case wire::ReplyShape::Rest:
      EXPECT_GE(r.data.size(), 1u);
      break;
    case wire::ReplyShape::Text16:
      EXPECT_LE(r.data.size(), wire::kIdentityTextMax);
      EXPECT_EQ(r.extra.size(), wire::kMacSize);
      break;
  }
}

TEST(LibraryGolden, SendsTheDocumentedBytesAndParsesTheDocumentedReplies) {
  RawPeer peer;
  ASSERT_TRUE(peer.Listen(TestIp(10), kDevicePort));
  OrvComm comm;
  ReplyRecorder recorder(comm);
  ASSERT_EQ(comm.OpenNetLink(TestIp(10).c_str(), kDevicePort), 1);
  ASSERT_TRUE(peer.Accept());

  auto b = Buffer();
  ASSERT_EQ(comm.SendTyped(0, b.data(), 110), 1);
  EXPECT_EQ(peer.Read(12), Hex(golden::kGetAllTo110));
  b = Buffer({0, 4, 1});
  ASSERT_EQ(comm.SendTyped(7, b.data(), 2), 1);
  EXPECT_EQ(peer.Read(15), Hex(golden::kLayerInputDp1RTo2));
  b = Buffer({2, 3});
  ASSERT_EQ(comm.SendTyped(1, b.data(), 5), 1);
  EXPECT_EQ(peer.Read(14), Hex(golden::kPresetSave3To5));
  const uint8_t bulk[] = {0xDE, 0xAD, 0xBE, 0xEF};
  ASSERT_EQ(comm.SendBulk(0x540, 4, bulk, 5), 1);
  EXPECT_EQ(peer.Read(22), Hex(golden::kBulkChunkTo5));
  const std::vector<uint8_t> zeros(kParamBlockSize, 0);
  ASSERT_EQ(comm.SendBlock(zeros.data(), 110), 1);
  const auto block = peer.Read(2372);
  ASSERT_EQ(block.size(), 2372u);
  EXPECT_EQ(std::vector<uint8_t>(block.begin(), block.begin() + 10), Hex(golden::kZeroBlockHeader));
  EXPECT_EQ(std::vector<uint8_t>(block.end() - 2, block.end()), Hex(golden::kZeroBlockTrailer));

  ASSERT_TRUE(peer.Write(Hex(golden::kHelloFrom2)));
  ASSERT_TRUE(peer.Write(Hex(golden::kIdentityFrom2)));
  ASSERT_TRUE(peer.Write(Hex(golden::kLayerWindow1From3)));
  ASSERT_TRUE(peer.Write(Hex(golden::kLayersCount2From4)));
  ASSERT_TRUE(recorder.WaitFor(14));
  const auto all = recorder.All();
  ASSERT_EQ(all.size(), 4u);
  EXPECT_EQ(all[0].dataType, 0);
  EXPECT_EQ(all[0].data, std::vector<uint8_t>{1});
  EXPECT_EQ(all[0].source, 2);
  EXPECT_EQ(std::string(all[1].data.begin(), all[1].data.end()), "127.0.0.2");
  EXPECT_EQ(all[1].extra, (std::vector<uint8_t>{0x02, 0x51, 0x20, 0, 0, 2}));
  EXPECT_EQ(all[2].arg1, 1);
  EXPECT_EQ(all[2].source, 3);
  EXPECT_EQ(wire::GetU32(all[2].data.data() + 8), 960u);
  EXPECT_EQ(all[3].arg1, 2);
  EXPECT_EQ(all[3].data, (std::vector<uint8_t>{1, 255, 0, 0, 128, 9}));
}

TEST(LibraryRobustness, MalformedRepliesAreDroppedAndCounted) {
  auto processor = StartProcessor(TestIp(11));
  OrvComm comm;
  ReplyRecorder recorder(comm);
  ASSERT_EQ(comm.OpenNetLink(TestIp(11).c_str(), kDevicePort), 1);
  ASSERT_TRUE(Eventually([&] { return processor->TcpLinkCount() == 1; }));

  const std::vector<uint8_t> eleven(11, 0);
  auto badCrc = Hex(golden::kHelloFrom2);
  badCrc.back() ^= 0xFF;
  std::vector<uint8_t> oversize = {0xA5, 0x5A, 1, 11, 4, 0, 0, 0xFF, 0xFF, 0};
  std::vector<uint8_t> noNul(22, '7');
  const std::vector<std::vector<uint8_t>> bad = {
      wire::EncodeFrame(11, wire::FrameKind::Reply, 6, eleven),   // EDID one byte short
      wire::EncodeFrame(11, wire::FrameKind::Reply, 40, eleven),  // no such data type
      wire::EncodeFrame(11, wire::FrameKind::Reply, 14,
                        {std::vector<uint8_t>{9, 1, 2}}),        // count lies
      wire::EncodeFrame(11, wire::FrameKind::Command, 0, {}),    // a command to the host
      wire::EncodeFrame(11, wire::FrameKind::Reply, 27, noNul),  // identity text unbounded
      badCrc,
      oversize,
  };
  for (const auto& f : bad) processor->SendRaw(f);
  const auto b = Buffer();
  ASSERT_EQ(comm.SendTyped(60, b.data(), 11), 1);
  ASSERT_TRUE(recorder.WaitFor(14));
  // Frame counters are published once the bytes read together are parsed.
  ASSERT_TRUE(Eventually([&] { return comm.Stats().parse.frames >= 6; }));
  const auto s = comm.Stats();
  EXPECT_EQ(s.wrongReplyLength, 2u);
  EXPECT_EQ(s.unknownReplyType, 1u);
  EXPECT_EQ(s.wrongFrameKind, 1u);
  EXPECT_EQ(s.badIdentityText, 1u);
  EXPECT_EQ(s.parse.badCrc, 1u);
  EXPECT_GE(s.parse.badHeader, 1u);  // the oversize header's check byte is wrong too
  EXPECT_EQ(recorder.All().size(), 1u);
  EXPECT_EQ(recorder.Last(14).arg1, 4);
}

TEST(LibraryRobustness, SurvivesRandomAndMutatedStreams) {
  auto processor = StartProcessor(TestIp(12));
  OrvComm comm;
  ReplyRecorder recorder(comm);
  ASSERT_EQ(comm.OpenNetLink(TestIp(12).c_str(), kDevicePort), 1);
  ASSERT_TRUE(Eventually([&] { return processor->TcpLinkCount() == 1; }));

  std::mt19937 rng(777);
  std::vector<std::vector<uint8_t>> samples;
  for (uint16_t t = 0; t < 32; ++t) {
    std::vector<uint8_t> payload(wire::FixedReplySize(t).value_or(7), 0x11);
    if (t == 14) payload = {2, 1, 2, 3, 4, 5, 6};
    if (t == 27) payload[10] = 0;
    samples.push_back(wire::EncodeFrame(12, wire::FrameKind::Reply, t, payload));
  }
  std::size_t sent = 0;
  for (int round = 0; round < 2000; ++round) {
    std::vector<uint8_t> burst;
    for (int n = 0; n < 5; ++n) {
      auto f = samples[rng() % samples.size()];
      switch (rng() % 5) {
        case 0:
          f[rng() % f.size()] ^= static_cast<uint8_t>(1u << (rng() % 8));
          break;
        case 1:
          f.resize(rng() % f.size());
          break;
        case 2:
          for (auto& x : f) x = static_cast<uint8_t>(rng());
          break;
        default:
          break;  // intact
      }
      burst.insert(burst.end(), f.begin(), f.end());
    }
    sent += burst.size();
    processor->SendRaw(std::move(burst));
  }
  // The link is still up and answers in order after the storm.
  const auto b = Buffer();
  ASSERT_EQ(comm.SendTyped(63, b.data(), 12), 1);
  ASSERT_TRUE(Eventually(
      [&] { return recorder.Last(20).dataType == 20 && comm.Stats().parse.bytesIn >= sent; }));
  EXPECT_TRUE(comm.IsNetLinkOpen(TestIp(12)));
  for (const auto& r : recorder.All()) ExpectWellFormed(r);
  const auto s = comm.Stats();
  EXPECT_GT(s.repliesDelivered, 1500u);
  EXPECT_GT(s.TotalMalformed(), 0u);
}

TEST(LibraryRobustness, ReconnectAfterThePeerDrops) {
  auto processor = StartProcessor(TestIp(13));
  OrvComm comm;
  ReplyRecorder recorder(comm);
  ASSERT_EQ(comm.OpenNetLink(TestIp(13).c_str(), kDevicePort), 1);
  ASSERT_TRUE(Eventually([&] { return processor->TcpLinkCount() == 1; }));
  processor->DropLinks(sim::VirtualProcessor::LinkSet::Tcp);
  ASSERT_TRUE(Eventually([&] { return comm.NetLinkCount() == 0; }));
  const auto b = Buffer();
  EXPECT_EQ(comm.SendTyped(0, b.data(), 13), 0);
  ASSERT_EQ(comm.OpenNetLink(TestIp(13).c_str(), kDevicePort), 1);
  ASSERT_EQ(comm.SendTyped(0, b.data(), 13), 1);  // still the target machine
  ASSERT_TRUE(recorder.WaitFor(17));

  // The whole processor goes away and comes back.
  processor.reset();
  ASSERT_TRUE(Eventually([&] { return comm.NetLinkCount() == 0; }));
  EXPECT_EQ(comm.OpenNetLink(TestIp(13).c_str(), kDevicePort), 0);
  processor = StartProcessor(TestIp(13));
  ASSERT_EQ(comm.OpenNetLink(TestIp(13).c_str(), kDevicePort), 1);
  ASSERT_EQ(comm.SendTyped(0, b.data(), 13), 1);
  ASSERT_TRUE(recorder.WaitFor(17, 2));
  EXPECT_TRUE(Eventually([&] { return comm.Stats().linksClosed >= 2; }));
}

TEST(LibraryRobustness, SendsNeverWaitForAStalledPeer) {
  RawPeer peer;
  peer.SetSmallReceiveBuffer();
  ASSERT_TRUE(peer.Listen(TestIp(14), kDevicePort));
  OrvComm::Options options;
  options.maxQueuedBytesPerLink = 256 * 1024;
  OrvComm comm(options);
  ASSERT_EQ(comm.OpenNetLink(TestIp(14).c_str(), kDevicePort), 1);
  ASSERT_TRUE(peer.Accept());  // and never reads
  const std::vector<uint8_t> block(kParamBlockSize, 0x33);
  const auto start = std::chrono::steady_clock::now();
  int accepted = 0;
  // 12 MB: more than the socket buffers and the queue hold together.
  constexpr int kSends = 5000;
  for (int i = 0; i < kSends; ++i) accepted += comm.SendBlock(block.data(), 14);
  // A send that waited for the peer would never return; a busy machine only
  // makes them slower.
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_LT(elapsed, std::chrono::seconds(10));
  EXPECT_LT(accepted, kSends);  // the queue filled up and later sends were refused
  EXPECT_GT(accepted, 50);
  EXPECT_EQ(comm.Stats().sendsRefused, static_cast<uint64_t>(kSends - accepted));
  // Closing does not wait for the stalled writes either.
  const auto closeStart = std::chrono::steady_clock::now();
  comm.CloseAll();
  EXPECT_LT(std::chrono::steady_clock::now() - closeStart, std::chrono::seconds(10));
}

TEST(LibraryRobustness, PeerDropsInTheMiddleOfAFrame) {
  RawPeer peer;
  ASSERT_TRUE(peer.Listen(TestIp(15), kDevicePort));
  OrvComm comm;
  ReplyRecorder recorder(comm);
  ASSERT_EQ(comm.OpenNetLink(TestIp(15).c_str(), kDevicePort), 1);
  ASSERT_TRUE(peer.Accept());
  const auto frame = Hex(golden::kIdentityFrom2);
  ASSERT_TRUE(peer.Write(std::vector<uint8_t>(frame.begin(), frame.begin() + 20)));
  peer.CloseConnection();
  ASSERT_TRUE(Eventually([&] { return comm.NetLinkCount() == 0; }));
  EXPECT_EQ(comm.Stats().parse.truncated, 20u);
  EXPECT_TRUE(recorder.All().empty());
}

// A peer that stops in the middle of a frame and later sends a whole one:
// the stalled rest is given up after the quiet time, the link stays up and
// the whole frame is delivered.
TEST(LibraryRobustness, StalledFrameDoesNotHoldUpTheFrameBehindIt) {
  RawPeer peer;
  ASSERT_TRUE(peer.Listen(TestIp(16), kDevicePort));
  OrvComm comm;
  ReplyRecorder recorder(comm);
  ASSERT_EQ(comm.OpenNetLink(TestIp(16).c_str(), kDevicePort), 1);
  ASSERT_TRUE(peer.Accept());
  const auto identity = Hex(golden::kIdentityFrom2);
  const auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(peer.Write(std::vector<uint8_t>(identity.begin(), identity.begin() + 20)));
  ASSERT_TRUE(peer.Write(Hex(golden::kHelloFrom2)));  // inside the length the header announced
  ASSERT_TRUE(recorder.WaitFor(0));
  EXPECT_GE(std::chrono::steady_clock::now() - start,
            std::chrono::milliseconds(StreamLink::kStallQuietMs));
  ASSERT_TRUE(Eventually([&] { return comm.Stats().parse.stalled == 1; }));
  EXPECT_TRUE(comm.IsNetLinkOpen(TestIp(16)));
  EXPECT_EQ(recorder.Count(27), 0u);
  // Frames that arrive whole are never held back.
  ASSERT_TRUE(peer.Write(Hex(golden::kLayersCount2From4)));
  ASSERT_TRUE(recorder.WaitFor(14));
  EXPECT_EQ(comm.Stats().parse.stalled, 1u);
}

}  // namespace
}  // namespace orv
