#include "EncoderUpload.h"

#include <cmath>
#include <fstream>
#include <vector>

#include <asio.hpp>

#include "Ipv4.h"

namespace orv {

namespace {

constexpr uint8_t kHeader[4] = {0xFF, 0x01, 0x00, 0x00};
constexpr std::size_t kKindByte = 6;
constexpr std::size_t kValueByte = 7;

// One socket whose every operation ends by its deadline: the operation runs
// on a private io_context for at most the given time, after which it is
// cancelled. The socket stays open, so an abort frame can still follow.
class DeadlineSocket {
 public:
  DeadlineSocket() : socket_(io_) {}
  ~DeadlineSocket() { Close(); }

  bool Connect(const asio::ip::tcp::endpoint& peer, std::chrono::milliseconds limit) {
    return Run(limit, [&](asio::error_code& ec) {
      socket_.async_connect(peer, [&](const asio::error_code& e) { ec = e; });
    });
  }
  bool Write(const void* data, std::size_t size, std::chrono::milliseconds limit) {
    return Run(limit, [&](asio::error_code& ec) {
      asio::async_write(socket_, asio::buffer(data, size),
                        [&](const asio::error_code& e, std::size_t) { ec = e; });
    });
  }
  // Reads exactly `size` bytes, in as many pieces as they come. `closed`
  // tells a peer that hung up from one that ran out of time.
  bool Read(void* data, std::size_t size, std::chrono::milliseconds limit, bool* closed) {
    asio::error_code result;
    const bool ok = Run(
        limit,
        [&](asio::error_code& ec) {
          asio::async_read(socket_, asio::buffer(data, size),
                           [&](const asio::error_code& e, std::size_t) { ec = e; });
        },
        &result);
    *closed = !ok && (result == asio::error::eof || result == asio::error::connection_reset);
    return ok;
  }
  void Close() {
    asio::error_code ignored;
    if (socket_.is_open()) {
      socket_.shutdown(asio::ip::tcp::socket::shutdown_both, ignored);
      socket_.close(ignored);
    }
  }

 private:
  template <class Begin>
  bool Run(std::chrono::milliseconds limit, Begin begin, asio::error_code* out = nullptr) {
    asio::error_code ec = asio::error::would_block;
    io_.restart();
    begin(ec);
    io_.run_for(limit);
    if (!io_.stopped()) {
      // Out of time: cancel the operation and run its handler.
      asio::error_code ignored;
      socket_.cancel(ignored);
      io_.run();
      ec = asio::error::timed_out;
    }
    if (out) *out = ec;
    return !ec;
  }

  asio::io_context io_;
  asio::ip::tcp::socket socket_;
};

class Transfer {
 public:
  Transfer(const UploadRequest& request, const EncoderUpload::Listener& listener,
           const std::atomic<bool>& cancel)
      : request_(request), listener_(listener), cancel_(cancel) {}

  UploadResult Run() {
    std::ifstream file(request_.packagePath, std::ios::binary);
    if (!file) return UploadResult::FileMissing;
    file.seekg(0, std::ios::end);
    const std::streamoff size = file.tellg();
    file.seekg(0, std::ios::beg);
    if (size <= 0 || !file) return size == 0 ? UploadResult::FileEmpty : UploadResult::FileMissing;
    if (size > 0xFFFFFFFFLL) return UploadResult::FileMissing;
    total_ = static_cast<uint64_t>(size);

    const auto ip = ParseIpv4(request_.encoderIp);
    if (!ip) return UploadResult::ConnectFailed;
    const asio::ip::tcp::endpoint peer(asio::ip::address_v4(*ip), request_.port);
    if (!socket_.Connect(peer, request_.timing.connect)) return UploadResult::ConnectFailed;

    if (!SendFrame(EncoderFrameKind::Start, static_cast<uint32_t>(total_)))
      return UploadResult::SendFailed;
    std::this_thread::sleep_for(request_.timing.afterStart);

    if (const auto r = SendFile(file); r != UploadResult::Success) return Abort(r);
    std::this_thread::sleep_for(request_.timing.beforeEnd);
    if (cancel_.load()) return Abort(UploadResult::Cancelled);
    if (!SendFrame(EncoderFrameKind::End, static_cast<uint32_t>(sent_)))
      return Abort(UploadResult::SendFailed);

    EncoderFrame answer{};
    if (const auto r = ReceiveAnswer(answer); r != UploadResult::Success) return Abort(r);
    if (answer[kValueByte] != 1) return Abort(UploadResult::Refused);
    if (!SendFrame(EncoderFrameKind::Acknowledge, static_cast<uint32_t>(sent_)))
      return UploadResult::SendFailed;
    return UploadResult::Success;
  }

  uint64_t sent() const { return sent_; }

