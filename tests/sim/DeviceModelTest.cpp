// The processor's behaviour without a transport: the golden frames in and
// out, what each setting does to the image, and what each request answers.
#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "DeviceModel.h"
#include "FrameParser.h"
#include "GoldenFrames.h"
#include "ReplyLayout.h"
#include "WireFormat.h"

namespace orv::sim {
namespace {

using golden::Hex;

struct Answer {
  uint8_t address;
  uint16_t type;
  std::vector<uint8_t> payload;
  Reply reply;  // spans point into `payload`
};

class Model : public ::testing::Test {
 protected:
  // Feeds raw bytes as a link would and returns the raw frames sent back.
  Frames Feed(const std::vector<uint8_t>& bytes, bool shared = false) {
    Frames out;
    wire::FrameParser parser;
    parser.Feed(bytes, [&](const wire::FrameView& f) { model.Handle(f, shared, out); });
    return out;
  }
  Frames Command(uint16_t type, std::vector<uint8_t> bytes, uint8_t address = 9) {
    return Feed(wire::EncodeFrame(address, wire::FrameKind::Command, type, bytes));
  }
  // Parses reply frames into their fields (checked against the layout table).
  std::vector<Answer> Parse(const Frames& frames) {
    std::vector<Answer> answers;
    for (const auto& f : frames) {
      wire::FrameParser parser;
      parser.Feed(f, [&](const wire::FrameView& v) {
        EXPECT_EQ(v.kind, wire::FrameKind::Reply);
        answers.push_back({v.address, v.type, {v.payload.begin(), v.payload.end()}, {}});
      });
    }
    for (auto& a : answers) {
      EXPECT_EQ(wire::DecodeReply(a.type, a.address, a.payload, a.reply), wire::ReplyCheck::Ok)
          << a.type;
    }
    return answers;
  }
  std::vector<uint16_t> Types(const Frames& frames) {
    std::vector<uint16_t> types;
    for (const auto& a : Parse(frames)) types.push_back(a.type);
    return types;
  }

