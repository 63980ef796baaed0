// The full read-back (data type 2 and the shared apply), the project-load
// path with CMPBOARD_PENDING, and the sequences started from the user
// interface: write-back, presets, search.
#include <algorithm>
#include <chrono>
#include <cstddef>

#include "DecoderFixture.h"

namespace orv::test {
namespace {

constexpr int kGetInputTiming = GET_INPUT_TIMING;
constexpr int kGetVgaAdjust = GET_VGA_ADJUST;

// The seven requests sent 200 ms after the image, in their order.
Expected FollowUps() {
  return {Sent(GET_CAPTION, 0), Sent(VIDEO_ENCODER_CTRL, 2),
          Sent(QUERY67),        Sent(QUERY62),
          Sent(GET_LAYERS),     Sent(QUERY73),
          Sent(QUERY68)};
}

Expected Concat(Expected a, const Expected& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// Slots 0..5 plain DVI/HDMI ports, 6 and 7 absent unless a test sets them.
ParamBlock PlainImage() {
  ParamBlock image{};
  const int32_t types[8] = {4, 6, 4, 6, 8, 7, -1, 10};
  for (int s = 0; s < 8; ++s) image.INPUTINFO.INPUTSRC[s] = types[s];
  return image;
}

using FullReadBack = DecoderTest;

TEST_F(FullReadBack, RequestsFollowSlotOrderThenPauseThenSevenFollowUps) {
  ParamBlock image = PlainImage();
  image.INPUTINFO.INPUTSTATE[0] = 1;
  image.INPUTINFO.INPUTSTATE[2] = 1;
  image.INPUTINFO.INPUTSRC[6] = 3;  // VGA without a signal

  StartFullReadBack();
  DeliverImage(image);

  const Expected expected =
      Concat({"busy on 82", Sent(GET_ALL), Sent(kGetInputTiming, 0), Sent(kGetInputTiming, 2),
              Sent(kGetVgaAdjust, 6), Refresh(2), PauseOf(200)},
             Concat(FollowUps(), {kAck}));
  EXPECT_EQ(Log(), expected);
  EXPECT_EQ(ReplyStatistics().handled[2], 1u);
}

TEST_F(FullReadBack, VgaSlotWithSignalAsksAdjustmentBeforeTiming) {
  ParamBlock image = PlainImage();
  image.INPUTINFO.INPUTSRC[7] = 3;
  image.INPUTINFO.INPUTSTATE[7] = 1;
  image.INPUTINFO.INPUTSTATE[6] = 1;  // absent slot with a signal flag still asks
  DeliverImage(image);
  const Expected log = Log();
  ASSERT_GE(log.size(), 3u);
  EXPECT_EQ(log[0], Sent(kGetInputTiming, 6));
  EXPECT_EQ(log[1], Sent(kGetVgaAdjust, 7));
  EXPECT_EQ(log[2], Sent(kGetInputTiming, 7));
  EXPECT_EQ(log[3], Refresh(2));
}

TEST_F(FullReadBack, KeepsFreezeBytesAndGapButTakesSyncLockMode) {
  {
    auto s = State();
    s->block.FREEZE_STATE = 1;
    s->block.gap902[0] = 0xA1;
    s->block.gap902[1] = 0xA2;
    s->block.gap8C6[0] = 0xB1;
    s->block.gap8C6[1] = 0xB2;
  }
  ParamBlock image = PlainImage();
  image.FREEZE_STATE = 0;
  image.gap902[0] = image.gap902[1] = 0;
  image.gap8C6[0] = image.gap8C6[1] = 0;
  image.MACHINESYNCMODE.SYNCLOCKMODE = 0x0C;
  image.MACHINESYNCMODE.SYNCMODE = 2;
  image.LOGOINFO.LOGOVALID[3] = 1;
  image.PVWMODEINFO.PVWMODE = 2;
  image.LOOPINFO.LOOPOUTIP = 5;
  DeliverImage(image);

  auto s = State();
  EXPECT_EQ(s->block.FREEZE_STATE, 1);
  EXPECT_EQ(s->block.gap902[0], 0xA1);
  EXPECT_EQ(s->block.gap902[1], 0xA2);
  EXPECT_EQ(s->block.gap8C6[0], 0xB1);
  EXPECT_EQ(s->block.gap8C6[1], 0xB2);
  EXPECT_EQ(s->block.MACHINESYNCMODE.SYNCLOCKMODE, 0x0C);
  EXPECT_EQ(s->block.MACHINESYNCMODE.SYNCMODE, 2);
  EXPECT_EQ(s->block.LOGOINFO.LOGOVALID[3], 1);
  EXPECT_EQ(s->block.PVWMODEINFO.PVWMODE, 2);
  EXPECT_EQ(s->block.LOOPINFO.LOOPOUTIP, 5);
}

TEST_F(FullReadBack, EveryOtherByteOfTheImageIsTaken) {
  ParamBlock image{};
  auto* bytes = reinterpret_cast<uint8_t*>(&image);
  for (std::size_t i = 0; i < sizeof image; ++i) bytes[i] = static_cast<uint8_t>(i * 7 + 3);
  // Valid layer inputs so that none is replaced.
  for (auto& layer : image.CHNLDATA) layer.CHNLINPUT = 2;
  // No board, no split, so that no derived field rewrites image bytes.
  image.COMPOSITEBOARD.CMPBOARDEXIST = 0;
  image.DPMDE[0] = image.DPMDE[1] = 0;
  DeliverImage(image);

  const std::vector<uint8_t> now = BlockBytes();
  const std::size_t kept[] = {0x8C6, 0x8C7, 0x901, 0x902, 0x903};
  for (std::size_t i = 0; i < sizeof image; ++i) {
    const bool isKept = std::find(std::begin(kept), std::end(kept), i) != std::end(kept);
    if (isKept) {
      EXPECT_EQ(now[i], 0) << "offset " << i;
    } else {
      EXPECT_EQ(now[i], bytes[i]) << "offset " << i;
    }
  }
}

TEST_F(FullReadBack, HostFieldsStayAsTheyWere) {
  {
    auto s = State();
    s->PRESET_FLAGS[3] = 1;
    s->FEATHER[0] = 0x1234;
    s->DEVICE_IP = "127.0.0.5";
    s->INPUT_TABLE[2].label = "Stage left";
  }
  DeliverImage(PlainImage());
  auto s = State();
  EXPECT_EQ(s->PRESET_FLAGS[3], 1);
  EXPECT_EQ(s->FEATHER[0], 0x1234);
  EXPECT_EQ(s->DEVICE_IP, "127.0.0.5");
  EXPECT_EQ(s->INPUT_TABLE[2].label, "Stage left");
  EXPECT_EQ(s->REPLY_KIND, 1);
  EXPECT_EQ(s->REPLY_ADDR, 110);
}

TEST_F(FullReadBack, InputTableFollowsPortTypes) {
  ParamBlock image = PlainImage();
  image.INPUTINFO.INPUTSRC[2] = 12;  // absent
  image.INPUTINFO.INPUTSRC[6] = 6;
  image.INPUTINFO.INPUTSRC[7] = 9;
  DeliverImage(image);
  auto s = State();
  const int expectedEnabled[12] = {1, 1, 0, 1, 1, 1, 1, 1, 0, 0, 0, 0};
  for (int code = 0; code < 12; ++code) {
    EXPECT_EQ(s->INPUT_TABLE[code].enabled, expectedEnabled[code]) << "code " << code;
  }
  EXPECT_EQ(s->INPUT_TABLE[6].name, " HDMI-3");
  EXPECT_EQ(s->INPUT_TABLE[7].name, " UDISK-2");
  EXPECT_EQ(s->INPUT_TABLE[2].name, " DVI-2 ");
}

TEST_F(FullReadBack, SlotNamesByPortType) {
  struct Row {
    int32_t type;
    const char* six;
    const char* seven;
  };
  const Row rows[] = {{3, " VGA-1", " VGA-2"},   {4, " DVI-3", " DVI-4"},
                      {6, " HDMI-3", " HDMI-4"}, {7, " SDI-2", " SDI-3"},
                      {8, " DP-2", " EXT-2 "},   {9, " UDISK-1", " UDISK-2"},
                      {1, " EXT-1 ", " EXT-2 "}};
  for (const Row& row : rows) {
    {
      auto s = State();
      *s = DeviceState();
    }
    ParamBlock image = PlainImage();
    image.INPUTINFO.INPUTSRC[6] = row.type;
    image.INPUTINFO.INPUTSRC[7] = row.type;
    DeliverImage(image);
    auto s = State();
    EXPECT_EQ(s->INPUT_TABLE[6].name, row.six) << "type " << row.type;
    EXPECT_EQ(s->INPUT_TABLE[7].name, row.seven) << "type " << row.type;
  }
}

TEST_F(FullReadBack, SplitSecondDpDisablesWholePortAndMovesItsLayers) {
  {
    auto s = State();
    s->block.CHNLDATA[2].CHNLINPUT = 6;
  }
  ParamBlock image = PlainImage();
  image.INPUTINFO.INPUTSRC[6] = 8;
  image.DPMDE[1] = 1;
  image.CHNLDATA[1].CHNLINPUT = 6;
  image.CHNLDATA[3].CHNLINPUT = 11;
  DeliverImage(image);
  auto s = State();
  EXPECT_EQ(s->INPUT_TABLE[6].enabled, 0);
  EXPECT_EQ(s->INPUT_TABLE[10].enabled, 1);
  EXPECT_EQ(s->INPUT_TABLE[11].enabled, 1);
  EXPECT_EQ(s->INPUT_TABLE[10].name, " DP2-L ");
  EXPECT_EQ(s->INPUT_TABLE[11].name, " DP2-R ");
  EXPECT_EQ(s->block.CHNLDATA[1].CHNLINPUT, 10);
  EXPECT_EQ(s->block.CHNLDATA[2].CHNLINPUT, 0);  // the image's value, not the old one
  EXPECT_EQ(s->block.CHNLDATA[3].CHNLINPUT, 11);
}

TEST_F(FullReadBack, LayerInputOutsideTheTableKeepsThePreviousInput) {
  {
    auto s = State();
    s->block.CHNLDATA[1].CHNLINPUT = 3;
  }
  ParamBlock image = PlainImage();
  image.CHNLDATA[1].CHNLINPUT = 200;
  image.CHNLDATA[2].CHNLINPUT = 12;
  DeliverImage(image);
  auto s = State();
  EXPECT_EQ(s->block.CHNLDATA[1].CHNLINPUT, 3);
  EXPECT_EQ(s->block.CHNLDATA[2].CHNLINPUT, 0);
  EXPECT_EQ(ReplyStatistics().outOfRange[2], 1u);
}

// --- Project load path (CMPBOARD_PENDING) -------------------------------------

using ProjectApply = DecoderTest;

ParamBlock BoardImage() {
  ParamBlock image = PlainImage();
  image.INPUTINFO.INPUTSTATE[0] = 1;
  image.INPUTINFO.INPUTSTATE[1] = 1;
  image.INPUTINFO.INPUTSRC[7] = 3;
  auto& b = image.COMPOSITEBOARD;
  b.CMPBOARDEXIST = 1;
  b.CMPBOARDIPSRC[0] = 6;
  b.CMPBOARDIPSRC[1] = 8;
  b.CMPBOARDACTNOSRC = 1;
  b.CMPBOARDACTHACT = 3840;
  b.CMPBOARDACTVACT = 2160;
  b.CMPBOARDACTFPS = 3000;
  b.CMPBOARDACTINTERLACE = 0;
  b.CMPBOARDACTDUAL = 1;
  return image;
}

TEST_F(ProjectApply, PendingApplySendsNoTimingsAppliesTheBoardAndClearsTheFlag) {
  {
    auto s = State();
    s->CMPBOARD_PENDING = 1;
    s->FEATHER[0] = 0x3344;
  }
  ApplyParamBlock(BoardImage());

  EXPECT_EQ(Log(), (Expected{Sent(kGetVgaAdjust, 7)}));  // no refresh, no ack: the loader's
  auto s = State();
  EXPECT_EQ(s->CMPBOARD_PENDING, 0);
  EXPECT_EQ(s->FEATHER[0], 0x3300);
  EXPECT_EQ(s->block.INPUTINFO.INPUTSRC[6], 8);
  EXPECT_EQ(s->block.INPUTINFO.INPUTRESO[6].INPUTRESOHACT, 3840);
  EXPECT_EQ(s->block.DPMDE[1], 1);
  EXPECT_EQ(s->INPUT_TABLE[6].enabled, 0);
  EXPECT_EQ(s->INPUT_TABLE[10].name, " DP2-L ");
}

TEST_F(ProjectApply, FirstDeviceReadBackAfterAProjectStillAsksForTimings) {
  {
    auto s = State();
    s->CMPBOARD_PENDING = 1;
  }
  ApplyParamBlock(BoardImage());
  log_.Clear();

  DeliverImage(BoardImage());
  const Expected log = Log();
  ASSERT_GE(log.size(), 3u);
  EXPECT_EQ(log[0], Sent(kGetInputTiming, 0));
  EXPECT_EQ(log[1], Sent(kGetInputTiming, 1));
  EXPECT_EQ(log[2], Sent(kGetVgaAdjust, 7));
}

TEST_F(ProjectApply, DeviceReadBackWhilePendingSendsNoTimings) {
  {
    auto s = State();
    s->CMPBOARD_PENDING = 1;
  }
  DeliverImage(BoardImage());
  const Expected expected =
      Concat({Sent(kGetVgaAdjust, 7), Refresh(2), PauseOf(200)}, Concat(FollowUps(), {kAck}));
  EXPECT_EQ(Log(), expected);
  EXPECT_EQ(State()->CMPBOARD_PENDING, 0);
}

TEST_F(ProjectApply, WithoutPendingTheBoardBlockIsCopiedButNotApplied) {
  ParamBlock image = BoardImage();
  image.INPUTINFO.INPUTSRC[6] = 4;
  ApplyParamBlock(image);
  auto s = State();
  EXPECT_EQ(s->block.COMPOSITEBOARD.CMPBOARDIPSRC[1], 8);
  EXPECT_EQ(s->block.INPUTINFO.INPUTSRC[6], 4);
  EXPECT_EQ(s->INPUT_TABLE[6].name, " DVI-3");
}

// --- Sequences from the user interface ----------------------------------------

using Sequences = DecoderTest;

TEST_F(Sequences, FullWriteBackClearsFeatherLowByteThenSendsFeatherAndBlock) {
  {
    auto s = State();
    s->FEATHER[0] = 0x1FF;
    s->FEATHER[1] = 7;
    s->block.OUTPUTRESO.HRESO = 1920;
  }
  FullWriteBack();
  EXPECT_EQ(Log(), (Expected{"busy on 84", Sent(SET_FEATHER, 0), "block"}));
  const auto feather = library_.TypedSendsOf(SET_FEATHER);
  ASSERT_EQ(feather.size(), 1u);
  EXPECT_EQ(feather[0].bytes[1], 7);
  EXPECT_EQ(feather[0].bytes[9], 3);
  EXPECT_EQ(State()->FEATHER[0], 0x100);
  const auto blocks = library_.BlockSends();
  ASSERT_EQ(blocks.size(), 1u);
  EXPECT_EQ(blocks[0].bytes[4], 1920 & 0xFF);
  EXPECT_EQ(blocks[0].bytes[5], 1920 >> 8);
}

TEST_F(Sequences, PresetRecallSendsPresetThenGetAllThenShowsWaitBox) {
  RecallPreset(1, 3);
  RecallPreset(0, 9);
  EXPECT_EQ(Log(), (Expected{"busy on 65", Sent(PRESET, 1), Sent(GET_ALL), "busy on 65",
                             Sent(PRESET, 0), Sent(GET_ALL)}));
  const auto presets = library_.TypedSendsOf(PRESET);
  ASSERT_EQ(presets.size(), 2u);
  EXPECT_EQ(presets[0].bytes[1], 3);
  EXPECT_EQ(presets[1].bytes[1], 9);
}

TEST_F(Sequences, PresetSaveMarksThePresetAndReadsNothingBack) {
  SavePreset(4);
  EXPECT_EQ(Log(), (Expected{Sent(PRESET, 2)}));
  EXPECT_EQ(library_.LastTyped()->bytes[1], 4);
  auto s = State();
  EXPECT_EQ(s->PRESET_FLAGS[4], 1);
  EXPECT_EQ(s->PRESET_FLAGS[3], 0);
}

TEST_F(Sequences, PresetNumbersOutsideTheTenSendNothing) {
  SavePreset(10);
  SavePreset(-1);
  RecallPreset(1, 10);
  RecallPreset(2, 1);  // saving goes through SavePreset only
  EXPECT_TRUE(Log().empty());
}

TEST_F(Sequences, SearchUsesTheBroadcastDeviceAddress) {
  StartDeviceSearch();
  EXPECT_EQ(DeviceAddress(), 0xFF);
  const auto sent = library_.TypedSendsOf(SEARCH);
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].bytes[0], 0xFF);
  EXPECT_EQ(sent[0].address, 0xFF);
}

TEST_F(Sequences, ReadBackWithAnotherWaitText) {
  StartFullReadBack(kWaitTextOperation);
  EXPECT_EQ(Log(), (Expected{"busy on 65", Sent(GET_ALL)}));
}

TEST(Pause, WithoutAFunctionTheThreadReallySleeps) {
  SetPauseFunction({});
  const auto start = std::chrono::steady_clock::now();
  Pause(30);
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_GE(elapsed, std::chrono::milliseconds(30));
}

}  // namespace
}  // namespace orv::test
