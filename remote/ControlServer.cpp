#include "ControlServer.h"

#include <array>
#include <deque>
#include <mutex>
#include <optional>
#include <set>
#include <thread>

#include <asio.hpp>

#include "Ipv4.h"
#include "Osc.h"

namespace orv::remote {

namespace {

// Wrong tokens a client may send before it is dropped.
constexpr int kMaxFailedLogins = 3;

bool SameToken(const std::string& a, const std::string& b) {
  // Compared in full whatever the first difference, so that timing tells nothing.
  unsigned diff = a.size() == b.size() ? 0U : 1U;
  for (std::size_t i = 0; i < b.size(); ++i) {
    const char c = i < a.size() ? a[i] : '\0';
    diff |= static_cast<unsigned>(static_cast<unsigned char>(c ^ b[i]));
  }
  return diff == 0;
}

}  // namespace

bool IsLoopbackAddress(const std::string& address) {
  const auto parts = ParseIpv4(address);
  return parts && (*parts)[0] == 127;
}

class Session;

struct ControlServer::Core {
  explicit Core(ShowControlTarget& t, ServerOptions o) : target(&t), options(std::move(o)) {}

  asio::io_context io;
  std::optional<asio::executor_work_guard<asio::io_context::executor_type>> work{io.get_executor()};
  asio::ip::tcp::acceptor acceptor{io};
  asio::ip::udp::socket osc{io};
  asio::ip::udp::endpoint oscSender;
  std::array<uint8_t, 4096> oscBuffer{};
  bool oscInFlight = false;  // one OSC action at a time (io thread only)
  std::thread thread;
  ShowControlTarget* target;  // null once stopping (io thread only)
  ServerOptions options;
  std::set<std::shared_ptr<Session>> sessions;  // io thread only
  std::optional<ShowState> last;                // io thread only
  uint16_t port = 0;
  std::weak_ptr<Core> self;  // for callbacks that may outlive the server
  uint64_t lastClient = 0;   // io thread only

  mutable std::mutex statsMutex;
  ServerStats stats;

  void Accept();
  void ReceiveOsc();
  void HandleOsc(std::size_t size);
  void AnswerOsc(const asio::ip::udp::endpoint& to, std::vector<uint8_t> datagram);
  void Broadcast(const ShowState& state);
  template <class F>
  void Count(F f) {
    std::lock_guard lock(statsMutex);
    f(stats);
  }
};

class Session : public std::enable_shared_from_this<Session> {
 public:
  Session(ControlServer::Core& core, asio::ip::tcp::socket socket)
      : core_(core),
        socket_(std::move(socket)),
        authorised_(core.options.token.empty()),
        id_(++core.lastClient) {}

  void Start() { Read(); }
  bool Subscribed() const { return subscribed_ && !closed_; }
  uint64_t Id() const { return id_; }

  // Queues one line; a client that lets too much pile up is dropped.
  void Send(const std::string& line) {
    if (closed_) return;
    if (queuedBytes_ + line.size() + 1 > core_.options.maxQueuedBytes) {
      core_.Count([](ServerStats& s) { ++s.dropped; });
      Close();
      return;
    }
    out_.push_back(line + "\n");
    queuedBytes_ += out_.back().size();
    if (!writing_) Write();
  }

  void Close() {
    if (closed_) return;
    closed_ = true;
    if (paused_) core_.Count([](ServerStats& s) { --s.waiting; });
    asio::error_code ignored;
    socket_.shutdown(asio::ip::tcp::socket::shutdown_both, ignored);
    socket_.close(ignored);
    auto self = shared_from_this();
    core_.sessions.erase(self);
    core_.Count([this](ServerStats& s) { s.clients = core_.sessions.size(); });
  }

 private:
  void Read() {
    if (reading_ || closed_ || inFlight_ || OutputPaused()) return;
    reading_ = true;
    socket_.async_read_some(asio::buffer(buffer_),
                            [self = shared_from_this()](asio::error_code ec, std::size_t n) {
                              self->reading_ = false;
                              if (self->closed_) return;
                              if (ec) {
                                self->Close();
                                return;
                              }
                              self->Take(std::string_view(self->buffer_.data(), n));
                              self->Process();
                            });
  }

  void Take(std::string_view bytes) {
    if (discarding_) {
      const std::size_t nl = bytes.find('\n');
      if (nl == std::string_view::npos) return;
      discarding_ = false;
      bytes.remove_prefix(nl + 1);
    }
    pending_.append(bytes);
  }

