#include "ChangeHistory.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <span>

#include "CommandEncoder.h"
#include "DeviceState.h"

namespace orv {

namespace {

const uint8_t* BytesOf(const DeviceState& record) {
  return reinterpret_cast<const uint8_t*>(&record);
}

uint8_t* BytesOf(DeviceState& record) {
  return reinterpret_cast<uint8_t*>(&record);
}

int64_t SteadyMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

int64_t WallMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

}  // namespace

// The undo or redo this thread is sending now: its send is not a new change.
struct ChangeHistory::Replay {
  const ChangeHistory* owner = nullptr;
  uint64_t entryId = 0;
  uint16_t type = 0;
  bool redo = false;
  bool seen = false;
};

namespace {
thread_local void* t_replay = nullptr;
}  // namespace

std::string ChangeLine::StateText(WordsLanguage language) const {
  struct Words {
    const char* english;
    const char* chinese;
  };
  static constexpr Words kStates[] = {{"pending", "等待确认"},
                                      {"confirmed", "已确认"},
                                      {"refused", "被拒绝"},
                                      {"confirmed, other values", "已确认，数值不同"},
                                      {"unconfirmed", "未确认"}};
  const bool zh = language == WordsLanguage::Chinese;
  const Words& stateWords = kStates[static_cast<std::size_t>(state) % std::size(kStates)];
  std::string text = zh ? stateWords.chinese : stateWords.english;
  if (state == LineState::Refused && reason != RefusalReason::NotGiven) {
    text += (zh ? "（" : " (") + RefusalWords(reason, language) + (zh ? "）" : ")");
  }
  if (barrier != Irreversible::None) text += zh ? "，不可撤销" : ", not undoable";
  if (undone) text += zh ? "，已撤销" : ", undone";
  return text;
}

std::string StepResult::Message(WordsLanguage language) const {
  const bool zh = language == WordsLanguage::Chinese;
  const std::string& change = words[static_cast<std::size_t>(language)];
  switch (status) {
    case Status::Done:
      return (redo ? RedoWord(language) : UndoWord(language)) + (zh ? "：" : ": ") + change;
    case Status::Nothing:
      if (zh) return redo ? "没有可重做的更改" : "没有可撤销的更改";
      return redo ? "Nothing to redo" : "Nothing to undo";
    case Status::Barrier:
      if (zh) return "撤销停在 \"" + change + "\" 之前：" + IrreversibleWords(barrier, language);
      return "Undo stops before \"" + change + "\": " + IrreversibleWords(barrier, language);
    case Status::NotSent:
      if (zh) return (redo ? std::string("重做") : std::string("撤销")) + "未发送：没有连接处理器";
      return std::string(redo ? "Redo" : "Undo") + " not sent: no processor is connected";
  }
  return {};
}

ChangeHistory::ChangeHistory() : ChangeHistory(Options{}) {}

ChangeHistory::ChangeHistory(Options options) : options_(std::move(options)) {
  if (!options_.clock) options_.clock = SteadyMs;
  if (!options_.wallClock) options_.wallClock = WallMs;
  options_.depth = std::max<std::size_t>(options_.depth, 1);
  options_.lines = std::max<std::size_t>(options_.lines, 1);
  shadow_.assign(sizeof(DeviceState), 0);
  {
    auto s = State();
    CopyToShadow(BytesOf(*s), AllRecordedRanges(*s));
  }
  sendObserver_ = AddSendObserver([this](const SentCommand& sent) { OnSent(sent); });
  replyObserver_ = AddReplyObserver([this](const Reply& reply) { OnReply(reply); });
  outcomeObserver_ = AddOutcomeObserver([this](const WriteOutcome& o) { OnOutcome(o); });
}

ChangeHistory::~ChangeHistory() {
  RemoveSendObserver(sendObserver_);
  RemoveReplyObserver(replyObserver_);
  RemoveOutcomeObserver(outcomeObserver_);
}

void ChangeHistory::BeginGesture() {
  std::lock_guard lock(mutex_);
  ++gesture_;
  inGesture_ = true;
}

void ChangeHistory::EndGesture() {
  std::lock_guard lock(mutex_);
  inGesture_ = false;
}

void ChangeHistory::ForgetSteps() {
  std::lock_guard lock(mutex_);
  entries_.clear();
  cursor_ = 0;
}

std::size_t ChangeHistory::UndoSteps() const {
  std::lock_guard lock(mutex_);
  return cursor_;
}

std::size_t ChangeHistory::RedoSteps() const {
  std::lock_guard lock(mutex_);
  return entries_.size() - cursor_;
}

std::vector<ChangeLine> ChangeHistory::Lines() const {
  std::lock_guard lock(mutex_);
  return {lines_.begin(), lines_.end()};
}

void ChangeHistory::SetLineListener(std::function<void(const ChangeLine&)> listener) {
  std::lock_guard lock(mutex_);
  lineListener_ = std::move(listener);
}

void ChangeHistory::SetRefreshHandler(std::function<void(uint16_t, int, int)> handler) {
  std::lock_guard lock(mutex_);
  refreshHandler_ = std::move(handler);
}

void ChangeHistory::CopyToShadow(const uint8_t* record, const RecordRanges& ranges) {
  for (const RecordRange& r : ranges) {
    if (r.offset + r.size > shadow_.size()) continue;
    std::memcpy(shadow_.data() + r.offset, record + r.offset, r.size);
  }
}

ChangeLine& ChangeHistory::AddLine(LineKind kind,
                                   const std::array<std::string, kWordsLanguages>& words,
                                   Irreversible barrier, uint64_t serial) {
  ChangeLine line;
  line.id = ++lastLineId_;
  line.timeMs = options_.wallClock();
  line.kind = kind;
  line.words = words;
  line.barrier = barrier;
  line.serial = serial;
  lines_.push_back(std::move(line));
  while (lines_.size() > options_.lines) lines_.pop_front();
  return lines_.back();
}

ChangeLine* ChangeHistory::FindLine(uint64_t id) {
  for (auto it = lines_.rbegin(); it != lines_.rend(); ++it) {
    if (it->id == id) return &*it;
  }
  return nullptr;
}

ChangeHistory::Entry* ChangeHistory::FindEntry(uint64_t id, std::size_t* index) {
  for (std::size_t k = entries_.size(); k-- > 0;) {
    if (entries_[k].id != id) continue;
    if (index != nullptr) *index = k;
    return &entries_[k];
  }
  return nullptr;
}

void ChangeHistory::Tell(const ChangeLine& line) {
  toTell_.push_back(line);
}

void ChangeHistory::OnSent(const SentCommand& sent) {
  const ChangeSpec spec = SpecOfSend(sent);
  if (!spec.recorded) return;
  std::vector<ChangeLine> told;
  std::function<void(const ChangeLine&)> listener;
  {
    std::lock_guard lock(mutex_);
    auto* replay = static_cast<Replay*>(t_replay);
    if (replay != nullptr && replay->owner == this && replay->type == sent.type) {
      RecordReplay(sent, *replay);
    } else {
      RecordChange(sent, spec);
    }
    told.swap(toTell_);
    listener = lineListener_;
  }
  if (listener) {
    for (const ChangeLine& line : told) listener(line);
  }
}

void ChangeHistory::RecordReplay(const SentCommand& sent, Replay& replay) {
  replay.seen = true;
  std::size_t index = 0;
  Entry* entry = FindEntry(replay.entryId, &index);
  if (entry == nullptr) return;
  entry->serial = sent.serial;
  entry->serialKind = replay.redo ? LineKind::Redo : LineKind::Undo;
  const uint8_t* record = BytesOf(*sent.record);
  for (const Chunk& chunk : entry->chunks) {
    std::memcpy(shadow_.data() + chunk.offset, record + chunk.offset, chunk.before.size());
  }
  if (replay.redo && index == cursor_) ++cursor_;
  if (!replay.redo && index + 1 == cursor_) --cursor_;
  if (ChangeLine* original = FindLine(entry->lineId)) {
    original->undone = !replay.redo;
    Tell(*original);
  }
  std::array<std::string, kWordsLanguages> words;
  for (int l = 0; l < kWordsLanguages; ++l) {
    const auto language = static_cast<WordsLanguage>(l);
    words[l] =
        (replay.redo ? RedoWord(language) : UndoWord(language)) + " " + entry->text[l].Line();
  }
  Tell(AddLine(replay.redo ? LineKind::Redo : LineKind::Undo, words, Irreversible::None,
               sent.serial));
}

bool ChangeHistory::MergesWith(const Entry& top, const SentCommand& sent,
                               const std::vector<Chunk>& chunks, int64_t now) const {
  if (top.barrier != Irreversible::None || top.serialKind != LineKind::Change) return false;
  if (top.type != sent.type || top.args != sent.args) return false;
  if (top.chunks.size() != chunks.size()) return false;
  for (std::size_t k = 0; k < chunks.size(); ++k) {
    if (top.chunks[k].offset != chunks[k].offset) return false;
  }
  // One gesture is one step however long it takes; outside gestures (typing,
  // spin keys) sends close together are one step.
  if (inGesture_) return top.gesture == gesture_;
  return top.gesture == 0 && now - top.lastSendMs <= options_.mergeWindowMs;
}

void ChangeHistory::RecordChange(const SentCommand& sent, const ChangeSpec& spec) {
  const DeviceState& layout = *sent.record;
  const uint8_t* record = BytesOf(layout);
  const int64_t now = options_.clock();

  std::vector<Chunk> chunks;
  for (const RecordRange& r : spec.ranges) {
    if (r.offset + r.size > shadow_.size()) continue;
    Chunk chunk;
    chunk.offset = r.offset;
    chunk.before.assign(shadow_.begin() + static_cast<std::ptrdiff_t>(r.offset),
                        shadow_.begin() + static_cast<std::ptrdiff_t>(r.offset + r.size));
    chunk.after.assign(record + r.offset, record + r.offset + r.size);
    chunks.push_back(std::move(chunk));
  }
  std::array<ChangeText, kWordsLanguages> text;
  const FieldValues before(layout, shadow_.data());
  const FieldValues after(layout, record);
  for (int l = 0; l < kWordsLanguages; ++l) {
    text[l] = DescribeChange(sent, before, after, static_cast<WordsLanguage>(l));
  }
  CopyToShadow(record, spec.ranges);

  if (cursor_ == entries_.size() && !entries_.empty() &&
      MergesWith(entries_.back(), sent, chunks, now)) {
    Entry& top = entries_.back();
    for (std::size_t k = 0; k < chunks.size(); ++k) top.chunks[k].after = chunks[k].after;
    for (int l = 0; l < kWordsLanguages; ++l) top.text[l].after = text[l].after;
    top.lastSendMs = now;
    top.serial = sent.serial;
    if (ChangeLine* line = FindLine(top.lineId)) {
      for (int l = 0; l < kWordsLanguages; ++l) line->words[l] = top.text[l].Line();
      line->state = LineState::Pending;
      line->reason = RefusalReason::NotGiven;
      line->serial = sent.serial;
      Tell(*line);
    }
    return;
  }

  // A new change after undo: what was undone can no longer be redone.
  entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(cursor_), entries_.end());
  Entry entry;
  entry.id = ++lastEntryId_;
  entry.type = sent.type;
  entry.args = sent.args;
  entry.chunks = std::move(chunks);
  entry.barrier = spec.barrier;
  entry.reportType = spec.reportType;
  entry.reportArg = spec.reportArg;
  entry.text = text;
  entry.lastSendMs = now;
  entry.gesture = inGesture_ ? gesture_ : 0;
  entry.serial = sent.serial;
  std::array<std::string, kWordsLanguages> words;
  for (int l = 0; l < kWordsLanguages; ++l) words[l] = text[l].Line();
  ChangeLine& line = AddLine(LineKind::Change, words, spec.barrier, sent.serial);
  entry.lineId = line.id;
  Tell(line);
  entries_.push_back(std::move(entry));
  while (entries_.size() > options_.depth) entries_.pop_front();
  cursor_ = entries_.size();
}

