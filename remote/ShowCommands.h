#pragma once
// The requests of the show-control protocol: one JSON object per line with
// "cmd" naming the command, its arguments as members and an optional "id"
// that the answer echoes. ParseRequest checks the shape and every range, so
// that the panel side only ever sees valid actions.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "Json.h"
#include "ShowState.h"

namespace orv::remote {

enum class Command {
  Ping,
  Auth,
  Subscribe,
  Unsubscribe,
  Status,
  Input,   // layer, value = input code
  Window,  // layer, x, y, width, height
  Layer,   // layer 1..3, on
  Take,
  PresetLoad,    // value = preset 0..9
  PresetSave,    // value = preset 0..9
  TemplateLoad,  // value = template 0..9
  Freeze,        // on
  TestPattern,   // on, value = pattern 1..111
  Undo,          // the operator's undo: the last change taken back
  Redo,
};

struct ShowRequest {
  Command command = Command::Ping;
  Json id;  // echoed; null when the request had none
  int layer = 0;
  int value = 0;
  int x = 0, y = 0, width = 0, height = 0;
  bool on = false;
  std::string token;
  uint64_t client = 0;  // the connection it came on (set by the server)
};

// Reasons of error answers; clients may switch on them.
namespace error {
inline constexpr const char* kBadRequest = "bad request";
inline constexpr const char* kUnknownCommand = "unknown command";
inline constexpr const char* kOutOfRange = "out of range";
inline constexpr const char* kNotConnected = "not connected";
inline constexpr const char* kBusy = "busy";
inline constexpr const char* kRefused = "refused";
inline constexpr const char* kUnauthorized = "unauthorized";
inline constexpr const char* kLineTooLong = "line too long";
}  // namespace error

struct RequestError {
  Json id;
  std::string error;   // one of the reasons above
  std::string detail;  // for people
};

// Either a valid request or the error to answer with.
struct ParsedRequest {
  std::optional<ShowRequest> request;
  RequestError failure;
};
ParsedRequest ParseRequest(std::string_view line);

// What the panel (or a fake) answers to one action: ok with the state after
// it, or an error reason and detail.
struct ActionResult {
  bool ok = false;
  std::string error;
  std::string detail;
  ShowState state;
  std::string done;  // what an undo or redo did, in words ("" for other actions)

  static ActionResult Ok(ShowState s) { return {true, {}, {}, std::move(s), {}}; }
  static ActionResult Fail(std::string e, std::string d) {
    return {false, std::move(e), std::move(d), {}, {}};
  }
};

// Answer lines (without the line break).
std::string OkAnswer(const Json& id, const ShowState& state);
std::string OkAnswer(const Json& id);
// With "done" (what an undo or redo did) before the state when not empty.
std::string OkAnswer(const Json& id, const ShowState& state, std::string_view done);
std::string ErrorAnswer(const Json& id, std::string_view error, std::string_view detail);

// The test pattern range the processor takes.
inline constexpr int kFirstPattern = 1;
inline constexpr int kLastPattern = 111;

}  // namespace orv::remote
