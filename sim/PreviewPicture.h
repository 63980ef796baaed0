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
// source that fills its window, turned and mirrored by its rotation mode; its
// chroma keyer makes matching pixels transparent; a PIP layer's alpha
// (CHNLALPHA, 0 invisible .. 64 opaque) lets what is below show through.
// While the logo uses PIP-3, layer 3 is the loaded logo at its placement, shown
// only while the logo is on, framed when its border option is set.
// Captions that are on scroll over the outputs they are shown on (CaptionOverlay.h).
// A test pattern (TestPattern.h) replaces every output it is on: all four
// quadrants in mode 0, the program quadrants in modes 1 and 2.
#include <array>
#include <cstdint>
#include <span>

#include "CaptionPeer.h"
#include "H264Encoder.h"
#include "ParamBlock.h"

namespace orv::sim {

struct Rgb {
  uint8_t r, g, b;
};

struct Yuv {
  uint8_t y, u, v;
};

// Studio-range BT.601, the matrix decoders assume for this stream.
Yuv ToYuv(Rgb c);

// The colour that fills input `code` (0..11) away from its text and clock bar.
Rgb InputColour(int code);

// Draws the composed output for the time `elapsedMs` into `picture` (sized by the caller).
void ComposePreview(const ParamBlock& image, int64_t elapsedMs, YuvImage& picture,
                    int testPattern = 0, std::span<const CaptionView> captions = {});

// The colour of pixel (x, y) of the program output (HRESO x VRESO) at time
// `elapsedMs`: the test pattern, else the topmost layer on program whose
// window holds the pixel and whose keyer keeps it, else black. A position
// outside the output reads its nearest pixel.
Rgb OutputPixel(const ParamBlock& image, int testPattern, int64_t elapsedMs, int x, int y);

}  // namespace orv::sim
