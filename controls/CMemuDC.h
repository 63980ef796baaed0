#pragma once
// A paint-time memory surface: everything drawn through it goes into an
// off-screen picture of one rectangle, which is copied to the real target in
// one step when the surface goes out of scope, so skinned controls never show
// a half-drawn state. Callers draw with the target's coordinates.
#include <optional>

#include <QImage>
#include <QPainter>
#include <QRect>

namespace orv {

class CMemuDC {
 public:
  // `rect` all zero: the target's clip box (or its whole device without clip).
  // `copyBackground`: the buffer starts with what the target already shows
  // under the rectangle (for a widget, the parent's skin behind it), else it
  // starts empty and replaces the rectangle when copied.
  CMemuDC(QPainter& target, QRect rect = QRect(), bool copyBackground = false);
  ~CMemuDC();
  CMemuDC(const CMemuDC&) = delete;
  CMemuDC& operator=(const CMemuDC&) = delete;

  QPainter& Painter() { return buffered_ ? *memory_ : target_; }
  QPainter* operator->() { return &Painter(); }
  operator QPainter&() { return Painter(); }
  QRect Rect() const { return rect_; }
  // False on a printer: it is drawn into directly.
  bool Buffered() const { return buffered_; }

 private:
  QPainter& target_;
  QRect rect_;
  bool buffered_ = true;
  bool composite_ = false;  // copy back over what is there (background kept)
  QImage buffer_;
  std::optional<QPainter> memory_;
};

}  // namespace orv
