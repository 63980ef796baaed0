// The library over a serial line: a pseudo-terminal of the virtual processor
// mapped to a port number, as an adapter would be.
#include <gtest/gtest.h>

#include <cstring>

#include "CommTestSupport.h"
#include "OrvComm.h"
#include "SerialPorts.h"
#include "TestNet.h"
#include "VirtualProcessor.h"
#include "WireFormat.h"

namespace orv {
namespace {

using test::Buffer;
using test::Eventually;
using test::ReplyRecorder;
using test::TestIp;

constexpr int kPort = 61;

class LibrarySerial : public ::testing::Test {
 protected:
  void Start(bool pace, const std::string& ip) {
    sim::ProcessorConfig config;
    config.ip = ip;
    config.serialPty = true;
    config.paceSerial = pace;
    config.selfReportMs = 0;
    // The line carries only what the tests send (no preview packets in the
    // counts or the line time).
    config.previewOffered = false;
    processor = std::make_unique<sim::VirtualProcessor>(config);
    std::string error;
    ASSERT_TRUE(processor->Start(&error)) << error;
    ASSERT_FALSE(processor->PtyPath().empty());
    AddExtraSerialDevice(processor->PtyPath(), kPort);
  }
  void TearDown() override { ClearExtraSerialDevices(); }
  int Send(uint16_t type, std::initializer_list<uint8_t> bytes) {
    const auto b = Buffer(bytes);
    return comm.SendTyped(type, b.data(), 0xFF);
  }

