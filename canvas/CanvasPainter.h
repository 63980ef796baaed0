#pragma once
// Draws the canvas in its fixed order: grid dots, layer windows, output areas
// with names and guides, layer intersections, the snap marker, the program
// and preview halves, the rubber band.
class QPainter;
class QRect;

namespace orv {

class CPictureCtrl;

class CanvasPainter {
 public:
  // `clip` in canvas coordinates; nothing outside it needs drawing.
  static void Paint(QPainter& p, const CPictureCtrl& canvas, const QRect& clip);
};

}  // namespace orv
