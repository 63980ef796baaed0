// What each data type stores, whom it refreshes with which argument, and
// whether it hides the wait box and acknowledges.

#include "DecoderFixture.h"

namespace orv::test {
namespace {

std::vector<uint8_t> Filled(std::size_t size, uint8_t first = 1) {
  std::vector<uint8_t> out(size);
  for (std::size_t i = 0; i < size; ++i) out[i] = static_cast<uint8_t>(first + i);
  return out;
}

using Replies = DecoderTest;

// Types whose whole effect on the outside is one refresh with argument 0 and
// an acknowledge.
TEST_F(Replies, PlainTypesRefreshTheirPagesAndAcknowledge) {
  struct Row {
    uint8_t type;
    std::size_t size;
  };
  const Row rows[] = {{3, 6},  {5, 28},  {6, 12},  {7, 124}, {9, 1},  {13, 6},  {15, 42},
                      {18, 1}, {19, 18}, {20, 16}, {21, 2},  {22, 8}, {30, 36}, {31, 1}};
  for (const Row& row : rows) {
    log_.Clear();
    Deliver(row.type, Filled(row.size, 0));
    EXPECT_EQ(Log(), (Expected{Refresh(row.type), kAck})) << "type " << int{row.type};
  }
}

TEST_F(Replies, ArgumentsOfTheRefresh) {
  Deliver(10, Filled(20), 2);
  Deliver(12, Filled(108), 3);
  std::vector<uint8_t> caption(32, 0);
  caption[14] = 1;
  Deliver(25, caption);
  Deliver(8, Filled(12), 3, Filled(20));
  Deliver(11, Filled(14), 1);
  Deliver(14, Filled(6, 0), 2);
  EXPECT_EQ(Log(), (Expected{Refresh(10, 2), kAck, Refresh(12, 3), kAck, Refresh(25, 1), kAck,
                             Refresh(8), kAck, Refresh(11), kAck, Refresh(14), kAck}));
}

TEST_F(Replies, HelloAndFlagAreNotAcknowledged) {
  Deliver(0, {7}, 0, {}, 33);
  Deliver(1, {9});
  EXPECT_EQ(Log(), (Expected{Refresh(0), Refresh(1)}));
  auto s = State();
  EXPECT_EQ(s->REPLY_KIND, 7);
  EXPECT_EQ(s->REPLY_ADDR, 33);
  EXPECT_EQ(s->REPLY1_FLAG, 1);
}

TEST_F(Replies, AcknowledgeRecordsTheSender) {
  Deliver(23, {0x16, 0, 0, 0}, 0, {}, 42);
  EXPECT_EQ(Log(), (Expected{kAck}));
  auto s = State();
  EXPECT_EQ(s->REPLY_KIND, 1);
  EXPECT_EQ(s->REPLY_ADDR, 42);
}

TEST_F(Replies, PresetFlagsHideTheWaitBoxBeforeAcknowledging) {
  Deliver(17, {1, 0, 2, 0, 0, 0, 0, 0, 0, 1});
  EXPECT_EQ(Log(), (Expected{Refresh(17), "busy off", kAck}));
  auto s = State();
  EXPECT_EQ(s->PRESET_FLAGS[0], 1);
  EXPECT_EQ(s->PRESET_FLAGS[2], 2);
  EXPECT_EQ(s->PRESET_FLAGS[9], 1);
}

TEST_F(Replies, IdentityStoresAddressAndMacHidesTheBoxWithoutAck) {
  const std::string ip = "127.0.0.7";
  Deliver(27, std::vector<uint8_t>(ip.begin(), ip.end()), 0, {0xA, 0xB, 0xC, 0xD, 0xE, 0xF});
  EXPECT_EQ(Log(), (Expected{Refresh(27), "busy off"}));
  {
    auto s = State();
    EXPECT_EQ(s->DEVICE_IP, ip);
    EXPECT_EQ(s->DEVICE_MAC[0], 0xA);
    EXPECT_EQ(s->DEVICE_MAC[5], 0xF);
  }
  Deliver(27, {'1', '.', '2'});  // no MAC: zeros
  auto s = State();
  EXPECT_EQ(s->DEVICE_IP, "1.2");
  EXPECT_EQ(s->DEVICE_MAC[0], 0);
  EXPECT_EQ(s->DEVICE_MAC[5], 0);
}

TEST_F(Replies, VideoStreamGoesToThePreviewOnly) {
  Deliver(26, Filled(100), 0);
  Deliver(26, Filled(3), 3);
  EXPECT_EQ(Log(), (Expected{"video 0 100", "video 3 3"}));
}

TEST_F(Replies, PixelGrabSplitsTheWord) {
  Deliver(3, {0x11, 0x22, 0x33, 0x44, 0x55, 0x66});
  auto s = State();
  EXPECT_EQ(s->PIXEL_GRAB[0], 0x2211);
  EXPECT_EQ(s->PIXEL_GRAB[1], 0x4433);
  EXPECT_EQ(s->PIXEL_GRAB[2], 0x6655);
}

TEST_F(Replies, VgaAdjustFields) {
  std::vector<uint8_t> d(28, 0);
  d[0] = 6;
  d[4] = 0x10, d[5] = 0x27;                              // 10000
  d[8] = 0xFF, d[9] = 0xFF, d[10] = 0xFF, d[11] = 0xFF;  // -1
  d[12] = 0xFE;                                          // -2
  d[13] = 5;
  for (int i = 0; i < 6; ++i) d[14 + 2 * i] = static_cast<uint8_t>(10 + i), d[15 + 2 * i] = 1;
  Deliver(5, d);
  auto s = State();
  EXPECT_EQ(s->VGA.ADJ_TARGET, 6);
  EXPECT_EQ(s->VGA.V1, 10000);
  EXPECT_EQ(s->VGA.V2, -1);
  EXPECT_EQ(s->VGA.B1, -2);
  EXPECT_EQ(s->VGA.B2, 5);
  EXPECT_EQ(s->VGA.W1, 0x10A);
  EXPECT_EQ(s->VGA.W2, 0x10B);
  EXPECT_EQ(s->VGA.W6, 0x10F);
}

TEST_F(Replies, EdidGoesToTheFirstSlotOfItsInputCode) {
  {
    auto s = State();
    for (int e = 0; e < kEdidSlots; ++e) s->block.EDIDINFO[e].INPUTSRC = static_cast<uint8_t>(e);
    s->block.EDIDINFO[6].INPUTSRC = 3;  // a second slot with code 3
  }
  Deliver(6, {3, 0, 0x80, 0x07, 0x38, 0x04, 0x70, 0x17, 0x18, 0x01, 0x2D, 0x00});
  {
    auto s = State();
    EXPECT_EQ(s->block.EDIDINFO[3].HACT, 1920);
    EXPECT_EQ(s->block.EDIDINFO[3].VACT, 1080);
    EXPECT_EQ(s->block.EDIDINFO[3].FPS, 6000);
    EXPECT_EQ(s->block.EDIDINFO[3].HBLANK, 280);
    EXPECT_EQ(s->block.EDIDINFO[3].VBLANK, 45);
    EXPECT_EQ(s->block.EDIDINFO[6].HACT, 0);
  }
  const auto before = BlockBytes();
  log_.Clear();
  Deliver(6, {9, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1});  // no slot serves code 9
  EXPECT_EQ(BlockBytes(), before);
  EXPECT_EQ(Log(), (Expected{Refresh(6), kAck}));
}

TEST_F(Replies, PictureGoesToTheGroupOfTheLayersInputAndKeepsGaps) {
  {
    auto s = State();
    s->block.CHNLDATA[2].CHNLINPUT = 9;  // DP1-R: group 8
    std::memset(&s->PicSetOf(8, 2), 0xEE, sizeof(PicSet));
  }
  std::vector<uint8_t> common = {5, 0, 0, 0, 0x20, 0, 0, 0};
  const float gamma = 2.2f;
  common.resize(12);
  std::memcpy(common.data() + 8, &gamma, 4);
  Deliver(8, common, 2, Filled(20));
  auto s = State();
  EXPECT_EQ(s->block.PICCOMMSETT.PICMODE, 5);
  EXPECT_EQ(s->block.PICCOMMSETT.BRIGHTLEVEL, 0x20);
  EXPECT_FLOAT_EQ(s->block.PICCOMMSETT.GAMMA, 2.2f);
  const auto* pic = reinterpret_cast<const uint8_t*>(&s->PicSetOf(8, 2));
  for (int i = 0; i < 20; ++i) {
    const bool taken = i <= 4 || (i >= 8 && i <= 16);
    EXPECT_EQ(pic[i], taken ? i + 1 : 0xEE) << "byte " << i;
  }
  EXPECT_EQ(s->PicSetOf(9, 2).BRIGHTNESS, 0);
}

TEST_F(Replies, LayerWindowStoresFiveValues) {
  std::vector<uint8_t> d(20, 0);
  const int32_t values[5] = {100, -20, 1920, 1080, 3};
  std::memcpy(d.data(), values, sizeof values);
  Deliver(10, d, 3);
  auto s = State();
  const ChannelData& c = s->block.CHNLDATA[3];
  EXPECT_EQ(c.HPOS, 100);
  EXPECT_EQ(c.VPOS, -20);
  EXPECT_EQ(c.HACT, 1920);
  EXPECT_EQ(c.VACT, 1080);
  EXPECT_EQ(c.CHNLROTATION, 3);
  EXPECT_EQ(s->block.CHNLDATA[2].HACT, 0);
}

TEST_F(Replies, CropGoesToTheGroupOfTheLayersInput) {
  {
    auto s = State();
    s->block.CHNLDATA[1].CHNLINPUT = 8;  // DP1-L: group 4
  }
  Deliver(11, Filled(14), 1);
  auto s = State();
  EXPECT_EQ(s->CropOf(4, 1).CROPONOFF, 1);
  EXPECT_EQ(s->CropOf(4, 1).VTOTAL, 13 | (14 << 8));
  EXPECT_EQ(s->CropOf(8, 1).CROPONOFF, 0);
}

TEST_F(Replies, LayersTableUpdatesCountedLayersOnly) {
  {
    auto s = State();
    s->block.CHNLDATA[2].CHNLALPHA = 77;
  }
  Deliver(14, {1, 50, 3, 0, 60, 4}, 2);
  auto s = State();
  EXPECT_EQ(s->block.CHNLDATA[0].CHNLONOFF, 1);
  EXPECT_EQ(s->block.CHNLDATA[0].CHNLALPHA, 50);
  EXPECT_EQ(s->block.CHNLDATA[0].CHNLINPUT, 3);
  EXPECT_EQ(s->block.CHNLDATA[1].CHNLINPUT, 4);
  EXPECT_EQ(s->block.CHNLDATA[2].CHNLALPHA, 77);
}

TEST_F(Replies, KeyerChannelRule) {
  std::vector<uint8_t> d = Filled(20);
  d[0] = 3;
  Deliver(16, d);
  d[0] = 1;
  d[1] = 0x99;
  Deliver(16, d);
  {
    auto s = State();
    EXPECT_EQ(s->block.KEYERINFO.KEYER[0].KEYERCHNL, 3);
    EXPECT_EQ(s->block.KEYERINFO.KEYER[0].KEYERONOFF, 2);
    EXPECT_EQ(s->block.KEYERINFO.KEYER[1].KEYERCHNL, 1);
    EXPECT_EQ(s->block.KEYERINFO.KEYER[1].KEYERONOFF, 0x99);
  }
  const auto before = BlockBytes();
  log_.Clear();
  d[0] = 2;
  Deliver(16, d);
  EXPECT_EQ(BlockBytes(), before);
  EXPECT_EQ(Log(), (Expected{Refresh(16), kAck}));
}

// On a network only the connected device writes the record; every other
// machine the panel has a link to serves the machine list (hello, identity,
// acknowledge) and nothing else. On the serial line every reply is the
// device's.
TEST_F(Replies, OnANetworkOnlyTheConnectedDeviceWritesTheRecord) {
  std::vector<uint8_t> identity = {'1', '2', '7', '.', '0', '.', '0', '.', '9'};
  struct Row {
    uint8_t type;
    std::vector<uint8_t> data;
    std::vector<uint8_t> extra;
    Expected fromAnother;  // what a reply from address 9 does
  };
  const Row rows[] = {
      {2, std::vector<uint8_t>(kParamBlockSize, 3), {}, {}},
      {10, Filled(20), {}, {}},
      {14, {1, 9, 2}, {}, {}},
      {22, Filled(8), {}, {}},
      {24, {3, 0, 0, 0, 0, 0, 0, 0}, {}, {}},
      {26, Filled(40), {}, {}},
      {0, {1}, {}, {Refresh(0)}},
      {23, {4, 0, 0, 0}, {}, {kAck}},
      {27, identity, {2, 0x51, 0x20, 0, 0, 9}, {Refresh(27), "busy off"}},
  };
  State()->NET_MODE = 1;
  for (const Row& row : rows) {
    log_.Clear();
    const auto before = BlockBytes();
    Deliver(row.type, row.data, row.type == 14 ? 1 : 0, row.extra, 9);
    EXPECT_EQ(Log(), row.fromAnother) << "type " << int{row.type};
    EXPECT_EQ(BlockBytes(), before) << "type " << int{row.type};
    EXPECT_EQ(ReplyStatistics().otherMachine[row.type], row.fromAnother.empty() ? 1u : 0u)
        << "type " << int{row.type};
  }
  EXPECT_EQ(State()->REPLY_ADDR, 9);  // the acknowledge told the machine list who answered
  EXPECT_EQ(State()->DEVICE_IP, "127.0.0.9");

  // The search's 0xFF names no device: nobody writes the record then.
  SetDeviceAddress(0xFF);
  Deliver(10, Filled(20), 1, {}, 0xFF);
  Deliver(10, Filled(20), 1, {}, 9);
  EXPECT_EQ(ReplyStatistics().otherMachine[10], 2u);

  // Serial mode: the line is point-to-point, whatever address a reply carries.
  SetDeviceAddress(110);
  State()->NET_MODE = 0;
  log_.Clear();
  Deliver(10, Filled(20), 1, {}, 9);
  EXPECT_EQ(Log(), (Expected{Refresh(10, 1), kAck}));
  EXPECT_EQ(State()->block.CHNLDATA[1].HACT, 0x0C0B0A09);
}

TEST_F(Replies, InputStateOnlyFromTheCurrentDevice) {
  SetDeviceAddress(7);
  Deliver(22, {1, 1, 1, 1, 1, 1, 1, 1}, 0, {}, 8);
  EXPECT_TRUE(Log().empty());
  EXPECT_EQ(State()->block.INPUTINFO.INPUTSTATE[0], 0);
  EXPECT_EQ(State()->REPLY_ADDR, 0);

  Deliver(22, {1, 0, 1, 0, 0, 0, 0, 1}, 0, {}, 7);
  EXPECT_EQ(Log(), (Expected{Refresh(22), kAck}));
  auto s = State();
  EXPECT_EQ(s->block.INPUTINFO.INPUTSTATE[0], 1);
  EXPECT_EQ(s->block.INPUTINFO.INPUTSTATE[1], 0);
  EXPECT_EQ(s->block.INPUTINFO.INPUTSTATE[7], 1);
  EXPECT_EQ(s->REPLY_ADDR, 7);
}

TEST_F(Replies, DpModeReplyAppliesTheSplitRule) {
  {
    auto s = State();
    s->block.CHNLDATA[0].CHNLINPUT = 4;
  }
  Deliver(21, {0, 1});
  auto s = State();
  EXPECT_EQ(s->block.DPMDE[0], 1);
  EXPECT_EQ(s->block.CHNLDATA[0].CHNLINPUT, 8);
  EXPECT_EQ(s->INPUT_TABLE[8].enabled, 1);
  EXPECT_EQ(s->INPUT_TABLE[4].enabled, 0);
}

TEST_F(Replies, EncoderStatusLoop) {
  std::vector<uint8_t> d(10, 0);
  d[0] = 2;
  Deliver(28, d);
  d[0] = 0;
  Deliver(28, d);
  d[0] = 1;
  Deliver(28, d);
  EXPECT_EQ(Log(), (Expected{"video settings", Sent(VIDEO_ENCODER_CTRL, 0), kAck, "video settings",
                             Sent(VIDEO_ENCODER_CTRL, 1), kAck, "video settings", kAck}));
  EXPECT_EQ(State()->VENC_INFO[0], 1);
}

TEST_F(Replies, BoardReplyRefreshesThenRereadsEdidAndMosaic) {
  {
    auto s = State();
    s->block.EDIDINFO[5].INPUTSRC = 7;
    s->block.CHNLDATA[0].CHNLINPUT = 6;
  }
  CompositeBoard board{};
  board.CMPBOARDEXIST = 1;
  board.CMPBOARDIPSRC[1] = 8;
  board.CMPBOARDACTNOSRC = 1;
  board.CMPBOARDACTDUAL = 1;
  std::vector<uint8_t> d(sizeof board);
  std::memcpy(d.data(), &board, sizeof board);
  Deliver(29, d);
  EXPECT_EQ(Log(), (Expected{"board refresh", Sent(GET_EDID, 7), Sent(GET_MOSAIC), kAck}));
  auto s = State();
  EXPECT_EQ(s->block.INPUTINFO.INPUTSRC[6], 8);
  EXPECT_EQ(s->block.CHNLDATA[0].CHNLINPUT, 10);
  EXPECT_EQ(s->INPUT_TABLE[11].name, " DP2-R ");
}

TEST_F(Replies, FeatherAndFreeze) {
  std::vector<uint8_t> d(36, 0);
  for (int i = 0; i < 9; ++i) d[4 * i] = static_cast<uint8_t>(i + 1), d[4 * i + 3] = 0x80;
  Deliver(30, d);
  Deliver(31, {1});
  auto s = State();
  EXPECT_EQ(s->FEATHER[0], static_cast<int32_t>(0x80000001u));
  EXPECT_EQ(s->FEATHER[8], static_cast<int32_t>(0x80000009u));
  EXPECT_EQ(s->block.FREEZE_STATE, 1);
}

TEST_F(Replies, RegisteredOncePerType) {
  for (int t = 0; t < kReplyDataTypes; ++t) EXPECT_EQ(library_.RegistrationCount(t), 1) << t;
}

// The sink and the pauses run while the record is free: a page refresh on
// another thread must be able to read the record at that moment.
TEST_F(Replies, SinkAndPausesRunWithoutTheRecordLock) {
  class ProbingSink : public LoggingSink {
   public:
    using LoggingSink::LoggingSink;
    void RefreshAfterReply(int type, int arg) override {
      LoggingSink::RefreshAfterReply(type, arg);
      if (!RecordFreeOnAnotherThread()) ++lockedCalls;
    }
    int lockedCalls = 0;
  };
  ProbingSink probe(log_);
  SetReplySink(&probe);
  int lockedPauses = 0;
  SetPauseFunction([&](int) {
    if (!RecordFreeOnAnotherThread()) ++lockedPauses;
  });
  DeliverImage(ParamBlock{});
  Deliver(24, {11, 0, 0, 0, 0, 0, 0, 0});
  EXPECT_EQ(probe.lockedCalls, 0);
  EXPECT_EQ(lockedPauses, 0);
  SetReplySink(&sink_);
}

}  // namespace
}  // namespace orv::test
