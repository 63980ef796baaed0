#pragma once
// Draws the canvas in its fixed order: grid dots, layer windows, output areas
// with names and guides, layer intersections, the snap marker, the program
// and preview halves, the rubber band.
#include <QRect>

#include "CanvasRect.h"

class QPainter;

namespace orv {

class CPictureCtrl;

class CanvasPainter {
 public:
  // `clip` in canvas coordinates; nothing outside it needs drawing.
  static void Paint(QPainter& p, const CPictureCtrl& canvas, const QRect& clip);
  // What the snap marker of `kind` covers (empty for none), so that a drag
  // repaints only what changed.
  static QRect SnapMarkerBounds(int kind, const canvas::Rect& partner);
};

}  // namespace orv
