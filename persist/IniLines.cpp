#include "IniLines.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace orv {
namespace {

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::string_view SkipSpaces(std::string_view text) {
  while (!text.empty() && IsSpace(text.front())) text.remove_prefix(1);
  return text;
}

}  // namespace

bool WriteSection(CStdioFileEx& file, std::string_view name) {
  std::string line;
  line.reserve(name.size() + 4);
  line += '[';
  line += name;
  line += "]\r\n";
  return file.WriteString(line);
}

bool WriteKey(CStdioFileEx& file, std::string_view key, std::string_view value) {
  std::string line;
  line.reserve(key.size() + value.size() + 3);
  line += key;
  line += '=';
  line += value;
  line += "\r\n";
  return file.WriteString(line);
}

std::string FormatInteger(int64_t value) {
  char buffer[24];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

std::string FormatFixed6(double value) {
  // std::to_chars never consults the locale, unlike printf's "%f".
  if (std::isnan(value)) return std::signbit(value) ? "-nan" : "nan";
  if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
  char buffer[400];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
  if (result.ec != std::errc()) return "0.000000";
  return std::string(buffer, result.ptr);
}

std::string IndexedKey(std::string_view base, int index) {
  return std::string(base) + FormatInteger(index);
}

std::string IndexedKey(std::string_view base, int first, int second) {
  return std::string(base) + FormatInteger(first) + FormatInteger(second);
}

bool FindKey(CStdioFileEx& file, std::string_view section, std::string_view key,
             std::string& value) {
  std::string& current = file.SearchSection();
  std::string line;
  while (file.ReadString(line)) {
    if (!line.empty() && line.front() == '[') {
      const auto open = line.find('[');
      const auto close = line.find(']');
      if (close == std::string::npos || close < open) {
        current.clear();
      } else {
        current = line.substr(open + 1, close - open - 1);
      }
      continue;
    }
    // A line without '=' has an empty key and an empty value.
    const auto equals = line.find('=');
    const bool hasEquals = equals != std::string::npos;
    const std::string_view lineKey = hasEquals ? std::string_view(line).substr(0, equals) : "";
    if (current == section && lineKey == key) {
      value = hasEquals ? line.substr(equals + 1) : std::string();
      return true;
    }
  }
  return false;
}

int32_t DecimalToInt(std::string_view text) {
  text = SkipSpaces(text);
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  int64_t magnitude = 0;
  constexpr int64_t kLimit = int64_t{std::numeric_limits<int32_t>::max()} + 1;
  for (char c : text) {
    if (c < '0' || c > '9') break;
    magnitude = magnitude * 10 + (c - '0');
    if (magnitude > kLimit) magnitude = kLimit;
  }
  int64_t result = negative ? -magnitude : magnitude;
  if (result > std::numeric_limits<int32_t>::max()) result = std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(result);
}

double DecimalToDouble(std::string_view text) {
  text = SkipSpaces(text);
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  // from_chars takes no sign of its own here, so "+-1" stays "not a number".
  if (text.empty() || text.front() == '-' || text.front() == '+') return 0.0;
  double value = 0.0;
  const auto result =
      std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
  if (result.ec == std::errc::result_out_of_range) {
    // Too large gives infinity, too small zero, as strtod does.
    const bool tiny = [&] {
      for (const char* p = text.data(); p != result.ptr; ++p) {
        if (*p == 'e' || *p == 'E') return p + 1 != result.ptr && p[1] == '-';
      }
      return false;
    }();
    value = tiny ? 0.0 : std::numeric_limits<double>::infinity();
  } else if (result.ec != std::errc()) {
    value = 0.0;
  }
  return negative ? -value : value;
}

}  // namespace orv
