// The frame format: checksums, the golden frames of docs/protocol.md (both
// encoded and parsed), and the per-type length tables.
#include <gtest/gtest.h>

#include <string_view>

#include "CommandLayout.h"
#include "Crc.h"
#include "FrameParser.h"
#include "GoldenFrames.h"
#include "ReplyLayout.h"
#include "WireFormat.h"

namespace orv::wire {
namespace {

using golden::Hex;

std::vector<uint8_t> Bytes(std::string_view text) {
  return {text.begin(), text.end()};
}

std::vector<FrameView> ParseAll(FrameParser& parser, const std::vector<uint8_t>& bytes,
                                std::vector<std::vector<uint8_t>>* payloads = nullptr) {
  std::vector<FrameView> frames;
  parser.Feed(bytes, [&](const FrameView& f) {
    frames.push_back(f);
    if (payloads) payloads->emplace_back(f.payload.begin(), f.payload.end());
  });
  return frames;
}

TEST(Checksums, StandardCheckValues) {
  EXPECT_EQ(Crc8(Bytes("123456789")), 0xF4);
  EXPECT_EQ(Crc16(Bytes("123456789")), 0x29B1);
  EXPECT_EQ(Crc16({}), 0xFFFF);
}

TEST(GoldenFrames, CommandsEncodeToTheDocumentedBytes) {
  EXPECT_EQ(EncodeFrame(110, FrameKind::Command, 0, {}), Hex(golden::kGetAllTo110));
  const uint8_t layerInput[] = {0, 4, 1};
  EXPECT_EQ(EncodeFrame(2, FrameKind::Command, 7, layerInput), Hex(golden::kLayerInputDp1RTo2));
  const uint8_t search[] = {0xFF};
  EXPECT_EQ(EncodeFrame(0xFF, FrameKind::Command, 69, search), Hex(golden::kSearchBroadcast));
  const uint8_t window[] = {1, 0xC0, 0x03, 0, 0, 0xC0, 0x03, 0x1C, 0x02, 0, 0};
  EXPECT_EQ(EncodeFrame(3, FrameKind::Command, 4, window), Hex(golden::kSetLayerWindow1To3));
  const uint8_t layer1[] = {1};
  EXPECT_EQ(EncodeFrame(3, FrameKind::Command, 54, layer1), Hex(golden::kGetLayerWindow1To3));
  const uint8_t preset[] = {2, 3};
  EXPECT_EQ(EncodeFrame(5, FrameKind::Command, 1, preset), Hex(golden::kPresetSave3To5));
  const uint8_t bulk[] = {0x40, 0x05, 0, 0, 4, 0, 0xDE, 0xAD, 0xBE, 0xEF};
  EXPECT_EQ(EncodeFrame(5, FrameKind::BulkChunk, kBulkFrameType, bulk), Hex(golden::kBulkChunkTo5));
  const std::vector<uint8_t> zeros(2360, 0);
  const auto block = EncodeFrame(110, FrameKind::Block, kBlockFrameType, zeros);
  ASSERT_EQ(block.size(), 2372u);
  EXPECT_EQ(std::vector<uint8_t>(block.begin(), block.begin() + 10), Hex(golden::kZeroBlockHeader));
  EXPECT_EQ(std::vector<uint8_t>(block.end() - 2, block.end()), Hex(golden::kZeroBlockTrailer));
}

TEST(GoldenFrames, RepliesEncodeToTheDocumentedBytes) {
  const uint8_t hello[] = {1};
  EXPECT_EQ(EncodeReplyFrame(2, 0, 0, 0, hello), Hex(golden::kHelloFrom2));
  const uint8_t mac[6] = {0x02, 0x51, 0x20, 0, 0, 2};
  EXPECT_EQ(EncodeIdentityFrame(2, "127.0.0.2", std::span<const uint8_t, 6>(mac)),
            Hex(golden::kIdentityFrom2));
  uint8_t window[20] = {};
  PutU32(window + 0, 960);
  PutU32(window + 8, 960);
  PutU32(window + 12, 540);
  EXPECT_EQ(EncodeReplyFrame(3, 10, 1, 0, window), Hex(golden::kLayerWindow1From3));
  const uint8_t ack[] = {4, 0, 0, 0};
  EXPECT_EQ(EncodeReplyFrame(3, 23, 0, 0, ack), Hex(golden::kAckOfCommand4From3));
  const uint8_t ack7[] = {7, 0, 0, 0};
  EXPECT_EQ(EncodeReplyFrame(2, 23, 0, 0, ack7), Hex(golden::kAckOfCommand7From2));
  const uint8_t layers[] = {1, 255, 0, 0, 128, 9};
  EXPECT_EQ(EncodeReplyFrame(4, 14, 0, 0, layers), Hex(golden::kLayersCount2From4));
  const std::vector<uint8_t> image(2360, 0);
  const auto frame = EncodeReplyFrame(2, 2, 0, 0, image);
  ASSERT_EQ(frame.size(), 2372u);
  EXPECT_EQ(std::vector<uint8_t>(frame.begin(), frame.begin() + 10), Hex(golden::kZeroImageHeader));
  EXPECT_EQ(std::vector<uint8_t>(frame.end() - 2, frame.end()), Hex(golden::kZeroImageTrailer));
}

TEST(GoldenFrames, ParseToTheirFields) {
  FrameParser parser;
  std::vector<std::vector<uint8_t>> payloads;
  auto bytes = Hex(golden::kLayerInputDp1RTo2);
  const auto more = Hex(golden::kIdentityFrom2);
  bytes.insert(bytes.end(), more.begin(), more.end());
  const auto frames = ParseAll(parser, bytes, &payloads);
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_EQ(frames[0].address, 2);
  EXPECT_EQ(frames[0].kind, FrameKind::Command);
  EXPECT_EQ(frames[0].type, 7);
  EXPECT_EQ(payloads[0], (std::vector<uint8_t>{0, 4, 1}));
  EXPECT_EQ(frames[1].kind, FrameKind::Reply);
  EXPECT_EQ(frames[1].type, 27);

  Reply reply;
  ASSERT_EQ(DecodeReply(27, 2, payloads[1], reply), ReplyCheck::Ok);
  EXPECT_EQ(std::string(reply.data.begin(), reply.data.end()), "127.0.0.2");
  EXPECT_EQ(reply.data.data()[reply.data.size()], 0);  // usable as a C string
  EXPECT_EQ(std::vector<uint8_t>(reply.extra.begin(), reply.extra.end()),
            (std::vector<uint8_t>{0x02, 0x51, 0x20, 0, 0, 2}));
  EXPECT_EQ(reply.sourceAddress, 2);
  EXPECT_EQ(parser.Stats().garbageBytes, 0u);
}

TEST(GoldenFrames, RepliesDecodeWithTheirExtraValues) {
  FrameParser parser;
  std::vector<std::vector<uint8_t>> payloads;
  auto bytes = Hex(golden::kLayerWindow1From3);
  for (const char* g : {golden::kLayersCount2From4, golden::kAckOfCommand4From3}) {
    const auto more = Hex(g);
    bytes.insert(bytes.end(), more.begin(), more.end());
  }
  const auto frames = ParseAll(parser, bytes, &payloads);
  ASSERT_EQ(frames.size(), 3u);
  Reply reply;
  ASSERT_EQ(DecodeReply(frames[0].type, frames[0].address, payloads[0], reply), ReplyCheck::Ok);
  EXPECT_EQ(reply.arg1, 1);  // layer
  ASSERT_EQ(reply.data.size(), 20u);
  EXPECT_EQ(GetU32(reply.data.data()), 960u);
  EXPECT_EQ(GetU32(reply.data.data() + 12), 540u);
  ASSERT_EQ(DecodeReply(frames[1].type, frames[1].address, payloads[1], reply), ReplyCheck::Ok);
  EXPECT_EQ(reply.arg1, 2);  // count
  EXPECT_EQ(reply.data.size(), 6u);
  EXPECT_EQ(reply.sourceAddress, 4);
  ASSERT_EQ(DecodeReply(frames[2].type, frames[2].address, payloads[2], reply), ReplyCheck::Ok);
  EXPECT_EQ(GetU16(reply.data.data()), 4);
}

TEST(ReplyTable, SizesOfEveryDataType) {
  // Wire payload sizes, arguments included.
  const std::pair<uint16_t, std::size_t> fixed[] = {
      {0, 1},   {1, 1},   {2, 2360}, {3, 6},   {4, 10},   {5, 28}, {6, 12},  {7, 124},
      {8, 34},  {9, 1},   {10, 21},  {11, 16}, {12, 109}, {13, 6}, {15, 42}, {16, 20},
      {17, 10}, {18, 1},  {19, 18},  {20, 16}, {21, 2},   {22, 8}, {23, 4},  {24, 8},
      {25, 32}, {27, 22}, {28, 10},  {29, 44}, {30, 36},  {31, 1}};
  for (auto [type, size] : fixed) {
    ASSERT_TRUE(FixedReplySize(type).has_value()) << type;
    EXPECT_EQ(*FixedReplySize(type), size) << type;
    std::vector<uint8_t> payload(size, 1);
    if (type == 27) payload[15] = 0;
    Reply reply;
    EXPECT_EQ(DecodeReply(type, 9, payload, reply), ReplyCheck::Ok) << type;
    payload.push_back(0);
    EXPECT_EQ(DecodeReply(type, 9, payload, reply), ReplyCheck::WrongLength) << type;
    payload.resize(size - 1);
    EXPECT_NE(DecodeReply(type, 9, payload, reply), ReplyCheck::Ok) << type;
  }
  EXPECT_FALSE(FixedReplySize(14));
  EXPECT_FALSE(FixedReplySize(26));
  EXPECT_FALSE(FixedReplySize(32));
}

TEST(ReplyTable, PictureSplitsCommonAndRecord) {
  std::vector<uint8_t> payload(34);
  for (std::size_t i = 0; i < payload.size(); ++i) payload[i] = static_cast<uint8_t>(i);
  payload[0] = 2;  // layer
  Reply reply;
  ASSERT_EQ(DecodeReply(8, 7, payload, reply), ReplyCheck::Ok);
  EXPECT_EQ(reply.arg1, 2);
  EXPECT_EQ(reply.arg2, 1);
  ASSERT_EQ(reply.data.size(), 12u);
  EXPECT_EQ(reply.data[0], 2);
  ASSERT_EQ(reply.extra.size(), 20u);
  EXPECT_EQ(reply.extra[0], 14);
  EXPECT_EQ(reply.extra[19], 33);
}

TEST(ReplyTable, VariableTypesCheckTheirCounts) {
  Reply reply;
  const uint8_t layers[] = {3, 1, 2, 3, 4, 5, 6, 7, 8, 9};
  EXPECT_EQ(DecodeReply(14, 1, layers, reply), ReplyCheck::Ok);
  EXPECT_EQ(reply.arg1, 3);
  EXPECT_EQ(DecodeReply(14, 1, std::span(layers, 9), reply), ReplyCheck::WrongLength);
  const uint8_t lying[] = {200, 1, 2, 3};
  EXPECT_EQ(DecodeReply(14, 1, lying, reply), ReplyCheck::WrongLength);
  const uint8_t noCount[] = {0};
  EXPECT_EQ(DecodeReply(14, 1, noCount, reply), ReplyCheck::Ok);  // zero layers
  EXPECT_EQ(DecodeReply(14, 1, {}, reply), ReplyCheck::WrongLength);

  const uint8_t video[] = {2, 0, 0, 0, 1, 0x67};
  ASSERT_EQ(DecodeReply(26, 1, video, reply), ReplyCheck::Ok);
  EXPECT_EQ(reply.arg1, 2);
  EXPECT_EQ(reply.data.size(), 5u);
  const uint8_t channelOnly[] = {0};
  EXPECT_EQ(DecodeReply(26, 1, channelOnly, reply), ReplyCheck::WrongLength);

  std::vector<uint8_t> identity(22, '1');  // sixteen text bytes without a NUL
  EXPECT_EQ(DecodeReply(27, 1, identity, reply), ReplyCheck::BadText);
  EXPECT_EQ(DecodeReply(40, 1, identity, reply), ReplyCheck::UnknownType);
}

TEST(ReplyTable, EncoderRefusesPartsThatDoNotFit) {
  const std::vector<uint8_t> eleven(11, 0);
  EXPECT_FALSE(EncodeReplyPayload(6, 0, 0, eleven));
  EXPECT_FALSE(EncodeReplyPayload(14, 0, 0, std::span(eleven).first(4)));
  EXPECT_FALSE(EncodeReplyPayload(26, 0, 0, {}));
  EXPECT_FALSE(EncodeReplyPayload(32, 0, 0, eleven));
  const uint8_t mac[6] = {};
  EXPECT_TRUE(EncodeIdentityFrame(1, "255.255.255.255", std::span<const uint8_t, 6>(mac)).size());
  EXPECT_TRUE(EncodeIdentityFrame(1, "1255.255.255.255", std::span<const uint8_t, 6>(mac)).empty());
  const std::vector<uint8_t> tooMuch(kMaxPayload, 0);
  EXPECT_FALSE(EncodeReplyPayload(26, 0, 0, tooMuch));  // channel byte makes it one too long
  EXPECT_TRUE(EncodeReplyPayload(26, 0, 0, std::span(tooMuch).first(kMaxPayload - 1)));
  EXPECT_TRUE(EncodeFrame(1, FrameKind::Reply, 26, std::vector<uint8_t>(kMaxPayload + 1)).empty());
}

TEST(CommandTable, WireLengths) {
  EXPECT_EQ(CommandWireLength(0), 0u);
  EXPECT_EQ(CommandWireLength(2), 22u);
  EXPECT_EQ(CommandWireLength(3), 16u);
  EXPECT_EQ(CommandWireLength(4), 11u);
  EXPECT_EQ(CommandWireLength(6), 30u);
  EXPECT_EQ(CommandWireLength(11), 32u);
  EXPECT_EQ(CommandWireLength(35), 10u);
  EXPECT_EQ(CommandWireLength(69), 1u);
  EXPECT_EQ(CommandWireLength(73), 0u);
  EXPECT_EQ(CommandWireLength(74), 32u);
  EXPECT_EQ(CommandWireLength(0xFFFF), 32u);
  EXPECT_STREQ(CommandName(54), "GET_LAYER_WINDOW");
  EXPECT_EQ(CommandName(53), nullptr);
  for (uint16_t t = 0; t < 300; ++t) EXPECT_LE(CommandWireLength(t), 32u);
}

}  // namespace
}  // namespace orv::wire
