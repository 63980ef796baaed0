#pragma once
// Numbers of the private window messages. The skinned controls notify their
// parent with the first three; the rest go to or come from the main window.
#include <cstdint>

namespace orv {

enum MessageId : uint32_t {
  UM_LIST_SELECT = 0x466,       // drop list choice: wParam list id, lParam entry index
  UM_PREVIEW_RESET = 0x4A0,     // renderer of the video preview was reset
  UM_VALUE_COMMITTED = 0x4A1,   // numeric edit committed: wParam control id
  UM_PAGE_CLOSED = 0x5A1,       // a page closed itself by its close button
  UM_PAGE_REQUEST = 0x5A4,      // wParam sub-code 0x5A2..0x5C5, lParam argument
  UM_LAYER_INPUT = 0x5A5,       // wParam layer, lParam 1 = also send
  UM_LAYER_WINDOW = 0x5A6,      // wParam 0x5AB or 0x5AC, lParam layer
  UM_PVW_MODE_CHANGED = 0x5A8,  // to the main page
  UM_OUTPUT_CHANGED = 0x5AD,
  UM_LAYER_SELECTED = 0x5AE,  // wParam layer
  UM_TEST_PATTERN_REFRESH = 0x5AF,
  UM_LOGO_LAYER = 0x5B0,
  UM_WAIT = 0x5B1,          // wParam 1 show / 0 hide; data = the text
  UM_LANGUAGE = 0x5B3,      // wParam 0 English, 1 Chinese
  UM_PROJECT_FILE = 0x5B6,  // wParam 0x5B7 open / 0x5B8 save; data = the path
  UM_LOCK_LAYERS = 0x5C2,   // lParam 0 unlock, else lock
  UM_CELL_MOVED = 0x658,
  UM_CELL_ACTIVATED = 0x65B,
  UM_SHOW_TOP_BUTTONS = 0x65D,
  UM_EDIT_KEY = 0x720,  // inline edit: wParam key code 13 or 27, lParam control id
};

}  // namespace orv
