// Several threads send at once through the one shared send buffer. A checking
// library verifies every buffer as it arrives, and again after giving the other
// threads a chance to run, so that a refill during a send is caught.
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <cstring>
#include <latch>
#include <string>
#include <thread>
#include <vector>

#include "CommandEncoder.h"
#include "DeviceState.h"
#include "FakeCommLibrary.h"

namespace orv {
namespace {

// Thread t sends ARGS32 with all 32 arguments equal to its tag, so the whole
// payload names the sender; a third kind of sender builds SET_TEST_PATTERN from
// the record while holding a guard, as a reply decoder would.
constexpr uint8_t kTagA = 0xA1;
constexpr uint8_t kTagB = 0xB2;

class CheckingLibrary : public test::FakeCommLibrary {
 public:
  std::atomic<int> inFlight{0};
  std::atomic<int> overlaps{0};
  std::atomic<int> badPayloads{0};
  std::atomic<int> changedDuringSend{0};
  std::atomic<int> checked{0};

  int SendTyped(uint16_t type, const uint8_t* buffer, uint8_t address) override {
    if (inFlight.fetch_add(1) != 0) overlaps.fetch_add(1);
    const bool ok = Valid(type, buffer);
    if (!ok) badPayloads.fetch_add(1);
    std::array<uint8_t, kCommandBufferSize> before;
    std::memcpy(before.data(), buffer, before.size());
    std::this_thread::yield();  // the library is still "copying": nobody may touch the buffer
    if (std::memcmp(before.data(), buffer, before.size()) != 0) changedDuringSend.fetch_add(1);
    checked.fetch_add(1);
    const int result = FakeCommLibrary::SendTyped(type, buffer, address);
    inFlight.fetch_sub(1);
    return result;
  }

