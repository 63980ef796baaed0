#include "SerialPorts.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <mutex>

namespace orv {

namespace fs = std::filesystem;

namespace {

struct ExtraDevice {
  std::string path;
  int number;
};

std::mutex& ExtrasMutex() {
  static std::mutex m;
  return m;
}
std::vector<ExtraDevice>& Extras() {
  static std::vector<ExtraDevice> extras;
  return extras;
}

bool IsDigit(char16_t c) {
  return c >= u'0' && c <= u'9';
}
bool IsLetter(char16_t c, char upper) {
  return c == upper || c == upper + ('a' - 'A');
}

// Reads one value's data the way the enumeration does: into a 16-byte buffer
// cleared before; a value larger than the buffer cannot be read.
struct DataBuffer {
  std::array<char16_t, 8> chars{};
  std::size_t size = 0;
};

bool ReadData(const SerialDeviceValue& value, DataBuffer& out) {
  out = DataBuffer{};
  if (value.data.size() > sizeof out.chars) return false;
  uint8_t raw[sizeof out.chars] = {};
  std::copy(value.data.begin(), value.data.end(), raw);
  for (std::size_t i = 0; i < out.chars.size(); ++i) {
    out.chars[i] = static_cast<char16_t>(raw[2 * i] | (raw[2 * i + 1] << 8));
  }
  out.size = value.data.size();
  return true;
}

// "COM" in any case, a digit, then twice a digit or NUL.
bool AcceptComName(const DataBuffer& d) {
  const auto& c = d.chars;
  return IsLetter(c[0], 'C') && IsLetter(c[1], 'O') && IsLetter(c[2], 'M') && IsDigit(c[3]) &&
         (IsDigit(c[4]) || c[4] == 0) && (IsDigit(c[5]) || c[5] == 0);
}

int NumberAfterLetters(const DataBuffer& d) {
  int n = 0;
  for (std::size_t i = 3; i < d.chars.size() && IsDigit(d.chars[i]); ++i)
    n = 10 * n + (d.chars[i] - u'0');
  return n;
}

std::string TextOf(const DataBuffer& d) {
  std::string text;
  for (char16_t c : d.chars) {
    if (c == 0) break;
    text.push_back(c < 0x80 ? static_cast<char>(c) : '?');
  }
  return text;
}

std::string ReadSmallFile(const fs::path& path) {
  std::ifstream in(path);
  std::string text;
  std::getline(in, text);
  return text;
}

// A serial8250 port whose UART type is 0 ("unknown") is a placeholder the
// kernel registers whether or not the hardware exists.
bool IsPlaceholderUart(const fs::path& ttyDir) {
  std::error_code ec;
  const auto driver = fs::read_symlink(ttyDir / "device" / "driver", ec);
  if (ec || driver.filename() != "serial8250") return false;
  return ReadSmallFile(ttyDir / "type") == "0";
}

}  // namespace

std::vector<uint8_t> SerialMapText(std::string_view ascii, bool withNul) {
  std::vector<uint8_t> data;
  for (char c : ascii) {
    data.push_back(static_cast<uint8_t>(c));
    data.push_back(0);
  }
  if (withNul) data.insert(data.end(), {0, 0});
  return data;
}

bool EnumerateSerialPorts(const SerialDeviceMap& map, std::vector<SerialPortEntry>& list) {
  for (const auto& value : map) {
    DataBuffer data;
    if (!ReadData(value, data)) continue;
    if (data.size < 7 || data.size > 13) continue;
    if (!AcceptComName(data)) continue;
    const int number = NumberAfterLetters(data);
    const bool listed = std::any_of(list.begin(), list.end(), [number](const SerialPortEntry& e) {
      return e.number == number;
    });
    if (listed) continue;
    list.push_back({TextOf(data), number});
  }
  return !list.empty();
}

bool EnumerateSerialPorts(std::vector<SerialPortEntry>& list) {
  return EnumerateSerialPorts(SystemSerialDeviceMap(), list);
}

std::string SerialDevicePath(const SerialDeviceMap& map, int number) {
  for (const auto& value : map) {
    std::vector<SerialPortEntry> one;
    if (EnumerateSerialPorts(SerialDeviceMap{value}, one) && one[0].number == number) {
      return value.name;
    }
  }
  return {};
}

std::string SerialDevicePath(int number) {
  return SerialDevicePath(SystemSerialDeviceMap(), number);
}

int ComNumberOfTty(std::string_view ttyName) {
  struct Family {
    std::string_view prefix;
    int first;
    int count;
  };
  constexpr Family kFamilies[] = {
      {"ttyUSB", 33, 32}, {"ttyACM", 65, 25}, {"ttyAMA", 90, 10}, {"ttyS", 1, 32}};
  for (const auto& f : kFamilies) {
    if (ttyName.substr(0, f.prefix.size()) != f.prefix) continue;
    const auto digits = ttyName.substr(f.prefix.size());
    if (digits.empty() || digits.size() > 2 ||
        !std::all_of(digits.begin(), digits.end(),
                     [](char c) { return std::isdigit(static_cast<unsigned char>(c)); })) {
      return 0;
    }
    const int k = std::stoi(std::string(digits));
    return k < f.count ? f.first + k : 0;
  }
  return 0;
}

SerialDeviceMap KernelSerialDeviceMap(const std::string& sysClassTty, const std::string& devRoot) {
  SerialDeviceMap map;
  std::error_code ec;
  std::vector<std::string> ttys;
  for (const auto& entry : fs::directory_iterator(sysClassTty, ec)) {
    std::error_code linkEc;
    if (!fs::exists(entry.path() / "device", linkEc)) continue;  // virtual terminals have none
    if (IsPlaceholderUart(entry.path())) continue;
    ttys.push_back(entry.path().filename().string());
  }
  // Directory order is arbitrary; number order gives a stable list.
  std::sort(ttys.begin(), ttys.end(), [](const std::string& a, const std::string& b) {
    return ComNumberOfTty(a) < ComNumberOfTty(b);
  });
  for (const auto& tty : ttys) {
    const int n = ComNumberOfTty(tty);
    if (n == 0) continue;
    map.push_back({devRoot + "/" + tty, SerialMapText("COM" + std::to_string(n))});
  }
  // Stable by-id links name the same devices again; the enumeration keeps
  // one entry per number, the first (kernel) one.
  for (const auto& entry : fs::directory_iterator(devRoot + "/serial/by-id", ec)) {
    std::error_code linkEc;
    const auto target = fs::canonical(entry.path(), linkEc);
    if (linkEc) continue;
    const int n = ComNumberOfTty(target.filename().string());
    if (n == 0) continue;
    map.push_back({entry.path().string(), SerialMapText("COM" + std::to_string(n))});
  }
  return map;
}

SerialDeviceMap SystemSerialDeviceMap() {
  // Extras come first: a device added on purpose takes its number even when
  // a kernel device maps to the same one.
  SerialDeviceMap map;
  {
    std::lock_guard lock(ExtrasMutex());
    for (const auto& extra : Extras()) {
      map.push_back({extra.path, SerialMapText("COM" + std::to_string(extra.number))});
    }
  }
  auto kernel = KernelSerialDeviceMap();
  map.insert(map.end(), kernel.begin(), kernel.end());
  return map;
}

std::string StableSerialName(const std::string& device, const std::string& devRoot) {
  std::error_code ec;
  const auto target = fs::canonical(device, ec);
  if (ec) return device;
  for (const auto& entry : fs::directory_iterator(devRoot + "/serial/by-id", ec)) {
    std::error_code linkEc;
    if (fs::canonical(entry.path(), linkEc) == target && !linkEc) return entry.path().string();
  }
  return device;
}

int SerialPortOfName(const std::string& stableName) {
  std::error_code ec;
  const auto target = fs::canonical(stableName, ec);
  if (ec) return 0;
  for (const SerialDeviceValue& value : SystemSerialDeviceMap()) {
    std::error_code valueEc;
    if (value.name != stableName && fs::canonical(value.name, valueEc) != target) continue;
    if (valueEc) continue;
    std::vector<SerialPortEntry> entry;
    if (EnumerateSerialPorts({value}, entry)) return entry.front().number;
  }
  return 0;
}

void AddExtraSerialDevice(const std::string& path, int number) {
  std::lock_guard lock(ExtrasMutex());
  auto& extras = Extras();
  extras.erase(std::remove_if(extras.begin(), extras.end(),
                              [&](const ExtraDevice& e) { return e.path == path; }),
               extras.end());
  extras.push_back({path, number});
}

void RemoveExtraSerialDevice(const std::string& path) {
  std::lock_guard lock(ExtrasMutex());
  auto& extras = Extras();
  extras.erase(std::remove_if(extras.begin(), extras.end(),
                              [&](const ExtraDevice& e) { return e.path == path; }),
               extras.end());
}

void ClearExtraSerialDevices() {
  std::lock_guard lock(ExtrasMutex());
  Extras().clear();
}

}  // namespace orv
