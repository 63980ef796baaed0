#pragma once
// The one process-wide copy of everything known about the connected processor:
// the device's parameter image followed by host-side status fields and the
// tables that give names to codes.
//
// Threads: the record is touched from the user-interface thread and from the
// communication library's reply thread. It is reached only through State(),
// which returns a guard holding the record's one (recursive) lock for as long
// as the guard lives. Lock order: the state lock is taken before the send lock
// (SendCommand takes both in that order), so sending while holding a guard is
// safe. Never sleep or wait on another thread while holding a guard.
#include <array>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>

#include "ParamBlock.h"

namespace orv {

struct CodeName {
  int32_t code;
  std::string name;
};

struct InputEntry {
  int32_t code;     // starts as the index; the EDID page keeps its list position here
  int32_t enabled;  // the input can be chosen
  int32_t first;    // 1 for entry 0 only
  std::string name;
  std::string label;  // the operator's remark; starts as a copy of name
};

struct ResoEntry {
  uint16_t width;
  uint16_t height;
  uint16_t refresh;  // hundredths of a hertz
  std::string name;
};

struct SysInfo {
  uint8_t reserved0;
  uint8_t gap1;
  uint16_t VOLTAGE;  // hundredths of a volt
  char MODEL_TAG[4];
  uint16_t VERSION[3];
  uint16_t VERSION2;
  uint8_t VERSION2_VALID;
  uint8_t reserved17;
};
// Reply data type 19 is copied over this record byte for byte.
static_assert(sizeof(SysInfo) == 18);
static_assert(offsetof(SysInfo, VOLTAGE) == 2 && offsetof(SysInfo, MODEL_TAG) == 4 &&
              offsetof(SysInfo, VERSION) == 8 && offsetof(SysInfo, VERSION2) == 14 &&
              offsetof(SysInfo, VERSION2_VALID) == 16);

struct VgaAdjust {
  uint8_t ADJ_TARGET;
  int32_t V1;                       // sampling clock
  int32_t V2;                       // phase
  int8_t B1;                        // horizontal position
  int8_t B2;                        // vertical position
  uint16_t W1, W2, W3, W4, W5, W6;  // red offset/gain, green, blue
};

struct PictureDefaultUser {
  uint8_t reserved0;
  uint8_t BRIGHTLEVEL;
  uint8_t gap2[2];
  float GAMMA;
  uint8_t reserved8;
  uint8_t BRIGHTNESS;
  uint8_t CONTRAST;
  uint8_t SATURATION;
  uint8_t SHARPNESS;
  uint8_t HUE;
  uint8_t COLORTEMP;
  uint8_t COLORRED;
  uint8_t COLORGREEN;
  uint8_t COLORBLUE;
};

struct CustomReso {
  uint8_t index;
  uint8_t b1;
  uint8_t b2;
  uint8_t b3;
  uint16_t values[8];
};

struct LayerDefault {
  uint8_t flag;
  int32_t FULLSCREEN_REQ;
  uint16_t x, y, w, h;
};

struct CropHost {
  int32_t onoff;
  uint16_t x, y, w, h;
};

struct PipDefault {
  int32_t enabled;
  uint16_t alpha;
  uint8_t input;
};

// Picture bytes of one preset picture mode, in the order of the picture page.
struct PictureDefault {
  uint8_t brightLevel, gamma, brightness, contrast, saturation, hue, sharpness, red, green, blue;
};

struct DeviceState {
  DeviceState();

  // How many records this process has built; the accessor builds exactly one.
  static int ConstructionCount();

  ParamBlock block{};

