#pragma once
// Key pre-translation: a window looks at key events of its children before
// the normal handling. Pages consume Enter and Escape (so neither a default
// button nor the closing of a dialog happens) and hand key-ups on to the
// window above them, so that the main window's shortcuts work whichever page
// has the keyboard focus.
class QEvent;
class QKeyEvent;
class QWidget;

namespace orv {

class KeyPreTranslator {
 public:
  virtual ~KeyPreTranslator() = default;
  // Returns true when the event is consumed.
  virtual bool PreTranslateKey(QKeyEvent* event) = 0;
};

bool IsKeyDown(const QEvent* event);
bool IsKeyUp(const QEvent* event);
// A key-down of Enter (either Return or the keypad Enter) or Escape.
bool IsEnterOrEscapeDown(const QEvent* event);

// Offers the key event to the nearest KeyPreTranslator above `window` (its
// parent chain, across window boundaries); returns whether it was consumed.
bool OfferKeyToParent(QWidget* window, QKeyEvent* event);

// The pre-translation of a page: Enter/Escape key-downs are consumed; key-ups
// are offered to the parent window first; the rest is left to normal handling.
bool PageKeyPreTranslate(QWidget* page, QKeyEvent* event);

}  // namespace orv
