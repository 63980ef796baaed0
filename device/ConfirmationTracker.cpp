#include "ConfirmationTracker.h"

#include <algorithm>
#include <chrono>
#include <utility>

#include "CommandEncoder.h"
#include "DeviceState.h"
#include "SendGate.h"

namespace orv {

namespace {

using A = AnswerKind;

constexpr uint32_t Bytes(int first, int last) {
  uint32_t mask = 0;
  for (int k = first; k <= last; ++k) mask |= 1u << k;
  return mask;
}

ConfirmRule AckOnly(uint16_t type, uint16_t readBack = kNoReadBack, int8_t readBackArg = kNoByte) {
  ConfirmRule r;
  r.type = type;
  r.readBack = readBack;
  r.readBackArgByte = readBackArg;
  return r;
}

ConfirmRule AckReport(uint16_t type, uint8_t report, int8_t reportArg, uint16_t readBack,
                      int8_t readBackArg, uint32_t compare = 0) {
  ConfirmRule r = AckOnly(type, readBack, readBackArg);
  r.answer = A::AckReport;
  r.report = report;
  r.reportArgByte = reportArg;
  r.compareMask = compare;
  return r;
}

// A report that also follows a refusal, with the values the processor kept.
ConfirmRule KeptReport(ConfirmRule r) {
  r.reportAfterRefusal = true;
  return r;
}

ConfirmRule EventAnswer(uint16_t type, uint8_t kind, int8_t statusByte, uint8_t applied,
                        uint16_t readBack, int8_t readBackArg) {
  ConfirmRule r = AckOnly(type, readBack, readBackArg);
  r.answer = A::Event;
  r.eventKind = kind;
  r.eventStatusByte = statusByte;
  r.eventApplied = applied;
  return r;
}

// Every command that changes the processor: what answers it, which query
// reads the area it changes, and which payload bytes its report must give
// back unchanged (only where the processor stores exactly what it is sent).
// Data type 9 only says that the timing changed; the image holds the timing.
const std::vector<ConfirmRule>& WriteRules() {
  static const std::vector<ConfirmRule> rules = {
      AckOnly(PRESET, GET_ALL),
      AckReport(SET_OUTPUT_TIMING, 9, kNoByte, GET_ALL, kNoByte),
      AckReport(SET_PICTURE, 8, 4, GET_PICTURE, 4),
      AckReport(SET_LAYER_WINDOW, 10, 0, GET_LAYER_WINDOW, 0, Bytes(1, 8) | Bytes(10, 10)),
      AckReport(SET_CROP, 11, 0, GET_CROP, 0),
      AckReport(SET_MOSAIC, 12, 0, GET_MOSAIC, kNoByte),
      AckReport(SET_LAYER_INPUT, 14, kNoByte, GET_LAYERS, kNoByte, Bytes(1, 2)),
      AckReport(SET_LAYER_ONOFF, 14, kNoByte, GET_LAYERS, kNoByte, Bytes(1, 2)),
      KeptReport(AckReport(SET_LOGO, 15, kNoByte, GET_LOGO, kNoByte)),
      // The EDID page reads the slot back itself after a refusal.
      EventAnswer(SET_EDID, 0, 2, 1, kNoReadBack, kNoByte),
      AckReport(SET_KEYER, 16, kNoByte, GET_KEYER, 31),
      AckOnly(SET_TEST_PATTERN),
      AckOnly(SET_PIXEL_GRAB),
      KeptReport(AckReport(SET_VGA_ADJUST, 5, kNoByte, GET_VGA_ADJUST, 1)),
      AckReport(SET_PVW_MODE, 20, kNoByte, GET_PVW_MODE, kNoByte),
      AckReport(SET_TRANSITION_TIME, 20, kNoByte, GET_PVW_MODE, kNoByte, Bytes(0, 0)),
      AckReport(SET_TASK, 7, kNoByte, GET_TASKS, kNoByte),
      AckReport(SET_LOOP_OUT, 18, kNoByte, QUERY68, kNoByte, Bytes(0, 0)),
      AckOnly(FACTORY_RESET, GET_ALL),
      AckOnly(TAKE, GET_PVW_MODE),
      AckOnly(SET_SYNC),
      EventAnswer(WRITE_ALL, 2, kNoByte, 0, GET_ALL, kNoByte),
      AckOnly(CAPTION_A, GET_CAPTION, 0),
      AckOnly(CAPTION_B, GET_CAPTION, 0),
      AckReport(SET_VIDEO_ENCODER, 28, kNoByte, kNoReadBack, kNoByte),
      AckOnly(ARGS18),
      KeptReport(AckReport(SIGNAL_SWITCH, 29, kNoByte, QUERY62, kNoByte)),
      AckOnly(MEDIA),
      KeptReport(AckReport(SET_FEATHER, 30, kNoByte, QUERY73, kNoByte, Bytes(0, 8))),
      AckReport(FREEZE, 31, kNoByte, kNoReadBack, kNoByte),
      AckOnly(ARGS32_71),
      AckOnly(ARGS32_72),
  };
  return rules;
}

// Commands answered differently by operation: the payload byte and its value
// select the rule instead of the type's own.
struct OperationRule {
  uint8_t byte;
  uint8_t value;
  ConfirmRule rule;
};

const std::vector<OperationRule>& OperationRules() {
  static const std::vector<OperationRule> rules = {
      {0, 2, AckReport(PRESET, 17, kNoByte, GET_ALL, kNoByte)},  // save
      // A full-screen request stores the output's size, not the one sent.
      {9, 1, AckReport(SET_LAYER_WINDOW, 10, 0, GET_LAYER_WINDOW, 0, Bytes(10, 10))},
      {0, 1, AckReport(SET_PIXEL_GRAB, 3, kNoByte, kNoReadBack, kNoByte)},       // grab on
      {0, 0, KeptReport(AckReport(SET_TASK, 13, kNoByte, GET_TASKS, kNoByte))},  // the clock
      // Automatic adjustment and calibration: acknowledged at once, reported when done.
      {2, 1, AckOnly(SET_VGA_ADJUST, GET_VGA_ADJUST, 1)},
      {1, 0, EventAnswer(CAPTION_A, 12, 1, 0, GET_CAPTION, 0)},        // announce
      {1, 1, EventAnswer(CAPTION_B, 8, kNoByte, 0, GET_CAPTION, 0)},   // save
      {1, 5, EventAnswer(CAPTION_B, 10, kNoByte, 0, GET_CAPTION, 0)},  // reset all
  };
  return rules;
}

bool FromConnectedDevice(uint8_t address) {
  if (address == DeviceAddress()) return true;
  return State()->NET_MODE == 0;
}

int64_t SteadyMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

uint16_t U16(std::span<const uint8_t> d, std::size_t at) {
  return static_cast<uint16_t>(d[at] | (d[at + 1] << 8));
}

uint8_t ByteAt(const std::array<uint8_t, kCommandBufferSize>& bytes, int8_t at) {
  return at == kNoByte ? 0 : bytes[static_cast<std::size_t>(at)];
}

}  // namespace

const ConfirmRule* ConfirmRuleFor(uint16_t type, std::span<const uint8_t> payload) {
  for (const OperationRule& op : OperationRules()) {
    if (op.rule.type == type && op.byte < payload.size() && payload[op.byte] == op.value)
      return &op.rule;
  }
  for (const ConfirmRule& rule : WriteRules()) {
    if (rule.type == type) return &rule;
  }
  return nullptr;
}

ConfirmationTracker::ConfirmationTracker() : ConfirmationTracker(Options{}) {}

ConfirmationTracker::ConfirmationTracker(Options options) : options_(std::move(options)) {
  if (!options_.clock) options_.clock = SteadyMs;
  if (!options_.readBack) {
    // While the link is down nothing goes out: the reconnect reads everything back.
    options_.readBack = [](uint16_t query, uint8_t arg) {
      if (!LinkDown()) SendCommand(query, arg);
    };
  }
  if (!options_.fromDevice) options_.fromDevice = FromConnectedDevice;
  options_.maxPending = std::max<std::size_t>(options_.maxPending, 1);
  if (options_.registerHooks) {
    sendHook_ = AddSendObserver([this](const SentCommand& sent) { OnSent(sent); });
    replyHook_ = AddReplyObserver([this](const Reply& reply) { OnReply(reply); });
  }
}

ConfirmationTracker::~ConfirmationTracker() {
  if (options_.registerHooks) {
    RemoveSendObserver(sendHook_);
    RemoveReplyObserver(replyHook_);
  }
}

void ConfirmationTracker::SetSerialBaud(int baud) {
  std::lock_guard lock(mutex_);
  answerMs_ = baud > 0 && baud <= kSlowLineBaud ? kSlowLineAnswerMs : kAnswerMs;
}

int ConfirmationTracker::AnswerMs() const {
  std::lock_guard lock(mutex_);
  return answerMs_;
}

void ConfirmationTracker::OnSent(const SentCommand& sent) {
  const ConfirmRule* rule = ConfirmRuleFor(sent.type, sent.payload);
  if (rule == nullptr) return;
  std::lock_guard lock(mutex_);
  ++counts_.tracked;
  while (pending_.size() >= options_.maxPending) {
    ++counts_.overflowed;
    Settle(pending_.front(), WriteVerdict::Unconfirmed, RefusalReason::NotGiven, true);
    pending_.pop_front();
  }
  Pending p;
  p.serial = sent.serial;
  p.sentAtMs = options_.clock();  // under the lock: the queue stays in time order
  p.rule = rule;
  p.stage = rule->answer == A::Event ? Stage::AwaitEvent : Stage::AwaitAck;
  p.args = sent.args;
  p.payload = sent.payload;
  pending_.push_back(p);
}

void ConfirmationTracker::OnReply(const Reply& reply) {
  if (!options_.fromDevice(reply.sourceAddress)) return;
  if (reply.dataType == 23) {
    OnAck(reply.data);
  } else if (reply.dataType == 24) {
    OnEvent(reply.data);
  } else {
    OnReport(reply);
  }
  Flush();
}

std::deque<ConfirmationTracker::Pending>::iterator ConfirmationTracker::FindLocked(
    const std::function<bool(const Pending&)>& match) {
  return std::find_if(pending_.begin(), pending_.end(), match);
}

void ConfirmationTracker::OnAck(std::span<const uint8_t> data) {
  if (data.size() < 4) return;
  const uint16_t type = U16(data, 0);
  const bool refused = data[2] != 0;
  const auto reason = static_cast<RefusalReason>(data[3] <= 5 ? data[3] : 0);
  std::lock_guard lock(mutex_);
  // An acknowledge settles the oldest command of its type still waiting for
  // one; a command answered by an event takes only a refusal from an ack.
  auto it = FindLocked([type, refused](const Pending& p) {
    if (p.rule->type != type) return false;
    return p.stage == Stage::AwaitAck || (refused && p.stage == Stage::AwaitEvent);
  });
  if (it == pending_.end()) {
    if (ConfirmRuleFor(type, {}) != nullptr) ++counts_.unmatched;
    return;
  }
  if (refused && it->rule->reportAfterRefusal) {
    it->stage = Stage::RefusedAwaitReport;
    it->reason = reason;
    return;
  }
  if (refused) {
    Settle(*it, WriteVerdict::Refused, reason, true);
    pending_.erase(it);
    return;
  }
  if (it->rule->answer == A::AckReport) {
    it->stage = Stage::AwaitReport;
    return;
  }
  Settle(*it, WriteVerdict::Confirmed, RefusalReason::NotGiven, false);
  pending_.erase(it);
}

void ConfirmationTracker::OnReport(const Reply& reply) {
  Pending matched;
  {
    std::lock_guard lock(mutex_);
    auto it = FindLocked([&reply](const Pending& p) {
      return (p.stage == Stage::AwaitReport || p.stage == Stage::RefusedAwaitReport) &&
             p.rule->report == reply.dataType &&
             (p.rule->reportArgByte == kNoByte ||
              ByteAt(p.payload, p.rule->reportArgByte) == reply.arg1);
    });
    if (it == pending_.end()) return;
    matched = *it;
    pending_.erase(it);
    if (matched.stage == Stage::RefusedAwaitReport) {
      Settle(matched, WriteVerdict::Refused, matched.reason, false);
      return;
    }
  }
  // The record already holds the report; the comparison takes the state lock,
  // so it runs outside the tracker's own.
  const bool agrees = ReportAgrees(matched);
  std::lock_guard lock(mutex_);
  Settle(matched, agrees ? WriteVerdict::Confirmed : WriteVerdict::Disagreed,
         RefusalReason::NotGiven, false);
}

void ConfirmationTracker::OnEvent(std::span<const uint8_t> data) {
  if (data.empty()) return;
  const uint8_t kind = data[0];
  std::lock_guard lock(mutex_);
  auto it = FindLocked([kind](const Pending& p) {
    return p.stage == Stage::AwaitEvent && p.rule->eventKind == kind;
  });
  if (it == pending_.end()) return;
  const ConfirmRule& rule = *it->rule;
  const bool applied = rule.eventStatusByte == kNoByte ||
                       (static_cast<std::size_t>(rule.eventStatusByte) < data.size() &&
                        data[static_cast<std::size_t>(rule.eventStatusByte)] == rule.eventApplied);
  Settle(*it, applied ? WriteVerdict::Confirmed : WriteVerdict::Refused, RefusalReason::NotGiven,
         !applied);
  pending_.erase(it);
}

// The command's payload filled again from the record as the report left it,
// with the same arguments: equal in the compared bytes when the processor
// holds what was sent.
bool ConfirmationTracker::ReportAgrees(const Pending& p) const {
  if (p.rule->compareMask == 0) return true;
  DeviceState copy = *State();  // copied under the record's lock
  const auto refilled = FillCommandPayload(p.rule->type, copy, p.args);
  for (std::size_t k = 0; k < kCommandBufferSize; ++k) {
    if ((p.rule->compareMask >> k & 1u) != 0 && refilled[k] != p.payload[k]) return false;
  }
  return true;
}

void ConfirmationTracker::Expire() {
  Expire(options_.clock());
}

void ConfirmationTracker::Expire(int64_t nowMs) {
  {
    std::lock_guard lock(mutex_);
    // Commands wait in send order, so the front is always the oldest.
    while (!pending_.empty() && nowMs - pending_.front().sentAtMs >= answerMs_) {
      const Pending& p = pending_.front();
      // A refusal whose report of the kept values never came stays a refusal.
      if (p.stage == Stage::RefusedAwaitReport) {
        Settle(p, WriteVerdict::Refused, p.reason, true);
      } else {
        Settle(p, WriteVerdict::Unconfirmed, RefusalReason::NotGiven, true);
      }
      pending_.pop_front();
    }
  }
  Flush();
}

void ConfirmationTracker::Settle(const Pending& p, WriteVerdict verdict, RefusalReason reason,
                                 bool readBack) {
  uint64_t* const counters[] = {&counts_.confirmed, &counts_.refused, &counts_.disagreed,
                                &counts_.unconfirmed};
  ++*counters[static_cast<std::size_t>(verdict)];
  if (outcomes_.size() >= kMaxQueuedOutcomes) {
    ++counts_.droppedOutcomes;
    outcomes_.erase(outcomes_.begin());
  }
  outcomes_.push_back({{p.serial, p.rule->type, verdict, reason}});
  if (!readBack || p.rule->readBack == kNoReadBack) return;
  const ReadBack rb{p.rule->readBack, ByteAt(p.payload, p.rule->readBackArgByte)};
  if (std::find(readBacks_.begin(), readBacks_.end(), rb) == readBacks_.end())
    readBacks_.push_back(rb);
}

void ConfirmationTracker::Flush() {
  std::vector<Settled> outcomes;
  std::vector<ReadBack> readBacks;
  {
    std::lock_guard lock(mutex_);
    outcomes.swap(outcomes_);
    readBacks.swap(readBacks_);
  }
  for (const ReadBack& rb : readBacks) options_.readBack(rb.query, rb.arg);
  for (const Settled& s : outcomes) NotifyOutcome(s.outcome);
}

ConfirmationTracker::Counts ConfirmationTracker::Stats() const {
  std::lock_guard lock(mutex_);
  return counts_;
}

std::size_t ConfirmationTracker::PendingCount() const {
  std::lock_guard lock(mutex_);
  return pending_.size();
}

std::size_t ConfirmationTracker::MemoryBytes() const {
  std::lock_guard lock(mutex_);
  return pending_.size() * sizeof(Pending) + outcomes_.capacity() * sizeof(Settled) +
         readBacks_.capacity() * sizeof(ReadBack);
}

}  // namespace orv
