// The decoders against the virtual processor over TCP loopback: the real
// library delivers the processor's answers to the registered reply functions,
// and the processor's request log shows what reached the device, in order.
// Pauses are real sleeps; their length is checked on the host side, where the
// sends are made, so that no check depends on how fast the loopback is.
#include <asio.hpp>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "CommandLayout.h"
#include "DecoderFixture.h"
#include "ForwardingCommLibrary.h"
#include "OrvComm.h"
#include "TestNet.h"
#include "VirtualProcessor.h"

namespace orv::test {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// "GET_INPUT_TIMING 2": a request by its name and, when it carries one, its
// first payload byte.
std::string Req(uint16_t type, int firstByte = -1) {
  std::string text = wire::CommandName(type);
  if (firstByte >= 0) text += " " + std::to_string(firstByte);
  return text;
}

std::vector<std::string> Names(const std::vector<sim::ReceivedRequest>& log) {
  std::vector<std::string> out;
  for (const auto& r : log) out.push_back(Req(r.type, r.FirstByte()));
  return out;
}

// Forwards every call to the real library and notes when each typed send was
// made, so that the pauses between requests are measured where they happen.
class TimedLibrary : public test::ForwardingCommLibrary {
 public:
  using ForwardingCommLibrary::ForwardingCommLibrary;

  int SendTyped(uint16_t type, const uint8_t* buffer, uint8_t address) override {
    const int first = wire::CommandWireLength(type) > 0 ? buffer[0] : -1;
    {
      std::lock_guard lock(mutex_);
      sent_.push_back({Req(type, first), Clock::now()});
    }
    return ForwardingCommLibrary::SendTyped(type, buffer, address);
  }

  // When the request was first sent; fails the test when it never was.
  Clock::time_point SentAt(const std::string& request) const {
    std::lock_guard lock(mutex_);
    for (const auto& s : sent_) {
      if (s.request == request) return s.at;
    }
    ADD_FAILURE() << request << " was never sent";
    return {};
  }
  void Clear() {
    std::lock_guard lock(mutex_);
    sent_.clear();
  }

 private:
  struct Sent {
    std::string request;
    Clock::time_point at;
  };
  mutable std::mutex mutex_;
  std::vector<Sent> sent_;
};

class EndToEnd : public ::testing::Test {
 protected:
  // Starts a processor on `ip`, connects the real library to it and registers
  // the reply functions, as the main window does after a connect.
  void Connect(const std::string& ip) {
    {
      auto s = State();
      *s = DeviceState();
    }
    sim::ProcessorConfig config;
    config.ip = ip;
    config.udp = false;
    config.selfReportMs = 0;
    // The logs compare whole sequences of requests, replies and refreshes:
    // no preview flag or video in between.
    config.previewOffered = false;
    processor_ = std::make_unique<sim::VirtualProcessor>(config);
    std::string error;
    ASSERT_TRUE(processor_->Start(&error)) << error;
    SetDeviceAddress(processor_->address());
    comm_ = std::make_unique<OrvComm>();
    timed_ = std::make_unique<TimedLibrary>(*comm_);
    SetCommLibrary(timed_.get());
    SetReplySink(&sink_);
    SetPauseFunction({});
    ResetReplyStatistics();
    RegisterReplyFunctions(*timed_);
    ASSERT_EQ(comm_->OpenNetLink(ip.c_str(), kDevicePort), 1);
    // Unasked reports go to the links the processor has accepted; wait for
    // ours, or an event raised at once would reach nobody.
    const auto until = Clock::now() + std::chrono::seconds(10);
    while (processor_->TcpLinkCount() == 0 && Clock::now() < until) {
      std::this_thread::sleep_for(milliseconds(1));
    }
    ASSERT_EQ(processor_->TcpLinkCount(), 1u);
  }

  void TearDown() override {
    if (comm_) comm_->CloseAll();
    comm_.reset();  // joins the reply thread before the sink goes
    SetCommLibrary(nullptr);
    SetReplySink(nullptr);
    if (processor_) processor_->Stop();
  }

