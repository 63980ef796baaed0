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

// The answers to one request line: what arrives before the answer to a
// ping sent right after it (none for a line that gets none).
std::vector<std::string> AnswersTo(LineClient& client, const std::string& line) {
  std::vector<std::string> answers;
  if (!client.Write(line + "\n{\"cmd\":\"ping\",\"id\":\"next\"}\n")) return {"(write failed)"};
  while (true) {
    const std::optional<std::string> answer = client.ReadLine();
    if (!answer) return {"(no answer)"};
    if (*answer == R"({"id":"next","ok":true})") return answers;
    answers.push_back(*answer);
  }
}

std::string Nested(int levels) {
  std::string line = R"({"cmd":"ping")";
  for (int i = 1; i < levels; ++i) line += R"(,"x":{"y":1)";
  return line + std::string(static_cast<std::size_t>(levels), '}');
}

// Request line to answer line: texts and ids in valid UTF-8 only, answers
// cut between characters, nesting and numbers as the document says, blank
// lines unanswered.
TEST_F(Server, RequestLinesGetTheDocumentedAnswers) {
  Start();
  auto c = Client();
  const std::string e = "\xC3\xA9";  // é
  std::string many = "a";
  for (int i = 0; i < 40; ++i) many += e;
  std::string tooMany = many;
  for (int i = 40; i < 100; ++i) tooMany += e;
  const std::string cut = tooMany.substr(0, 1 + 63 * 2);  // 64 characters
  const std::string notUtf8 = R"({"ok":false,"error":"bad request","detail":"not UTF-8"})";
  const struct {
    std::string line;
    std::vector<std::string> answers;
  } cases[] = {
      {R"({"cmd":")" + many + R"(","id":1})",
       {R"({"id":1,"ok":false,"error":"unknown command","detail":"unknown command: )" + many +
        R"("})"}},
      {R"({"cmd":")" + tooMany + R"(","id":1})",
       {R"({"id":1,"ok":false,"error":"unknown command","detail":"unknown command: )" + cut +
        R"("})"}},
      {"{\"cmd\":\"ping\",\"id\":\"\xFF\xFE\"}", {notUtf8}},
      {"{\"cmd\":\"ping\",\"id\":\"\xC0\xAF\"}", {notUtf8}},
      {"{\"cmd\":\"ping\",\"id\":\"\xED\xA0\x80\"}", {notUtf8}},
      {"{\"cmd\":\"ping\",\"id\":\"" + e + "\"}", {"{\"id\":\"" + e + "\",\"ok\":true}"}},
      {R"({"cmd":"ping","id":"\u00e9"})", {"{\"id\":\"" + e + "\",\"ok\":true}"}},
      {Nested(16), {R"({"ok":true})"}},
      {Nested(17),
       {R"({"ok":false,"error":"bad request","detail":"not JSON: nested too deep at 183"})"}},
      {R"({"cmd":"input","layer":1e300,"input":0,"id":2})",
       {R"({"id":2,"ok":false,"error":"out of range","detail":"\"layer\" must be 0..3"})"}},
      {R"({"cmd":"input","layer":-1e300,"input":0,"id":3})",
       {R"({"id":3,"ok":false,"error":"out of range","detail":"\"layer\" must be 0..3"})"}},
      {R"({"cmd":"testpattern","on":true,"pattern":1e20,"id":4})",
       {R"({"id":4,"ok":false,"error":"out of range","detail":"\"pattern\" must be 1..111"})"}},
      {R"({"cmd":"input","layer":0.5,"input":0,"id":5})",
       {R"({"id":5,"ok":false,"error":"bad request","detail":"\"layer\" must be an integer"})"}},
      {R"({"cmd":"input","layer":"1","input":0,"id":6})",
       {R"({"id":6,"ok":false,"error":"bad request","detail":"\"layer\" must be an integer"})"}},
      {"", {}},
      {" \t ", {}},
      {"\r", {}},
  };
  for (const auto& row : cases) EXPECT_EQ(AnswersTo(*c, row.line), row.answers) << row.line;
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

