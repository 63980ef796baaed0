#pragma once
// Our communication library: the thirteen functions of CommLibrary over TCP
// (port 61213), serial ports and UDP discovery, all driven by one Asio I/O
// thread. That thread is "the library's reply thread": it reads every link,
// splits the bytes into frames and calls the reply function registered for
// each reply's data type, in arrival order.
//
// Sends may come from any thread (the user-interface thread and the reply
// thread itself). They copy the caller's bytes into a frame and queue it on
// the target link; none of them waits for the transport.
//
// Which link a send goes to: the serial port after OpenSerial, the machine
// named by SetTargetMachine after that call, else the first network link
// opened while no target was chosen. A SEARCH with device address 0xFF goes
// out as a discovery datagram instead (see Discovery.h).
#include <array>
#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <asio.hpp>

#include "CommLibrary.h"
#include "CommStats.h"
#include "Discovery.h"
#include "Ipv4.h"
#include "LinkHealth.h"
#include "StreamLink.h"

namespace orv {

class OrvComm final : public CommLibrary, public LinkHealthSource {
 public:
  static constexpr uint8_t kVersionMajor = 1;
  static constexpr uint8_t kVersionMinor = 0;

  struct Options {
    int connectTimeoutMs = 2000;  // OpenNetLink gives up after this
    std::size_t maxQueuedBytesPerLink = 1 << 20;
    uint16_t discoveryPort = kDevicePort;
  };

  OrvComm();
  explicit OrvComm(Options options);
  ~OrvComm() override;
  OrvComm(const OrvComm&) = delete;
  OrvComm& operator=(const OrvComm&) = delete;

  int SetAddressList(int count, const uint8_t* addresses) override;
  int RegisterReply(ReplyFunction function, int dataType) override;
  void CloseAll() override;
  int OpenNetLink(const char* ipv4, uint16_t port) override;
  int SendBlock(const uint8_t* block, uint8_t address) override;
  int SendTyped(uint16_t type, const uint8_t* buffer, uint8_t address) override;
  int SelectLocalInterface(const char* ipv4) override;
  int CloseNetLink(const char* ipv4) override;
  int SetTargetMachine(const char* ipv4) override;
  int OpenSerial(int port, int baud) override;
  void CloseSerial() override;
  void GetVersion(uint8_t* out, int size) override;
  int SendBulk(uint32_t position, uint16_t length, const uint8_t* bytes, uint8_t address) override;
  RouteHealth Health() const override;
  int BeginNetLink(const char* ipv4, uint16_t port) override;

  // For tests, tools and diagnostics.
  CommStats Stats() const;
  bool IsNetLinkOpen(const std::string& ipv4) const;
  bool IsSerialOpen() const;
  std::size_t NetLinkCount() const;
  bool OnReplyThread() const { return std::this_thread::get_id() == threadId_.load(); }
  // Waits until the reply thread has handled everything posted before this
  // call (at most `timeoutMs`); false on time-out or on the reply thread.
  bool Sync(int timeoutMs = 1000);

 private:
  enum class Route { None, Serial, Net };
  using LinkPtr = std::shared_ptr<StreamLink>;

  LinkPtr RouteLink() const;
  // Starts the connection of `link` on the reply thread; `done` gets the result.
  void ConnectLink(const std::shared_ptr<AsioStreamLink<asio::ip::tcp::socket>>& link,
                   const Ipv4Bytes& address, uint16_t port, std::function<void(bool)> done);
  // Registers a new link for `ip` unless an open one exists (then null).
  std::shared_ptr<AsioStreamLink<asio::ip::tcp::socket>> NewNetLink(const std::string& ip);
  int SendFrame(std::vector<uint8_t> frame);
  int SendDiscovery(std::vector<uint8_t> frame);
  void StartLink(const LinkPtr& link, bool discoveryOrigin);
  void OnFrame(const wire::FrameView& frame, bool fromDiscovery);
  void OnLinkClosed(StreamLink& link);
  void AddParseStats(const wire::ParseStats& delta);
  void EnsureDiscoverySocket();
  void ReadDiscovery(std::shared_ptr<asio::ip::udp::socket> socket);
  bool Serves(uint8_t address) const;

  Options options_;
  asio::io_context io_;
  asio::executor_work_guard<asio::io_context::executor_type> work_;
  std::atomic<std::thread::id> threadId_;
  std::thread thread_;

  mutable std::mutex mutex_;  // links, route, address list, local interface
  std::map<std::string, LinkPtr> netLinks_;
  LinkPtr serial_;
  Route route_ = Route::None;
  std::string routeIp_;
  std::vector<uint8_t> served_;  // empty or containing 0xFF: every address
  Ipv4Bytes local_{127, 0, 0, 1};

  mutable std::mutex repliesMutex_;
  std::array<std::shared_ptr<const ReplyFunction>, kReplyDataTypes> replies_{};

  // Discovery socket, touched only on the reply thread.
  std::shared_ptr<asio::ip::udp::socket> udp_;
  asio::ip::udp::endpoint udpSender_;
  std::vector<uint8_t> udpBuffer_ = std::vector<uint8_t>(65536);

  mutable std::mutex statsMutex_;
  CommStats stats_;
};

}  // namespace orv
