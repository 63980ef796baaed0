#pragma once
// What the processor's encoder sees: its composed output. Each input is a
// synthetic source of its own colour with its number in large letters and a
// running clock (so identity and motion show). Each quadrant of the picture
// is one output of HRESO x VRESO scaled to W/2 x H/2:
//   mode 0: quadrant q holds layer q alone at its window;
//   mode 1: quadrant 1 the program output, quadrant 0 the preview output;
//   mode 2: quadrants 2 / 3 the program layers 0, 2 / 1, 3, and
//           quadrants 0 / 1 the preview layers 0, 2 / 1, 3.
// Layers that are off are not drawn. A layer's crop picks the part of its
// source that fills its window; its chroma keyer makes matching pixels transparent;
// a PIP layer's alpha (CHNLALPHA, 0 invisible .. 64 opaque) lets what is below show through.
// While the logo uses PIP-3, layer 3 is the loaded logo at its placement, shown
// only while the logo is on, framed when its border option is set.
#include <array>
#include <cstdint>

#include "H264Encoder.h"
#include "ParamBlock.h"

namespace orv::sim {

struct Rgb {
  uint8_t r, g, b;
};

// The colour that fills input `code` (0..11) away from its text and clock bar.
Rgb InputColour(int code);

// Draws the composed output for the time `elapsedMs` into `picture` (sized by the caller).
void ComposePreview(const ParamBlock& image, int64_t elapsedMs, YuvImage& picture);

}  // namespace orv::sim