// A client that writes requests far faster than it reads their answers
// (here: reads nothing until the server waits for it) is slowed down, not
// dropped: every answer arrives, in order.
TEST_F(Server, FastClientIsSlowedNotDropped) {
  Start();
  auto fast = Client(4096);
  constexpr int kRequests = 4000;  // about 2 KB of state each: far past the 256 KiB limit
  std::string burst;
  for (int i = 0; i < kRequests; ++i)
    burst += R"({"cmd":"status","id":)" + std::to_string(i) + "}\n";
  std::thread writer([&] { fast->Write(burst); });
  // Nothing is read until the server holds the client's requests back.
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  ServerStats seen = server_->Stats();
  while (seen.waiting == 0 && seen.dropped == 0 && std::chrono::steady_clock::now() < end) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    seen = server_->Stats();
  }
  EXPECT_EQ(seen.waiting, 1u);
  EXPECT_EQ(seen.dropped, 0u);
  int answered = 0;
  for (; answered < kRequests; ++answered) {
    const std::optional<std::string> line = fast->ReadLine();
    if (!line || line->rfind("{\"id\":" + std::to_string(answered) + ",\"ok\":true,", 0) != 0)
      break;
  }
  EXPECT_EQ(answered, kRequests);
  writer.join();
  EXPECT_EQ(server_->Stats().dropped, 0u);
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

// OSC datagram to answer: flags are 0, 1, T or F and nothing else; every
// string is UTF-8 padded with NULs.
TEST_F(Server, OscIsStrict) {
  ServerOptions options;
  options.oscPort = static_cast<uint16_t>(20000 + (::getpid() + 7) % 20000);
  Start(options);
  auto bytes = [](std::string text) { return std::vector<uint8_t>(text.begin(), text.end()); };
  const std::string e = "\xC3\xA9";
  std::string longAddress = "/orv/";
  for (int i = 0; i < 70; ++i) longAddress += e;
  const std::string cut = longAddress.substr(0, 5 + 59 * 2);  // 64 characters
  const std::string flagDetail = "\"on\" must be 0, 1, T or F, not ";
  const std::string unpadded = "no OSC address (a UTF-8 text starting with '/', padded with NULs)";
  const struct {
    std::vector<uint8_t> datagram;
    std::vector<std::string> answer;  // address, then the string arguments
  } cases[] = {
      {FormatOsc({"/orv/freeze", {int32_t{1}}}), {"/orv/ok", "/orv/freeze"}},
      {FormatOsc({"/orv/freeze", {0.0F}}), {"/orv/ok", "/orv/freeze"}},
      {FormatOsc({"/orv/freeze", {true}}), {"/orv/ok", "/orv/freeze"}},
      {FormatOsc({"/orv/freeze", {int32_t{122}}}),
       {"/orv/error", "/orv/freeze", "bad request", flagDetail + "122"}},
      {FormatOsc({"/orv/freeze", {int32_t{-1}}}),
       {"/orv/error", "/orv/freeze", "bad request", flagDetail + "-1"}},
      {FormatOsc({"/orv/layer", {int32_t{1}, 0.5F}}),
       {"/orv/error", "/orv/layer", "bad request", flagDetail + "0.5"}},
      {FormatOsc({"/orv/testpattern", {std::string("1")}}),
       {"/orv/error", "/orv/testpattern", "bad request", flagDetail + "\"1\""}},
      {bytes(std::string("/orv/ping\0xx", 12)), {"/orv/error", "", "bad request", unpadded}},
      {bytes(std::string("/orv/ping\0\0\0,\0\0x", 16)),
       {"/orv/error", "", "bad request", "bad type tags (',' and the types, padded with NULs)"}},
      {bytes(std::string("/orv/\xFF\0\0", 8)), {"/orv/error", "", "bad request", unpadded}},
      {FormatOsc({longAddress, {}}),
       {"/orv/error", longAddress, "unknown command", "unknown OSC address: " + cut}},
  };
  for (const auto& row : cases) {
    const std::optional<OscMessage> answer = OscExchange(options.oscPort, row.datagram);
    ASSERT_TRUE(answer) << row.answer[1];
    std::vector<std::string> got{answer->address};
    for (const OscMessage::Arg& a : answer->args) {
      if (const auto* text = std::get_if<std::string>(&a)) got.push_back(*text);
    }
    EXPECT_EQ(got, row.answer);
  }
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
