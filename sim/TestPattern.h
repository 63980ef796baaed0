#pragma once
// The processor's built-in test patterns 1..111 and the fade durations of a
// take. A pattern replaces the whole output while it is on; each range of
// numbers is one family, so a pattern is recognisable by its number:
//
//   1..8     solid white, red, green, blue, cyan, magenta, yellow, black
//   9..24    solid greys, 0 to 255 in sixteen steps
//   25..32   ramps from black: white, red, green, blue across, then the same down
//   33..40   eight vertical colour bars at 100 % down to 30 % level
//   41..56   a white grid on black, lines every 16 .. 256 pixels
//   57..72   a black and white checkerboard, squares of 16 .. 256 pixels
//   73..88   white diagonal stripes on black, 8 .. 128 pixels wide
//   89..100  a white border of 2 .. 24 pixels and a centre cross on black
//   101..111 a white bar moving across black, 100 .. 1100 pixels a second
#include <cstdint>

#include "PreviewPicture.h"

namespace orv::sim {

constexpr int kFirstTestPattern = 1;
constexpr int kLastTestPattern = 111;

bool IsTestPattern(int pattern);

// The colour of output pixel (x, y) of a `width` x `height` output showing
// `pattern` at time `elapsedMs`; black for a number that is no pattern.
Rgb TestPatternColour(int pattern, int x, int y, int width, int height, int64_t elapsedMs);

// The fade of a take for transition time index 0..7 (0.0 .. 3.0 s); an
// index outside the table has no fade.
int FadeMilliseconds(int transitionIndex);
constexpr int kTransitionTimes = 8;

}  // namespace orv::sim
