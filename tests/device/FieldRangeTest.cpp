// Every record field a command carries and a page edits with a clamping
// control: a value outside the page's range (from the device or a project) is
// sent clamped into it, and the record keeps the clamped value, so that the
// page shows exactly what went out.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <type_traits>
#include <vector>

#include "CommandEncoder.h"
#include "DeviceState.h"
#include "FakeCommLibrary.h"

namespace orv {
namespace {

using Args = std::array<uint8_t, 32>;

struct FieldRow {
  const char* name;
  uint16_t type;
  Args args;
  int at;     // payload byte of the field's low byte
  int width;  // 1, 2 or 4 bytes; 1 signed for the VGA positions
  bool isSigned;
  int64_t min;
  int64_t max;
  std::vector<int64_t> outside;  // probes outside the range the field can hold
  void (*set)(DeviceState&, int64_t);
  int64_t (*get)(const DeviceState&);
};

Args A(uint8_t a, uint8_t b = 0, uint8_t last = 0) {
  Args args{};
  args[0] = a;
  args[1] = b;
  args[31] = last;
  return args;
}

// Layer 0 and 1 show DVI-1 (group 0): picture and crop of layer 0 are PICSET[0], CROP[0].
#define FIELD(expr)                                                     \
  [](DeviceState& s, int64_t v) {                                       \
    s.expr = static_cast<std::remove_reference_t<decltype(s.expr)>>(v); \
  },                                                                    \
      [](const DeviceState& s) { return static_cast<int64_t>(s.expr); }
#define LOGO_FIELD(usage, expr)                                         \
  [](DeviceState& s, int64_t v) {                                       \
    s.block.LOGOINFO.LOGOUSAGE = usage;                                 \
    s.expr = static_cast<std::remove_reference_t<decltype(s.expr)>>(v); \
  },                                                                    \
      [](const DeviceState& s) { return static_cast<int64_t>(s.expr); }

const std::vector<int64_t> kU16Wide = {0x12345, 65535, 10000};
const std::vector<int64_t> kI32Wide = {-100, -1, 10000, 100000};

const FieldRow kFields[] = {
    // Output page, custom timing.
    {"HRESO",
     SET_OUTPUT_TIMING,
     A(0),
     1,
     2,
     false,
     640,
     4080,
     {0, 639, 4081, 65535},
     FIELD(block.OUTPUTRESO.HRESO)},
    {"VRESO",
     SET_OUTPUT_TIMING,
     A(0),
     3,
     2,
     false,
     480,
     4080,
     {0, 4081},
     FIELD(block.OUTPUTRESO.VRESO)},
    {"FPS",
     SET_OUTPUT_TIMING,
     A(0),
     5,
     2,
     false,
     2300,
     12000,
     {0, 2299, 12001},
     FIELD(block.OUTPUTRESO.FPS)},
    {"HTOTAL",
     SET_OUTPUT_TIMING,
     A(0),
     7,
     2,
     false,
     680,
     4094,
     {0, 4095},
     FIELD(block.OUTPUTRESO.HTOTAL)},
    {"HSYNC",
     SET_OUTPUT_TIMING,
     A(0),
     9,
     2,
     false,
     4,
     128,
     {0, 129},
     FIELD(block.OUTPUTRESO.HSYNC)},
    {"HBP", SET_OUTPUT_TIMING, A(0), 11, 2, false, 4, 512, {3, 513}, FIELD(block.OUTPUTRESO.HBP)},
    {"VTOTAL",
     SET_OUTPUT_TIMING,
     A(0),
     13,
     2,
     false,
     492,
     4094,
     {491, 4095},
     FIELD(block.OUTPUTRESO.VTOTAL)},
    {"VSYNC",
     SET_OUTPUT_TIMING,
     A(0),
     15,
     2,
     false,
     4,
     128,
     {0, 300},
     FIELD(block.OUTPUTRESO.VSYNC)},
    {"VBP", SET_OUTPUT_TIMING, A(0), 17, 2, false, 4, 512, {0, 600}, FIELD(block.OUTPUTRESO.VBP)},
    // Picture page; 17 is the bright level "off".
    {"BRIGHTLEVEL",
     SET_PICTURE,
     A(0),
     2,
     1,
     false,
     0,
     17,
     {-1, 18, 0x10F},
     FIELD(block.PICCOMMSETT.BRIGHTLEVEL)},
    {"BRIGHTNESS",
     SET_PICTURE,
     A(0),
     6,
     1,
     false,
     0,
     100,
     {101, 255},
     FIELD(block.PICSET[0].BRIGHTNESS)},
    {"CONTRAST",
     SET_PICTURE,
     A(0),
     7,
     1,
     false,
     0,
     100,
     {101, 255},
     FIELD(block.PICSET[0].CONTRAST)},
    {"SATURATION",
     SET_PICTURE,
     A(0),
     8,
     1,
     false,
     0,
     100,
     {200},
     FIELD(block.PICSET[0].SATURATION)},
    {"HUE", SET_PICTURE, A(0), 9, 1, false, 0, 100, {101}, FIELD(block.PICSET[0].HUE)},
    {"SHARPNESS",
     SET_PICTURE,
     A(0),
     10,
     1,
     false,
     0,
     24,
     {25, 255},
     FIELD(block.PICSET[0].SHARPNESS)},
    // Output page, layer window of PIP-1.
    {"CHNLDATA.HPOS", SET_LAYER_WINDOW, A(1), 1, 2, false, 0, 9999, kI32Wide,
     FIELD(block.CHNLDATA[1].HPOS)},
    {"CHNLDATA.VPOS", SET_LAYER_WINDOW, A(1), 3, 2, false, 0, 9999, kI32Wide,
     FIELD(block.CHNLDATA[1].VPOS)},
    {"CHNLDATA.HACT",
     SET_LAYER_WINDOW,
     A(1),
     5,
     2,
     false,
     1,
     9999,
     {0, -5, 10000, 100000},
     FIELD(block.CHNLDATA[1].HACT)},
    {"CHNLDATA.VACT",
     SET_LAYER_WINDOW,
     A(1),
     7,
     2,
     false,
     1,
     9999,
     {0, 65536},
     FIELD(block.CHNLDATA[1].VACT)},
    // Crop page.
    {"CROP.HPOS", SET_CROP, A(0), 2, 2, false, 0, 9999, kU16Wide, FIELD(block.CROP[0].HPOS)},
    {"CROP.VPOS", SET_CROP, A(0), 4, 2, false, 0, 9999, kU16Wide, FIELD(block.CROP[0].VPOS)},
    {"CROP.HACT", SET_CROP, A(0), 6, 2, false, 32, 9999, {0, 31, 10000}, FIELD(block.CROP[0].HACT)},
    {"CROP.VACT", SET_CROP, A(0), 8, 2, false, 32, 9999, {1, 65535}, FIELD(block.CROP[0].VACT)},
    // Mosaic page, cell 2.
    {"MOSAIC.HPOS", SET_MOSAIC, A(2), 4, 4, false, 0, 9999, kI32Wide,
     FIELD(block.MOSAICSETT.HPOS[2])},
    {"MOSAIC.VPOS", SET_MOSAIC, A(2), 8, 4, false, 0, 9999, kI32Wide,
     FIELD(block.MOSAICSETT.VPOS[2])},
    {"MOSAIC.HACT", SET_MOSAIC, A(2), 12, 4, false, 0, 9999, kI32Wide,
     FIELD(block.MOSAICSETT.HACT[2])},
    {"MOSAIC.VACT", SET_MOSAIC, A(2), 16, 4, false, 0, 9999, kI32Wide,
     FIELD(block.MOSAICSETT.VACT[2])},
    {"MOSAIC.HTOTAL", SET_MOSAIC, A(2), 20, 4, false, 0, 9999, kI32Wide,
     FIELD(block.MOSAICSETT.HTOTAL[2])},
    {"MOSAIC.VTOTAL", SET_MOSAIC, A(2), 24, 4, false, 0, 9999, kI32Wide,
     FIELD(block.MOSAICSETT.VTOTAL[2])},
    // PIP page: PIP-1 is layer 1.
    {"CHNLALPHA",
     SET_LAYER_ONOFF,
     A(0),
     2,
     1,
     false,
     0,
     64,
     {65, 0xFF},
     FIELD(block.CHNLDATA[1].CHNLALPHA)},
    // Logo page: the host rectangle while no logo is in use, the device's while one is.
    {"LOGO_HOSTPOS.x", SET_LOGO, A(0, 1), 2, 2, false, 0, 9999, kU16Wide,
     LOGO_FIELD(0, LOGO_HOSTPOS[0][1])},
    {"LOGO_HOSTPOS.y", SET_LOGO, A(0, 1), 4, 2, false, 0, 9999, kU16Wide,
     LOGO_FIELD(0, LOGO_HOSTPOS[1][1])},
    {"LOGO_HOSTPOS.w",
     SET_LOGO,
     A(0, 1),
     6,
     2,
     false,
     8,
     9999,
     {0, 7, 10000},
     LOGO_FIELD(0, LOGO_HOSTPOS[2][1])},
    {"LOGO_HOSTPOS.h",
     SET_LOGO,
     A(0, 1),
     8,
     2,
     false,
     8,
     9999,
     {0, 65535},
     LOGO_FIELD(0, LOGO_HOSTPOS[3][1])},
    {"LOGOINFO.HPOS", SET_LOGO, A(0, 1), 2, 2, false, 0, 9999, kU16Wide,
     LOGO_FIELD(1, block.LOGOINFO.HPOS[1])},
    {"LOGOINFO.VPOS", SET_LOGO, A(0, 1), 4, 2, false, 0, 9999, kU16Wide,
     LOGO_FIELD(1, block.LOGOINFO.VPOS[1])},
    {"LOGOINFO.HACT",
     SET_LOGO,
     A(0, 1),
     6,
     2,
     false,
     8,
     9999,
     {0, 65535},
     LOGO_FIELD(1, block.LOGOINFO.HACT[1])},
    {"LOGOINFO.VACT",
     SET_LOGO,
     A(0, 1),
     8,
     2,
     false,
     8,
     9999,
     {3, 10000},
     LOGO_FIELD(1, block.LOGOINFO.VACT[1])},
    // EDID page, slot 1; the frame rate shows as whole hertz 20..121.
    {"EDID.HACT",
     SET_EDID,
     A(1),
     2,
     2,
     false,
     240,
     3840,
     {0, 239, 3841},
     FIELD(block.EDIDINFO[1].HACT)},
    {"EDID.VACT",
     SET_EDID,
     A(1),
     4,
     2,
     false,
     240,
     3840,
     {0, 65535},
     FIELD(block.EDIDINFO[1].VACT)},
    {"EDID.FPS",
     SET_EDID,
     A(1),
     6,
     2,
     false,
     2000,
     12100,
     {0, 1999, 12199, 65535},
     FIELD(block.EDIDINFO[1].FPS)},
    {"EDID.HBLANK", SET_EDID, A(1), 8, 2, false, 0, 9999, kU16Wide,
     FIELD(block.EDIDINFO[1].HBLANK)},
    {"EDID.VBLANK", SET_EDID, A(1), 10, 2, false, 0, 9999, kU16Wide,
     FIELD(block.EDIDINFO[1].VBLANK)},
    // Keyer page, keyer 0 (channel 3).
    {"KEYERGAININ",
     SET_KEYER,
     A(0, 0, 3),
     8,
     1,
     false,
     0,
     64,
     {65, 255},
     FIELD(block.KEYERINFO.KEYER[0].KEYERGAININ)},
    {"KEYERGAINOUT",
     SET_KEYER,
     A(0, 0, 3),
     9,
     1,
     false,
     0,
     64,
     {65, 255},
     FIELD(block.KEYERINFO.KEYER[0].KEYERGAINOUT)},
    // VGA page.
    {"VGA.V1",
     SET_VGA_ADJUST,
     A(0),
     3,
     2,
     false,
     500,
     4096,
     {0, 499, 4097, 0x0A0B0C},
     FIELD(VGA.V1)},
    {"VGA.V2", SET_VGA_ADJUST, A(0), 5, 1, false, 0, 63, {-1, 64, 0x1234}, FIELD(VGA.V2)},
    {"VGA.B1", SET_VGA_ADJUST, A(0), 6, 1, true, -100, 100, {-128, -101, 101, 127}, FIELD(VGA.B1)},
    {"VGA.B2", SET_VGA_ADJUST, A(0), 7, 1, true, -16, 16, {-128, -17, 17, 127}, FIELD(VGA.B2)},
    {"VGA.W1", SET_VGA_ADJUST, A(0), 9, 2, false, 0, 1023, {1024, 65535}, FIELD(VGA.W1)},
    {"VGA.W3", SET_VGA_ADJUST, A(0), 11, 2, false, 0, 1023, {1024}, FIELD(VGA.W3)},
    {"VGA.W5", SET_VGA_ADJUST, A(0), 13, 2, false, 0, 1023, {4000}, FIELD(VGA.W5)},
    {"VGA.W2", SET_VGA_ADJUST, A(0), 15, 2, false, 0, 1023, {1024}, FIELD(VGA.W2)},
    {"VGA.W4", SET_VGA_ADJUST, A(0), 17, 2, false, 0, 1023, {1024}, FIELD(VGA.W4)},
    {"VGA.W6", SET_VGA_ADJUST, A(0), 19, 2, false, 0, 1023, {65535}, FIELD(VGA.W6)},
    // Test pattern page, 0 = off.
    {"TESTPATTERN_ID",
     SET_TEST_PATTERN,
     A(0),
     0,
     1,
     false,
     0,
     111,
     {112, 255},
     FIELD(TESTPATTERN_ID)},
    // Time and task page, task 2 sent with its own time.
    {"TASK.MONTH",
     SET_TASK,
     A(2, 1),
     3,
     1,
     false,
     1,
     12,
     {0, 13, 255},
     FIELD(block.TASKEINFO.TASK[2].MONTH)},
    {"TASK.DAY",
     SET_TASK,
     A(2, 1),
     4,
     1,
     false,
     1,
     31,
     {0, 40},
     FIELD(block.TASKEINFO.TASK[2].DAY)},
    {"TASK.HOUR",
     SET_TASK,
     A(2, 1),
     5,
     1,
     false,
     0,
     23,
     {24, 255},
     FIELD(block.TASKEINFO.TASK[2].HOUR)},
    {"TASK.MIN", SET_TASK, A(2, 1), 6, 1, false, 0, 59, {60}, FIELD(block.TASKEINFO.TASK[2].MIN)},
    {"TASK.SEC", SET_TASK, A(2, 1), 7, 1, false, 0, 59, {99}, FIELD(block.TASKEINFO.TASK[2].SEC)},
};

#undef FIELD
#undef LOGO_FIELD

int Send(uint16_t type, const Args& a) {
  return SendCommand(type, a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8], a[9], a[10], a[11],
                     a[12], a[13], a[14], a[15], a[16], a[17], a[18], a[19], a[20], a[21], a[22],
                     a[23], a[24], a[25], a[26], a[27], a[28], a[29], a[30], a[31]);
}

int64_t PayloadValue(const test::TypedSend& send, const FieldRow& row) {
  int64_t v = 0;
  for (int k = row.width - 1; k >= 0; --k) v = (v << 8) | send.bytes[row.at + k];
  if (row.isSigned) v = static_cast<int8_t>(v);
  return v;
}

class FieldRangeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetCommLibrary(&fake);
    auto s = State();
    s->block = ParamBlock{};
    s->VGA = {};
    s->LOGO_HOSTPOS[0][1] = s->LOGO_HOSTPOS[1][1] = 0;
  }
  void TearDown() override { SetCommLibrary(nullptr); }

  test::FakeCommLibrary fake;
};

