#include "RefreshTable.h"

#include <array>

namespace orv {

namespace {

using S = RefreshStep;

// Data type 2: the whole parameter block was read back or a project applied.
constexpr S kWholeBlock[] = {S::HideBoardControls,
                             S::InputStripRelayout,
                             S::PipPage,
                             S::LayerInputsNoSend,
                             S::SyncListsRefill,
                             S::EdidPage,
                             S::PicturePage,
                             S::OutputTiming,
                             S::CropPage,
                             S::MosaicPageSplit,
                             S::PipPage,
                             S::PipPage,
                             S::KeyerPage,
                             S::EdidPage,
                             S::VgaPage,
                             S::SwitcherPage,
                             S::OutputLayerTabs,
                             S::CropPage,
                             S::PicturePage,
                             S::TaskPage,
                             S::MiscPage,
                             S::LogoPage,
                             S::LogoPage,
                             S::MainLayerLayout,
                             S::MiscPage,
                             S::PvwModeToMain,
                             S::ModeEnabling,
                             S::OutputSelectedLayer,
                             S::LayerWindowsAll,
                             S::RedrawInputStripArea,
                             S::PresetGroupSelection,
                             S::VgaPageLayer0,
                             S::MediaPlayerPage};

constexpr S kSeenFirst[] = {S::SearchSeenFirst};
constexpr S kPreviewFlag[] = {S::MainPreviewFlag};
constexpr S kTestPattern[] = {S::TestPatternRefresh};
constexpr S kInputTiming[] = {S::RedrawLastTimingSlot, S::CropPage};
constexpr S kVga[] = {S::VgaPage};
constexpr S kEdid[] = {S::EdidPage};
constexpr S kTasks[] = {S::TaskPage};
constexpr S kPicture[] = {S::PicturePage};
constexpr S kOutputTiming[] = {S::OutputTiming, S::OutputSelectedLayer, S::LayerWindowArg};
constexpr S kLayerWindow[] = {S::OutputSelectedLayer, S::LayerWindowArg};
constexpr S kCrop[] = {S::CropPage};
constexpr S kMosaic[] = {S::MosaicPageArg};
constexpr S kClock[] = {S::TaskClock};
constexpr S kLayers[] = {S::RedrawAllSlots, S::PipPage};
constexpr S kLogo[] = {S::LogoPage};
constexpr S kKeyer[] = {S::KeyerPage};
constexpr S kPresetFlags[] = {S::PresetButtons, S::TaskPresets};
constexpr S kLoopOut[] = {S::MiscLoopOut};
constexpr S kSystemInfo[] = {S::MiscSystemInfo};
constexpr S kPvwMode[] = {S::PvwModeToMain, S::OutputLayerTabs, S::CropPage,
                          S::PicturePage,   S::PipPage,         S::LogoPage,
                          S::SwitcherPage,  S::ModeEnabling,    S::PresetGroupSelection};
constexpr S kDpMode[] = {S::RedrawAllSlots, S::PipPage, S::LayerInputsNoSend};
constexpr S kInputState[] = {S::RedrawAllSlots};
constexpr S kSeen[] = {S::SearchSeen};
constexpr S kCaption[] = {S::CaptionPageArg};
constexpr S kIdentity[] = {S::SearchIdentity};
constexpr S kVideoSettings[] = {S::VideoSettingsPage};
constexpr S kBoard[] = {S::PipPage,           S::RedrawAllSlots,       S::PortSwitchTexts,
                        S::EdidPage,          S::BoardControlsByExist, S::MiscPage,
                        S::LayerInputsNoSend, S::EnableSignalSwitch};
constexpr S kFeather[] = {S::FeatherPage};
constexpr S kFreeze[] = {S::FreezeButton};

constexpr S kEdidEvent[] = {S::EdidEvent};
constexpr S kVgaEvent[] = {S::VgaEvent};
constexpr S kCaptionEnable[] = {S::CaptionEnable};
constexpr S kCaptionChunk[] = {S::CaptionChunkAck};
constexpr S kCaptionUpload[] = {S::CaptionUploadResult};

constexpr std::array<std::span<const S>, 32> kRows = {
    std::span<const S>(kSeenFirst),  // 0 machine seen
    kPreviewFlag,                    // 1
    kWholeBlock,                     // 2
    kTestPattern,                    // 3
    kInputTiming,                    // 4
    kVga,                            // 5
    kEdid,                           // 6
    kTasks,                          // 7
    kPicture,                        // 8
    kOutputTiming,                   // 9
    kLayerWindow,                    // 10
    kCrop,                           // 11
    kMosaic,                         // 12
    kClock,                          // 13
    kLayers,                         // 14
    kLogo,                           // 15
    kKeyer,                          // 16
    kPresetFlags,                    // 17
    kLoopOut,                        // 18
    kSystemInfo,                     // 19
    kPvwMode,                        // 20
    kDpMode,                         // 21
    kInputState,                     // 22
    kSeen,                           // 23 acknowledged reply
    {},                              // 24 device event: its own sink calls
    kCaption,                        // 25
    {},                              // 26 preview stream: fed directly
    kIdentity,                       // 27
    kVideoSettings,                  // 28
    kBoard,                          // 29
    kFeather,                        // 30
    kFreeze,                         // 31
};

}  // namespace

std::span<const RefreshStep> RefreshSteps(int type) {
  if (type < 0 || type >= static_cast<int>(kRows.size())) return {};
  return kRows[static_cast<std::size_t>(type)];
}

std::span<const RefreshStep> EdidEventSteps() {
  return kEdidEvent;
}
std::span<const RefreshStep> VgaEventSteps() {
  return kVgaEvent;
}
std::span<const RefreshStep> CaptionEnableSteps() {
  return kCaptionEnable;
}
std::span<const RefreshStep> CaptionChunkSteps() {
  return kCaptionChunk;
}
std::span<const RefreshStep> CaptionUploadSteps() {
  return kCaptionUpload;
}

}  // namespace orv
