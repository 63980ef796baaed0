#pragma once
// What a drag does to a cell: the resize rule with its minimum size, the two
// clamps into the bounds, the device rectangle after a move or resize and the
// alignment of a layer window to the output area under it.
#include "CanvasRect.h"

namespace orv::canvas {

constexpr int kMinCellSize = 8;           // canvas pixels, after any resize
constexpr int kAlignToleranceDevice = 2;  // device pixels

// Moves the edge(s) of `zone` to the mouse point, never closer than
// kMinCellSize to the opposite edge. The interior zone changes nothing.
Rect ResizeByZone(const Rect& cell, int zone, Point mouse);
// Keeps a resized cell inside `bounds` (and at 0 or more) without letting it
// drop below the minimum size (or the bounds' size when they are smaller);
// the edge the zone moved gives way first. Empty bounds: the cell as it is.
Rect ClampResized(const Rect& cell, const Rect& bounds, int zone);
// Keeps a moved cell inside `bounds` with its size (cut to the bounds' size
// when larger). Empty bounds: the cell as it is.
Rect ClampMoved(const Rect& cell, const Rect& bounds);

// Device rectangle after a move without snapping: the converted position with
// the old device size.
Rect DeviceAfterMove(const Rect& converted, const Rect& oldDevice);
// After a resize: the moved edges from the conversion, the others kept.
Rect DeviceAfterResize(const Rect& converted, const Rect& oldDevice, int zone);
// Places the edges the zone moved on the area's edges when within the
// tolerance or outside the area. A move tests top, right, left, bottom and
// keeps the size; the top-right corner takes the right edge only when near.
Rect AlignToArea(const Rect& device, const Rect& areaDevice, int zone);
// Shifts a device rectangle so that left and top are 0 or more.
Rect KeepNonNegative(const Rect& device);

}  // namespace orv::canvas
