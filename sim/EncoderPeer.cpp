#include "EncoderPeer.h"

#include "EncoderUpload.h"
#include "Ipv4.h"

namespace orv::sim {

namespace {

using asio::awaitable;
using asio::use_awaitable;

struct ModeName {
  EncoderPeerMode mode;
  std::string_view name;
};
constexpr ModeName kModeNames[] = {
    {EncoderPeerMode::Ok, "ok"},         {EncoderPeerMode::Fail, "fail"},
    {EncoderPeerMode::Silent, "silent"}, {EncoderPeerMode::Short, "short"},
    {EncoderPeerMode::Split, "split"},   {EncoderPeerMode::Close, "close"},
    {EncoderPeerMode::Noisy, "noisy"},   {EncoderPeerMode::Babble, "babble"},
};

// Frames of another kind the encoder sends ahead of its answer.
int StrayFramesBeforeAnswer(EncoderPeerMode mode) {
  return mode == EncoderPeerMode::Noisy ? 2 : mode == EncoderPeerMode::Babble ? 7 : 0;
}

// A package larger than this is not taken (the real encoder has little room).
constexpr uint32_t kMaxPackageBytes = 64u << 20;

awaitable<void> Pause(std::chrono::milliseconds ms) {
  asio::steady_timer timer(co_await asio::this_coro::executor, ms);
  co_await timer.async_wait(use_awaitable);
}

}  // namespace

bool ParseEncoderPeerMode(std::string_view name, EncoderPeerMode* mode) {
  for (const auto& row : kModeNames) {
    if (row.name == name) {
      *mode = row.mode;
      return true;
    }
  }
  return false;
}

EncoderPeer::EncoderPeer(std::string ip, uint16_t port)
    : ip_(std::move(ip)), port_(port), acceptor_(io_) {}

EncoderPeer::~EncoderPeer() {
  Stop();
}

bool EncoderPeer::Start(std::string* error) {
  const auto ip = ParseIpv4(ip_);
  asio::error_code ec = ip ? asio::error_code{} : asio::error::invalid_argument;
  const asio::ip::tcp::endpoint end(asio::ip::address_v4(ip.value_or(std::array<uint8_t, 4>{})),
                                    port_);
  if (!ec) acceptor_.open(end.protocol(), ec);
  if (!ec) acceptor_.set_option(asio::socket_base::reuse_address(true), ec);
  if (!ec) acceptor_.bind(end, ec);
  if (!ec) acceptor_.listen(asio::socket_base::max_listen_connections, ec);
  if (ec) {
    if (error) *error = "encoder " + ip_ + ":" + std::to_string(port_) + ": " + ec.message();
    return false;
  }
  asio::co_spawn(io_, AcceptLoop(), asio::detached);
  thread_ = std::thread([this] { io_.run(); });
  return true;
}

void EncoderPeer::Stop() {
  if (!thread_.joinable()) return;
  io_.stop();
  thread_.join();
}

void EncoderPeer::SetMode(EncoderPeerMode mode) {
  std::lock_guard lock(mutex_);
  mode_ = mode;
}

EncoderPeerRecord EncoderPeer::Record() const {
  std::lock_guard lock(mutex_);
  return record_;
}

bool EncoderPeer::WaitSessionsEnded(int count, std::chrono::milliseconds limit) const {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, limit, [&] { return record_.sessionsEnded >= count; });
}

awaitable<void> EncoderPeer::AcceptLoop() {
  for (;;) {
    asio::error_code ec;
    auto socket = co_await acceptor_.async_accept(asio::redirect_error(use_awaitable, ec));
    if (ec) co_return;
    asio::co_spawn(io_, Serve(std::move(socket)), asio::detached);
  }
}

awaitable<void> EncoderPeer::Serve(asio::ip::tcp::socket socket) {
  EncoderPeerMode mode;
  {
    std::lock_guard lock(mutex_);
    mode = mode_;
  }
  std::vector<uint8_t> kinds;
  std::vector<uint8_t> received;
  bool acknowledged = false;
  bool aborted = false;
  try {
    EncoderFrame frame{};
    co_await asio::async_read(socket, asio::buffer(frame), use_awaitable);
    kinds.push_back(frame[6]);
    const uint32_t size = EncoderFrameValue(frame);
    if (IsEncoderFrame(frame, EncoderFrameKind::Start) && size <= kMaxPackageBytes) {
      received.resize(size);
      std::size_t got = 0;
      while (got < size) {
        const std::size_t want = std::min<std::size_t>(kEncoderBlockSize, size - got);
        got += co_await asio::async_read(socket, asio::buffer(received.data() + got, want),
                                         use_awaitable);
        if (mode == EncoderPeerMode::Close) throw std::runtime_error("hang up");
      }
      co_await asio::async_read(socket, asio::buffer(frame), use_awaitable);
      kinds.push_back(frame[6]);
      const bool complete =
          IsEncoderFrame(frame, EncoderFrameKind::End) && EncoderFrameValue(frame) == size;
      EncoderFrame answer = MakeEncoderFrame(EncoderFrameKind::Answer, 0);
      answer[7] = complete && mode != EncoderPeerMode::Fail ? 1 : 0;
      for (int i = 0; i < StrayFramesBeforeAnswer(mode); ++i) {
        const EncoderFrame stray = MakeEncoderFrame(EncoderFrameKind::Acknowledge, size);
        co_await asio::async_write(socket, asio::buffer(stray), use_awaitable);
      }
      if (mode == EncoderPeerMode::Short) {
        co_await asio::async_write(socket, asio::buffer(answer.data(), answer.size() - 1),
                                   use_awaitable);
      } else if (mode == EncoderPeerMode::Split) {
        for (const auto& [from, to] :
             {std::pair<std::size_t, std::size_t>{0, 3}, {3, 8}, {8, 15}}) {
          co_await asio::async_write(socket, asio::buffer(answer.data() + from, to - from),
                                     use_awaitable);
          co_await Pause(std::chrono::milliseconds(200));
        }
      } else if (mode != EncoderPeerMode::Silent) {
        co_await asio::async_write(socket, asio::buffer(answer), use_awaitable);
      }
    }
    // The panel's last word (acknowledge or abort), then it hangs up.
    for (;;) {
      co_await asio::async_read(socket, asio::buffer(frame), use_awaitable);
      kinds.push_back(frame[6]);
      acknowledged = acknowledged || IsEncoderFrame(frame, EncoderFrameKind::Acknowledge);
      aborted = aborted || IsEncoderFrame(frame, EncoderFrameKind::Abort);
    }
  } catch (const std::exception&) {
    // The panel hung up (or we did): the session is over.
  }
  EndSession(std::move(kinds), acknowledged && !aborted ? &received : nullptr, aborted);
}

void EncoderPeer::EndSession(std::vector<uint8_t> kinds, std::vector<uint8_t>* kept, bool aborted) {
  std::lock_guard lock(mutex_);
  ++record_.sessionsEnded;
  if (kept) {
    ++record_.acknowledged;
    record_.package = std::move(*kept);
  }
  if (aborted) ++record_.aborted;
  record_.lastKinds = std::move(kinds);
  changed_.notify_all();
}

}  // namespace orv::sim
