#pragma once
// The processor's encoder as the package upload sees it: a TCP listener on
// port 8877 of the processor's own address that reads the start frame, the
// file and the end frame, answers OK when it got every byte, and keeps the
// package once the panel acknowledges. Control modes make it misbehave.
// Its own I/O thread; the public methods may be called from any thread.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include <asio.hpp>

namespace orv::sim {

enum class EncoderPeerMode {
  Ok,      // answers OK when the end frame matches what arrived
  Fail,    // answers, but not OK
  Silent,  // never answers
  Short,   // answers 14 bytes only
  Split,   // answers in three pieces with pauses between them
  Close,   // hangs up after the first data block
  Noisy,   // sends two frames of another kind before its answer
  Babble,  // sends seven frames of another kind before its answer
};

// "ok", "fail", ... and back; false for an unknown name.
bool ParseEncoderPeerMode(std::string_view name, EncoderPeerMode* mode);

struct EncoderPeerRecord {
  int sessionsEnded = 0;
  int acknowledged = 0;
  int aborted = 0;
  std::vector<uint8_t> package;    // the last acknowledged package
  std::vector<uint8_t> lastKinds;  // control frame kinds of the last session, in order
};

class EncoderPeer {
 public:
  EncoderPeer(std::string ip, uint16_t port = 8877);
  ~EncoderPeer();
  EncoderPeer(const EncoderPeer&) = delete;
  EncoderPeer& operator=(const EncoderPeer&) = delete;

  bool Start(std::string* error = nullptr);
  void Stop();

  void SetMode(EncoderPeerMode mode);
  EncoderPeerRecord Record() const;
  // Waits until `count` sessions have ended in all; false after `limit`.
  bool WaitSessionsEnded(int count, std::chrono::milliseconds limit) const;

 private:
  asio::awaitable<void> AcceptLoop();
  asio::awaitable<void> Serve(asio::ip::tcp::socket socket);
  void EndSession(std::vector<uint8_t> kinds, std::vector<uint8_t>* kept, bool aborted);

  std::string ip_;
  uint16_t port_;
  asio::io_context io_;
  asio::ip::tcp::acceptor acceptor_;
  std::thread thread_;

  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  EncoderPeerMode mode_ = EncoderPeerMode::Ok;
  EncoderPeerRecord record_;
};

}  // namespace orv::sim
