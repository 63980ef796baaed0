#include "OrvComm.h"

#include <termios.h>

#include <chrono>
#include <cstring>
#include <future>

#include "CommandLayout.h"
#include "ReplyLayout.h"
#include "SerialPorts.h"
#include "WireFormat.h"

namespace orv {

namespace {

constexpr uint16_t kSearchCommand = 69;

using TcpLink = AsioStreamLink<asio::ip::tcp::socket>;
using SerialLink = AsioStreamLink<asio::serial_port>;

asio::ip::address_v4 ToAsio(const Ipv4Bytes& a) {
  return asio::ip::address_v4(a);
}

void Add(wire::ParseStats& into, const wire::ParseStats& d) {
  into.bytesIn += d.bytesIn;
  into.frames += d.frames;
  into.garbageBytes += d.garbageBytes;
  into.badHeader += d.badHeader;
  into.badVersion += d.badVersion;
  into.badKind += d.badKind;
  into.oversize += d.oversize;
  into.badCrc += d.badCrc;
  into.truncated += d.truncated;
  into.stalled += d.stalled;
}

}  // namespace

OrvComm::OrvComm() : OrvComm(Options{}) {}

OrvComm::OrvComm(Options options) : options_(options), work_(asio::make_work_guard(io_)) {
  thread_ = std::thread([this] {
    threadId_ = std::this_thread::get_id();
    // A reply function that throws must not take the library down with it;
    // the exception ends that call only.
    for (;;) {
      try {
        io_.run();
        break;
      } catch (...) {
      }
    }
  });
}

OrvComm::~OrvComm() {
  CloseAll();
  work_.reset();
  io_.stop();
  if (thread_.joinable()) {
    if (OnReplyThread()) {
      thread_.detach();
    } else {
      thread_.join();
    }
  }
}

bool OrvComm::Sync(int timeoutMs) {
  if (OnReplyThread()) return false;
  auto done = std::make_shared<std::promise<void>>();
  auto future = done->get_future();
  asio::post(io_, [done] { done->set_value(); });
  return future.wait_for(std::chrono::milliseconds(timeoutMs)) == std::future_status::ready;
}

// 1 ------------------------------------------------------------------------
int OrvComm::SetAddressList(int count, const uint8_t* addresses) {
  if (count < 0 || (count > 0 && !addresses)) return 0;
  std::lock_guard lock(mutex_);
  served_.assign(addresses, addresses + count);
  return 1;
}

bool OrvComm::Serves(uint8_t address) const {
  std::lock_guard lock(mutex_);
  if (served_.empty()) return true;
  for (uint8_t a : served_) {
    if (a == wire::kBroadcastAddress || a == address) return true;
  }
  return false;
}

// 2 ------------------------------------------------------------------------
int OrvComm::RegisterReply(ReplyFunction function, int dataType) {
  if (dataType < 0 || dataType >= kReplyDataTypes) return 0;
  std::lock_guard lock(repliesMutex_);
  replies_[dataType] =
      function ? std::make_shared<const ReplyFunction>(std::move(function)) : nullptr;
  return 1;
}

// 3 ------------------------------------------------------------------------
void OrvComm::CloseAll() {
  std::vector<LinkPtr> links;
  {
    std::lock_guard lock(mutex_);
    for (auto& [ip, link] : netLinks_) links.push_back(link);
    netLinks_.clear();
    if (serial_) links.push_back(serial_);
    serial_.reset();
    route_ = Route::None;
    routeIp_.clear();
  }
  for (auto& link : links) link->Close();
  asio::post(io_, [this] {
    if (udp_) {
      asio::error_code ignored;
      udp_->close(ignored);
      udp_.reset();
    }
  });
  Sync();
}

// 4 ------------------------------------------------------------------------
std::shared_ptr<TcpLink> OrvComm::NewNetLink(const std::string& ip) {
  std::lock_guard lock(mutex_);
  auto it = netLinks_.find(ip);
  if (it != netLinks_.end() && !it->second->IsClosed()) return nullptr;
  auto link = std::make_shared<TcpLink>(io_, ip, options_.maxQueuedBytesPerLink);
  netLinks_[ip] = link;
  if (route_ == Route::None) {
    route_ = Route::Net;
    routeIp_ = ip;
  }
  return link;
}

void OrvComm::ConnectLink(const std::shared_ptr<TcpLink>& link, const Ipv4Bytes& address,
                          uint16_t port, std::function<void(bool)> done) {
  Ipv4Bytes local;
  {
    std::lock_guard lock(mutex_);
    local = local_;
  }
  const int timeoutMs = options_.connectTimeoutMs;
  asio::post(io_, [this, link, address, port, local, done = std::move(done), timeoutMs] {
    auto& socket = link->stream();
    asio::error_code ec;
    socket.open(asio::ip::tcp::v4(), ec);
    // Traffic leaves from the selected interface when it can reach the
    // machine that way (both loopback, or both not).
    if (!ec && IsLoopback(local) == IsLoopback(address)) {
      socket.bind(asio::ip::tcp::endpoint(ToAsio(local), 0), ec);
      ec.clear();
    }
    auto forget = [this, link] {
      link->Close();
      std::lock_guard lock(mutex_);
      auto it = netLinks_.find(link->name());
      if (it != netLinks_.end() && it->second == link) netLinks_.erase(it);
    };
    if (ec) {
      forget();
      done(false);
      return;
    }
    auto timer = std::make_shared<asio::steady_timer>(io_);
    timer->expires_after(std::chrono::milliseconds(timeoutMs));
    timer->async_wait([link](const asio::error_code& e) {
      if (!e && link->state() == StreamLink::State::Connecting) link->Close();
    });
    socket.async_connect(asio::ip::tcp::endpoint(ToAsio(address), port),
                         [this, link, timer, done, forget](const asio::error_code& e) {
                           timer->cancel();
                           if (e || link->IsClosed()) {
                             forget();
                             done(false);
                             return;
                           }
                           asio::error_code ignored;
                           link->stream().set_option(asio::ip::tcp::no_delay(true), ignored);
                           StartLink(link, false);
                           done(true);
                         });
  });
}

int OrvComm::OpenNetLink(const char* ipv4, uint16_t port) {
  if (!ipv4) return 0;
  const auto address = ParseIpv4(ipv4);
  if (!address) return 0;
  const std::string ip = FormatIpv4(*address);
  auto link = NewNetLink(ip);
  if (!link) return 1;
  auto result = std::make_shared<std::promise<bool>>();
  auto future = result->get_future();
  ConnectLink(link, *address, port, [result](bool ok) { result->set_value(ok); });
  // On the reply thread the connection completes later; waiting here would
  // stop the very thread that completes it.
  if (OnReplyThread()) return 1;
  const bool connected =
      future.wait_for(std::chrono::milliseconds(options_.connectTimeoutMs + 1000)) ==
          std::future_status::ready &&
      future.get();
  if (!connected) {
    std::lock_guard lock(mutex_);
    auto it = netLinks_.find(ip);
    if (it != netLinks_.end() && it->second == link) netLinks_.erase(it);
    // A link that never opened does not keep the sends' route either.
    if (route_ == Route::Net && routeIp_ == ip && netLinks_.empty()) {
      route_ = Route::None;
      routeIp_.clear();
    }
    link->Close();
    return 0;
  }
  return 1;
}

int OrvComm::BeginNetLink(const char* ipv4, uint16_t port) {
  if (!ipv4) return 0;
  const auto address = ParseIpv4(ipv4);
  if (!address) return 0;
  auto link = NewNetLink(FormatIpv4(*address));
  if (link) ConnectLink(link, *address, port, [](bool) {});
  return 1;
}

RouteHealth OrvComm::Health() const {
  std::lock_guard lock(mutex_);
  LinkPtr link;
  if (route_ == Route::Serial) {
    link = serial_;
  } else if (route_ == Route::Net) {
    auto it = netLinks_.find(routeIp_);
    if (it != netLinks_.end()) link = it->second;
  }
  RouteHealth health;
  health.link = RouteHealth::Link::Absent;
  if (!link) return health;
  switch (link->state()) {
    case StreamLink::State::Connecting:
      health.link = RouteHealth::Link::Connecting;
      break;
    case StreamLink::State::Open:
      health.link = RouteHealth::Link::Open;
      break;
    case StreamLink::State::Closed:
      break;
  }
  health.framesIn = link->framesReceived();
  return health;
}

void OrvComm::StartLink(const LinkPtr& link, bool discoveryOrigin) {
  link->Start([this, discoveryOrigin](
                  StreamLink&, const wire::FrameView& frame) { OnFrame(frame, discoveryOrigin); },
              [this](StreamLink& l) { OnLinkClosed(l); },
              [this](const wire::ParseStats& d) { AddParseStats(d); });
}

void OrvComm::OnLinkClosed(StreamLink& link) {
  {
    std::lock_guard lock(mutex_);
    auto it = netLinks_.find(link.name());
    if (it != netLinks_.end() && it->second.get() == &link) netLinks_.erase(it);
    if (serial_.get() == &link) serial_.reset();
  }
  std::lock_guard lock(statsMutex_);
  ++stats_.linksClosed;
}

void OrvComm::AddParseStats(const wire::ParseStats& delta) {
  std::lock_guard lock(statsMutex_);
  Add(stats_.parse, delta);
}

void OrvComm::OnFrame(const wire::FrameView& frame, bool fromDiscovery) {
  auto count = [this](uint64_t CommStats::*counter) {
    std::lock_guard lock(statsMutex_);
    ++(stats_.*counter);
  };
  if (frame.kind != wire::FrameKind::Reply) return count(&CommStats::wrongFrameKind);
  Reply reply;
  switch (wire::DecodeReply(frame.type, frame.address, frame.payload, reply)) {
    case wire::ReplyCheck::Ok:
      break;
    case wire::ReplyCheck::UnknownType:
      return count(&CommStats::unknownReplyType);
    case wire::ReplyCheck::WrongLength:
      return count(&CommStats::wrongReplyLength);
    case wire::ReplyCheck::BadText:
      return count(&CommStats::badIdentityText);
  }
  // Answers to a search come from machines not yet in any address list.
  if (!fromDiscovery && !Serves(frame.address)) return count(&CommStats::unservedAddress);
  std::shared_ptr<const ReplyFunction> function;
  {
    std::lock_guard lock(repliesMutex_);
    function = replies_[reply.dataType];
  }
  if (!function || !*function) return count(&CommStats::repliesUnhandled);
  count(&CommStats::repliesDelivered);
  (*function)(reply);
}

// 5, 6, 14 -------------------------------------------------------------------
OrvComm::LinkPtr OrvComm::RouteLink() const {
  std::lock_guard lock(mutex_);
  switch (route_) {
    case Route::Serial:
      return serial_ && !serial_->IsClosed() ? serial_ : nullptr;
    case Route::Net: {
      auto it = netLinks_.find(routeIp_);
      return it != netLinks_.end() && !it->second->IsClosed() ? it->second : nullptr;
    }
    case Route::None:
      break;
  }
  return nullptr;
}

int OrvComm::SendFrame(std::vector<uint8_t> frame) {
  LinkPtr link = RouteLink();
  const bool sent = link && !frame.empty() && link->Send(std::move(frame));
  std::lock_guard lock(statsMutex_);
  ++(sent ? stats_.framesSent : stats_.sendsRefused);
  return sent ? 1 : 0;
}

int OrvComm::SendBlock(const uint8_t* block, uint8_t address) {
  if (!block) return 0;
  return SendFrame(wire::EncodeFrame(address, wire::FrameKind::Block, wire::kBlockFrameType,
                                     std::span(block, kParamBlockSize)));
}

int OrvComm::SendTyped(uint16_t type, const uint8_t* buffer, uint8_t address) {
  if (!buffer) return 0;
  auto frame = wire::EncodeFrame(address, wire::FrameKind::Command, type,
                                 std::span(buffer, wire::CommandWireLength(type)));
  if (type == kSearchCommand && address == wire::kBroadcastAddress) {
    return SendDiscovery(std::move(frame));
  }
  return SendFrame(std::move(frame));
}

int OrvComm::SendBulk(uint32_t position, uint16_t length, const uint8_t* bytes, uint8_t address) {
  if (length > wire::kMaxBulkBytes || (length > 0 && !bytes)) {
    std::lock_guard lock(statsMutex_);
    ++stats_.sendsRefused;
    return 0;
  }
  std::vector<uint8_t> payload(wire::kBulkHeaderSize + length);
  wire::PutU32(payload.data(), position);
  wire::PutU16(payload.data() + 4, length);
  if (length > 0) std::memcpy(payload.data() + wire::kBulkHeaderSize, bytes, length);
  return SendFrame(
      wire::EncodeFrame(address, wire::FrameKind::BulkChunk, wire::kBulkFrameType, payload));
}

// Discovery ------------------------------------------------------------------
int OrvComm::SendDiscovery(std::vector<uint8_t> frame) {
  Ipv4Bytes local;
  {
    std::lock_guard lock(mutex_);
    local = local_;
  }
  const auto targets =
      DiscoveryTargets(local, IsLoopback(local) ? std::nullopt : NetmaskOfLocalAddress(local));
  if (targets.empty()) {
    std::lock_guard lock(statsMutex_);
    ++stats_.sendsRefused;
    return 0;
  }
  auto bytes = std::make_shared<const std::vector<uint8_t>>(std::move(frame));
  const uint16_t port = options_.discoveryPort;
  asio::post(io_, [this, bytes, targets, port, local] {
    if (udp_) {
      asio::error_code ec;
      const auto bound = udp_->local_endpoint(ec);
      if (ec || bound.address() != asio::ip::address(ToAsio(local))) {
        udp_->close(ec);
        udp_.reset();
      }
    }
    if (!udp_) {
      auto socket = std::make_shared<asio::ip::udp::socket>(io_);
      asio::error_code ec;
      socket->open(asio::ip::udp::v4(), ec);
      if (!ec && !IsLoopback(local)) socket->set_option(asio::socket_base::broadcast(true), ec);
      if (!ec) socket->bind(asio::ip::udp::endpoint(ToAsio(local), 0), ec);
      if (ec) {
        std::lock_guard lock(statsMutex_);
        ++stats_.sendsRefused;
        return;
      }
      udp_ = socket;
      ReadDiscovery(udp_);
    }
    for (const auto& t : targets) {
      udp_->async_send_to(asio::buffer(*bytes), asio::ip::udp::endpoint(ToAsio(t), port),
                          [bytes](const asio::error_code&, std::size_t) {});
    }
    std::lock_guard lock(statsMutex_);
    stats_.framesSent += targets.size();
  });
  return 1;
}

void OrvComm::ReadDiscovery(std::shared_ptr<asio::ip::udp::socket> socket) {
  socket->async_receive_from(
      asio::buffer(udpBuffer_), udpSender_,
      [this, socket](const asio::error_code& ec, std::size_t n) {
        if (ec == asio::error::operation_aborted || !socket->is_open()) return;
        if (!ec) {
          // Each datagram stands alone: what is left of it is truncated.
          wire::FrameParser parser;
          parser.Feed(std::span(udpBuffer_.data(), n),
                      [this](const wire::FrameView& frame) { OnFrame(frame, true); });
          parser.Reset();
          AddParseStats(parser.Stats());
        }
        // Errors such as a refused port on an earlier datagram do not end
        // the socket; the next datagram is read as usual.
        if (socket == udp_) ReadDiscovery(socket);
      });
}

// 8 ------------------------------------------------------------------------
int OrvComm::SelectLocalInterface(const char* ipv4) {
  if (!ipv4) return 0;
  const auto address = ParseIpv4(ipv4);
  if (!address) return 0;
  std::lock_guard lock(mutex_);
  local_ = *address;
  return 1;
}

// 9 ------------------------------------------------------------------------
int OrvComm::CloseNetLink(const char* ipv4) {
  if (!ipv4) return 0;
  const auto address = ParseIpv4(ipv4);
  if (!address) return 0;
  LinkPtr link;
  {
    std::lock_guard lock(mutex_);
    auto it = netLinks_.find(FormatIpv4(*address));
    if (it == netLinks_.end()) return 0;
    link = it->second;
    netLinks_.erase(it);
  }
  link->Close();
  return 1;
}

// 10 -----------------------------------------------------------------------
int OrvComm::SetTargetMachine(const char* ipv4) {
  if (!ipv4) return 0;
  const auto address = ParseIpv4(ipv4);
  if (!address) return 0;
  std::lock_guard lock(mutex_);
  route_ = Route::Net;
  routeIp_ = FormatIpv4(*address);
  return 1;
}

// 11, 12 ---------------------------------------------------------------------
int OrvComm::OpenSerial(int port, int baud) {
  CloseSerial();
  const std::string path = SerialDevicePath(port);
  if (path.empty() || baud <= 0) return 0;
  auto link = std::make_shared<SerialLink>(io_, path, options_.maxQueuedBytesPerLink);
  auto& serial = link->stream();
  asio::error_code ec;
  serial.open(path, ec);
  if (!ec) serial.set_option(asio::serial_port::baud_rate(static_cast<unsigned>(baud)), ec);
  if (!ec) serial.set_option(asio::serial_port::character_size(8), ec);
  if (!ec) serial.set_option(asio::serial_port::parity(asio::serial_port::parity::none), ec);
  if (!ec) serial.set_option(asio::serial_port::stop_bits(asio::serial_port::stop_bits::one), ec);
  if (!ec) {
    serial.set_option(asio::serial_port::flow_control(asio::serial_port::flow_control::none), ec);
  }
  if (ec) {
    serial.close(ec);
    return 0;
  }
  link->SetReceiveRate(baud);
  // Whatever waited in the line before this open belongs to no request.
  ::tcflush(serial.native_handle(), TCIOFLUSH);
  {
    std::lock_guard lock(mutex_);
    serial_ = link;
    route_ = Route::Serial;
  }
  asio::post(io_, [this, link] { StartLink(link, false); });
  return 1;
}

void OrvComm::CloseSerial() {
  LinkPtr link;
  {
    std::lock_guard lock(mutex_);
    link = std::move(serial_);
    serial_.reset();
    if (route_ == Route::Serial) route_ = Route::None;
  }
  if (link) {
    link->Close();
    Sync();
  }
}

// 13 -----------------------------------------------------------------------
void OrvComm::GetVersion(uint8_t* out, int size) {
  if (!out) return;
  if (size >= 1) out[0] = kVersionMajor;
  if (size >= 2) out[1] = kVersionMinor;
}

// Diagnostics ------------------------------------------------------------------
CommStats OrvComm::Stats() const {
  std::lock_guard lock(statsMutex_);
  return stats_;
}

bool OrvComm::IsNetLinkOpen(const std::string& ipv4) const {
  std::lock_guard lock(mutex_);
  auto it = netLinks_.find(ipv4);
  return it != netLinks_.end() && it->second->state() == StreamLink::State::Open;
}

bool OrvComm::IsSerialOpen() const {
  std::lock_guard lock(mutex_);
  return serial_ && !serial_->IsClosed();
}

std::size_t OrvComm::NetLinkCount() const {
  std::lock_guard lock(mutex_);
  std::size_t n = 0;
  for (const auto& [ip, link] : netLinks_) n += link->IsClosed() ? 0 : 1;
  return n;
}

}  // namespace orv