  OrvComm comm;
  ReplyRecorder recorder{comm};
  std::unique_ptr<sim::VirtualProcessor> processor;
};

TEST_F(LibrarySerial, OpenReadBackAndClose) {
  Start(false, TestIp(10));
  const uint8_t any[] = {0xFF};
  ASSERT_EQ(comm.SetAddressList(1, any), 1);
  ASSERT_EQ(comm.OpenSerial(kPort, 115200), 1);
  EXPECT_TRUE(comm.IsSerialOpen());
  ASSERT_EQ(Send(0, {}), 1);
  ASSERT_TRUE(recorder.WaitFor(17));
  const auto image = recorder.Last(2);
  ASSERT_EQ(image.data.size(), kParamBlockSize);
  EXPECT_EQ(image.source, 10);
  const ParamBlock sim = processor->Image();
  EXPECT_EQ(std::memcmp(image.data.data(), &sim, sizeof sim), 0);

  // Settings and requests travel the same way.
  ASSERT_EQ(Send(8, {2, 1, 128}), 1);  // layer 2 on, half transparent
  ASSERT_TRUE(recorder.WaitFor(14));
  EXPECT_EQ(processor->Image().CHNLDATA[2].CHNLONOFF, 1);
  EXPECT_EQ(processor->Image().CHNLDATA[2].CHNLALPHA, 128);
  ParamBlock block = sim;
  block.OUTPUTRESO.VRESO = 1200;
  ASSERT_EQ(comm.SendBlock(reinterpret_cast<const uint8_t*>(&block), 0xFF), 1);
  ASSERT_TRUE(recorder.WaitFor(24));
  EXPECT_EQ(processor->Image().OUTPUTRESO.VRESO, 1200);
  const uint8_t chunk[4] = {9, 9, 9, 9};
  ASSERT_EQ(comm.SendBulk(0, 4, chunk, 0xFF), 1);  // no upload announced: refused
  ASSERT_TRUE(recorder.WaitFor(24, 2));
  EXPECT_EQ(recorder.Last(24).data[0], 7);
  EXPECT_EQ(recorder.Last(24).data[3], 0);

  comm.CloseSerial();
  EXPECT_FALSE(comm.IsSerialOpen());
  EXPECT_EQ(Send(0, {}), 0);
  // The port opens again.
  ASSERT_EQ(comm.OpenSerial(kPort, 57600), 1);
  recorder.Clear();
  ASSERT_EQ(Send(63, {}), 1);
  ASSERT_TRUE(recorder.WaitFor(20));
  // Closing everything closes the serial port too.
  comm.CloseAll();
  EXPECT_FALSE(comm.IsSerialOpen());
  EXPECT_EQ(Send(63, {}), 0);
}

TEST_F(LibrarySerial, RefusesUnknownPortsAndBadBaudRates) {
  Start(false, TestIp(11));
  EXPECT_EQ(comm.OpenSerial(0, 115200), 0);  // "N/A" passes port 0
  EXPECT_EQ(comm.OpenSerial(kPort + 1, 115200), 0);
  EXPECT_EQ(comm.OpenSerial(kPort, 12345), 0);  // not a line rate the port offers
  EXPECT_EQ(comm.OpenSerial(kPort, 0), 0);
  EXPECT_FALSE(comm.IsSerialOpen());
  EXPECT_EQ(comm.OpenSerial(kPort, 38400), 1);
}

TEST_F(LibrarySerial, SerialLinkIsTheTargetAfterOpening) {
  Start(false, TestIp(12));
  sim::ProcessorConfig netConfig;
  netConfig.ip = TestIp(13);
  netConfig.selfReportMs = 0;
  sim::VirtualProcessor net(netConfig);
  ASSERT_TRUE(net.Start());
  ASSERT_EQ(comm.OpenNetLink(TestIp(13).c_str(), kDevicePort), 1);
  ASSERT_EQ(comm.SetTargetMachine(TestIp(13).c_str()), 1);
  ASSERT_EQ(comm.OpenSerial(kPort, 115200), 1);
  ASSERT_EQ(Send(63, {}), 1);
  ASSERT_TRUE(recorder.WaitFor(20, 1, 12));
  ASSERT_EQ(comm.SetTargetMachine(TestIp(13).c_str()), 1);
  ASSERT_EQ(Send(63, {}), 1);
  ASSERT_TRUE(recorder.WaitFor(20, 1, 13));
}

TEST_F(LibrarySerial, VanishedAdapterThenANewOne) {
  Start(false, TestIp(14));
  ASSERT_EQ(comm.OpenSerial(kPort, 115200), 1);
  ASSERT_EQ(Send(63, {}), 1);
  ASSERT_TRUE(recorder.WaitFor(20));
  processor->DropLinks(sim::VirtualProcessor::LinkSet::Serial);  // the adapter is pulled
  ASSERT_TRUE(Eventually([&] { return !comm.IsSerialOpen(); }));
  EXPECT_EQ(Send(63, {}), 0);
  EXPECT_TRUE(Eventually([&] { return comm.Stats().linksClosed >= 1; }));
  // Plugged in again (a new device node): the next open works.
  const std::string path = processor->ReopenPty();
  ASSERT_FALSE(path.empty());
  AddExtraSerialDevice(path, kPort);
  ASSERT_EQ(comm.OpenSerial(kPort, 115200), 1);
  ASSERT_EQ(Send(63, {}), 1);
  ASSERT_TRUE(recorder.WaitFor(20, 2));
}

TEST_F(LibrarySerial, PacedLineTakesAtLeastTheWireTime) {
  Start(true, TestIp(15));
  ASSERT_EQ(comm.OpenSerial(kPort, 115200), 1);
  const auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(Send(0, {}), 1);
  ASSERT_TRUE(recorder.WaitFor(2));
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const double wire = (wire::kFrameOverhead + kParamBlockSize) * 10.0 / 115200.0;  // 0.206 s
  // Only the floor is a property of the line; how far above it the image
  // arrives depends on how busy the machine is.
  EXPECT_GE(seconds, 0.95 * wire);
}

TEST_F(LibrarySerial, StalledFrameOnTheLineIsGivenUp) {
  Start(false, TestIp(17));
  const uint8_t any[] = {0xFF};
  ASSERT_EQ(comm.SetAddressList(1, any), 1);
  ASSERT_EQ(comm.OpenSerial(kPort, 38400), 1);
  // A header announcing 4096 bytes, of which only ten come; then a whole
  // frame, which lies inside the announced length.
  std::vector<uint8_t> stalled =
      wire::EncodeFrame(17, wire::FrameKind::Reply, 26, std::vector<uint8_t>(wire::kMaxPayload, 1));
  stalled.resize(wire::kHeaderSize + 10);
  processor->SendRaw(stalled);
  processor->SendRaw(wire::EncodeFrame(17, wire::FrameKind::Reply, 0, std::vector<uint8_t>{1}));
  ASSERT_TRUE(recorder.WaitFor(0, 1, 17));
  EXPECT_TRUE(Eventually([&] { return comm.Stats().parse.stalled == 1; }));
  EXPECT_TRUE(comm.IsSerialOpen());
  EXPECT_EQ(recorder.Count(26), 0u);
}

TEST_F(LibrarySerial, GarbageOnTheLineIsSkipped) {
  Start(false, TestIp(16));
  ASSERT_EQ(comm.OpenSerial(kPort, 115200), 1);
  processor->SendGarbage(3000);
  processor->SendRaw({0xA5, 0x5A, 0x01});  // a frame start cut short
  ASSERT_EQ(Send(0, {}), 1);
  ASSERT_TRUE(recorder.WaitFor(17));
  EXPECT_EQ(recorder.Last(2).data.size(), kParamBlockSize);
  EXPECT_GE(comm.Stats().parse.garbageBytes, 2000u);
}

}  // namespace
}  // namespace orv
