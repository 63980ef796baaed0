#include "OwnEnabledState.h"

#include <QPalette>

namespace orv {

void FollowOwnEnabledState(QWidget& control, QColor greyed) {
  QPalette pal = control.palette();
  const QColor text =
      DisabledItself(control) ? greyed : pal.color(QPalette::Active, QPalette::Text);
  if (pal.color(QPalette::Disabled, QPalette::Text) == text) return;
  pal.setColor(QPalette::Disabled, QPalette::Text, text);
  control.setPalette(pal);
}

}  // namespace orv