void ChangeHistory::OnReply(const Reply& reply) {
  auto s = State();
  const RecordRanges ranges = RangesOfReply(reply, *s);
  if (ranges.empty()) return;
  std::lock_guard lock(mutex_);
  CopyToShadow(BytesOf(*s), ranges);
}

void ChangeHistory::OnOutcome(const WriteOutcome& outcome) {
  std::vector<ChangeLine> told;
  std::function<void(const ChangeLine&)> listener;
  {
    std::lock_guard lock(mutex_);
    for (auto it = lines_.rbegin(); it != lines_.rend(); ++it) {
      if (it->serial != outcome.serial) continue;
      static constexpr LineState kStates[] = {LineState::Confirmed, LineState::Refused,
                                              LineState::Disagreed, LineState::Unconfirmed};
      it->state = kStates[static_cast<std::size_t>(outcome.verdict) % std::size(kStates)];
      it->reason = outcome.reason;
      Tell(*it);
      break;
    }
    for (std::size_t index = 0; index < entries_.size(); ++index) {
      Entry& entry = entries_[index];
      if (entry.serial != outcome.serial || entry.barrier != Irreversible::None) continue;
      const LineKind kind = entry.serialKind;
      if (outcome.verdict == WriteVerdict::Refused) {
        // The processor kept what it held before this send.
        for (const Chunk& chunk : entry.chunks) {
          const std::vector<uint8_t>& held = kind == LineKind::Undo ? chunk.after : chunk.before;
          std::memcpy(shadow_.data() + chunk.offset, held.data(), held.size());
        }
        ChangeLine* original = FindLine(entry.lineId);
        if (kind == LineKind::Change) {
          entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
          if (index < cursor_) --cursor_;
        } else if (kind == LineKind::Undo && index == cursor_) {
          ++cursor_;
          if (original != nullptr) original->undone = false;
        } else if (kind == LineKind::Redo && index + 1 == cursor_) {
          --cursor_;
          if (original != nullptr) original->undone = true;
        }
        if (original != nullptr && kind != LineKind::Change) Tell(*original);
      } else if (outcome.verdict == WriteVerdict::Confirmed ||
                 outcome.verdict == WriteVerdict::Disagreed) {
        // What the processor reported holding is what this step leads to.
        for (Chunk& chunk : entry.chunks) {
          auto& side = kind == LineKind::Undo ? chunk.before : chunk.after;
          std::memcpy(side.data(), shadow_.data() + chunk.offset, side.size());
        }
      }
      break;
    }
    told.swap(toTell_);
    listener = lineListener_;
  }
  if (listener) {
    for (const ChangeLine& line : told) listener(line);
  }
}

