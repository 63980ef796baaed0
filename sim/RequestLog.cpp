#include "RequestLog.h"

#include <algorithm>

namespace orv::sim {

void RequestLog::Add(RequestSource source, const wire::FrameView& frame) {
  ReceivedRequest entry;
  entry.at = std::chrono::steady_clock::now();
  entry.source = source;
  entry.kind = frame.kind;
  entry.type = frame.type;
  entry.address = frame.address;
  entry.size = frame.payload.size();
  const std::size_t kept = std::min(frame.payload.size(), ReceivedRequest::kHeadBytes);
  entry.head.assign(frame.payload.begin(), frame.payload.begin() + kept);
  {
    std::lock_guard lock(mutex_);
    if (entries_.size() == kMaxEntries) entries_.pop_front();
    entries_.push_back(std::move(entry));
  }
  grown_.notify_all();
}

std::vector<ReceivedRequest> RequestLog::Entries() const {
  std::lock_guard lock(mutex_);
  return {entries_.begin(), entries_.end()};
}

std::size_t RequestLog::Size() const {
  std::lock_guard lock(mutex_);
  return entries_.size();
}

void RequestLog::Clear() {
  std::lock_guard lock(mutex_);
  entries_.clear();
}

bool RequestLog::WaitForSize(std::size_t count, std::chrono::milliseconds timeout) const {
  std::unique_lock lock(mutex_);
  return grown_.wait_for(lock, timeout, [&] { return entries_.size() >= count; });
}

}  // namespace orv::sim
