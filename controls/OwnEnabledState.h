#pragma once
// Whether a control draws its greyed look. A window that blocks input to its
// content while the device works (the wait box) disables the content, and Qt
// passes that on to every child; the controls must not all turn grey then.
// A control greys only when it was disabled itself, the way a desktop
// control keeps its look while the window around it is disabled.
#include <QWidget>

namespace orv {

inline bool DisabledItself(const QWidget& control) {
  return control.testAttribute(Qt::WA_ForceDisabled);
}

// For controls whose text colour comes from the palette (the edits): the
// disabled text colour is `greyed` when the control was disabled itself and
// the normal text colour otherwise. Call it on every EnabledChange.
void FollowOwnEnabledState(QWidget& control, QColor greyed);

}  // namespace orv
