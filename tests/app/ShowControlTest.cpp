// Show control against the panel and a virtual processor: a client
// subscribes, switches an input and TAKEs; the processor receives the
// commands in order and the client gets its answers and the events in order;
// the document's examples get the answers it shows.
#include <QCoreApplication>
#include <QStringList>

#include <algorithm>
#include <chrono>
#include <deque>
#include <fstream>
#include <memory>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "AppTestSupport.h"
#include "CGdipButton.h"
#include "CommandEncoder.h"
#include "ControlChannel.h"
#include "DeviceState.h"
#include "Json.h"
#include "LineClient.h"
#include "Messages.h"
#include "OrvComm.h"
#include "PageTable.h"
#include "ShowControlAdapter.h"
#include "StartConnection.h"
#include "TestNet.h"
#include "Timers.h"
#include "VirtualProcessor.h"
#include "WaitBox.h"

namespace orv::test {
namespace {

using remote::Json;

class ShowControl : public ConnectedWindowTest {
 protected:
  void SetUp() override {
    ConnectedWindowTest::SetUp();
    sim::ProcessorConfig config = ProcessorAt(TestIp(70));
    config.encoder = false;
    ASSERT_NO_FATAL_FAILURE(StartProcessor(config));
    ASSERT_NO_FATAL_FAILURE(ConnectUntil());
  }
  void TearDown() override {
    adapter_.reset();
    ConnectedWindowTest::TearDown();
  }

  // Runs the GUI thread (queued calls, posted messages, timers) until `done`
  // or ten seconds pass.
  template <class Done>
  bool Pump(Done done) {
    return PumpUntil(done);
  }

  // Program/preview mode, as the switcher page sets it: TAKE appears.
  void EnterProgramPreview() {
    { State()->block.PVWMODEINFO.PVWMODE = 1; }
    SendCommand(SET_PVW_MODE);
    CGdipButton* take = Window().Button(strip::kTake);
    ASSERT_TRUE(Pump([&] { return !take->isHidden() && !Window().Wait().Shown(); }));
  }

  void StartServer() {
    remote::ServerOptions options;
    options.address = TestIp(71);
    options.port = 0;
    adapter_ = std::make_unique<ShowControlAdapter>(Window(), options);
    std::string error;
    ASSERT_TRUE(adapter_->Listen(&error)) << error;
  }

  // The next line of `client`, the panel running meanwhile.
  Json Next(LineClient& client) {
    std::optional<std::string> line;
    Pump([&] { return (line = client.ReadLine(1)).has_value(); });
    EXPECT_TRUE(line) << "no line within 10 s";
    std::optional<Json> j = line ? Json::Parse(*line) : std::nullopt;
    EXPECT_TRUE(j) << line.value_or("");
    return j.value_or(Json());
  }

  static std::string EventOf(const Json& j) {
    const Json* e = j.Find("event");
    return e != nullptr ? e->AsString() : std::string();
  }

