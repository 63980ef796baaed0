#include "RemoteSettings.h"

#include <algorithm>
#include <charconv>
#include <optional>

#include "AtomicFile.h"
#include "CodePage.h"
#include "IniDocument.h"

namespace orv::remote {

namespace {

constexpr const char* kSection = "Remote";

// The file as its author wrote it. Without a byte-order mark the file is
// taken in the ANSI code page, like every settings file, unless its bytes
// are well-formed UTF-8 with letters beyond ASCII: an editor that saved
// UTF-8, whose "é" would otherwise become "Ã©" and never match the token a
// client sends.
IniDocument ReadDocument(const std::string& path) {
  const std::optional<std::string> bytes = ReadWholeFile(path);
  if (!bytes) return IniDocument::Parse("", AnsiCodePage());
  const IniDocument ansi = IniDocument::Parse(*bytes, AnsiCodePage());
  if (ansi.Encoding() != IniEncoding::Ansi) return ansi;
  const bool beyondAscii = std::any_of(
      bytes->begin(), bytes->end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
  if (beyondAscii && CodePageToUtf8(*bytes, kCodePageUtf8) == *bytes)
    return IniDocument::Parse(*bytes, kCodePageUtf8);
  return ansi;
}

// A port 1..65535; an empty value is `fallback`.
std::optional<uint16_t> PortValue(const std::string& text, uint16_t fallback) {
  if (text.empty()) return fallback;
  unsigned value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || value < 1 || value > 65535)
    return std::nullopt;
  return static_cast<uint16_t>(value);
}

}  // namespace

RemoteSettings ReadRemoteSettings(const std::string& path) {
  RemoteSettings out;
  const IniDocument document = ReadDocument(path);
  auto value = [&document](const char* key) {
    return document.Find(kSection, key).value_or(std::string());
  };
  auto refuse = [&out](const char* key, const std::string& text, const char* expected) {
    if (out.error.empty())
      out.error = std::string("[Remote] ") + key + "=" + text + " is not " + expected;
  };

  const std::string enabled = value("Enabled");
  if (enabled == "0") {
    out.enabled = false;
  } else if (!enabled.empty() && enabled != "1") {
    refuse("Enabled", enabled, "0 or 1");
  }
  const std::string address = value("Address");
  if (!address.empty()) out.server.address = address;
  const std::string port = value("Port");
  if (const auto n = PortValue(port, out.server.port)) {
    out.server.port = *n;
  } else {
    refuse("Port", port, "a port 1..65535");
  }
  out.server.token = value("Token");
  const std::string osc = value("OscPort");
  if (const auto n = PortValue(osc, 0)) {
    out.server.oscPort = *n;
  } else {
    refuse("OscPort", osc, "a port 1..65535");
  }
  if (!out.error.empty()) out.enabled = false;
  return out;
}

}  // namespace orv::remote