  // Waits for `count` requests at the processor, then until neither the
  // processor's log nor the replies the host delivered move for 300 ms
  // (longer than any pause of a sequence).
  void AwaitRequestsThenQuiet(std::size_t count) {
    ASSERT_TRUE(processor_->Requests().WaitForSize(count, milliseconds(10000)))
        << "only " << processor_->Requests().Size() << " of " << count << " requests arrived";
    auto snapshot = [this] {
      return std::pair(processor_->Requests().Size(), comm_->Stats().repliesDelivered);
    };
    auto last = snapshot();
    auto quietSince = Clock::now();
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    while (Clock::now() - quietSince < milliseconds(300) && Clock::now() < deadline) {
      std::this_thread::sleep_for(milliseconds(10));
      const auto now = snapshot();
      if (now != last) {
        last = now;
        quietSince = Clock::now();
      }
    }
  }

  std::vector<std::string> DeviceLog() const { return Names(processor_->Requests().Entries()); }

  void ClearLogs() {
    processor_->Requests().Clear();
    timed_->Clear();
    log_.Clear();
  }

  bool SinkSaw(const std::string& entry) const {
    const auto entries = log_.Entries();
    return std::find(entries.begin(), entries.end(), entry) != entries.end();
  }

  // The requests that follow the image of the processor's start image (slots
  // 0 and 2 with a signal, slot 6 VGA): the slot requests, the seven
  // follow-ups after the pause, then what their answers ask for: the encoder
  // exchange (settings, then address, then version) and the board re-read.
  std::vector<std::string> ReadBackAfterImage() {
    const uint8_t edidCode = processor_->Image().EDIDINFO[5].INPUTSRC;
    return {Req(GET_INPUT_TIMING, 0),
            Req(GET_INPUT_TIMING, 2),
            Req(GET_VGA_ADJUST, 6),
            Req(GET_CAPTION, 0),
            Req(VIDEO_ENCODER_CTRL, 2),
            Req(QUERY67),
            Req(QUERY62),
            Req(GET_LAYERS),
            Req(QUERY73),
            Req(QUERY68),
            Req(VIDEO_ENCODER_CTRL, 0),
            Req(GET_EDID, edidCode),
            Req(GET_MOSAIC),
            Req(VIDEO_ENCODER_CTRL, 1)};
  }

  void SetSlots(const std::array<int32_t, 8>& types, const std::array<uint8_t, 8>& signal) {
    processor_->WithModel([&](sim::DeviceModel& m) {
      auto& in = m.image().INPUTINFO;
      for (int s = 0; s < 8; ++s) {
        in.INPUTSRC[s] = types[s];
        in.INPUTSTATE[s] = signal[s];
      }
      return 0;
    });
  }

  static double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
  }

  EventLog log_;
  LoggingSink sink_{log_};
  std::unique_ptr<sim::VirtualProcessor> processor_;
  std::unique_ptr<OrvComm> comm_;
  std::unique_ptr<TimedLibrary> timed_;
};

constexpr std::array<int32_t, 8> kSlotTypes = {4, 6, 4, 6, 8, 7, 3, 9};  // slot 6 VGA
constexpr std::array<uint8_t, 8> kSignalOn0And2 = {1, 0, 1, 0, 0, 0, 0, 0};

