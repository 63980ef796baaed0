#pragma once
// Mouse capture and cursors. Capture sends every mouse event to one widget
// until released, wherever the pointer goes (drags that leave the control).
#include <QCursor>

class QWidget;

namespace orv {

// Captures the mouse for `widget` (releases any earlier capture first).
// Returns false when the widget cannot take it (null or not shown).
bool SetCapture(QWidget* widget);
void ReleaseCapture();
// The widget holding the capture, or null.
QWidget* GetCapture();

enum class CursorKind {
  Arrow,
  Hand,
  IBeam,
  Cross,
  Wait,
  SizeAll,
  SizeWE,
  SizeNS,
  SizeNWSE,
  SizeNESW
};

QCursor CursorFor(CursorKind kind);
void SetCursorKind(QWidget* widget, CursorKind kind);

// Shows the wait cursor over the whole application while alive.
class WaitCursor {
 public:
  WaitCursor();
  ~WaitCursor();
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace orv
