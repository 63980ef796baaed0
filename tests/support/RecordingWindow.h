#pragma once
// A window that records the numbered messages sent or posted to it: the
// stand-in for a page's parent or for the main window in GUI tests.
#include <vector>

#include <QWidget>

#include "Messages.h"

namespace orv::test {

class RecordingWindow : public QWidget, public MessageTarget {
 public:
  explicit RecordingWindow(QWidget* parent = nullptr) : QWidget(parent) {}
  intptr_t OnMessage(const Message& m) override {
    messages.push_back(m);
    return 0;
  }
  // Delivers what was posted and returns it, clearing the record.
  std::vector<Message> Take() {
    DeliverPostedMessages();
    std::vector<Message> out;
    out.swap(messages);
    return out;
  }
  std::vector<Message> messages;
};

}  // namespace orv::test
