#pragma once
// One ordered log of everything the decoders do outward: typed and block
// sends through the fake library, every call of the reply sink and every
// pause. Tests compare whole logs, so both the content and the order of a
// sequence are checked.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "CommandEncoder.h"
#include "Decoders.h"
#include "DeviceState.h"
#include "FakeCommLibrary.h"
#include "ReadBack.h"
#include "ReplySink.h"

namespace orv::test {

class EventLog {
 public:
  void Add(std::string entry) {
    std::lock_guard lock(mutex_);
    entries_.push_back(std::move(entry));
  }
  std::vector<std::string> Entries() const {
    std::lock_guard lock(mutex_);
    return entries_;
  }
  void Clear() {
    std::lock_guard lock(mutex_);
    entries_.clear();
  }

 private:
  mutable std::mutex mutex_;
  std::vector<std::string> entries_;
};

// "send T A": command type T with its first payload byte A.
inline std::string Sent(int type, int firstByte) {
  return "send " + std::to_string(type) + " " + std::to_string(firstByte);
}
// Commands without payload leave byte 0 at its fill value 0x55.
inline std::string Sent(int type) {
  return Sent(type, 0x55);
}
inline std::string Refresh(int type, int arg = 0) {
  return "refresh " + std::to_string(type) + " " + std::to_string(arg);
}
inline std::string PauseOf(int ms) {
  return "pause " + std::to_string(ms);
}
inline const std::string kAck = "refresh 23 0";

// True when another thread can take the record's lock within ten seconds. The
// probing thread is detached: if the lock is held it finishes once released.
inline bool RecordFreeOnAnotherThread() {
  auto taken = std::make_shared<std::atomic<bool>>(false);
  std::thread([taken] {
    auto s = State();
    taken->store(true);
  }).detach();
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!taken->load() && std::chrono::steady_clock::now() < until) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return taken->load();
}

class LoggingLibrary : public FakeCommLibrary {
 public:
  explicit LoggingLibrary(EventLog& log) : log_(log) {}
  int SendTyped(uint16_t type, const uint8_t* buffer, uint8_t address) override {
    log_.Add(Sent(type, buffer[0]));
    return FakeCommLibrary::SendTyped(type, buffer, address);
  }
  int SendBlock(const uint8_t* block, uint8_t address) override {
    log_.Add("block");
    return FakeCommLibrary::SendBlock(block, address);
  }

 private:
  EventLog& log_;
};

class LoggingSink : public ReplySink {
 public:
  explicit LoggingSink(EventLog& log) : log_(log) {}
  void RefreshAfterReply(int type, int arg) override { log_.Add(Refresh(type, arg)); }
  void BusyOn(int text) override { log_.Add("busy on " + std::to_string(text)); }
  void BusyOff() override { log_.Add("busy off"); }
  void EdidApplyResult() override { log_.Add("edid result"); }
  void VgaAdjustResult() override { log_.Add("vga result"); }
  void CaptionChunkAcknowledged() override { log_.Add("chunk ack"); }
  void EnableCaptionPage() override { log_.Add("caption enabled"); }
  void CaptionUploadStart(bool ok) override {
    log_.Add(std::string("upload start ") + (ok ? "ok" : "failed"));
  }
  void RefreshVideoSettings() override { log_.Add("video settings"); }
  void BoardRefresh() override { log_.Add("board refresh"); }
  void FeedVideoPacket(int channel, std::span<const uint8_t> bytes) override {
    log_.Add("video " + std::to_string(channel) + " " + std::to_string(bytes.size()));
  }

 private:
  EventLog& log_;
};

// Resets the record, installs the logging library, sink and pause, and
// registers the reply functions with the library.
class DecoderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    {
      auto s = State();
      *s = DeviceState();
    }
    SetDeviceAddress(110);
    SetCommLibrary(&library_);
    SetReplySink(&sink_);
    SetPauseFunction([this](int ms) { log_.Add(PauseOf(ms)); });
    ResetReplyStatistics();
    RegisterReplyFunctions(library_);
  }

  void TearDown() override {
    SetPauseFunction({});
    SetReplySink(nullptr);
    SetCommLibrary(nullptr);
  }

  void Deliver(uint8_t type, const std::vector<uint8_t>& data, int32_t arg1 = 0,
               const std::vector<uint8_t>& extra = {}, uint8_t source = 110) {
    Reply r;
    r.dataType = type;
    r.data = data;
    r.extra = extra;
    r.arg1 = arg1;
    r.sourceAddress = source;
    ASSERT_TRUE(library_.Deliver(r));
  }

  // Delivers a parameter image as data type 2.
  void DeliverImage(const ParamBlock& image, uint8_t source = 110) {
    std::vector<uint8_t> bytes(sizeof image);
    std::memcpy(bytes.data(), &image, sizeof image);
    Deliver(2, bytes, 0, {}, source);
  }

  std::vector<std::string> Log() const { return log_.Entries(); }

  // A copy of the whole record's parameter block, for "nothing changed" checks.
  static std::vector<uint8_t> BlockBytes() {
    auto s = State();
    std::vector<uint8_t> out(sizeof(ParamBlock));
    std::memcpy(out.data(), &s->block, out.size());
    return out;
  }

  EventLog log_;
  LoggingLibrary library_{log_};
  LoggingSink sink_{log_};
};

using Expected = std::vector<std::string>;

}  // namespace orv::test
