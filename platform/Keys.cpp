#include "Keys.h"

#include <QKeyEvent>
#include <QWidget>

namespace orv {

bool IsKeyDown(const QEvent* event) {
  return event && event->type() == QEvent::KeyPress;
}
bool IsKeyUp(const QEvent* event) {
  return event && event->type() == QEvent::KeyRelease;
}

bool IsEnterOrEscapeDown(const QEvent* event) {
  if (!IsKeyDown(event)) return false;
  const int key = static_cast<const QKeyEvent*>(event)->key();
  return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape;
}

bool OfferKeyToParent(QWidget* window, QKeyEvent* event) {
  if (!window || !event) return false;
  for (QWidget* w = window->parentWidget(); w; w = w->parentWidget()) {
    if (auto* translator = dynamic_cast<KeyPreTranslator*>(w)) {
      return translator->PreTranslateKey(event);
    }
  }
  return false;
}

bool PageKeyPreTranslate(QWidget* page, QKeyEvent* event) {
  if (IsEnterOrEscapeDown(event)) return true;
  if (IsKeyUp(event)) return OfferKeyToParent(page, event);
  return false;
}

}  // namespace orv
