#pragma once
// Texts of the changes list and of undo/redo in the main window, read from
// the active language file under their own keys (CHG_*), with the English
// text when the file lacks the key.
#include <QString>

#include "ChangeWords.h"

namespace orv {

enum class ChangeUiText {
  kTitle,  // the window's title and the toggle button
  kTime,   // column headers
  kChange,
  kState,
  kUndo,  // buttons
  kRedo,
  kLogFailed,  // %1 = the file and what failed
  kForgotten,  // undo starts afresh on another processor
};

QString ChangeUiTextOf(ChangeUiText text);

// The language the device-level words of a change are given in.
WordsLanguage ActiveWordsLanguage();

}  // namespace orv
