#include "Osc.h"

#include <cmath>
#include <cstring>

#include "CodePage.h"

namespace orv::remote {

namespace {

constexpr const char* kPrefix = "/orv/";
// Characters of an unknown address quoted back.
constexpr std::size_t kQuotedChars = 64;

struct OscRow {
  const char* address;  // after the prefix
  const char* cmd;
  std::vector<const char*> keys;   // argument names, in order
  std::vector<const char*> flags;  // keys whose values are on/off
};

const OscRow kOscCommands[] = {
    {"ping", "ping", {}, {}},
    {"input", "input", {"layer", "input"}, {}},
    {"window", "window", {"layer", "x", "y", "w", "h"}, {}},
    {"layer", "layer", {"layer", "on"}, {"on"}},
    {"take", "take", {}, {}},
    {"preset/load", "preset.load", {"preset"}, {}},
    {"preset/save", "preset.save", {"preset"}, {}},
    {"template/load", "template.load", {"template"}, {}},
    {"freeze", "freeze", {"on"}, {"on"}},
    {"testpattern", "testpattern", {"on", "pattern"}, {"on"}},
    {"undo", "undo", {}, {}},
    {"redo", "redo", {}, {}},
};

// An OSC string: UTF-8 bytes up to a NUL, padded with NULs to a multiple of
// four.
std::optional<std::string> ReadString(std::span<const uint8_t> d, std::size_t& pos) {
  const std::size_t start = pos;
  while (pos < d.size() && d[pos] != 0) ++pos;
  if (pos >= d.size()) return std::nullopt;
  std::string s(reinterpret_cast<const char*>(d.data() + start), pos - start);
  const std::size_t end = (pos + 4) & ~std::size_t{3};
  if (end > d.size()) return std::nullopt;
  for (; pos < end; ++pos) {
    if (d[pos] != 0) return std::nullopt;
  }
  if (!IsUtf8(s)) return std::nullopt;
  return s;
}

std::optional<uint32_t> ReadWord(std::span<const uint8_t> d, std::size_t& pos) {
  if (pos + 4 > d.size()) return std::nullopt;
  const uint32_t v = (uint32_t{d[pos]} << 24) | (uint32_t{d[pos + 1]} << 16) |
                     (uint32_t{d[pos + 2]} << 8) | uint32_t{d[pos + 3]};
  pos += 4;
  return v;
}

void WriteString(std::vector<uint8_t>& out, const std::string& s) {
  out.insert(out.end(), s.begin(), s.end());
  out.push_back(0);
  while (out.size() % 4 != 0) out.push_back(0);
}

// The argument as the line would carry it.
Json ArgToJson(const OscMessage::Arg& a) {
  if (const auto* b = std::get_if<bool>(&a)) return Json(*b);
  if (const auto* s = std::get_if<std::string>(&a)) return Json(*s);
  if (const auto* i = std::get_if<int32_t>(&a)) return Json(*i);
  return Json(static_cast<double>(std::get<float>(a)));
}

// An on/off argument: T, F, or the number 0 or 1 (int or float).
std::optional<bool> ArgToFlag(const OscMessage::Arg& a) {
  const Json j = ArgToJson(a);
  if (j.IsBool()) return j.AsBool();
  if (j.IsNumber() && (j.AsNumber() == 0 || j.AsNumber() == 1)) return j.AsNumber() == 1;
  return std::nullopt;
}

}  // namespace

std::optional<OscMessage> ParseOsc(std::span<const uint8_t> d, std::string* error) {
  auto fail = [error](const char* why) -> std::optional<OscMessage> {
    if (error != nullptr) *error = why;
    return std::nullopt;
  };
  std::size_t pos = 0;
  OscMessage m;
  std::optional<std::string> address = ReadString(d, pos);
  if (!address || address->empty() || (*address)[0] != '/')
    return fail("no OSC address (a UTF-8 text starting with '/', padded with NULs)");
  m.address = std::move(*address);
  if (pos == d.size()) return m;  // no type tags: no arguments
  std::optional<std::string> tags = ReadString(d, pos);
  if (!tags || tags->empty() || (*tags)[0] != ',')
    return fail("bad type tags (',' and the types, padded with NULs)");
  for (std::size_t t = 1; t < tags->size(); ++t) {
    switch ((*tags)[t]) {
      case 'i': {
        const std::optional<uint32_t> w = ReadWord(d, pos);
        if (!w) return fail("truncated argument");
        m.args.emplace_back(static_cast<int32_t>(*w));
        break;
      }
      case 'f': {
        const std::optional<uint32_t> w = ReadWord(d, pos);
        if (!w) return fail("truncated argument");
        float f = 0;
        std::memcpy(&f, &*w, sizeof f);
        if (!std::isfinite(f)) return fail("not a finite number");
        m.args.emplace_back(f);
        break;
      }
      case 's': {
        std::optional<std::string> s = ReadString(d, pos);
        if (!s) return fail("bad string argument (UTF-8, padded with NULs)");
        m.args.emplace_back(std::move(*s));
        break;
      }
      case 'T':
        m.args.emplace_back(true);
        break;
      case 'F':
        m.args.emplace_back(false);
        break;
      default:
        return fail("unsupported argument type");
    }
  }
  if (pos != d.size()) return fail("bytes after the arguments");
  return m;
}

std::vector<uint8_t> FormatOsc(const OscMessage& m) {
  std::vector<uint8_t> out;
  WriteString(out, m.address);
  std::string tags = ",";
  for (const OscMessage::Arg& a : m.args) {
    if (std::holds_alternative<int32_t>(a)) tags += 'i';
    if (std::holds_alternative<float>(a)) tags += 'f';
    if (std::holds_alternative<std::string>(a)) tags += 's';
    if (const auto* b = std::get_if<bool>(&a)) tags += *b ? 'T' : 'F';
  }
  WriteString(out, tags);
  for (const OscMessage::Arg& a : m.args) {
    uint32_t w = 0;
    if (const auto* i = std::get_if<int32_t>(&a)) {
      w = static_cast<uint32_t>(*i);
    } else if (const auto* f = std::get_if<float>(&a)) {
      std::memcpy(&w, f, sizeof w);
    } else if (const auto* s = std::get_if<std::string>(&a)) {
      WriteString(out, *s);
      continue;
    } else {
      continue;  // T and F carry no bytes
    }
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(w >> shift));
  }
  return out;
}

