#include "ConnectTexts.h"

#include <string>

#include "UiTexts.h"

namespace orv {

QString PageText(int n) {
  return QString::fromStdString(UiText(n));
}

QString NoMachineFoundText() {
  const std::string text = GetText(kNoMachineFoundKey);
  return text.empty() ? QStringLiteral("No Machine Found") : QString::fromStdString(text);
}

QString ConnectMessageText(ConnectMessage message) {
  struct Row {
    ConnectMessage id;
    const char* key;
    const char* english;
  };
  static constexpr Row kRows[] = {
      {ConnectMessage::NotIpv4, "CONNECT_NotIpv4",
       "\"%1\" is not an IPv4 address (four numbers 0..255 separated by dots)."},
      {ConnectMessage::NoAnswer, "CONNECT_NoAnswer",
       "No processor answers at %1. Nothing was changed."},
  };
  for (const Row& row : kRows) {
    if (row.id != message) continue;
    const std::string text = GetText(row.key);
    return text.empty() ? QString::fromUtf8(row.english) : QString::fromStdString(text);
  }
  return {};
}

}  // namespace orv
