#pragma once
// The virtual processor on the wire: a DeviceModel served over TCP (port
// 61213 on its own loopback address), UDP discovery on the same address and
// port, and optionally a pseudo-terminal standing in for its serial port.
// One Asio I/O thread runs everything; the public methods may be called from
// any thread (they hand their work to that thread).
//
// Answers go back on the link the request came from; unsolicited reports
// (self-reports, events, signal changes) go to every open link.
#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <asio.hpp>

#include "DeviceModel.h"
#include "EncoderPeer.h"
#include "PreviewStream.h"
#include "RequestLog.h"
#include "StreamLink.h"

namespace orv::sim {

struct ProcessorConfig {
  std::string ip = "127.0.0.2";
  uint16_t port = 61213;       // 0: a free port, chosen at Start (then in config().port)
  std::optional<Mac> mac;      // default 02-51-20-00-00-<last number of ip>
  bool serialPty = false;      // also serve a pseudo-terminal
  bool paceSerial = true;      // send on the pty no faster than its baud rate allows
  bool udp = true;             // answer discovery datagrams
  int selfReportMs = 3000;     // 0 = no self-reports
  bool encoder = true;         // the encoder's upload port 8877 on the same address
  bool previewOffered = true;  // offers and streams its H.264 preview from the start
  int keyframeMs = 1000;       // the preview's keyframe interval
};

struct ProcessorStats {
  uint64_t tcpAccepted = 0;
  uint64_t framesIn = 0;
  uint64_t framesOut = 0;
  uint64_t datagramsIn = 0;
  ModelCounters model;
  wire::ParseStats parse;
};

class VirtualProcessor {
 public:
  enum class LinkSet { Tcp, Serial, All };

  explicit VirtualProcessor(ProcessorConfig config);
  ~VirtualProcessor();
  VirtualProcessor(const VirtualProcessor&) = delete;
  VirtualProcessor& operator=(const VirtualProcessor&) = delete;

  // Binds the sockets, creates the pty and starts the I/O thread. False
  // with a reason when something cannot be set up.
  bool Start(std::string* error = nullptr);
  void Stop();

  const ProcessorConfig& config() const { return config_; }
  uint8_t address() const { return address_; }
  std::string PtyPath() const;

  // Control ------------------------------------------------------------------
  void SetSignal(int slot, bool on, uint16_t width = 1920, uint16_t height = 1080,
                 uint16_t fpsHundredths = 6000, bool interlaced = false);
  void RaiseEvent(std::vector<uint8_t> bytes);  // data type 24, up to 8 bytes
  // Any reply, built from its parts; false when they do not fit the type.
  bool SendReply(uint16_t dataType, int32_t arg1, std::vector<uint8_t> data,
                 std::vector<uint8_t> extra = {});
  void SendRaw(std::vector<uint8_t> bytes);  // to every link, as they are
  void SendGarbage(std::size_t count);       // random bytes to every link
  void SetSilent(bool silent);               // neither answers nor reports
  void SetReplyDelayMs(int ms);
  void SetSelfReportMs(int ms);
  void ReportNow();
  void DropLinks(LinkSet which);
  // A hung processor: keeps its links open but sends nothing at all (no
  // answers, reports or video) until released.
  void SetHung(bool hung);
  bool Hung() const { return hung_.load(); }
  // A processor switched off: closes its sockets, links and pty; with
  // `backAfterMs` >= 0 it comes back on the same address after that long.
  void GoOffline(int backAfterMs = -1);
  // Listens again on the same address (and opens a new pty); false when the
  // address cannot be bound.
  bool ComeBack();
  // A new pseudo-terminal after the old one was dropped; returns its path.
  std::string ReopenPty();
  void SetPreviewOffered(bool offered);
  // The live H.264 stream (data type 26) while the preview is offered.
  void SetStreamEnabled(bool on);
  void InjectCorruptVideo(int packets);
  PreviewStreamStats StreamStats() const;
  // The encoder's package upload peer; null when the config leaves it out.
  EncoderPeer* Encoder() { return encoder_.get(); }

  // Runs `f` on the I/O thread with the model and waits for it (tests).
  template <class F>
  auto WithModel(F f) -> decltype(f(std::declval<DeviceModel&>())) {
    using R = decltype(f(std::declval<DeviceModel&>()));
    std::packaged_task<R()> task([this, &f] { return f(*model_); });
    auto result = task.get_future();
    asio::post(io_, [&task] { task(); });
    return result.get();
  }
  ParamBlock Image();
  ProcessorStats Stats();
  std::size_t TcpLinkCount();
  // Every frame received on any link or by datagram, in arrival order.
  RequestLog& Requests() { return requests_; }

 private:
  using LinkPtr = std::shared_ptr<StreamLink>;

  bool OpenSockets(std::string* error);
  bool ComeBackNow();
  void Accept();
  void ReadDatagram();
  bool OpenPty(std::string* error);
  void ClosePty();
  void StartSession(const LinkPtr& link);
  void OnFrame(StreamLink& link, const wire::FrameView& frame);
  void SendTo(const LinkPtr& link, Frames frames);
  void Broadcast(Frames frames);
  void ArmSelfReport();
  void ArmTaskCheck();
  void ScheduleDeferred();
  void UpdatePtyRate();
  std::vector<LinkPtr> OpenLinks();
  void RunSync(const std::function<void()>& f);

  ProcessorConfig config_;
  uint8_t address_ = 0;
  asio::io_context io_;
  std::optional<asio::executor_work_guard<asio::io_context::executor_type>> work_;
  std::thread thread_;
  std::atomic<bool> ioDone_{false};
  std::atomic<int> tcpSessions_{0};  // for the preview stream's thread
  std::unique_ptr<DeviceModel> model_;

  asio::ip::tcp::acceptor acceptor_;
  asio::ip::udp::socket udp_;
  asio::ip::udp::endpoint udpPeer_;
  std::vector<uint8_t> udpBuffer_ = std::vector<uint8_t>(65536);
  asio::steady_timer reportTimer_;
  asio::steady_timer taskTimer_;
  std::vector<std::shared_ptr<asio::steady_timer>> deferredTimers_;

  std::vector<LinkPtr> sessions_;
  LinkPtr pty_;
  int ptySlaveFd_ = -1;
  std::string ptyPath_;
  mutable std::mutex ptyMutex_;

  bool silent_ = false;
  bool offline_ = false;
  std::atomic<bool> hung_{false};
  int delayMs_ = 0;
  int reportMs_ = 0;
  ProcessorStats stats_;
  RequestLog requests_;
  std::unique_ptr<PreviewStream> stream_;
  std::unique_ptr<EncoderPeer> encoder_;
};

}  // namespace orv::sim
