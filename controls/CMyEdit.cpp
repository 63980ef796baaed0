#include "CMyEdit.h"

#include <QKeyEvent>
#include <QPainter>

#include "ControlId.h"
#include "MessageIds.h"
#include "Messages.h"
#include "OwnEnabledState.h"
#include "Skin.h"

namespace orv {

CMyEdit::CMyEdit(QWidget* parent, int controlId) : QLineEdit(parent) {
  SetControlId(this, controlId);
  setFrame(false);
  QPalette pal = skin::DarkPalette();
  for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    pal.setColor(group, QPalette::Base, skin::kBorder);
  }
  setPalette(pal);
  setTextMargins(kFrameWidth + 1, 0, kFrameWidth + 1, 0);
}

QColor CMyEdit::FrameColor() const {
  return DisabledItself(*this) ? skin::kPageBack : skin::kOrange;
}

void CMyEdit::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
    PostMsg(NotifyWindow(this), UM_EDIT_KEY, key == Qt::Key_Escape ? 27 : 13, ControlId(this));
    end(false);
    event->accept();
    return;
  }
  QLineEdit::keyPressEvent(event);
}

void CMyEdit::focusOutEvent(QFocusEvent* event) {
  PostMsg(NotifyWindow(this), UM_EDIT_KEY, 13, ControlId(this));
  QLineEdit::focusOutEvent(event);
}

void CMyEdit::changeEvent(QEvent* event) {
  if (event->type() == QEvent::EnabledChange) FollowOwnEnabledState(*this, skin::kDisabledText);
  QLineEdit::changeEvent(event);
}

void CMyEdit::paintEvent(QPaintEvent* event) {
  // Disabled while its window blocked input, the edit got no event: the
  // text colour is settled here.
  FollowOwnEnabledState(*this, skin::kDisabledText);
  {
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Base));
  }
  QLineEdit::paintEvent(event);
  QPainter p(this);
  const QColor c = FrameColor();
  skin::DrawInnerFrame(p, rect(), kFrameWidth, c);
}

}  // namespace orv
