#pragma once
// Where each layer's picture sits in the preview frame, and the preview frame
// size for each encoder resolution code. Pure arithmetic on the device state
// record: no Qt, no SDL.
#include <optional>

#include "DeviceState.h"

namespace orv::preview {

struct FrameSize {
  int width = 352;
  int height = 240;
  bool operator==(const FrameSize&) const = default;
};

struct PixelRect {
  int x = 0, y = 0, width = 0, height = 0;
  bool operator==(const PixelRect&) const = default;
};

// The preview frame size of an encoder resolution code; none for a code the
// encoder does not have (the caller then changes nothing).
std::optional<FrameSize> FrameSizeOfCode(int resolutionCode);

// Quadrant q of a W x H frame: W/2 x H/2 starting at ((q mod 2) W/2, q < 2 ? 0 : H/2).
PixelRect Quadrant(int q, FrameSize frame);

// The quadrant that carries `layer` in the current preview mode; none when
// the crop is to stay as it was (mode 2, layer neither on program nor preview).
std::optional<int> QuadrantOfLayer(const DeviceState& state, int layer);

// The part of the frame that shows `layer` (its window on the output, mapped
// into its quadrant); none when the crop is to stay as it was. An output size
// of 0 maps the layer to its whole quadrant instead of dividing by zero.
std::optional<PixelRect> LayerCrop(const DeviceState& state, int layer, FrameSize frame);

}  // namespace orv::preview
