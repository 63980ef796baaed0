#include "ChangeTexts.h"

#include <array>

#include "PageWidgets.h"
#include "UiTexts.h"

namespace orv {

namespace {

struct Row {
  ChangeUiText id;
  const char* key;
  const char* english;
};

constexpr std::array<Row, 8> kTexts = {{
    {ChangeUiText::kTitle, "CHG_Title", "Changes"},
    {ChangeUiText::kTime, "CHG_Time", "Time"},
    {ChangeUiText::kChange, "CHG_Change", "Change"},
    {ChangeUiText::kState, "CHG_State", "State"},
    {ChangeUiText::kUndo, "CHG_Undo", "Undo"},
    {ChangeUiText::kRedo, "CHG_Redo", "Redo"},
    {ChangeUiText::kLogFailed, "CHG_LogFailed",
     "The changes log cannot be written (%1). The changes list goes on without it."},
    {ChangeUiText::kForgotten, "CHG_Forgotten",
     "Another processor is connected: undo starts afresh from here."},
}};

}  // namespace

QString ChangeUiTextOf(ChangeUiText text) {
  for (const Row& row : kTexts) {
    if (row.id == text) return KeyedQText(row.key, row.english);
  }
  return {};
}

WordsLanguage ActiveWordsLanguage() {
  return ActiveLanguageName() == "Chinese" ? WordsLanguage::Chinese : WordsLanguage::English;
}

}  // namespace orv
