#pragma once
// Observers of the traffic with the processor: every command handed to the
// library and every reply the decoders accepted. The confirmation tracker and
// the change history watch these; nothing else on the send path knows them.
#include <array>
#include <cstdint>
#include <functional>

#include "CommLibrary.h"

namespace orv {

struct DeviceState;

// One command on its way to the library.
struct SentCommand {
  uint64_t serial = 0;  // 1, 2, 3 ... in send order, per process
  uint16_t type = 0;
  std::array<uint8_t, kCommandBufferSize> args{};
  std::array<uint8_t, kCommandBufferSize> payload{};  // the send buffer (WRITE_ALL: unused)
  // The record as the payload was filled from it, with the state lock held.
  // Valid only during the call.
  const DeviceState* record = nullptr;
};

// Runs on the sending thread, after the payload is filled and before the
// library gets it (so an answer can never arrive before its send was seen),
// with the state lock and the send lock held: it must be quick, must not send
// and must not wait on another thread. Only commands that are actually handed
// to the library are reported (not those refused while the link is down).
using SendObserver = std::function<void(const SentCommand&)>;

// Runs on the reply thread after a reply was decoded and applied to the record
// (replies dropped for their size, range or sender are not reported), after
// the user interface was told. It may send.
using ReplyObserver = std::function<void(const Reply&)>;

// Registration from any thread; the returned number removes the observer.
// An observer must outlive its registration.
int AddSendObserver(SendObserver observer);
void RemoveSendObserver(int id);
int AddReplyObserver(ReplyObserver observer);
void RemoveReplyObserver(int id);

// Called by the send path and the decoders.
void NotifySent(SentCommand& sent);
void NotifyReply(const Reply& reply);

// What became of a command that changes the processor.
enum class WriteVerdict : uint8_t {
  Confirmed,    // acknowledged as applied and its report (if any) agrees
  Refused,      // acknowledged with status 1
  Disagreed,    // acknowledged, but the processor reports other values
  Unconfirmed,  // no answer in time
};

// Why the processor refused, from byte 3 of its acknowledge (0: not given).
enum class RefusalReason : uint8_t {
  NotGiven = 0,
  PixelBudget = 1,  // the output timing needs more pixels per second than it has
  OutOfRange = 2,   // a value outside what the processor takes
  NoBoard = 3,      // the command needs an expansion board it lacks
  EmptyPreset = 4,  // a preset slot that holds nothing
  Ordered = 5,      // refused on order of its control line (tests, demos)
};

struct WriteOutcome {
  uint64_t serial = 0;  // SentCommand::serial of the command
  uint16_t type = 0;
  WriteVerdict verdict = WriteVerdict::Confirmed;
  RefusalReason reason = RefusalReason::NotGiven;
};

// Runs on the thread that settled the command (the reply thread, or the
// thread that expires overdue commands). It may send.
using OutcomeObserver = std::function<void(const WriteOutcome&)>;
int AddOutcomeObserver(OutcomeObserver observer);
void RemoveOutcomeObserver(int id);
void NotifyOutcome(const WriteOutcome& outcome);

}  // namespace orv
