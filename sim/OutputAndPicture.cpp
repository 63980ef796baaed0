#include "OutputAndPicture.h"

#include <algorithm>
#include <set>
#include <utility>

namespace orv::sim {

namespace {

constexpr int kCustomIndex = 18;
constexpr uint8_t kUserColorTemp = 8;
constexpr uint8_t kNeutralGain = 128;

uint16_t U16(const std::array<uint8_t, 32>& b, int at) {
  return static_cast<uint16_t>(b[at] | (b[at + 1] << 8));
}

void FitAxis(int32_t& pos, int32_t& extent, int size) {
  extent = std::clamp<int32_t>(extent, 1, size);
  pos = std::clamp<int32_t>(pos, 0, size - extent);
}

void ResetRecord(PicSet& p) {
  p.BRIGHTNESS = 50;
  p.CONTRAST = 50;
  p.SATURATION = 50;
  p.SHARPNESS = 12;
  p.HUE = 50;
  p.COLORTEMP = kUserColorTemp;
  p.COLORRED = p.COLORGREEN = p.COLORBLUE = kNeutralGain;
}

}  // namespace

bool ApplyOutputTiming(ParamBlock& image, const std::array<uint8_t, 32>& b, uint8_t* reason) {
  auto refuse = [reason](uint8_t why) {
    if (reason != nullptr) *reason = why;
    return false;
  };
  OutputReso o{};
  o.RESOINDEX = b[0];
  o.HRESO = U16(b, 1);
  o.VRESO = U16(b, 3);
  o.FPS = U16(b, 5);
  o.HTOTAL = U16(b, 7);
  o.HSYNC = U16(b, 9);
  o.HBP = U16(b, 11);
  o.VTOTAL = U16(b, 13);
  o.VSYNC = U16(b, 15);
  o.VBP = U16(b, 17);
  o.HPOL = b[19] ? 1 : 0;
  o.VPOL = b[20] ? 1 : 0;
  if (o.RESOINDEX > kCustomIndex || o.HRESO == 0 || o.VRESO == 0 || o.FPS == 0)
    return refuse(kRefusedOutOfRange);
  if (o.RESOINDEX == kCustomIndex) {
    o.HTOTAL = static_cast<uint16_t>(std::max<int>(o.HTOTAL, o.HRESO + o.HSYNC + o.HBP));
    o.VTOTAL = static_cast<uint16_t>(std::max<int>(o.VTOTAL, o.VRESO + o.VSYNC + o.VBP));
    if (static_cast<int64_t>(o.HTOTAL) * o.VTOTAL * o.FPS / 100 > kOutputPixelClock)
      return refuse(kRefusedPixelBudget);
  }
  image.OUTPUTRESO = o;
  for (ChannelData& ch : image.CHNLDATA) {
    FitAxis(ch.HPOS, ch.HACT, o.HRESO);
    FitAxis(ch.VPOS, ch.VACT, o.VRESO);
  }
  return true;
}

std::string ApplyOutputSize(ParamBlock& image, const std::array<ResoEntry, 19>& table, int width,
                            int height) {
  const uint16_t currentFps = image.OUTPUTRESO.FPS;
  int chosen = -1;
  for (const uint16_t wantedFps : {currentFps, uint16_t{6000}, uint16_t{0}}) {
    for (int i = 0; i < kCustomIndex && chosen < 0; ++i) {
      const ResoEntry& e = table[static_cast<std::size_t>(i)];
      if (e.width == width && e.height == height && (wantedFps == 0 || e.refresh == wantedFps))
        chosen = i;
    }
  }
  if (chosen < 0) {
    std::set<std::pair<int, int>> sizes;
    for (int i = 0; i < kCustomIndex; ++i) sizes.insert({table[i].width, table[i].height});
    std::string text = "no resolution of " + std::to_string(width) + " x " +
                       std::to_string(height) + " in the table; sizes:";
    for (const auto& [w, h] : sizes) text += " " + std::to_string(w) + "x" + std::to_string(h);
    return text;
  }
  const ResoEntry& e = table[static_cast<std::size_t>(chosen)];
  const OutputReso& o = image.OUTPUTRESO;
  std::array<uint8_t, 32> b{};
  auto put16 = [&b](int at, int value) {
    b[at] = static_cast<uint8_t>(value & 0xFF);
    b[at + 1] = static_cast<uint8_t>((value >> 8) & 0xFF);
  };
  b[0] = static_cast<uint8_t>(chosen);
  put16(1, e.width);
  put16(3, e.height);
  put16(5, e.refresh);
  put16(7, o.HTOTAL);
  put16(9, o.HSYNC);
  put16(11, o.HBP);
  put16(13, o.VTOTAL);
  put16(15, o.VSYNC);
  put16(17, o.VBP);
  b[19] = o.HPOL;
  b[20] = o.VPOL;
  ApplyOutputTiming(image, b);
  return {};
}

void ApplyPictureCommand(ParamBlock& image, const std::array<uint8_t, 32>& b, int layer,
                         int group) {
  if (b[0] == 0) {
    for (PicSet& p : image.PICSET) ResetRecord(p);
  }
  PicCommSett& common = image.PICCOMMSETT;
  common.PICMODE = b[1];
  common.BRIGHTLEVEL = b[2];
  common.GAMMA = static_cast<float>(b[3]) / 10.0f;
  const bool all = b[5] == 1;
  for (int g = all ? 0 : group; g <= (all ? kInputGroups - 1 : group); ++g) {
    PicSet& p = image.PICSET[GroupLayerIndex(g, layer)];
    p.BRIGHTNESS = b[6];
    p.CONTRAST = b[7];
    p.SATURATION = b[8];
    p.HUE = b[9];
    p.SHARPNESS = b[10];
    if (g == group) p.COLORTEMP = b[11];
    p.COLORRED = b[12];
    p.COLORGREEN = b[13];
    p.COLORBLUE = b[14];
    if (b[15] == 1) {
      p.COLORTEMP = kUserColorTemp;
      p.COLORRED = p.COLORGREEN = p.COLORBLUE = kNeutralGain;
    }
  }
}

}  // namespace orv::sim
