#include "RotatingLog.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include <sys/stat.h>

namespace orv {

namespace {

std::string RotatedName(const std::string& path, int n) {
  return n == 0 ? path : path + "." + std::to_string(n);
}

bool Exists(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0;
}

std::size_t SizeOf(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return 0;
  return static_cast<std::size_t>(info.st_size);
}

}  // namespace

RotatingLog::RotatingLog(Options options) : options_(std::move(options)) {
  options_.files = std::max(options_.files, 1);
  options_.maxBytes = std::max<std::size_t>(options_.maxBytes, 1);
  writer_ = std::thread([this] { Run(); });
}

RotatingLog::~RotatingLog() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  writer_.join();
}

void RotatingLog::Append(std::string line) {
  {
    std::lock_guard lock(mutex_);
    if (queue_.size() >= options_.maxQueuedLines) {
      ++dropped_;
      return;
    }
    queue_.push_back(std::move(line));
    ++queued_;
  }
  wake_.notify_one();
}

void RotatingLog::Flush() {
  std::unique_lock lock(mutex_);
  const uint64_t target = queued_;
  written_.wait(lock, [&] { return done_ >= target || stopping_; });
}

void RotatingLog::SetFailureHandler(std::function<void(const std::string&)> handler) {
  std::lock_guard lock(mutex_);
  onFailure_ = std::move(handler);
}

uint64_t RotatingLog::DroppedLines() const {
  std::lock_guard lock(mutex_);
  return dropped_;
}

bool RotatingLog::Failed() const {
  std::lock_guard lock(mutex_);
  return failed_;
}

void RotatingLog::Run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [&] { return stopping_ || !queue_.empty(); });
    if (queue_.empty() && stopping_) return;
    std::vector<std::string> batch(std::make_move_iterator(queue_.begin()),
                                   std::make_move_iterator(queue_.end()));
    queue_.clear();
    lock.unlock();
    for (const std::string& line : batch) Write(line);
    lock.lock();
    done_ += batch.size();
    written_.notify_all();
  }
}

void RotatingLog::Rotate() {
  std::remove(RotatedName(options_.path, options_.files - 1).c_str());
  for (int n = options_.files - 2; n >= 0; --n) {
    const std::string from = RotatedName(options_.path, n);
    if (Exists(from)) std::rename(from.c_str(), RotatedName(options_.path, n + 1).c_str());
  }
  if (options_.files == 1) std::remove(options_.path.c_str());
  currentBytes_ = 0;
}

bool RotatingLog::Write(const std::string& line) {
  if (!sizeKnown_) {
    currentBytes_ = SizeOf(options_.path);
    sizeKnown_ = true;
  }
  const std::size_t bytes = line.size() + 1;
  if (currentBytes_ > 0 && currentBytes_ + bytes > options_.maxBytes) Rotate();
  std::FILE* file = std::fopen(options_.path.c_str(), "ab");
  if (file == nullptr) {
    Fail(options_.path + ": " + std::strerror(errno));
    return false;
  }
  const bool ok = std::fwrite(line.data(), 1, line.size(), file) == line.size() &&
                  std::fputc('\n', file) != EOF;
  const bool closed = std::fclose(file) == 0;
  if (!ok || !closed) {
    Fail(options_.path + ": " + std::strerror(errno));
    sizeKnown_ = false;
    return false;
  }
  currentBytes_ += bytes;
  return true;
}

void RotatingLog::Fail(const std::string& what) {
  std::function<void(const std::string&)> handler;
  {
    std::lock_guard lock(mutex_);
    if (failed_) return;
    failed_ = true;
    handler = onFailure_;
  }
  if (handler) handler(what);
}

}  // namespace orv
