#pragma once
// What the main window refreshes after each reply data type, as data: one
// row of steps per data type, run in order on the user-interface thread.
// Data types 24 (device event), 28 (encoder info) and 29 (composite board)
// reach the main window through their own sink calls; their rows are here too.
#include <cstdint>
#include <span>

namespace orv {

enum class RefreshStep : uint8_t {
  // Search window
  SearchSeenFirst,  // reply notification with value 1
  SearchSeen,       // reply notification with value 0 (every acknowledged reply)
  SearchIdentity,   // search result
  // Main page
  MainPreviewFlag,  // preview on/off when REPLY1_FLAG changed
  MainLayerLayout,
  PvwModeToMain,    // UM_PVW_MODE_CHANGED to the main page
  LayerWindowsAll,  // UM_LAYER_WINDOW (0x5AB, layer) for layers 0..3
  LayerWindowArg,   // UM_LAYER_WINDOW (0x5AB, arg)
  // Control strip
  HideBoardControls,
  BoardControlsByExist,
  EnableSignalSwitch,
  InputStripRelayout,
  LayerInputsNoSend,  // input refresh of layers 0..3 without sending
  SyncListsRefill,
  ModeEnabling,
  PresetGroupSelection,
  PresetButtons,
  RedrawInputStripArea,
  RedrawAllSlots,
  RedrawLastTimingSlot,
  PortSwitchTexts,
  FreezeButton,
  // Pages
  PicturePage,
  OutputTiming,
  OutputLayerTabs,
  OutputSelectedLayer,
  CropPage,
  MosaicPageSplit,  // mosaic page refresh with kind 3
  MosaicPageArg,
  PipPage,
  LogoPage,
  KeyerPage,
  EdidPage,
  EdidEvent,
  VgaPage,
  VgaEvent,
  VgaPageLayer0,
  SwitcherPage,
  TaskPage,
  TaskClock,
  TaskPresets,
  MiscPage,
  MiscLoopOut,
  MiscSystemInfo,
  CaptionPageArg,
  CaptionEnable,
  CaptionChunkAck,
  CaptionUploadResult,
  VideoSettingsPage,
  MediaPlayerPage,
  FeatherPage,
  TestPatternRefresh,  // post UM_TEST_PATTERN_REFRESH to the test pattern page
};

// The steps of data type `type`; empty for types that refresh nothing.
std::span<const RefreshStep> RefreshSteps(int type);

// Rows of the sink calls that are not a data type of their own.
std::span<const RefreshStep> EdidEventSteps();
std::span<const RefreshStep> VgaEventSteps();
std::span<const RefreshStep> CaptionEnableSteps();
std::span<const RefreshStep> CaptionChunkSteps();
std::span<const RefreshStep> CaptionUploadSteps();

}  // namespace orv
