#pragma once
// Upload of an encoder package to the encoder's own TCP port (8877): a
// 15-byte start frame with the file size, the file in 2048-byte blocks, an end
// frame with the bytes sent, then the encoder's 15-byte answer (up to seven
// frames are read for it), which is acknowledged when it says OK and aborted
// otherwise.
//
// The transfer runs on a worker thread of its own; every step has a deadline,
// so an encoder that stops reading or answering ends the upload with a result
// instead of a hang. Events go to a callback on that worker thread; a UI
// forwards them to its own thread.
#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace orv {

inline constexpr uint16_t kEncoderUploadPort = 8877;
inline constexpr std::size_t kEncoderFrameSize = 15;
inline constexpr std::size_t kEncoderBlockSize = 2048;
// Frames read while waiting for the answer; others the encoder sends first
// are skipped.
inline constexpr int kEncoderAnswerTries = 7;

// Command bytes (byte 6) of the control frames.
enum class EncoderFrameKind : uint8_t {
  Answer = 0x60,
  Abort = 0x61,
  Acknowledge = 0x62,
  Start = 0x6D,
  End = 0x6F,
};

using EncoderFrame = std::array<uint8_t, kEncoderFrameSize>;

// 0xFF 0x01 0 0 0 0, kind, value little-endian, four zeros.
EncoderFrame MakeEncoderFrame(EncoderFrameKind kind, uint32_t value);
// The frame header (0xFF 0x01 0 0) and kind, or nothing.
bool IsEncoderFrame(const EncoderFrame& frame, EncoderFrameKind kind);
uint32_t EncoderFrameValue(const EncoderFrame& frame);

// Progress shown after `sent` of `total` bytes: the integer part of
// sent / total x 100 - 1, so that 100 is reached only by the encoder's OK.
int UploadProgressPercent(uint64_t sent, uint64_t total);

enum class UploadResult {
  Success,
  AlreadyRunning,
  FileMissing,
  FileEmpty,
  ConnectFailed,
  SendFailed,
  ConnectionClosed,
  NoAnswer,
  BadAnswer,  // seven frames came, none of them an answer
  Refused,    // the encoder answered, but not OK
  Cancelled,
};

struct UploadTiming {
  std::chrono::milliseconds connect{3000};
  std::chrono::milliseconds send{10000};     // per frame or block
  std::chrono::milliseconds afterStart{50};  // the encoder prepares
  std::chrono::milliseconds beforeEnd{500};  // the encoder stores the last block
  std::chrono::milliseconds answer{7000};    // all tries for the answer, however split
};

struct UploadRequest {
  std::string encoderIp;
  uint16_t port = kEncoderUploadPort;
  std::string packagePath;
  UploadTiming timing;
};

struct UploadEvent {
  bool done = false;
  int percent = 0;  // while !done: 0..99; when done: 100 on success
  UploadResult result = UploadResult::Success;
  uint64_t bytesSent = 0;
};

class EncoderUpload {
 public:
  using Listener = std::function<void(const UploadEvent&)>;

  EncoderUpload() = default;
  ~EncoderUpload();  // cancels a running upload and waits for its thread
  EncoderUpload(const EncoderUpload&) = delete;
  EncoderUpload& operator=(const EncoderUpload&) = delete;

  // Starts the worker. While one runs, a second start is refused: the
  // listener gets a done event with AlreadyRunning at once (on the caller's
  // thread) and the running upload goes on.
  void Start(UploadRequest request, Listener listener);
  bool Running() const { return running_.load(); }
  void Cancel() { cancel_.store(true); }

 private:
  void Run(const UploadRequest& request, const Listener& listener);

  std::mutex mutex_;
  std::thread worker_;
  std::atomic<bool> running_{false};
  std::atomic<bool> cancel_{false};
};

}  // namespace orv
