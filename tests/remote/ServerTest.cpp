// The server against a fake panel: one answer per request and in order,
// garbage and over-long lines answered without losing the connection,
// events to subscribers only, slow readers dropped while others carry on,
// the token, and a flood that waits in the flooding client's socket.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

#include "ControlServer.h"
#include "LineClient.h"
#include "Osc.h"
#include "TestNet.h"

namespace orv::remote {
namespace {

using test::LineClient;
using test::TestIp;

// Answers every action at once with its state, where the panel would act.
class FakeTarget : public ShowControlTarget {
 public:
  void Execute(const ShowRequest& r, std::function<void(ActionResult)> done) override {
    {
      std::lock_guard lock(mutex_);
      commands_.push_back(r.command);
    }
    if (r.command == Command::Take) {
      done(ActionResult::Fail(error::kRefused, "take needs a program/preview mode"));
      return;
    }
    ShowState s;
    s.layers[1].input = r.value;
    done(ActionResult::Ok(s));
  }
  std::size_t Count() {
    std::lock_guard lock(mutex_);
    return commands_.size();
  }

 private:
  std::mutex mutex_;
  std::vector<Command> commands_;
};

class Server : public ::testing::Test {
 protected:
  void Start(ServerOptions options = {}) {
    options.address = TestIp(30);
    options.port = 0;
    server_ = std::make_unique<ControlServer>(target_, options);
    std::string error;
    ASSERT_TRUE(server_->Start(&error)) << error;
  }
  std::unique_ptr<LineClient> Client(int receiveBuffer = 0) {
    auto c = std::make_unique<LineClient>(TestIp(30), server_->Port(), receiveBuffer);
    EXPECT_TRUE(c->Connected());
    return c;
  }
  static Json Line(const std::optional<std::string>& line) {
    EXPECT_TRUE(line);
    std::optional<Json> j = line ? Json::Parse(*line) : std::nullopt;
    EXPECT_TRUE(j) << line.value_or("");
    return j.value_or(Json());
  }
  static std::string ErrorOf(const Json& answer) {
    const Json* e = answer.Find("error");
    return e != nullptr ? e->AsString() : std::string("(ok)");
  }

