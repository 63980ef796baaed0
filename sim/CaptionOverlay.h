#pragma once
// The captions over the composed preview. A caption that is on, holds a
// picture and is shown on output 1 or 2 scrolls through its display area
// (horizontal and vertical start, display width, the picture's height, in
// output pixels) in every quadrant that holds an output: all four in mode 0
// (each quadrant is output 1 as its layer sees it), the program quadrant in
// mode 1, the two program quadrants in mode 2. Set bits are drawn in the text
// colour; the rest of the area is the background colour (opaque), half of it
// (translucent) or left alone (transparent).
#include <cstdint>
#include <span>

#include "CaptionPeer.h"
#include "H264Encoder.h"
#include "ParamBlock.h"

namespace orv::sim {

// Output pixels a caption moves per second at speeds 0 (frozen) .. 3.
inline constexpr int kCaptionSpeedPixelsPerSecond[4] = {0, 120, 240, 480};

// Where the picture's left edge lies in its display area of `displayWidth`
// at `elapsedMs`: scrolling left it enters at the right edge and leaves at
// the left, scrolling right the other way; frozen it stays at 0.
int CaptionScrollX(int pictureWidth, int displayWidth, int speed, int direction, int64_t elapsedMs);

void DrawCaptions(std::span<const CaptionView> captions, const ParamBlock& image, int64_t elapsedMs,
                  YuvImage& picture);

}  // namespace orv::sim