  // Takes the buffered lines one by one, each after the previous one was
  // answered, until the client's unread answers reach the pause; the write
  // that drains them calls this again.
  void Process() {
    while (!inFlight_ && !closed_ && !OutputPaused()) {
      const std::size_t nl = pending_.find('\n');
      if (nl == std::string::npos) {
        if (pending_.size() > core_.options.maxLineBytes) {
          // Skip the rest of this line wherever it ends.
          pending_.clear();
          discarding_ = true;
          Answer(ErrorAnswer(
              nullptr, error::kLineTooLong,
              "lines are limited to " + std::to_string(core_.options.maxLineBytes) + " bytes"));
        }
        break;
      }
      std::string line = pending_.substr(0, nl);
      pending_.erase(0, nl + 1);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (line.size() > core_.options.maxLineBytes) {
        Answer(ErrorAnswer(
            nullptr, error::kLineTooLong,
            "lines are limited to " + std::to_string(core_.options.maxLineBytes) + " bytes"));
        continue;
      }
      if (line.find_first_not_of(" \t") == std::string::npos) continue;
      Handle(line);
    }
    Read();
  }

  void Answer(const std::string& line) {
    core_.Count([](ServerStats& s) { ++s.answers; });
    Send(line);
  }

  void Handle(const std::string& line) {
    ParsedRequest parsed = ParseRequest(line);
    if (!parsed.request) {
      Answer(ErrorAnswer(parsed.failure.id, parsed.failure.error, parsed.failure.detail));
      return;
    }
    const ShowRequest& r = *parsed.request;
    if (r.command == Command::Auth) {
      if (core_.options.token.empty() || SameToken(r.token, core_.options.token)) {
        authorised_ = true;
        Answer(OkAnswer(r.id));
      } else {
        Answer(ErrorAnswer(r.id, error::kUnauthorized, "wrong token"));
        if (++failedLogins_ >= kMaxFailedLogins) {
          core_.Count([](ServerStats& s) { ++s.dropped; });
          Close();
        }
      }
      return;
    }
    if (!authorised_) {
      Answer(
          ErrorAnswer(r.id, error::kUnauthorized, "send {\"cmd\":\"auth\",\"token\":...} first"));
      return;
    }
    switch (r.command) {
      case Command::Ping:
        Answer(OkAnswer(r.id));
        return;
      case Command::Subscribe:
        subscribed_ = true;
        Answer(core_.last ? OkAnswer(r.id, *core_.last) : OkAnswer(r.id));
        return;
      case Command::Unsubscribe:
        subscribed_ = false;
        Answer(OkAnswer(r.id));
        return;
      default:
        break;
    }
    if (core_.target == nullptr) {
      Answer(ErrorAnswer(r.id, error::kBusy, "the server is stopping"));
      return;
    }
    inFlight_ = true;
    std::weak_ptr<Session> weak = shared_from_this();
    asio::io_context* io = &core_.io;
    Json id = r.id;
    ShowRequest request = r;
    request.client = id_;
    core_.target->Execute(request, [weak, io, id](ActionResult result) {
      // Back on the server's thread; a session closed meanwhile drops it.
      asio::post(*io, [weak, id, result = std::move(result)] {
        std::shared_ptr<Session> self = weak.lock();
        if (!self || self->closed_) return;
        self->inFlight_ = false;
        self->Answer(result.ok ? OkAnswer(id, result.state, result.done)
                               : ErrorAnswer(id, result.error, result.detail));
        self->Process();
      });
    });
  }

  // Answers not yet taken by the client hold back its next requests, read
  // or buffered, so that a client that writes faster than it reads waits
  // rather than being dropped.
  bool OutputPaused() {
    const bool paused = queuedBytes_ > core_.options.maxQueuedBytes / 4;
    if (paused != paused_) {
      paused_ = paused;
      core_.Count([paused](ServerStats& s) { paused ? ++s.waiting : --s.waiting; });
    }
    return paused;
  }

  // Everything queued goes out in one write.
  void Write() {
    writing_ = true;
    sending_.clear();
    for (const std::string& line : out_) sending_ += line;
    out_.clear();
    asio::async_write(socket_, asio::buffer(sending_),
                      [self = shared_from_this()](asio::error_code ec, std::size_t) {
                        self->writing_ = false;
                        if (self->closed_) return;
                        if (ec) {
                          self->Close();
                          return;
                        }
                        self->queuedBytes_ -= self->sending_.size();
                        if (!self->out_.empty()) self->Write();
                        self->Process();
                      });
  }

