// The processor's system commands: media keys, factory reset, write-back and
// the system information, without a transport; and their control lines.
#include <gtest/gtest.h>

#include <cstring>

#include "ControlChannel.h"
#include "DeviceModel.h"
#include "FrameParser.h"
#include "TestNet.h"
#include "VirtualProcessor.h"
#include "WireFormat.h"

namespace orv::sim {
namespace {

struct Sent {
  uint16_t type;
  std::vector<uint8_t> payload;
};

class SystemCommands : public ::testing::Test {
 protected:
  std::vector<Sent> Feed(wire::FrameKind kind, uint16_t type, const std::vector<uint8_t>& bytes) {
    Frames out;
    wire::FrameParser parser;
    parser.Feed(wire::EncodeFrame(9, kind, type, bytes),
                [&](const wire::FrameView& f) { model.Handle(f, false, out); });
    std::vector<Sent> sent;
    for (const auto& frame : out) {
      wire::FrameParser back;
      back.Feed(frame, [&](const wire::FrameView& v) {
        sent.push_back({v.type, {v.payload.begin(), v.payload.end()}});
      });
    }
    return sent;
  }
  std::vector<Sent> Media(uint8_t key, uint8_t disk) {
    return Feed(wire::FrameKind::Command, 34, {key, disk});
  }

  DeviceModel model{{127, 0, 0, 9}, {0x02, 0x51, 0x20, 0, 0, 9}};
};

TEST_F(SystemCommands, MediaKeysAreLoggedOrRefused) {
  struct Case {
    uint8_t key, disk, status;
  };
  const Case cases[] = {{1, 0, 0}, {7, 1, 0}, {0, 0, 1}, {8, 0, 1}, {3, 2, 1}};
  for (const Case& c : cases) {
    const auto sent = Media(c.key, c.disk);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].type, 23);  // ACK
    EXPECT_EQ(sent[0].payload[2], c.status) << int(c.key) << "/" << int(c.disk);
  }
  ASSERT_EQ(model.mediaKeys().size(), 2u);
  EXPECT_EQ(model.mediaKeys()[1].key, 7);
  EXPECT_EQ(model.mediaKeys()[1].disk, 1);
}

TEST_F(SystemCommands, WriteBackReplacesTheImageAndFactoryResetBringsTheStartBack) {
  std::vector<uint8_t> image(kParamBlockSize);
  for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<uint8_t>(i * 7);
  const auto written = Feed(wire::FrameKind::Block, 22, image);
  ASSERT_EQ(written.size(), 1u);
  EXPECT_EQ(written[0].type, 24);  // event kind 2 ends the host's wait
  EXPECT_EQ(written[0].payload[0], 2);
  EXPECT_EQ(std::memcmp(&model.image(), image.data(), kParamBlockSize), 0);

  const auto reset = Feed(wire::FrameKind::Command, 19, {});
  ASSERT_EQ(reset.size(), 2u);
  EXPECT_EQ(reset[0].type, 23);
  EXPECT_EQ(reset[1].type, 24);  // event kind 6, [1] = 1: the host reads everything again
  EXPECT_EQ(reset[1].payload[0], 6);
  EXPECT_EQ(reset[1].payload[1], 1);
  const ParamBlock start = StartImage();
  EXPECT_EQ(std::memcmp(&model.image(), &start, kParamBlockSize), 0);
}

TEST(SystemControlLines, VoltageAndMediaLog) {
  ProcessorConfig config;
  config.ip = test::TestIp(5);
  config.selfReportMs = 0;
  VirtualProcessor processor(config);
  ASSERT_TRUE(processor.Start());
  EXPECT_EQ(ExecuteControlLine(processor, "sysinfo 1205"), "ok");
  EXPECT_EQ(ExecuteControlLine(processor, "sysinfo -1"), "error usage: sysinfo VOLTAGE100");
  EXPECT_EQ(
      processor.WithModel([](DeviceModel& m) { return m.sysinfo()[2] | m.sysinfo()[3] << 8; }),
      1205);
  EXPECT_EQ(ExecuteControlLine(processor, "media"), "ok");
  processor.Stop();
}

}  // namespace
}  // namespace orv::sim
