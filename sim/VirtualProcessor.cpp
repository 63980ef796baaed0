#include "VirtualProcessor.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cstdlib>
#include <random>

#include "FrameParser.h"
#include "Ipv4.h"
#include "ReplyLayout.h"

namespace orv::sim {

namespace {

using TcpLink = AsioStreamLink<asio::ip::tcp::socket>;
using PtyLink = AsioStreamLink<asio::posix::stream_descriptor>;

constexpr std::size_t kMaxQueuedBytes = 4 << 20;

int BaudOfSpeed(speed_t speed) {
  struct Row {
    speed_t speed;
    int baud;
  };
  static constexpr Row kRows[] = {{B9600, 9600},     {B19200, 19200},   {B38400, 38400},
                                  {B57600, 57600},   {B115200, 115200}, {B230400, 230400},
                                  {B460800, 460800}, {B921600, 921600}};
  for (const auto& r : kRows) {
    if (r.speed == speed) return r.baud;
  }
  return 0;
}

void AddStats(wire::ParseStats& into, const wire::ParseStats& d) {
  into.bytesIn += d.bytesIn;
  into.frames += d.frames;
  into.garbageBytes += d.garbageBytes;
  into.badHeader += d.badHeader;
  into.badVersion += d.badVersion;
  into.badKind += d.badKind;
  into.oversize += d.oversize;
  into.badCrc += d.badCrc;
  into.truncated += d.truncated;
}

}  // namespace

VirtualProcessor::VirtualProcessor(ProcessorConfig config)
    : config_(std::move(config)), acceptor_(io_), udp_(io_), reportTimer_(io_), taskTimer_(io_) {
  reportMs_ = config_.selfReportMs;
}

VirtualProcessor::~VirtualProcessor() {
  Stop();
}

bool VirtualProcessor::Start(std::string* error) {
  auto fail = [&](const std::string& why) {
    if (error) *error = why;
    return false;
  };
  const auto ip = ParseIpv4(config_.ip);
  if (!ip) return fail("not an IPv4 address: " + config_.ip);
  address_ = (*ip)[3];
  const Mac mac = config_.mac.value_or(Mac{0x02, 0x51, 0x20, 0x00, 0x00, address_});
  model_ = std::make_unique<DeviceModel>(*ip, mac);
  model_->previewOffered = config_.previewOffered;

  if (!OpenSockets(error)) return false;
  if (config_.serialPty && !OpenPty(error)) return false;
  if (config_.encoder) {
    encoder_ = std::make_unique<EncoderPeer>(config_.ip);
    if (!encoder_->Start(error)) return false;
  }

  work_.emplace(asio::make_work_guard(io_));
  ioDone_ = false;
  thread_ = std::thread([this] {
    io_.run();
    ioDone_ = true;
  });
  asio::post(io_, [this] {
    Accept();
    if (config_.udp) ReadDatagram();
    ArmSelfReport();
    ArmTaskCheck();
  });
  stream_ = std::make_unique<PreviewStream>(
      [this] {
        return WithModel([this](DeviceModel& m) {
          StreamSnapshot snap;
          snap.offered = m.previewOffered;
          snap.listened = tcpSessions_ > 0;
          snap.image = m.image();
          snap.fps = m.encoder().fps;
          snap.resolutionCode = m.encoder().resolutionCode;
          snap.kbps = m.encoder().kbps;
          snap.captions = m.Captions().Views();
          snap.testPattern = m.testPattern();
          return snap;
        });
      },
      [this](std::vector<uint8_t> piece) {
        if (!hung_) SendReply(26, 0, std::move(piece));
      });
  stream_->SetOffered(config_.previewOffered);
  stream_->SetKeyframeMs(config_.keyframeMs);
  stream_->Start();
  return true;
}

bool VirtualProcessor::OpenSockets(std::string* error) {
  auto fail = [&](const std::string& why) {
    if (error) *error = why;
    return false;
  };
  const asio::ip::address_v4 address(*ParseIpv4(config_.ip));
  asio::error_code ec;
  const asio::ip::tcp::endpoint tcpEnd(address, config_.port);
  acceptor_.open(tcpEnd.protocol(), ec);
  if (!ec) acceptor_.set_option(asio::socket_base::reuse_address(true), ec);
  if (!ec) acceptor_.bind(tcpEnd, ec);
  if (!ec) acceptor_.listen(asio::socket_base::max_listen_connections, ec);
  if (ec) {
    acceptor_.close(ec);
    return fail("TCP " + config_.ip + ":" + std::to_string(config_.port) + ": " + ec.message());
  }
  // Port 0 asks the system for a free port; it is kept, so that a processor
  // that comes back listens where its host looks for it.
  if (config_.port == 0) config_.port = acceptor_.local_endpoint(ec).port();
  if (config_.udp) {
    const asio::ip::udp::endpoint udpEnd(address, config_.port);
    udp_.open(udpEnd.protocol(), ec);
    if (!ec) udp_.set_option(asio::socket_base::reuse_address(true), ec);
    if (!ec) udp_.bind(udpEnd, ec);
    if (ec) {
      asio::error_code ignored;
      acceptor_.close(ignored);
      udp_.close(ignored);
      return fail("UDP " + config_.ip + ": " + ec.message());
    }
  }
  return true;
}

void VirtualProcessor::Stop() {
  if (!thread_.joinable()) return;
  if (stream_) stream_->Stop();
  RunSync([this] {
    asio::error_code ignored;
    acceptor_.close(ignored);
    udp_.close(ignored);
    reportTimer_.cancel();
    taskTimer_.cancel();
    for (auto& t : deferredTimers_) t->cancel();
    for (auto& s : sessions_) s->Close();
    ClosePty();
  });
  // Without the guard the thread ends once the closes have run; anything
  // still pending after a short while (a delayed answer) is abandoned.
  work_.reset();
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  while (!ioDone_ && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  io_.stop();
  thread_.join();
  if (encoder_) encoder_->Stop();
}

void VirtualProcessor::RunSync(const std::function<void()>& f) {
  if (!thread_.joinable()) {
    f();
    return;
  }
  std::promise<void> done;
  auto future = done.get_future();
  asio::post(io_, [&] {
    f();
    done.set_value();
  });
  future.wait();
}

// Links ----------------------------------------------------------------------

void VirtualProcessor::Accept() {
  auto link = std::make_shared<TcpLink>(io_, "tcp", kMaxQueuedBytes);
  acceptor_.async_accept(link->stream(), [this, link](const asio::error_code& ec) {
    if (ec == asio::error::operation_aborted || !acceptor_.is_open()) return;
    if (!ec) {
      ++stats_.tcpAccepted;
      asio::error_code ignored;
      link->stream().set_option(asio::ip::tcp::no_delay(true), ignored);
      StartSession(link);
    }
    Accept();
  });
}

void VirtualProcessor::StartSession(const LinkPtr& link) {
  if (link->name() == "tcp") sessions_.push_back(link);
  tcpSessions_ = static_cast<int>(sessions_.size());
  link->Start([this](StreamLink& l, const wire::FrameView& f) { OnFrame(l, f); },
              [this](StreamLink& l) {
                std::erase_if(sessions_, [&](const LinkPtr& s) { return s.get() == &l; });
                tcpSessions_ = static_cast<int>(sessions_.size());
              },
              [this](const wire::ParseStats& d) { AddStats(stats_.parse, d); });
}

bool VirtualProcessor::OpenPty(std::string* error) {
  auto fail = [&](const std::string& why) {
    if (error) *error = why;
    return false;
  };
  const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
  if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) {
    if (master >= 0) ::close(master);
    return fail("cannot create a pseudo-terminal");
  }
  char name[128] = {};
  if (::ptsname_r(master, name, sizeof name) != 0) {
    ::close(master);
    return fail("cannot name the pseudo-terminal");
  }
  // The processor keeps the slave side open itself, so that the line stays
  // up while the host closes and reopens the port; it never reads from it.
  const int slave = ::open(name, O_RDWR | O_NOCTTY);
  if (slave < 0) {
    ::close(master);
    return fail("cannot open the pseudo-terminal's slave side");
  }
  termios t{};
  ::tcgetattr(slave, &t);
  ::cfmakeraw(&t);
  ::cfsetispeed(&t, B115200);
  ::cfsetospeed(&t, B115200);
  ::tcsetattr(slave, TCSANOW, &t);

  auto link = std::make_shared<PtyLink>(io_, "pty", kMaxQueuedBytes);
  asio::error_code ec;
  link->stream().assign(master, ec);
  if (ec) {
    ::close(master);
    ::close(slave);
    return fail("cannot use the pseudo-terminal: " + ec.message());
  }
  {
    std::lock_guard lock(ptyMutex_);
    ptyPath_ = name;
  }
  ptySlaveFd_ = slave;
  pty_ = link;
  asio::post(io_, [this, link] {
    if (pty_ == link) StartSession(link);
  });
  return true;
}

void VirtualProcessor::ClosePty() {
  if (pty_) pty_->Close();
  pty_.reset();
  if (ptySlaveFd_ >= 0) ::close(ptySlaveFd_);
  ptySlaveFd_ = -1;
  std::lock_guard lock(ptyMutex_);
  ptyPath_.clear();
}

std::string VirtualProcessor::PtyPath() const {
  std::lock_guard lock(ptyMutex_);
  return ptyPath_;
}

void VirtualProcessor::UpdatePtyRate() {
  if (!pty_ || ptySlaveFd_ < 0) return;
  int baud = 0;
  termios t{};
  if (::tcgetattr(ptySlaveFd_, &t) == 0) baud = BaudOfSpeed(::cfgetospeed(&t));
  pty_->SetLineRate(config_.paceSerial ? baud : 0);
  pty_->SetReceiveRate(baud);
}

std::vector<VirtualProcessor::LinkPtr> VirtualProcessor::OpenLinks() {
  std::vector<LinkPtr> links;
  for (const auto& s : sessions_) {
    if (!s->IsClosed()) links.push_back(s);
  }
  if (pty_ && !pty_->IsClosed()) links.push_back(pty_);
  return links;
}

// Frames ---------------------------------------------------------------------

void VirtualProcessor::OnFrame(StreamLink& link, const wire::FrameView& frame) {
  ++stats_.framesIn;
  requests_.Add(&link == pty_.get() ? RequestSource::Serial : RequestSource::Tcp, frame);
  if (silent_) return;
  Frames out;
  model_->Handle(frame, false, out);
  if (!out.empty()) SendTo(link.shared_from_this(), std::move(out));
  ScheduleDeferred();
}

// What the processor finishes later is reported on every open link, as its
// events are.
void VirtualProcessor::ScheduleDeferred() {
  for (Deferred& work : model_->TakeDeferred()) {
    auto timer = std::make_shared<asio::steady_timer>(io_, std::chrono::milliseconds(work.ms));
    deferredTimers_.push_back(timer);
    timer->async_wait([this, timer, finish = std::move(work.finish)](const asio::error_code& ec) {
      std::erase(deferredTimers_, timer);
      if (ec) return;
      Frames out;
      finish(out);
      if (!silent_) Broadcast(std::move(out));
    });
  }
}

void VirtualProcessor::SendTo(const LinkPtr& link, Frames frames) {
  auto send = [this, link](Frames& batch) {
    if (link == pty_) UpdatePtyRate();
    for (auto& f : batch) {
      if (link->Send(std::move(f))) ++stats_.framesOut;
    }
  };
  if (delayMs_ <= 0) {
    send(frames);
    return;
  }
  auto timer = std::make_shared<asio::steady_timer>(io_, std::chrono::milliseconds(delayMs_));
  timer->async_wait(
      [timer, send, batch = std::move(frames)](const asio::error_code&) mutable { send(batch); });
}

void VirtualProcessor::Broadcast(Frames frames) {
  const auto links = OpenLinks();
  for (const auto& link : links) SendTo(link, frames);
}

void VirtualProcessor::ReadDatagram() {
  udp_.async_receive_from(
      asio::buffer(udpBuffer_), udpPeer_, [this](const asio::error_code& ec, std::size_t n) {
        if (ec == asio::error::operation_aborted || !udp_.is_open()) return;
        if (!ec) ++stats_.datagramsIn;
        if (!ec && !silent_) {
          Frames out;
          wire::FrameParser parser;
          parser.Feed(std::span(udpBuffer_.data(), n), [&](const wire::FrameView& f) {
            ++stats_.framesIn;
            requests_.Add(RequestSource::Datagram, f);
            model_->Handle(f, true, out);
          });
          parser.Reset();
          AddStats(stats_.parse, parser.Stats());
          auto peer = udpPeer_;
          auto reply = [this, peer](Frames& batch) {
            for (auto& f : batch) {
              auto bytes = std::make_shared<std::vector<uint8_t>>(std::move(f));
              udp_.async_send_to(asio::buffer(*bytes), peer,
                                 [bytes](const asio::error_code&, std::size_t) {});
              ++stats_.framesOut;
            }
          };
          if (delayMs_ <= 0) {
            reply(out);
          } else {
            auto timer =
                std::make_shared<asio::steady_timer>(io_, std::chrono::milliseconds(delayMs_));
            timer->async_wait([timer, reply, batch = std::move(out)](
                                  const asio::error_code&) mutable { reply(batch); });
          }
        }
        ReadDatagram();
      });
}

void VirtualProcessor::ArmSelfReport() {
  reportTimer_.cancel();
  if (reportMs_ <= 0) return;
  reportTimer_.expires_after(std::chrono::milliseconds(reportMs_));
  reportTimer_.async_wait([this](const asio::error_code& ec) {
    if (ec) return;
    if (!silent_) {
      Frames out;
      model_->SelfReport(out);
      Broadcast(std::move(out));
    }
    ArmSelfReport();
  });
}

// The clock is looked at four times a second, so a task fires within a
// quarter of a second of its time.
void VirtualProcessor::ArmTaskCheck() {
  taskTimer_.expires_after(std::chrono::milliseconds(250));
  taskTimer_.async_wait([this](const asio::error_code& ec) {
    // A check already due when Stop cancelled the timer must not re-arm it.
    if (ec || !acceptor_.is_open()) return;
    Frames out;
    model_->RunTasks(out);
    if (!silent_ && !out.empty()) Broadcast(std::move(out));
    ArmTaskCheck();
  });
}

// Control ----------------------------------------------------------------------

void VirtualProcessor::SetSignal(int slot, bool on, uint16_t width, uint16_t height,
                                 uint16_t fpsHundredths, bool interlaced) {
  asio::post(io_, [=, this] {
    Frames out;
    model_->SetSignal(slot, on, width, height, fpsHundredths, interlaced, out);
    if (!silent_) Broadcast(std::move(out));
  });
}

void VirtualProcessor::RaiseEvent(std::vector<uint8_t> bytes) {
  asio::post(io_, [this, bytes = std::move(bytes)] {
    Frames out;
    model_->Event(bytes, out);
    if (!silent_) Broadcast(std::move(out));
  });
}

bool VirtualProcessor::SendReply(uint16_t dataType, int32_t arg1, std::vector<uint8_t> data,
                                 std::vector<uint8_t> extra) {
  auto frame = wire::EncodeReplyFrame(address_, dataType, arg1, 0, data, extra);
  if (frame.empty()) return false;
  SendRaw(std::move(frame));
  return true;
}

void VirtualProcessor::SendRaw(std::vector<uint8_t> bytes) {
  asio::post(io_, [this, bytes = std::move(bytes)] { Broadcast(Frames{bytes}); });
}

void VirtualProcessor::SendGarbage(std::size_t count) {
  std::vector<uint8_t> bytes(count);
  std::random_device seed;
  std::mt19937 rng(seed());
  for (auto& b : bytes) b = static_cast<uint8_t>(rng());
  SendRaw(std::move(bytes));
}

void VirtualProcessor::SetSilent(bool silent) {
  asio::post(io_, [this, silent] { silent_ = silent; });
}

void VirtualProcessor::SetReplyDelayMs(int ms) {
  asio::post(io_, [this, ms] { delayMs_ = std::max(0, ms); });
}

void VirtualProcessor::SetSelfReportMs(int ms) {
  asio::post(io_, [this, ms] {
    reportMs_ = std::max(0, ms);
    ArmSelfReport();
  });
}

void VirtualProcessor::ReportNow() {
  asio::post(io_, [this] {
    Frames out;
    model_->SelfReport(out);
    Broadcast(std::move(out));
  });
}

void VirtualProcessor::SetHung(bool hung) {
  hung_ = hung;
  SetSilent(hung);
}

void VirtualProcessor::GoOffline(int backAfterMs) {
  RunSync([this, backAfterMs] {
    asio::error_code ignored;
    acceptor_.close(ignored);
    udp_.close(ignored);
    for (auto& s : sessions_) s->Close();
    ClosePty();
    offline_ = true;
    if (backAfterMs < 0) return;
    auto timer = std::make_shared<asio::steady_timer>(io_, std::chrono::milliseconds(backAfterMs));
    deferredTimers_.push_back(timer);
    timer->async_wait([this, timer](const asio::error_code& ec) {
      std::erase(deferredTimers_, timer);
      if (!ec) ComeBackNow();
    });
  });
}

bool VirtualProcessor::ComeBack() {
  bool back = false;
  RunSync([this, &back] { back = ComeBackNow(); });
  return back;
}

bool VirtualProcessor::ComeBackNow() {
  if (!offline_) return true;
  if (!OpenSockets(nullptr)) return false;
  offline_ = false;
  Accept();
  if (config_.udp) ReadDatagram();
  if (config_.serialPty) OpenPty(nullptr);
  return true;
}

void VirtualProcessor::DropLinks(LinkSet which) {
  RunSync([this, which] {
    if (which != LinkSet::Serial) {
      for (auto& s : sessions_) s->Close();
    }
    if (which != LinkSet::Tcp) ClosePty();
  });
}

std::string VirtualProcessor::ReopenPty() {
  std::string path;
  RunSync([this, &path] {
    ClosePty();
    if (OpenPty(nullptr)) path = ptyPath_;
  });
  return path;
}

void VirtualProcessor::SetPreviewOffered(bool offered) {
  // Before Start the setting becomes the start value.
  config_.previewOffered = offered;
  // A change is told to every open link at once (data type 1), so a host
  // switches its preview without asking.
  asio::post(io_, [this, offered] {
    if (model_->previewOffered == offered) return;
    model_->previewOffered = offered;
    Frames out;
    const uint8_t flag[] = {static_cast<uint8_t>(offered ? 1 : 0)};
    model_->Reply(1, 0, 0, flag, {}, out);
    Broadcast(std::move(out));
  });
  if (stream_) stream_->SetOffered(offered);
}

void VirtualProcessor::SetStreamEnabled(bool on) {
  if (stream_) stream_->SetEnabled(on);
}

void VirtualProcessor::InjectCorruptVideo(int packets) {
  if (stream_) stream_->InjectCorrupt(packets);
}

PreviewStreamStats VirtualProcessor::StreamStats() const {
  return stream_ ? stream_->Stats() : PreviewStreamStats{};
}

ParamBlock VirtualProcessor::Image() {
  return WithModel([](DeviceModel& m) { return m.image(); });
}

ProcessorStats VirtualProcessor::Stats() {
  ProcessorStats s;
  RunSync([&] {
    s = stats_;
    s.model = model_->counters();
  });
  return s;
}

std::size_t VirtualProcessor::TcpLinkCount() {
  std::size_t n = 0;
  RunSync([&] {
    for (const auto& l : sessions_) n += l->IsClosed() ? 0 : 1;
  });
  return n;
}

}  // namespace orv::sim