 private:
  static bool Valid(uint16_t type, const uint8_t* b) {
    if (type == ARGS32_71 || type == ARGS32_72) {
      const uint8_t tag = type == ARGS32_71 ? kTagA : kTagB;
      for (std::size_t n = 0; n < kCommandBufferSize; ++n) {
        if (b[n] != tag) return false;
      }
      return true;
    }
    if (type == SET_TEST_PATTERN) {
      // Byte 0 comes from the record; the rest must still be the prefill.
      for (std::size_t n = 1; n < kCommandBufferSize; ++n) {
        if (b[n] != 0x55) return false;
      }
      return b[0] >= 0x10 && b[0] < 0x50;
    }
    return false;
  }
};

int SendTagged(uint16_t type, uint8_t t) {
  return SendCommand(type, t, t, t, t, t, t, t, t, t, t, t, t, t, t, t, t, t, t, t, t, t, t, t, t,
                     t, t, t, t, t, t, t, t);
}

TEST(SendConcurrency, BuffersNeverInterleave) {
  CheckingLibrary library;
  SetCommLibrary(&library);
  constexpr int kSends = 4000;
  std::latch start(3);

  std::thread a([&] {
    start.arrive_and_wait();
    for (int n = 0; n < kSends; ++n) SendTagged(ARGS32_71, kTagA);
  });
  std::thread b([&] {
    start.arrive_and_wait();
    for (int n = 0; n < kSends; ++n) SendTagged(ARGS32_72, kTagB);
  });
  // The "reply thread": edits the record and sends under one guard.
  std::thread c([&] {
    start.arrive_and_wait();
    for (int n = 0; n < kSends; ++n) {
      auto s = State();
      s->TESTPATTERN_ID = static_cast<uint8_t>(0x10 + n % 0x40);
      SendCommand(SET_TEST_PATTERN);
    }
  });
  a.join();
  b.join();
  c.join();
  SetCommLibrary(nullptr);

  EXPECT_EQ(library.checked.load(), 3 * kSends);
  EXPECT_EQ(library.overlaps.load(), 0) << "two sends were inside the library at once";
  EXPECT_EQ(library.badPayloads.load(), 0) << "a payload mixed bytes of two senders";
  EXPECT_EQ(library.changedDuringSend.load(), 0) << "the buffer was refilled during a send";
  EXPECT_EQ(library.TypedSendsOf(ARGS32_71).size(), static_cast<std::size_t>(kSends));
  EXPECT_EQ(library.TypedSendsOf(ARGS32_72).size(), static_cast<std::size_t>(kSends));
  EXPECT_EQ(library.TypedSendsOf(SET_TEST_PATTERN).size(), static_cast<std::size_t>(kSends));
}

TEST(SendConcurrency, ReplyFunctionsMaySendWhileTheUiThreadSends) {
  // A reply function registered with the fake and delivered from another
  // thread locks the record and sends a follow-up, as the decoders do.
  test::FakeCommLibrary library;
  SetCommLibrary(&library);
  library.RegisterReply(
      [](const Reply& reply) {
        auto s = State();
        s->EVENT_KIND = reply.data.empty() ? 0 : reply.data[0];
        SendCommand(GET_LAYER_WINDOW, reply.data.empty() ? 0 : reply.data[0]);
      },
      24);
  EXPECT_TRUE(library.HasReply(24));
  EXPECT_FALSE(library.HasReply(23));
  constexpr int kReplies = 2000;
  std::thread replyThread([&] {
    for (int n = 0; n < kReplies; ++n) {
      EXPECT_TRUE(library.Deliver(24, {static_cast<uint8_t>(n % 4)}));
    }
  });
  for (int n = 0; n < kReplies; ++n) SendCommand(GET_PICTURE, static_cast<uint8_t>(n % 4));
  replyThread.join();
  SetCommLibrary(nullptr);

  const auto follow = library.TypedSendsOf(GET_LAYER_WINDOW);
  ASSERT_EQ(follow.size(), static_cast<std::size_t>(kReplies));
  for (int n = 0; n < kReplies; ++n) {
    ASSERT_EQ(follow[n].bytes[0], n % 4) << n;
    ASSERT_EQ(follow[n].bytes[1], 0x55) << n;
  }
  EXPECT_EQ(library.TypedSendsOf(GET_PICTURE).size(), static_cast<std::size_t>(kReplies));
  EXPECT_FALSE(library.Deliver(5, {1})) << "no function for data type 5";
}

TEST(FakeCommLibraryRecords, EveryCallIsRecordedWithCopies) {
  test::FakeCommLibrary fake;
  const uint8_t addresses[2] = {0xFF, 3};
  fake.SetAddressList(2, addresses);
  fake.OpenNetLink("127.0.0.2", kDevicePort);
  fake.SelectLocalInterface("127.0.0.1");
  fake.SetTargetMachine("127.0.0.2");
  fake.CloseNetLink("127.0.0.2");
  fake.openSerialResult = 0;
  EXPECT_EQ(fake.OpenSerial(3, 115200), 0);
  fake.CloseSerial();
  fake.CloseAll();
  uint8_t chunk[3] = {9, 8, 7};
  fake.SendBulk(0x100, 3, chunk, 4);
  chunk[0] = 0;  // the record keeps its own copy
  uint8_t version[2] = {};
  fake.versionMajor = 2;
  fake.versionMinor = 5;
  fake.GetVersion(version, 2);

  ASSERT_EQ(fake.AddressLists().size(), 1u);
  EXPECT_EQ(fake.AddressLists()[0], (std::vector<uint8_t>{0xFF, 3}));
  ASSERT_EQ(fake.OpenedNetLinks().size(), 1u);
  EXPECT_EQ(fake.OpenedNetLinks()[0].ipv4, "127.0.0.2");
  EXPECT_EQ(fake.OpenedNetLinks()[0].port, 61213);
  EXPECT_EQ(fake.LocalInterfaces(), std::vector<std::string>{"127.0.0.1"});
  EXPECT_EQ(fake.TargetMachines(), std::vector<std::string>{"127.0.0.2"});
  EXPECT_EQ(fake.ClosedNetLinks(), std::vector<std::string>{"127.0.0.2"});
  ASSERT_EQ(fake.SerialOpens().size(), 1u);
  EXPECT_EQ(fake.SerialOpens()[0].port, 3);
  EXPECT_EQ(fake.SerialOpens()[0].baud, 115200);
  EXPECT_EQ(fake.CloseSerialCount(), 1);
  EXPECT_EQ(fake.CloseAllCount(), 1);
  ASSERT_EQ(fake.BulkSends().size(), 1u);
  EXPECT_EQ(fake.BulkSends()[0].position, 0x100u);
  EXPECT_EQ(fake.BulkSends()[0].bytes, (std::vector<uint8_t>{9, 8, 7}));
  EXPECT_EQ(fake.BulkSends()[0].address, 4);
  EXPECT_EQ(version[0], 2);
  EXPECT_EQ(version[1], 5);
  EXPECT_EQ(fake.VersionQueries(), 1);

  fake.ClearRecords();
  EXPECT_TRUE(fake.BulkSends().empty());
  EXPECT_EQ(fake.CloseAllCount(), 0);
  EXPECT_EQ(fake.RegisterReply([](const Reply&) {}, 32), 0) << "data types are 0..31";
  EXPECT_EQ(fake.RegistrationCount(32), 0);
}

}  // namespace
}  // namespace orv
