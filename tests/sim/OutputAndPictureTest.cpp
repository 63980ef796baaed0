// The processor's output timing and picture commands on its image, and the
// rotation and output raster of the composed preview.
#include <gtest/gtest.h>

#include <array>

#include "DeviceModel.h"
#include "DeviceState.h"
#include "OutputAndPicture.h"
#include "PreviewPicture.h"

namespace orv::sim {
namespace {

using Bytes = std::array<uint8_t, 32>;

Bytes Timing(int index, int w, int h, int fps, int ht, int vt) {
  Bytes b;
  b.fill(0x55);
  const int words[9] = {w, h, fps, ht, 44, 148, vt, 5, 36};
  b[0] = static_cast<uint8_t>(index);
  for (int i = 0; i < 9; ++i) {
    b[1 + 2 * i] = static_cast<uint8_t>(words[i]);
    b[2 + 2 * i] = static_cast<uint8_t>(words[i] >> 8);
  }
  b[19] = b[20] = 1;
  b[21] = 0;
  return b;
}

TEST(OutputAndPicture, TimingIsCheckedAndWindowsFollowTheRaster) {
  const struct {
    const char* name;
    Bytes command;
    bool applied;
    int htotal;
    uint8_t reason;
  } cases[] = {
      {"fixed 1080p60", Timing(10, 1920, 1080, 6000, 2200, 1125), true, 2200, 0},
      {"custom within the clock", Timing(18, 1920, 1080, 5994, 2200, 1125), true, 2200, 0},
      {"custom totals raised", Timing(18, 2000, 1000, 6000, 2000, 1100), true, 2192, 0},
      {"custom over the clock", Timing(18, 3840, 2160, 6000, 4000, 2200), false, 0, 1},
      // The totals of a 1080p60 timing, as the page sends them with its rows
      // hidden: VTOTAL raised to 2201 needs 290.5 million pixels a second.
      {"640 x 2160 at 60 Hz with the totals sent", Timing(18, 640, 2160, 6000, 2200, 1125), false,
       0, 1},
      {"index outside the table", Timing(19, 1920, 1080, 6000, 2200, 1125), false, 0, 2},
      {"no rate", Timing(18, 1920, 1080, 0, 2200, 1125), false, 0, 2},
      {"no width", Timing(5, 0, 1080, 6000, 2200, 1125), false, 0, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ParamBlock image{};
    image.CHNLDATA[1] = {1, 0, 0, 0, 1500, 900, 800, 400, 0};
    uint8_t reason = 0;
    EXPECT_EQ(ApplyOutputTiming(image, c.command, &reason), c.applied);
    EXPECT_EQ(reason, c.reason);
    EXPECT_EQ(image.OUTPUTRESO.HTOTAL, c.htotal);
    if (!c.applied) {
      EXPECT_EQ(image.CHNLDATA[1].HPOS, 1500);
      continue;
    }
    const ChannelData& w = image.CHNLDATA[1];
    EXPECT_LE(w.HPOS + w.HACT, image.OUTPUTRESO.HRESO);
    EXPECT_LE(w.VPOS + w.VACT, image.OUTPUTRESO.VRESO);
    EXPECT_EQ(w.HACT, 800);
  }
}

Bytes Picture(uint8_t reset0, uint8_t all, uint8_t brightness, uint8_t temp, uint8_t red,
              uint8_t reset15) {
  Bytes b;
  b.fill(0x55);
  const uint8_t head[16] = {reset0, 7,  17, 23,   1,   all, brightness, 50,
                            50,     50, 12, temp, red, 128, 128,        reset15};
  std::copy(std::begin(head), std::end(head), b.begin());
  return b;
}

// The control line "output W H": the table's entry of that size, at the
// current rate when there is one, else at 60 Hz; other sizes are refused.
TEST(OutputAndPicture, OutputSizeTakesTheTablesEntry) {
  const DeviceState tables;
  const struct {
    int width, height, currentFps;
    int index;  // -1: refused
    int fps;
  } cases[] = {
      {1280, 720, 6000, 4, 6000},   {1280, 720, 5994, 3, 5994},   {1920, 1080, 5000, 11, 5000},
      {1920, 1080, 6000, 10, 6000}, {1024, 768, 5000, 0, 6000},   {1536, 1536, 6000, 17, 6000},
      {1000, 700, 6000, -1, 6000},  {1920, 1081, 6000, -1, 6000},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
    ParamBlock image = StartImage();
    image.OUTPUTRESO.FPS = static_cast<uint16_t>(c.currentFps);
    image.CHNLDATA[1] = {1, 0, 0, 0, 1500, 900, 800, 400, 0};
    const std::string refused = ApplyOutputSize(image, tables.RESO_TABLE, c.width, c.height);
    if (c.index < 0) {
      EXPECT_NE(refused.find("sizes: 1024x768 1024x1280 1280x720"), std::string::npos) << refused;
      EXPECT_EQ(image.OUTPUTRESO.RESOINDEX, 10);
      EXPECT_EQ(image.OUTPUTRESO.HRESO, 1920);
      continue;
    }
    EXPECT_EQ(refused, "");
    EXPECT_EQ(image.OUTPUTRESO.RESOINDEX, c.index);
    EXPECT_EQ(image.OUTPUTRESO.HRESO, c.width);
    EXPECT_EQ(image.OUTPUTRESO.VRESO, c.height);
    EXPECT_EQ(image.OUTPUTRESO.FPS, c.fps);
    const ChannelData& w = image.CHNLDATA[1];
    EXPECT_LE(w.HPOS + w.HACT, c.width);
    EXPECT_LE(w.VPOS + w.VACT, c.height);
  }
}

TEST(OutputAndPicture, PictureGoesToOneGroupOrAllAndResets) {
  ParamBlock image{};
  ApplyPictureCommand(image, Picture(1, 0, 70, 2, 128, 0), 1, 3);
  EXPECT_EQ(image.PICSET[GroupLayerIndex(3, 1)].BRIGHTNESS, 70);
  EXPECT_EQ(image.PICSET[GroupLayerIndex(4, 1)].BRIGHTNESS, 0);
  EXPECT_FLOAT_EQ(image.PICCOMMSETT.GAMMA, 2.3f);

  ApplyPictureCommand(image, Picture(1, 1, 80, 5, 200, 0), 1, 3);
  for (int g = 0; g < kInputGroups; ++g) {
    EXPECT_EQ(image.PICSET[GroupLayerIndex(g, 1)].BRIGHTNESS, 80);
    EXPECT_EQ(image.PICSET[GroupLayerIndex(g, 1)].COLORRED, 200);
    EXPECT_EQ(image.PICSET[GroupLayerIndex(g, 1)].COLORTEMP, g == 3 ? 5 : 0);
  }
  EXPECT_EQ(image.PICSET[GroupLayerIndex(3, 2)].BRIGHTNESS, 0);  // another layer

  ApplyPictureCommand(image, Picture(1, 0, 80, 5, 200, 1), 1, 3);
  EXPECT_EQ(image.PICSET[GroupLayerIndex(3, 1)].COLORRED, 128);
  EXPECT_EQ(image.PICSET[GroupLayerIndex(3, 1)].COLORTEMP, 8);
  EXPECT_EQ(image.PICSET[GroupLayerIndex(4, 1)].COLORRED, 200);

  ApplyPictureCommand(image, Picture(0, 0, 50, 8, 128, 0), 1, 3);
  EXPECT_EQ(image.PICSET[GroupLayerIndex(4, 1)].BRIGHTNESS, 50);
  EXPECT_EQ(image.PICSET[GroupLayerIndex(11, 3)].SHARPNESS, 12);
  EXPECT_EQ(image.PICSET[GroupLayerIndex(11, 3)].COLORRED, 128);
}

// Layer 0 fills quadrant 0 (160 x 90 of a 320 x 180 picture) at the source's scale.
YuvImage Composed(int hreso, int vreso, int rotation) {
  ParamBlock image{};
  image.OUTPUTRESO.HRESO = static_cast<uint16_t>(hreso);
  image.OUTPUTRESO.VRESO = static_cast<uint16_t>(vreso);
  image.CHNLDATA[0] = {1, 0, 3, 0, 0, 0, 1920, 1080, rotation};
  YuvImage picture;
  picture.Resize(320, 180);
  ComposePreview(image, 0, picture);
  return picture;
}

uint8_t Luma(const YuvImage& p, int x, int y) {
  return p.y[static_cast<std::size_t>(y) * p.width + x];
}

TEST(OutputAndPicture, PreviewTurnsTheLayerAndFollowsTheOutputRaster) {
  const YuvImage plain = Composed(1920, 1080, 0);
  const YuvImage mirrored = Composed(1920, 1080, 3);
  const YuvImage turned = Composed(1920, 1080, 5);
  int mirrorWrong = 0, turnWrong = 0, differs = 0;
  for (int y = 0; y < 90; ++y) {
    for (int x = 0; x < 160; ++x) {
      mirrorWrong += Luma(mirrored, x, y) != Luma(plain, 159 - x, y);
      turnWrong += Luma(turned, x, y) != Luma(plain, 159 - x, 89 - y);
      differs += Luma(mirrored, x, y) != Luma(plain, x, y);
    }
  }
  EXPECT_EQ(mirrorWrong, 0);
  EXPECT_EQ(turnWrong, 0);
  EXPECT_GT(differs, 0);
  const YuvImage unknown = Composed(1920, 1080, 42);  // an unknown mode draws unturned
  EXPECT_EQ(unknown.y, plain.y);

  // The same 1920 x 1080 window on a 3840 x 2160 output fills a quarter of the quadrant.
  const YuvImage large = Composed(3840, 2160, 0);
  EXPECT_EQ(Luma(large, 100, 60), 16);
  EXPECT_NE(Luma(plain, 100, 60), 16);
  EXPECT_EQ(Luma(large, 20, 20), Luma(plain, 40, 40));
}

}  // namespace
}  // namespace orv::sim
