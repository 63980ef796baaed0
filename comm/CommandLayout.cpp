#include "CommandLayout.h"

#include <array>

namespace orv::wire {

namespace {

struct CommandRow {
  uint8_t length;
  const char* name;
};

// Row n belongs to command type n. Lengths follow the payload each type
// fills: a type that fills bytes 0..k-1 carries k bytes.
constexpr std::array<CommandRow, 74> kCommands = {{
    {0, "GET_ALL"},              // 0
    {2, "PRESET"},               // 1
    {22, "SET_OUTPUT_TIMING"},   // 2
    {16, "SET_PICTURE"},         // 3
    {11, "SET_LAYER_WINDOW"},    // 4
    {11, "SET_CROP"},            // 5
    {30, "SET_MOSAIC"},          // 6
    {3, "SET_LAYER_INPUT"},      // 7
    {3, "SET_LAYER_ONOFF"},      // 8
    {15, "SET_LOGO"},            // 9
    {12, "SET_EDID"},            // 10
    {32, "SET_KEYER"},           // 11
    {1, "SET_TEST_PATTERN"},     // 12
    {5, "SET_PIXEL_GRAB"},       // 13
    {22, "SET_VGA_ADJUST"},      // 14
    {1, "SET_PVW_MODE"},         // 15
    {1, "SET_TRANSITION_TIME"},  // 16
    {11, "SET_TASK"},            // 17
    {1, "SET_LOOP_OUT"},         // 18
    {0, "FACTORY_RESET"},        // 19
    {1, "TAKE"},                 // 20
    {2, "SET_SYNC"},             // 21
    {0, "WRITE_ALL"},            // 22: the image travels as a block frame
    {10, "CAPTION_A"},           // 23
    {10, "CAPTION_B"},           // 24
    {9, "SET_VIDEO_ENCODER"},    // 25
    {0, nullptr},
    {0, nullptr},
    {0, nullptr},
    {0, nullptr},
    {0, nullptr},
    {0, nullptr},          // 26..31
    {18, "ARGS18"},        // 32
    {2, "SIGNAL_SWITCH"},  // 33
    {2, "MEDIA"},          // 34
    {10, "SET_FEATHER"},   // 35
    {1, "FREEZE"},         // 36
    {0, nullptr},
    {0, nullptr},
    {0, nullptr},
    {0, nullptr},
    {0, nullptr},
    {0, nullptr},  // 37..42
    {0, nullptr},
    {0, nullptr},
    {0, nullptr},
    {0, nullptr},
    {0, nullptr},               // 43..47
    {1, "GET_INPUT_TIMING"},    // 48
    {1, "GET_VGA_ADJUST"},      // 49
    {1, "GET_EDID"},            // 50
    {1, "GET_TASKS"},           // 51
    {1, "GET_PICTURE"},         // 52
    {0, nullptr},               // 53
    {1, "GET_LAYER_WINDOW"},    // 54
    {1, "QUERY55"},             // 55
    {1, "GET_CROP"},            // 56
    {0, "GET_MOSAIC"},          // 57
    {0, "GET_LOGO"},            // 58
    {1, "GET_KEYER"},           // 59
    {0, "GET_LAYERS"},          // 60
    {0, nullptr},               // 61
    {0, "QUERY62"},             // 62
    {0, "GET_PVW_MODE"},        // 63
    {0, nullptr},               // 64
    {0, "QUERY65"},             // 65
    {1, "VIDEO_ENCODER_CTRL"},  // 66
    {0, "QUERY67"},             // 67
    {0, "QUERY68"},             // 68
    {1, "SEARCH"},              // 69
    {1, "GET_CAPTION"},         // 70
    {32, "ARGS32"},             // 71
    {32, "ARGS32"},             // 72
    {0, "QUERY73"},             // 73
}};

}  // namespace

std::size_t CommandWireLength(uint16_t type) {
  return type < kCommands.size() ? kCommands[type].length : 32;
}

const char* CommandName(uint16_t type) {
  return type < kCommands.size() ? kCommands[type].name : nullptr;
}

}  // namespace orv::wire