TEST_F(EndToEnd, FullReadBackRequestsInSlotOrderThenSevenFollowUpsAfterThePause) {
  ASSERT_NO_FATAL_FAILURE(Connect(TestIp(21)));
  SetSlots(kSlotTypes, kSignalOn0And2);

  StartFullReadBack();
  std::vector<std::string> expected = {Req(GET_ALL)};
  const auto rest = ReadBackAfterImage();
  expected.insert(expected.end(), rest.begin(), rest.end());
  AwaitRequestsThenQuiet(expected.size());
  EXPECT_EQ(DeviceLog(), expected);

  const auto pause = timed_->SentAt(Req(GET_CAPTION, 0)) - timed_->SentAt(Req(GET_VGA_ADJUST, 6));
  EXPECT_GE(pause, milliseconds(200)) << Ms(pause) << " ms";

  // The answers were applied: names, timings and crop sources of the slots.
  {
    auto s = State();
    EXPECT_EQ(s->INPUT_TABLE[6].name, " VGA-1");
    EXPECT_EQ(s->INPUT_TABLE[7].name, " UDISK-2");
    EXPECT_EQ(s->block.INPUTINFO.INPUTRESO[2].INPUTRESOHACT, 1280);
    EXPECT_EQ(s->block.INPUTINFO.INPUTRESO[2].INPUTRESOVACT, 720);
    EXPECT_EQ(s->CropOf(2, 3).HTOTAL, 1280);
    EXPECT_EQ(s->LAST_TIMING_INPUT, 2);
    EXPECT_EQ(s->REPLY_ADDR, processor_->address());
  }
  EXPECT_TRUE(SinkSaw("busy on 82"));
  EXPECT_TRUE(SinkSaw(Refresh(2)));
  EXPECT_TRUE(SinkSaw("busy off"));  // the preset flags that follow the image
  EXPECT_TRUE(SinkSaw("board refresh"));
  const ReplyStats stats = ReplyStatistics();
  EXPECT_EQ(stats.DroppedTotal(), 0u);
  EXPECT_EQ(stats.handled[4], 2u);
  EXPECT_EQ(stats.handled[5], 1u);
  EXPECT_EQ(stats.handled[28], 3u);  // settings, address, version
  EXPECT_EQ(comm_->Stats().TotalMalformed(), 0u);
}

TEST_F(EndToEnd, ReadBackWithoutSignalsOrVgaGoesStraightToTheFollowUps) {
  ASSERT_NO_FATAL_FAILURE(Connect(TestIp(22)));
  SetSlots({4, 6, 4, 6, 8, 7, -1, 12}, {});
  StartFullReadBack();
  AwaitRequestsThenQuiet(12);
  const auto log = DeviceLog();
  ASSERT_GE(log.size(), 2u);
  EXPECT_EQ(log[0], Req(GET_ALL));
  EXPECT_EQ(log[1], Req(GET_CAPTION, 0));
  EXPECT_EQ(log.size(), 12u);
  auto s = State();
  EXPECT_EQ(s->INPUT_TABLE[6].enabled, 0);
  EXPECT_EQ(s->INPUT_TABLE[7].enabled, 0);
}

TEST_F(EndToEnd, Event3RereadsModeThenLayerWindowsAfter40Ms) {
  ASSERT_NO_FATAL_FAILURE(Connect(TestIp(23)));
  processor_->RaiseEvent({3});
  const std::vector<std::string> expected = {Req(GET_PVW_MODE),        Req(GET_LAYER_WINDOW, 0),
                                             Req(GET_LAYER_WINDOW, 1), Req(GET_LAYER_WINDOW, 2),
                                             Req(GET_LAYER_WINDOW, 3), Req(GET_LAYERS)};
  AwaitRequestsThenQuiet(expected.size());
  EXPECT_EQ(DeviceLog(), expected);
  const auto pause = timed_->SentAt(Req(GET_LAYER_WINDOW, 0)) - timed_->SentAt(Req(GET_PVW_MODE));
  EXPECT_GE(pause, milliseconds(40)) << Ms(pause) << " ms";
  EXPECT_TRUE(SinkSaw("busy off"));
  EXPECT_EQ(ReplyStatistics().handled[10], 4u);
  EXPECT_EQ(ReplyStatistics().handled[14], 1u);
}