  std::unique_ptr<ShowControlAdapter> adapter_;
};

TEST_F(ShowControl, SubscribeSwitchInputTakeInOrder) {
  ASSERT_NO_FATAL_FAILURE(EnterProgramPreview());
  StartServer();

  LineClient client(TestIp(71), adapter_->Port());
  ASSERT_TRUE(client.Connected());
  client.Send(R"({"cmd":"subscribe","id":"s"})");
  const Json subscribed = Next(client);
  ASSERT_TRUE(subscribed.Find("ok")->AsBool());
  EXPECT_EQ(subscribed.Find("state")->Find("pvwmode")->AsInteger(), 1);
  EXPECT_TRUE(subscribed.Find("state")->Find("connected")->AsBool());

  // Layer 1 is on program: its input stays, and the client is told why.
  client.Send(R"({"cmd":"input","layer":1,"input":0,"id":"pgm"})");
  const Json refused = Next(client);
  EXPECT_EQ(refused.Find("error")->AsString(), "refused");

  processor_->Requests().Clear();
  client.Send(R"({"cmd":"input","layer":2,"input":0,"id":"in"})");
  const Json switched = Next(client);
  ASSERT_TRUE(switched.Find("ok")->AsBool()) << switched.Dump();
  EXPECT_EQ(switched.Find("id")->AsString(), "in");
  EXPECT_EQ(switched.Find("state")->Find("layers")->AsArray()[2].Find("input")->AsInteger(), 0);
  const Json inputEvent = Next(client);
  EXPECT_EQ(EventOf(inputEvent), "layer");
  EXPECT_EQ(inputEvent.Find("layer")->AsInteger(), 2);
  EXPECT_EQ(inputEvent.Find("input")->AsInteger(), 0);

  // A fade of 3 s: the panel's wait after TAKE lasts until the processor's
  // exchange ends it.
  processor_->WithModel([](sim::DeviceModel& m) {
    m.image().PVWMODEINFO.PVWDTIME = 7;
    return 0;
  });
  client.Send(R"({"cmd":"take","id":"tk"})");
  const Json taken = Next(client);
  ASSERT_TRUE(taken.Find("ok")->AsBool()) << taken.Dump();
  // The panel waits for the TAKE like after the operator's click.
  EXPECT_TRUE(Window().Wait().Shown());
  client.Send(R"({"cmd":"input","layer":3,"input":0,"id":"b"})");
  // The busy answer, and after the fade each layer's tally in order, as the
  // processor exchanges program and preview.
  int layer = 0;
  bool busy = false;
  for (int line = 0; line < 5; ++line) {
    const Json e = Next(client);
    if (const Json* id = e.Find("id"); id != nullptr && id->AsString() == "b") {
      EXPECT_EQ(e.Find("error")->AsString(), "busy");
      busy = true;
      continue;
    }
    ASSERT_EQ(EventOf(e), "layer") << e.Dump();
    EXPECT_EQ(e.Find("layer")->AsInteger(), layer);
    EXPECT_EQ(e.Find("program")->AsBool(), layer >= 2) << e.Dump();
    ++layer;
  }
  EXPECT_TRUE(busy);
  EXPECT_EQ(layer, 4);

  // The processor got the input switch, then the TAKE, and nothing else acted.
  std::vector<uint16_t> actions;
  for (const sim::ReceivedRequest& r : processor_->Requests().Entries()) {
    if (r.type == SET_LAYER_INPUT || r.type == TAKE) actions.push_back(r.type);
  }
  EXPECT_EQ(actions, (std::vector<uint16_t>{SET_LAYER_INPUT, TAKE}));
  EXPECT_EQ(processor_->Image().CHNLDATA[2].CHNLINPUT, 0);
  EXPECT_EQ(processor_->Image().PVWMODEINFO.PGMSTATE[2], 1);
}

TEST_F(ShowControl, PanelClicksReachSubscribers) {
  StartServer();
  LineClient client(TestIp(71), adapter_->Port());
  client.Send(R"({"cmd":"subscribe"})");
  ASSERT_TRUE(Next(client).Find("ok")->AsBool());
  // The operator switches PIP-2 on at the panel.
  CGdipButton* pip2 = Window().Button(strip::kPgmFirst + 2);
  pip2->SetChecked(true);
  pip2->click();
  const Json e = Next(client);
  EXPECT_EQ(EventOf(e), "layer");
  EXPECT_EQ(e.Find("layer")->AsInteger(), 2);
  EXPECT_TRUE(e.Find("on")->AsBool());
  // And a client switches it off through the same button.
  client.Send(R"({"cmd":"layer","layer":2,"on":false})");
  EXPECT_TRUE(Next(client).Find("ok")->AsBool());
  EXPECT_FALSE(pip2->IsChecked());
  EXPECT_FALSE(Next(client).Find("on")->AsBool());
  ASSERT_TRUE(Pump([&] { return processor_->Image().CHNLDATA[2].CHNLONOFF == 0; }));
}

// The worked examples of docs/remote-control.md, in document order, on one
// connection: a request line is sent (once the panel is not waiting, as a
// client would), an answer line must be the next answer, an event line must
// follow among the events. "..." in an example stands for anything.
class DocumentedExamples {
 public:
  struct Step {
    enum Kind { Request, Answer, Event } kind;
    std::string text;
  };

  static std::vector<Step> Read(const std::string& path) {
    std::ifstream doc(path);
    std::vector<Step> steps;
    std::vector<Step> block;
    auto endBlock = [&] {
      // Blocks without a request are shapes, not conversations.
      if (std::any_of(block.begin(), block.end(),
                      [](const Step& s) { return s.kind == Step::Request; }))
        steps.insert(steps.end(), block.begin(), block.end());
      block.clear();
    };
    for (std::string line; std::getline(doc, line);) {
      if (!line.starts_with("    ")) {
        if (!line.empty()) endBlock();
        continue;
      }
      const std::string text = line.substr(line.find_first_not_of(' '));
      if (text.starts_with(R"({"cmd")")) block.push_back({Step::Request, text});
      if (text.starts_with(R"({"id")") || text.starts_with(R"({"ok")"))
        block.push_back({Step::Answer, text});
      if (text.starts_with(R"({"event")")) block.push_back({Step::Event, text});
    }
    endBlock();
    return steps;
  }