 private:
  UploadResult SendFile(std::ifstream& file) {
    std::vector<char> block(kEncoderBlockSize);
    int shown = -1;
    while (sent_ < total_) {
      if (cancel_.load()) return UploadResult::Cancelled;
      const auto want =
          static_cast<std::streamsize>(std::min<uint64_t>(kEncoderBlockSize, total_ - sent_));
      file.read(block.data(), want);
      if (file.gcount() != want) return UploadResult::FileMissing;  // shrank or unreadable
      if (!socket_.Write(block.data(), static_cast<std::size_t>(want), request_.timing.send))
        return UploadResult::SendFailed;
      sent_ += static_cast<uint64_t>(want);
      const int percent = UploadProgressPercent(sent_, total_);
      if (percent != shown) {
        shown = percent;
        listener_(UploadEvent{false, percent, UploadResult::Success, sent_});
      }
    }
    return UploadResult::Success;
  }

  // Up to kEncoderAnswerTries frames within the answer time; a frame that is
  // not an answer is skipped. A frame may arrive in pieces.
  UploadResult ReceiveAnswer(EncoderFrame& answer) {
    const auto deadline = std::chrono::steady_clock::now() + request_.timing.answer;
    for (int tries = 0; tries < kEncoderAnswerTries; ++tries) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          deadline - std::chrono::steady_clock::now());
      bool closed = false;
      if (left.count() <= 0 || !socket_.Read(answer.data(), answer.size(), left, &closed))
        return closed ? UploadResult::ConnectionClosed : UploadResult::NoAnswer;
      if (IsEncoderFrame(answer, EncoderFrameKind::Answer)) return UploadResult::Success;
    }
    return UploadResult::BadAnswer;
  }

  bool SendFrame(EncoderFrameKind kind, uint32_t value) {
    const EncoderFrame frame = MakeEncoderFrame(kind, value);
    return socket_.Write(frame.data(), frame.size(), request_.timing.send);
  }

  // Tells the encoder to drop what it got; the first failure stays the result.
  UploadResult Abort(UploadResult why) {
    SendFrame(EncoderFrameKind::Abort, static_cast<uint32_t>(sent_));
    return why;
  }

  const UploadRequest& request_;
  const EncoderUpload::Listener& listener_;
  const std::atomic<bool>& cancel_;
  DeadlineSocket socket_;
  uint64_t total_ = 0;
  uint64_t sent_ = 0;
};

}  // namespace

EncoderFrame MakeEncoderFrame(EncoderFrameKind kind, uint32_t value) {
  EncoderFrame f{};
  for (std::size_t i = 0; i < 4; ++i) f[i] = kHeader[i];
  f[kKindByte] = static_cast<uint8_t>(kind);
  for (std::size_t i = 0; i < 4; ++i) f[kValueByte + i] = static_cast<uint8_t>(value >> (8 * i));
  return f;
}

bool IsEncoderFrame(const EncoderFrame& frame, EncoderFrameKind kind) {
  for (std::size_t i = 0; i < 4; ++i) {
    if (frame[i] != kHeader[i]) return false;
  }
  return frame[kKindByte] == static_cast<uint8_t>(kind);
}

uint32_t EncoderFrameValue(const EncoderFrame& frame) {
  uint32_t v = 0;
  for (std::size_t i = 0; i < 4; ++i) v |= static_cast<uint32_t>(frame[kValueByte + i]) << (8 * i);
  return v;
}

int UploadProgressPercent(uint64_t sent, uint64_t total) {
  if (total == 0) return 0;
  const double p = static_cast<double>(sent) / static_cast<double>(total) * 100.0 - 1.0;
  return std::clamp(static_cast<int>(std::floor(p)), 0, 99);
}

EncoderUpload::~EncoderUpload() {
  cancel_.store(true);
  std::lock_guard lock(mutex_);
  if (worker_.joinable()) worker_.join();
}

void EncoderUpload::Start(UploadRequest request, Listener listener) {
  std::lock_guard lock(mutex_);
  if (running_.load()) {
    listener(UploadEvent{true, 0, UploadResult::AlreadyRunning, 0});
    return;
  }
  if (worker_.joinable()) worker_.join();  // the last one has ended; reap it
  cancel_.store(false);
  running_.store(true);
  worker_ = std::thread([this, request = std::move(request), listener = std::move(listener)] {
    Run(request, listener);
  });
}

void EncoderUpload::Run(const UploadRequest& request, const Listener& listener) {
  UploadEvent done;
  done.done = true;
  {
    Transfer transfer(request, listener, cancel_);
    done.result = transfer.Run();
    done.bytesSent = transfer.sent();
  }  // the socket is shut down and closed before the result is told
  done.percent = done.result == UploadResult::Success ? 100 : 0;
  running_.store(false);
  listener(done);
}

}  // namespace orv
