// The parameter image is exchanged with the processor as raw bytes, so every
// field must sit at its wire offset with its wire width and signedness. These
// tests move bytes between a raw 2360-byte image and the record both ways.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <type_traits>
#include <utility>
#include <vector>

#include "DeviceState.h"
#include "ParamBlock.h"

namespace orv {
namespace {

enum class Wire { U8, U16, I32 };

struct FieldRow {
  const char* name;
  std::size_t offset;  // of element 0
  std::size_t stride;  // distance between elements of an array
  int count;
  Wire wire;
  std::size_t declaredWidth;
  bool declaredSigned;
  int64_t (*read)(const ParamBlock&, int);
  void (*write)(ParamBlock&, int, int64_t);
};

std::size_t WidthOf(Wire w) {
  return w == Wire::U8 ? 1 : (w == Wire::U16 ? 2 : 4);
}

// `k` in the expression is the element index; the width and signedness come
// from the declared type of the expression.
#define FIELD(wire, off, stride, count, expr)                                              \
  FieldRow {                                                                               \
#expr, off, stride, count, Wire::wire,                                                   \
        []([[maybe_unused]] int k) { return sizeof(std::declval<ParamBlock&>().expr); }(0),  \
        []([[maybe_unused]] int k) {                                                         \
          return std::is_signed_v<                                                           \
              std::remove_cvref_t<decltype(std::declval<ParamBlock&>().expr)>>;              \
        }(0),                                                                                \
        [](const ParamBlock& p, [[maybe_unused]] int k) -> int64_t {                         \
          return static_cast<int64_t>(p.expr);                                               \
        },                                                                                   \
        [](ParamBlock& p, [[maybe_unused]] int k, int64_t v) {                               \
          p.expr = static_cast<std::remove_cvref_t<decltype(p.expr)>>(v);                    \
        } \
  }

const std::vector<FieldRow>& Rows() {
  static const std::vector<FieldRow> rows = {
      FIELD(I32, 0x000, 0, 1, OUTPUTRESO.RESOINDEX),
      FIELD(U16, 0x004, 0, 1, OUTPUTRESO.HRESO),
      FIELD(U16, 0x006, 0, 1, OUTPUTRESO.VRESO),
      FIELD(U16, 0x008, 0, 1, OUTPUTRESO.FPS),
      FIELD(U16, 0x00A, 0, 1, OUTPUTRESO.HTOTAL),
      FIELD(U16, 0x00C, 0, 1, OUTPUTRESO.VTOTAL),
      FIELD(U16, 0x00E, 0, 1, OUTPUTRESO.HSYNC),
      FIELD(U16, 0x010, 0, 1, OUTPUTRESO.VSYNC),
      FIELD(U16, 0x012, 0, 1, OUTPUTRESO.HBP),
      FIELD(U16, 0x014, 0, 1, OUTPUTRESO.VBP),
      FIELD(U8, 0x016, 0, 1, OUTPUTRESO.HPOL),
      FIELD(U8, 0x017, 0, 1, OUTPUTRESO.VPOL),
      FIELD(I32, 0x018, 0, 1, PICCOMMSETT.PICMODE),
      FIELD(I32, 0x01C, 0, 1, PICCOMMSETT.BRIGHTLEVEL),
      // GAMMA (f32 at 0x020) is checked on its own below.
      FIELD(I32, 0x024, 0, 1, MOSAICSETT.MOSAICMODE),
      FIELD(I32, 0x028, 0, 1, MOSAICSETT.MOSAIC_OPT),
      FIELD(I32, 0x02C, 0, 1, MOSAICSETT.MOSAICAUTOARR),
      FIELD(I32, 0x030, 4, 4, MOSAICSETT.HPOS[k]),
      FIELD(I32, 0x040, 4, 4, MOSAICSETT.VPOS[k]),
      FIELD(I32, 0x050, 4, 4, MOSAICSETT.HACT[k]),
      FIELD(I32, 0x060, 4, 4, MOSAICSETT.VACT[k]),
      FIELD(I32, 0x070, 4, 4, MOSAICSETT.HTOTAL[k]),
      FIELD(I32, 0x080, 4, 4, MOSAICSETT.VTOTAL[k]),
      FIELD(U8, 0x090, 24, 4, CHNLDATA[k].CHNLONOFF),
      FIELD(U8, 0x091, 24, 4, CHNLDATA[k].CHNLALPHA),
      FIELD(U8, 0x092, 24, 4, CHNLDATA[k].CHNLINPUT),
      FIELD(I32, 0x094, 24, 4, CHNLDATA[k].HPOS),
      FIELD(I32, 0x098, 24, 4, CHNLDATA[k].VPOS),
      FIELD(I32, 0x09C, 24, 4, CHNLDATA[k].HACT),
      FIELD(I32, 0x0A0, 24, 4, CHNLDATA[k].VACT),
      FIELD(I32, 0x0A4, 24, 4, CHNLDATA[k].CHNLROTATION),
      FIELD(I32, 0x0F0, 4, 8, INPUTINFO.INPUTSRC[k]),
      FIELD(U8, 0x110, 1, 8, INPUTINFO.INPUTSTATE[k]),
      FIELD(U8, 0x118, 10, 8, INPUTINFO.INPUTRESO[k].INPUTRESOIDX),
      FIELD(U16, 0x11A, 10, 8, INPUTINFO.INPUTRESO[k].INPUTRESOHACT),
      FIELD(U16, 0x11C, 10, 8, INPUTINFO.INPUTRESO[k].INPUTRESOVACT),
      FIELD(U16, 0x11E, 10, 8, INPUTINFO.INPUTRESO[k].INPUTRESOFPS),
      FIELD(U8, 0x120, 10, 8, INPUTINFO.INPUTRESO[k].INPUTRESOILE),
      FIELD(U8, 0x168, 20, 48, PICSET[k].BRIGHTNESS),
      FIELD(U8, 0x169, 20, 48, PICSET[k].CONTRAST),
      FIELD(U8, 0x16A, 20, 48, PICSET[k].SHARPNESS),
      FIELD(U8, 0x16B, 20, 48, PICSET[k].SATURATION),
      FIELD(U8, 0x16C, 20, 48, PICSET[k].HUE),
      FIELD(I32, 0x170, 20, 48, PICSET[k].COLORTEMP),
      FIELD(U8, 0x174, 20, 48, PICSET[k].COLORRED),
      FIELD(U8, 0x175, 20, 48, PICSET[k].COLORGREEN),
      FIELD(U8, 0x176, 20, 48, PICSET[k].COLORBLUE),
      FIELD(U8, 0x178, 20, 48, PICSET[k].OPTION),
      FIELD(U8, 0x528, 14, 48, CROP[k].CROPONOFF),
      FIELD(U16, 0x52A, 14, 48, CROP[k].HPOS),
      FIELD(U16, 0x52C, 14, 48, CROP[k].VPOS),
      FIELD(U16, 0x52E, 14, 48, CROP[k].HACT),
      FIELD(U16, 0x530, 14, 48, CROP[k].VACT),
      FIELD(U16, 0x532, 14, 48, CROP[k].HTOTAL),
      FIELD(U16, 0x534, 14, 48, CROP[k].VTOTAL),
      FIELD(U8, 0x7C8, 1, 4, DPMDE[k]),
      FIELD(U8, 0x7CC, 12, 7, EDIDINFO[k].INPUTSRC),
      FIELD(U16, 0x7CE, 12, 7, EDIDINFO[k].HACT),
      FIELD(U16, 0x7D0, 12, 7, EDIDINFO[k].VACT),
      FIELD(U16, 0x7D2, 12, 7, EDIDINFO[k].FPS),
      FIELD(U16, 0x7D4, 12, 7, EDIDINFO[k].HBLANK),
      FIELD(U16, 0x7D6, 12, 7, EDIDINFO[k].VBLANK),
      FIELD(U8, 0x820, 0, 1, TASKEINFO.TASKSTATUS),
      FIELD(U8, 0x824, 12, 10, TASKEINFO.TASK[k].YEAR),
      FIELD(U8, 0x825, 12, 10, TASKEINFO.TASK[k].MONTH),
      FIELD(U8, 0x826, 12, 10, TASKEINFO.TASK[k].DAY),
      FIELD(U8, 0x827, 12, 10, TASKEINFO.TASK[k].HOUR),
      FIELD(U8, 0x828, 12, 10, TASKEINFO.TASK[k].MIN),
      FIELD(U8, 0x829, 12, 10, TASKEINFO.TASK[k].SEC),
      FIELD(U8, 0x82A, 12, 10, TASKEINFO.TASK[k].PRESETID),
      FIELD(I32, 0x82C, 12, 10, TASKEINFO.TASK[k].OPTION),
      FIELD(U8, 0x89C, 0, 1, LOGOINFO.LOGOUSAGE),
      FIELD(U8, 0x89D, 0, 1, LOGOINFO.LOGOCURID),
      FIELD(U8, 0x89E, 0, 1, LOGOINFO.LOGOONOFF),
      FIELD(U8, 0x89F, 0, 1, LOGOINFO.LOGOPOS),
      FIELD(U8, 0x8A0, 0, 1, LOGOINFO.LOGO_OPT),
      FIELD(U16, 0x8A2, 2, 4, LOGOINFO.HPOS[k]),
      FIELD(U16, 0x8AA, 2, 4, LOGOINFO.VPOS[k]),
      FIELD(U16, 0x8B2, 2, 4, LOGOINFO.HACT[k]),
      FIELD(U16, 0x8BA, 2, 4, LOGOINFO.VACT[k]),
      FIELD(U8, 0x8C2, 1, 4, LOGOINFO.LOGOVALID[k]),
      FIELD(U8, 0x8C8, 0, 1, PVWMODEINFO.PVWMODE),
      FIELD(I32, 0x8CC, 0, 1, PVWMODEINFO.PVWDTIME),
      FIELD(U8, 0x8D0, 1, 4, PVWMODEINFO.PGMSTATE[k]),
      FIELD(U8, 0x8D4, 1, 4, PVWMODEINFO.PVWSTATE[k]),
      FIELD(U8, 0x8D8, 20, 2, KEYERINFO.KEYER[k].KEYERCHNL),
      FIELD(U8, 0x8D9, 20, 2, KEYERINFO.KEYER[k].KEYERONOFF),
      FIELD(I32, 0x8DC, 20, 2, KEYERINFO.KEYER[k].KEYERMODE),
      FIELD(U8, 0x8E0, 20, 2, KEYERINFO.KEYER[k].KEYERREDL),
      FIELD(U8, 0x8E1, 20, 2, KEYERINFO.KEYER[k].KEYERREDH),
      FIELD(U8, 0x8E2, 20, 2, KEYERINFO.KEYER[k].KEYERGREENL),
      FIELD(U8, 0x8E3, 20, 2, KEYERINFO.KEYER[k].KEYERGREENH),
      FIELD(U8, 0x8E4, 20, 2, KEYERINFO.KEYER[k].KEYERBLUEL),
      FIELD(U8, 0x8E5, 20, 2, KEYERINFO.KEYER[k].KEYERBLUEH),
      FIELD(U8, 0x8E6, 20, 2, KEYERINFO.KEYER[k].KEYERGAININ),
      FIELD(U8, 0x8E7, 20, 2, KEYERINFO.KEYER[k].KEYERGAINOUT),
      FIELD(U8, 0x8E8, 20, 2, KEYERINFO.KEYER[k].KEYERGAINBND),
      FIELD(U8, 0x900, 0, 1, LOOPINFO.LOOPOUTIP),
      FIELD(U8, 0x901, 0, 1, FREEZE_STATE),
      FIELD(I32, 0x904, 0, 1, MACHINESYNCMODE.SYNCLOCKMODE),
      FIELD(I32, 0x908, 0, 1, MACHINESYNCMODE.SYNCMODE),
      FIELD(U8, 0x90C, 0, 1, COMPOSITEBOARD.CMPBOARDEXIST),
      FIELD(I32, 0x910, 4, 3, COMPOSITEBOARD.CMPBOARDIPSRC[k]),
      FIELD(I32, 0x91C, 0, 1, COMPOSITEBOARD.CMPBOARDACTNOSRC),
      FIELD(U8, 0x920, 0, 1, COMPOSITEBOARD.CMPBOARDACTSIGNAL),
      FIELD(U16, 0x922, 0, 1, COMPOSITEBOARD.CMPBOARDACTHACT),
      FIELD(U16, 0x926, 0, 1, COMPOSITEBOARD.CMPBOARDACTVACT),
      FIELD(U16, 0x92A, 0, 1, COMPOSITEBOARD.CMPBOARDACTFPS),
      FIELD(U8, 0x92E, 0, 1, COMPOSITEBOARD.CMPBOARDACTINTERLACE),
      FIELD(U8, 0x930, 0, 1, COMPOSITEBOARD.CMPBOARDACTDUAL),
      FIELD(I32, 0x934, 0, 1, COMPOSITEBOARD.CMPBOARDMODE),
  };
  return rows;
}
#undef FIELD

using Image = std::vector<uint8_t>;

// A raw image whose every byte differs from its neighbours, so that a field
// read one byte off its place yields a different value.
Image PatternImage() {
  Image raw(kParamBlockSize);
  for (std::size_t n = 0; n < raw.size(); ++n) raw[n] = static_cast<uint8_t>(n * 37 + 11);
  return raw;
}

// Little-endian value of `width` bytes at `at`, sign-extended for signed fields.
int64_t LittleEndian(const Image& raw, std::size_t at, std::size_t width, bool isSigned) {
  uint64_t v = 0;
  for (std::size_t b = 0; b < width; ++b) v |= uint64_t{raw[at + b]} << (8 * b);
  if (isSigned && width < 8 && (v >> (8 * width - 1)) != 0) v |= ~uint64_t{0} << (8 * width);
  return static_cast<int64_t>(v);
}

std::unique_ptr<ParamBlock> BlockFrom(const Image& raw) {
  auto block = std::make_unique<ParamBlock>();
  std::memcpy(block.get(), raw.data(), kParamBlockSize);
  return block;
}

Image ImageOf(const ParamBlock& block) {
  Image raw(kParamBlockSize);
  std::memcpy(raw.data(), &block, kParamBlockSize);
  return raw;
}

TEST(ParamBlockLayout, DeclaredTypesHaveTheWireWidthAndSignedness) {
  for (const auto& row : Rows()) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(row.declaredWidth, WidthOf(row.wire));
    EXPECT_EQ(row.declaredSigned, row.wire == Wire::I32);
  }
}

TEST(ParamBlockLayout, EveryFieldReadsTheBytesAtItsOffset) {
  const Image raw = PatternImage();
  const auto block = BlockFrom(raw);
  for (const auto& row : Rows()) {
    for (int e = 0; e < row.count; ++e) {
      SCOPED_TRACE(::testing::Message() << row.name << " element " << e);
      const std::size_t at = row.offset + e * row.stride;
      EXPECT_EQ(row.read(*block, e),
                LittleEndian(raw, at, WidthOf(row.wire), row.wire == Wire::I32));
    }
  }
}

TEST(ParamBlockLayout, EveryFieldWritesOnlyTheBytesAtItsOffset) {
  // Values whose bytes are all nonzero and distinct; the i32 one is negative.
  const std::vector<uint8_t> bytes8 = {0xA7};
  const std::vector<uint8_t> bytes16 = {0x34, 0xB2};
  const std::vector<uint8_t> bytes32 = {0x78, 0x56, 0x34, 0x92};
  for (const auto& row : Rows()) {
    const auto& bytes = row.wire == Wire::U8 ? bytes8 : (row.wire == Wire::U16 ? bytes16 : bytes32);
    const int64_t value = row.wire == Wire::U8    ? 0xA7
                          : row.wire == Wire::U16 ? 0xB234
                                                  : int64_t{-1842063752};  // 0x92345678
    for (int e = 0; e < row.count; ++e) {
      SCOPED_TRACE(::testing::Message() << row.name << " element " << e);
      auto block = std::make_unique<ParamBlock>();
      row.write(*block, e, value);
      const Image raw = ImageOf(*block);
      const std::size_t at = row.offset + e * row.stride;
      for (std::size_t n = 0; n < raw.size(); ++n) {
        const bool inside = n >= at && n < at + bytes.size();
        const uint8_t expected = inside ? bytes[n - at] : 0;
        if (raw[n] != expected) {
          ADD_FAILURE() << "byte 0x" << std::hex << n << " is 0x" << int{raw[n]} << ", expected 0x"
                        << int{expected};
          break;
        }
      }
    }
  }
}

TEST(ParamBlockLayout, FieldsDoNotOverlapAndLeaveExactlyTheGaps) {
  std::vector<int> owners(kParamBlockSize, 0);
  auto cover = [&](std::size_t at, std::size_t width) {
    for (std::size_t b = 0; b < width; ++b) ++owners.at(at + b);
  };
  cover(0x020, 4);  // GAMMA
  for (const auto& row : Rows()) {
    for (int e = 0; e < row.count; ++e) cover(row.offset + e * row.stride, WidthOf(row.wire));
  }
  int covered = 0;
  for (std::size_t n = 0; n < owners.size(); ++n) {
    EXPECT_LE(owners[n], 1) << "byte 0x" << std::hex << n << " belongs to two fields";
    covered += owners[n] != 0 ? 1 : 0;
  }
  // Gap bytes: 4 (layers) + 16 (input timings) + 336 (picture) + 48 (crop) + 7 (EDID)
  // + 13 (tasks) + 3 (logo) + 3 (preview mode) + 10 (keyers) + 2 (after freeze)
  // + 14 (board) = 456 of 2360.
  EXPECT_EQ(covered, 2360 - 456);
  // A few gap bytes named by the layout.
  for (std::size_t gap : {0x093u, 0x119u, 0x821u, 0x8A1u, 0x8C6u, 0x8C7u, 0x902u, 0x903u}) {
    EXPECT_EQ(owners[gap], 0) << std::hex << gap;
  }
}

TEST(ParamBlockLayout, GammaIsALittleEndianFloatAt0x020) {
  Image raw(kParamBlockSize, 0);
  raw[0x020] = 0x00;
  raw[0x021] = 0x00;
  raw[0x022] = 0x20;
  raw[0x023] = 0x40;  // 2.5f
  EXPECT_EQ(BlockFrom(raw)->PICCOMMSETT.GAMMA, 2.5f);

  auto block = std::make_unique<ParamBlock>();
  block->PICCOMMSETT.GAMMA = -1.0f;
  const Image out = ImageOf(*block);
  EXPECT_EQ(out[0x020], 0x00);
  EXPECT_EQ(out[0x021], 0x00);
  EXPECT_EQ(out[0x022], 0x80);
  EXPECT_EQ(out[0x023], 0xBF);
  EXPECT_EQ(out[0x01F], 0x00);
  EXPECT_EQ(out[0x024], 0x00);
}

TEST(ParamBlockLayout, ImageRoundTripsByteForByte) {
  const Image raw = PatternImage();
  EXPECT_EQ(ImageOf(*BlockFrom(raw)), raw);
}

TEST(ParamBlockLayout, FreshRecordStartsWithAnAllZeroImage) {
  auto state = std::make_unique<DeviceState>();
  EXPECT_EQ(ImageOf(state->block), Image(kParamBlockSize, 0));
  EXPECT_EQ(reinterpret_cast<const uint8_t*>(&state->block),
            reinterpret_cast<const uint8_t*>(state.get()))
      << "the image opens the record";
}

TEST(ParamBlockLayout, GroupLayerIndexMatchesTheTableOffsets) {
  // PICSET element (g, i) at 0x168 + 20 (4g + i), CROP at 0x528 + 14 (4g + i).
  auto block = std::make_unique<ParamBlock>();
  const auto base = reinterpret_cast<const uint8_t*>(block.get());
  EXPECT_EQ(reinterpret_cast<const uint8_t*>(&block->PICSET[GroupLayerIndex(10, 3)]) - base,
            0x168 + 20 * 43);
  EXPECT_EQ(reinterpret_cast<const uint8_t*>(&block->CROP[GroupLayerIndex(8, 1)]) - base,
            0x528 + 14 * 33);
}

}  // namespace
}  // namespace orv
