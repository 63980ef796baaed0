#pragma once
// OSC over UDP for the same commands as the JSON lines: one message per
// datagram, "/orv/<command>" with the arguments in a fixed order, answered
// to the sender with "/orv/ok" or "/orv/error" (reason, detail). Messages
// are bounded by the datagram; bundles are not taken.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "ShowCommands.h"

namespace orv::remote {

struct OscMessage {
  using Arg = std::variant<int32_t, float, std::string, bool>;
  std::string address;
  std::vector<Arg> args;
};

// Reads one message (address, type tags i f s T F, big-endian values);
// nullopt with a reason for anything else.
std::optional<OscMessage> ParseOsc(std::span<const uint8_t> datagram, std::string* error = nullptr);
std::vector<uint8_t> FormatOsc(const OscMessage& message);

// The request an OSC message names, checked by the same rules as a line:
// /orv/ping, /orv/input L I, /orv/window L X Y W H, /orv/layer L ON,
// /orv/take, /orv/preset/load N, /orv/preset/save N, /orv/template/load N,
// /orv/freeze ON, /orv/testpattern ON [P], /orv/undo, /orv/redo. ON is 0 or 1 (int or float) or
// T/F; any other value is refused.
ParsedRequest OscToRequest(const OscMessage& message);

// The answer datagram: /orv/ok with the address (and, for undo and redo,
// what was done), or /orv/error with the address, the reason and the detail.
std::vector<uint8_t> OscAnswer(const std::string& command, bool ok, const std::string& error = {},
                               const std::string& detail = {});

}  // namespace orv::remote
