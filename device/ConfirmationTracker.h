#pragma once
// Follows every command that changes the processor until the processor has
// confirmed it: its acknowledge with status 0 and the report it sends for it
// (or the event that answers it). A refusal, a report that disagrees with what
// was sent, or silence past the answer time is published as a WriteOutcome
// (WriteEvents.h) and the affected area is read back, so the record, and
// with it every page, holds the processor's values again.
//
// Answers are matched to commands by command type and order: the processor
// answers in the order it received, so the oldest command of a type waiting
// for an acknowledge takes the next acknowledge of that type.
//
// Threads: OnSent runs on the sending thread under the state and send locks
// (it only records); OnReply on the reply thread; Expire on the thread of the
// caller's timer. Outcomes and read-backs are never sent from OnSent: they
// are queued and go out from the next OnReply or Expire.
#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <span>
#include <vector>

#include "WriteEvents.h"

namespace orv {

// What answers a command that changes the processor.
enum class AnswerKind : uint8_t {
  AckOnly,    // the acknowledge alone
  AckReport,  // the acknowledge, then a report of the changed setting
  Event,      // an event (no acknowledge)
};

inline constexpr uint16_t kNoReadBack = 0xFFFF;
inline constexpr int8_t kNoByte = -1;

struct ConfirmRule {
  uint16_t type = 0;
  AnswerKind answer = AnswerKind::AckOnly;
  uint8_t report = 0;                // AckReport: the report's data type
  int8_t reportArgByte = kNoByte;    // payload byte the report's arg1 must equal
  uint8_t eventKind = 0;             // Event: its kind ...
  int8_t eventStatusByte = kNoByte;  // ... the byte that says applied or not
  uint8_t eventApplied = 0;          // ... and its value for applied
  uint16_t readBack = kNoReadBack;   // the query that reads the affected area
  int8_t readBackArgByte = kNoByte;  // payload byte passed as its argument
  uint32_t compareMask = 0;          // payload bytes (bit k: byte k) the report must reproduce
  // A refusal is followed by the report of the values kept, which puts the
  // record right: no read-back unless that report fails to come.
  bool reportAfterRefusal = false;
};

// The rule for a command as sent, or null for a command that changes nothing
// (queries, discovery) and is not followed.
const ConfirmRule* ConfirmRuleFor(uint16_t type, std::span<const uint8_t> payload);

class ConfirmationTracker {
 public:
  using Clock = std::function<int64_t()>;  // milliseconds, monotonic
  // Sends one read-back query; it runs outside the tracker's lock.
  using ReadBackSender = std::function<void(uint16_t query, uint8_t arg)>;
  // Whether a reply comes from the connected processor.
  using SourceFilter = std::function<bool(uint8_t address)>;

  static constexpr int kAnswerMs = 1000;
  static constexpr int kSlowLineAnswerMs = 2000;
  static constexpr int kSlowLineBaud = 9600;
  static constexpr std::size_t kMaxPending = 256;
  static constexpr std::size_t kMaxQueuedOutcomes = 1024;

  struct Options {
    Clock clock;              // default: the steady clock
    ReadBackSender readBack;  // default: SendCommand
    SourceFilter fromDevice;  // default: the connected device's address, any on a serial line
    std::size_t maxPending = kMaxPending;
    bool registerHooks = true;  // observe every send and reply of the process
  };

  struct Counts {
    uint64_t tracked = 0;
    uint64_t confirmed = 0;
    uint64_t refused = 0;
    uint64_t disagreed = 0;
    uint64_t unconfirmed = 0;
    uint64_t overflowed = 0;       // settled as unconfirmed to keep memory bounded
    uint64_t unmatched = 0;        // answers for a command never sent (or already settled)
    uint64_t droppedOutcomes = 0;  // queued outcomes beyond the bound, never published
  };

  ConfirmationTracker();
  explicit ConfirmationTracker(Options options);
  ~ConfirmationTracker();
  ConfirmationTracker(const ConfirmationTracker&) = delete;
  ConfirmationTracker& operator=(const ConfirmationTracker&) = delete;

  // The link's rate: 0 for a network link. At 9600 baud and below a command
  // has kSlowLineAnswerMs to be answered, else kAnswerMs.
  void SetSerialBaud(int baud);
  int AnswerMs() const;

  void OnSent(const SentCommand& sent);
  void OnReply(const Reply& reply);
  // Settles every command unanswered for longer than the answer time, then
  // publishes what is queued and sends the read-backs.
  void Expire(int64_t nowMs);
  void Expire();  // with the clock's time

  Counts Stats() const;
  std::size_t PendingCount() const;
  // Bytes held for pending commands and queued work.
  std::size_t MemoryBytes() const;

 private:
  enum class Stage : uint8_t { AwaitAck, AwaitReport, AwaitEvent, RefusedAwaitReport };
  struct Pending {
    uint64_t serial = 0;
    int64_t sentAtMs = 0;
    const ConfirmRule* rule = nullptr;
    Stage stage = Stage::AwaitAck;
    RefusalReason reason = RefusalReason::NotGiven;  // RefusedAwaitReport
    std::array<uint8_t, kCommandBufferSize> args{};
    std::array<uint8_t, kCommandBufferSize> payload{};
  };
  struct ReadBack {
    uint16_t query;
    uint8_t arg;
    bool operator==(const ReadBack&) const = default;
  };
  struct Settled {
    WriteOutcome outcome;
  };

  // Lock held. `readBack`: the record still holds what was sent.
  void Settle(const Pending& p, WriteVerdict verdict, RefusalReason reason, bool readBack);
  void Flush();
  std::deque<Pending>::iterator FindLocked(const std::function<bool(const Pending&)>& match);
  bool ReportAgrees(const Pending& p) const;
  void OnAck(std::span<const uint8_t> data);
  void OnReport(const Reply& reply);
  void OnEvent(std::span<const uint8_t> data);

  Options options_;
  mutable std::mutex mutex_;
  std::deque<Pending> pending_;
  std::vector<Settled> outcomes_;
  std::vector<ReadBack> readBacks_;
  Counts counts_;
  int answerMs_ = kAnswerMs;
  int sendHook_ = 0;
  int replyHook_ = 0;
};

}  // namespace orv
