#include "DeviceState.h"

#include <algorithm>
#include <atomic>
#include <cstring>

namespace orv {

namespace {

struct InputRow {
  const char* name;
  int32_t enabled;
};

constexpr InputRow kInputRows[kInputCodes] = {
    {" DVI-1 ", 1}, {" HDMI-1 ", 1}, {" DVI-2 ", 1}, {" HDMI-2 ", 1},
    {" DP-1 ", 1},  {" SDI-1 ", 1},  {" EXT-1 ", 0}, {" EXT-2 ", 0},
    {" DP1-L ", 0}, {" DP1-R ", 0},  {" DP2-L ", 0}, {" DP2-R ", 0},
};

constexpr const char* kSyncLockNames[13] = {
    " Free Run",      " Lock To Main Input", " Lock To GenLock", " Lock To DVI1", " Lock To DVI2",
    " Lock To HDMI1", " Lock To HDMI2",      " Lock To DP1",     " Lock To DVI3", " Lock To DVI4",
    " Lock To HDMI3", " Lock To HDMI4",      " Lock To DP2",
};

constexpr const char* kSyncModeNames[3] = {" Auto", " Mode 1", " Mode 2"};

struct ResoRow {
  uint16_t width, height, refresh;
  const char* name;
};

constexpr ResoRow kResoRows[19] = {
    {1024, 768, 6000, "1024 x 768      60Hz"},   {1280, 1024, 6000, "1280 x 1024    60Hz"},
    {1024, 768, 12000, "1024 x 768      120Hz"}, {1280, 720, 5994, "1280 x 720    59.94Hz"},
    {1280, 720, 6000, "1280 x 720      60Hz"},   {1440, 900, 6000, "1440 x 900      60Hz"},
    {1600, 1200, 6000, "1600 x 1200    60Hz"},   {1600, 1200, 6000, "1600 x 1200 60Hz Redc."},
    {1680, 1050, 6000, "1680 x 1050    60Hz"},   {1920, 1080, 5994, "1920 x 1080    59.94Hz"},
    {1920, 1080, 6000, "1920 x 1080    60Hz"},   {1920, 1080, 5000, "1920 x 1080    50Hz"},
    {2176, 1168, 6000, "2176 x 1168    60Hz"},   {1920, 1200, 6000, "1920 x 1200    60Hz"},
    {1936, 1280, 6000, "1936 x 1280    60Hz"},   {2048, 1152, 6000, "2048 x 1152    60Hz"},
    {1024, 1280, 6000, "1024 x 1280    60Hz"},   {1536, 1536, 6000, "1536 x 1536    60Hz"},
    {1024, 768, 6000, "Customized  Resolution"},
};

constexpr const char* kColorTempNames[9] = {" 4000K ", " 5000K ",  " 6500K ",  " 7500K ", " 8200K ",
                                            " 9300K ", " 10000K ", " 11500K ", " User "};

constexpr PictureDefault kPictureDefaults[7] = {
    {17, 0, 50, 50, 50, 50, 12, 128, 128, 128}, {8, 0, 50, 50, 50, 50, 12, 128, 128, 128},
    {8, 8, 50, 50, 50, 50, 12, 128, 128, 128},  {8, 15, 50, 50, 50, 50, 12, 128, 128, 128},
    {17, 0, 48, 52, 55, 50, 12, 128, 128, 128}, {17, 0, 48, 52, 45, 50, 12, 128, 128, 128},
    {17, 0, 50, 50, 0, 50, 12, 128, 128, 128},
};

constexpr uint8_t kPictureGridRow[10] = {0x00, 0x00, 0x32, 0x32, 0x32,
                                         0x32, 0x32, 0x80, 0x80, 0x80};

std::recursive_mutex& StateMutex() {
  static std::recursive_mutex mutex;
  return mutex;
}

std::atomic<uint8_t> g_deviceAddress{110};
std::atomic<int> g_constructions{0};

}  // namespace

int DeviceState::ConstructionCount() {
  return g_constructions.load();
}

DeviceState::DeviceState() {
  g_constructions.fetch_add(1);
  for (int i = 0; i < 13; ++i) SYNCLOCK_TABLE[i] = {i, kSyncLockNames[i]};
  for (int i = 0; i < 3; ++i) SYNCMODE_TABLE[i] = {i, kSyncModeNames[i]};
  std::copy(std::begin(kPictureDefaults), std::end(kPictureDefaults), PICDEFAULT);

  PICDEFAULT_USER.BRIGHTLEVEL = 17;
  PICDEFAULT_USER.GAMMA = 0.0f;
  PICDEFAULT_USER.BRIGHTNESS = 50;
  PICDEFAULT_USER.CONTRAST = 50;
  PICDEFAULT_USER.SATURATION = 50;
  PICDEFAULT_USER.SHARPNESS = 12;
  PICDEFAULT_USER.HUE = 50;
  PICDEFAULT_USER.COLORTEMP = 8;
  PICDEFAULT_USER.COLORRED = 128;
  PICDEFAULT_USER.COLORGREEN = 128;
  PICDEFAULT_USER.COLORBLUE = 128;

  for (int i = 0; i < kInputCodes; ++i) {
    INPUT_TABLE[i] = {i, kInputRows[i].enabled, i == 0 ? 1 : 0, kInputRows[i].name,
                      kInputRows[i].name};
  }

  CUSTOM_RESO = {18, 0x70, 0, 0, {1024, 1024, 1024, 0, 768, 768, 768, 0}};

  for (int i = 0; i < 19; ++i) {
    RESO_TABLE[i] = {kResoRows[i].width, kResoRows[i].height, kResoRows[i].refresh,
                     kResoRows[i].name};
  }
  for (auto& row : PICDEFAULT_GRID) std::memcpy(row, kPictureGridRow, sizeof row);
  for (int i = 0; i < 9; ++i) COLORTEMP_TABLE[i] = kColorTempNames[i];

  for (int i = 0; i < kLayers; ++i) {
    LAYER_DEFAULT[i] = {
        0, 0, static_cast<uint16_t>((i % 2) * 480), static_cast<uint16_t>((i / 2) * 320), 480, 320};
  }
  for (auto& group : CROP_HOST) {
    for (auto& crop : group) crop = {0, 0, 0, 32, 32};
  }
  // Six edits per cell: x, y, w, h, total w, total h start as 0, 0, 32, 32, 32, 32.
  constexpr int32_t kMosaicStart[6] = {0, 0, 32, 32, 32, 32};
  for (int e = 0; e < 6; ++e) {
    for (int c = 0; c < 4; ++c) MOSAIC_HOSTGEOM[e][c] = kMosaicStart[e];
  }
  for (int p = 0; p < 3; ++p) PIP_DEFAULT[p] = {0, 64, static_cast<uint8_t>(p + 1)};
}

InputEntry& DeviceState::InputEntryOf(int code) {
  return INPUT_TABLE[ValidInputCode(code) ? code : 0];
}

PicSet& DeviceState::PicSetOf(int group, int layer) {
  return block.PICSET[GroupLayerIndex(std::clamp(group, 0, kInputGroups - 1),
                                      std::clamp(layer, 0, kLayers - 1))];
}

Crop& DeviceState::CropOf(int group, int layer) {
  return block.CROP[GroupLayerIndex(std::clamp(group, 0, kInputGroups - 1),
                                    std::clamp(layer, 0, kLayers - 1))];
}

StateGuard State() {
  static DeviceState state;  // constructed once, thread-safe
  return StateGuard(state, StateMutex());
}

uint8_t DeviceAddress() {
  return g_deviceAddress.load();
}
void SetDeviceAddress(uint8_t address) {
  g_deviceAddress.store(address);
}

int InputGroupOfLayer(const DeviceState& state, int layer) {
  return InputGroupOfLayer(state.block, layer);
}

int InputGroupOfLayer(const ParamBlock& block, int layer) {
  if (!DeviceState::ValidLayer(layer)) return 0;
  const int c = block.CHNLDATA[layer].CHNLINPUT;
  const int s6 = block.INPUTINFO.INPUTSRC[6];
  const bool board = block.COMPOSITEBOARD.CMPBOARDEXIST != 0;
  const int src = block.COMPOSITEBOARD.CMPBOARDACTNOSRC;
  auto boardGroup = [src](int source0, int source1) {
    return src == 0 ? source0 : (src == 1 ? source1 : 0);
  };
  if (c <= 5 || c == 7) return c;
  switch (c) {
    case 6:
      return (s6 == 6 && board) ? boardGroup(10, 6) : 6;
    case 8:
      return 4;
    case 9:
      return 8;
    case 10:
      if (s6 == 8) return 6;
      if (s6 == 6) return board ? boardGroup(10, 6) : 6;
      return 0;
    case 11:
      if (s6 != 6) return 9;
      return board ? boardGroup(11, 9) : 0;
    default:
      return 0;  // unknown input code: a safe group rather than an out-of-range one
  }
}

int EdidSlotOfInput(int code) {
  const int slot = code <= 5 ? code : code - 1;
  return std::clamp(slot, 0, kEdidSlots - 1);
}

int WireInputPair(int code) {
  // Physical slots are named by tens; the halves of a split DP input by the
  // DP port's tens plus 0 (left) or 1 (right).
  constexpr int kWirePairs[kInputCodes] = {0, 10, 20, 30, 40, 50, 60, 70, 40, 41, 60, 61};
  return DeviceState::ValidInputCode(code) ? kWirePairs[code] : 0;
}

}  // namespace orv
