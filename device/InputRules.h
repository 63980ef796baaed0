#pragma once
// The rules that keep the derived parts of the record consistent with what
// the device reports: the input table (which inputs can be chosen and their
// names), the DP split, the expansion board and the crop source sizes.
// Each works on a record the caller holds locked.
#include <cstdint>

#include "DeviceState.h"

namespace orv {

// Step 3 (a, b) of the full read-back for one slot: entry `slot` enabled when
// its port type is 0..9; entries 6 and 7 named after their port type.
// Returns false when the slot's port type marks it absent.
bool ApplySlotPortType(DeviceState& s, int slot);

// DP split rule: DPMDE[0] for DP-1 and, when slot 6 is DP, DPMDE[1] for DP-2
// decide whether the whole port or its two halves can be chosen; layers on an
// input that disappears move to its replacement.
void ApplyDpSplitRule(DeviceState& s);

// Board rule on the record's own COMPOSITEBOARD block (already copied in).
// Returns false when the block names an active source outside 0..2; then
// nothing but the block itself is taken over.
bool ApplyBoardRule(DeviceState& s);

// One detected input timing for slot 0..7: the slot's INPUTRESO entry and the
// source size of every crop window fed by the slot. A crop window that no
// longer fits its source becomes the whole source. A size of zero (no signal)
// leaves the crop windows as they are. Returns false for a slot above 7.
struct InputTiming {
  uint8_t slot;
  uint16_t width;
  uint16_t height;
  uint16_t refresh;  // hundredths of a hertz
  uint8_t interlaced;
};
bool ApplyInputTiming(DeviceState& s, const InputTiming& timing);

}  // namespace orv
