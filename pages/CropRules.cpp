#include "CropRules.h"

#include <algorithm>

namespace orv {

namespace {

// Lowers `start` or `extent` (whichever was edited) so that start + extent
// fits in `size`; then keeps both inside the edits' ranges and the source.
void FitAxis(int& start, int& extent, bool startEdited, int size) {
  if (size > 0) {
    if (startEdited && start > size - extent) start = size - extent;
    if (!startEdited && extent > size - start) extent = size - start;
  }
  extent = std::clamp(extent, kCropMinSize, kCropMaxValue);
  start = std::clamp(start, 0, kCropMaxValue);
  if (size <= 0) return;
  // A source narrower than the smallest crop keeps the smallest crop from 0.
  if (extent > size) extent = std::max(size, kCropMinSize);
  if (start + extent > size) start = std::max(0, size - extent);
}

int RoundHalfUp(double v) {
  return static_cast<int>(v + 0.5);
}

}  // namespace

CropWindow ClampCropEdit(CropWindow v, CropEdit edited, int sourceWidth, int sourceHeight) {
  FitAxis(v.x, v.w, edited == CropEdit::HStart, sourceWidth);
  FitAxis(v.y, v.h, edited == CropEdit::VStart, sourceHeight);
  return v;
}

QRect CropPreviewRect(const QRect& area, const CropWindow& crop, int sourceWidth,
                      int sourceHeight) {
  double sx = static_cast<double>(sourceWidth) / area.width();
  double sy = static_cast<double>(sourceHeight) / area.height();
  if (sx <= 0) sx = 1;
  if (sy <= 0) sy = 1;
  const int left = area.left() + RoundHalfUp(crop.x / sx);
  const int top = area.top() + RoundHalfUp(crop.y / sy);
  const int right = left + RoundHalfUp(crop.w / sx);
  const int bottom = top + RoundHalfUp(crop.h / sy);
  const QRect r(QPoint(std::min(left, right), std::min(top, bottom)),
                QPoint(std::max(left, right) - 1, std::max(top, bottom) - 1));
  return r.intersected(area);
}

}  // namespace orv
