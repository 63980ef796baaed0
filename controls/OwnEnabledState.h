#pragma once
// Whether a control draws its greyed look. A window that blocks input to its
// content while the device works (the wait box) disables the content, and Qt
// passes that on to every child; the controls must not all turn grey then.
// A control greys when it, or a widget between it and that content, was
// disabled by the page's own rules; the input block alone keeps every look,
// the way a desktop control keeps its look while its window is disabled.
#include <QColor>
#include <QWidget>

namespace orv {

// Marks the widget a window disables to block input while it waits. Its own
// disabled state, and its ancestors', never grey the controls inside it.
void MarkInputBlocker(QWidget& content);
bool IsInputBlocker(const QWidget& widget);

// The control was disabled by its own setEnabled(false), or by a widget
// between it and the nearest input blocker (or its window).
bool DisabledItself(const QWidget& control);

// For controls whose text colour comes from the palette (the edits): the
// disabled text colour is `greyed` when the control was disabled itself and
// the normal text colour otherwise. Call it before every paint: a control
// disabled while its window blocks input gets no event for it.
void FollowOwnEnabledState(QWidget& control, QColor greyed);

}  // namespace orv
