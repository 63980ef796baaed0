// The virtual processor on its transports: golden bytes over TCP, the
// control channel (lines, the unix socket) and the q20sim program.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>

#include "ControlChannel.h"
#include "GoldenFrames.h"
#include "RawPeer.h"
#include "TestNet.h"
#include "VirtualProcessor.h"
#include "WireFormat.h"

namespace orv::sim {
namespace {

using golden::Hex;
using test::TestIp;

// A blocking TCP client for raw bytes.
class RawClient {
 public:
  bool Connect(const std::string& ip) {
    fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(kDevicePort);
    ::inet_pton(AF_INET, ip.c_str(), &a.sin_addr);
    return ::connect(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
  }
  ~RawClient() {
    if (fd_ >= 0) ::close(fd_);
  }
  void Write(const std::vector<uint8_t>& b) {
    ASSERT_EQ(::send(fd_, b.data(), b.size(), 0), static_cast<ssize_t>(b.size()));
  }
  std::vector<uint8_t> Read(std::size_t n, int timeoutMs = 10000) {
    std::vector<uint8_t> out;
    while (out.size() < n) {
      pollfd p{fd_, POLLIN, 0};
      if (::poll(&p, 1, timeoutMs) != 1) break;
      uint8_t buf[4096];
      const ssize_t got = ::recv(fd_, buf, std::min(sizeof buf, n - out.size()), 0);
      if (got <= 0) break;
      out.insert(out.end(), buf, buf + got);
    }
    return out;
  }

 private:
  int fd_ = -1;
};

std::string Cat(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
  std::string s(a.begin(), a.end());
  return s + std::string(b.begin(), b.end());
}

TEST(ProcessorTcp, AnswersGoldenBytesWithGoldenBytes) {
  ProcessorConfig config;
  config.ip = TestIp(3);
  config.selfReportMs = 0;
  config.previewOffered = false;  // golden bytes only, no video between them
  VirtualProcessor processor(config);
  ASSERT_TRUE(processor.Start());
  RawClient client;
  ASSERT_TRUE(client.Connect(TestIp(3)));
  // Split delivery: the header first, the rest later.
  const auto cmd = Hex(golden::kSetLayerWindow1To3);
  client.Write(std::vector<uint8_t>(cmd.begin(), cmd.begin() + 5));
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  client.Write(std::vector<uint8_t>(cmd.begin() + 5, cmd.end()));
  const auto ack = Hex(golden::kAckOfCommand4From3);
  const auto window = Hex(golden::kLayerWindow1From3);
  const auto got = client.Read(ack.size() + window.size());
  EXPECT_EQ(std::string(got.begin(), got.end()), Cat(ack, window));
  // Garbage ahead of a request does not hide it.
  std::vector<uint8_t> noisy = {0x00, 0xA5, 0xA5, 0x5A, 0x13};
  const auto get = Hex(golden::kGetLayerWindow1To3);
  noisy.insert(noisy.end(), get.begin(), get.end());
  client.Write(noisy);
  EXPECT_EQ(client.Read(window.size()), window);
  EXPECT_GT(processor.Stats().parse.garbageBytes, 0u);
}

TEST(ControlLines, DriveTheProcessor) {
  ProcessorConfig config;
  config.ip = TestIp(4);
  config.selfReportMs = 0;
  VirtualProcessor processor(config);
  ASSERT_TRUE(processor.Start());
  EXPECT_EQ(ExecuteControlLine(processor, "signal 4 on 3840 2160 3000"), "ok");
  EXPECT_EQ(ExecuteControlLine(processor, "signal 6 off"), "ok");
  const auto image = processor.Image();
  EXPECT_EQ(image.INPUTINFO.INPUTSTATE[4], 1);
  EXPECT_EQ(image.INPUTINFO.INPUTRESO[4].INPUTRESOHACT, 3840);
  EXPECT_EQ(image.INPUTINFO.INPUTRESO[4].INPUTRESOFPS, 3000);
  EXPECT_EQ(image.INPUTINFO.INPUTSTATE[6], 0);
  EXPECT_EQ(ExecuteControlLine(processor, "event 5 1"), "ok");
  EXPECT_EQ(ExecuteControlLine(processor, "event 0x0B 0 1 2 3 4 5 6"), "ok");
  EXPECT_EQ(ExecuteControlLine(processor, "reply 21 0 0001"), "ok");
  EXPECT_EQ(ExecuteControlLine(processor, "reply 27 0 3132372E302E342E34 025120000004"), "ok");
  EXPECT_EQ(ExecuteControlLine(processor, "raw A55A"), "ok");
  EXPECT_EQ(ExecuteControlLine(processor, "garbage 100"), "ok");
  EXPECT_EQ(ExecuteControlLine(processor, "silent on"), "ok");
  EXPECT_EQ(ExecuteControlLine(processor, "silent off"), "ok");
  EXPECT_EQ(ExecuteControlLine(processor, "delay 0"), "ok");
  EXPECT_EQ(ExecuteControlLine(processor, "period 0"), "ok");
  EXPECT_EQ(ExecuteControlLine(processor, "report"), "ok");
  EXPECT_EQ(ExecuteControlLine(processor, "drop all"), "ok");
  EXPECT_EQ(ExecuteControlLine(processor, "preview on"), "ok");
  EXPECT_EQ(ExecuteControlLine(processor, "output 1280 720"), "ok");
  EXPECT_EQ(processor.Image().OUTPUTRESO.RESOINDEX, 4);
  EXPECT_EQ(ExecuteControlLine(processor, "status").rfind("ok address 4 tcp 0", 0), 0u);
  // Mistakes are reported, never acted on.
  for (const char* bad :
       {"", "fly", "signal 8 on", "signal 1 maybe", "event", "event 1 2 3 4 5 6 7 8 9", "event 300",
        "reply 6 0 00", "reply 40 0 00", "raw", "raw 0", "garbage 0", "silent", "delay -1",
        "period x", "drop none", "signal 1 on 1920 x 60", "output 1000 700", "output 1280"}) {
    EXPECT_EQ(ExecuteControlLine(processor, bad).rfind("error", 0), 0u) << bad;
  }
  EXPECT_EQ(processor.Image().INPUTINFO.INPUTSTATE[1], 0);
  EXPECT_EQ(processor.Image().OUTPUTRESO.HRESO, 1280);
}

TEST(ControlLines, HangOfflineAndOnlineForTheLinkTests) {
  ProcessorConfig config;
  config.ip = TestIp(3);
  config.selfReportMs = 0;
  VirtualProcessor processor(config);
  ASSERT_TRUE(processor.Start());
  const auto get = Hex(golden::kGetLayerWindow1To3);
  const auto window = Hex(golden::kLayerWindow1From3);  // its size
  {
    RawClient client;
    ASSERT_TRUE(client.Connect(TestIp(3)));
    // Hung: the connection stays, nothing comes back (the preview neither).
    EXPECT_EQ(ExecuteControlLine(processor, "hang on"), "ok hung");
    processor.SetPreviewOffered(true);
    processor.SetStreamEnabled(true);
    client.Write(get);
    EXPECT_TRUE(client.Read(1, 1500).empty());
    EXPECT_EQ(processor.TcpLinkCount(), 1u);
    EXPECT_EQ(ExecuteControlLine(processor, "hang off"), "ok answering");
    processor.SetStreamEnabled(false);
    processor.SetPreviewOffered(false);
  }
  // Switched off: nobody accepts on the address; back on the same address.
  EXPECT_EQ(ExecuteControlLine(processor, "offline"), "ok offline");
  RawClient refused;
  EXPECT_FALSE(refused.Connect(TestIp(3)));
  EXPECT_EQ(ExecuteControlLine(processor, "online"), "ok online");
  RawClient back;
  ASSERT_TRUE(back.Connect(TestIp(3)));
  back.Write(get);
  const auto answer = back.Read(window.size());
  ASSERT_EQ(answer.size(), window.size());
  EXPECT_EQ(answer[5], 10) << "the layer window of the processor's start image";
  // Off for a while: it comes back by itself.
  EXPECT_EQ(ExecuteControlLine(processor, "offline 200"), "ok offline, back in 200 ms");
  bool answered = false;
  for (int i = 0; i < 100 && !answered; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    RawClient again;
    answered = again.Connect(TestIp(3));
  }
  EXPECT_TRUE(answered);
  for (const char* bad : {"hang", "hang maybe", "offline -5", "offline x", "online now"}) {
    EXPECT_EQ(ExecuteControlLine(processor, bad).rfind("error", 0), 0u) << bad;
  }
}

// Sends `lines` to a control socket and collects `count` answer lines.
std::string Exchange(const std::string& path, const std::string& lines, int count) {
  const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un a{};
  a.sun_family = AF_UNIX;
  std::snprintf(a.sun_path, sizeof a.sun_path, "%s", path.c_str());
  std::string answers;
  if (::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
      ::send(fd, lines.data(), lines.size(), 0) != static_cast<ssize_t>(lines.size())) {
    ::close(fd);
    return answers;
  }
  while (std::count(answers.begin(), answers.end(), '\n') < count) {
    char buf[256];
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, 10000) != 1) break;
    const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
    if (n <= 0) break;
    answers.append(buf, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return answers;
}

TEST(ControlSocket, AnswersLines) {
  ProcessorConfig config;
  config.ip = TestIp(5);
  config.selfReportMs = 0;
  VirtualProcessor processor(config);
  ASSERT_TRUE(processor.Start());
  const std::string path = "/tmp/orv-control-" + std::to_string(::getpid()) + ".sock";
  ControlSocket control(processor, path);
  ASSERT_TRUE(control.Start());
  const std::string answers = Exchange(path, "signal 1 on\nbogus\n", 2);
  EXPECT_EQ(answers.substr(0, 3), "ok\n");
  EXPECT_EQ(answers.substr(3, 5), "error");
  EXPECT_EQ(processor.Image().INPUTINFO.INPUTSTATE[1], 1);
  control.Stop();
  EXPECT_NE(::access(path.c_str(), F_OK), 0);  // the socket file is removed
}

TEST(ProcessorStart, RefusesTakenAndBadAddresses) {
  ProcessorConfig config;
  config.ip = TestIp(6);
  VirtualProcessor first(config);
  ASSERT_TRUE(first.Start());
  VirtualProcessor second(config);
  std::string error;
  EXPECT_FALSE(second.Start(&error));
  EXPECT_NE(error.find(TestIp(6)), std::string::npos);
  config.ip = "127.0.4";  // three numbers: refused before anything is bound
  VirtualProcessor bad(config);
  EXPECT_FALSE(bad.Start(&error));
}

TEST(Q20sim, PrintsItsPtyAndTakesControlLines) {
  int out[2];
  ASSERT_EQ(::pipe(out), 0);
  const std::string control = "/tmp/orv-q20sim-" + std::to_string(::getpid()) + ".sock";
  const std::string ip = TestIp(7);
  const pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    ::dup2(out[1], 1);
    ::close(out[0]);
    const int devnull = ::open("/dev/null", O_RDONLY);
    ::dup2(devnull, 0);
    ::execl(Q20SIM_PATH, "q20sim", "--ip", ip.c_str(), "--serial-pty", "--control-socket",
            control.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ::close(out[1]);
  std::string text;
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (text.find("control ") == std::string::npos && std::chrono::steady_clock::now() < end) {
    pollfd p{out[0], POLLIN, 0};
    if (::poll(&p, 1, 200) != 1) continue;
    char buf[256];
    const ssize_t n = ::read(out[0], buf, sizeof buf);
    if (n <= 0) break;
    text.append(buf, static_cast<std::size_t>(n));
  }
  EXPECT_NE(text.find("listening " + ip + ":61213 address 7"), std::string::npos) << text;
  const auto at = text.find("pty /dev/");
  ASSERT_NE(at, std::string::npos) << text;
  const std::string pty = text.substr(at + 4, text.find('\n', at) - at - 4);
  EXPECT_EQ(::access(pty.c_str(), R_OK | W_OK), 0) << pty;
  const std::string answer = Exchange(control, "status\n", 1);
  EXPECT_EQ(answer.rfind("ok address 7", 0), 0u) << answer;
  EXPECT_NE(answer.find("pty " + pty), std::string::npos) << answer;
  ::kill(pid, SIGTERM);
  int status = 0;
  ::waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  ::close(out[0]);
}

}  // namespace
}  // namespace orv::sim

namespace orv::sim {
namespace {

// Polls the processor's stream figures for up to 10 s.
template <class F>
bool StreamReaches(VirtualProcessor& processor, F done) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!done(processor.StreamStats())) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

// A processor offers its preview from the start, as one with an encoder
// does, and encodes it while a host is connected.
TEST(PreviewStream, OfferedFromTheStartToAConnectedHost) {
  ProcessorConfig config;
  config.ip = "127.0.4.7";
  config.selfReportMs = 0;
  config.udp = false;
  VirtualProcessor processor(config);
  ASSERT_TRUE(processor.Start());
  RawClient host;
  ASSERT_TRUE(host.Connect(config.ip));
  ASSERT_TRUE(StreamReaches(processor, [](const PreviewStreamStats& s) {
    return s.accessUnits >= 1;
  })) << processor.StreamStats().error;
  EXPECT_FALSE(host.Read(64).empty());
  processor.Stop();
}

TEST(PreviewStream, FlowsWhileOfferedAtTheEncoderSizeAndTakesCorruption) {
  ProcessorConfig config;
  config.ip = "127.0.4.6";
  config.selfReportMs = 0;
  config.udp = false;
  config.previewOffered = false;  // offered below
  VirtualProcessor processor(config);
  ASSERT_TRUE(processor.Start());
  RawClient host;
  ASSERT_TRUE(host.Connect(config.ip));
  EXPECT_EQ(processor.StreamStats().accessUnits, 0u) << "nothing before the preview is offered";
  EXPECT_EQ(ExecuteControlLine(processor, "preview on"), "ok");
  ASSERT_TRUE(StreamReaches(processor, [](const PreviewStreamStats& s) {
    return s.accessUnits >= 3;
  })) << processor.StreamStats().error;
  const auto s = processor.StreamStats();
  EXPECT_FALSE(s.encoder.empty());
  EXPECT_EQ(s.width, 640);  // resolution code 7, the start setting
  EXPECT_EQ(s.height, 480);
  EXPECT_GE(s.packets, s.accessUnits);

  struct Line {
    const char* text;
    bool ok;
  };
  for (const Line l : {Line{"corrupt 7", true}, Line{"corrupt 0", false}, Line{"corrupt x", false},
                       Line{"stream maybe", false}, Line{"stream on", true}}) {
    EXPECT_EQ(ExecuteControlLine(processor, l.text).rfind("ok", 0) == 0, l.ok) << l.text;
  }
  ASSERT_TRUE(StreamReaches(processor,
                            [](const PreviewStreamStats& st) { return st.corruptPackets == 7; }));
  EXPECT_NE(ExecuteControlLine(processor, "status").find("video"), std::string::npos);
  EXPECT_EQ(ExecuteControlLine(processor, "stream off"), "ok");
  processor.Stop();
}

}  // namespace
}  // namespace orv::sim
