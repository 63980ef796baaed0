#pragma once
// The caption page's arithmetic, without widgets: the clamps of its five
// numeric edits against the output and each other, the colour bytes of
// CAPTION_B, and the drag range of the local preview.
#include <cstdint>

namespace orv {

enum class CaptionEdit { HStart, VStart, DisplayWidth, Width, Height };

// What the clamps read: the output resolution and the edits as they stand.
struct CaptionPlace {
  int hreso = 1920;
  int vreso = 1080;
  int hstart = 0;
  int vstart = 0;
  int displayWidth = 600;
  int width = 600;
  int height = 60;
};

struct CaptionEditRange {
  int min;
  int max;
};
// The edits' own ranges.
CaptionEditRange RangeOf(CaptionEdit edit);

// A committed value lowered so that the caption stays on the output: the
// start at most the output size less the extent, the display width at most
// what is left right of the start, the caption width at most 3840 less the
// start, the height at most the output height less the vertical start. The
// result never leaves the edit's range (a limit below the range's minimum
// gives the minimum).
int ClampCaptionEdit(CaptionEdit edit, int value, const CaptionPlace& place);

// A width rounded up to a multiple of 4 (the device's caption widths).
constexpr int RoundUpToFour(int width) {
  return (width + 3) / 4 * 4;
}

// Red, green and blue of a colour value 0x00BBGGRR.
struct ColourBytes {
  uint8_t r, g, b;
};
constexpr ColourBytes BytesOf(uint32_t colour) {
  return {static_cast<uint8_t>(colour), static_cast<uint8_t>(colour >> 8),
          static_cast<uint8_t>(colour >> 16)};
}

// How far the local preview may be dragged: the part of the caption beyond
// the strip (never below 0); for a rendered text half of that plus 3.
int PreviewDragLimit(int contentWidth, int stripWidth, bool textMode);

}  // namespace orv
