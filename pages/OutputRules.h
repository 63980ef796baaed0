#pragma once
// The arithmetic of the output page, kept apart from its widgets: the
// pixel-clock budget every custom timing must stay within, the blanking
// estimates used while the timing rows are hidden, the limits used while
// they are shown, the totals that must hold the active area, the window
// rules and the eight rotation modes. Frame rates are carried in hundredths
// of a hertz throughout, so a typed 59.94 is never seen as 59.9399.
#include <cstdint>

namespace orv {

// Pixels per second a custom timing may take.
inline constexpr int64_t kPixelClockBudget = 164'500'000;
// The largest total the output can count to.
inline constexpr int kMaxTotal = 4094;

// An edit's value in hundredths (frame rate) or tenths (gamma), read from
// its float without losing the last digit to binary rounding: 59.94f is
// 59.93999..., which must still count as 5994.
int HundredthsOf(float value);
int TenthsOf(float value);

// Whether Htot x Vtot lines at `rateHundredths` exceed the budget.
bool OverBudget(int htotal, int vtotal, int rateHundredths);

// Estimate A (rows hidden): the largest width for height `h` at the rate,
// `rateHundredths` being whole hertz times 100. Always even.
int EstimateWidthLimit(int w, int h, int rateHundredths);

// Estimate B (rows hidden): the largest height; it may also lower the width,
// which it reports in `w`.
int EstimateHeightLimit(int& w, int h, int rateHundredths);

// Estimate C (rows hidden): the largest frame rate in hundredths.
int EstimateRateLimit(int w, int h, int rateHundredths);

// Limits while the timing rows are shown (totals known). Each returns the
// value unchanged (no limit) when a divisor is zero.
int ShownWidthLimit(int vtotal, int rateHundredths, int hsync, int hbp, int w);
int ShownHeightLimit(int htotal, int rateHundredths, int vsync, int vbp, int h);
int ShownRateLimit(int htotal, int vtotal, int rateHundredths);

// The smallest totals that still hold the active area with its sync and porch.
int MinHTotal(int w, int hsync, int hbp);
int MinVTotal(int h, int vsync, int vbp);

// Half of an output size, rounded up: trunc(size x 0.5 + 0.5).
int HalfOf(int size);

struct LayerWindow {
  int left, top, width, height;
};

// The "1/2" and "1/4" buttons: a window keeps to the half (quarter) it is in.
LayerWindow HalfWindow(const LayerWindow& current, int hreso, int vreso);
LayerWindow QuarterWindow(const LayerWindow& current, int hreso, int vreso);

// One layer-window edit committed: the edited value lowered so the window
// stays inside an output of `outW` x `outH`. `which` 0 left, 1 top, 2 width,
// 3 height.
LayerWindow FitWindowEdit(LayerWindow w, int which, int outW, int outH);

struct RotationMode {
  const char* caption;  // the button's caption, blanks included
  int clockwiseDegrees;
  bool mirrorAfter;  // then flipped left to right
};
inline constexpr int kRotationModes = 8;
extern const RotationMode kRotationTable[kRotationModes];

}  // namespace orv
