#pragma once
// SendCommand: the only way to change or query the device. Builds the command
// payload in the process-wide 32-byte send buffer (prefilled with 0x55) from
// the device state record and hands it to the communication library.
#include <array>
#include <cstdint>
#include <initializer_list>
#include <span>

#include "CommLibrary.h"

namespace orv {

struct DeviceState;

enum CommandType : uint16_t {
  GET_ALL = 0,
  PRESET = 1,
  SET_OUTPUT_TIMING = 2,
  SET_PICTURE = 3,
  SET_LAYER_WINDOW = 4,
  SET_CROP = 5,
  SET_MOSAIC = 6,
  SET_LAYER_INPUT = 7,
  SET_LAYER_ONOFF = 8,
  SET_LOGO = 9,
  SET_EDID = 10,
  SET_KEYER = 11,
  SET_TEST_PATTERN = 12,
  SET_PIXEL_GRAB = 13,
  SET_VGA_ADJUST = 14,
  SET_PVW_MODE = 15,
  SET_TRANSITION_TIME = 16,
  SET_TASK = 17,
  SET_LOOP_OUT = 18,
  FACTORY_RESET = 19,
  TAKE = 20,
  SET_SYNC = 21,
  WRITE_ALL = 22,
  CAPTION_A = 23,
  CAPTION_B = 24,
  SET_VIDEO_ENCODER = 25,
  ARGS18 = 32,
  SIGNAL_SWITCH = 33,
  MEDIA = 34,
  SET_FEATHER = 35,
  FREEZE = 36,
  GET_INPUT_TIMING = 48,
  GET_VGA_ADJUST = 49,
  GET_EDID = 50,
  GET_TASKS = 51,
  GET_PICTURE = 52,
  GET_LAYER_WINDOW = 54,
  QUERY55 = 55,
  GET_CROP = 56,
  GET_MOSAIC = 57,
  GET_LOGO = 58,
  GET_KEYER = 59,
  GET_LAYERS = 60,
  QUERY62 = 62,
  GET_PVW_MODE = 63,
  QUERY65 = 65,
  VIDEO_ENCODER_CTRL = 66,
  QUERY67 = 67,
  QUERY68 = 68,
  SEARCH = 69,
  GET_CAPTION = 70,
  ARGS32_71 = 71,
  ARGS32_72 = 72,
  QUERY73 = 73,
};

// The library every send goes to. Set once at start-up (tests set a fake);
// sends without a library return 0.
void SetCommLibrary(CommLibrary* library);
CommLibrary* GetCommLibrary();

// Up to 32 byte-sized arguments a, b, c ...; missing arguments are 0.
int SendCommandArgs(uint16_t type, std::initializer_list<uint8_t> args);
// The same from a stored list of arguments (the change history's undo).
int SendCommandArgList(uint16_t type, std::span<const uint8_t> args);

// The payload SendCommand would send for `type` from `record` and `args`,
// built by the same fillers. The fillers bring the record's fields into range
// and clear one-shot requests, so pass a copy when the record must stay as it is.
std::array<uint8_t, kCommandBufferSize> FillCommandPayload(
    uint16_t type, DeviceState& record, const std::array<uint8_t, kCommandBufferSize>& args);

template <class... Args>
int SendCommand(uint16_t type, Args... args) {
  static_assert(sizeof...(Args) <= 32, "at most 32 arguments");
  return SendCommandArgs(type, {static_cast<uint8_t>(args)...});
}

}  // namespace orv
