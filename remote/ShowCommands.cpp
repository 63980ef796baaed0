#include "ShowCommands.h"

#include <array>
#include <cmath>

#include "CodePage.h"

namespace orv::remote {

namespace {

// Windows are 16-bit device pixels on the wire.
constexpr int kMaxPosition = 65535;

struct IntArg {
  const char* key;
  int ShowRequest::*field;
  int min;
  int max;
  int offset;  // subtracted after the check (presets are numbered 1..10)
};

struct CommandRow {
  const char* name;
  Command command;
  std::array<IntArg, 5> ints;
  bool needsOn;
};

constexpr IntArg kNone{nullptr, nullptr, 0, 0, 0};
constexpr IntArg kLayerArg{"layer", &ShowRequest::layer, 0, 3, 0};

const CommandRow kCommands[] = {
    {"ping", Command::Ping, {kNone, kNone, kNone, kNone, kNone}, false},
    {"auth", Command::Auth, {kNone, kNone, kNone, kNone, kNone}, false},
    {"subscribe", Command::Subscribe, {kNone, kNone, kNone, kNone, kNone}, false},
    {"unsubscribe", Command::Unsubscribe, {kNone, kNone, kNone, kNone, kNone}, false},
    {"status", Command::Status, {kNone, kNone, kNone, kNone, kNone}, false},
    {"input",
     Command::Input,
     {kLayerArg, IntArg{"input", &ShowRequest::value, 0, 11, 0}, kNone, kNone, kNone},
     false},
    {"window",
     Command::Window,
     {kLayerArg, IntArg{"x", &ShowRequest::x, 0, kMaxPosition, 0},
      IntArg{"y", &ShowRequest::y, 0, kMaxPosition, 0},
      IntArg{"w", &ShowRequest::width, 1, kMaxPosition, 0},
      IntArg{"h", &ShowRequest::height, 1, kMaxPosition, 0}},
     false},
    {"layer",
     Command::Layer,
     {IntArg{"layer", &ShowRequest::layer, 1, 3, 0}, kNone, kNone, kNone, kNone},
     true},
    {"take", Command::Take, {kNone, kNone, kNone, kNone, kNone}, false},
    {"preset.load",
     Command::PresetLoad,
     {IntArg{"preset", &ShowRequest::value, 1, 10, 1}, kNone, kNone, kNone, kNone},
     false},
    {"preset.save",
     Command::PresetSave,
     {IntArg{"preset", &ShowRequest::value, 1, 10, 1}, kNone, kNone, kNone, kNone},
     false},
    {"template.load",
     Command::TemplateLoad,
     {IntArg{"template", &ShowRequest::value, 1, 10, 1}, kNone, kNone, kNone, kNone},
     false},
    {"freeze", Command::Freeze, {kNone, kNone, kNone, kNone, kNone}, true},
    {"testpattern", Command::TestPattern, {kNone, kNone, kNone, kNone, kNone}, true},
    {"undo", Command::Undo, {kNone, kNone, kNone, kNone, kNone}, false},
    {"redo", Command::Redo, {kNone, kNone, kNone, kNone, kNone}, false},
};

// Characters of a client's text quoted back in a detail.
constexpr std::size_t kQuotedChars = 64;

ParsedRequest Failure(Json id, const char* error, std::string detail) {
  ParsedRequest p;
  p.failure = {std::move(id), error, std::move(detail)};
  return p;
}

// A whole number in min..max. A fraction or a non-number is "bad request";
// a whole number outside the range, however large, is "out of range".
std::optional<ParsedRequest> IntegerArgument(const Json& id, const char* key, const Json& value,
                                             int min, int max, int& out) {
  const double v = value.AsNumber();
  if (!value.IsNumber() || std::trunc(v) != v)
    return Failure(id, error::kBadRequest, std::string("\"") + key + "\" must be an integer");
  if (v < min || v > max) {
    return Failure(
        id, error::kOutOfRange,
        std::string("\"") + key + "\" must be " + std::to_string(min) + ".." + std::to_string(max));
  }
  out = static_cast<int>(v);
  return std::nullopt;
}

}  // namespace

ParsedRequest ParseRequest(std::string_view line) {
  // Checked before anything of the line is echoed.
  if (!IsUtf8(line)) return Failure(nullptr, error::kBadRequest, "not UTF-8");
  std::string why;
  const std::optional<Json> parsed = Json::Parse(line, &why);
  if (!parsed) return Failure(nullptr, error::kBadRequest, "not JSON: " + why);
  if (!parsed->IsObject()) return Failure(nullptr, error::kBadRequest, "not a JSON object");
  const Json* idField = parsed->Find("id");
  Json id = idField != nullptr ? *idField : Json(nullptr);
  // Only scalars are echoed: an answer never grows with what a client sends.
  if (id.IsArray() || id.IsObject())
    return Failure(nullptr, error::kBadRequest, "id must be a number or a string");
  const Json* cmd = parsed->Find("cmd");
  if (cmd == nullptr || !cmd->IsString()) return Failure(id, error::kBadRequest, "no \"cmd\"");

  const CommandRow* row = nullptr;
  for (const CommandRow& r : kCommands) {
    if (cmd->AsString() == r.name) row = &r;
  }
  if (row == nullptr)
    return Failure(id, error::kUnknownCommand,
                   "unknown command: " + std::string(Utf16Prefix(cmd->AsString(), kQuotedChars)));

  ShowRequest request;
  request.command = row->command;
  request.id = id;
  for (const IntArg& arg : row->ints) {
    if (arg.key == nullptr) continue;
    const Json* v = parsed->Find(arg.key);
    if (v == nullptr)
      return Failure(id, error::kBadRequest, std::string("missing \"") + arg.key + "\"");
    int n = 0;
    if (auto failure = IntegerArgument(id, arg.key, *v, arg.min, arg.max, n)) return *failure;
    request.*arg.field = n - arg.offset;
  }
  if (row->needsOn) {
    const Json* on = parsed->Find("on");
    if (on == nullptr || !on->IsBool())
      return Failure(id, error::kBadRequest, "\"on\" must be true or false");
    request.on = on->AsBool();
  }
  if (row->command == Command::TestPattern) {
    request.value = kFirstPattern;
    if (const Json* p = parsed->Find("pattern")) {
      if (auto failure =
              IntegerArgument(id, "pattern", *p, kFirstPattern, kLastPattern, request.value))
        return *failure;
    }
  }
  if (row->command == Command::Auth) {
    const Json* token = parsed->Find("token");
    if (token == nullptr || !token->IsString())
      return Failure(id, error::kBadRequest, "\"token\" must be a string");
    request.token = token->AsString();
  }
  ParsedRequest result;
  result.request = std::move(request);
  return result;
}

namespace {

Json AnswerHead(const Json& id, bool ok) {
  Json j = Json::MakeObject();
  if (!id.IsNull()) j.Set("id", id);
  j.Set("ok", ok);
  return j;
}

}  // namespace

std::string OkAnswer(const Json& id, const ShowState& state) {
  Json j = AnswerHead(id, true);
  j.Set("state", ToJson(state));
  return j.Dump();
}

std::string OkAnswer(const Json& id, const ShowState& state, std::string_view done) {
  if (done.empty()) return OkAnswer(id, state);
  Json j = AnswerHead(id, true);
  j.Set("done", done);
  j.Set("state", ToJson(state));
  return j.Dump();
}

std::string OkAnswer(const Json& id) {
  return AnswerHead(id, true).Dump();
}

std::string ErrorAnswer(const Json& id, std::string_view error, std::string_view detail) {
  Json j = AnswerHead(id, false);
  j.Set("error", error);
  j.Set("detail", detail);
  return j.Dump();
}

}  // namespace orv::remote