  FakeTarget target_;
  std::unique_ptr<ControlServer> server_;
};

TEST_F(Server, OneAnswerPerLineInOrderWhateverTheLine) {
  Start();
  auto c = Client();
  // Four lines in one write: garbage, an unknown command, a range error, a request.
  ASSERT_TRUE(
      c->Write("\x01\xff{garbage\n{\"cmd\":\"dance\",\"id\":1}\n"
               "{\"cmd\":\"input\",\"layer\":9,\"input\":0,\"id\":2}\n\n"
               "{\"cmd\":\"input\",\"layer\":1,\"input\":4,\"id\":3}\r\n"));
  EXPECT_EQ(ErrorOf(Line(c->ReadLine())), error::kBadRequest);
  EXPECT_EQ(ErrorOf(Line(c->ReadLine())), error::kUnknownCommand);
  EXPECT_EQ(ErrorOf(Line(c->ReadLine())), error::kOutOfRange);
  const Json ok = Line(c->ReadLine());
  EXPECT_EQ(ok.Find("id")->AsInteger(), 3);
  EXPECT_TRUE(ok.Find("ok")->AsBool());
  EXPECT_EQ(ok.Find("state")->Find("layers")->AsArray()[1].Find("input")->AsInteger(), 4);
  EXPECT_EQ(target_.Count(), 1u);  // only the valid action reached the panel
  c->Send(R"({"cmd":"take"})");
  EXPECT_EQ(ErrorOf(Line(c->ReadLine())), error::kRefused);
}

TEST_F(Server, OverlongLineIsAnsweredAndSkipped) {
  ServerOptions options;
  options.maxLineBytes = 256;
  Start(options);
  auto c = Client();
  ASSERT_TRUE(c->Write(std::string(100000, 'x') + "\n{\"cmd\":\"ping\",\"id\":\"after\"}\n"));
  EXPECT_EQ(ErrorOf(Line(c->ReadLine())), error::kLineTooLong);
  const Json after = Line(c->ReadLine());
  EXPECT_EQ(after.Find("id")->AsString(), "after");
  EXPECT_TRUE(after.Find("ok")->AsBool());
}

TEST_F(Server, EventsGoToSubscribersInOrder) {
  Start();
  ShowState state;
  server_->Publish(state);  // the baseline gives no event
  auto quiet = Client();
  auto listener = Client();
  listener->Send(R"({"cmd":"subscribe"})");
  EXPECT_TRUE(Line(listener->ReadLine()).Find("state"));
  state.layers[2].input = 5;
  server_->Publish(state);
  state.pvwMode = 1;
  state.layers[2].program = true;
  server_->Publish(state);
  const Json first = Line(listener->ReadLine());
  EXPECT_EQ(first.Find("event")->AsString(), "layer");
  EXPECT_EQ(first.Find("input")->AsInteger(), 5);
  EXPECT_EQ(Line(listener->ReadLine()).Find("event")->AsString(), "pvwmode");
  EXPECT_TRUE(Line(listener->ReadLine()).Find("program")->AsBool());
  // The other client heard nothing: its next line is the answer to its ping.
  quiet->Send(R"({"cmd":"ping","id":1})");
  EXPECT_EQ(Line(quiet->ReadLine()).Find("id")->AsInteger(), 1);
}

TEST_F(Server, SlowReaderIsDroppedOthersCarryOn) {
  ServerOptions options;
  options.maxQueuedBytes = 16 * 1024;
  Start(options);
  ShowState state;
  server_->Publish(state);
  auto slow = Client(4096);
  slow->Send(R"({"cmd":"subscribe"})");
  auto reader = Client();
  reader->Send(R"({"cmd":"subscribe"})");
  ASSERT_TRUE(reader->ReadLine());
  // Change after change until the slow client's queue overflows.
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  int changes = 0;
  while (server_->Stats().dropped == 0 && std::chrono::steady_clock::now() < end) {
    state.inputs[0].name = std::string(200, static_cast<char>('a' + changes % 26));
    server_->Publish(state);
    ++changes;
    // The reader keeps up.
    ASSERT_TRUE(reader->ReadLine()) << changes;
  }
  EXPECT_EQ(server_->Stats().dropped, 1u);
  EXPECT_TRUE(slow->ClosedByPeer());
  reader->Send(R"({"cmd":"ping","id":"alive"})");
  std::optional<std::string> line;
  do {
    line = reader->ReadLine();
  } while (line && line->find("alive") == std::string::npos);
  EXPECT_TRUE(line);
}

TEST_F(Server, TokenGuardsEveryCommand) {
  ServerOptions options;
  options.token = "cue-desk-7";
  Start(options);
  auto c = Client();
  c->Send(R"({"cmd":"status"})");
  EXPECT_EQ(ErrorOf(Line(c->ReadLine())), error::kUnauthorized);
  c->Send(R"({"cmd":"auth","token":"cue-desk-7"})");
  EXPECT_TRUE(Line(c->ReadLine()).Find("ok")->AsBool());
  c->Send(R"({"cmd":"status"})");
  EXPECT_TRUE(Line(c->ReadLine()).Find("ok")->AsBool());

  auto guesser = Client();
  for (int i = 0; i < 3; ++i) {
    guesser->Send(R"({"cmd":"auth","token":"guess"})");
    EXPECT_EQ(ErrorOf(Line(guesser->ReadLine())), error::kUnauthorized);
  }
  EXPECT_TRUE(guesser->ClosedByPeer());
}

// One datagram to the server's OSC port, and its answer (10 s at most).
std::optional<OscMessage> OscExchange(uint16_t port, const std::vector<uint8_t>& datagram) {
  const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(port);
  ::inet_pton(AF_INET, TestIp(30).c_str(), &a.sin_addr);
  ::sendto(fd, datagram.data(), datagram.size(), 0, reinterpret_cast<sockaddr*>(&a), sizeof a);
  pollfd p{fd, POLLIN, 0};
  std::optional<OscMessage> answer;
  if (::poll(&p, 1, 10000) == 1) {
    uint8_t buffer[2048];
    const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
    if (n > 0) answer = ParseOsc(std::span<const uint8_t>(buffer, static_cast<std::size_t>(n)));
  }
  ::close(fd);
  return answer;
}

TEST_F(Server, OscCommandsAreAnswered) {
  ServerOptions options;
  options.oscPort = static_cast<uint16_t>(20000 + ::getpid() % 20000);
  Start(options);
  OscMessage input{"/orv/input", {int32_t{1}, int32_t{4}}};
  std::optional<OscMessage> answer = OscExchange(options.oscPort, FormatOsc(input));
  ASSERT_TRUE(answer);
  EXPECT_EQ(answer->address, "/orv/ok");
  EXPECT_EQ(target_.Count(), 1u);
  // A fader's 1.0 switches on; an input out of range is refused by the line rules.
  answer = OscExchange(options.oscPort, FormatOsc({"/orv/input", {int32_t{9}, int32_t{0}}}));
  ASSERT_TRUE(answer);
  EXPECT_EQ(answer->address, "/orv/error");
  EXPECT_EQ(std::get<std::string>(answer->args[1]), error::kOutOfRange);
  const ParsedRequest freeze = OscToRequest({"/orv/freeze", {1.0F}});
  ASSERT_TRUE(freeze.request);
  EXPECT_TRUE(freeze.request->on);
  answer = OscExchange(options.oscPort, {'g', 'a', 'r', 'b', 'a', 'g', 'e'});
  ASSERT_TRUE(answer);
  EXPECT_EQ(std::get<std::string>(answer->args[1]), error::kBadRequest);
}

TEST(ServerSettings, OtherAddressesNeedAToken) {
  FakeTarget target;
  ServerOptions options;
  options.address = "0.0.0.0";
  options.port = 0;
  ControlServer server(target, options);
  std::string error;
  EXPECT_FALSE(server.Start(&error));
  EXPECT_NE(error.find("token"), std::string::npos);
  EXPECT_TRUE(IsLoopbackAddress(TestIp(3)));
  EXPECT_FALSE(IsLoopbackAddress("0.0.0.0"));
}

TEST_F(Server, FloodWaitsInItsOwnSocketWhileOthersAreServed) {
  Start();
  auto flood = Client();
  constexpr int kLines = 20000;
  std::string burst;
  for (int i = 0; i < kLines; ++i) burst += R"({"cmd":"ping","id":)" + std::to_string(i) + "}\n";
  std::thread writer([&] { flood->Write(burst); });
  auto other = Client();
  other->Send(R"({"cmd":"ping","id":"me"})");
  EXPECT_EQ(Line(other->ReadLine()).Find("id")->AsString(), "me");
  for (int i = 0; i < kLines; ++i) {
    const std::optional<std::string> line = flood->ReadLine();
    ASSERT_TRUE(line) << i;
    ASSERT_NE(line->find("\"id\":" + std::to_string(i) + ","), std::string::npos) << *line;
  }
  writer.join();
}

}  // namespace
}  // namespace orv::remote
