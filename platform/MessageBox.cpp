#include "MessageBox.h"

#include <QMessageBox>
#include <QWidget>

namespace orv {

namespace {
MessageBoxHandler& Handler() {
  static MessageBoxHandler handler;
  return handler;
}

int ShowRealBox(const MessageBoxRequest& request) {
  const auto buttons = request.buttons == MsgButtons::OkCancel
                           ? QMessageBox::Ok | QMessageBox::Cancel
                           : QMessageBox::StandardButtons(QMessageBox::Ok);
  // The box belongs to the asker's top-level window: a page inside an area
  // that the wait box disables would grey the box out with it.
  QWidget* owner = request.parent != nullptr ? request.parent->window() : nullptr;
  QMessageBox box(QMessageBox::NoIcon, request.caption, request.text, buttons, owner);
  box.setDefaultButton(QMessageBox::Ok);
  return box.exec() == QMessageBox::Ok ? kIdOk : kIdCancel;
}
}  // namespace

int ShowMessageBox(QWidget* parent, const QString& text, const QString& caption,
                   MsgButtons buttons) {
  const MessageBoxRequest request{parent, text, caption, buttons};
  const int answer = Handler() ? Handler()(request) : ShowRealBox(request);
  // A box with OK only can only be answered OK.
  return buttons == MsgButtons::Ok ? kIdOk : answer;
}

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler) {
  MessageBoxHandler previous = std::move(Handler());
  Handler() = std::move(handler);
  return previous;
}

ScopedMessageBoxAnswer::ScopedMessageBoxAnswer(int answer) : answer_(answer) {
  previous_ = SetMessageBoxHandler([this](const MessageBoxRequest& request) {
    requests_.push_back(request);
    return answer_;
  });
}

ScopedMessageBoxAnswer::~ScopedMessageBoxAnswer() {
  SetMessageBoxHandler(std::move(previous_));
}

}  // namespace orv
