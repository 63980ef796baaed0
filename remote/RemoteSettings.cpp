#include "RemoteSettings.h"

#include <cstdlib>

#include "Ini.h"

namespace orv::remote {

namespace {

constexpr const char* kSection = "Remote";
constexpr uint16_t kDefaultPort = 9750;

}  // namespace

RemoteSettings ReadRemoteSettings(const std::string& path) {
  RemoteSettings out;
  const std::string enabled = ReadSetting(kSection, "Enabled", path);
  out.enabled = enabled.empty() || enabled != "0";
  const std::string address = ReadSetting(kSection, "Address", path);
  if (!address.empty()) out.server.address = address;
  const std::string port = ReadSetting(kSection, "Port", path);
  out.server.port = kDefaultPort;
  if (!port.empty()) {
    char* end = nullptr;
    const long n = std::strtol(port.c_str(), &end, 10);
    if (*end == '\0' && n >= 1 && n <= 65535) out.server.port = static_cast<uint16_t>(n);
  }
  out.server.token = ReadSetting(kSection, "Token", path);
  const std::string osc = ReadSetting(kSection, "OscPort", path);
  if (!osc.empty()) {
    char* end = nullptr;
    const long n = std::strtol(osc.c_str(), &end, 10);
    if (*end == '\0' && n >= 1 && n <= 65535) out.server.oscPort = static_cast<uint16_t>(n);
  }
  return out;
}

}  // namespace orv::remote
