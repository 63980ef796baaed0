// The refresh rows: the long row of a whole read-back in its exact order,
// the rows that carry an argument, and the types that refresh nothing.
#include <gtest/gtest.h>

#include <vector>

#include "RefreshTable.h"

namespace orv {
namespace {

using S = RefreshStep;

std::vector<S> Row(int type) {
  const auto steps = RefreshSteps(type);
  return {steps.begin(), steps.end()};
}

TEST(RefreshTable, WholeBlockRefreshesEveryPageInItsOrder) {
  const std::vector<S> expected = {
      S::HideBoardControls, S::InputStripRelayout, S::PipPage, S::LayerInputsNoSend,
      S::SyncListsRefill,
      // pages
      S::EdidPage, S::PicturePage, S::OutputTiming, S::CropPage, S::MosaicPageSplit, S::PipPage,
      S::PipPage, S::KeyerPage, S::EdidPage, S::VgaPage, S::SwitcherPage, S::OutputLayerTabs,
      S::CropPage, S::PicturePage, S::TaskPage, S::MiscPage, S::LogoPage, S::LogoPage,
      S::MainLayerLayout, S::MiscPage,
      // after the pages
      S::PvwModeToMain, S::ModeEnabling, S::OutputSelectedLayer, S::LayerWindowsAll,
      S::RedrawInputStripArea, S::PresetGroupSelection, S::VgaPageLayer0, S::MediaPlayerPage};
  EXPECT_EQ(Row(2), expected);
}

TEST(RefreshTable, RowsWithArgumentsAndFollowOns) {
  EXPECT_EQ(Row(9), (std::vector<S>{S::OutputTiming, S::OutputSelectedLayer, S::LayerWindowArg}));
  EXPECT_EQ(Row(10), (std::vector<S>{S::OutputSelectedLayer, S::LayerWindowArg}));
  EXPECT_EQ(Row(12), (std::vector<S>{S::MosaicPageArg}));
  EXPECT_EQ(Row(25), (std::vector<S>{S::CaptionPageArg}));
  EXPECT_EQ(Row(17), (std::vector<S>{S::PresetButtons, S::TaskPresets}));
  EXPECT_EQ(Row(20), (std::vector<S>{S::PvwModeToMain, S::OutputLayerTabs, S::CropPage,
                                     S::PicturePage, S::PipPage, S::LogoPage, S::SwitcherPage,
                                     S::ModeEnabling, S::PresetGroupSelection}));
  EXPECT_EQ(Row(29), (std::vector<S>{S::PipPage, S::RedrawAllSlots, S::PortSwitchTexts, S::EdidPage,
                                     S::BoardControlsByExist, S::MiscPage, S::LayerInputsNoSend,
                                     S::EnableSignalSwitch}));
}

TEST(RefreshTable, SearchWindowRowsTellFirstSightFromAcknowledgements) {
  EXPECT_EQ(Row(0), std::vector<S>{S::SearchSeenFirst});
  EXPECT_EQ(Row(23), std::vector<S>{S::SearchSeen});
  EXPECT_EQ(Row(27), std::vector<S>{S::SearchIdentity});
}

TEST(RefreshTable, EventsStreamAndUnknownTypesRefreshNothingThemselves) {
  EXPECT_TRUE(Row(24).empty());  // device events reach the window through their own calls
  EXPECT_TRUE(Row(26).empty());  // the preview stream is fed directly
  EXPECT_TRUE(Row(-1).empty());
  EXPECT_TRUE(Row(32).empty());
  EXPECT_TRUE(Row(1000).empty());
  for (int type = 0; type < 32; ++type) {
    if (type == 24 || type == 26) continue;
    EXPECT_FALSE(Row(type).empty()) << "type " << type;
  }
}

}  // namespace
}  // namespace orv
