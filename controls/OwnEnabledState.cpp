#include "OwnEnabledState.h"

#include <QPalette>
#include <QVariant>

namespace orv {

namespace {
constexpr char kInputBlocker[] = "orvInputBlocker";
}

void MarkInputBlocker(QWidget& content) {
  content.setProperty(kInputBlocker, true);
}

bool IsInputBlocker(const QWidget& widget) {
  return widget.property(kInputBlocker).toBool();
}

bool DisabledItself(const QWidget& control) {
  // Qt keeps WA_ForceDisabled on the widget that setEnabled(false) was
  // called on; its children carry only WA_Disabled.
  for (const QWidget* w = &control; w != nullptr; w = w->parentWidget()) {
    if (IsInputBlocker(*w)) return false;
    if (w->testAttribute(Qt::WA_ForceDisabled)) return true;
    if (w->isWindow()) return false;
  }
  return false;
}

void FollowOwnEnabledState(QWidget& control, QColor greyed) {
  QPalette pal = control.palette();
  const QColor text =
      DisabledItself(control) ? greyed : pal.color(QPalette::Active, QPalette::Text);
  if (pal.color(QPalette::Disabled, QPalette::Text) == text) return;
  pal.setColor(QPalette::Disabled, QPalette::Text, text);
  control.setPalette(pal);
}

}  // namespace orv
