// The library's functions against the virtual processor over TCP loopback.
// Every test uses processors on its own process's loopback subnet (TestNet.h),
// so that test processes running in parallel never share a port.
#include <gtest/gtest.h>

#include <cstring>

#include "CommTestSupport.h"
#include "OrvComm.h"
#include "ParamBlock.h"
#include "TestNet.h"
#include "VirtualProcessor.h"
#include "WireFormat.h"

namespace orv {
namespace {

using test::Buffer;
using test::Eventually;
using test::ReplyRecorder;
using test::TestIp;

std::unique_ptr<sim::VirtualProcessor> StartProcessor(const std::string& ip, int reportMs = 0) {
  sim::ProcessorConfig config;
  config.ip = ip;
  config.selfReportMs = reportMs;
  auto p = std::make_unique<sim::VirtualProcessor>(config);
  std::string error;
  EXPECT_TRUE(p->Start(&error)) << error;
  return p;
}

class LibraryTcp : public ::testing::Test {
 protected:
  void Open(const std::string& ip) {
    processor = StartProcessor(ip);
    ASSERT_EQ(comm.OpenNetLink(ip.c_str(), kDevicePort), 1);
    // Unsolicited reports reach only links the processor has taken on.
    ASSERT_TRUE(Eventually([&] { return processor->TcpLinkCount() == 1; }));
  }
  int Send(uint16_t type, std::initializer_list<uint8_t> bytes, uint8_t address = 110) {
    const auto b = Buffer(bytes);
    return comm.SendTyped(type, b.data(), address);
  }