  uint16_t PIXEL_GRAB[3]{};
  SysInfo SYSINFO{};
  VgaAdjust VGA{};
  uint8_t DEVICE_CLOCK[6]{};
  uint8_t CAPTION_INFO[4][32]{};
  uint8_t LOGO_EDIT_ID = 0;
  uint8_t EVENT_KIND = 0;
  uint8_t EVENT_ARG1 = 0;
  uint8_t EVENT_ARG2 = 0;
  uint8_t VENC_INFO[10]{};
  uint32_t EVENT_VALUE = 0;
  int32_t EVENT_WORD = 0;
  uint8_t EVENT_BYTE = 0;
  uint8_t SWITCH_MODE = 0;
  uint8_t REPLY1_FLAG = 0;
  uint8_t CMPBOARD_PENDING = 0;
  // 1 once a parameter image came from the device itself (a project never
  // sets it): until then the EDID slots name no input reliably.
  uint8_t IMAGE_FROM_DEVICE = 0;
  std::string DEVICE_IP;
  uint8_t DEVICE_MAC[6]{};
  uint8_t PRESET_FLAGS[kPresets]{};
  uint8_t MAIN_LOGO_FLAG = 0;
  uint8_t NET_MODE = 1;
  int32_t LAST_TIMING_INPUT = 0;
  int32_t PICSET_FLAG[kLayers]{};
  int32_t FEATHER[9]{};
  int32_t REPLY_KIND = 0;
  uint8_t REPLY_ADDR = 0;
  std::array<CodeName, 13> SYNCLOCK_TABLE;
  std::array<CodeName, 3> SYNCMODE_TABLE;
  PictureDefault PICDEFAULT[7]{};
  int32_t PICSET_BYTE15 = 0;
  int32_t PICSET_BYTE0 = 1;
  PictureDefaultUser PICDEFAULT_USER{};
  std::array<InputEntry, kInputCodes> INPUT_TABLE;
  CustomReso CUSTOM_RESO{};
  uint8_t OUTPUT_DETAIL = 0;
  std::array<ResoEntry, 19> RESO_TABLE;
  uint8_t PICDEFAULT_GRID[32][10]{};
  std::array<std::string, 9> COLORTEMP_TABLE;
  LayerDefault LAYER_DEFAULT[kLayers]{};
  CropHost CROP_HOST[8][kLayers]{};
  int32_t MOSAIC_H1 = 0;
  uint8_t MOSAIC_COLS = 2;
  uint8_t MOSAIC_ROWS = 4;
  uint8_t MOSAIC_BYTE2 = 5;
  int32_t MOSAIC_BYTE28 = 0;
  uint8_t MOSAIC_FLAG = 1;
  int32_t MOSAIC_HOSTGEOM[6][4]{};
  PipDefault PIP_DEFAULT[3]{};
  uint16_t TESTPATTERN_ARGS[2]{};
  uint16_t LOGO_HOSTPOS[4][4]{};  // [x, y, w, h][logo id]
  uint8_t TESTPATTERN_ID = 0;
  uint8_t ACTIVE_LAYER = 0;

  // Bounded lookups: an input code from a reply or a hand-edited project may
  // be anything, and must never index a table out of bounds.
  static bool ValidInputCode(int code) { return code >= 0 && code < kInputCodes; }
  static bool ValidLayer(int layer) { return layer >= 0 && layer < kLayers; }
  InputEntry& InputEntryOf(int code);      // entry 0 for a code outside 0..11
  PicSet& PicSetOf(int group, int layer);  // clamps group to 0..11, layer to 0..3
  Crop& CropOf(int group, int layer);
};

// Holds the record's lock for its lifetime and gives access to the record.
class StateGuard {
 public:
  StateGuard(DeviceState& state, std::recursive_mutex& mutex) : state_(state), lock_(mutex) {}
  DeviceState* operator->() const { return &state_; }
  DeviceState& operator*() const { return state_; }

 private:
  DeviceState& state_;
  std::unique_lock<std::recursive_mutex> lock_;
};

// The global accessor. The first call constructs the record (thread-safe).
StateGuard State();

// The device address byte passed with every send: 110 at start, 0xFF while
// searching, else the last number of the chosen machine's IPv4 address.
uint8_t DeviceAddress();
void SetDeviceAddress(uint8_t address);

// Storage group 0..11 of a layer's current source (picture and crop tables).
int InputGroupOfLayer(const DeviceState& state, int layer);
// The same from a parameter image alone, for code that holds no DeviceState.
int InputGroupOfLayer(const ParamBlock& block, int layer);
// EDID slot of an input code: the code for 0..5, code - 1 above 5 (clamped to 0..6).
int EdidSlotOfInput(int code);
// The two-digit value by which SET_LAYER_INPUT names an input.
int WireInputPair(int code);

}  // namespace orv
