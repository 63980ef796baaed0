#pragma once
// Canvas pixels <-> device pixels. Canvas to device works in double
// precision, device to canvas in single precision; both round half up and
// treat a coordinate of 1 or less as 0, so that a window at the very edge of
// an output does not sit one pixel off.
#include <optional>

#include "CanvasRect.h"

namespace orv::canvas {

// Nothing when the scale pair is not a positive finite pair.
std::optional<Rect> CanvasToDevice(const Rect& canvas, ScalePair scale);
// `client` is the canvas's client rectangle: a right or bottom edge within
// one pixel of its edge, or beyond it, ends on it. Nothing for an invalid
// scale pair or an empty client.
std::optional<Rect> DeviceToCanvas(const Rect& device, ScalePair scale, const Rect& client);

}  // namespace orv::canvas