  DeviceModel model{{127, 0, 0, 9}, {0x02, 0x51, 0x20, 0, 0, 9}};
};

TEST(ModelGolden, AnswersGoldenCommandsWithGoldenReplies) {
  DeviceModel two({127, 0, 0, 2}, {0x02, 0x51, 0x20, 0, 0, 2});
  Frames out;
  wire::FrameParser parser;
  parser.Feed(Hex(golden::kSearchBroadcast),
              [&](const wire::FrameView& f) { two.Handle(f, true, out); });
  ASSERT_EQ(out.size(), 2u);
  EXPECT_EQ(out[0], Hex(golden::kIdentityFrom2));
  EXPECT_EQ(out[1], Hex(golden::kHelloFrom2));
  out.clear();
  parser.Feed(Hex(golden::kLayerInputDp1RTo2),
              [&](const wire::FrameView& f) { two.Handle(f, false, out); });
  ASSERT_GE(out.size(), 1u);
  EXPECT_EQ(out[0], Hex(golden::kAckOfCommand7From2));
  EXPECT_EQ(two.image().CHNLDATA[0].CHNLINPUT, 9);  // DP1-R

  DeviceModel three({127, 0, 0, 3}, {0x02, 0x51, 0x20, 0, 0, 3});
  out.clear();
  parser.Feed(Hex(golden::kSetLayerWindow1To3),
              [&](const wire::FrameView& f) { three.Handle(f, false, out); });
  ASSERT_EQ(out.size(), 2u);
  EXPECT_EQ(out[0], Hex(golden::kAckOfCommand4From3));
  EXPECT_EQ(out[1], Hex(golden::kLayerWindow1From3));
  out.clear();
  parser.Feed(Hex(golden::kGetLayerWindow1To3),
              [&](const wire::FrameView& f) { three.Handle(f, false, out); });
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(out[0], Hex(golden::kLayerWindow1From3));
}

TEST_F(Model, StartImageIsBelievable) {
  const auto& p = model.image();
  EXPECT_EQ(p.OUTPUTRESO.HRESO, 1920);
  EXPECT_EQ(p.OUTPUTRESO.VRESO, 1080);
  EXPECT_EQ(p.OUTPUTRESO.FPS, 6000);
  EXPECT_EQ(p.INPUTINFO.INPUTSTATE[0], 1);
  EXPECT_EQ(p.INPUTINFO.INPUTSTATE[1], 0);
  EXPECT_EQ(p.INPUTINFO.INPUTRESO[0].INPUTRESOHACT, 1920);
  EXPECT_EQ(p.INPUTINFO.INPUTSRC[6], 3);  // a VGA slot
  for (int l = 0; l < kLayers; ++l) {
    const auto& w = p.CHNLDATA[l];
    EXPECT_GT(w.HACT, 0);
    EXPECT_LE(w.HPOS + w.HACT, 1920);
    EXPECT_LE(w.VPOS + w.VACT, 1080);
  }
  EXPECT_EQ(p.CHNLDATA[0].HACT, 1920);
  EXPECT_EQ(p.KEYERINFO.KEYER[0].KEYERCHNL, 3);
  EXPECT_EQ(p.KEYERINFO.KEYER[1].KEYERCHNL, 1);
  EXPECT_EQ(model.address(), 9);
}

TEST_F(Model, GetAllSendsImageThenPresetFlags) {
  const auto answers = Parse(Command(0, {}));
  ASSERT_EQ(answers.size(), 2u);
  EXPECT_EQ(answers[0].type, 2);
  EXPECT_EQ(std::memcmp(answers[0].reply.data.data(), &model.image(), kParamBlockSize), 0);
  EXPECT_EQ(answers[1].type, 17);
  EXPECT_EQ(answers[0].address, 9);
}

TEST_F(Model, MalformedAndForeignFramesAreCountedNotAnswered) {
  EXPECT_TRUE(Command(0, {0x55}).empty());                      // GET_ALL carries nothing
  EXPECT_TRUE(Command(4, std::vector<uint8_t>(10)).empty());    // one byte short
  EXPECT_TRUE(Command(200, std::vector<uint8_t>(32)).empty());  // no such command
  EXPECT_TRUE(
      Feed(wire::EncodeFrame(9, wire::FrameKind::Block, 22, std::vector<uint8_t>(100))).empty());
  EXPECT_TRUE(Feed(wire::EncodeFrame(9, wire::FrameKind::BulkChunk, 0,
                                     {std::vector<uint8_t>{0, 0, 0, 0, 9, 0, 1}}))
                  .empty());
  EXPECT_TRUE(
      Feed(wire::EncodeFrame(9, wire::FrameKind::Reply, 0, {std::vector<uint8_t>{1}})).empty());
  EXPECT_EQ(model.counters().malformed, 5u);
  EXPECT_EQ(model.counters().unknownCommands, 1u);
  // On a shared medium only searches for this unit or for every unit count.
  const auto search =
      wire::EncodeFrame(8, wire::FrameKind::Command, 69, {std::vector<uint8_t>{0xFF}});
  EXPECT_TRUE(Feed(search, true).empty());
  const auto getAll = wire::EncodeFrame(0xFF, wire::FrameKind::Command, 0, {});
  EXPECT_TRUE(Feed(getAll, true).empty());
  EXPECT_EQ(model.counters().ignored, 2u);
  EXPECT_EQ(
      Types(Feed(wire::EncodeFrame(9, wire::FrameKind::Command, 69, {std::vector<uint8_t>{0xFF}}),
                 true)),
      (std::vector<uint16_t>{27, 0}));
}

TEST_F(Model, SettingsApplyAndReport) {
  // SET_OUTPUT_TIMING 1280 x 720 at 59.94.
  auto t = Types(Command(2, {3,   0x00, 0x05, 0xD0, 0x02, 0x6A, 0x17, 0x72, 0x06, 40, 0,
                             220, 0,    0xEE, 0x02, 5,    0,    20,   0,    1,    1,  0}));
  EXPECT_EQ(t, (std::vector<uint16_t>{23, 9}));
  EXPECT_EQ(model.image().OUTPUTRESO.HRESO, 1280);
  EXPECT_EQ(model.image().OUTPUTRESO.VRESO, 720);
  EXPECT_EQ(model.image().OUTPUTRESO.FPS, 5994);
  EXPECT_EQ(model.image().OUTPUTRESO.HTOTAL, 1650);
  EXPECT_EQ(model.image().OUTPUTRESO.VTOTAL, 750);

  // SET_PICTURE for layer 1 (showing input 2: group 2).
  std::vector<uint8_t> pic = {1, 2, 22, 25, 1, 0, 60, 55, 45, 51, 14, 3, 120, 121, 122, 0};
  t = Types(Command(3, pic));
  EXPECT_EQ(t, (std::vector<uint16_t>{23, 8}));
  EXPECT_EQ(model.image().PICCOMMSETT.PICMODE, 2);
  EXPECT_FLOAT_EQ(model.image().PICCOMMSETT.GAMMA, 2.5f);
  const auto& ps = model.image().PICSET[GroupLayerIndex(2, 1)];
  EXPECT_EQ(ps.BRIGHTNESS, 60);
  EXPECT_EQ(ps.SATURATION, 45);
  EXPECT_EQ(ps.SHARPNESS, 14);
  EXPECT_EQ(ps.COLORTEMP, 3);
  EXPECT_EQ(ps.COLORBLUE, 122);

  // SET_LAYER_WINDOW full screen for layer 3.
  Command(2, {10,  0x80, 0x07, 0x38, 0x04, 0x70, 0x17, 0x98, 0x08, 44, 0,
              148, 0,    0x65, 0x04, 5,    0,    36,   0,    1,    1,  0});
  Command(4, {3, 1, 0, 1, 0, 1, 0, 1, 0, 1, 2});
  EXPECT_EQ(model.image().CHNLDATA[3].HACT, 1920);
  EXPECT_EQ(model.image().CHNLDATA[3].VACT, 1080);
  EXPECT_EQ(model.image().CHNLDATA[3].CHNLROTATION, 2);

  // SET_CROP on and a rectangle, then reset.
  EXPECT_EQ(Types(Command(5, {0, 1, 10, 0, 20, 0, 0, 4, 0, 2, 0})),
            (std::vector<uint16_t>{23, 11}));
  auto& crop = model.image().CROP[GroupLayerIndex(0, 0)];
  EXPECT_EQ(crop.CROPONOFF, 1);
  EXPECT_EQ(crop.HPOS, 10);
  EXPECT_EQ(crop.HACT, 1024);
  Command(5, {0, 1, 10, 0, 20, 0, 0, 4, 0, 2, 1});
  EXPECT_EQ(crop.HPOS, 0);
  EXPECT_EQ(crop.HACT, crop.HTOTAL);

  // SET_MOSAIC cell 2.
  std::vector<uint8_t> mosaic(30, 0);
  mosaic[0] = 4;
  mosaic[1] = 1;
  mosaic[3] = 2;
  wire::PutU32(&mosaic[4], 100);
  wire::PutU32(&mosaic[12], 700);
  mosaic[29] = 1;
  const auto m = Parse(Command(6, mosaic));
  ASSERT_EQ(m.size(), 2u);
  EXPECT_EQ(m[1].type, 12);
  EXPECT_EQ(m[1].reply.arg1, 4);  // the kind byte comes back
  EXPECT_EQ(model.image().MOSAICSETT.HPOS[2], 100);
  EXPECT_EQ(model.image().MOSAICSETT.HACT[2], 700);
  EXPECT_EQ(model.image().MOSAICSETT.MOSAIC_OPT, 1);

  // Layers: input and on/off.
  Command(7, {1, 3, 0});
  EXPECT_EQ(model.image().CHNLDATA[1].CHNLINPUT, 3);
  Command(8, {3, 1, 77});
  EXPECT_EQ(model.image().CHNLDATA[3].CHNLONOFF, 1);
  EXPECT_EQ(model.image().CHNLDATA[3].CHNLALPHA, 77);
  EXPECT_EQ(Parse(Command(7, {1, 9, 9}))[0].reply.data[2], 1);  // no such input: refused

  // Logo, keyer, PVW, transition, TAKE, loop-out, freeze, sync.
  // Saving into slot 2 (PIP-3's source has a signal) stores the size; clearing
  // slot 2 empties it again.
  model.image().INPUTINFO.INPUTSTATE[model.image().CHNLDATA[3].CHNLINPUT] = 1;
  Command(9, {2, 2, 10, 0, 20, 0, 30, 0, 40, 0, 0, 0, 0, 1, 0});
  EXPECT_EQ(model.image().LOGOINFO.HACT[2], 30);
  EXPECT_EQ(model.image().LOGOINFO.LOGOVALID[2], 1);
  Command(9, {0, 2, 10, 0, 20, 0, 30, 0, 40, 0, 2, 0, 0, 1, 0});
  EXPECT_EQ(model.image().LOGOINFO.LOGOVALID[2], 0);
  std::vector<uint8_t> keyer(32, 0x55);
  keyer[0] = 1;
  keyer[1] = 0;  // user mode: the ranges sent are kept
  keyer[2] = 7;
  keyer[31] = 1;
  EXPECT_EQ(Types(Command(11, keyer)), (std::vector<uint16_t>{23, 16}));
  EXPECT_EQ(model.image().KEYERINFO.KEYER[1].KEYERONOFF, 1);
  EXPECT_EQ(model.image().KEYERINFO.KEYER[1].KEYERREDL, 7);
  EXPECT_EQ(model.image().KEYERINFO.KEYER[0].KEYERONOFF, 0);
  Command(15, {1});
  Command(16, {9});
  EXPECT_EQ(model.image().PVWMODEINFO.PVWMODE, 1);
  EXPECT_EQ(model.image().PVWMODEINFO.PVWDTIME, 9);
  // A fade index outside 0..7 takes no time: the swap, its report and the
  // event that ends the host's wait come at once.
  EXPECT_EQ(Types(Command(20, {0})), (std::vector<uint16_t>{23, 20, 24}));
  EXPECT_EQ(model.image().PVWMODEINFO.PVWSTATE[0], 1);
  Command(18, {4});
  EXPECT_EQ(model.image().LOOPINFO.LOOPOUTIP, 4);
  EXPECT_EQ(Types(Command(36, {1})), (std::vector<uint16_t>{23, 31}));
  EXPECT_EQ(model.image().FREEZE_STATE, 1);
  Command(21, {0, 2});
  Command(21, {1, 1});
  EXPECT_EQ(model.image().MACHINESYNCMODE.SYNCLOCKMODE, 2);
  EXPECT_EQ(model.image().MACHINESYNCMODE.SYNCMODE, 1);
}

// The automatic adjustment and the calibration end later: ack now, then the
// slot's report and event kind 1 ([1] done, [2] slot) when the work is run.
// Orders of the control line take the next command of their type, once:
// refused with the reason, left unanswered, or applied one off.
TEST_F(Model, OrdersTakeTheNextCommandOfTheirTypeOnce) {
  using Kind = DeviceModel::CommandOrder::Kind;
  const struct {
    const char* name;
    Kind kind;
    std::vector<uint16_t> answered;  // data types sent for the ordered command
    uint8_t loopOut;                 // what the processor holds after it
  } cases[] = {
      {"refused with reason 2", Kind::Refuse, {23}, 0},
      {"left unanswered", Kind::Ignore, {}, 0},
      {"applied with byte 0 one higher", Kind::Alter, {23, 18}, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    model.image().LOOPINFO.LOOPOUTIP = 0;
    DeviceModel::CommandOrder order;
    order.kind = c.kind;
    order.type = 18;
    order.reason = 2;
    order.at = 0;
    model.Order(order);
    EXPECT_EQ(Types(Command(12, {0})), (std::vector<uint16_t>{23}));  // another type: untouched
    const auto answers = Parse(Command(18, {1}));
    std::vector<uint16_t> types;
    for (const auto& a : answers) types.push_back(a.type);
    EXPECT_EQ(types, c.answered);
    if (c.kind == Kind::Refuse) {
      EXPECT_EQ(answers[0].reply.data[2], 1);
      EXPECT_EQ(answers[0].reply.data[3], 2);
    }
    EXPECT_EQ(model.image().LOOPINFO.LOOPOUTIP, c.loopOut);
    EXPECT_EQ(model.OrdersLeft(), 0u);
    // The order is spent: the next command is applied as sent.
    EXPECT_EQ(Types(Command(18, {1})), (std::vector<uint16_t>{23, 18}));
    EXPECT_EQ(model.image().LOOPINFO.LOOPOUTIP, 1);
  }
}

TEST_F(Model, VgaAdjustmentsFinishLater) {
  Frames frames;
  model.SetSignal(6, true, 1024, 768, 6000, false, frames);
  struct Case {
    uint8_t op, slot;
    bool fails;
    uint8_t done;
    int32_t clock;
    uint16_t redGain;
  };
  const Case cases[] = {
      {0, 6, false, 1, 1344, 128},  // automatic: the clock of a 1024-wide mode
      {1, 6, false, 1, 1344, 512},  // calibration
      {0, 6, true, 0, 1344, 512},   // failure chosen on the control line
      {0, 0, false, 0, 1344, 128},  // slot 0 is DVI: nothing to adjust
  };
  for (const Case& c : cases) {
    model.vgaAdjustFails = c.fails;
    std::vector<uint8_t> bytes(22, 0x55);
    bytes[0] = c.op;
    bytes[1] = c.slot;
    bytes[2] = 1;
    EXPECT_EQ(Types(Command(14, bytes)), (std::vector<uint16_t>{23}));
    auto work = model.TakeDeferred();
    ASSERT_EQ(work.size(), 1u);
    EXPECT_EQ(work[0].ms, c.op == 0 ? model.autoAdjustMs : model.calibrateMs);
    Frames later;
    work[0].finish(later);
    const auto a = Parse(later);
    ASSERT_EQ(a.size(), 2u);
    EXPECT_EQ(a[0].type, 5);
    EXPECT_EQ(a[1].type, 24);
    EXPECT_EQ(a[1].reply.data[0], 1);
    EXPECT_EQ(a[1].reply.data[1], c.done);
    EXPECT_EQ(a[1].reply.data[2], c.slot);
    EXPECT_EQ(model.Vga(c.slot).v1, c.slot == 6 ? c.clock : 1344);
    EXPECT_EQ(model.Vga(c.slot).w[1], c.redGain);
  }
  // Without a signal there is nothing to measure.
  model.vgaAdjustFails = false;
  model.SetSignal(6, false, 0, 0, 0, false, frames);
  std::vector<uint8_t> adjust(22, 0x55);
  adjust[0] = 0;
  adjust[1] = 6;
  adjust[2] = 1;
  Command(14, adjust);
  auto work = model.TakeDeferred();
  ASSERT_EQ(work.size(), 1u);
  Frames later;
  work[0].finish(later);
  const auto a = Parse(later);
  ASSERT_EQ(a.size(), 2u);
  EXPECT_EQ(a[1].reply.data[1], 0);
}

TEST_F(Model, EdidVgaTasksFeatherAndEncoder) {
  // EDID apply for input code 2, then a refused one (width out of range).
  auto a = Parse(Command(10, {2, 1, 0x00, 0x0F, 0x70, 0x08, 0xB8, 0x0B, 0x18, 0x01, 0x2D, 0x00}));
  ASSERT_EQ(a.size(), 2u);
  EXPECT_EQ(a[0].type, 24);
  EXPECT_EQ(a[0].reply.data[0], 0);
  EXPECT_EQ(a[0].reply.data[2], 1);
  EXPECT_EQ(a[1].type, 6);
  EXPECT_EQ(model.image().EDIDINFO[2].HACT, 3840);
  EXPECT_EQ(model.image().EDIDINFO[2].FPS, 3000);
  a = Parse(Command(10, {2, 1, 0x10, 0x00, 0x70, 0x08, 0xB8, 0x0B, 0, 0, 0, 0}));
  ASSERT_EQ(a.size(), 1u);
  EXPECT_EQ(a[0].reply.data[2], 0);
  EXPECT_EQ(model.image().EDIDINFO[2].HACT, 3840);

  // VGA adjustment of slot 6, read back.
  std::vector<uint8_t> vga(22, 0);
  vga[1] = 6;
  wire::PutU16(&vga[3], 1400);
  vga[5] = 20;
  wire::PutU16(&vga[9], 111);   // W1
  wire::PutU16(&vga[15], 222);  // W2
  EXPECT_EQ(Types(Command(14, vga)), (std::vector<uint16_t>{23, 5}));
  vga[0] = 1;  // the converter's values go with operation 1
  EXPECT_EQ(Types(Command(14, vga)), (std::vector<uint16_t>{23, 5}));
  const auto v = Parse(Command(49, {6}));
  ASSERT_EQ(v.size(), 1u);
  EXPECT_EQ(v[0].reply.data[0], 6);
  EXPECT_EQ(wire::GetU32(v[0].reply.data.data() + 4), 1400u);
  EXPECT_EQ(wire::GetU16(v[0].reply.data.data() + 14), 111);
  EXPECT_EQ(wire::GetU16(v[0].reply.data.data() + 16), 222);

  // A slot that is not VGA is refused and reported unchanged.
  vga[1] = 0;
  a = Parse(Command(14, vga));
  ASSERT_EQ(a.size(), 2u);
  EXPECT_EQ(a[0].reply.data[2], 1);
  EXPECT_EQ(wire::GetU32(a[1].reply.data.data() + 4), 1344u);

  // A task, then the clock.
  EXPECT_EQ(Types(Command(17, {1, 1, 26, 5, 4, 8, 30, 0, 3, 7, 1})),
            (std::vector<uint16_t>{23, 7}));
  EXPECT_EQ(model.image().TASKEINFO.TASK[3].MONTH, 5);
  EXPECT_EQ(model.image().TASKEINFO.TASK[3].PRESETID, 7);
  EXPECT_EQ(Types(Command(17, {0, 1, 26, 6, 1, 9, 0, 0, 0, 0, 0})),
            (std::vector<uint16_t>{23, 13}));
  EXPECT_EQ(Types(Command(51, {0})), (std::vector<uint16_t>{7, 13}));

  // Feathering in its element order; a shape outside 0..4 is refused.
  Command(35, {1, 1, 0, 2, 1, 3, 2, 4, 3, 3});
  const uint32_t elements[9] = {1, 1, 2, 3, 4, 0, 1, 2, 3};
  EXPECT_EQ(Parse(Command(35, {1, 5, 0, 2, 1, 3, 2, 4, 3, 3}))[0].reply.data[2], 1);
  const auto f = Parse(Command(73, {}));
  ASSERT_EQ(f.size(), 1u);
  for (int e = 0; e < 9; ++e) {
    EXPECT_EQ(wire::GetU32(f[0].reply.data.data() + 4 * e), elements[e]) << e;
  }

  // The encoder exchange ends: settings (2), address (0), version (1).
  Command(25, {0, 7, 16, 0x18, 0x00, 7, 16, 0x18, 0x00});
  auto e = Parse(Command(66, {2}));
  EXPECT_EQ(e[0].reply.data[0], 2);
  EXPECT_EQ(e[0].reply.data[3], 16);
  EXPECT_EQ(e[0].reply.data[4], 0x18);
  e = Parse(Command(66, {0}));
  EXPECT_EQ(e[0].reply.data[0], 0);
  EXPECT_EQ(e[0].reply.data[5], 127);
  EXPECT_EQ(e[0].reply.data[8], 9);
  e = Parse(Command(66, {1}));
  EXPECT_EQ(e[0].reply.data[0], 1);
}

TEST_F(Model, CaptionUploadInChunks) {
  auto a = Parse(Command(23, {1, 0, 0x40, 0, 4, 0, 0, 0x55, 0x55, 0x55}));  // 64 x 4
  ASSERT_EQ(a.size(), 1u);
  EXPECT_EQ(a[0].reply.data[0], 12);
  EXPECT_EQ(a[0].reply.data[1], 0);
  for (uint32_t pos = 0; pos < 32; pos += 16) {
    std::vector<uint8_t> chunk(6 + 16, static_cast<uint8_t>(pos + 1));
    wire::PutU32(chunk.data(), pos);
    wire::PutU16(chunk.data() + 4, 16);
    a = Parse(Feed(wire::EncodeFrame(9, wire::FrameKind::BulkChunk, 0, chunk)));
    ASSERT_EQ(a.size(), 1u);
    EXPECT_EQ(a[0].reply.data[0], 7);
    EXPECT_EQ(a[0].reply.data[3], 1);
    EXPECT_EQ(wire::GetU32(a[0].reply.data.data() + 4), pos);
  }
  EXPECT_EQ(model.upload().received, 32u);
  EXPECT_EQ(model.upload().bytes[31], 17);
  Command(23, {1, 1, 0x40, 0, 4, 0, 10, 0, 20, 0});
  const auto c = Parse(Command(70, {1}));
  ASSERT_EQ(c.size(), 1u);
  EXPECT_EQ(wire::GetU16(c[0].reply.data.data()), 64);
  EXPECT_EQ(wire::GetU16(c[0].reply.data.data() + 4), 10);
  EXPECT_EQ(c[0].reply.data[12], 1);  // on
  EXPECT_EQ(c[0].reply.data[14], 1);  // filed as record 1
  // Too tall a picture is refused; saving answers event kind 8.
  a = Parse(Command(23, {1, 0, 0x40, 0, 200, 0, 0, 0x55, 0x55, 0x55}));
  EXPECT_EQ(a[0].reply.data[1], 1);
  a = Parse(Command(24, {1, 1, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55}));
  EXPECT_EQ(a[0].reply.data[0], 8);
}

TEST_F(Model, PresetsAndFactoryReset) {
  Command(8, {2, 1, 200});
  EXPECT_EQ(Types(Command(1, {2, 0})), (std::vector<uint16_t>{23, 17}));
  EXPECT_EQ(model.presetFlags()[0], 1);
  Command(8, {2, 0, 0});
  Command(1, {1, 0});
  EXPECT_EQ(model.image().CHNLDATA[2].CHNLALPHA, 200);
  EXPECT_EQ(Parse(Command(1, {1, 10}))[0].reply.data[2], 1);  // no preset 10
  Command(19, {});
  EXPECT_EQ(model.presetFlags()[0], 0);
  EXPECT_EQ(model.image().CHNLDATA[2].CHNLALPHA, 255);
}

TEST_F(Model, UnsolicitedReports) {
  Frames out;
  model.SelfReport(out);
  EXPECT_EQ(Types(out), (std::vector<uint16_t>{0, 22}));
  out.clear();
  model.SetSignal(5, true, 1280, 1024, 6000, false, out);
  const auto s = Parse(out);
  ASSERT_EQ(s.size(), 2u);
  EXPECT_EQ(s[0].type, 22);
  EXPECT_EQ(s[0].reply.data[5], 1);
  EXPECT_EQ(s[1].type, 4);
  EXPECT_EQ(s[1].reply.data[0], 5);
  EXPECT_EQ(wire::GetU16(s[1].reply.data.data() + 4), 1024);
  out.clear();
  model.SetSignal(9, true, 1, 1, 1, false, out);  // no slot 9
  EXPECT_TRUE(out.empty());
  // GET_INPUT_TIMING 0xFF answers every slot with a signal: 0, 2 and now 5.
  const auto timings = Parse(Command(48, {0xFF}));
  ASSERT_EQ(timings.size(), 3u);
  EXPECT_EQ(timings[2].reply.data[0], 5);
  EXPECT_TRUE(Command(48, {8}).empty());
}

TEST_F(Model, CropsStayInsideTheSourceAndFixedKeyModesTakeTheDeviceRanges) {
  auto& crop = model.image().CROP[GroupLayerIndex(0, 0)];
  crop.HTOTAL = 1920;
  crop.VTOTAL = 1080;
  struct Case {
    uint16_t x, y, w, h, totalW;
    uint16_t wantX, wantY, wantW, wantH;
  };
  const Case cases[] = {
      {100, 50, 800, 600, 1920, 100, 50, 800, 600},      // inside: kept
      {1500, 900, 800, 600, 1920, 1120, 480, 800, 600},  // past the end: start lowered
      {0, 0, 4000, 10, 1920, 0, 0, 1920, 32},            // wider than the source, below 32
      {700, 0, 200, 100, 0, 700, 0, 200, 100},           // no signal: nothing to fit
  };
  for (const Case& c : cases) {
    crop.HTOTAL = c.totalW;
    std::vector<uint8_t> b{0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    wire::PutU16(&b[2], c.x);
    wire::PutU16(&b[4], c.y);
    wire::PutU16(&b[6], c.w);
    wire::PutU16(&b[8], c.h);
    Command(5, b);
    EXPECT_EQ((std::array<int, 4>{crop.HPOS, crop.VPOS, crop.HACT, crop.VACT}),
              (std::array<int, 4>{c.wantX, c.wantY, c.wantW, c.wantH}))
        << c.x << "," << c.y << " " << c.w << "x" << c.h;
  }

  std::vector<uint8_t> keyer(32, 0x55);
  keyer[0] = 1;
  keyer[1] = 3;  // black on white 1
  keyer[8] = 200;
  keyer[31] = 3;
  Command(11, keyer);
  const auto& k = model.image().KEYERINFO.KEYER[0];
  EXPECT_EQ(k.KEYERMODE, 3);
  EXPECT_EQ((std::array<int, 2>{k.KEYERREDL, k.KEYERBLUEH}), (std::array<int, 2>{224, 255}));
  EXPECT_EQ(k.KEYERGAININ, 64);
  // No such mode, no such channel: refused, nothing stored.
  keyer[1] = 13;
  EXPECT_EQ(Parse(Command(11, keyer))[0].reply.data[2], 1);
  keyer[1] = 0;
  keyer[31] = 2;
  EXPECT_EQ(Parse(Command(11, keyer))[0].reply.data[2], 1);
  EXPECT_EQ(k.KEYERMODE, 3);
}

}  // namespace
}  // namespace orv::sim