StepResult ChangeHistory::Undo() {
  return Step(false);
}

StepResult ChangeHistory::Redo() {
  return Step(true);
}

StepResult ChangeHistory::Step(bool redo) {
  StepResult result;
  result.redo = redo;
  Entry step;
  std::function<void(uint16_t, int, int)> refresh;
  {
    std::lock_guard lock(mutex_);
    if (redo ? cursor_ == entries_.size() : cursor_ == 0) return result;
    const Entry& entry = entries_[redo ? cursor_ : cursor_ - 1];
    for (int l = 0; l < kWordsLanguages; ++l) result.words[l] = entry.text[l].Line();
    if (entry.barrier != Irreversible::None) {
      result.status = StepResult::Status::Barrier;
      result.barrier = entry.barrier;
      return result;
    }
    step = entry;
    refresh = refreshHandler_;
  }
  Replay replay{this, step.id, step.type, redo, false};
  {
    // One guard over the record's write and its send, as a page does: a
    // report decoded in between would otherwise undo the write before it goes.
    auto s = State();
    uint8_t* record = BytesOf(*s);
    for (const Chunk& chunk : step.chunks) {
      const std::vector<uint8_t>& bytes = redo ? chunk.after : chunk.before;
      std::memcpy(record + chunk.offset, bytes.data(), bytes.size());
    }
    t_replay = &replay;
    SendCommandArgList(step.type, step.args);
    t_replay = nullptr;
    if (!replay.seen) {
      // Not handed to the library: the record keeps what the processor holds.
      for (const Chunk& chunk : step.chunks) {
        const std::vector<uint8_t>& bytes = redo ? chunk.before : chunk.after;
        std::memcpy(record + chunk.offset, bytes.data(), bytes.size());
      }
    }
  }
  if (!replay.seen) {
    result.status = StepResult::Status::NotSent;
    return result;
  }
  result.status = StepResult::Status::Done;
  if (refresh) refresh(step.type, step.reportType, step.reportArg);
  return result;
}

}  // namespace orv
