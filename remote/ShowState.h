#pragma once
// What a show-control client sees of the processor: the inputs, the four
// layers, the presets, the program/preview mode, freeze and the test
// pattern, as one plain record taken from the device state record. The
// panel and orvctl both report it in the same JSON shape, and the server
// turns the difference between two of them into change events.
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "Json.h"

namespace orv {
struct DeviceState;
}

namespace orv::remote {

struct InputStatus {
  bool present = false;  // the input can be chosen (INPUT_TABLE enabled)
  std::string name;
  std::string remark;
  bool signal = false;
  int width = 0;
  int height = 0;
  int hundredthsHz = 0;
  bool interlaced = false;
  bool operator==(const InputStatus&) const = default;
};

struct LayerStatus {
  int input = 0;
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool on = false;
  bool program = false;  // PGMSTATE: on program (program/preview modes)
  bool preview = false;  // PVWSTATE
  bool operator==(const LayerStatus&) const = default;
};

struct PresetStatus {
  std::string name;
  int flag = 0;  // 0 empty, 1 holds data, 2 marked
  bool operator==(const PresetStatus&) const = default;
};

struct ShowState {
  bool connected = false;
  std::string device;  // the processor's IPv4 text, empty on a serial line
  // The link watch: "none", "up", "lost" (reconnecting) or "closed" (by the operator).
  std::string link = "none";
  int pvwMode = 0;
  std::optional<bool> freeze;  // nullopt: the processor has not reported it
  int testPattern = 0;         // 0 off
  std::array<InputStatus, 12> inputs{};
  std::array<LayerStatus, 4> layers{};
  std::array<PresetStatus, 10> presets{};
  bool operator==(const ShowState&) const = default;
};

// Takes the record's fields under one guard held by the caller. Preset names
// are left empty (they live in the panel's settings, not in the record);
// `connected` and `freeze` are the caller's to fill.
ShowState ReadShowState(const DeviceState& state);

Json ToJson(const InputStatus& input, int code);
Json ToJson(const LayerStatus& layer, int index);
Json ToJson(const PresetStatus& preset, int number);  // number 1..10
Json ToJson(const ShowState& state);

// One event object per part that differs, in a fixed order: connection,
// mode, freeze, test pattern, inputs, layers, presets.
std::vector<Json> ChangeEvents(const ShowState& before, const ShowState& after);

}  // namespace orv::remote
