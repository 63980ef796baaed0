#include <gtest/gtest.h>

#include <cmath>

#include "MainPageLayout.h"

namespace orv::mainpage {
namespace {

struct LabelCase {
  int mode, layer;
  bool pgm, pvw;
  int logo;
  std::optional<LabelPrefix> expected;
};

TEST(MainPageLayout, LayerLabelsFollowTheModeTable) {
  const LabelPrefix empty{"", false};
  const LabelCase cases[] = {
      {0, 0, false, false, 0, LabelPrefix{"Main : "}},
      {0, 1, true, true, 0, LabelPrefix{"PIP-1 : "}},
      {0, 3, false, false, 1, std::nullopt},  // PIP-3 is the logo
      {0, 3, false, false, 2, LabelPrefix{"PIP-3 : "}},
      {7, 0, false, false, 0, LabelPrefix{"Main : "}},
      {1, 0, true, true, 0, LabelPrefix{"PGM : "}},
      {1, 1, false, true, 0, LabelPrefix{"PVW : "}},
      {1, 1, false, false, 0, empty},
      {1, 2, true, false, 0, LabelPrefix{"PIP-2 : "}},
      {1, 3, true, false, 1, std::nullopt},
      {2, 0, true, false, 0, LabelPrefix{"PGM1 : "}},
      {2, 1, false, true, 0, LabelPrefix{"PVW2 : "}},
      {2, 2, false, true, 0, LabelPrefix{"PVW1 : "}},
      {2, 3, true, false, 1, LabelPrefix{"PGM2 : "}},
      {2, 3, false, false, 0, empty},
      {0, 4, false, false, 0, std::nullopt},
      {0, -1, false, false, 0, std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(LayerLabelPrefix(c.mode, c.layer, c.pgm, c.pvw, c.logo), c.expected)
        << "mode " << c.mode << " layer " << c.layer;
  }
}

TEST(MainPageLayout, MosaicModesShowAreasAndAttachLayers) {
  struct Case {
    int mosaic, pvw, byte2;
    MosaicPlan expected;
  };
  const std::array<int, 4> none{-1, -1, -1, -1};
  const Case cases[] = {
      {0, 0, 5, {{true, false, false, false}, {0, 0, 0, 0}}},
      // Program/preview places the layers and hides every output area.
      {0, 1, 5, {{false, false, false, false}, none}},
      {1, 2, 5, {{false, false, false, false}, none}},
      {1, 0, 5, {{true, false, false, false}, {0, 0, 0, 0}}},
      {2, 0, 5, {{true, true, false, false}, {0, 1, 0, 1}}},
      {3, 0, 5, {{true, true, false, false}, {0, 1, 1, 1}}},
      {4, 0, 3, {{true, true, true, false}, {0, 1, 2, 1}}},
      {4, 0, 8, {{true, true, true, false}, none}},
      {5, 0, 5, {{true, true, true, true}, {0, 1, 2, 3}}},
      {6, 0, 5, {{true, true, true, true}, none}},
      {-3, 0, 5, {{true, true, true, true}, none}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(PlanMosaic(c.mosaic, c.pvw, c.byte2), c.expected) << "mosaic " << c.mosaic;
  }
}

TEST(MainPageLayout, ArrangementPartsPlaceOutputsAroundTheFirst) {
  const Rect first = DefaultOutputArea(0);  // (125, 198) .. (2045, 1278)
  const int w = 1920, h = 1080;
  const Rect right{2045, 198, 3965, 1278};
  const Rect below{125, 1278, 2045, 2358};
  EXPECT_EQ(PlaceOutputAreas(0, first, w, h), (std::vector<PlacedArea>{{1, right}}));
  EXPECT_EQ(PlaceOutputAreas(1, first, w, h), (std::vector<PlacedArea>{{1, below}}));
  EXPECT_EQ(PlaceOutputAreas(2, first, w, h), PlaceOutputAreas(3, first, w, h));
  EXPECT_EQ(PlaceOutputAreas(5, first, w, h),
            (std::vector<PlacedArea>{{1, right}, {2, below}, {3, {2045, 1278, 3965, 2358}}}));
  EXPECT_EQ(PlaceOutputAreas(7, first, w, h).back(), (PlacedArea{3, {125, 3438, 2045, 4518}}));
  EXPECT_TRUE(PlaceOutputAreas(8, first, w, h).empty());
  EXPECT_TRUE(PlaceOutputAreas(-1, first, w, h).empty());
}

// In canvas pixels the areas of both modes sit 40 pixels below the top of
// each half, centred (mode 1) or meeting at the centre (mode 2).
TEST(MainPageLayout, ProgramPreviewAreasLandWhereTheOperatorExpectsThem) {
  const int pageW = 1000, pageH = 700;
  for (int mode : {1, 2}) {
    const auto plan = PlanProgramPreview(mode, pageW, pageH, 1920, 1080, 1920, 1080);
    ASSERT_TRUE(plan) << mode;
    const auto canvasX = [&](int device) { return device / plan->scale.sx; };
    const auto canvasY = [&](int device) { return device / plan->scale.sy; };
    const double span = mode == 1 ? 2 * pageW / 5 - 125 : (2 * pageW - 250) / 5;
    EXPECT_NEAR(canvasX(plan->preview1.right) - canvasX(plan->preview1.left), span, 1.0);
    EXPECT_NEAR(canvasY(plan->preview1.top), 40.0, 1.0);
    EXPECT_NEAR(canvasY(plan->program1.top), pageH / 2 + 40.0, 1.0);
    EXPECT_NEAR(canvasY(plan->preview1.bottom) - canvasY(plan->preview1.top), (pageH - 198) / 2,
                1.0);
    if (mode == 1) {
      EXPECT_NEAR((canvasX(plan->preview1.left) + canvasX(plan->preview1.right)) / 2, 500.0, 1.0);
      EXPECT_TRUE(plan->preview2.IsEmpty());
    } else {
      EXPECT_NEAR(canvasX(plan->preview1.right), 500.0, 1.0);
      EXPECT_EQ(plan->preview2.left, plan->preview1.right);
      EXPECT_EQ(plan->program2.left, plan->program1.right);
      EXPECT_EQ(plan->program2.top, plan->program1.top);
    }
  }
}

TEST(MainPageLayout, ASmallPageOrZeroResolutionGivesNoArrangement) {
  EXPECT_FALSE(PlanProgramPreview(1, 300, 700, 1920, 1080, 1920, 1080));  // 2W/5 - 125 < 0
  EXPECT_FALSE(PlanProgramPreview(2, 125, 700, 1920, 1080, 1920, 1080));  // (2W - 250)/5 = 0
  EXPECT_FALSE(PlanProgramPreview(1, 1000, 198, 1920, 1080, 1920, 1080));
  EXPECT_FALSE(PlanProgramPreview(1, 1000, 700, 0, 1080, 0, 1080));
  EXPECT_FALSE(PlanProgramPreview(0, 1000, 700, 1920, 1080, 1920, 1080));
}

TEST(MainPageLayout, OriginsAndAttachmentsFollowProgramAndPreview) {
  EXPECT_EQ(LayerOrigin(0, 1, true, true, 0), Origin::OwnArea);
  EXPECT_EQ(LayerOrigin(0, 3, false, false, 2), Origin::NotPlaced);
  EXPECT_EQ(LayerOrigin(1, 2, false, false, 0), Origin::Preview1);
  EXPECT_EQ(LayerOrigin(2, 1, false, true, 0), Origin::Preview2);
  EXPECT_EQ(LayerOrigin(2, 2, false, false, 0), Origin::Zero);
  EXPECT_EQ(LayerOrigin(2, 3, true, false, 1), Origin::Program1);  // the logo
  EXPECT_EQ(LayerOrigin(3, 0, true, false, 0), Origin::NotPlaced);

  EXPECT_EQ(ProgramPreviewAttachment(1, 0, false, false), (PvwAttachment{Origin::Preview1, false}));
  EXPECT_EQ(ProgramPreviewAttachment(1, 3, true, false), (PvwAttachment{Origin::Program1, true}));
  EXPECT_EQ(ProgramPreviewAttachment(2, 3, true, false), (PvwAttachment{Origin::Program2, true}));
  EXPECT_EQ(ProgramPreviewAttachment(2, 2, false, true), (PvwAttachment{Origin::Preview1, false}));
  EXPECT_FALSE(ProgramPreviewAttachment(2, 0, false, false));
  EXPECT_FALSE(ProgramPreviewAttachment(0, 0, true, false));
}

TEST(MainPageLayout, TouchingAreasStayTouchingAfterAResolutionChange) {
  const Rect first = DefaultOutputArea(0);
  const Rect second = DefaultOutputArea(1);
  for (const auto& [w, h] : {std::pair{1280, 720}, {1366, 768}, {3840, 2160}, {800, 600}}) {
    const Rect a = RescaleOutputArea(0, first, w, h);
    const Rect b = RescaleOutputArea(1, second, w, h);
    EXPECT_EQ(a.right, b.left) << w;
    EXPECT_EQ(a.top, b.top) << w;
    EXPECT_EQ(a.Width(), w);
    EXPECT_EQ(b.Height(), h);
  }
  // A zero-sized area cannot be scaled: it goes home with the new size.
  EXPECT_EQ(RescaleOutputArea(2, {500, 500, 500, 500}, 1280, 720),
            (Rect{3965, 198, 3965 + 1280, 198 + 720}));
}

TEST(MainPageLayout, ZoomStepsNeverReachZero) {
  EXPECT_DOUBLE_EQ(NextZoom(6.0, -120), 6.5);
  EXPECT_DOUBLE_EQ(NextZoom(1.0, 120), 0.5);
  EXPECT_DOUBLE_EQ(NextZoom(0.5, 120), 1.0);
  EXPECT_DOUBLE_EQ(NextZoom(3.0, 0), 3.0);
  EXPECT_DOUBLE_EQ(NextZoom(std::nan(""), 120), 1.0);
}

TEST(MainPageLayout, ALayerLeftOfItsAreaStoresPositionZeroAndItsFullSize) {
  EXPECT_EQ(LayerWindowFromDevice({124, 150, 1124, 750}, 125, 198), (LayerWindow{0, 0, 1000, 600}));
  EXPECT_EQ(LayerWindowFromDevice({325, 298, 525, 398}, 125, 198),
            (LayerWindow{200, 100, 200, 100}));
}

}  // namespace
}  // namespace orv::mainpage
