#include "WriteOutcomeEvent.h"

#include <iterator>

namespace orv::remote {

namespace {

constexpr const char* kVerdictWords[] = {"confirmed", "refused", "disagreed", "unconfirmed"};
constexpr const char* kReasonWords[] = {"not given", "pixel budget", "out of range",
                                        "no board",  "empty preset", "ordered"};

}  // namespace

const char* VerdictWord(WriteVerdict verdict) {
  const auto at = static_cast<std::size_t>(verdict);
  return at < std::size(kVerdictWords) ? kVerdictWords[at] : "unconfirmed";
}

const char* ReasonWord(RefusalReason reason) {
  const auto at = static_cast<std::size_t>(reason);
  return at < std::size(kReasonWords) ? kReasonWords[at] : "not given";
}

Json WriteOutcomeEvent(const WriteOutcome& outcome, const Json& id) {
  Json j = Json::MakeObject();
  j.Set("event", "write");
  j.Set("id", id);
  j.Set("type", static_cast<int>(outcome.type));
  j.Set("verdict", VerdictWord(outcome.verdict));
  j.Set("reason", ReasonWord(outcome.reason));
  return j;
}

}  // namespace orv::remote
