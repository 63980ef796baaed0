#include "ShowState.h"

#include "DeviceState.h"

namespace orv::remote {

namespace {

// Inputs 8..11 are halves of the split DP ports in slots 4 and 6.
int PhysicalSlot(int code) {
  if (code < kInputSlots) return code;
  return code < 10 ? 4 : 6;
}

// The device pads its names with blanks; clients get the names alone.
std::string WithoutPadding(const std::string& text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

ShowState ReadShowState(const DeviceState& s) {
  ShowState out;
  out.device = s.DEVICE_IP;
  out.pvwMode = s.block.PVWMODEINFO.PVWMODE;
  out.testPattern = s.TESTPATTERN_ID;
  for (int code = 0; code < kInputCodes; ++code) {
    const InputEntry& entry = s.INPUT_TABLE[static_cast<std::size_t>(code)];
    InputStatus& in = out.inputs[static_cast<std::size_t>(code)];
    in.present = entry.enabled != 0;
    in.name = WithoutPadding(entry.name);
    const std::string label = WithoutPadding(entry.label);
    in.remark = label != in.name ? label : std::string();
    const int slot = PhysicalSlot(code);
    in.signal = s.block.INPUTINFO.INPUTSTATE[slot] != 0;
    if (in.signal) {
      const InputReso& r = s.block.INPUTINFO.INPUTRESO[slot];
      in.width = r.INPUTRESOHACT;
      in.height = r.INPUTRESOVACT;
      in.hundredthsHz = r.INPUTRESOFPS;
      in.interlaced = r.INPUTRESOILE != 0;
    }
  }
  for (int l = 0; l < kLayers; ++l) {
    const ChannelData& ch = s.block.CHNLDATA[l];
    LayerStatus& layer = out.layers[static_cast<std::size_t>(l)];
    layer.input = ch.CHNLINPUT;
    layer.x = ch.HPOS;
    layer.y = ch.VPOS;
    layer.width = ch.HACT;
    layer.height = ch.VACT;
    layer.on = ch.CHNLONOFF != 0;
    layer.program = s.block.PVWMODEINFO.PGMSTATE[l] != 0;
    layer.preview = s.block.PVWMODEINFO.PVWSTATE[l] != 0;
  }
  for (int p = 0; p < kPresets; ++p)
    out.presets[static_cast<std::size_t>(p)].flag = s.PRESET_FLAGS[p];
  // The main layer is always on.
  out.layers[0].on = true;
  return out;
}

Json ToJson(const InputStatus& in, int code) {
  Json j = Json::MakeObject();
  j.Set("input", code);
  j.Set("present", in.present);
  j.Set("name", in.name);
  j.Set("remark", in.remark);
  j.Set("signal", in.signal);
  if (in.signal) {
    Json timing = Json::MakeObject();
    timing.Set("width", in.width);
    timing.Set("height", in.height);
    timing.Set("hz", in.hundredthsHz / 100.0);
    timing.Set("interlaced", in.interlaced);
    j.Set("timing", std::move(timing));
  } else {
    j.Set("timing", nullptr);
  }
  return j;
}

Json ToJson(const LayerStatus& layer, int index) {
  Json j = Json::MakeObject();
  j.Set("layer", index);
  j.Set("input", layer.input);
  Json window = Json::MakeObject();
  window.Set("x", layer.x);
  window.Set("y", layer.y);
  window.Set("w", layer.width);
  window.Set("h", layer.height);
  j.Set("window", std::move(window));
  j.Set("on", layer.on);
  j.Set("program", layer.program);
  j.Set("preview", layer.preview);
  return j;
}

Json ToJson(const PresetStatus& preset, int number) {
  Json j = Json::MakeObject();
  j.Set("preset", number);
  j.Set("name", preset.name);
  j.Set("flag", preset.flag);
  return j;
}

Json ToJson(const ShowState& state) {
  Json j = Json::MakeObject();
  j.Set("connected", state.connected);
  j.Set("device", state.device);
  j.Set("link", state.link);
  j.Set("pvwmode", state.pvwMode);
  j.Set("freeze", state.freeze ? Json(*state.freeze) : Json(nullptr));
  j.Set("testpattern", state.testPattern);
  Json inputs = Json::MakeArray();
  for (std::size_t i = 0; i < state.inputs.size(); ++i)
    inputs.Push(ToJson(state.inputs[i], static_cast<int>(i)));
  j.Set("inputs", std::move(inputs));
  Json layers = Json::MakeArray();
  for (std::size_t i = 0; i < state.layers.size(); ++i)
    layers.Push(ToJson(state.layers[i], static_cast<int>(i)));
  j.Set("layers", std::move(layers));
  Json presets = Json::MakeArray();
  for (std::size_t i = 0; i < state.presets.size(); ++i)
    presets.Push(ToJson(state.presets[i], static_cast<int>(i) + 1));
  j.Set("presets", std::move(presets));
  return j;
}

namespace {

Json Event(const char* name, Json body) {
  Json j = Json::MakeObject();
  j.Set("event", name);
  for (const auto& [k, v] : body.AsMembers()) j.Set(k, v);
  return j;
}

Json Single(const char* key, Json value) {
  Json j = Json::MakeObject();
  j.Set(key, std::move(value));
  return j;
}

}  // namespace

std::vector<Json> ChangeEvents(const ShowState& a, const ShowState& b) {
  std::vector<Json> events;
  if (a.connected != b.connected || a.device != b.device) {
    Json body = Json::MakeObject();
    body.Set("connected", b.connected);
    body.Set("device", b.device);
    events.push_back(Event("connection", std::move(body)));
  }
  if (a.link != b.link) events.push_back(Event("link", Single("link", b.link)));
  if (a.pvwMode != b.pvwMode) events.push_back(Event("pvwmode", Single("pvwmode", b.pvwMode)));
  if (a.freeze != b.freeze)
    events.push_back(Event("freeze", Single("freeze", b.freeze ? Json(*b.freeze) : Json())));
  if (a.testPattern != b.testPattern)
    events.push_back(Event("testpattern", Single("testpattern", b.testPattern)));
  for (std::size_t i = 0; i < b.inputs.size(); ++i) {
    if (!(a.inputs[i] == b.inputs[i]))
      events.push_back(Event("input", ToJson(b.inputs[i], static_cast<int>(i))));
  }
  for (std::size_t i = 0; i < b.layers.size(); ++i) {
    if (!(a.layers[i] == b.layers[i]))
      events.push_back(Event("layer", ToJson(b.layers[i], static_cast<int>(i))));
  }
  for (std::size_t i = 0; i < b.presets.size(); ++i) {
    if (!(a.presets[i] == b.presets[i]))
      events.push_back(Event("preset", ToJson(b.presets[i], static_cast<int>(i) + 1)));
  }
  return events;
}

}  // namespace orv::remote
