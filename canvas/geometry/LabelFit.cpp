#include "LabelFit.h"

#include <algorithm>
#include <vector>

namespace orv::canvas {

namespace {

// Byte offsets where the UTF-8 code points of `text` start, plus its end.
std::vector<std::size_t> CodePointStarts(std::string_view text) {
  std::vector<std::size_t> starts;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) starts.push_back(i);
  }
  starts.push_back(text.size());
  return starts;
}

// The largest size whose line stays inside `band`, within the style's limits.
int SizeForBand(int band, const LabelStyle& style) {
  int size = style.maxPixelSize;
  while (size > style.minPixelSize && LabelLineHeight(size) > band) --size;
  return size;
}

// The longest start of `text` that, with an ellipsis, is at most `width` wide.
std::string Elide(std::string_view text, int width, int pixelSize, const MeasureText& measure) {
  const std::vector<std::size_t> starts = CodePointStarts(text);
  // Widths grow with the prefix: search the longest that fits.
  std::size_t low = 0, high = starts.size() - 1;  // indices into starts
  std::string best;
  while (low <= high) {
    const std::size_t mid = (low + high) / 2;
    std::string candidate(text.substr(0, starts[mid]));
    while (!candidate.empty() && candidate.back() == ' ') candidate.pop_back();
    candidate += kEllipsis;
    if (measure(candidate, pixelSize) <= width) {
      best = std::move(candidate);
      low = mid + 1;
    } else {
      if (mid == 0) break;
      high = mid - 1;
    }
  }
  return best;
}

}  // namespace

int LabelLineHeight(int pixelSize) {
  return pixelSize + (pixelSize + 4) / 5;
}

FittedLabel FitLabel(std::string_view utf8, int cellWidth, int cellHeight, const LabelStyle& style,
                     const MeasureText& measure) {
  FittedLabel fitted;
  fitted.x = style.inset;
  fitted.y = style.inset;
  const int width = cellWidth - 2 * style.inset;
  if (utf8.empty() || width <= 0 || cellHeight <= 0) return fitted;
  const int divisor = std::max(1, style.bandDivisor);
  int size = SizeForBand(cellHeight / divisor - style.inset, style);
  while (size > style.minPixelSize && measure(utf8, size) > width) --size;
  fitted.pixelSize = size;
  if (measure(utf8, size) <= width) {
    fitted.text = std::string(utf8);
    return fitted;
  }
  fitted.text = Elide(utf8, width, size, measure);
  fitted.elided = true;
  return fitted;
}

}  // namespace orv::canvas
