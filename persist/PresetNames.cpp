#include "PresetNames.h"

#include <cstdio>

#include "DeviceState.h"
#include "Ini.h"

namespace orv {
namespace {

bool ValidPreset(int group, int index) {
  return group >= 0 && group < kPresetGroups && index >= 0 && index < kPresetsPerGroup;
}

bool ValidInput(int input) {
  return input >= 0 && input < kRemarkInputs;
}

std::string PresetSection(int group, int index) {
  char section[32];
  std::snprintf(section, sizeof section, "PRESET%d-%d", group, index);
  return section;
}

std::string RemarkSection(int input) {
  char section[32];
  std::snprintf(section, sizeof section, "InPutSrcRemark-%d", input);
  return section;
}

void SetInputLabel(int input, std::string_view text) {
  auto state = State();
  state->INPUT_TABLE[input].label = text;
}

}  // namespace

PresetNames::PresetNames() {
  for (int g = 0; g < kPresetGroups; ++g) {
    for (int i = 0; i < kPresetsPerGroup; ++i) names_[g][i] = BuiltInName(g, i);
  }
}

std::string PresetNames::BuiltInName(int group, int index) {
  char name[32];
  std::snprintf(name, sizeof name, "%d-%d", group, index);
  return name;
}

void PresetNames::Load(const std::string& settingsPath) {
  for (int g = 0; g < kPresetGroups; ++g) {
    for (int i = 0; i < kPresetsPerGroup; ++i) {
      names_[g][i] = BuiltInName(g, i);
      std::string stored = ReadSetting(PresetSection(g, i), "PNAMESTR", settingsPath);
      if (!stored.empty()) names_[g][i] = std::move(stored);
    }
  }
}

const std::string& PresetNames::Name(int group, int index) const {
  static const std::string empty;
  return ValidPreset(group, index) ? names_[group][index] : empty;
}

void PresetNames::Store(int group, int index, std::string_view text,
                        const std::string& settingsPath) {
  if (!ValidPreset(group, index)) return;
  names_[group][index] = text;
  WriteProfileString(PresetSection(group, index), "PNAMESTR", text, settingsPath);
}

void InputRemarks::Load(const std::string& settingsPath) {
  for (int n = 0; n < kRemarkInputs; ++n) {
    std::string stored = ReadSetting(RemarkSection(n), "REMARKSTR", settingsPath);
    if (stored.empty()) continue;
    SetInputLabel(n, stored);
    remarks_[n] = std::move(stored);
  }
}

const std::string& InputRemarks::Remark(int input) const {
  static const std::string empty;
  return ValidInput(input) ? remarks_[input] : empty;
}

void InputRemarks::Store(int input, std::string_view text, const std::string& settingsPath) {
  if (!ValidInput(input)) return;
  remarks_[input] = text;
  SetInputLabel(input, text);
  WriteProfileString(RemarkSection(input), "REMARKSTR", text, settingsPath);
}

void RenameSession::BeginPreset(int index) {
  if (index < 0 || index >= kPresetsPerGroup) return;
  target_ = Target::kPreset;
  index_ = index;
}

void RenameSession::BeginRemark(int input) {
  if (!ValidInput(input)) return;
  target_ = Target::kRemark;
  index_ = input;
}

void RenameSession::Cancel() {
  target_ = Target::kNone;
  index_ = -1;
}

RenameSession::Renamed RenameSession::Commit(std::string_view text, int group, PresetNames& presets,
                                             InputRemarks& remarks,
                                             const std::string& settingsPath) {
  const Renamed renamed{target_, index_};
  if (target_ == Target::kRemark) {
    remarks.Store(index_, text, settingsPath);
  } else if (target_ == Target::kPreset) {
    presets.Store(group, index_, text, settingsPath);
  }
  Cancel();
  return renamed;
}

}  // namespace orv
