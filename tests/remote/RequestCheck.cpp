#include "RequestCheck.h"

#include "Json.h"
#include "ShowCommands.h"

namespace orv::remote {

namespace {

// The fault of one answer line, with the id it must echo.
std::string AnswerFault(const std::string& answer, const Json& id) {
  if (answer.find('\n') != std::string::npos) return "line break in " + answer;
  if (!IsUtf8(answer)) return "not UTF-8: " + answer;
  const std::optional<Json> parsed = Json::Parse(answer);
  if (!parsed || !parsed->IsObject()) return "not a JSON object: " + answer;
  const Json* ok = parsed->Find("ok");
  if (ok == nullptr || !ok->IsBool()) return "no \"ok\": " + answer;
  const Json* echoed = parsed->Find("id");
  if (id.IsNull() ? echoed != nullptr : (echoed == nullptr || !(*echoed == id)))
    return "id not echoed: " + answer;
  return {};
}

}  // namespace

std::string RequestLineFault(std::string_view line) {
  const ParsedRequest p = ParseRequest(line);
  const std::string answer = p.request
                                 ? OkAnswer(p.request->id)
                                 : ErrorAnswer(p.failure.id, p.failure.error, p.failure.detail);
  const Json& id = p.request ? p.request->id : p.failure.id;
  if (std::string fault = AnswerFault(answer, id); !fault.empty()) return fault;
  // The writer turns any bytes into a readable text, never into a broken line.
  const std::string quoted = ErrorAnswer(nullptr, error::kBadRequest, line);
  if (std::string fault = AnswerFault(quoted, nullptr); !fault.empty()) return fault;
  // What the parser takes, the writer gives back as the same value.
  if (const std::optional<Json> value = Json::Parse(line)) {
    const std::string again = value->Dump();
    if (!IsUtf8(again)) return "written back not UTF-8: " + again;
    if (Json::Parse(again) != value) return "does not read back: " + again;
  }
  return {};
}

}  // namespace orv::remote
