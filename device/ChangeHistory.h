#pragma once
// The operator's changes to the processor: a bounded undo history and the
// changes list. It watches every command handed to the library (send
// observer), the replies (reply observer) and what became of each write
// (outcome observer); the change table (ChangeTable.h) says which record
// fields a command carries, so pages take part without code of their own.
//
// It keeps a copy of those fields as the processor holds them: refreshed at
// each send, from the replies that report them and after a full read-back.
// Each change keeps the bytes before (that copy) and after (the record as
// sent). Undo writes the bytes before into the record and sends the same
// command with the same arguments through SendCommand, as the operator's
// click does; redo does the same with the bytes after.
#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "ChangeTable.h"
#include "ChangeWords.h"
#include "WriteEvents.h"

namespace orv {

enum class LineKind : uint8_t { Change, Undo, Redo };
enum class LineState : uint8_t { Pending, Confirmed, Refused, Disagreed, Unconfirmed };

// One line of the changes list.
struct ChangeLine {
  uint64_t id = 0;
  int64_t timeMs = 0;  // wall clock, milliseconds since 1970
  LineKind kind = LineKind::Change;
  std::array<std::string, kWordsLanguages> words;  // English, Chinese
  LineState state = LineState::Pending;
  RefusalReason reason = RefusalReason::NotGiven;
  Irreversible barrier = Irreversible::None;  // None: can be undone
  bool undone = false;                        // a change that is undone now
  uint64_t serial = 0;                        // the send it follows
  // "confirmed", "refused (reason)", "not undoable", "undone" ... in words.
  std::string StateText(WordsLanguage language) const;
};

// What an undo or redo did.
struct StepResult {
  enum class Status : uint8_t { Done, Nothing, Barrier, NotSent };
  Status status = Status::Nothing;
  bool redo = false;
  std::array<std::string, kWordsLanguages> words;  // the change undone, redone or stopped at
  Irreversible barrier = Irreversible::None;
  // One line for the operator: what was done, or why not.
  std::string Message(WordsLanguage language) const;
};

class ChangeHistory {
 public:
  using Clock = std::function<int64_t()>;  // milliseconds

  struct Options {
    std::size_t depth = 200;       // undo steps kept
    std::size_t lines = 1000;      // lines of the changes list kept
    int64_t mergeWindowMs = 1000;  // sends of one value this close together are one step
    Clock clock;                   // monotonic; steady_clock when empty
    Clock wallClock;               // the time shown; system_clock when empty
  };

  // Registers the observers and takes the record's fields as the processor's.
  ChangeHistory();
  explicit ChangeHistory(Options options);
  ~ChangeHistory();
  ChangeHistory(const ChangeHistory&) = delete;
  ChangeHistory& operator=(const ChangeHistory&) = delete;

  // A gesture (a drag, a slider pull): its sends of one command are one step.
  void BeginGesture();
  void EndGesture();

  // From the user-interface thread (or any thread that may send).
  StepResult Undo();
  StepResult Redo();

  // Drops every undo and redo step (the changes list stays): the panel now
  // drives another processor, which must never get this one's old values.
  void ForgetSteps();

  std::size_t UndoSteps() const;  // changes that undo would take back, barriers included
  std::size_t RedoSteps() const;
  std::vector<ChangeLine> Lines() const;  // oldest first

  // Told of every new or changed line, on the thread that caused it (with the
  // state and send locks held for a send): must be quick and must not send.
  void SetLineListener(std::function<void(const ChangeLine&)> listener);
  // After an undo or redo was sent: the command, the reply data type that
  // refreshes the pages showing its fields, and that reply's argument.
  void SetRefreshHandler(std::function<void(uint16_t command, int reportType, int arg)> handler);

 private:
  struct Chunk {
    std::size_t offset = 0;
    std::vector<uint8_t> before;
    std::vector<uint8_t> after;
  };
  struct Entry {
    uint64_t id = 0;
    uint16_t type = 0;
    std::array<uint8_t, kCommandBufferSize> args{};
    std::vector<Chunk> chunks;
    Irreversible barrier = Irreversible::None;
    int reportType = -1;
    int reportArg = 0;
    std::array<ChangeText, kWordsLanguages> text;
    uint64_t lineId = 0;
    int64_t lastSendMs = 0;
    uint64_t gesture = 0;
    uint64_t serial = 0;  // its last send: the change, an undo or a redo
    LineKind serialKind = LineKind::Change;
  };
  struct Replay;

  void OnSent(const SentCommand& sent);
  void OnReply(const Reply& reply);
  void OnOutcome(const WriteOutcome& outcome);
  StepResult Step(bool redo);

  // With mutex_ held.
  void RecordReplay(const SentCommand& sent, Replay& replay);
  void RecordChange(const SentCommand& sent, const ChangeSpec& spec);
  bool MergesWith(const Entry& top, const SentCommand& sent, const std::vector<Chunk>& chunks,
                  int64_t now) const;
  ChangeLine& AddLine(LineKind kind, const std::array<std::string, kWordsLanguages>& words,
                      Irreversible barrier, uint64_t serial);
  ChangeLine* FindLine(uint64_t id);
  Entry* FindEntry(uint64_t id, std::size_t* index = nullptr);
  void Tell(const ChangeLine& line);
  void CopyToShadow(const uint8_t* record, const RecordRanges& ranges);

  Options options_;
  mutable std::mutex mutex_;
  std::vector<uint8_t> shadow_;  // the recorded fields as the processor holds them
  std::deque<Entry> entries_;
  std::size_t cursor_ = 0;  // entries_[0, cursor_) are in effect, the rest undone
  std::deque<ChangeLine> lines_;
  std::vector<ChangeLine> toTell_;
  uint64_t lastEntryId_ = 0;
  uint64_t lastLineId_ = 0;
  uint64_t gesture_ = 0;
  bool inGesture_ = false;
  std::function<void(const ChangeLine&)> lineListener_;
  std::function<void(uint16_t, int, int)> refreshHandler_;
  int sendObserver_ = 0;
  int replyObserver_ = 0;
  int outcomeObserver_ = 0;
};

}  // namespace orv
