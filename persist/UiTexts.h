#pragma once
// The table of UI texts (161 built-in English texts, numbered 0..160) and the
// language files in SettingsFolder() + "Language/" that replace them.
//
// A language file is an INI file: [Setting] Language names the language it
// provides (compared case-sensitively), [String] holds SIDS_n (text n of the
// table), IDD<template>_Title (a dialog's window text) and IDS_<control id>
// (the text of every control with that id). All texts are UTF-8 in memory.
//
// GUI thread only.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orv {

inline constexpr int kUiTextCount = 161;

// Slots of the port-switch methods (texts 145..149) that the composite board
// renames for its ports.
inline constexpr int kTextFixedFirst = 145;
inline constexpr int kTextFixedSecond = 146;
inline constexpr int kTextAutoFirst = 148;
inline constexpr int kTextAutoSecond = 149;

// The built-in English value of text n, exactly as shipped; "" outside 0..160.
std::string_view BuiltInUiText(int n);

// The process-wide table. It starts with the built-in values.
class UiTexts {
 public:
  static const std::string& Get(int n);  // "" outside 0..160
  static void Set(int n, std::string_view text);
  static void ResetToBuiltIn();
};

inline const std::string& UiText(int n) {
  return UiTexts::Get(n);
}

// SettingsFolder() + "Language/" (beside the executable for a portable copy).
std::string LanguageFolder();
// The language file chosen by the last SelectLanguage; "" before the first.
std::string LanguageFilePath();

// Chooses the first file of the language folder (in directory order) whose
// [Setting] Language equals `name` exactly and records the name in [Setting]
// Language of the settings file. When no file declares `name`, the name
// "English" is recorded instead, the folder is created if missing, and the
// file that declares "English" is used (else Language/English.ini).
void SelectLanguage(std::string_view name);

// The language of a start: the one the operator chose last ([Setting]
// Language of the settings file, selected as SelectLanguage does), else the
// system's (DefaultLanguageName), which is used without being recorded, so
// that the system keeps deciding until the operator chooses.
void SelectStartLanguage();

// "Chinese" when the system locale is Chinese (PRC), else "English".
std::string DefaultLanguageName();
// The same decision for a locale name such as "zh_CN.UTF-8".
std::string LanguageNameForLocale(std::string_view locale);

// [Setting] Language of the settings file (at most 99 characters); when
// missing, the language SelectStartLanguage took from the system, else
// "English".
std::string ActiveLanguageName();

// The language-switch message: 0 selects "English", 1 "Chinese", anything
// else nothing.
std::optional<std::string> LanguageNameForSwitch(intptr_t wParam);

// [String] `key` of the language file, "" when missing; every backslash-n pair
// becomes a line feed.
std::string GetText(std::string_view key);
// [String] `key` as it stands (dialog and control texts), "" when missing.
std::string GetRawText(std::string_view key);

// Text n := GetText("SIDS_n") for every n. When the language file does not
// exist at all, the table gets the built-in English texts instead: a panel
// with every text blank cannot be used.
void ReloadUiTexts();

// The composite board's ports rename the port-switch methods: first port 6
// (DVI3*) or 8 (DP2) renames texts 145 and 148, second port 6 (HDMI3) or 8
// (DP2) renames 146 and 149, in the active language (other languages keep
// their texts). The English and Chinese forms are also recorded in
// Language/English.ini and Language/Chinese.ini, so that later runs start with
// them. A key is written only when its value differs, into existing files
// only, each in its own encoding. Returns true when a text of the table
// changed.
bool UpdatePortSwitchTexts(int firstPort, int secondPort);

// The entries of the port-switch list: texts 145..149 in that order, each
// carrying its position 0..4 (the board's CMPBOARDMODE) as item data.
struct TextItem {
  std::string text;
  int data;
};
std::array<TextItem, 5> PortSwitchListItems();

}  // namespace orv
