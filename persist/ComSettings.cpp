#include "ComSettings.h"

#include "Ini.h"
#include "IniLines.h"

namespace orv {

namespace {
constexpr std::size_t kComChars = 10;
}

int ReadComSettings(std::string& timeout) {
  const std::string path = SettingsPath();
  const std::string port = GetProfileString("COM", "port", "", kComChars, path);
  timeout = GetProfileString("COM", "timeout", "", kComChars, path);
  return DecimalToInt(port);
}

bool WriteComSettings(int port, std::string_view timeout) {
  const std::string path = SettingsPath();
  const bool portWritten = WriteProfileString("COM", "port", FormatInteger(port), path);
  const bool timeoutWritten = WriteProfileString("COM", "timeout", timeout, path);
  return portWritten && timeoutWritten;
}

}  // namespace orv
