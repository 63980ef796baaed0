#pragma once
// Modal message boxes for the operator, with a caption and OK or OK/Cancel.
// Tests install a handler so that no box blocks and the question is recorded.
#include <functional>
#include <vector>

#include <QString>

class QWidget;

namespace orv {

enum class MsgButtons { Ok, OkCancel };
// The desktop toolkit's answer numbers, kept so callers can compare with them.
enum MsgResult : int { kIdOk = 1, kIdCancel = 2 };

struct MessageBoxRequest {
  QWidget* parent = nullptr;
  QString text;
  QString caption;
  MsgButtons buttons = MsgButtons::Ok;
};

using MessageBoxHandler = std::function<int(const MessageBoxRequest&)>;

// Shows the box modally (or asks the installed handler) and returns kIdOk or kIdCancel.
int ShowMessageBox(QWidget* parent, const QString& text, const QString& caption,
                   MsgButtons buttons = MsgButtons::Ok);

// Replaces the box by `handler` (an empty handler restores the real box);
// returns the previous handler.
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);

// For tests: while alive, every box is answered with `answer` and recorded.
class ScopedMessageBoxAnswer {
 public:
  explicit ScopedMessageBoxAnswer(int answer = kIdOk);
  ~ScopedMessageBoxAnswer();
  ScopedMessageBoxAnswer(const ScopedMessageBoxAnswer&) = delete;
  ScopedMessageBoxAnswer& operator=(const ScopedMessageBoxAnswer&) = delete;

  void SetAnswer(int answer) { answer_ = answer; }
  const std::vector<MessageBoxRequest>& Requests() const { return requests_; }

 private:
  int answer_;
  std::vector<MessageBoxRequest> requests_;
  MessageBoxHandler previous_;
};

}  // namespace orv
