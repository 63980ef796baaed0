#include "WriteEvents.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

namespace orv {

namespace {

// A copy-on-write list: notification takes a snapshot under the lock and calls
// outside it, so an observer may register or remove others.
template <class Fn>
class ObserverList {
 public:
  int Add(Fn fn) {
    std::lock_guard lock(mutex_);
    auto next = std::make_shared<Entries>(*entries_);
    next->emplace_back(++lastId_, std::move(fn));
    entries_ = std::move(next);
    return lastId_;
  }
  void Remove(int id) {
    std::lock_guard lock(mutex_);
    auto next = std::make_shared<Entries>();
    for (const auto& entry : *entries_) {
      if (entry.first != id) next->push_back(entry);
    }
    entries_ = std::move(next);
  }
  template <class Arg>
  void Call(const Arg& arg) {
    std::shared_ptr<const Entries> snapshot;
    {
      std::lock_guard lock(mutex_);
      snapshot = entries_;
    }
    for (const auto& entry : *snapshot) entry.second(arg);
  }

 private:
  using Entries = std::vector<std::pair<int, Fn>>;
  std::mutex mutex_;
  std::shared_ptr<const Entries> entries_ = std::make_shared<Entries>();
  int lastId_ = 0;
};

ObserverList<SendObserver>& SendObservers() {
  static ObserverList<SendObserver> list;
  return list;
}

ObserverList<ReplyObserver>& ReplyObservers() {
  static ObserverList<ReplyObserver> list;
  return list;
}

ObserverList<OutcomeObserver>& OutcomeObservers() {
  static ObserverList<OutcomeObserver> list;
  return list;
}

std::atomic<uint64_t> g_lastSerial{0};

}  // namespace

int AddSendObserver(SendObserver observer) {
  return SendObservers().Add(std::move(observer));
}
void RemoveSendObserver(int id) {
  SendObservers().Remove(id);
}
int AddReplyObserver(ReplyObserver observer) {
  return ReplyObservers().Add(std::move(observer));
}
void RemoveReplyObserver(int id) {
  ReplyObservers().Remove(id);
}

int AddOutcomeObserver(OutcomeObserver observer) {
  return OutcomeObservers().Add(std::move(observer));
}
void RemoveOutcomeObserver(int id) {
  OutcomeObservers().Remove(id);
}
void NotifyOutcome(const WriteOutcome& outcome) {
  OutcomeObservers().Call(outcome);
}

void NotifySent(SentCommand& sent) {
  sent.serial = ++g_lastSerial;
  SendObservers().Call(sent);
}

void NotifyReply(const Reply& reply) {
  ReplyObservers().Call(reply);
}

}  // namespace orv
