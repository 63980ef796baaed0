#pragma once
// Texts of the main window that the numbered UI text table does not hold.
// Each is read from the active language file under its own key and falls
// back to its English text when the file lacks the key.
#include <QString>

namespace orv {

enum class AppText {
  kNoAnswer,             // the wait box timed out
  kProjectNotSaved,      // %1 = the project path
  kProjectSavedInstead,  // %1 = the project path, %2 = where it went instead
  kProjectUnreadable,    // %1 = the chosen file
  kNotAProject,          // %1 = the chosen file
  kProjectIncomplete,    // %1 = the chosen file
  kLinkNone,             // the link indicator before any connect
  kLinkConnected,        // %1 = the processor
  kLinkReconnecting,     // %1 = the processor, %2 = the attempt
  kLinkReconnected,      // %1 = the processor, %2 = hh:mm:ss
  kLinkClosed,           // %1 = the processor
  kLinkRefused,          // a command refused while the link is down
  kNoLink,               // over the stale live video
  kOfflineTitle,         // offline mode's window title; %1 = the title without it
  kOfflineLink,          // the indicator while the built-in processor answers; %1 = its address
  kOfflineWho,           // the indicator's name of the built-in processor in other states
  kOfflineCannotStart,   // %1 = why the built-in processor cannot start
};

QString AppTextOf(AppText text);

}  // namespace orv