TEST_F(EndToEnd, Event5RereadsOnlyWithArgumentOne) {
  ASSERT_NO_FATAL_FAILURE(Connect(TestIp(24)));
  SetSlots(kSlotTypes, kSignalOn0And2);
  processor_->RaiseEvent({5, 0});
  processor_->RaiseEvent({5, 1});
  const std::vector<std::string> expected = {Req(QUERY65), Req(QUERY67),
                                             Req(GET_INPUT_TIMING, 0xFF)};
  AwaitRequestsThenQuiet(expected.size());
  EXPECT_EQ(DeviceLog(), expected);
  // Every slot with a signal answered the 0xFF request.
  EXPECT_EQ(ReplyStatistics().handled[4], 2u);
  EXPECT_EQ(ReplyStatistics().handled[21], 2u);
}

TEST_F(EndToEnd, Event6ArgumentZeroRereadsSixTypesArgumentOneEverything) {
  ASSERT_NO_FATAL_FAILURE(Connect(TestIp(25)));
  SetSlots(kSlotTypes, kSignalOn0And2);
  processor_->RaiseEvent({6, 0});
  const std::vector<std::string> expected = {Req(GET_PVW_MODE),        Req(GET_MOSAIC),
                                             Req(GET_LAYER_WINDOW, 0), Req(GET_LAYER_WINDOW, 1),
                                             Req(GET_LAYER_WINDOW, 2), Req(GET_LAYER_WINDOW, 3),
                                             Req(GET_LAYERS),          Req(GET_LOGO)};
  AwaitRequestsThenQuiet(expected.size());
  EXPECT_EQ(DeviceLog(), expected);

  ClearLogs();
  processor_->RaiseEvent({6, 1});
  std::vector<std::string> readBack = {Req(GET_ALL)};
  const auto rest = ReadBackAfterImage();
  readBack.insert(readBack.end(), rest.begin(), rest.end());
  AwaitRequestsThenQuiet(readBack.size());
  EXPECT_EQ(DeviceLog(), readBack);
}

TEST_F(EndToEnd, Event11ArgumentZeroRereadsEachLayerWith100MsBetween) {
  ASSERT_NO_FATAL_FAILURE(Connect(TestIp(26)));
  processor_->RaiseEvent({11, 0});
  std::vector<std::string> expected = {Req(GET_MOSAIC)};
  for (int layer = 0; layer < 4; ++layer) {
    expected.push_back(Req(GET_LAYER_WINDOW, layer));
    expected.push_back(Req(GET_CROP, layer));
  }
  AwaitRequestsThenQuiet(expected.size());
  EXPECT_EQ(DeviceLog(), expected);
  for (int layer = 1; layer < 4; ++layer) {
    const auto gap =
        timed_->SentAt(Req(GET_LAYER_WINDOW, layer)) - timed_->SentAt(Req(GET_CROP, layer - 1));
    EXPECT_GE(gap, milliseconds(100)) << "before layer " << layer << ": " << Ms(gap) << " ms";
  }
  // The reply thread runs the whole sequence, pauses included, before it
  // applies the first answer: the box is hidden before any of them.
  const auto entries = log_.Entries();
  ASSERT_GE(entries.size(), 3u);
  EXPECT_EQ(entries[0], "busy off");
  EXPECT_EQ(entries[1], kAck);
  EXPECT_EQ(entries[2], Refresh(12));
  EXPECT_EQ(ReplyStatistics().handled[11], 4u);

  ClearLogs();
  processor_->RaiseEvent({11, 3});
  std::vector<std::string> readBack = {Req(GET_ALL)};
  const auto rest = ReadBackAfterImage();
  readBack.insert(readBack.end(), rest.begin(), rest.end());
  AwaitRequestsThenQuiet(readBack.size());
  EXPECT_EQ(DeviceLog(), readBack);
}

