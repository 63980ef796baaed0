#include "DragRules.h"

#include <cstdlib>

#include "HitZones.h"

namespace orv::canvas {

namespace {

// The new position of an edge moved to `to`, at least `minSize` away from
// the opposite edge in the direction `sign` (+1: the edge is the far one).
int EdgeWithMinimum(int to, int opposite, int sign) {
  const int size = (to - opposite) * sign;
  return size <= kMinCellSize ? opposite + sign * kMinCellSize : to;
}

// Restores the minimum extent on one axis: the moved edge gives way, then the
// other one when the bounds end first.
void KeepExtent(int& nearEdge, int& farEdge, bool nearMoved, int boundNear, int boundFar) {
  const int minimum = std::min(kMinCellSize, boundFar - boundNear);
  if (farEdge - nearEdge >= minimum) return;
  if (nearMoved) {
    nearEdge = std::max(farEdge - minimum, boundNear);
    farEdge = nearEdge + minimum;
  } else {
    farEdge = std::min(nearEdge + minimum, boundFar);
    nearEdge = farEdge - minimum;
  }
}

bool NearOrBeyondLow(int edge, int bound) {
  return std::abs(edge - bound) <= kAlignToleranceDevice || edge < bound;
}
bool NearOrBeyondHigh(int edge, int bound) {
  return std::abs(edge - bound) <= kAlignToleranceDevice || edge > bound;
}

Rect AlignMove(Rect d, const Rect& a) {
  const int w = d.Width();
  const int h = d.Height();
  if (NearOrBeyondLow(d.top, a.top)) {
    d.top = a.top;
    d.bottom = d.top + h;
  }
  if (NearOrBeyondHigh(d.right, a.right)) {
    d.right = a.right;
    d.left = d.right - w;
  }
  if (NearOrBeyondLow(d.left, a.left)) {
    d.left = a.left;
    d.right = d.left + w;
  }
  if (NearOrBeyondHigh(d.bottom, a.bottom)) {
    d.bottom = a.bottom;
    d.top = d.bottom - h;
  }
  return d;
}

}  // namespace

Rect ResizeByZone(const Rect& cell, int zone, Point mouse) {
  if (!IsResizeZone(zone)) return cell;
  const ZoneEdges e = EdgesOf(zone);
  Rect r = cell;
  if (e.left) r.left = EdgeWithMinimum(mouse.x, cell.right, -1);
  if (e.right) r.right = EdgeWithMinimum(mouse.x, cell.left, +1);
  if (e.top) r.top = EdgeWithMinimum(mouse.y, cell.bottom, -1);
  if (e.bottom) r.bottom = EdgeWithMinimum(mouse.y, cell.top, +1);
  return r;
}

Rect ClampResized(const Rect& cell, const Rect& bounds, int zone) {
  if (bounds.IsEmpty()) return cell;
  Rect r{std::max({cell.left, bounds.left, 0}), std::max({cell.top, bounds.top, 0}),
         std::min(cell.right, bounds.right), std::min(cell.bottom, bounds.bottom)};
  const ZoneEdges e = EdgesOf(zone);
  KeepExtent(r.left, r.right, e.left, std::max(bounds.left, 0), bounds.right);
  KeepExtent(r.top, r.bottom, e.top, std::max(bounds.top, 0), bounds.bottom);
  return r;
}

Rect ClampMoved(const Rect& cell, const Rect& bounds) {
  if (bounds.IsEmpty()) return cell;
  Rect r = cell.Normalized();
  r.right = r.left + std::min(r.Width(), bounds.Width());
  r.bottom = r.top + std::min(r.Height(), bounds.Height());
  if (r.left < 0) r = r.Offset(-r.left, 0);
  if (r.top < 0) r = r.Offset(0, -r.top);
  if (r.left < bounds.left) r = r.Offset(bounds.left - r.left, 0);
  if (r.top < bounds.top) r = r.Offset(0, bounds.top - r.top);
  if (r.right > bounds.right) r = r.Offset(bounds.right - r.right, 0);
  if (r.bottom > bounds.bottom) r = r.Offset(0, bounds.bottom - r.bottom);
  return Intersect(r, bounds);
}

Rect DeviceAfterMove(const Rect& converted, const Rect& oldDevice) {
  return {converted.left, converted.top, converted.left + oldDevice.Width(),
          converted.top + oldDevice.Height()};
}

Rect DeviceAfterResize(const Rect& converted, const Rect& oldDevice, int zone) {
  const ZoneEdges e = EdgesOf(zone);
  return Rect{e.left ? converted.left : oldDevice.left, e.top ? converted.top : oldDevice.top,
              e.right ? converted.right : oldDevice.right,
              e.bottom ? converted.bottom : oldDevice.bottom}
      .Normalized();
}

Rect AlignToArea(const Rect& device, const Rect& a, int zone) {
  if (zone == kZoneInterior) return AlignMove(device, a);
  Rect d = device;
  const ZoneEdges e = EdgesOf(zone);
  if (e.left && NearOrBeyondLow(d.left, a.left)) d.left = a.left;
  if (e.top && NearOrBeyondLow(d.top, a.top)) d.top = a.top;
  if (e.bottom && NearOrBeyondHigh(d.bottom, a.bottom)) d.bottom = a.bottom;
  if (e.right) {
    // The top-right corner is the one exception: beyond the area it stays.
    const bool place = zone == kZoneTopRight ? std::abs(d.right - a.right) <= kAlignToleranceDevice
                                             : NearOrBeyondHigh(d.right, a.right);
    if (place) d.right = a.right;
  }
  return d.Normalized();
}

Rect KeepNonNegative(const Rect& device) {
  Rect d = device.Normalized();
  return d.Offset(std::max(0, -d.left), std::max(0, -d.top));
}

}  // namespace orv::canvas
