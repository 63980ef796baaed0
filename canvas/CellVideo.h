#pragma once
// The live-video part of a layer cell on the canvas. The canvas owns one per
// layer cell when video is enabled and only tells it where the cell is and
// whether it shows; the preview (decoder contexts, SDL drawing, the render
// mutex) lives behind this interface, so the canvas needs no video code.
// The canvas's factory (CPictureCtrl::SetVideoFactory) gets the cell's own
// widget, which the canvas keeps on the cell's rectangle and stacks in list
// order: the video's child window belongs inside it, at (0, 0) with the
// cell's size. Destroying the video (with its cell, RemoveLayers) must stop
// any drawing into that window first.

namespace orv {

class CellVideo {
 public:
  virtual ~CellVideo() = default;
  // The cell's canvas rectangle changed (move, resize, placement); the video
  // child window follows it. Width and height are at least 1.
  virtual void SetGeometry(int x, int y, int width, int height) = 0;
  virtual void SetVisible(bool visible) = 0;
  // The layer's input changed; the label drawn over the video follows.
  virtual void SetLabel(const char* utf8Text) = 0;
};

}  // namespace orv
