#include "ControlId.h"

#include <deque>

#include <QVariant>
#include <QWidget>

namespace orv {

namespace {
constexpr char kIdProperty[] = "orvControlId";
}

void SetControlId(QWidget* control, int id) {
  if (control) control->setProperty(kIdProperty, id);
}

int ControlId(const QWidget* control) {
  if (!control) return 0;
  const QVariant v = control->property(kIdProperty);
  return v.isValid() ? v.toInt() : 0;
}

QWidget* FindControl(const QWidget* root, int id) {
  if (!root || id == 0) return nullptr;
  std::deque<const QObject*> queue{root};
  while (!queue.empty()) {
    const QObject* node = queue.front();
    queue.pop_front();
    for (QObject* child : node->children()) {
      if (!child->isWidgetType()) continue;
      auto* w = static_cast<QWidget*>(child);
      if (ControlId(w) == id) return w;
      queue.push_back(w);
    }
  }
  return nullptr;
}

QString WidgetText(const QWidget* widget) {
  if (!widget) return {};
  for (const char* name : {"text", "title"}) {
    const QVariant v = widget->property(name);
    if (v.isValid() && v.canConvert<QString>()) return v.toString();
  }
  return widget->windowTitle();
}

bool SetWidgetText(QWidget* widget, const QString& text) {
  if (!widget) return false;
  for (const char* name : {"text", "title"}) {
    if (widget->property(name).isValid()) return widget->setProperty(name, text);
  }
  widget->setWindowTitle(text);
  return true;
}

bool SetControlText(QWidget* root, int id, const QString& text) {
  return SetWidgetText(FindControl(root, id), text);
}

}  // namespace orv
