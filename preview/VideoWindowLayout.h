#pragma once
// The video window's geometry: where its four views and captions go for a
// window size, and which part of the window a point is on (for moving and
// sizing a window without a system frame). Plain arithmetic.
namespace orv::preview {

struct Box {
  int x = 0, y = 0, width = 0, height = 0;
  bool operator==(const Box&) const = default;
};

struct ViewPlace {
  Box view;
  Box caption;
};

constexpr int kVideoWindowMinWidth = 320;
constexpr int kVideoWindowMinHeight = 250;

// View i (0 top-left, 1 top-right, 2 bottom-left, 3 bottom-right) in a
// window of `width` x `height`.
ViewPlace PlaceView(int i, int width, int height);

enum class HitZone {
  TopLeft,
  TopRight,
  BottomLeft,
  BottomRight,
  Left,
  Right,
  Top,
  Bottom,
  Caption,
  Client
};

// `x`, `y` relative to the window's top-left; first matching row wins.
HitZone HitTest(int x, int y, int width, int height);

}  // namespace orv::preview
