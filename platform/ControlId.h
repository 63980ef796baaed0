#pragma once
// Control ids: every control of a window keeps the number it had in the
// window's template, so that language files can relabel controls by number
// and pages can look their controls up the way the desktop toolkit does.
#include <QString>

class QWidget;

namespace orv {

void SetControlId(QWidget* control, int id);
// 0 when the widget carries no id.
int ControlId(const QWidget* control);
// The first descendant of `root` (breadth first: direct children before their
// children) with that id, or null.
QWidget* FindControl(const QWidget* root, int id);

// The caption of a widget: its "text" property (buttons, labels, edits and the
// skinned controls), else its "title" property (group boxes), else its window title.
QString WidgetText(const QWidget* widget);
bool SetWidgetText(QWidget* widget, const QString& text);
// Relabels the control `id` under `root`; false when there is no such control.
bool SetControlText(QWidget* root, int id, const QString& text);

}  // namespace orv
