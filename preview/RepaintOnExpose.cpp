#include "RepaintOnExpose.h"

#include <QEvent>
#include <QWidget>

#include "SdlTarget.h"

namespace orv::preview {

namespace {

class ExposeFilter : public QObject {
 public:
  ExposeFilter(QWidget* window, SdlTarget* target) : QObject(window), target_(target) {
    window->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && watched == parent()) target_->Repaint();
    return QObject::eventFilter(watched, event);
  }

 private:
  SdlTarget* target_;
};

}  // namespace

void RepaintOnExpose(QWidget* window, SdlTarget* target) {
  new ExposeFilter(window, target);
}

}  // namespace orv::preview