  OrvComm comm;
  ReplyRecorder recorder{comm};
  std::unique_ptr<sim::VirtualProcessor> processor;
};

TEST_F(LibraryTcp, GetAllDeliversImageThenPresetFlagsInOrderOnOneThread) {
  Open(TestIp(10));
  ASSERT_EQ(Send(0, {}), 1);
  ASSERT_TRUE(recorder.WaitFor(17));
  const auto all = recorder.All();
  ASSERT_GE(all.size(), 2u);
  EXPECT_EQ(all[0].dataType, 2);
  EXPECT_EQ(all[1].dataType, 17);
  ASSERT_EQ(all[0].data.size(), kParamBlockSize);
  EXPECT_EQ(all[1].data.size(), 10u);
  EXPECT_EQ(all[0].source, 10);
  // The image is the processor's own.
  const ParamBlock image = processor->Image();
  EXPECT_EQ(std::memcmp(all[0].data.data(), &image, kParamBlockSize), 0);
  ParamBlock got;
  std::memcpy(&got, all[0].data.data(), sizeof got);
  EXPECT_EQ(got.OUTPUTRESO.HRESO, 1920);
  EXPECT_EQ(got.OUTPUTRESO.VRESO, 1080);
  EXPECT_EQ(got.OUTPUTRESO.FPS, 6000);
  // Replies run on the library's reply thread, never on the caller's.
  EXPECT_NE(all[0].thread, std::this_thread::get_id());
  EXPECT_EQ(all[0].thread, all[1].thread);
}

TEST_F(LibraryTcp, EveryRequestAnswersWithItsDataTypeAndSize) {
  Open(TestIp(11));
  struct Case {
    uint16_t command;
    std::initializer_list<uint8_t> bytes;
    uint8_t dataType;
    std::size_t dataSize;
    int32_t arg1;
  };
  const Case cases[] = {
      {48, {0}, 4, 10, 0},  {49, {6}, 5, 28, 0},  {50, {2}, 6, 12, 0},  {51, {0}, 7, 124, 0},
      {52, {1}, 8, 12, 1},  {54, {2}, 10, 20, 2}, {56, {3}, 11, 14, 3}, {57, {}, 12, 108, 0},
      {60, {}, 14, 12, 4},  {58, {}, 15, 42, 0},  {59, {3}, 16, 20, 0}, {63, {}, 20, 16, 0},
      {70, {1}, 25, 32, 0}, {66, {2}, 28, 10, 0}, {62, {}, 29, 44, 0},  {73, {}, 30, 36, 0},
      {68, {}, 19, 18, 0},  {67, {}, 22, 8, 0},   {65, {}, 21, 2, 0},
  };
  for (const auto& c : cases) {
    recorder.Clear();
    ASSERT_EQ(Send(c.command, c.bytes), 1) << c.command;
    ASSERT_TRUE(recorder.WaitFor(c.dataType)) << "command " << c.command;
    const auto r = recorder.Last(c.dataType);
    EXPECT_EQ(r.data.size(), c.dataSize) << "command " << c.command;
    EXPECT_EQ(r.arg1, c.arg1) << "command " << c.command;
  }
  // Data type 8 carries the 20-byte picture record as its extra buffer.
  ASSERT_TRUE(recorder.WaitFor(21, 2));  // one per DP port
  EXPECT_EQ(recorder.All().size(), 2u);
  recorder.Clear();
  ASSERT_EQ(Send(52, {0}), 1);
  ASSERT_TRUE(recorder.WaitFor(8));
  EXPECT_EQ(recorder.Last(8).extra.size(), 20u);
  // GET_TASKS also reports the device clock.
  ASSERT_EQ(Send(51, {0}), 1);
  ASSERT_TRUE(recorder.WaitFor(13));
  EXPECT_EQ(recorder.Last(13).data.size(), 6u);
}

TEST_F(LibraryTcp, SettingsChangeTheProcessorAndAreReported) {
  Open(TestIp(12));
  // SET_LAYER_WINDOW layer 1 to (100, 50) 640 x 360, rotation 0.
  ASSERT_EQ(Send(4, {1, 100, 0, 50, 0, 0x80, 0x02, 0x68, 0x01, 0, 0}), 1);
  ASSERT_TRUE(recorder.WaitFor(10));
  ASSERT_TRUE(recorder.WaitFor(23));
  EXPECT_EQ(recorder.Last(10).arg1, 1);
  EXPECT_EQ(wire::GetU32(recorder.Last(10).data.data() + 8), 640u);
  EXPECT_EQ(wire::GetU16(recorder.Last(23).data.data()), 4);
  EXPECT_EQ(recorder.Last(23).data[2], 0);  // applied
  auto image = processor->Image();
  EXPECT_EQ(image.CHNLDATA[1].HPOS, 100);
  EXPECT_EQ(image.CHNLDATA[1].VPOS, 50);
  EXPECT_EQ(image.CHNLDATA[1].HACT, 640);
  EXPECT_EQ(image.CHNLDATA[1].VACT, 360);

  // SET_LAYER_INPUT layer 2 to HDMI-1 (pair 1, 0), then the layers report.
  recorder.Clear();
  ASSERT_EQ(Send(7, {2, 1, 0}), 1);
  ASSERT_TRUE(recorder.WaitFor(14));
  const auto layers = recorder.Last(14);
  EXPECT_EQ(layers.arg1, 4);
  EXPECT_EQ(layers.data[3 * 2 + 2], 1);
  EXPECT_EQ(processor->Image().CHNLDATA[2].CHNLINPUT, 1);

  // A refused setting (layer 9) is acknowledged with status 1 and changes nothing.
  recorder.Clear();
  const auto before = processor->Image();
  ASSERT_EQ(Send(4, {9, 1, 0, 1, 0, 1, 0, 1, 0, 0, 0}), 1);
  ASSERT_TRUE(recorder.WaitFor(23));
  EXPECT_EQ(recorder.Last(23).data[2], 1);
  const auto after = processor->Image();
  EXPECT_EQ(std::memcmp(&before, &after, sizeof before), 0);
}

TEST_F(LibraryTcp, BlockSendReplacesTheImage) {
  Open(TestIp(13));
  ParamBlock block = processor->Image();
  block.OUTPUTRESO.HRESO = 1280;
  block.OUTPUTRESO.VRESO = 720;
  block.CHNLDATA[3].CHNLONOFF = 1;
  ASSERT_EQ(comm.SendBlock(reinterpret_cast<const uint8_t*>(&block), 110), 1);
  ASSERT_TRUE(recorder.WaitFor(24));
  EXPECT_EQ(recorder.Last(24).data[0], 2);  // write finished: event kind 2
  const auto image = processor->Image();
  EXPECT_EQ(std::memcmp(&image, &block, sizeof block), 0);
  EXPECT_EQ(comm.SendBlock(nullptr, 110), 0);
}

TEST_F(LibraryTcp, BulkChunksOfACaptionUpload) {
  Open(TestIp(14));
  // CAPTION_A caption 0 announces 64 x 2 pixels: 8 bytes per row, 16 in all.
  ASSERT_EQ(Send(23, {0, 0, 64, 0, 2, 0, 0}), 1);
  ASSERT_TRUE(recorder.WaitFor(24));
  EXPECT_EQ(recorder.Last(24).data[0], 12);
  EXPECT_EQ(recorder.Last(24).data[1], 0);  // go ahead
  recorder.Clear();
  const uint8_t rows[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  ASSERT_EQ(comm.SendBulk(8, 8, rows, 110), 1);
  ASSERT_TRUE(recorder.WaitFor(24));
  const auto ack = recorder.Last(24);
  EXPECT_EQ(ack.data[0], 7);
  EXPECT_EQ(wire::GetU16(ack.data.data() + 1), 8);   // length
  EXPECT_EQ(ack.data[3], 1);                         // taken
  EXPECT_EQ(wire::GetU32(ack.data.data() + 4), 8u);  // position
  const auto upload = processor->WithModel([](sim::DeviceModel& m) { return m.upload(); });
  ASSERT_EQ(upload.bytes.size(), 16u);
  EXPECT_EQ(upload.bytes[8], 1);
  EXPECT_EQ(upload.bytes[15], 8);
  // A chunk past the announced picture is refused by the processor.
  recorder.Clear();
  ASSERT_EQ(comm.SendBulk(12, 8, rows, 110), 1);
  ASSERT_TRUE(recorder.WaitFor(24));
  EXPECT_EQ(recorder.Last(24).data[3], 0);
  // The library refuses chunks larger than a frame can carry.
  std::vector<uint8_t> big(wire::kMaxBulkBytes + 1);
  EXPECT_EQ(comm.SendBulk(0, static_cast<uint16_t>(big.size()), big.data(), 110), 0);
  EXPECT_EQ(comm.SendBulk(0, 4, nullptr, 110), 0);
}

TEST_F(LibraryTcp, PresetsSaveAndLoad) {
  Open(TestIp(15));
  ASSERT_EQ(Send(1, {2, 3}), 1);  // save preset 3
  ASSERT_TRUE(recorder.WaitFor(17));
  EXPECT_EQ(recorder.Last(17).data[3], 1);
  EXPECT_EQ(recorder.Last(17).data[2], 0);
  ASSERT_EQ(Send(4, {0, 0, 0, 0, 0, 0x80, 0x07, 0x38, 0x04, 0, 0}), 1);  // change layer 0
  ASSERT_TRUE(recorder.WaitFor(10));
  EXPECT_EQ(processor->Image().CHNLDATA[0].HACT, 1920);
  ParamBlock changed = processor->Image();
  changed.OUTPUTRESO.HRESO = 1024;
  ASSERT_EQ(comm.SendBlock(reinterpret_cast<const uint8_t*>(&changed), 110), 1);
  ASSERT_TRUE(recorder.WaitFor(24));
  recorder.Clear();
  ASSERT_EQ(Send(1, {1, 3}), 1);  // load preset 3
  ASSERT_TRUE(recorder.WaitFor(23));
  EXPECT_EQ(recorder.Last(23).data[2], 0);
  EXPECT_EQ(processor->Image().OUTPUTRESO.HRESO, 1920);
  recorder.Clear();
  ASSERT_EQ(Send(1, {1, 4}), 1);  // preset 4 is empty
  ASSERT_TRUE(recorder.WaitFor(23));
  EXPECT_EQ(recorder.Last(23).data[2], 1);
}

TEST_F(LibraryTcp, OpenRefusesBadTextsAndAbsentMachines) {
  processor = StartProcessor(TestIp(16));
  EXPECT_EQ(comm.OpenNetLink("192.168.1", kDevicePort), 0);
  EXPECT_EQ(comm.OpenNetLink("N/A", kDevicePort), 0);
  EXPECT_EQ(comm.OpenNetLink("1.2.3.456", kDevicePort), 0);
  EXPECT_EQ(comm.OpenNetLink(nullptr, kDevicePort), 0);
  EXPECT_EQ(comm.OpenNetLink(TestIp(17).c_str(), kDevicePort), 0);  // nobody listens there
  EXPECT_EQ(comm.NetLinkCount(), 0u);
  EXPECT_EQ(Send(0, {}), 0);  // nothing to send to
  EXPECT_EQ(comm.OpenNetLink(TestIp(16).c_str(), kDevicePort), 1);
  EXPECT_EQ(comm.OpenNetLink(TestIp(16).c_str(), kDevicePort), 1);  // already open: the same link
  EXPECT_TRUE(comm.IsNetLinkOpen(TestIp(16)));
  EXPECT_TRUE(Eventually([&] { return processor->TcpLinkCount() == 1; }));
  EXPECT_EQ(comm.NetLinkCount(), 1u);
}

TEST_F(LibraryTcp, TargetMachineChoosesTheLinkAndCloseNetLinkEndsOne) {
  auto a = StartProcessor(TestIp(21));
  auto b = StartProcessor(TestIp(22));
  ASSERT_EQ(comm.OpenNetLink(TestIp(21).c_str(), kDevicePort), 1);
  ASSERT_EQ(comm.OpenNetLink(TestIp(22).c_str(), kDevicePort), 1);
  // The first link opened without a target is the target.
  ASSERT_EQ(Send(63, {}), 1);
  ASSERT_TRUE(recorder.WaitFor(20, 1, 21));
  ASSERT_EQ(comm.SetTargetMachine(TestIp(22).c_str()), 1);
  ASSERT_EQ(Send(63, {}), 1);
  ASSERT_TRUE(recorder.WaitFor(20, 1, 22));
  EXPECT_EQ(recorder.Count(20, 21), 1u);
  EXPECT_EQ(comm.SetTargetMachine("not an address"), 0);

  // Closing the target's link: sends are refused rather than going to the
  // other machine.
  ASSERT_EQ(comm.CloseNetLink(TestIp(22).c_str()), 1);
  EXPECT_EQ(comm.CloseNetLink(TestIp(22).c_str()), 0);
  EXPECT_EQ(comm.CloseNetLink(TestIp(99).c_str()), 0);
  EXPECT_FALSE(comm.IsNetLinkOpen(TestIp(22)));
  EXPECT_TRUE(comm.IsNetLinkOpen(TestIp(21)));
  EXPECT_EQ(Send(63, {}), 0);
  EXPECT_TRUE(Eventually([&] { return b->TcpLinkCount() == 0; }));
  ASSERT_EQ(comm.SetTargetMachine(TestIp(21).c_str()), 1);
  ASSERT_EQ(Send(63, {}), 1);
  ASSERT_TRUE(recorder.WaitFor(20, 2, 21));
}

TEST_F(LibraryTcp, AddressListFiltersReplies) {
  Open(TestIp(23));
  const uint8_t other[] = {5, 6};
  ASSERT_EQ(comm.SetAddressList(2, other), 1);
  ASSERT_EQ(Send(63, {}), 1);
  ASSERT_TRUE(Eventually([&] { return comm.Stats().unservedAddress == 1; }));
  EXPECT_EQ(recorder.Count(20), 0u);
  const uint8_t mine[] = {5, 23};
  ASSERT_EQ(comm.SetAddressList(2, mine), 1);
  ASSERT_EQ(Send(63, {}), 1);
  ASSERT_TRUE(recorder.WaitFor(20));
  const uint8_t any[] = {0xFF};
  ASSERT_EQ(comm.SetAddressList(1, any), 1);
  ASSERT_EQ(Send(63, {}), 1);
  ASSERT_TRUE(recorder.WaitFor(20, 2));
  EXPECT_EQ(comm.SetAddressList(-1, any), 0);
  EXPECT_EQ(comm.SetAddressList(2, nullptr), 0);
}

TEST_F(LibraryTcp, RegistrationPerDataType) {
  Open(TestIp(24));
  // Replace the recorder's functions for 2 and 17 with counters, remove 20.
  std::atomic<int> images{0}, flags{0};
  ASSERT_EQ(comm.RegisterReply([&](const Reply&) { ++images; }, 2), 1);
  ASSERT_EQ(comm.RegisterReply([&](const Reply&) { ++flags; }, 17), 1);
  ASSERT_EQ(comm.RegisterReply(nullptr, 20), 1);
  EXPECT_EQ(comm.RegisterReply([](const Reply&) {}, 32), 0);
  EXPECT_EQ(comm.RegisterReply([](const Reply&) {}, -1), 0);
  ASSERT_EQ(Send(0, {}), 1);
  ASSERT_TRUE(Eventually([&] { return flags == 1; }));
  EXPECT_EQ(images, 1);
  EXPECT_EQ(recorder.Count(2), 0u);
  ASSERT_EQ(Send(63, {}), 1);
  ASSERT_TRUE(Eventually([&] { return comm.Stats().repliesUnhandled == 1; }));
  EXPECT_EQ(recorder.Count(20), 0u);
}

TEST_F(LibraryTcp, FollowUpSendsFromTheReplyThread) {
  Open(TestIp(25));
  // As the read-back does: on the image, ask for the layers from inside the
  // reply function.
  recorder.SetHook([this](const test::Recorded& r) {
    if (r.dataType == 2) {
      const auto b = Buffer();
      comm.SendTyped(60, b.data(), 110);
    }
  });
  ASSERT_EQ(Send(0, {}), 1);
  ASSERT_TRUE(recorder.WaitFor(14));
  recorder.SetHook(nullptr);
}

TEST_F(LibraryTcp, CloseAllEndsEveryLink) {
  Open(TestIp(26));
  ASSERT_TRUE(Eventually([&] { return processor->TcpLinkCount() == 1; }));
  comm.CloseAll();
  EXPECT_EQ(comm.NetLinkCount(), 0u);
  EXPECT_EQ(Send(0, {}), 0);
  EXPECT_TRUE(Eventually([&] { return processor->TcpLinkCount() == 0; }));
  // The library is usable again afterwards.
  ASSERT_EQ(comm.OpenNetLink(TestIp(26).c_str(), kDevicePort), 1);
  ASSERT_EQ(Send(0, {}), 1);
  ASSERT_TRUE(recorder.WaitFor(17));
}

TEST_F(LibraryTcp, VersionAndInterface) {
  uint8_t version[2] = {0xEE, 0xEE};
  comm.GetVersion(version, 2);
  EXPECT_EQ(version[0], OrvComm::kVersionMajor);
  EXPECT_EQ(version[1], OrvComm::kVersionMinor);
  uint8_t one[2] = {0xEE, 0xEE};
  comm.GetVersion(one, 1);
  EXPECT_EQ(one[1], 0xEE);
  comm.GetVersion(nullptr, 2);  // harmless
  EXPECT_EQ(comm.SelectLocalInterface("127.0.0.1"), 1);
  EXPECT_EQ(comm.SelectLocalInterface("N/A"), 0);
  EXPECT_EQ(comm.SelectLocalInterface(nullptr), 0);
}

TEST_F(LibraryTcp, SelfReportsArriveUnasked) {
  processor = StartProcessor(TestIp(27), 100);
  ASSERT_EQ(comm.OpenNetLink(TestIp(27).c_str(), kDevicePort), 1);
  ASSERT_TRUE(recorder.WaitFor(0, 3, 27));
  ASSERT_TRUE(recorder.WaitFor(22, 3, 27));
  EXPECT_EQ(recorder.Last(0).data, std::vector<uint8_t>{1});
  EXPECT_EQ(recorder.Last(22).data.size(), 8u);
  EXPECT_EQ(recorder.Last(22).data[0], 1);  // slot 0 carries a signal
  EXPECT_EQ(recorder.Last(22).data[1], 0);
}

TEST_F(LibraryTcp, SignalChangeReportsStateAndTiming) {
  Open(TestIp(28));
  processor->SetSignal(3, true, 3840, 2160, 3000, false);
  ASSERT_TRUE(recorder.WaitFor(4));
  ASSERT_TRUE(recorder.WaitFor(22));
  const auto all = recorder.All();
  EXPECT_EQ(all[0].dataType, 22);  // state first, then the timing
  EXPECT_EQ(all[0].data[3], 1);
  const auto timing = recorder.Last(4);
  EXPECT_EQ(timing.data[0], 3);
  EXPECT_EQ(wire::GetU16(timing.data.data() + 2), 3840);
  EXPECT_EQ(wire::GetU16(timing.data.data() + 4), 2160);
  EXPECT_EQ(wire::GetU16(timing.data.data() + 6), 3000);
  processor->RaiseEvent({6, 0});
  ASSERT_TRUE(recorder.WaitFor(24));
  EXPECT_EQ(recorder.Last(24).data, (std::vector<uint8_t>{6, 0, 0, 0, 0, 0, 0, 0}));
}

TEST_F(LibraryTcp, SilentAndDelayedProcessor) {
  Open(TestIp(29));
  processor->SetSilent(true);
  ASSERT_EQ(Send(63, {}), 1);
  ASSERT_TRUE(Eventually([&] { return processor->Stats().framesIn >= 1; }));
  EXPECT_FALSE(recorder.WaitFor(20, 1, -1, 100));
  processor->SetSilent(false);
  processor->SetReplyDelayMs(150);
  const auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(Send(63, {}), 1);
  ASSERT_TRUE(recorder.WaitFor(20));
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(140));
}

}  // namespace
}  // namespace orv