ParsedRequest OscToRequest(const OscMessage& m) {
  const std::string prefix(kPrefix);
  const OscRow* row = nullptr;
  if (m.address.compare(0, prefix.size(), prefix) == 0) {
    const std::string name = m.address.substr(prefix.size());
    for (const OscRow& r : kOscCommands) {
      if (name == r.address) row = &r;
    }
  }
  if (row == nullptr) {
    ParsedRequest p;
    p.failure = {nullptr, error::kUnknownCommand,
                 "unknown OSC address: " + std::string(Utf16Prefix(m.address, kQuotedChars))};
    return p;
  }
  if (m.args.size() > row->keys.size()) {
    ParsedRequest p;
    p.failure = {nullptr, error::kBadRequest, "too many arguments"};
    return p;
  }
  // The same request as a line, so that one set of rules checks both.
  Json j = Json::MakeObject();
  j.Set("cmd", row->cmd);
  for (std::size_t i = 0; i < m.args.size(); ++i) {
    bool flag = false;
    for (const char* f : row->flags) flag = flag || std::strcmp(f, row->keys[i]) == 0;
    if (!flag) {
      j.Set(row->keys[i], ArgToJson(m.args[i]));
      continue;
    }
    const std::optional<bool> on = ArgToFlag(m.args[i]);
    if (!on) {
      ParsedRequest p;
      p.failure = {nullptr, error::kBadRequest,
                   std::string("\"") + row->keys[i] + "\" must be 0, 1, T or F, not " +
                       ArgToJson(m.args[i]).Dump()};
      return p;
    }
    j.Set(row->keys[i], *on);
  }
  return ParseRequest(j.Dump());
}

std::vector<uint8_t> OscAnswer(const std::string& command, bool ok, const std::string& error,
                               const std::string& detail) {
  OscMessage m;
  m.address = ok ? "/orv/ok" : "/orv/error";
  m.args.emplace_back(command);
  if (!ok) {
    m.args.emplace_back(error);
    m.args.emplace_back(detail);
  } else if (!detail.empty()) {
    m.args.emplace_back(detail);  // what an undo or redo did
  }
  return FormatOsc(m);
}

}  // namespace orv::remote
