#include "oRealEdit.h"

#include <algorithm>

#include <QKeyEvent>
#include <QPainter>
#include <QWheelEvent>

#include "ControlId.h"
#include "MessageIds.h"
#include "Messages.h"
#include "Skin.h"

namespace orv {

oRealEdit::oRealEdit(QWidget* parent, int controlId)
    : QLineEdit(QStringLiteral("0"), parent),
      activeFrame_(skin::kOrange),
      inactiveFrame_(skin::kPageBack) {
  SetControlId(this, controlId);
  setFrame(false);
  setPalette(skin::DarkPalette());
  setMaxLength(limits_.lengthLimit);
  setContextMenuPolicy(Qt::NoContextMenu);
  // Any edit by the user (typing, deleting, pasting) makes the text pending.
  connect(this, &QLineEdit::textEdited, this, [this] {
    modified_ = false;
    pristine_ = false;
  });
}

void oRealEdit::Setup(float value, float a, bool enabled, float b, const QString& format) {
  format_ = format;
  frameWidth_ = 2;
  activeFrame_ = skin::kOrange;
  inactiveFrame_ = skin::kPageBack;
  setTextMargins(frameWidth_ + 1, 0, frameWidth_ + 1, 0);
  minimum_ = std::min(a, b);
  maximum_ = std::max(a, b);
  limits_ = LimitsFor(format_, minimum_, maximum_);
  setMaxLength(limits_.lengthLimit);
  SetValue(value);
  setEnabled(enabled);
}

void oRealEdit::ShowValueText() {
  setText(FormatValue(format_, value_));
  end(false);
}

void oRealEdit::SetValue(float value) {
  value_ = value;
  ShowValueText();
  Commit(false);
}

bool oRealEdit::ClampText() {
  const float read = ParseValue(text());
  float v = std::clamp(read, minimum_, maximum_);
  value_ = v;
  return v != read;
}

void oRealEdit::Commit(bool notify) {
  const bool corrected = ClampText();
  if (corrected || notify) ShowValueText();
  // The text now shows a committed value: Enter or focus loss without new
  // typing reports nothing.
  pristine_ = true;
  if (notify) PostCommitted();
}

void oRealEdit::PostCommitted() {
  PostMsg(NotifyWindow(this), UM_VALUE_COMMITTED, ControlId(this), 0);
}

void oRealEdit::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
    if (pristine_) {
      end(false);
    } else {
      Commit(true);
    }
    event->accept();
    return;
  }
  if (key == Qt::Key_Backspace || key == Qt::Key_Delete) {
    modified_ = true;
    QLineEdit::keyPressEvent(event);
    return;
  }
  const QString typed = event->text();
  const bool shortcut = event->modifiers() & (Qt::ControlModifier | Qt::AltModifier);
  if (typed.size() == 1 && typed[0].isPrint() && !shortcut) {
    const int s = hasSelectedText() ? static_cast<int>(selectionStart()) : cursorPosition();
    const int e = hasSelectedText() ? s + static_cast<int>(selectedText().size()) : s;
    if (!AcceptsChar(typed[0], text(), s, e, limits_)) {
      event->accept();  // swallowed
      return;
    }
    modified_ = true;
  }
  QLineEdit::keyPressEvent(event);
}

void oRealEdit::focusInEvent(QFocusEvent* event) {
  focused_ = true;
  QLineEdit::focusInEvent(event);
}

void oRealEdit::focusOutEvent(QFocusEvent* event) {
  if (focused_) {
    focused_ = false;
    if (!pristine_) Commit(true);
  }
  QLineEdit::focusOutEvent(event);
}

void oRealEdit::wheelEvent(QWheelEvent* event) {
  const int notch = event->angleDelta().y();
  if (!wheelCommits_ || !isEnabled() || event->modifiers() != Qt::NoModifier ||
      (notch != 120 && notch != -120)) {
    event->ignore();
    return;
  }
  SetValue(value_ + (notch > 0 ? 1.0f : -1.0f));
  // The page must learn of the new value, or the device would keep the old one.
  PostCommitted();
  event->accept();
}

void oRealEdit::changeEvent(QEvent* event) {
  if (event->type() == QEvent::EnabledChange) FollowOwnEnabledState(*this, skin::kDisabledText);
  QLineEdit::changeEvent(event);
}

void oRealEdit::paintEvent(QPaintEvent* event) {
  // Disabled while its window blocked input, the edit got no event: the
  // text colour is settled here.
  FollowOwnEnabledState(*this, skin::kDisabledText);
  {
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Base));
  }
  QLineEdit::paintEvent(event);
  if (frameWidth_ <= 0) return;
  QPainter p(this);
  const QColor c = FrameColor();
  skin::DrawInnerFrame(p, rect(), frameWidth_, c);
}

}  // namespace orv