  static bool Matches(const std::string& example, const std::string& line) {
    std::string pattern;
    for (std::size_t i = 0; i < example.size(); ++i) {
      if (example.compare(i, 3, "...") == 0) {
        pattern += ".*";
        i += 2;
      } else if (std::string_view("\\^$.|?*+()[]{}").find(example[i]) != std::string_view::npos) {
        pattern += std::string("\\") + example[i];
      } else {
        pattern += example[i];
      }
    }
    return std::regex_match(line, std::regex(pattern));
  }
};

// A write the processor refuses or leaves unanswered: the client whose
// request sent it hears of it with its request's id, a subscriber with none,
// a client that neither sent it nor subscribed not at all.
TEST_F(ShowControl, RefusedAndUnansweredWritesReachTheirClientAndSubscribers) {
  StartServer();
  LineClient sender(TestIp(71), adapter_->Port());
  LineClient subscriber(TestIp(71), adapter_->Port());
  LineClient bystander(TestIp(71), adapter_->Port());
  ASSERT_TRUE(sender.Connected() && subscriber.Connected() && bystander.Connected());
  subscriber.Send(R"({"cmd":"subscribe"})");
  ASSERT_TRUE(Next(subscriber).Find("ok")->AsBool());

  struct Case {
    const char* order;
    const char* request;
    int64_t waitMs;  // manual time until the answer is due
    const char* verdict;
    const char* reason;
  };
  const Case cases[] = {
      {"refuse-next 4 1",
       R"({"cmd":"window","layer":1,"x":0,"y":0,"w":640,"h":360,"id":"w1"})", 0, "refused",
       "pixel budget"},
      {"ignore-next 4",
       R"({"cmd":"window","layer":1,"x":8,"y":0,"w":640,"h":360,"id":"w2"})", 1000,
       "unconfirmed", "not given"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.order);
    ASSERT_TRUE(sim::ExecuteControlLine(*processor_, c.order).starts_with("ok"));
    sender.Send(c.request);
    const Json answer = Next(sender);
    ASSERT_TRUE(answer.Find("ok")->AsBool()) << answer.Dump();
    if (c.waitMs > 0) AdvanceManualTime(c.waitMs);
    Json own = Next(sender);
    EXPECT_EQ(EventOf(own), "write") << own.Dump();
    EXPECT_EQ(own.Find("id")->AsString(), Json::Parse(c.request)->Find("id")->AsString());
    EXPECT_EQ(own.Find("type")->AsInteger(), SET_LAYER_WINDOW);
    EXPECT_EQ(own.Find("verdict")->AsString(), c.verdict);
    EXPECT_EQ(own.Find("reason")->AsString(), c.reason);
    // The subscriber hears of the write among the state's events, without the id.
    Json heard;
    for (int i = 0; i < 10 && EventOf(heard) != "write"; ++i) heard = Next(subscriber);
    ASSERT_EQ(EventOf(heard), "write");
    EXPECT_TRUE(heard.Find("id")->IsNull());
    EXPECT_EQ(heard.Find("verdict")->AsString(), c.verdict);
  }
  // Both events went to every client in one go before the subscriber read
  // its own: the bystander's first line is the answer to its ping.
  bystander.Send(R"({"cmd":"ping","id":"p"})");
  const Json first = Next(bystander);
  EXPECT_EQ(EventOf(first), "") << first.Dump();
  EXPECT_EQ(first.Find("id")->AsString(), "p");
}

TEST_F(ShowControl, DocumentedExamplesAreWhatThePanelAnswers) {
  const std::vector<DocumentedExamples::Step> steps =
      DocumentedExamples::Read(std::string(ORV_DOCS_DIR) + "/remote-control.md");
  ASSERT_GE(steps.size(), 10u);
  ASSERT_NO_FATAL_FAILURE(EnterProgramPreview());
  StartServer();
  LineClient client(TestIp(71), adapter_->Port());
  ASSERT_TRUE(client.Connected());

  std::deque<std::string> events;  // received, not yet expected
  for (const DocumentedExamples::Step& step : steps) {
    using Step = DocumentedExamples::Step;
    if (step.kind == Step::Request) {
      ASSERT_TRUE(Pump([&] { return !Window().Wait().Shown(); }));
      client.Send(step.text);
      continue;
    }
    if (step.kind == Step::Event) {
      while (std::none_of(events.begin(), events.end(), [&](const std::string& e) {
        return DocumentedExamples::Matches(step.text, e);
      })) {
        const std::string line = Next(client).Dump();
        ASSERT_TRUE(line.starts_with(R"({"event")")) << step.text << " not before " << line;
        events.push_back(line);
      }
      // What came before the expected event is passed over with it.
      while (!DocumentedExamples::Matches(step.text, events.front())) events.pop_front();
      events.pop_front();
      continue;
    }
    std::string line = Next(client).Dump();
    while (line.starts_with(R"({"event")")) {
      events.push_back(line);
      line = Next(client).Dump();
    }
    EXPECT_TRUE(DocumentedExamples::Matches(step.text, line)) << step.text << "\n" << line;
  }
}

}  // namespace
}  // namespace orv::test
