#pragma once
// A text log that rotates by size: "name", then "name.1" (the newest full
// one) up to "name.<files - 1>", the oldest dropped. Lines are queued and
// written by a thread of its own, so a caller on the user-interface thread
// never waits for the disk. A failure to write is told once.
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace orv {

class RotatingLog {
 public:
  struct Options {
    std::string path;                    // the current file; its folder must exist
    std::size_t maxBytes = 1024 * 1024;  // a file is rotated before it would pass this
    int files = 5;                       // the current file and its rotated copies
    std::size_t maxQueuedLines = 10000;  // lines beyond this while the disk lags are dropped
  };

  explicit RotatingLog(Options options);
  ~RotatingLog();  // writes what is queued, then stops
  RotatingLog(const RotatingLog&) = delete;
  RotatingLog& operator=(const RotatingLog&) = delete;

  // Queues one line (a line end is added); returns at once.
  void Append(std::string line);
  // Waits until every line queued so far was written (or failed).
  void Flush();
  // Called once, on the writer thread, with what failed the first time.
  void SetFailureHandler(std::function<void(const std::string&)> handler);

  uint64_t DroppedLines() const;
  bool Failed() const;

 private:
  void Run();
  bool Write(const std::string& line);
  void Rotate();
  void Fail(const std::string& what);

  Options options_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable written_;
  std::deque<std::string> queue_;
  uint64_t queued_ = 0;
  uint64_t done_ = 0;
  uint64_t dropped_ = 0;
  bool stopping_ = false;
  bool failed_ = false;
  std::function<void(const std::string&)> onFailure_;
  std::size_t currentBytes_ = 0;
  bool sizeKnown_ = false;
  std::thread writer_;
};

}  // namespace orv
