#pragma once
// The texts Qt draws itself (the OK and Cancel of message boxes, the buttons
// and labels of the file and colour dialogs) in the panel's language. They
// come from the Qt installation's own translation files; a language that has
// none keeps Qt's English.
#include <string>
#include <string_view>

namespace orv {

// The locale whose Qt translations serve a language named as in the language
// files ("Chinese" -> "zh_CN"); "" when Qt's English is right for it.
std::string QtLocaleOfLanguage(std::string_view languageName);

// Replaces the Qt translations installed before by those of `languageName`.
// Returns true when a translation is now installed; false for a language
// without one (nothing is installed then) or when its file is missing.
bool UseQtTranslationsFor(std::string_view languageName);

}  // namespace orv
