#pragma once
// The event line that tells show-control clients about a write the processor
// refused, answered with other values or left unanswered: the client whose
// request sent it gets it with that request's id, subscribed clients with a
// null id.
#include "Json.h"
#include "WriteEvents.h"

namespace orv::remote {

// {"event":"write","id":...,"type":2,"verdict":"refused","reason":"pixel budget"}
Json WriteOutcomeEvent(const WriteOutcome& outcome, const Json& id);

// The words of the event: "confirmed", "refused", "disagreed", "unconfirmed";
// "not given", "pixel budget", "out of range", "no board", "empty preset", "ordered".
const char* VerdictWord(WriteVerdict verdict);
const char* ReasonWord(RefusalReason reason);

}  // namespace orv::remote
