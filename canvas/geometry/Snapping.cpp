#include "Snapping.h"

#include <array>
#include <cstdlib>

namespace orv::canvas {

namespace {

struct CornerRule {
  int kind;
  bool partnerFarX, partnerFarY;
};
constexpr std::array<CornerRule, 4> kCornerRules{{
    {kSnapTopLeft, false, false},
    {kSnapBottomLeft, false, true},
    {kSnapTopRight, true, false},
    {kSnapBottomRight, true, true},
}};

struct MovingCorner {
  bool farX, farY;
};
// Bottom-right, bottom-left, top-left, top-right.
constexpr std::array<MovingCorner, 4> kMovingCorners{
    {{true, true}, {false, true}, {false, false}, {true, false}}};

int Edge(int nearEdge, int farEdge, bool far) {
  return far ? farEdge : nearEdge;
}

bool StrictlyBetween(int v, int low, int high) {
  return v > low && v < high;
}

std::optional<Snap> CornerSnap(const Rect& m, const Rect& o) {
  for (const CornerRule& rule : kCornerRules) {
    const Point target{Edge(o.left, o.right, rule.partnerFarX),
                       Edge(o.top, o.bottom, rule.partnerFarY)};
    for (const MovingCorner& corner : kMovingCorners) {
      const Point at{Edge(m.left, m.right, corner.farX), Edge(m.top, m.bottom, corner.farY)};
      if (std::abs(at.x - target.x) > kSnapCornerTolerance ||
          std::abs(at.y - target.y) > kSnapCornerTolerance) {
        continue;
      }
      return Snap{rule.kind,
                  m.Offset(target.x - at.x, target.y - at.y),
                  {true, corner.farX, rule.partnerFarX},
                  {true, corner.farY, rule.partnerFarY}};
    }
  }
  return std::nullopt;
}

// An edge rule: the moved cell's far or near edge equals the partner's edge.
std::optional<AxisTouch> EdgeTouch(int movingNear, int movingFar, int partnerEdge, bool partnerFar,
                                   bool farFirst) {
  const std::array<bool, 2> order{farFirst, !farFirst};
  for (bool far : order) {
    if (Edge(movingNear, movingFar, far) == partnerEdge) return AxisTouch{true, far, partnerFar};
  }
  return std::nullopt;
}

std::optional<Snap> EdgeSnap(const Rect& m, const Rect& o) {
  const bool verticalOverlap =
      StrictlyBetween(m.bottom, o.top, o.bottom) || StrictlyBetween(o.bottom, m.top, m.bottom);
  const bool horizontalOverlap =
      StrictlyBetween(m.right, o.left, o.right) || StrictlyBetween(o.right, m.left, m.right);
  if (verticalOverlap) {
    if (auto t = EdgeTouch(m.left, m.right, o.left, false, true)) return Snap{kSnapLeft, m, *t, {}};
  }
  if (auto t = EdgeTouch(m.left, m.right, o.right, true, false)) return Snap{kSnapRight, m, *t, {}};
  if (auto t = EdgeTouch(m.top, m.bottom, o.bottom, true, true))
    return Snap{kSnapBottom, m, {}, *t};
  if (horizontalOverlap) {
    if (auto t = EdgeTouch(m.top, m.bottom, o.top, false, true)) return Snap{kSnapTop, m, {}, *t};
  }
  return std::nullopt;
}

void PlaceAxis(int& nearEdge, int& farEdge, int size, const AxisTouch& t, int partnerNear,
               int partnerFar, int ownNear) {
  if (!t.touches) {
    nearEdge = ownNear;
    farEdge = ownNear + size;
    return;
  }
  const int value = Edge(partnerNear, partnerFar, t.partnerFar);
  if (t.movingFar) {
    farEdge = value;
    nearEdge = value - size;
  } else {
    nearEdge = value;
    farEdge = value + size;
  }
}

}  // namespace

std::optional<Snap> SnapTo(const Rect& moving, const Rect& partner) {
  if (auto s = CornerSnap(moving, partner)) return s;
  return EdgeSnap(moving, partner);
}

Rect SnappedDevice(const Snap& snap, const Rect& own, const Rect& oldDevice,
                   const Rect& partnerDevice) {
  Rect d;
  PlaceAxis(d.left, d.right, oldDevice.Width(), snap.x, partnerDevice.left, partnerDevice.right,
            own.left);
  PlaceAxis(d.top, d.bottom, oldDevice.Height(), snap.y, partnerDevice.top, partnerDevice.bottom,
            own.top);
  return d;
}

}  // namespace orv::canvas
