#pragma once
// One byte-stream link (a TCP connection, a serial port, a pseudo-terminal)
// driven by one Asio I/O thread: it reads, splits the stream into frames and
// hands each frame to its owner; it queues writes so that a sender on any
// thread never waits for the transport. A link goes Connecting -> Open ->
// Closed and never comes back; reopening means a new link.
//
// A frame whose rest stops coming is given up (see kStallQuietMs), so a
// peer that falls silent in the middle of a frame holds up nothing behind it.
#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include <asio.hpp>

#include "FrameParser.h"

namespace orv {

class StreamLink : public std::enable_shared_from_this<StreamLink> {
 public:
  enum class State { Connecting, Open, Closed };
  // An incomplete frame is dropped when no byte of it arrived for this long
  // plus the line time of the bytes still missing (at the receive rate).
  static constexpr int kStallQuietMs = 300;
  using FrameHandler = std::function<void(StreamLink&, const wire::FrameView&)>;
  using ClosedHandler = std::function<void(StreamLink&)>;
  using StatsHandler = std::function<void(const wire::ParseStats& delta)>;

  StreamLink(asio::io_context& io, std::string name, std::size_t maxQueuedBytes);
  virtual ~StreamLink() = default;
  StreamLink(const StreamLink&) = delete;
  StreamLink& operator=(const StreamLink&) = delete;

  // Any thread. Queues one frame; false when the link is closed or its queue
  // is full (a stalled peer must not make the queue grow without bound).
  bool Send(std::vector<uint8_t> bytes);
  // Any thread. Closes the link; the closed handler runs on the I/O thread.
  void Close();

  // I/O thread: handlers, then reading and writing begin.
  void Start(FrameHandler onFrame, ClosedHandler onClosed, StatsHandler onStats = {});

  // Paces output to a serial line's rate (10 bits per byte); 0 = as fast as
  // the transport takes it.
  void SetLineRate(int baud) { baud_ = baud; }  // any thread
  // The rate bytes arrive at on a serial line (10 bits per byte), for the
  // stall limit; 0 = a network link, where a frame's bytes arrive together.
  void SetReceiveRate(int baud) { receiveBaud_ = baud; }  // any thread

  State state() const { return state_.load(); }
  bool IsClosed() const { return state_.load() == State::Closed; }
  const std::string& name() const { return name_; }
  uint64_t bytesWritten() const { return bytesWritten_.load(); }
  // Whole frames received so far (any thread): a sign of life of the peer.
  uint64_t framesReceived() const { return framesReceived_.load(); }
  asio::io_context& io() { return io_; }

 protected:
  using IoHandler = std::function<void(const asio::error_code&, std::size_t)>;
  virtual void AsyncReadSome(asio::mutable_buffer buffer, IoHandler handler) = 0;
  virtual void AsyncWrite(asio::const_buffer buffer, IoHandler handler) = 0;
  virtual void CloseTransport() = 0;

 private:
  void ReadNext();
  template <class Step>
  void ParseWith(Step step);
  void ArmStallTimer();
  void WriteNext();
  void WriteChunk(std::size_t chunk);
  void DoClose();
  void FinishClose();
  void PublishStats();

  asio::io_context& io_;
  std::string name_;
  std::size_t maxQueuedBytes_;
  std::atomic<State> state_{State::Connecting};
  std::atomic<std::size_t> queuedBytes_{0};
  std::atomic<uint64_t> bytesWritten_{0};
  std::atomic<uint64_t> framesReceived_{0};
  bool started_ = false;
  bool writing_ = false;
  bool inFeed_ = false;
  bool closing_ = false;  // DoClose has begun; the state turns Closed at its end
  std::atomic<int> baud_{0};
  std::atomic<int> receiveBaud_{0};
  std::deque<std::vector<uint8_t>> queue_;
  std::size_t frontOffset_ = 0;  // bytes of queue_.front() already written
  asio::steady_timer paceTimer_;
  asio::steady_timer stallTimer_;
  uint64_t stallGeneration_ = 0;  // a newer arming outdates a pending wait
  std::chrono::steady_clock::time_point lineFreeAt_{};
  std::array<uint8_t, 4096> readBuffer_{};
  wire::FrameParser parser_;
  wire::ParseStats published_{};
  FrameHandler onFrame_;
  ClosedHandler onClosed_;
  StatsHandler onStats_;
};

// A link over any Asio byte stream (tcp::socket, serial_port,
// posix::stream_descriptor).
template <class Stream>
class AsioStreamLink final : public StreamLink {
 public:
  AsioStreamLink(asio::io_context& io, std::string name, std::size_t maxQueuedBytes)
      : StreamLink(io, std::move(name), maxQueuedBytes), stream_(io) {}
  Stream& stream() { return stream_; }

 protected:
  void AsyncReadSome(asio::mutable_buffer buffer, IoHandler handler) override {
    stream_.async_read_some(buffer, std::move(handler));
  }
  void AsyncWrite(asio::const_buffer buffer, IoHandler handler) override {
    asio::async_write(stream_, buffer, std::move(handler));
  }
  void CloseTransport() override {
    asio::error_code ignored;
    stream_.close(ignored);
  }

 private:
  Stream stream_;
};

}  // namespace orv
