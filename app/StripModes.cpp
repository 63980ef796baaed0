#include "StripModes.h"

namespace orv::strip {

namespace {

ModeControls PlainMode(int mosaicMode) {
  ModeControls c;
  for (std::size_t i = 0; i < 4; ++i) {
    c.pgm[i] = {true, i != 0, std::nullopt, false};
    c.pvw[i] = {false, true, std::nullopt, false};
  }
  c.pgm[0].checked = true;
  c.logoPage = mosaicMode != 5;
  c.lockOutputVisible = LockOutputVisible(0, mosaicMode);
  return c;
}

ModeControls ProgramPreview(const std::array<bool, 4>& onProgram,
                            const std::array<bool, 4>& onPreview) {
  ModeControls c;
  for (std::size_t i = 0; i < 4; ++i) {
    const bool shown = i >= 2;
    c.pgm[i] = {shown, !onProgram[i], onProgram[i], false};
    c.pvw[i] = {shown, !onProgram[i], onPreview[i], onProgram[i]};
  }
  c.takeVisible = true;
  c.lockOutputAreas = true;
  c.mosaicPage = false;
  c.testPattern = false;
  c.hideCaptionPage = true;
  return c;
}

ModeControls DualProgramPreview() {
  ModeControls c;
  for (std::size_t i = 0; i < 4; ++i) {
    c.pgm[i] = {false, false, std::nullopt, false};
    c.pvw[i] = {false, true, std::nullopt, false};
  }
  c.takeVisible = true;
  c.lockOutputAreas = true;
  c.mosaicPage = false;
  c.pipPage = false;
  c.logoPage = false;
  c.testPattern = false;
  c.hideCaptionPage = true;
  return c;
}

}  // namespace

ModeControls ModeControlsFor(int mode, const std::array<bool, 4>& onProgram,
                             const std::array<bool, 4>& onPreview, int mosaicMode) {
  if (mode == 1) return ProgramPreview(onProgram, onPreview);
  if (mode == 2) return DualProgramPreview();
  return PlainMode(mosaicMode);
}

bool LockOutputVisible(int mode, int mosaicMode) {
  const bool programPreview = mode == 1 || mode == 2;
  return !programPreview && mosaicMode != 0;
}

PresetLook PresetLookFor(bool presetsMode, int flag) {
  if (!presetsMode) return {true, 0};
  return {flag == 1, flag == 2 ? 255 : 0};
}

}  // namespace orv::strip
