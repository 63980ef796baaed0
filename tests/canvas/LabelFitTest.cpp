// Fitting a layer cell's label: the size it gets, where it is cut, and that
// it stays in the band along the cell's top edge.
#include <gtest/gtest.h>

#include <string>

#include "LabelFit.h"

using namespace orv::canvas;

namespace {

// Every code point is half the pixel size wide (integer pixels).
int HalfEmPerCodePoint(std::string_view text, int pixelSize) {
  int codePoints = 0;
  for (const char c : text) codePoints += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return codePoints * pixelSize / 2;
}

// Eight Chinese characters of three UTF-8 bytes each.
const char* const kEightCharacters =
    "\xE4\xB8\xBB\xE5\xB1\x82\xE8\xBE\x93\xE5\x85\xA5\xE4\xBF\xA1\xE5\x8F\xB7\xE6\xBA\x90\xE7\xAB"
    "\xAF";

struct FitCase {
  const char* what;
  std::string text;
  int width, height;
  LabelStyle style;
  std::string shown;
  int pixelSize;
  bool elided;
};

TEST(LabelFit, ShrinksToTheCellThenCutsWithAnEllipsis) {
  const std::string ellipsis(kEllipsis);
  const FitCase cases[] = {
      // A main layer at the starting zoom: the largest size, whole.
      {"large cell", "Main : DVI-1", 320, 180, kVideoLabelStyle, "Main : DVI-1", 22, false},
      // A PIP window at the starting zoom: the band allows the minimum only.
      {"pip cell", "PIP-1 : HDMI-1", 120, 67, kVideoLabelStyle, "PIP-1 : HDMI-1", 11, false},
      // Too wide at the band's size: the size shrinks until it fits.
      {"shrinks", std::string(40, 'x'), 320, 180, kVideoLabelStyle, std::string(40, 'x'), 15,
       false},
      // Too wide even at the minimum: cut at the widest start that fits.
      {"cut", "PIP-1 : HDMI-1", 80, 67, kVideoLabelStyle, "PIP-1 : HDMI" + ellipsis, 11, true},
      // Blanks before the ellipsis go.
      {"blank before cut", "Main : DVI-1", 50, 100, kVideoLabelStyle, "Main :" + ellipsis, 11,
       true},
      // Chinese text is cut between characters, never inside one.
      {"cut between characters", kEightCharacters, 40, 60, kVideoLabelStyle,
       std::string(kEightCharacters, 15) + ellipsis, 11, true},
      // Not even the ellipsis fits: nothing is drawn.
      {"nothing fits", "Main : DVI-1", 10, 60, kVideoLabelStyle, "", 11, true},
      {"empty", "", 320, 180, kVideoLabelStyle, "", 0, false},
      // The canvas's name line is at most its bold 16.
      {"canvas name", "PGM : DVI-1", 200, 200, kCanvasNameStyle, "PGM : DVI-1", 16, false},
  };
  for (const FitCase& c : cases) {
    const FittedLabel fitted = FitLabel(c.text, c.width, c.height, c.style, HalfEmPerCodePoint);
    EXPECT_EQ(fitted.text, c.shown) << c.what;
    EXPECT_EQ(fitted.pixelSize, c.pixelSize) << c.what;
    EXPECT_EQ(fitted.elided, c.elided) << c.what;
    EXPECT_LE(HalfEmPerCodePoint(fitted.text, fitted.pixelSize), c.width - 2 * c.style.inset)
        << c.what;
    EXPECT_EQ(fitted.x, c.style.inset) << c.what;
    EXPECT_EQ(fitted.y, c.style.inset) << c.what;
  }
}

TEST(LabelFit, TheLineStaysInTheTopBandOfCellsLargeEnoughForIt) {
  for (const int height : {60, 67, 90, 135, 180, 270, 540}) {
    const FittedLabel fitted =
        FitLabel("PIP-2 : DP1", 400, height, kVideoLabelStyle, HalfEmPerCodePoint);
    const int bottom = fitted.y + LabelLineHeight(fitted.pixelSize);
    if (fitted.pixelSize > kVideoLabelStyle.minPixelSize) {
      EXPECT_LE(bottom, height / kVideoLabelStyle.bandDivisor) << height;
    }
    EXPECT_LT(bottom, height / 2) << height << ": the label reaches the picture's middle";
  }
}

}  // namespace
