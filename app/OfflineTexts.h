#pragma once
// Texts of offline mode (the built-in virtual processor): the window title,
// the link indicator and the message when it cannot start. Read from the
// active language file under their own keys; English when a file lacks one.
#include <QString>

namespace orv {

enum class OfflineText {
  kTitle,          // %1 = the title without offline mode
  kLinkConnected,  // the indicator while the built-in processor answers; %1 = its address
  kWho,            // the indicator's name of the built-in processor in other states
  kCannotStart,    // %1 = why
};

QString OfflineTextOf(OfflineText text);

}  // namespace orv
