// The output page's arithmetic: the budget estimates, the shown-row limits,
// the window shortcuts and the decimal reading of typed values.
#include <gtest/gtest.h>

#include "OutputRules.h"

namespace orv {
namespace {

TEST(OutputRules, TypedDecimalsKeepTheirLastDigit) {
  const struct {
    float typed;
    int hundredths;
  } cases[] = {{59.94f, 5994}, {60.0f, 6000}, {23.98f, 2398}, {119.99f, 11999},
               {29.97f, 2997}, {0.0f, 0},     {120.0f, 12000}};
  for (const auto& c : cases) EXPECT_EQ(HundredthsOf(c.typed), c.hundredths) << c.typed;
  EXPECT_EQ(TenthsOf(2.3f), 23);
  EXPECT_EQ(TenthsOf(0.7f), 7);
  EXPECT_EQ(TenthsOf(5.0f), 50);
}

TEST(OutputRules, EstimatesWhileTheTimingRowsAreHidden) {
  const struct {
    int w, h, rate, widthLimit;
  } widths[] = {
      {1920, 1080, 6000, 1920},  // 2048 x 1108 x 60 = 136,151,040: stays
      {3840, 2160, 6000, 1124},  // trunc(164.5M / (60 x 2188)) = 1253 - 128, even
      {4080, 480, 6000, 3966},   // total capped at 4094: 4094 - 128
      {1921, 1080, 6000, 1920},  // rounded down to even
      {3840, 1080, 3000, 3840},  // 30 Hz at 1080 lines: reduced blank, within budget
      {1920, 2160, 0, 1920},     // no rate: nothing to divide by
  };
  for (const auto& c : widths)
    EXPECT_EQ(EstimateWidthLimit(c.w, c.h, c.rate), c.widthLimit) << c.w << "x" << c.h;

  int w = 4080;
  // Both totals capped at 4094; trunc(164.5M / (60 x 4094)) = 669 lines, less the 28 of blank.
  EXPECT_EQ(EstimateHeightLimit(w, 4080, 6000), 641);
  EXPECT_EQ(w, 3966);
  w = 1920;
  EXPECT_EQ(EstimateHeightLimit(w, 1080, 6000), 1080);
  EXPECT_EQ(w, 1920);

  // 59.94 counts as 59 Hz for A and B, as 59.94 Hz for C.
  EXPECT_EQ(EstimateRateLimit(1920, 1080, 5994), 5994);
  EXPECT_EQ(EstimateRateLimit(3840, 2160, 6000), 1894);  // 164.5M / (3968 x 2188) x 100
  EXPECT_EQ(EstimateRateLimit(0, 0, 6000), 6000);
}

TEST(OutputRules, LimitsWhileTheTimingRowsAreShown) {
  // trunc(164.5M / (1125 x 60)) = 2437 - 44 - 148 - 32 = 2213, odd: 2212.
  EXPECT_EQ(ShownWidthLimit(1125, 6000, 44, 148, 3000), 2212);
  EXPECT_EQ(ShownHeightLimit(2200, 6000, 5, 36, 3000), 1246 - 36 - 5 - 4);
  EXPECT_EQ(ShownRateLimit(2200, 1125, 12000), 6646);  // 66.46 Hz, kept in hundredths
  EXPECT_EQ(ShownWidthLimit(0, 6000, 44, 148, 1920), 1920);
  EXPECT_EQ(ShownHeightLimit(2200, 0, 5, 36, 1080), 1080);
  EXPECT_EQ(ShownRateLimit(0, 1125, 6000), 6000);
  EXPECT_EQ(MinHTotal(1920, 44, 148), 2144);
  EXPECT_EQ(MinVTotal(1080, 5, 36), 1125);
}

TEST(OutputRules, WindowShortcutsKeepTheHalfAWindowIsIn) {
  const LayerWindow atHalf{960, 300, 100, 100};
  const LayerWindow right{961, 541, 100, 100};
  const struct {
    LayerWindow in;
    bool quarter;
    LayerWindow out;
  } cases[] = {
      {atHalf, false, {0, 0, 960, 1080}},  // exactly at w: the left half
      {right, false, {960, 0, 960, 1080}},
      {right, true, {960, 540, 960, 540}},
      {atHalf, true, {0, 0, 960, 540}},
  };
  for (const auto& c : cases) {
    const LayerWindow w =
        c.quarter ? QuarterWindow(c.in, 1920, 1080) : HalfWindow(c.in, 1920, 1080);
    EXPECT_EQ(w.left, c.out.left);
    EXPECT_EQ(w.top, c.out.top);
    EXPECT_EQ(w.width, c.out.width);
    EXPECT_EQ(w.height, c.out.height);
  }
  EXPECT_EQ(HalfOf(1025), 513);
  const LayerWindow typed{1900, 1000, 800, 600};
  EXPECT_EQ(FitWindowEdit(typed, 0, 1920, 1080).left, 1120);
  EXPECT_EQ(FitWindowEdit(typed, 1, 1920, 1080).top, 480);
  EXPECT_EQ(FitWindowEdit(typed, 2, 1920, 1080).width, 20);
  EXPECT_EQ(FitWindowEdit(typed, 3, 1920, 1080).height, 80);
}

}  // namespace
}  // namespace orv
