// The composed preview picture: a layer's crop picks what fills its window,
// and its chroma keyer lets what is below show through.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "PreviewPicture.h"

namespace orv::sim {
namespace {

constexpr int kWidth = 320, kHeight = 180;  // each quadrant 160 x 90, the source's own size

ParamBlock BlankImage(uint8_t previewMode) {
  ParamBlock image{};
  image.OUTPUTRESO.HRESO = 1920;
  image.OUTPUTRESO.VRESO = 1080;
  image.PVWMODEINFO.PVWMODE = previewMode;
  return image;
}

void ShowLayer(ParamBlock& image, int layer, uint8_t input, int32_t x, int32_t y, int32_t w,
               int32_t h) {
  image.CHNLDATA[layer] = {1, 64, input, 0, x, y, w, h, 0};  // opaque
}

YuvImage Compose(const ParamBlock& image) {
  YuvImage picture;
  picture.Resize(kWidth, kHeight);
  ComposePreview(image, 0, picture);
  return picture;
}

uint8_t LumaAt(const YuvImage& p, int x, int y) {
  return p.y[static_cast<std::size_t>(y) * p.width + x];
}

struct CropCase {
  const char* name;
  Crop crop;
  int left, top, width, height;  // the kept part in source pixels
};

TEST(PreviewPicture, CroppedLayerShowsOnlyTheKeptPartOfItsSource) {
  // Layer 1 alone fills quadrant 1 at the source's own scale, so the uncropped
  // picture is the source itself.
  ParamBlock image = BlankImage(0);
  ShowLayer(image, 1, 2, 0, 0, 1920, 1080);
  const YuvImage source = Compose(image);
  const auto sourceLuma = [&](int x, int y) { return LumaAt(source, 160 + x, y); };

  const std::vector<CropCase> cases{
      {"lower half, clock and bar", {1, 0, 0, 540, 1920, 540, 1920, 1080}, 0, 45, 160, 45},
      {"lower right quarter", {1, 0, 960, 540, 960, 540, 1920, 1080}, 80, 45, 80, 45},
      {"switched off", {0, 0, 0, 540, 1920, 540, 1920, 1080}, 0, 0, 160, 90},
      {"no source width", {1, 0, 0, 540, 1920, 540, 0, 1080}, 0, 0, 160, 90},
      {"no kept height", {1, 0, 0, 540, 1920, 0, 1920, 1080}, 0, 0, 160, 90},
      {"overruns the right edge", {1, 0, 960, 0, 5000, 1080, 1920, 1080}, 80, 0, 80, 90},
      {"wholly right of the source", {1, 0, 3000, 0, 100, 1080, 1920, 1080}, 159, 0, 1, 90},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ParamBlock cropped = image;
    cropped.CROP[GroupLayerIndex(2, 1)] = c.crop;
    const YuvImage picture = Compose(cropped);
    int wrong = 0, differsFromSource = 0;
    for (int y = 0; y < 90; ++y) {
      for (int x = 0; x < 160; ++x) {
        const uint8_t shown = LumaAt(picture, 160 + x, y);
        wrong += shown != sourceLuma(c.left + x * c.width / 160, c.top + y * c.height / 90);
        differsFromSource += shown != sourceLuma(x, y);
      }
    }
    EXPECT_EQ(wrong, 0);
    const bool whole = c.width == 160 && c.height == 90;
    EXPECT_EQ(differsFromSource == 0, whole) << differsFromSource << " pixels changed";
  }
}

uint8_t LumaOf(Rgb c) {
  return static_cast<uint8_t>(std::lround(16 + 0.257 * c.r + 0.504 * c.g + 0.098 * c.b));
}

Keyer KeyerHolding(Rgb c) {
  Keyer k{};
  k.KEYERONOFF = 1;
  k.KEYERREDL = c.r - 1, k.KEYERREDH = c.r + 1;
  k.KEYERGREENL = c.g - 1, k.KEYERGREENH = c.g + 1;
  k.KEYERBLUEL = c.b - 1, k.KEYERBLUEH = c.b + 1;
  return k;
}

enum class Shows { Top, Below, Black };

struct KeyerCase {
  const char* name;
  Keyer keyerOfLayer3, keyerOfLayer1;
  Shows centre, outside;  // inside layer 3's window, and in layer 1 only
};

TEST(PreviewPicture, KeyerMakesItsLayersColourTransparent) {
  // Program mode, all layers on preview: layer 1 fills quadrant 0, layer 3 sits in its middle.
  ParamBlock image = BlankImage(1);
  ShowLayer(image, 1, 2, 0, 0, 1920, 1080);
  ShowLayer(image, 3, 5, 480, 270, 960, 540);
  const Rgb top = InputColour(5), below = InputColour(2);
  Keyer missesTopByOneBlue = KeyerHolding(top);
  missesTopByOneBlue.KEYERBLUEL = top.b + 1;
  Keyer holdsTopButOff = KeyerHolding(top);
  holdsTopButOff.KEYERONOFF = 0;

  const std::vector<KeyerCase> cases{
      {"no keyer", {}, {}, Shows::Top, Shows::Below},
      {"keyer on the top layer's colour", KeyerHolding(top), {}, Shows::Below, Shows::Below},
      {"keyer switched off", holdsTopButOff, {}, Shows::Top, Shows::Below},
      {"range misses by one", missesTopByOneBlue, {}, Shows::Top, Shows::Below},
      {"keyer on the lower layer", {}, KeyerHolding(below), Shows::Top, Shows::Black},
      {"both keyed", KeyerHolding(top), KeyerHolding(below), Shows::Black, Shows::Black},
  };
  const auto lumaOf = [&](Shows s) {
    return s == Shows::Top ? LumaOf(top) : s == Shows::Below ? LumaOf(below) : uint8_t{16};
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ParamBlock keyed = image;
    keyed.KEYERINFO.KEYER[0] = c.keyerOfLayer3;
    keyed.KEYERINFO.KEYER[1] = c.keyerOfLayer1;
    const YuvImage picture = Compose(keyed);
    EXPECT_NEAR(LumaAt(picture, 80, 45), lumaOf(c.centre), 1);
    EXPECT_NEAR(LumaAt(picture, 150, 40), lumaOf(c.outside), 1);
  }
}

}  // namespace
}  // namespace orv::sim
