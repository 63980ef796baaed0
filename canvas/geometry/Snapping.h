#pragma once
// Snapping of a moved cell to another cell: corners within one pixel first,
// then exactly touching or aligned edges. The device rectangle of a snapped
// cell takes the touching coordinates from the partner's device rectangle,
// so the two abut in device pixels without a gap.
#include <optional>

#include "CanvasRect.h"

namespace orv::canvas {

enum SnapKind : int {
  kSnapLeft = 0,  // the partner's left edge
  kSnapTop = 1,
  kSnapRight = 2,
  kSnapBottom = 3,
  kSnapTopLeft = 5,  // the partner's top-left point
  kSnapBottomLeft = 6,
  kSnapTopRight = 7,
  kSnapBottomRight = 8,
  kSnapNone = 10,
};
constexpr int kSnapCornerTolerance = 1;

// Which edge of the moved cell meets which edge of the partner on one axis.
struct AxisTouch {
  bool touches = false;
  bool movingFar = false;   // the moved cell's right (bottom) edge, else left (top)
  bool partnerFar = false;  // the partner's right (bottom) edge, else left (top)
};

struct Snap {
  int kind = kSnapNone;
  Rect moved;  // the moved cell after snapping (same size)
  AxisTouch x;
  AxisTouch y;
};

// The first rule that applies, in the order 5, 6, 7, 8, 0, 2, 3, 1.
std::optional<Snap> SnapTo(const Rect& moving, const Rect& partner);

// The moved cell's device rectangle: `oldDevice`'s size, the touching edges
// from `partnerDevice`, the others from `ownConversion` (the snapped canvas
// rectangle converted to device).
Rect SnappedDevice(const Snap& snap, const Rect& ownConversion, const Rect& oldDevice,
                   const Rect& partnerDevice);

}  // namespace orv::canvas
