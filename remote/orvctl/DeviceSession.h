#pragma once
// orvctl's link to one processor: the panel's library, decoders and
// sequences without a window. It is the reply sink, so it sees what the
// decoders report, and waits for it with a deadline: a processor that does
// not answer ends the wait, never the program's patience.
#include <array>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <mutex>
#include <string>

#include "ReplySink.h"

namespace orv {
class OrvComm;
}

namespace orv::ctl {

class DeviceSession : public ReplySink {
 public:
  explicit DeviceSession(int timeoutMs);
  ~DeviceSession() override;

  // Opens the network link and makes the processor the target of sends.
  bool Connect(const std::string& ip, std::string& error);

  // What has been seen so far; take one before sending, wait on it after.
  struct Marks {
    std::array<uint64_t, 32> refreshes{};
    uint64_t busyOffs = 0;
  };
  Marks Now() const;
  enum class Wait { Answered, TimedOut, LinkClosed };
  // Until reply data type `type` was refreshed after `since` (23: any
  // acknowledged reply), or the wait box would have been hidden (type -1);
  // with several types, until the first of them. A link the processor
  // closed ends the wait at once rather than at the time-out.
  Wait WaitFor(const Marks& since, std::initializer_list<int> types);
  Wait WaitFor(const Marks& since, int type) { return WaitFor(since, {type}); }
  // One line for a wait that did not end in an answer.
  std::string WaitFailure(Wait wait, const std::string& what) const;

  // The full read-back the panel runs after connecting: the image (2), the
  // preset flags (17) and the answer to GET_LAYERS (14), which the
  // follow-ups 200 ms after the image ask for after the input timings.
  // `error` tells why it did not complete.
  Wait ReadBack(std::string& error);

  bool FreezeReported() const;
  int TimeoutMs() const { return timeoutMs_; }

  // ReplySink (reply thread).
  void RefreshAfterReply(int type, int arg) override;
  void BusyOn(int) override {}
  void BusyOff() override;
  void EdidApplyResult() override {}
  void VgaAdjustResult() override {}
  void CaptionChunkAcknowledged() override {}
  void EnableCaptionPage() override {}
  void CaptionUploadStart(bool) override {}
  void RefreshVideoSettings() override {}
  void BoardRefresh() override {}
  void FeedVideoPacket(int, std::span<const uint8_t>) override {}

 private:
  int timeoutMs_;
  std::string ip_;
  std::unique_ptr<OrvComm> comm_;
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  Marks marks_;
};

}  // namespace orv::ctl
