#pragma once
// The crop page's arithmetic, without widgets: the clamps of a committed
// edit against the source size, and the scaled picture of the kept
// rectangle inside the source.
#include <QRect>

namespace orv {

struct CropWindow {
  int x = 0;
  int y = 0;
  int w = 32;
  int h = 32;
};

enum class CropEdit { HStart, VStart, Width, Height };

inline constexpr int kCropMinSize = 32;
inline constexpr int kCropMaxValue = 9999;

// The committed edit is lowered so that the rectangle ends inside the source
// (start lowered to size - extent, extent lowered to size - start); the result
// stays within the edits' ranges, and with a known source (sizes above zero)
// never reaches past it. A source of zero size (no signal) clamps nothing.
CropWindow ClampCropEdit(CropWindow v, CropEdit edited, int sourceWidth, int sourceHeight);

// The kept rectangle drawn in `area`: the source is scaled into the area
// (a zero scale counts as 1), coordinates rounded half up, normalised and
// cut to the area.
QRect CropPreviewRect(const QRect& area, const CropWindow& crop, int sourceWidth, int sourceHeight);

}  // namespace orv
