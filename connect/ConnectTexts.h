#pragma once
// The texts the connection page and the search window show, read from the UI
// text table and the language file of the active language.
#include <QString>

namespace orv {

// Numbers of the UI texts these pages use.
enum ConnectTextId : int {
  kTextSelectMachine = 32,   // "Select the Machine ?"
  kTextTips = 38,            // "Tips", the caption of every message box
  kTextMachineOffline = 39,  // "The Machine Is Offline"
  kTextConnectFailed = 85,   // "Connect Failed!"
  kTextComConnection = 91,
  kTextNetworkConnection = 92,
  kTextConnectionSetting = 93,  // title of the connection page
  kTextSearchMachines = 94,     // title of the search window
  kTextLocalIpAddress = 95,
};

// Text n of the UI text table.
QString PageText(int n);

// Key of the search window's "nothing answered" message in the language files.
inline constexpr char kNoMachineFoundKey[] = "SearchNoMachine";
// That message in the active language; English when the file lacks the key.
QString NoMachineFoundText();

// Messages of the network Connect by typed address (keys in the language
// files; English when the file lacks the key). %1 = the typed text.
enum class ConnectMessage { NotIpv4, NoAnswer };
QString ConnectMessageText(ConnectMessage message);

}  // namespace orv