TEST_F(EndToEnd, BoardReplyRereadsEdidAndMosaic) {
  ASSERT_NO_FATAL_FAILURE(Connect(TestIp(27)));
  {
    auto s = State();
    s->block.CHNLDATA[1].CHNLINPUT = 6;
    s->block.EDIDINFO[5].INPUTSRC = 7;
  }
  CompositeBoard board{};
  board.CMPBOARDEXIST = 1;
  board.CMPBOARDIPSRC[0] = 6;
  board.CMPBOARDIPSRC[1] = 8;
  board.CMPBOARDACTNOSRC = 1;
  board.CMPBOARDACTHACT = 3840;
  board.CMPBOARDACTVACT = 2160;
  board.CMPBOARDACTDUAL = 1;
  std::vector<uint8_t> bytes(sizeof board);
  std::memcpy(bytes.data(), &board, sizeof board);
  ASSERT_TRUE(processor_->SendReply(29, 0, bytes));

  // GET_EDID (a = 5) names the input of the record's EDID slot 5.
  const std::vector<std::string> expected = {Req(GET_EDID, 7), Req(GET_MOSAIC)};
  AwaitRequestsThenQuiet(expected.size());
  EXPECT_EQ(DeviceLog(), expected);
  EXPECT_TRUE(SinkSaw("board refresh"));
  EXPECT_EQ(ReplyStatistics().handled[6], 1u);
  EXPECT_EQ(ReplyStatistics().handled[12], 1u);
  auto s = State();
  EXPECT_EQ(s->block.INPUTINFO.INPUTSRC[6], 8);
  EXPECT_EQ(s->block.INPUTINFO.INPUTRESO[6].INPUTRESOHACT, 3840);
  EXPECT_EQ(s->block.CHNLDATA[1].CHNLINPUT, 10);
  EXPECT_EQ(s->INPUT_TABLE[10].name, " DP2-L ");
  EXPECT_EQ(s->INPUT_TABLE[10].enabled, 1);
}

// Indices and counts the wire format lets through but the record has no room
// for: the library delivers them, the decoders refuse or bound them.
TEST_F(EndToEnd, OutOfRangeIndicesOverTheWireAreBoundedOrDropped) {
  ASSERT_NO_FATAL_FAILURE(Connect(TestIp(28)));
  const auto before = [] {
    auto s = State();
    return s->block;
  }();
  ASSERT_TRUE(processor_->SendReply(10, 4, std::vector<uint8_t>(20, 7)));    // layer 4
  ASSERT_TRUE(processor_->SendReply(11, 200, std::vector<uint8_t>(14, 7)));  // layer 200
  ASSERT_TRUE(processor_->SendReply(4, 0, {8, 0, 0x80, 7, 0x38, 4, 0x70, 0x17, 0, 0}));  // slot 8
  std::vector<uint8_t> caption(32, 7);
  caption[14] = 9;
  ASSERT_TRUE(processor_->SendReply(25, 0, caption));
  ASSERT_TRUE(processor_->SendReply(21, 0, {6, 1}));  // DP port 6
  std::vector<uint8_t> keyer(20, 7);
  keyer[0] = 0;
  ASSERT_TRUE(processor_->SendReply(16, 0, keyer));
  ASSERT_TRUE(processor_->SendReply(24, 0, {200, 1, 1, 1, 1, 1, 1, 1}));  // event kind 200
  std::vector<uint8_t> layers;
  for (int n = 0; n < 6; ++n) layers.insert(layers.end(), {1, 9, 11});
  ASSERT_TRUE(processor_->SendReply(14, 6, layers));  // six layers

  const auto until = Clock::now() + std::chrono::seconds(10);
  while (comm_->Stats().repliesDelivered < 8 && Clock::now() < until) {
    std::this_thread::sleep_for(milliseconds(5));
  }
  ASSERT_EQ(comm_->Stats().repliesDelivered, 8u);
  ASSERT_TRUE(comm_->Sync(10000));

  const ReplyStats stats = ReplyStatistics();
  for (int type : {10, 11, 4, 25, 21, 16, 14}) EXPECT_EQ(stats.outOfRange[type], 1u) << type;
  EXPECT_EQ(stats.handled[10] + stats.handled[11] + stats.handled[4] + stats.handled[25], 0u);
  EXPECT_TRUE(processor_->Requests().Entries().empty());
  auto s = State();
  // Only the four layers' on/off, alpha and (valid) input changed.
  ParamBlock expected = before;
  for (auto& layer : expected.CHNLDATA) {
    layer.CHNLONOFF = 1;
    layer.CHNLALPHA = 9;
    layer.CHNLINPUT = 11;
  }
  EXPECT_EQ(std::memcmp(&s->block, &expected, sizeof expected), 0);
  for (const auto& record : s->CAPTION_INFO) EXPECT_EQ(record[0], 0);
}

