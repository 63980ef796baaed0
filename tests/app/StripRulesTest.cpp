// The control strip's rules without a window: slot rectangles at two DPIs,
// slot pictures, timing texts, hit tests, the program/preview enabling per
// mode and the preset looks.
#include <gtest/gtest.h>

#include "ArtIds.h"
#include "InputStrip.h"
#include "StripModes.h"

namespace orv::strip {
namespace {

TEST(StripLayoutRule, SlotRectanglesAt96And120Dpi) {
  struct Case {
    float scale;
    int slot;
    SlotRect expected;
  };
  const Case cases[] = {
      {1.0F, 0, {123, 25, 191, 50}},  {1.0F, 1, {231, 25, 299, 50}},
      {1.0F, 7, {879, 25, 947, 50}},  {1.0F, 8, {555, 0, 623, 16}},
      {1.0F, 9, {555, 32, 623, 48}},  {1.0F, 10, {771, 0, 839, 16}},
      {1.0F, 11, {771, 32, 839, 48}}, {1.25F, 0, {123, 25, 208, 50}},
      {1.25F, 1, {248, 25, 333, 50}}, {1.25F, 4, {623, 25, 708, 50}},
      {1.25F, 9, {623, 32, 708, 48}},
  };
  for (const Case& c : cases) {
    StripLayout layout;
    layout.Layout(QPoint(0, 0), c.scale);
    EXPECT_EQ(layout.Slot(c.slot), c.expected) << c.scale << " slot " << c.slot;
  }
}

TEST(StripLayoutRule, SlotSevenFollowsPhysicalInputSix) {
  StripLayout layout;
  layout.Layout(QPoint(0, 0), 1.25F);
  layout.AfterReadBack(10);  // input 6 absent: slot 7 takes its place
  EXPECT_EQ(layout.Slot(7), layout.Slot(6));
  layout.AfterReadBack(4);  // back beside it, width kept
  EXPECT_EQ(layout.Slot(7).left, 998);
  EXPECT_EQ(layout.Slot(7).right - layout.Slot(7).left, 85);
}

TEST(StripLayoutRule, HitTestsIncludeTheBandBelowAndTheHiddenSlotFive) {
  StripLayout layout;
  layout.Layout(QPoint(0, 0), 1.0F);
  std::array<bool, kSlots> enabled{};
  enabled.fill(true);
  EXPECT_EQ(layout.HitTest({130, 30}, enabled), 0);
  EXPECT_EQ(layout.HitTest({130, 65}, enabled), 0);  // 16 pixels below still counts
  EXPECT_EQ(layout.HitTest({130, 66}, enabled), -1);
  EXPECT_EQ(layout.HitTest({670, 30}, enabled), 5);  // never drawn, still hit
  EXPECT_EQ(layout.HitTest({560, 5}, enabled), 8);
  enabled[5] = false;
  EXPECT_EQ(layout.HitTest({670, 30}, enabled), -1);
  EXPECT_EQ(layout.LabelHit({130, 70}, enabled), 0);
  EXPECT_EQ(layout.LabelHit({130, 82}, enabled), -1);
}

TEST(StripImages, PictureBySlotAndPortKind) {
  std::array<int32_t, 8> kinds{4, 6, 4, 6, 8, 7, 3, 9};
  struct Case {
    int slot;
    bool selected;
    int image;
  };
  const Case cases[] = {
      {0, false, art::kSlotDvi},
      {1, true, art::kSlotHdmiSelected},
      {4, false, art::kSlotDp},
      {9, true, art::kSlotDpSelected},
      {6, false, art::kSlotVga},
      {7, true, art::kSlotUsbSelected},
      {10, false, 0},  // board halves: DP or HDMI on slot 6 only
      {12, false, 0},
      {-1, false, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(SlotImage(c.slot, kinds, c.selected), c.image) << c.slot;
  kinds[6] = 6;
  kinds[7] = 42;  // outside the table: nothing drawn
  EXPECT_EQ(SlotImage(10, kinds, false), art::kSlotHdmi);
  EXPECT_EQ(SlotImage(7, kinds, false), 0);
  EXPECT_EQ(PhysicalInput(9), 4);
  EXPECT_EQ(PhysicalInput(11), 6);
}

TEST(StripImages, TimingTexts) {
  EXPECT_EQ(TimingText(1920, 1080, 6000, false), QStringLiteral("1920x1080 60Hz"));
  EXPECT_EQ(TimingText(1920, 540, 5994, true), QStringLiteral("1080i 59Hz"));
}

TEST(StripModeRule, EnablingPerMode) {
  const std::array<bool, 4> program{true, true, false, false};
  const std::array<bool, 4> preview{false, false, true, false};
  const ModeControls plain = ModeControlsFor(0, program, preview, 5);
  EXPECT_FALSE(plain.pgm[0].enabled);
  EXPECT_EQ(plain.pgm[0].checked, true);
  EXPECT_TRUE(plain.pgm[3].visible && plain.pgm[3].enabled);
  EXPECT_FALSE(plain.pvw[2].visible);
  EXPECT_FALSE(plain.takeVisible);
  EXPECT_FALSE(plain.logoPage);  // mosaic mode 5
  EXPECT_TRUE(plain.testPattern && plain.mosaicPage && plain.pipPage);
  EXPECT_TRUE(ModeControlsFor(7, program, preview, 0).logoPage);  // unknown mode as 0

  const ModeControls single = ModeControlsFor(1, {false, true, true, false}, preview, 0);
  EXPECT_FALSE(single.pgm[1].visible);
  EXPECT_EQ(single.pgm[2], (LayerButtonState{true, false, true, false}));
  EXPECT_EQ(single.pvw[2], (LayerButtonState{true, false, true, true}));
  EXPECT_EQ(single.pvw[3], (LayerButtonState{true, true, false, false}));
  EXPECT_TRUE(single.takeVisible && single.lockOutputAreas);
  EXPECT_EQ(single.lockOutputVisible, false);
  EXPECT_FALSE(single.mosaicPage || single.testPattern);
  EXPECT_TRUE(single.pipPage && single.logoPage && single.hideCaptionPage);

  const ModeControls dual = ModeControlsFor(2, program, preview, 0);
  for (std::size_t i = 0; i < 4; ++i) EXPECT_FALSE(dual.pgm[i].visible || dual.pvw[i].visible);
  EXPECT_TRUE(dual.takeVisible);
  EXPECT_FALSE(dual.pipPage || dual.logoPage || dual.mosaicPage || dual.testPattern);
}

TEST(StripModeRule, PresetLooks) {
  EXPECT_EQ(PresetLookFor(true, 0), (PresetLook{false, 0}));
  EXPECT_EQ(PresetLookFor(true, 1), (PresetLook{true, 0}));
  EXPECT_EQ(PresetLookFor(true, 2), (PresetLook{false, 255}));
  EXPECT_EQ(PresetLookFor(false, 0), (PresetLook{true, 0}));
  EXPECT_EQ(PresetLookFor(false, 2), (PresetLook{true, 0}));
}

}  // namespace
}  // namespace orv::strip
