#pragma once
// Numbered private messages between windows, in the manner of the desktop
// toolkit the panel was first written for: post = queued, send = immediate.
// A message carries two numbers and an optional payload that the message owns
// (never a pointer to the sender's stack).
#include <cstdint>
#include <functional>

#include <QVariant>

class QWidget;

namespace orv {

struct Message {
  uint32_t id = 0;
  intptr_t wParam = 0;
  intptr_t lParam = 0;
  QVariant data;  // owned payload (a text, a list of values ...)
};

// A window that takes numbered messages. Widgets inherit it beside QWidget.
class MessageTarget {
 public:
  virtual ~MessageTarget() = default;
  virtual intptr_t OnMessage(const Message& message) = 0;
};

// Queues the message for the target's thread (the GUI thread); safe from any
// thread. A target destroyed before delivery gets nothing.
void PostMsg(QWidget* target, uint32_t id, intptr_t wParam = 0, intptr_t lParam = 0,
             QVariant data = {});
// Delivers at once; GUI thread only. Returns the target's result (0 if the
// widget is no MessageTarget).
intptr_t SendMsg(QWidget* target, uint32_t id, intptr_t wParam = 0, intptr_t lParam = 0,
                 const QVariant& data = {});

// Runs the call on the GUI thread, in the order of the calls; safe from any thread.
// Posted messages and calls share one queue, so their relative order is kept.
void RunOnGuiThread(std::function<void()> call);

// The window a control reports to: its nearest ancestor that takes messages,
// else its direct parent (a control may sit inside a plain container widget).
QWidget* NotifyWindow(QWidget* control);

// Delivers every message and call queued so far (GUI thread only). Tests use it
// instead of spinning an event loop.
void DeliverPostedMessages();

}  // namespace orv