// Two processors linked, as after a search: the connected one, and another
// that sends images nobody asked for. Only the connected one writes the
// record; the other's images cost no pause and no request, its hello still
// reaches the machine list.
TEST_F(EndToEnd, OnlyTheConnectedProcessorWritesTheRecord) {
  ASSERT_NO_FATAL_FAILURE(Connect(TestIp(31)));
  SetSlots(kSlotTypes, kSignalOn0And2);
  sim::ProcessorConfig config;
  config.ip = TestIp(32);
  config.udp = false;
  config.selfReportMs = 0;
  sim::VirtualProcessor other(config);
  ASSERT_TRUE(other.Start());
  ASSERT_EQ(comm_->OpenNetLink(TestIp(32).c_str(), kDevicePort), 1);
  const uint8_t listed[] = {31, 32};
  ASSERT_EQ(comm_->SetAddressList(2, listed), 1);
  ASSERT_EQ(comm_->SetTargetMachine(TestIp(31).c_str()), 1);
  State()->NET_MODE = 1;
  const auto until = Clock::now() + std::chrono::seconds(10);
  while (other.TcpLinkCount() == 0 && Clock::now() < until) {
    std::this_thread::sleep_for(milliseconds(1));
  }
  ASSERT_EQ(other.TcpLinkCount(), 1u);

  ParamBlock foreign = other.Image();
  foreign.OUTPUTRESO.HRESO = 1234;
  std::vector<uint8_t> image(sizeof foreign);
  std::memcpy(image.data(), &foreign, sizeof foreign);
  for (int n = 0; n < 5; ++n) ASSERT_TRUE(other.SendReply(2, 0, image));
  other.ReportNow();  // a hello and the input states
  auto otherDone = [] {
    const ReplyStats s = ReplyStatistics();
    return s.otherMachine[2] == 5 && s.otherMachine[22] == 1 && s.handled[0] == 1;
  };
  while (!otherDone() && Clock::now() < until + std::chrono::seconds(10)) {
    std::this_thread::sleep_for(milliseconds(5));
  }
  ASSERT_TRUE(otherDone());
  EXPECT_NE(State()->block.OUTPUTRESO.HRESO, 1234);
  EXPECT_TRUE(SinkSaw(Refresh(0)));
  EXPECT_FALSE(SinkSaw(Refresh(2)));

  // The connected one's read-back goes through as if the other were not there.
  StartFullReadBack();
  std::vector<std::string> expected = {Req(GET_ALL)};
  const auto rest = ReadBackAfterImage();
  expected.insert(expected.end(), rest.begin(), rest.end());
  AwaitRequestsThenQuiet(expected.size());
  EXPECT_EQ(DeviceLog(), expected);
  EXPECT_TRUE(other.Requests().Entries().empty()) << "nothing was asked of the other machine";
  EXPECT_EQ(State()->block.OUTPUTRESO.HRESO, processor_->Image().OUTPUTRESO.HRESO);
  EXPECT_EQ(ReplyStatistics().handled[2], 1u);
  other.Stop();
}

// --- The processor's request log -----------------------------------------------

