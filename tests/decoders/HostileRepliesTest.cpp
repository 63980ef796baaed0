// Replies a broken or hostile device might send: payloads of the wrong size,
// counts and indices naming nothing in the record, malformed text. None may
// write outside the record or reach a page; each is counted.
#include <climits>

#include "DecoderFixture.h"

namespace orv::test {
namespace {

struct Size {
  uint8_t type;
  std::size_t data;
  std::size_t extra;
};

// Every data type with a fixed payload, with its sizes.
constexpr Size kFixedSizes[] = {{0, 1, 0},   {1, 1, 0},   {2, 2360, 0}, {3, 6, 0},   {4, 10, 0},
                                {5, 28, 0},  {6, 12, 0},  {7, 124, 0},  {8, 12, 20}, {9, 1, 0},
                                {10, 20, 0}, {11, 14, 0}, {12, 108, 0}, {13, 6, 0},  {15, 42, 0},
                                {16, 20, 0}, {17, 10, 0}, {18, 1, 0},   {19, 18, 0}, {20, 16, 0},
                                {21, 2, 0},  {22, 8, 0},  {23, 4, 0},   {24, 8, 0},  {25, 32, 0},
                                {28, 10, 0}, {29, 44, 0}, {30, 36, 0},  {31, 1, 0}};

class Hostile : public DecoderTest {
 protected:
  void ExpectNothingHappened(const std::vector<uint8_t>& before, const std::string& what) {
    EXPECT_TRUE(Log().empty()) << what;
    EXPECT_EQ(BlockBytes(), before) << what;
    EXPECT_TRUE(library_.TypedSends().empty()) << what;
  }
};

TEST_F(Hostile, ShortAndLongPayloadsAreDroppedAndCounted) {
  const auto before = BlockBytes();
  for (const Size& s : kFixedSizes) {
    const std::vector<uint8_t> extra(s.extra, 0x11);
    if (s.data > 0) Deliver(s.type, std::vector<uint8_t>(s.data - 1, 0x11), 0, extra);
    Deliver(s.type, std::vector<uint8_t>(s.data + 1, 0x11), 0, extra);
    Deliver(s.type, {}, 0, extra);
    ExpectNothingHappened(before, "type " + std::to_string(s.type));
    const ReplyStats stats = ReplyStatistics();
    EXPECT_EQ(stats.droppedShort[s.type], 2u) << int{s.type};
    EXPECT_EQ(stats.droppedLong[s.type], 1u) << int{s.type};
    EXPECT_EQ(stats.handled[s.type], 0u) << int{s.type};
  }
}

TEST_F(Hostile, WrongExtraBuffersAreDropped) {
  const auto before = BlockBytes();
  Deliver(8, std::vector<uint8_t>(12), 0, std::vector<uint8_t>(19));
  Deliver(8, std::vector<uint8_t>(12), 0, std::vector<uint8_t>(21));
  Deliver(8, std::vector<uint8_t>(12), 0);
  Deliver(10, std::vector<uint8_t>(20), 0, {1});
  Deliver(27, {'1', '.', '1'}, 0, {1, 2, 3});
  Deliver(27, {'1', '.', '1'}, 0, std::vector<uint8_t>(7));
  ExpectNothingHappened(before, "extra");
  const ReplyStats stats = ReplyStatistics();
  EXPECT_EQ(stats.droppedShort[8] + stats.droppedLong[8], 3u);
  EXPECT_EQ(stats.droppedLong[10], 1u);
  EXPECT_EQ(stats.droppedShort[27] + stats.droppedLong[27], 2u);
  EXPECT_EQ(stats.DroppedTotal(), 6u);
}

TEST_F(Hostile, LayersCountMustMatchThePayload) {
  const auto before = BlockBytes();
  Deliver(14, std::vector<uint8_t>(5), 2);
  Deliver(14, std::vector<uint8_t>(9), 2);
  Deliver(14, std::vector<uint8_t>(3), -1);
  Deliver(14, std::vector<uint8_t>(3), 0);
  ExpectNothingHappened(before, "layers");
  EXPECT_EQ(ReplyStatistics().droppedShort[14] + ReplyStatistics().droppedLong[14], 4u);
}

TEST_F(Hostile, LayersCountAboveFourFillsOnlyTheFourLayers) {
  std::vector<uint8_t> d;
  for (int n = 0; n < 6; ++n) d.insert(d.end(), {1, static_cast<uint8_t>(10 + n), 2});
  Deliver(14, d, 6);
  EXPECT_EQ(Log(), (Expected{Refresh(14), kAck}));
  auto s = State();
  for (int n = 0; n < 4; ++n) EXPECT_EQ(s->block.CHNLDATA[n].CHNLALPHA, 10 + n);
  // The bytes after the four layers are INPUTINFO: untouched.
  EXPECT_EQ(s->block.INPUTINFO.INPUTSRC[0], 0);
  EXPECT_EQ(ReplyStatistics().outOfRange[14], 1u);
}

TEST_F(Hostile, LayersInputCodeOutsideTheTableKeepsTheLayersInput) {
  {
    auto s = State();
    s->block.CHNLDATA[0].CHNLINPUT = 5;
  }
  Deliver(14, {1, 40, 12}, 1);
  auto s = State();
  EXPECT_EQ(s->block.CHNLDATA[0].CHNLINPUT, 5);
  EXPECT_EQ(s->block.CHNLDATA[0].CHNLALPHA, 40);
  EXPECT_EQ(ReplyStatistics().outOfRange[14], 1u);
}

TEST_F(Hostile, LayerArgumentsOutsideFourAreDropped) {
  const auto before = BlockBytes();
  for (int32_t layer : {4, -1, 255, 1 << 20}) {
    Deliver(8, std::vector<uint8_t>(12, 9), layer, std::vector<uint8_t>(20, 9));
    Deliver(10, std::vector<uint8_t>(20, 9), layer);
    Deliver(11, std::vector<uint8_t>(14, 9), layer);
  }
  ExpectNothingHappened(before, "layers");
  const ReplyStats stats = ReplyStatistics();
  EXPECT_EQ(stats.outOfRange[8], 4u);
  EXPECT_EQ(stats.outOfRange[10], 4u);
  EXPECT_EQ(stats.outOfRange[11], 4u);
}

TEST_F(Hostile, DpPortIndexAboveThreeStoresNothing) {
  const auto before = BlockBytes();
  Deliver(21, {4, 1});
  Deliver(21, {255, 1});
  EXPECT_EQ(BlockBytes(), before);
  EXPECT_EQ(Log(), (Expected{Refresh(21), kAck, Refresh(21), kAck}));
  EXPECT_EQ(ReplyStatistics().outOfRange[21], 2u);
  Deliver(21, {3, 1});
  EXPECT_EQ(State()->block.DPMDE[3], 1);
}

TEST_F(Hostile, CaptionIndexAboveThreeIsDropped) {
  std::vector<uint8_t> d(32, 0x77);
  d[14] = 4;
  Deliver(25, d);
  d[14] = 0xFF;
  Deliver(25, d);
  EXPECT_TRUE(Log().empty());
  {
    auto s = State();
    for (const auto& record : s->CAPTION_INFO) EXPECT_EQ(record[0], 0);
    EXPECT_EQ(s->LOGO_EDIT_ID, 0);  // the field after the caption records
  }
  EXPECT_EQ(ReplyStatistics().outOfRange[25], 2u);
  d[14] = 3;
  Deliver(25, d);
  EXPECT_EQ(State()->CAPTION_INFO[3][0], 0x77);
}

TEST_F(Hostile, VideoChannelsOutsideTheFourAreDropped) {
  Deliver(26, {1, 2, 3}, 4);
  Deliver(26, {1, 2, 3}, -1);
  Deliver(26, {}, 0);
  Deliver(26, {1}, 0, {1});
  EXPECT_TRUE(Log().empty());
  const ReplyStats stats = ReplyStatistics();
  EXPECT_EQ(stats.outOfRange[26], 2u);
  EXPECT_EQ(stats.droppedShort[26], 1u);
  EXPECT_EQ(stats.droppedLong[26], 1u);
}

TEST_F(Hostile, IdentityTextMustBeAnAddress) {
  Deliver(27, {'1', '2', '7', '.', '0', 'x'});
  const std::vector<uint8_t> tooLong(16, '1');
  Deliver(27, tooLong);
  Deliver(27, {'1', 0, '2'});
  EXPECT_TRUE(Log().empty());
  EXPECT_EQ(State()->DEVICE_IP, "");
  const ReplyStats stats = ReplyStatistics();
  EXPECT_EQ(stats.outOfRange[27], 2u);
  EXPECT_EQ(stats.droppedLong[27], 1u);
}

TEST_F(Hostile, BoardWithActiveSourceOutsideItsTableKeepsSlotSix) {
  {
    auto s = State();
    s->block.INPUTINFO.INPUTSRC[6] = 4;
  }
  CompositeBoard board{};
  board.CMPBOARDEXIST = 1;
  board.CMPBOARDACTNOSRC = 7;
  std::vector<uint8_t> d(sizeof board);
  std::memcpy(d.data(), &board, sizeof board);
  Deliver(29, d);
  auto s = State();
  EXPECT_EQ(s->block.INPUTINFO.INPUTSRC[6], 4);
  EXPECT_EQ(s->block.COMPOSITEBOARD.CMPBOARDACTNOSRC, 7);
  EXPECT_EQ(ReplyStatistics().outOfRange[29], 1u);
  // The layers' groups stay inside the tables with that board.
  s->block.CHNLDATA[0].CHNLINPUT = 6;
  s->block.INPUTINFO.INPUTSRC[6] = 6;
  EXPECT_EQ(InputGroupOfLayer(*s, 0), 0);
}

TEST_F(Hostile, KeyerChannelsWithoutAKeyerStoreNothing) {
  const auto before = BlockBytes();
  std::vector<uint8_t> d(20, 0x44);
  for (uint8_t channel : {0, 2, 4, 0xFF}) {
    d[0] = channel;
    Deliver(16, d);
  }
  EXPECT_EQ(BlockBytes(), before);
  EXPECT_EQ(Log(),
            (Expected{Refresh(16), kAck, Refresh(16), kAck, Refresh(16), kAck, Refresh(16), kAck}));
  EXPECT_EQ(ReplyStatistics().outOfRange[16], 4u);
}

// A project whose board block names an active source outside the three: the
// image is installed, slot 6 keeps the image's port type, and the flag is
// still cleared so that the next device read-back asks for timings again.
TEST_F(Hostile, ProjectBoardWithActiveSourceOutsideItsTableStillClearsThePendingFlag) {
  {
    auto s = State();
    s->CMPBOARD_PENDING = 1;
    s->FEATHER[0] = 0x1FF;
  }
  ParamBlock image{};
  image.INPUTINFO.INPUTSRC[6] = 4;
  image.INPUTINFO.INPUTSTATE[6] = 1;
  image.COMPOSITEBOARD.CMPBOARDEXIST = 1;
  image.COMPOSITEBOARD.CMPBOARDIPSRC[0] = 8;
  image.COMPOSITEBOARD.CMPBOARDACTNOSRC = -2;
  image.COMPOSITEBOARD.CMPBOARDACTDUAL = 1;
  ApplyParamBlock(image);
  {
    auto s = State();
    EXPECT_EQ(s->CMPBOARD_PENDING, 0);
    EXPECT_EQ(s->FEATHER[0], 0x100);
    EXPECT_EQ(s->block.INPUTINFO.INPUTSRC[6], 4);
    EXPECT_EQ(s->block.DPMDE[1], 0);
    EXPECT_EQ(s->INPUT_TABLE[6].name, " DVI-3");
  }
  EXPECT_EQ(ReplyStatistics().outOfRange[2], 1u);
  EXPECT_TRUE(library_.TypedSendsOf(GET_INPUT_TIMING).empty());

  ApplyParamBlock(image);
  ASSERT_EQ(library_.TypedSendsOf(GET_INPUT_TIMING).size(), 1u);
  EXPECT_EQ(library_.TypedSendsOf(GET_INPUT_TIMING)[0].bytes[0], 6);
}

// Port types outside 0..9 mark a slot absent; they never index a name table.
TEST_F(Hostile, PortTypesOutsideTheTableLeaveTheSlotDisabledAndUnnamed) {
  ParamBlock image{};
  const int32_t types[8] = {-1, 10, 1 << 30, INT32_MIN, 255, -9, 100, 11};
  for (int slot = 0; slot < 8; ++slot) image.INPUTINFO.INPUTSRC[slot] = types[slot];
  DeliverImage(image);
  auto s = State();
  // Entry 4 is the DP split rule's: DP-1 whole (DPMDE[0] = 0) enables it.
  for (int code = 0; code < 12; ++code) {
    EXPECT_EQ(s->INPUT_TABLE[code].enabled, code == 4 ? 1 : 0) << code;
  }
  EXPECT_EQ(s->INPUT_TABLE[6].name, " EXT-1 ");
  EXPECT_EQ(s->INPUT_TABLE[7].name, " EXT-2 ");
}

TEST_F(Hostile, UnknownDataTypesAreCounted) {
  Reply r;
  r.dataType = 32;
  HandleReply(r);
  r.dataType = 255;
  HandleReply(r);
  EXPECT_TRUE(Log().empty());
  EXPECT_EQ(ReplyStatistics().unknownType, 2u);
  EXPECT_EQ(ReplyStatistics().DroppedTotal(), 2u);
}

TEST_F(Hostile, ImageWithEveryByteSetStaysInsideTheRecord) {
  ParamBlock image;
  std::memset(&image, 0xFF, sizeof image);
  DeliverImage(image);
  auto s = State();
  for (const auto& layer : s->block.CHNLDATA)
    EXPECT_TRUE(DeviceState::ValidInputCode(layer.CHNLINPUT));
  // Every slot absent; every slot reports a signal: eight timing requests.
  EXPECT_EQ(library_.TypedSendsOf(GET_INPUT_TIMING).size(), 8u);
  EXPECT_EQ(library_.TypedSendsOf(GET_VGA_ADJUST).size(), 0u);
}

}  // namespace
}  // namespace orv::test
