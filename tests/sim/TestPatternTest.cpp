// The processor's test patterns, its pixel grab from the composed output,
// its program/preview switch with its event and the fade of a take.
#include <gtest/gtest.h>

#include "DeviceModel.h"
#include "FrameParser.h"
#include "PreviewPicture.h"
#include "TestPattern.h"
#include "WireFormat.h"

namespace orv::sim {
namespace {

bool Same(Rgb a, Rgb b) {
  return a.r == b.r && a.g == b.g && a.b == b.b;
}

TEST(TestPatterns, EachRangeIsOneRecognisableFamily) {
  struct Case {
    int pattern, x, y;
    int64_t ms;
    Rgb colour;
  };
  const Case cases[] = {
      {1, 5, 5, 0, {255, 255, 255}},      // solid white
      {2, 1919, 1079, 0, {255, 0, 0}},    // solid red, to the last pixel
      {8, 0, 0, 0, {0, 0, 0}},            // solid black
      {9, 0, 0, 0, {0, 0, 0}},            // first grey
      {24, 0, 0, 0, {255, 255, 255}},     // last grey
      {16, 0, 0, 0, {119, 119, 119}},     // grey step 7
      {26, 1919, 0, 0, {255, 0, 0}},      // red ramp across, right end
      {29, 0, 1079, 0, {255, 255, 255}},  // white ramp down, bottom
      {33, 0, 0, 0, {255, 255, 255}},     // full bars: white first
      {33, 1919, 0, 0, {0, 0, 0}},        // black last
      {40, 300, 0, 0, {76, 76, 0}},       // 30 % bars: yellow
      {41, 32, 7, 0, {255, 255, 255}},    // grid every 16: a line
      {41, 33, 7, 0, {0, 0, 0}},          // beside it
      {57, 0, 0, 0, {255, 255, 255}},     // checkerboard of 16
      {57, 16, 0, 0, {0, 0, 0}},
      {73, 0, 8, 0, {0, 0, 0}},            // stripes of 8
      {89, 1, 500, 0, {255, 255, 255}},    // border of 2
      {89, 960, 500, 0, {255, 255, 255}},  // centre cross
      {89, 500, 300, 0, {0, 0, 0}},
      {101, 0, 0, 0, {255, 255, 255}},  // the bar starts at the left
      {101, 0, 0, 1000, {0, 0, 0}},     // a second later it is 100 pixels on
      {101, 100, 0, 1000, {255, 255, 255}},
      {111, 0, 0, 0, {255, 255, 255}},
      {112, 0, 0, 0, {0, 0, 0}},  // no pattern
  };
  for (const Case& c : cases) {
    const Rgb got = TestPatternColour(c.pattern, c.x, c.y, 1920, 1080, c.ms);
    EXPECT_TRUE(Same(got, c.colour))
        << "pattern " << c.pattern << " at " << c.x << "," << c.y << ": " << int{got.r} << " "
        << int{got.g} << " " << int{got.b};
  }
  EXPECT_EQ(FadeMilliseconds(5), 1000);
  EXPECT_EQ(FadeMilliseconds(8), 0);
}

TEST(TestPatterns, PatternFillsTheOutputQuadrantsOfThePreview) {
  ParamBlock image{};
  image.OUTPUTRESO.HRESO = 1920;
  image.OUTPUTRESO.VRESO = 1080;
  image.PVWMODEINFO.PVWMODE = 1;
  YuvImage picture;
  picture.Resize(320, 180);
  ComposePreview(image, 0, picture, 4);  // solid blue
  const auto luma = [&](int x, int y) { return picture.y[static_cast<std::size_t>(y) * 320 + x]; };
  EXPECT_EQ(luma(240, 45), 41);  // program quadrant: blue (16 + 0.098 x 255)
  EXPECT_EQ(luma(80, 45), 16);   // preview quadrant: nothing on
}

class PatternProcessor : public ::testing::Test {
 protected:
  // The replies to one command as (data type, payload).
  std::vector<std::pair<uint16_t, std::vector<uint8_t>>> Send(uint16_t type,
                                                              std::vector<uint8_t> bytes) {
    Frames out;
    wire::FrameParser parser;
    parser.Feed(wire::EncodeFrame(model.address(), wire::FrameKind::Command, type, bytes),
                [&](const wire::FrameView& f) { model.Handle(f, false, out); });
    std::vector<std::pair<uint16_t, std::vector<uint8_t>>> replies;
    for (const auto& frame : out) {
      wire::FrameParser p;
      p.Feed(frame, [&](const wire::FrameView& v) {
        replies.emplace_back(v.type, std::vector<uint8_t>(v.payload.begin(), v.payload.end()));
      });
    }
    return replies;
  }
  DeviceModel model{{127, 0, 0, 9}, {0x02, 0x51, 0x20, 0, 0, 9}};
};

TEST_F(PatternProcessor, GrabReadsThePatternOrTheLayerUnderThePixel) {
  ParamBlock& p = model.image();
  p.OUTPUTRESO.HRESO = 1920;
  p.OUTPUTRESO.VRESO = 1080;
  p.PVWMODEINFO.PVWMODE = 0;
  for (auto& ch : p.CHNLDATA) ch.CHNLONOFF = 0;
  p.CHNLDATA[0] = {1, 0, 2, 0, 0, 0, 1920, 1080, 0};  // input 3 fills the output
  p.CROP[GroupLayerIndex(InputGroupOfLayer(p, 0), 0)].CROPONOFF = 0;
  const auto grab = [&](uint16_t x, uint16_t y) {
    const auto replies = Send(13, {1, uint8_t(x), uint8_t(x >> 8), uint8_t(y), uint8_t(y >> 8)});
    EXPECT_EQ(replies.size(), 2u);
    const auto& d = replies.back().second;
    EXPECT_EQ(replies.back().first, 3);
    return Rgb{d[0], d[2], d[4]};  // red low half, green high half, blue the u16
  };
  EXPECT_TRUE(Same(grab(960, 500), InputColour(2)));
  EXPECT_EQ(Send(12, {2}).size(), 1u);
  EXPECT_TRUE(Same(grab(960, 500), Rgb{255, 0, 0}));
  EXPECT_TRUE(Same(grab(0xFFFF, 0xFFFF), Rgb{255, 0, 0}));  // outside: the nearest pixel
  EXPECT_EQ(Send(12, {112})[0].second[2], 1);               // no such pattern: refused
  EXPECT_EQ(model.testPattern(), 2);
  EXPECT_EQ(Send(13, {0, 0, 0, 0, 0}).size(), 1u);  // grab off: acknowledged only
}

TEST_F(PatternProcessor, ModeSwitchEndsWithItsEventAndTakeWaitsForItsFade) {
  auto types = [](const auto& replies) {
    std::vector<uint16_t> t;
    for (const auto& r : replies) t.push_back(r.first);
    return t;
  };
  const auto on = Send(15, {1});
  EXPECT_EQ(types(on), (std::vector<uint16_t>{23, 20, 24}));
  EXPECT_EQ(on.back().second[0], 3);
  EXPECT_EQ(Send(15, {3})[0].second[2], 1);  // no such mode: refused
  EXPECT_EQ(model.image().PVWMODEINFO.PVWMODE, 1);

  Send(16, {6});
  const uint8_t before = model.image().PVWMODEINFO.PGMSTATE[0];
  EXPECT_EQ(types(Send(20, {0})), (std::vector<uint16_t>{23}));
  auto work = model.TakeDeferred();
  ASSERT_EQ(work.size(), 1u);
  EXPECT_EQ(work[0].ms, 2000);
  EXPECT_EQ(model.image().PVWMODEINFO.PGMSTATE[0], before);
  Frames later;
  work[0].finish(later);
  EXPECT_EQ(later.size(), 2u) << "the states (20), then the event that ends the wait";
  EXPECT_NE(model.image().PVWMODEINFO.PGMSTATE[0], before);
}

}  // namespace
}  // namespace orv::sim
