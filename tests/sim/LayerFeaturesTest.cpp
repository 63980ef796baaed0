// The processor's mosaic and logo: each SET_LOGO operation and SET_MOSAIC
// kind applied, the reports and device events that follow, and the composed
// preview showing PIP alpha and the logo.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "DeviceModel.h"
#include "FrameParser.h"
#include "PreviewPicture.h"
#include "WireFormat.h"

namespace orv::sim {
namespace {

class Features : public ::testing::Test {
 protected:
  // The reply types (and the event kind for data type 24) sent back for one command.
  std::vector<int> Send(uint16_t type, const std::vector<uint8_t>& bytes) {
    Frames out;
    wire::FrameParser parser;
    parser.Feed(wire::EncodeFrame(9, wire::FrameKind::Command, type, bytes),
                [&](const wire::FrameView& f) { model.Handle(f, false, out); });
    std::vector<int> answers;
    for (const auto& frame : out) {
      wire::FrameParser p;
      p.Feed(frame, [&](const wire::FrameView& v) {
        // Data type 24 is listed with its kind (24 00 kind), 23 with its status (23 00 status).
        const int detail = v.type == 23 ? v.payload[v.payload.size() - 2] : 0;
        answers.push_back(v.type * 100 + (v.type == 24 ? v.payload[v.payload.size() - 8] : detail));
      });
    }
    return answers;
  }
  // SET_LOGO: [0] op, [1] id, [2..9] x, y, w, h, [10] b, [11] usage, [12] on, [13] top, [14]
  // border.
  std::vector<int> Logo(uint8_t op, uint8_t id, uint16_t x, uint16_t y, uint16_t w, uint16_t h,
                        uint8_t b, uint8_t usage, uint8_t on) {
    std::vector<uint8_t> bytes{op,
                               id,
                               static_cast<uint8_t>(x),
                               static_cast<uint8_t>(x >> 8),
                               static_cast<uint8_t>(y),
                               static_cast<uint8_t>(y >> 8),
                               static_cast<uint8_t>(w),
                               static_cast<uint8_t>(w >> 8),
                               static_cast<uint8_t>(h),
                               static_cast<uint8_t>(h >> 8),
                               b,
                               usage,
                               on,
                               1,
                               1};
    return Send(9, bytes);
  }

