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

}  // namespace orv
