#include "FieldRanges.h"

#include <algorithm>
#include <cmath>

namespace orv {

namespace {

template <class T>
void Clamp(T& field, FieldRange r) {
  field = static_cast<T>(std::clamp<int64_t>(field, r.min, r.max));
}

// A window, crop or logo rectangle: its start from 0, its size in `size`.
template <class T>
void ClampRect(T& x, T& y, T& w, T& h, FieldRange size) {
  Clamp(x, range::kStart);
  Clamp(y, range::kStart);
  Clamp(w, size);
  Clamp(h, size);
}

}  // namespace

void BringIntoRange(OutputReso& o) {
  Clamp(o.HRESO, range::kOutputWidth);
  Clamp(o.VRESO, range::kOutputHeight);
  Clamp(o.FPS, range::kOutputRate);
  Clamp(o.HTOTAL, range::kOutputHTotal);
  Clamp(o.VTOTAL, range::kOutputVTotal);
  Clamp(o.HSYNC, range::kOutputSync);
  Clamp(o.VSYNC, range::kOutputSync);
  Clamp(o.HBP, range::kOutputBackPorch);
  Clamp(o.VBP, range::kOutputBackPorch);
}

void BringIntoRange(PicCommSett& p) {
  Clamp(p.BRIGHTLEVEL, range::kBrightLevel);
  // Gamma is kept in tenths' units of a float: no number (NaN) means off.
  const float low = range::kGammaTenths.min / 10.0f;
  const float high = range::kGammaTenths.max / 10.0f;
  p.GAMMA = std::isnan(p.GAMMA) ? low : std::clamp(p.GAMMA, low, high);
}

void BringIntoRange(PicSet& p) {
  Clamp(p.BRIGHTNESS, range::kPictureAdjust);
  Clamp(p.CONTRAST, range::kPictureAdjust);
  Clamp(p.SATURATION, range::kPictureAdjust);
  Clamp(p.HUE, range::kPictureAdjust);
  Clamp(p.SHARPNESS, range::kSharpness);
}

void BringWindowIntoRange(ChannelData& ch) {
  ClampRect(ch.HPOS, ch.VPOS, ch.HACT, ch.VACT, range::kLayerSize);
}

void BringAlphaIntoRange(ChannelData& ch) {
  Clamp(ch.CHNLALPHA, range::kPipAlpha);
}

void BringIntoRange(Crop& c) {
  ClampRect(c.HPOS, c.VPOS, c.HACT, c.VACT, range::kCropSize);
}

void BringMosaicCellIntoRange(MosaicSett& m, int cell) {
  for (int32_t* values : {m.HPOS, m.VPOS, m.HACT, m.VACT, m.HTOTAL, m.VTOTAL})
    Clamp(values[cell], range::kMosaicValue);
}

void BringLogoIntoRange(uint16_t& x, uint16_t& y, uint16_t& w, uint16_t& h) {
  ClampRect(x, y, w, h, range::kLogoSize);
}

void BringIntoRange(EdidInfo& e) {
  Clamp(e.HACT, range::kEdidSize);
  Clamp(e.VACT, range::kEdidSize);
  Clamp(e.FPS, range::kEdidRate);
  Clamp(e.HBLANK, range::kEdidBlank);
  Clamp(e.VBLANK, range::kEdidBlank);
}

void BringIntoRange(Keyer& k) {
  Clamp(k.KEYERGAININ, range::kKeyerGain);
  Clamp(k.KEYERGAINOUT, range::kKeyerGain);
}

void BringIntoRange(VgaAdjust& v) {
  Clamp(v.V1, range::kVgaClock);
  Clamp(v.V2, range::kVgaPhase);
  Clamp(v.B1, range::kVgaHPosition);
  Clamp(v.B2, range::kVgaVPosition);
  for (uint16_t* level : {&v.W1, &v.W2, &v.W3, &v.W4, &v.W5, &v.W6})
    Clamp(*level, range::kVgaLevel);
}

void BringTaskTimeIntoRange(Task& t) {
  Clamp(t.MONTH, range::kMonth);
  Clamp(t.DAY, range::kDay);
  Clamp(t.HOUR, range::kHour);
  Clamp(t.MIN, range::kMinuteSecond);
  Clamp(t.SEC, range::kMinuteSecond);
}

void BringTestPatternIntoRange(uint8_t& pattern) {
  Clamp(pattern, range::kTestPattern);
}

}  // namespace orv