TEST_F(EndToEnd, RequestLogKeepsEveryFrameInArrivalOrderWithItsSource) {
  ASSERT_NO_FATAL_FAILURE(Connect(TestIp(29)));
  const auto start = Clock::now();
  FullWriteBack();
  SendCommand(GET_LAYER_WINDOW, 2);

  // A discovery datagram straight to the processor's own address.
  asio::io_context io;
  asio::ip::udp::socket udp(
      io, asio::ip::udp::endpoint(asio::ip::make_address_v4(test::TestLocalIp()), 0));
  const std::vector<uint8_t> search =
      wire::EncodeFrame(0xFF, wire::FrameKind::Command, SEARCH, std::vector<uint8_t>{0xFF});
  sim::ProcessorConfig withUdp;
  withUdp.ip = TestIp(30);
  withUdp.selfReportMs = 0;
  sim::VirtualProcessor second(withUdp);
  ASSERT_TRUE(second.Start());
  udp.send_to(asio::buffer(search),
              asio::ip::udp::endpoint(asio::ip::make_address_v4(TestIp(30).c_str()), kDevicePort));

  ASSERT_TRUE(processor_->Requests().WaitForSize(3, milliseconds(10000)));
  ASSERT_TRUE(second.Requests().WaitForSize(1, milliseconds(10000)));
  const auto log = processor_->Requests().Entries();
  ASSERT_EQ(log.size(), 3u);
  EXPECT_EQ(log[0].type, SET_FEATHER);
  EXPECT_EQ(log[0].kind, wire::FrameKind::Command);
  EXPECT_EQ(log[0].size, 10u);
  EXPECT_EQ(log[0].head.size(), 10u);
  EXPECT_EQ(log[0].head[9], 3);
  EXPECT_EQ(log[1].kind, wire::FrameKind::Block);
  EXPECT_EQ(log[1].size, kParamBlockSize);
  EXPECT_EQ(log[1].head.size(), sim::ReceivedRequest::kHeadBytes);
  EXPECT_EQ(Req(log[2].type, log[2].FirstByte()), Req(GET_LAYER_WINDOW, 2));
  for (const auto& r : log) {
    EXPECT_EQ(r.source, sim::RequestSource::Tcp);
    EXPECT_EQ(r.address, processor_->address());
    EXPECT_GE(r.at, start);
  }
  EXPECT_LE(log[0].at, log[1].at);
  EXPECT_LE(log[1].at, log[2].at);

  const auto datagrams = second.Requests().Entries();
  ASSERT_EQ(datagrams.size(), 1u);
  EXPECT_EQ(datagrams[0].source, sim::RequestSource::Datagram);
  EXPECT_EQ(datagrams[0].address, 0xFF);
  EXPECT_EQ(datagrams[0].type, SEARCH);
  second.Stop();

  processor_->Requests().Clear();
  EXPECT_EQ(processor_->Requests().Size(), 0u);
  EXPECT_FALSE(processor_->Requests().WaitForSize(1, milliseconds(20)));
}

TEST(RequestLog, DropsTheOldestEntriesBeyondItsBound) {
  sim::RequestLog log;
  const uint8_t payload[1] = {0};
  for (std::size_t i = 0; i < sim::RequestLog::kMaxEntries + 5; ++i) {
    wire::FrameView frame;
    frame.type = static_cast<uint16_t>(i & 0xFFFF);
    frame.payload = payload;
    log.Add(sim::RequestSource::Serial, frame);
  }
  const auto entries = log.Entries();
  ASSERT_EQ(entries.size(), sim::RequestLog::kMaxEntries);
  EXPECT_EQ(entries.front().type, 5);
  EXPECT_EQ(entries.back().source, sim::RequestSource::Serial);
}

TEST(RequestLog, WaitForSizeWakesWhenAnotherThreadAdds) {
  sim::RequestLog log;
  std::thread adder([&log] {
    std::this_thread::sleep_for(milliseconds(20));
    for (int i = 0; i < 3; ++i) log.Add(sim::RequestSource::Tcp, wire::FrameView{});
  });
  EXPECT_TRUE(log.WaitForSize(3, milliseconds(10000)));
  adder.join();
  EXPECT_EQ(log.Entries()[2].FirstByte(), -1);
}

}  // namespace
}  // namespace orv::test
