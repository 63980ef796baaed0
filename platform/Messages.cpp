#include "Messages.h"

#include <mutex>

#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <QThread>
#include <QWidget>
#include <QtDebug>

namespace orv {
namespace {

QEvent::Type MessageEventType() {
  static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
  return type;
}

QEvent::Type CallEventType() {
  static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
  return type;
}

class MessageEvent : public QEvent {
 public:
  MessageEvent(QWidget* target, Message message)
      : QEvent(MessageEventType()), target_(target), message_(std::move(message)) {}
  QPointer<QWidget> target_;  // cleared when the widget goes before delivery
  Message message_;
};

class CallEvent : public QEvent {
 public:
  explicit CallEvent(std::function<void()> call)
      : QEvent(CallEventType()), call_(std::move(call)) {}
  std::function<void()> call_;
};

// One receiver on the GUI thread for every posted message and call: Qt keeps
// events posted to one object in order, which gives the ordering guarantee.
class Dispatcher : public QObject {
 public:
  bool event(QEvent* e) override {
    if (e->type() == MessageEventType()) {
      auto* me = static_cast<MessageEvent*>(e);
      if (QWidget* widget = me->target_.data()) {
        if (auto* target = dynamic_cast<MessageTarget*>(widget)) target->OnMessage(me->message_);
      }
      return true;
    }
    if (e->type() == CallEventType()) {
      auto* ce = static_cast<CallEvent*>(e);
      if (ce->call_) ce->call_();
      return true;
    }
    return QObject::event(e);
  }
};

std::mutex dispatcher_mutex;
QPointer<Dispatcher> dispatcher;

// Returns the dispatcher, creating it on the application's thread on first use.
Dispatcher* GetDispatcher() {
  QCoreApplication* app = QCoreApplication::instance();
  if (!app) return nullptr;
  std::lock_guard lock(dispatcher_mutex);
  if (!dispatcher) {
    auto* created = new Dispatcher;
    if (created->thread() != app->thread()) created->moveToThread(app->thread());
    // Dies with the application; a later application gets a new one.
    QObject::connect(app, &QObject::destroyed, [created] { delete created; });
    dispatcher = created;
  }
  return dispatcher.data();
}

bool OnGuiThread() {
  QCoreApplication* app = QCoreApplication::instance();
  return app && QThread::currentThread() == app->thread();
}

}  // namespace

void PostMsg(QWidget* target, uint32_t id, intptr_t wParam, intptr_t lParam, QVariant data) {
  if (!target) return;
  Dispatcher* d = GetDispatcher();
  if (!d) return;
  Message message{id, wParam, lParam, std::move(data)};
  QCoreApplication::postEvent(d, new MessageEvent(target, std::move(message)));
}

intptr_t SendMsg(QWidget* target, uint32_t id, intptr_t wParam, intptr_t lParam,
                 const QVariant& data) {
  if (!target) return 0;
  if (!OnGuiThread()) {
    // Waiting here for the GUI thread could deadlock the caller's thread; the
    // message is queued instead and the caller gets no result.
    qWarning("SendMsg(0x%x) called off the GUI thread; posted instead", id);
    PostMsg(target, id, wParam, lParam, data);
    return 0;
  }
  auto* receiver = dynamic_cast<MessageTarget*>(target);
  if (!receiver) return 0;
  return receiver->OnMessage(Message{id, wParam, lParam, data});
}

void RunOnGuiThread(std::function<void()> call) {
  if (!call) return;
  Dispatcher* d = GetDispatcher();
  if (!d) {
    qWarning("RunOnGuiThread called without an application object; call dropped");
    return;
  }
  QCoreApplication::postEvent(d, new CallEvent(std::move(call)));
}

QWidget* NotifyWindow(QWidget* control) {
  if (!control) return nullptr;
  for (QWidget* w = control->parentWidget(); w; w = w->parentWidget()) {
    if (dynamic_cast<MessageTarget*>(w)) return w;
  }
  return control->parentWidget();
}

void DeliverPostedMessages() {
  if (!OnGuiThread()) return;
  if (Dispatcher* d = GetDispatcher()) QCoreApplication::sendPostedEvents(d, 0);
}

}  // namespace orv
