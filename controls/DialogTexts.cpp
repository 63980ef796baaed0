#include "DialogTexts.h"

#include <string>

#include <QAbstractSpinBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QString>
#include <QTextEdit>
#include <QWidget>

#include "ControlId.h"
#include "Messages.h"
#include "UiTexts.h"

namespace orv {
namespace {

// Every kind of edit control; their text is the operator's, not a caption.
bool IsEdit(const QWidget* widget) {
  return qobject_cast<const QLineEdit*>(widget) || qobject_cast<const QTextEdit*>(widget) ||
         qobject_cast<const QPlainTextEdit*>(widget) ||
         qobject_cast<const QAbstractSpinBox*>(widget);
}

// A window of its own (a page, a dialog) inside another one.
bool IsNestedWindow(const QWidget* widget) {
  return widget->isWindow() || dynamic_cast<const MessageTarget*>(widget) != nullptr;
}

void Relabel(QWidget* control, const QString& text) {
  if (control->isHidden()) {
    SetWidgetText(control, text);
    return;
  }
  const bool hadFocus = control->hasFocus();
  control->hide();
  SetWidgetText(control, text);
  control->show();
  if (hadFocus) control->setFocus();
}

void ApplyControlTexts(QWidget* parent) {
  for (QObject* object : parent->children()) {
    if (!object->isWidgetType()) continue;
    auto* child = static_cast<QWidget*>(object);
    if (IsNestedWindow(child) || IsEdit(child)) continue;
    if (const int id = ControlId(child); id != 0) {
      const std::string text = GetRawText("IDS_" + std::to_string(id));
      if (!text.empty()) Relabel(child, QString::fromStdString(text));
    }
    // Group boxes and containers hold controls of the same dialog.
    ApplyControlTexts(child);
  }
}

}  // namespace

void ApplyDialogTexts(QWidget* dialog, int templateId) {
  if (dialog == nullptr) return;
  const std::string title = GetRawText("IDD" + std::to_string(templateId) + "_Title");
  if (!title.empty()) dialog->setWindowTitle(QString::fromStdString(title));
  ApplyControlTexts(dialog);
}

}  // namespace orv
