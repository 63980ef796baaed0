#include "OutputRules.h"

#include <algorithm>
#include <cmath>

namespace orv {

namespace {

// A float edit holds the typed decimal within half a unit in its last
// place; this bias, far below one unit, lifts 5993.9999 back to 5994.
constexpr double kDecimalBias = 1e-3;

constexpr int kReducedHBlank = 128;
constexpr int kFullHBlank = 512;
constexpr int kVBlank = 28;

int Scaled(float value, double scale) {
  const double v = static_cast<double>(value) * scale;
  if (!std::isfinite(v)) return 0;
  return static_cast<int>(std::floor(std::clamp(v + kDecimalBias, -1e9, 1e9)));
}

// trunc(budget / (whole hertz x total)) as the 16-bit value the timing holds.
int MaxTotalAt(int rateHundredths, int otherTotal) {
  const int64_t divisor = static_cast<int64_t>(rateHundredths / 100) * otherTotal;
  if (divisor <= 0) return kMaxTotal;
  return static_cast<uint16_t>(kPixelClockBudget / divisor);
}

}  // namespace

int HundredthsOf(float value) {
  return Scaled(value, 100.0);
}

int TenthsOf(float value) {
  return Scaled(value, 10.0);
}

bool OverBudget(int htotal, int vtotal, int rateHundredths) {
  return static_cast<int64_t>(htotal) * vtotal * rateHundredths / 100 > kPixelClockBudget;
}

int EstimateWidthLimit(int w, int h, int rate) {
  const bool reduced = rate >= 5200 || (rate == 3000 && (h == 1080 || h == 1200));
  const int blank = reduced ? kReducedHBlank : kFullHBlank;
  int htotal = w + blank;
  if (htotal > kMaxTotal) {
    htotal = kMaxTotal;
    w = kMaxTotal - blank;
  }
  const int vtotal = std::min(h + kVBlank, kMaxTotal);
  if (OverBudget(htotal, vtotal, rate)) {
    const int maxH = MaxTotalAt(rate, vtotal);
    if (w + blank > maxH) w = maxH - blank;
  }
  return w - (w & 1);
}

int EstimateHeightLimit(int& w, int h, int rate) {
  const bool reduced = rate >= 5200 || (rate == 3000 && w == 3840);
  const int blank = reduced ? kReducedHBlank : kFullHBlank;
  int htotal = w + blank;
  if (htotal > kMaxTotal) {
    htotal = kMaxTotal;
    w = kMaxTotal - blank;
  }
  int vtotal = h + kVBlank;
  if (vtotal > kMaxTotal) {
    vtotal = kMaxTotal;
    h = kMaxTotal - kVBlank;
  }
  if (OverBudget(htotal, vtotal, rate)) {
    const int maxV = MaxTotalAt(rate, htotal);
    if (h + kVBlank > maxV) h = maxV - kVBlank;
  }
  return h;
}

int EstimateRateLimit(int w, int h, int rate) {
  const bool reduced = rate >= 5200 || ((h == 1080 || h == 1200) && w == 3840);
  const int blank = reduced ? kReducedHBlank : kFullHBlank;
  const int htotal = std::min(w + blank, kMaxTotal);
  const int vtotal = std::min(h + kVBlank, kMaxTotal);
  if (htotal <= 0 || vtotal <= 0 || !OverBudget(htotal, vtotal, rate)) return rate;
  // trunc(budget / (Vtot x Htot) x 100), in integers.
  return static_cast<uint16_t>(kPixelClockBudget * 100 / (static_cast<int64_t>(vtotal) * htotal));
}

int ShownWidthLimit(int vtotal, int rate, int hsync, int hbp, int w) {
  const int64_t divisor = static_cast<int64_t>(vtotal) * rate;
  if (divisor <= 0) return w;
  const int limit = static_cast<int>(kPixelClockBudget * 100 / divisor) - hbp - hsync - 32;
  return limit - (limit & 1);
}

int ShownHeightLimit(int htotal, int rate, int vsync, int vbp, int h) {
  const int64_t divisor = static_cast<int64_t>(htotal) * rate;
  if (divisor <= 0) return h;
  return static_cast<int>(kPixelClockBudget * 100 / divisor) - vbp - vsync - 4;
}

int ShownRateLimit(int htotal, int vtotal, int rate) {
  const int64_t pixels = static_cast<int64_t>(htotal) * vtotal;
  if (pixels <= 0) return rate;
  // Kept in whole hundredths, the unit the timing is sent in, so the
  // applied rate never rounds above the budget.
  return static_cast<int>(kPixelClockBudget * 100 / pixels);
}

int MinHTotal(int w, int hsync, int hbp) {
  return w + hsync + hbp + 32;
}

int MinVTotal(int h, int vsync, int vbp) {
  return h + vsync + vbp + 4;
}

int HalfOf(int size) {
  return (size + 1) / 2;
}

LayerWindow HalfWindow(const LayerWindow& current, int hreso, int vreso) {
  const int w = HalfOf(hreso);
  return {current.left > w ? w : 0, 0, w, vreso};
}

LayerWindow QuarterWindow(const LayerWindow& current, int hreso, int vreso) {
  const int w = HalfOf(hreso);
  const int h = HalfOf(vreso);
  return {current.left > w ? w : 0, current.top > h ? h : 0, w, h};
}

LayerWindow FitWindowEdit(LayerWindow v, int which, int outW, int outH) {
  switch (which) {
    case 0:
      v.left = std::min(v.left, outW - v.width);
      break;
    case 1:
      v.top = std::min(v.top, outH - v.height);
      break;
    case 2:
      v.width = std::min(v.width, outW - v.left);
      break;
    case 3:
      v.height = std::min(v.height, outH - v.top);
      break;
    default:
      break;
  }
  return v;
}

const RotationMode kRotationTable[kRotationModes] = {
    {"OFF", 0, false},
    {"-90\u00b0", 90, false},
    {"90\u00b0", 270, false},
    {"H Flip", 0, true},
    {"V Flip", 180, true},
    {"180\u00b0", 180, false},
    {"-90\u00b0+HFlip", 90, true},
    {"90\u00b0+HFlip ", 270, true},
};

}  // namespace orv
