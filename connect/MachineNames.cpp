#include "MachineNames.h"

#include <cstdio>

#include "Ini.h"

namespace orv {

namespace {
constexpr char kNameKey[] = "MachineName";
constexpr std::size_t kNameBuffer = 256;
}  // namespace

std::string MacText(const MacAddress& mac) {
  char text[3 * 6 + 6];
  std::snprintf(text, sizeof text, "%x-%x-%x-%x-%x-%x", mac[0], mac[1], mac[2], mac[3], mac[4],
                mac[5]);
  return text;
}

std::string StoredMachineName(const MacAddress& mac) {
  return GetProfileString(MacText(mac), kNameKey, "", kNameBuffer, SettingsPath());
}

bool StoreMachineName(const MacAddress& mac, const std::string& name) {
  return WriteProfileString(MacText(mac), kNameKey, name, SettingsPath());
}

}  // namespace orv
