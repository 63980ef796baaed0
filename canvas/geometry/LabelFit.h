#pragma once
// Fits a layer cell's label into the cell: the largest font size that keeps
// the label inside a band along the cell's top edge and inside its width,
// down to a readable minimum; below that the text is cut and ends in an
// ellipsis. The band keeps the label off the middle of the picture. Both the
// canvas painter and the SDL label over live video use it with their own
// text measure, so one rule decides what each of them shows.
#include <functional>
#include <string>
#include <string_view>

namespace orv::canvas {

struct LabelStyle {
  int maxPixelSize;  // the size a large cell gets
  int minPixelSize;  // the smallest size still read comfortably
  int inset;         // pixels from the cell's left and top edges
  int bandDivisor;   // the label's line stays within the top 1/bandDivisor
};

// The canvas's name line (bold Arial 16 at most) and the red label over the
// live video.
inline constexpr LabelStyle kCanvasNameStyle{16, 10, 2, 4};
inline constexpr LabelStyle kVideoLabelStyle{22, 11, 3, 4};

// Width in pixels of UTF-8 `text` at font pixel size `pixelSize`.
using MeasureText = std::function<int(std::string_view text, int pixelSize)>;

struct FittedLabel {
  std::string text;   // the label, or its start with an ellipsis; "" when nothing fits
  int pixelSize = 0;  // font pixel size to draw with
  int x = 0, y = 0;   // top-left of the text in cell pixels
  bool elided = false;
};

inline constexpr std::string_view kEllipsis = "\xE2\x80\xA6";  // U+2026

// The line height a font of `pixelSize` pixels takes.
int LabelLineHeight(int pixelSize);

FittedLabel FitLabel(std::string_view utf8, int cellWidth, int cellHeight, const LabelStyle& style,
                     const MeasureText& measure);

}  // namespace orv::canvas
