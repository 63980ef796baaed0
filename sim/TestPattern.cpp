#include "TestPattern.h"

#include <algorithm>
#include <array>
#include <cstdlib>

namespace orv::sim {
namespace {

constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kBlack{0, 0, 0};

// Where a pixel sits in its output, and the pattern's variant within its family.
struct Spot {
  int variant, x, y, width, height;
  int64_t ms;
};

Rgb Grey(int level) {
  const auto l = static_cast<uint8_t>(std::clamp(level, 0, 255));
  return {l, l, l};
}

Rgb Solid(const Spot& s) {
  constexpr std::array<Rgb, 8> kSolids{{{255, 255, 255},
                                        {255, 0, 0},
                                        {0, 255, 0},
                                        {0, 0, 255},
                                        {0, 255, 255},
                                        {255, 0, 255},
                                        {255, 255, 0},
                                        {0, 0, 0}}};
  return kSolids[static_cast<std::size_t>(s.variant)];
}

Rgb Greys(const Spot& s) {
  return Grey(s.variant * 17);
}

Rgb Ramp(const Spot& s) {
  const bool down = s.variant >= 4;
  const int along = down ? s.y : s.x, size = down ? s.height : s.width;
  const auto level = static_cast<uint8_t>(size > 1 ? along * 255 / (size - 1) : 0);
  switch (s.variant % 4) {
    case 1:
      return {level, 0, 0};
    case 2:
      return {0, level, 0};
    case 3:
      return {0, 0, level};
    default:
      return {level, level, level};
  }
}

// White, yellow, cyan, green, magenta, red, blue, black, at a level of 100 % - 10 % per variant.
Rgb ColourBars(const Spot& s) {
  constexpr std::array<Rgb, 8> kBars{
      {{1, 1, 1}, {1, 1, 0}, {0, 1, 1}, {0, 1, 0}, {1, 0, 1}, {1, 0, 0}, {0, 0, 1}, {0, 0, 0}}};
  const int bar = std::clamp(s.x * 8 / std::max(s.width, 1), 0, 7);
  const auto level = static_cast<uint8_t>(255 * (10 - s.variant) / 10);
  const Rgb on = kBars[static_cast<std::size_t>(bar)];
  return {static_cast<uint8_t>(on.r * level), static_cast<uint8_t>(on.g * level),
          static_cast<uint8_t>(on.b * level)};
}

Rgb GridLines(const Spot& s) {
  const int spacing = 16 * (s.variant + 1);
  return s.x % spacing == 0 || s.y % spacing == 0 ? kWhite : kBlack;
}

Rgb Checkerboard(const Spot& s) {
  const int cell = 16 * (s.variant + 1);
  return (s.x / cell + s.y / cell) % 2 == 0 ? kWhite : kBlack;
}

Rgb Stripes(const Spot& s) {
  const int width = 8 * (s.variant + 1);
  return (s.x + s.y) / width % 2 == 0 ? kWhite : kBlack;
}

Rgb BorderAndCross(const Spot& s) {
  const int border = 2 * (s.variant + 1);
  const bool edge =
      s.x < border || s.y < border || s.x >= s.width - border || s.y >= s.height - border;
  const bool cross =
      std::abs(s.x - s.width / 2) < border / 2 + 1 || std::abs(s.y - s.height / 2) < border / 2 + 1;
  return edge || cross ? kWhite : kBlack;
}

Rgb MovingBar(const Spot& s) {
  const int64_t speed = 100 * (s.variant + 1);  // pixels a second
  const int barWidth = std::max(s.width / 16, 1);
  const int64_t left = s.ms * speed / 1000 % std::max(s.width, 1);
  const int64_t offset = (s.x - left + s.width) % std::max(s.width, 1);
  return offset < barWidth ? kWhite : kBlack;
}

struct Family {
  int first, count;
  Rgb (*colour)(const Spot&);
};

constexpr std::array<Family, 9> kFamilies{{
    {1, 8, Solid},
    {9, 16, Greys},
    {25, 8, Ramp},
    {33, 8, ColourBars},
    {41, 16, GridLines},
    {57, 16, Checkerboard},
    {73, 16, Stripes},
    {89, 12, BorderAndCross},
    {101, 11, MovingBar},
}};

constexpr std::array<int, kTransitionTimes> kFadeMs{0, 100, 200, 300, 500, 1000, 2000, 3000};

}  // namespace

bool IsTestPattern(int pattern) {
  return pattern >= kFirstTestPattern && pattern <= kLastTestPattern;
}

Rgb TestPatternColour(int pattern, int x, int y, int width, int height, int64_t elapsedMs) {
  for (const Family& f : kFamilies) {
    if (pattern >= f.first && pattern < f.first + f.count) {
      return f.colour({pattern - f.first, x, y, width, height, elapsedMs});
    }
  }
  return kBlack;
}

int FadeMilliseconds(int transitionIndex) {
  if (transitionIndex < 0 || transitionIndex >= kTransitionTimes) return 0;
  return kFadeMs[static_cast<std::size_t>(transitionIndex)];
}

}  // namespace orv::sim
