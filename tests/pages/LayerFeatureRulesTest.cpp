// The mosaic and logo pages' arithmetic without widgets: the arrangement
// parts of each layout, the mosaic edit clamps, logo slot usability and the
// logo placement and marking clamps.
#include <gtest/gtest.h>

#include <vector>

#include "LayerFeatureRules.h"
#include "ParamBlock.h"

namespace orv {
namespace {

TEST(MosaicRules, PartsAndPreselectionPerLayout) {
  struct Case {
    int mode;
    std::vector<int> parts;
    int preselected;
  };
  const Case cases[] = {
      {0, {}, 8},        {1, {}, 8},        {2, {0, 1}, 0}, {3, {0, 1}, 0},
      {4, {2, 3, 4}, 2}, {5, {5, 6, 7}, 5}, {6, {}, 8},     {-1, {}, 8},
  };
  for (const Case& c : cases) {
    const auto parts = MosaicPartsOf(c.mode);
    EXPECT_EQ(std::vector<int>(parts.begin(), parts.end()), c.parts) << c.mode;
    EXPECT_EQ(PreselectedMosaicPart(c.mode), c.preselected) << c.mode;
  }
}

TEST(MosaicRules, CommittedEditKeepsTheLayerInsideTheLargePicture) {
  struct Case {
    MosaicEdit edited;
    MosaicValues in;
    MosaicValues want;
  };
  const Case cases[] = {
      {MosaicEdit::HStart, {3000, 0, 1920, 1080, 3840, 1080}, {1920, 0, 1920, 1080, 3840, 1080}},
      {MosaicEdit::VStart, {0, 900, 1920, 1080, 3840, 1080}, {0, 0, 1920, 1080, 3840, 1080}},
      {MosaicEdit::Width, {1920, 0, 3000, 1080, 3840, 1080}, {1920, 0, 1920, 1080, 3840, 1080}},
      {MosaicEdit::Height, {0, 500, 1920, 1080, 3840, 2160}, {0, 500, 1920, 1080, 3840, 2160}},
      // Raising a total never moves the start or changes the width.
      {MosaicEdit::HTotal, {960, 0, 960, 1080, 7680, 1080}, {960, 0, 960, 1080, 7680, 1080}},
      // Lowering it below the width: the width first, then the start.
      {MosaicEdit::HTotal, {960, 0, 1920, 1080, 1280, 1080}, {0, 0, 1280, 1080, 1280, 1080}},
      {MosaicEdit::VTotal, {0, 540, 1920, 540, 1920, 720}, {0, 180, 1920, 540, 1920, 720}},
      // A size larger than the total leaves no room: the start stops at 0.
      {MosaicEdit::HStart, {100, 0, 4000, 1080, 3840, 1080}, {0, 0, 4000, 1080, 3840, 1080}},
  };
  for (const Case& c : cases) {
    const MosaicValues g = ClampMosaicEdit(c.in, c.edited);
    EXPECT_EQ((std::vector<int>{g.hpos, g.vpos, g.hact, g.vact, g.htotal, g.vtotal}),
              (std::vector<int>{c.want.hpos, c.want.vpos, c.want.hact, c.want.vact, c.want.htotal,
                                c.want.vtotal}))
        << static_cast<int>(c.edited);
  }
}

TEST(LogoRules, SlotUsableOnlyWithAPictureThatFitsTheOutput) {
  LogoInfo logo{};
  logo.LOGOVALID[0] = 1, logo.HACT[0] = 320, logo.VACT[0] = 180;
  logo.LOGOVALID[1] = 1, logo.HACT[1] = 2560, logo.VACT[1] = 180;  // wider than 1920
  logo.LOGOVALID[2] = 1, logo.HACT[2] = 0, logo.VACT[2] = 180;     // no size
  logo.LOGOVALID[3] = 0, logo.HACT[3] = 320, logo.VACT[3] = 180;   // empty
  EXPECT_TRUE(LogoSlotUsable(logo, 0, 1920, 1080));
  EXPECT_FALSE(LogoSlotUsable(logo, 1, 1920, 1080));
  EXPECT_TRUE(LogoSlotUsable(logo, 1, 3840, 2160));  // fits a wider output
  logo.HACT[1] = 3840;
  EXPECT_FALSE(LogoSlotUsable(logo, 1, 3840, 2160));
  EXPECT_FALSE(LogoSlotUsable(logo, 2, 1920, 1080));
  EXPECT_FALSE(LogoSlotUsable(logo, 3, 1920, 1080));
  EXPECT_FALSE(LogoSlotUsable(logo, 4, 1920, 1080));
  EXPECT_FALSE(LogoSlotUsable(logo, -1, 1920, 1080));
}

TEST(LogoRules, PlacementAndMarkStayInside) {
  struct Placement {
    LogoRect in;
    LogoRect want;
  };
  const Placement placements[] = {
      {{1800, 100, 320, 180}, {1600, 100, 320, 180}},
      {{0, 1000, 320, 180}, {0, 900, 320, 180}},
      {{100, 100, 320, 180}, {100, 100, 320, 180}},
      {{0, 0, 4000, 180}, {0, 0, 1920, 180}},
  };
  for (const Placement& c : placements) {
    const LogoRect g = ClampLogoPlacement(c.in, 1920, 1080);
    EXPECT_EQ((std::vector<int>{g.x, g.y, g.w, g.h}),
              (std::vector<int>{c.want.x, c.want.y, c.want.w, c.want.h}));
  }
  struct Mark {
    LogoEdit edited;
    LogoRect in;
    LogoRect want;
  };
  // Inside a 640 x 360 PIP-3 window.
  const Mark marks[] = {
      {LogoEdit::HStart, {500, 0, 320, 180}, {500, 0, 140, 180}},
      {LogoEdit::HStart, {700, 0, 320, 180}, {632, 0, 8, 180}},
      {LogoEdit::Width, {500, 0, 320, 180}, {500, 0, 140, 180}},
      {LogoEdit::Width, {636, 0, 320, 180}, {632, 0, 8, 180}},
      {LogoEdit::VStart, {0, 300, 320, 180}, {0, 300, 320, 60}},
      {LogoEdit::Height, {10, 20, 320, 100}, {10, 20, 320, 100}},
  };
  for (const Mark& c : marks) {
    const LogoRect g = ClampLogoMark(c.in, c.edited, 640, 360);
    EXPECT_EQ((std::vector<int>{g.x, g.y, g.w, g.h}),
              (std::vector<int>{c.want.x, c.want.y, c.want.w, c.want.h}))
        << static_cast<int>(c.edited);
  }
  // No PIP-3 window (switched off, zero size): only the edits' ranges hold.
  const LogoRect g = ClampLogoMark({50, 60, 4, 20000}, LogoEdit::Width, 0, 0);
  EXPECT_EQ((std::vector<int>{g.x, g.y, g.w, g.h}), (std::vector<int>{50, 60, 8, 9999}));
}

}  // namespace
}  // namespace orv
