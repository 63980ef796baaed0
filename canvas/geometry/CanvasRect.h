#pragma once
// Plain rectangles of the layout canvas, in canvas pixels or device pixels.
// Right and bottom are exclusive, as in the desktop toolkit's rectangles:
// a cell from 10 to 18 is 8 pixels wide.
#include <algorithm>
#include <cmath>

namespace orv::canvas {

struct Point {
  int x = 0;
  int y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool IsEmpty() const { return right <= left || bottom <= top; }
  // Half-open: the right and bottom edges are outside.
  bool Contains(Point p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
  Rect Offset(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
  Rect Normalized() const {
    return {std::min(left, right), std::min(top, bottom), std::max(left, right),
            std::max(top, bottom)};
  }
  friend bool operator==(const Rect&, const Rect&) = default;
};

// The common part, or an all-zero rectangle when there is none.
inline Rect Intersect(const Rect& a, const Rect& b) {
  const Rect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
               std::min(a.bottom, b.bottom)};
  return r.IsEmpty() ? Rect{} : r;
}
inline bool Overlaps(const Rect& a, const Rect& b) {
  return !Intersect(a, b).IsEmpty();
}
// The smallest rectangle holding both; an empty side does not count.
inline Rect Union(const Rect& a, const Rect& b) {
  if (a.IsEmpty()) return b;
  if (b.IsEmpty()) return a;
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
          std::max(a.bottom, b.bottom)};
}

// Device pixels per canvas pixel, horizontally and vertically.
struct ScalePair {
  double sx = 6.0;
  double sy = 6.0;
  bool IsValid() const { return std::isfinite(sx) && std::isfinite(sy) && sx > 0 && sy > 0; }
  friend bool operator==(const ScalePair&, const ScalePair&) = default;
};

}  // namespace orv::canvas