TEST_F(FieldRangeTest, EveryRangedFieldIsSentAndKeptInsideItsRange) {
  for (const FieldRow& row : kFields) {
    std::vector<int64_t> probes = row.outside;
    probes.push_back(row.min);  // the range's own ends pass unchanged
    probes.push_back(row.max);
    for (int64_t probe : probes) {
      { row.set(*State(), probe); }
      const int64_t held = row.get(*State());  // the value the field can hold
      const int64_t expected = std::clamp(held, row.min, row.max);
      fake.ClearRecords();
      Send(row.type, row.args);
      const auto sends = fake.TypedSends();
      ASSERT_EQ(sends.size(), 1u) << row.name;
      EXPECT_EQ(PayloadValue(sends[0], row), expected) << row.name << " set to " << probe;
      EXPECT_EQ(row.get(*State()), expected) << row.name << " kept in the record, set to " << probe;
    }
  }
}

// Gamma is a float shown with one decimal in 0..5.0 and sent in tenths.
TEST_F(FieldRangeTest, GammaIsSentAsShownAndKept) {
  const struct {
    float gamma;
    uint8_t tenths;
  } rows[] = {{1e9f, 50}, {5.1f, 50}, {-0.5f, 0}, {std::nanf(""), 0}, {5.0f, 50}, {0.0f, 0}};
  for (const auto& row : rows) {
    { State()->block.PICCOMMSETT.GAMMA = row.gamma; }
    fake.ClearRecords();
    SendCommand(SET_PICTURE, 0);
    ASSERT_EQ(fake.TypedSends().size(), 1u);
    EXPECT_EQ(fake.TypedSends()[0].bytes[3], row.tenths) << row.gamma;
    EXPECT_FLOAT_EQ(State()->block.PICCOMMSETT.GAMMA, row.tenths / 10.0f) << row.gamma;
  }
}

}  // namespace
}  // namespace orv