  ControlServer::Core& core_;
  asio::ip::tcp::socket socket_;
  std::array<char, 4096> buffer_{};
  std::string pending_;
  std::deque<std::string> out_;
  std::string sending_;  // the write in progress
  std::size_t queuedBytes_ = 0;
  bool reading_ = false;
  bool writing_ = false;
  bool inFlight_ = false;
  bool discarding_ = false;
  bool closed_ = false;
  bool subscribed_ = false;
  bool paused_ = false;  // counted in ServerStats::waiting
  bool authorised_;
  int failedLogins_ = 0;
  uint64_t id_;
};

void ControlServer::Core::Accept() {
  acceptor.async_accept([this](asio::error_code ec, asio::ip::tcp::socket socket) {
    if (!acceptor.is_open()) return;
    if (!ec) {
      if (sessions.size() >= options.maxClients) {
        Count([](ServerStats& s) { ++s.refused; });
        asio::error_code ignored;
        const std::string line = ErrorAnswer(nullptr, error::kBusy, "too many clients") + "\n";
        asio::write(socket, asio::buffer(line), ignored);
        socket.close(ignored);
      } else {
        auto session = std::make_shared<Session>(*this, std::move(socket));
        sessions.insert(session);
        Count([this](ServerStats& s) {
          ++s.accepted;
          s.clients = sessions.size();
        });
        session->Start();
      }
    }
    Accept();
  });
}

void ControlServer::Core::ReceiveOsc() {
  osc.async_receive_from(asio::buffer(oscBuffer), oscSender,
                         [this](asio::error_code ec, std::size_t n) {
                           if (!osc.is_open()) return;
                           // A datagram larger than the buffer arrives cut: refused as garbage.
                           if (!ec) HandleOsc(n);
                           ReceiveOsc();
                         });
}

void ControlServer::Core::AnswerOsc(const asio::ip::udp::endpoint& to,
                                    std::vector<uint8_t> datagram) {
  auto bytes = std::make_shared<std::vector<uint8_t>>(std::move(datagram));
  osc.async_send_to(asio::buffer(*bytes), to, [bytes](asio::error_code, std::size_t) {});
}

void ControlServer::Core::HandleOsc(std::size_t size) {
  Count([](ServerStats& s) { ++s.oscMessages; });
  const asio::ip::udp::endpoint from = oscSender;
  std::string why;
  const std::optional<OscMessage> message =
      ParseOsc(std::span<const uint8_t>(oscBuffer.data(), size), &why);
  if (!message) return AnswerOsc(from, OscAnswer("", false, error::kBadRequest, why));
  const ParsedRequest parsed = OscToRequest(*message);
  if (!parsed.request) {
    return AnswerOsc(
        from, OscAnswer(message->address, false, parsed.failure.error, parsed.failure.detail));
  }
  if (parsed.request->command == Command::Ping)
    return AnswerOsc(from, OscAnswer(message->address, true));
  if (target == nullptr || oscInFlight) {
    return AnswerOsc(from, OscAnswer(message->address, false, error::kBusy,
                                     "the previous OSC command is still being carried out"));
  }
  oscInFlight = true;
  std::weak_ptr<Core> weak = self.lock();
  const std::string address = message->address;
  target->Execute(*parsed.request, [weak, from, address](ActionResult result) {
    auto core = weak.lock();
    if (!core) return;
    asio::post(core->io, [weak, from, address, result = std::move(result)] {
      auto c = weak.lock();
      if (!c || !c->osc.is_open()) return;
      c->oscInFlight = false;
      c->AnswerOsc(from, OscAnswer(address, result.ok, result.error,
                                   result.ok ? result.done : result.detail));
    });
  });
}

void ControlServer::Core::Broadcast(const ShowState& state) {
  if (!last) {
    last = state;
    return;
  }
  const std::vector<Json> events = ChangeEvents(*last, state);
  last = state;
  if (events.empty()) return;
  std::vector<std::string> lines;
  lines.reserve(events.size());
  for (const Json& e : events) lines.push_back(e.Dump());
  // Send may drop a slow client, which leaves the set: iterate a copy.
  const std::vector<std::shared_ptr<Session>> clients(sessions.begin(), sessions.end());
  uint64_t queued = 0;
  for (const auto& client : clients) {
    for (const std::string& line : lines) {
      if (!client->Subscribed()) break;
      client->Send(line);
      ++queued;
    }
  }
  Count([queued](ServerStats& s) { s.events += queued; });
}

ControlServer::ControlServer(ShowControlTarget& target, ServerOptions options)
    : core_(std::make_shared<Core>(target, std::move(options))) {
  core_->self = core_;
}

ControlServer::~ControlServer() {
  Stop();
}

bool ControlServer::Start(std::string* error) {
  auto fail = [error](std::string why) {
    if (error != nullptr) *error = std::move(why);
    return false;
  };
  Core& c = *core_;
  if (c.thread.joinable()) return fail("already started");
  if (!ParseIpv4(c.options.address)) return fail("not an IPv4 address: " + c.options.address);
  if (!IsLoopbackAddress(c.options.address) && c.options.token.empty())
    return fail("listening on " + c.options.address + " needs a token");
  asio::error_code ec;
  const asio::ip::tcp::endpoint endpoint(asio::ip::make_address_v4(c.options.address, ec),
                                         c.options.port);
  if (ec) return fail(ec.message());
  c.acceptor.open(endpoint.protocol(), ec);
  if (!ec) c.acceptor.set_option(asio::ip::tcp::acceptor::reuse_address(true), ec);
  if (!ec) c.acceptor.bind(endpoint, ec);
  if (!ec) c.acceptor.listen(asio::socket_base::max_listen_connections, ec);
  if (ec) {
    asio::error_code ignored;
    c.acceptor.close(ignored);
    return fail(c.options.address + ":" + std::to_string(c.options.port) + ": " + ec.message());
  }
  c.port = c.acceptor.local_endpoint(ec).port();
  if (c.options.oscPort != 0) {
    if (!IsLoopbackAddress(c.options.address)) {
      c.acceptor.close(ec);
      return fail("OSC is taken on loopback addresses only");
    }
    const asio::ip::udp::endpoint oscAt(endpoint.address(), c.options.oscPort);
    c.osc.open(oscAt.protocol(), ec);
    if (!ec) c.osc.bind(oscAt, ec);
    if (ec) {
      asio::error_code ignored;
      c.osc.close(ignored);
      c.acceptor.close(ignored);
      return fail("OSC " + c.options.address + ":" + std::to_string(c.options.oscPort) + ": " +
                  ec.message());
    }
    c.ReceiveOsc();
  }
  c.Accept();
  c.thread = std::thread([&c] { c.io.run(); });
  return true;
}

void ControlServer::Stop() {
  Core& c = *core_;
  if (!c.thread.joinable()) return;
  asio::post(c.io, [&c] {
    c.target = nullptr;
    asio::error_code ignored;
    c.acceptor.close(ignored);
    c.osc.close(ignored);
    const std::vector<std::shared_ptr<Session>> clients(c.sessions.begin(), c.sessions.end());
    for (const auto& client : clients) client->Close();
    c.work.reset();
  });
  c.thread.join();
}

uint16_t ControlServer::Port() const {
  return core_->port;
}

void ControlServer::Publish(const ShowState& state) {
  std::weak_ptr<Core> weak = core_;
  asio::post(core_->io, [weak, state] {
    if (auto core = weak.lock()) {
      if (core->target != nullptr) core->Broadcast(state);
    }
  });
}

void ControlServer::PublishWriteOutcome(uint64_t client, const Json& toClient,
                                        const Json& toOthers) {
  std::weak_ptr<Core> weak = core_;
  asio::post(core_->io, [weak, client, own = toClient.Dump(), other = toOthers.Dump()] {
    auto core = weak.lock();
    if (!core || core->target == nullptr) return;
    const std::vector<std::shared_ptr<Session>> clients(core->sessions.begin(),
                                                        core->sessions.end());
    for (const auto& session : clients) {
      const bool ownClient = client != 0 && session->Id() == client;
      if (!ownClient && !session->Subscribed()) continue;
      core->Count([](ServerStats& s) { ++s.events; });
      session->Send(ownClient ? own : other);
    }
  });
}

ServerStats ControlServer::Stats() const {
  std::lock_guard lock(core_->statsMutex);
  return core_->stats;
}

}  // namespace orv::remote