  DeviceModel model{{127, 0, 0, 9}, {0x02, 0x51, 0x20, 0, 0, 9}};
};

TEST_F(Features, LogoOperationsApplyAndReport) {
  LogoInfo& logo = model.image().LOGOINFO;
  model.image().CHNLDATA[3].CHNLINPUT = 0;  // the DVI input with a signal
  const std::vector<int> applied{2300, 1500};
  const std::vector<int> appliedAndFree{2300, 1500, 2404};

  // Save into slot 1: the size kept, placed at the origin.
  EXPECT_EQ(Logo(2, 1, 700, 40, 320, 180, 0, 0, 0), appliedAndFree);
  EXPECT_EQ(logo.LOGOVALID[1], 1);
  EXPECT_EQ(logo.HACT[1], 320);
  EXPECT_EQ(logo.HPOS[1], 0);
  // Too small to save: refused, still answered so the host's wait ends.
  EXPECT_EQ(Logo(2, 1, 0, 0, 4, 180, 0, 0, 0), (std::vector<int>{2301, 1500, 2404}));
  EXPECT_EQ(logo.HACT[1], 320);
  // Editing rectangle drawn and removed.
  EXPECT_EQ(Logo(3, 1, 10, 20, 30, 40, 1, 0, 0), applied);
  EXPECT_TRUE(model.logoMark().drawn);
  EXPECT_EQ(model.logoMark().w, 30);
  Logo(3, 1, 0, 0, 0, 0, 0, 0, 0);
  EXPECT_FALSE(model.logoMark().drawn);
  // Logo usage, then loading slot 1 at a place that would leave the output.
  EXPECT_EQ(Logo(4, 1, 0, 0, 0, 0, 0, 1, 0), applied);
  EXPECT_EQ(logo.LOGOUSAGE, 1);
  EXPECT_EQ(Logo(1, 1, 1800, 100, 320, 180, 0, 1, 0), appliedAndFree);
  EXPECT_EQ(logo.LOGOCURID, 1);
  EXPECT_EQ(logo.HPOS[1], 1920 - 320);
  EXPECT_EQ(logo.VPOS[1], 100);
  EXPECT_EQ(Logo(5, 1, 0, 0, 0, 0, 0, 1, 1), appliedAndFree);
  EXPECT_EQ(logo.LOGOONOFF, 1);
  // Clearing the shown slot empties it and takes the logo off; loading it is refused.
  EXPECT_EQ(Logo(0, 1, 0, 0, 0, 0, 1, 1, 1), applied);
  EXPECT_EQ(logo.LOGOVALID[1], 0);
  EXPECT_EQ(logo.LOGOONOFF, 0);
  EXPECT_EQ(Logo(1, 1, 0, 0, 0, 0, 0, 1, 0), (std::vector<int>{2301, 1500, 2404}));
  EXPECT_EQ(Logo(5, 1, 0, 0, 0, 0, 0, 1, 1)[0], 2301);
  // A clear never marks a slot used; ids and operations outside the tables change nothing.
  EXPECT_EQ(Logo(0, 3, 10, 10, 64, 64, 3, 1, 0), applied);
  EXPECT_EQ(logo.LOGOVALID[3], 0);
  const LogoInfo before = logo;
  EXPECT_EQ(Logo(2, 4, 0, 0, 64, 64, 0, 0, 0)[0], 2301);
  EXPECT_EQ(Logo(9, 0, 0, 0, 64, 64, 0, 0, 0)[0], 2301);
  EXPECT_EQ(std::memcmp(&before, &logo, sizeof logo), 0);
}

TEST_F(Features, MosaicKindsAndTheEventThatEndsTheWait) {
  MosaicSett& m = model.image().MOSAICSETT;
  model.image().LOGOINFO.LOGOUSAGE = 1;
  std::vector<uint8_t> mode(30, 0);
  mode[1] = 5;  // "Panel x 4" leaves no layer for the logo
  EXPECT_EQ(Send(6, mode), (std::vector<int>{2300, 1200, 2411}));
  EXPECT_EQ(m.MOSAICMODE, 5);
  EXPECT_EQ(model.image().LOGOINFO.LOGOUSAGE, 0);
  std::vector<uint8_t> part(30, 0);
  part[0] = 1;
  part[1] = 5;
  part[2] = 6;
  EXPECT_EQ(Send(6, part), (std::vector<int>{2300, 1200, 2411}));
  EXPECT_EQ(m.MOSAICAUTOARR, 6);
  // A mode or part outside the tables is refused and changes nothing.
  part[2] = 8;
  EXPECT_EQ(Send(6, part), (std::vector<int>{2301}));
  mode[1] = 6;
  EXPECT_EQ(Send(6, mode), (std::vector<int>{2301}));
  EXPECT_EQ(m.MOSAICMODE, 5);
  EXPECT_EQ(m.MOSAICAUTOARR, 6);
}

TEST(PreviewFeatures, PipAlphaBlendsAndTheLogoShowsWherePlaced) {
  ParamBlock image{};
  image.OUTPUTRESO.HRESO = 1920;
  image.OUTPUTRESO.VRESO = 1080;
  image.CHNLDATA[0] = {1, 0, 0, 0, 0, 0, 1920, 1080, 0};  // the main layer ignores alpha
  YuvImage picture;
  picture.Resize(320, 180);
  const auto lumaAt = [&](int x, int y) { return int{picture.y[y * picture.width + x]}; };
  ComposePreview(image, 0, picture);
  const int mainLuma = lumaAt(40, 40);
  ASSERT_GT(mainLuma, 16);

  // Quadrant 3 holds layer 3 alone: the logo of slot 2 at (960, 540), 480 x 270.
  LogoInfo& logo = image.LOGOINFO;
  image.CHNLDATA[3] = {1, 64, 2, 0, 0, 0, 1920, 1080, 0};
  logo.LOGOUSAGE = 1;
  logo.LOGOCURID = 2;
  logo.LOGOVALID[2] = 1;
  logo.HPOS[2] = 960, logo.VPOS[2] = 540, logo.HACT[2] = 480, logo.VACT[2] = 270;
  ComposePreview(image, 0, picture);
  EXPECT_EQ(lumaAt(160 + 20, 90 + 20), 16) << "the logo is off";
  logo.LOGOONOFF = 1;
  ComposePreview(image, 0, picture);
  EXPECT_EQ(lumaAt(160 + 20, 90 + 20), 16) << "outside the logo";
  const int logoLuma = lumaAt(160 + 100, 90 + 55);
  EXPECT_GT(logoLuma, 16);

  // PIP alpha 32 of 64: half of the layer over the black below it.
  logo.LOGOUSAGE = 0;
  image.CHNLDATA[3] = {1, 32, 2, 0, 0, 0, 1920, 1080, 0};
  ComposePreview(image, 0, picture);
  const int half = lumaAt(160 + 100, 90 + 55);
  image.CHNLDATA[3].CHNLALPHA = 64;
  ComposePreview(image, 0, picture);
  EXPECT_NEAR(half, (lumaAt(160 + 100, 90 + 55) + 16) / 2, 1);
  image.CHNLDATA[3].CHNLALPHA = 0;
  ComposePreview(image, 0, picture);
  EXPECT_EQ(lumaAt(160 + 100, 90 + 55), 16);
}

}  // namespace
}  // namespace orv::sim
