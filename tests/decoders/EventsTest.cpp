// Device events (data type 24): what each kind stores and the requests,
// pauses, wait-box and page calls that follow, in order.
#include "DecoderFixture.h"

namespace orv::test {
namespace {

class Events : public DecoderTest {
 protected:
  void Event(uint8_t kind, uint8_t argument = 0, uint8_t b2 = 0, uint8_t b3 = 0, uint8_t b4 = 0,
             uint8_t b5 = 0, uint8_t b6 = 0, uint8_t b7 = 0) {
    Deliver(24, {kind, argument, b2, b3, b4, b5, b6, b7});
  }
};

TEST_F(Events, Kind3RereadsModeThenLayerWindowsAfterAPause) {
  Event(3);
  EXPECT_EQ(Log(), (Expected{Sent(GET_PVW_MODE), PauseOf(40), Sent(GET_LAYER_WINDOW, 0),
                             Sent(GET_LAYER_WINDOW, 1), Sent(GET_LAYER_WINDOW, 2),
                             Sent(GET_LAYER_WINDOW, 3), Sent(GET_LAYERS), "busy off", kAck}));
}

TEST_F(Events, Kind5RereadsOnlyWithArgumentOne) {
  Event(5, 1);
  EXPECT_EQ(Log(), (Expected{Sent(QUERY65), Sent(QUERY67), Sent(GET_INPUT_TIMING, 0xFF), "busy off",
                             kAck}));
  log_.Clear();
  Event(5, 0);
  Event(5, 2);
  EXPECT_EQ(Log(), (Expected{kAck, kAck}));
}

TEST_F(Events, Kind6ArgumentZeroSendsSixRequestTypesInOrder) {
  Event(6, 0);
  EXPECT_EQ(Log(), (Expected{Sent(GET_PVW_MODE), Sent(GET_MOSAIC), Sent(GET_LAYER_WINDOW, 0),
                             Sent(GET_LAYER_WINDOW, 1), Sent(GET_LAYER_WINDOW, 2),
                             Sent(GET_LAYER_WINDOW, 3), Sent(GET_LAYERS), Sent(GET_LOGO), kAck}));
}

TEST_F(Events, Kinds6And11WithAnArgumentReadEverythingBack) {
  Event(6, 1);
  Event(11, 4);
  EXPECT_EQ(Log(), (Expected{Sent(GET_ALL), kAck, Sent(GET_ALL), kAck}));
}

TEST_F(Events, Kind11ArgumentZeroRereadsEachLayerWithPauses) {
  Event(11, 0);
  Expected expected = {Sent(GET_MOSAIC)};
  for (int layer = 0; layer < 4; ++layer) {
    expected.push_back(Sent(GET_LAYER_WINDOW, layer));
    expected.push_back(Sent(GET_CROP, layer));
    expected.push_back(PauseOf(100));
  }
  expected.push_back("busy off");
  expected.push_back(kAck);
  EXPECT_EQ(Log(), expected);
}

TEST_F(Events, ResultKindsStoreTheirBytesAndCallThePage) {
  Event(0, 4, 9);
  {
    auto s = State();
    EXPECT_EQ(s->EVENT_KIND, 0);
    EXPECT_EQ(s->EVENT_ARG1, 4);
    EXPECT_EQ(s->EVENT_ARG2, 9);
  }
  Event(1, 2, 3);
  {
    auto s = State();
    EXPECT_EQ(s->EVENT_KIND, 1);
    EXPECT_EQ(s->EVENT_ARG1, 2);
    EXPECT_EQ(s->EVENT_ARG2, 3);
  }
  EXPECT_EQ(Log(), (Expected{"busy off", "edid result", kAck, "busy off", "vga result", kAck}));
}

TEST_F(Events, BusyOffOnlyKinds) {
  Event(2);
  Event(4);
  EXPECT_EQ(Log(), (Expected{"busy off", kAck, "busy off", kAck}));
}

TEST_F(Events, CaptionChunkAcknowledgeStoresItsFields) {
  Event(7, 0x34, 0x12, 0x56, 0x78, 0x9A, 0xBC, 0xDE);
  EXPECT_EQ(Log(), (Expected{"chunk ack", kAck}));
  auto s = State();
  EXPECT_EQ(s->EVENT_KIND, 7);
  EXPECT_EQ(s->EVENT_WORD, 0x1234);
  EXPECT_EQ(s->EVENT_BYTE, 0x56);
  EXPECT_EQ(s->EVENT_VALUE, 0xDEBC9A78u);
}

TEST_F(Events, CaptionPageKinds) {
  Event(8);
  Event(10);
  EXPECT_EQ(Log(), (Expected{"busy off", "caption enabled", kAck, "busy off", "caption enabled",
                             Sent(GET_CAPTION, 0), kAck}));
}

TEST_F(Events, Kinds9And12StoreKindAndArgument) {
  Event(9, 5, 6);
  {
    auto s = State();
    EXPECT_EQ(s->EVENT_KIND, 9);
    EXPECT_EQ(s->EVENT_ARG1, 5);
    EXPECT_EQ(s->EVENT_ARG2, 0);  // not stored by kind 9
  }
  Event(12, 0);
  Event(12, 1);
  EXPECT_EQ(Log(), (Expected{kAck, "upload start ok", kAck, "upload start failed", kAck}));
  EXPECT_EQ(State()->EVENT_KIND, 12);
}

TEST_F(Events, KindsAbove12AreOnlyAcknowledged) {
  for (int kind : {13, 99, 255}) Event(static_cast<uint8_t>(kind), 1, 1, 1, 1, 1, 1, 1);
  EXPECT_EQ(Log(), (Expected{kAck, kAck, kAck}));
  auto s = State();
  EXPECT_EQ(s->EVENT_KIND, 0);
  EXPECT_EQ(s->EVENT_VALUE, 0u);
}

TEST_F(Events, EventsAreNeverRefreshedAsType24) {
  for (int kind = 0; kind <= 13; ++kind) Event(static_cast<uint8_t>(kind));
  for (const std::string& entry : Log()) EXPECT_NE(entry.rfind("refresh 24", 0), 0u) << entry;
}

}  // namespace
}  // namespace orv::test
