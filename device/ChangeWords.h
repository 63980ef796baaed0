#pragma once
// The words that name a change in the changes list, in English and Chinese:
// one row per command type (what it changes and how its values read), kept
// in one place so that other views of settings can share them. No Qt: the
// language is passed in.
#include <cstdint>
#include <cstring>
#include <string>

#include "ChangeTable.h"

namespace orv {

enum class WordsLanguage : uint8_t { English, Chinese };
constexpr int kWordsLanguages = 2;

// Values of the record's fields read from a byte copy of the record (the
// record itself, or the history's copy of what the processor holds). The
// fields are named through `layout`, the record the copy was taken from.
class FieldValues {
 public:
  FieldValues(const DeviceState& layout, const uint8_t* bytes) : layout_(layout), bytes_(bytes) {}
  template <class T>
  T Get(const T& field) const {
    const RecordRange range = RangeOf(layout_, field);
    T value;
    std::memcpy(&value, bytes_ + range.offset, sizeof(T));
    return value;
  }
  const DeviceState& Layout() const { return layout_; }

 private:
  const DeviceState& layout_;
  const uint8_t* bytes_;
};

// "PIP-1 window" + "1140,60 720x405" + "420,450 720x405": shown as
// "subject before → after"; a change that cannot be undone has a subject only.
struct ChangeText {
  std::string subject;
  std::string before;
  std::string after;
  std::string Line() const;
};

ChangeText DescribeChange(const SentCommand& sent, const FieldValues& before,
                          const FieldValues& after, WordsLanguage language);

// Why a change cannot be undone, as one phrase.
std::string IrreversibleWords(Irreversible why, WordsLanguage language);

// Why the processor refused a write.
std::string RefusalWords(RefusalReason reason, WordsLanguage language);

// "undo" and "redo" before the words of a change.
std::string UndoWord(WordsLanguage language);
std::string RedoWord(WordsLanguage language);

}  // namespace orv
