#pragma once
// Which layer buttons and page buttons the program/preview mode allows: one
// plain record per mode, computed from PVWMODE, the program and preview
// states of the four layers and the mosaic mode. The main window applies it
// after a full read-back and after every program/preview report.
#include <array>
#include <optional>

namespace orv::strip {

struct LayerButtonState {
  bool visible = true;
  bool enabled = true;
  std::optional<bool> checked;  // nullopt: left as it is
  bool dark = false;            // drawn as unavailable (preview of a layer on program)
  bool operator==(const LayerButtonState&) const = default;
};

struct ModeControls {
  std::array<LayerButtonState, 4> pgm;
  std::array<LayerButtonState, 4> pvw;
  bool takeVisible = false;
  bool lockOutputVisible = false;  // LockOutputVisible below
  bool lockOutputAreas = false;    // the main page fixes the output areas
  bool mosaicPage = true;
  bool pipPage = true;
  bool logoPage = true;  // also the keyer page and the misc page's "Keyer" tab
  bool testPattern = true;
  bool hideCaptionPage = false;
};

// `mode` values outside 0..2 count as 0.
ModeControls ModeControlsFor(int mode, const std::array<bool, 4>& onProgram,
                             const std::array<bool, 4>& onPreview, int mosaicMode);

// "Lock Output" shows only without program/preview (`mode` 0, or a value
// outside 0..2) and with a mosaic mode other than 0.
bool LockOutputVisible(int mode, int mosaicMode);

// How preset button i looks: valid (its picture, not greyed) and its marker.
// Presets mode: valid when PRESET_FLAGS is 1, marker 255 when it is 2;
// Templates mode: every button valid, no marker.
struct PresetLook {
  bool valid = false;
  int marker = 0;
  bool operator==(const PresetLook&) const = default;
};
PresetLook PresetLookFor(bool presetsMode, int flag);

}  // namespace orv::strip
