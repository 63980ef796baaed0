#pragma once
// Helpers for tests of the library against the virtual processor: a recorder
// of every delivered reply, and waiting with a deadline instead of sleeping.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "OrvComm.h"

namespace orv::test {

struct Recorded {
  uint8_t dataType = 0;
  std::vector<uint8_t> data;
  std::vector<uint8_t> extra;
  int32_t arg1 = 0;
  int32_t arg2 = 0;
  uint8_t source = 0;
  std::thread::id thread;
};

class ReplyRecorder {
 public:
  // Registers itself for every data type of `comm`.
  explicit ReplyRecorder(CommLibrary& comm) : comm_(comm) {
    for (int t = 0; t < kReplyDataTypes; ++t) {
      comm.RegisterReply([this](const Reply& r) { Add(r); }, t);
    }
  }
  // Unregisters, and waits for a reply function that may still be running.
  ~ReplyRecorder() {
    for (int t = 0; t < kReplyDataTypes; ++t) comm_.RegisterReply(nullptr, t);
    if (auto* orv = dynamic_cast<OrvComm*>(&comm_)) orv->Sync(10000);
  }
  ReplyRecorder(const ReplyRecorder&) = delete;
  ReplyRecorder& operator=(const ReplyRecorder&) = delete;

  void Add(const Reply& r) {
    Recorded rec{r.dataType,
                 {r.data.begin(), r.data.end()},
                 {r.extra.begin(), r.extra.end()},
                 r.arg1,
                 r.arg2,
                 r.sourceAddress,
                 std::this_thread::get_id()};
    std::function<void(const Recorded&)> hook;
    {
      std::lock_guard lock(mutex_);
      replies_.push_back(rec);
      hook = hook_;
    }
    if (hook) hook(rec);
    changed_.notify_all();
  }

  // Called on the reply thread for each reply, after recording it.
  void SetHook(std::function<void(const Recorded&)> hook) {
    std::lock_guard lock(mutex_);
    hook_ = std::move(hook);
  }

  std::vector<Recorded> All() const {
    std::lock_guard lock(mutex_);
    return replies_;
  }
  void Clear() {
    std::lock_guard lock(mutex_);
    replies_.clear();
  }
  std::size_t Count(uint8_t type, int source = -1) const {
    std::lock_guard lock(mutex_);
    std::size_t n = 0;
    for (const auto& r : replies_) n += r.dataType == type && (source < 0 || r.source == source);
    return n;
  }
  // Waits until `count` replies of `type` (from `source`, if given) arrived.
  bool WaitFor(uint8_t type, std::size_t count = 1, int source = -1, int timeoutMs = 10000) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
      std::size_t n = 0;
      for (const auto& r : replies_) n += r.dataType == type && (source < 0 || r.source == source);
      return n >= count;
    });
  }
  // The last reply of a type; an empty record with dataType 0xFF if none.
  Recorded Last(uint8_t type) const {
    std::lock_guard lock(mutex_);
    for (auto it = replies_.rbegin(); it != replies_.rend(); ++it) {
      if (it->dataType == type) return *it;
    }
    Recorded none;
    none.dataType = 0xFF;
    return none;
  }

 private:
  CommLibrary& comm_;
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<Recorded> replies_;
  std::function<void(const Recorded&)> hook_;
};

// Polls `condition` until it holds or `timeoutMs` passes.
inline bool Eventually(const std::function<bool()>& condition, int timeoutMs = 10000) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

// A 32-byte command buffer: 0x55 everywhere, the given bytes first.
inline std::vector<uint8_t> Buffer(std::initializer_list<uint8_t> bytes = {}) {
  std::vector<uint8_t> b(32, 0x55);
  std::copy(bytes.begin(), bytes.end(), b.begin());
  return b;
}

}  // namespace orv::test
