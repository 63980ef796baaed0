#pragma once
// The pages of the page column: page index, the control id of its button and
// the template of the page it shows.
#include <array>

namespace orv {

struct PageButtonRow {
  int pageIndex;
  int buttonId;
  int templateId;
};

inline constexpr std::array<PageButtonRow, 11> kPageButtons = {{
    {0, 1021, 110},   // picture
    {1, 1025, 117},   // output
    {2, 1180, 120},   // mosaic
    {3, 1245, 183},   // switcher
    {4, 1123, 150},   // PIP
    {5, 1126, 119},   // crop
    {6, 1241, 164},   // logo
    {7, 1179, 156},   // EDID
    {8, 1183, 160},   // VGA
    {9, 1244, 158},   // misc
    {10, 1178, 127},  // connection
}};

// Control ids of the main window's control strip.
namespace strip {
inline constexpr int kPresetFirst = 1223;  // 1223..1232
inline constexpr int kPresets = 1237;
inline constexpr int kTemplates = 1238;
inline constexpr int kLoad = 1246;
inline constexpr int kSave = 1236;
inline constexpr int kSwitch = 1240;
inline constexpr int kTake = 1451;
inline constexpr int kLockOutput = 1472;
inline constexpr int kFreeze = 1601;
inline constexpr int kSignalSwitch = 1573;
inline constexpr int kPreview = 1564;
inline constexpr int kSerialLamp = 1494;
inline constexpr int kNetworkLamp = 1489;
inline constexpr int kSwitchLamp = 1490;
inline constexpr int kOnlineLamp = 1492;
inline constexpr int kPgmFirst = 1247;  // 1247..1250
inline constexpr int kPvwFirst = 1466;  // 1466..1469
inline constexpr int kTopFirst = 1446;  // 1446..1449
inline constexpr int kDualChannel = 1344;
inline constexpr int kLoopOutGroup = 1255;
inline constexpr int kSyncGroup = 1441;
inline constexpr int kPortSwitchGroup = 1572;
inline constexpr int kSyncLockList = 0xAFC0;
inline constexpr int kSyncModeList = 0xAFD0;
inline constexpr int kPortSwitchList = 0xFF77;
}  // namespace strip

// Sub-codes of UM_PAGE_REQUEST.
namespace request {
inline constexpr int kMiscTab = 0x5A2;
inline constexpr int kSwitchState = 0x5A8;
inline constexpr int kLoopOutSlot = 0x5A9;
inline constexpr int kPipCell = 0x5AA;
inline constexpr int kMosaicMode = 0x5B4;
inline constexpr int kArrangement = 0x5B5;
inline constexpr int kConnectionState = 0x5BA;
inline constexpr int kSearchWindow = 0x5BB;
inline constexpr int kVideoSettings = 0x5BC;
inline constexpr int kMediaPlayer = 0x5BD;
inline constexpr int kFeather = 0x5BE;
inline constexpr int kPipLogoEnable = 0x5BF;
inline constexpr int kOnline = 0x5C0;
inline constexpr int kLockLayers = 0x5C2;
inline constexpr int kDestinationIp = 0x5C1;
inline constexpr int kEncoderResolution = 0x5C4;
inline constexpr int kTopButtons = 0x5C5;
inline constexpr int kWorkOffline = 0x5C6;  // the connection page's Work Offline
}  // namespace request

// Sub-codes of UM_PROJECT_FILE and UM_LAYER_WINDOW.
inline constexpr int kProjectOpen = 0x5B7;
inline constexpr int kProjectSave = 0x5B8;
inline constexpr int kProjectSaveAs = 0x5B9;  // saved, and the current project from then on
inline constexpr int kPlaceLayerWindow = 0x5AB;
inline constexpr int kSelectOutputLayer = 0x5AC;

}  // namespace orv
