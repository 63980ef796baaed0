#pragma once
// The device events of reply data type 24: what each kind stores and the
// actions that follow, in order. Kind = data[0], argument = data[1].
#include <cstdint>
#include <span>

namespace orv {

constexpr int kEventKinds = 13;  // kinds 0..12; higher kinds are only acknowledged

// Stores the event's fields in the record (takes the record's lock). `data`
// holds the 8 event bytes.
void StoreEvent(std::span<const uint8_t> data);

// Runs the event's actions: follow-up requests, pauses, the wait box and the
// page operations. Call without holding the record's lock (it pauses).
void RunEventActions(std::span<const uint8_t> data);

}  // namespace orv
