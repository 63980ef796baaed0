#pragma once
// Which record fields each command that changes the processor carries, and
// whether a change made with it can be restored exactly. The change history
// reads this table; a page that sends a command takes part in undo without
// code of its own.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "WriteEvents.h"

namespace orv {

struct DeviceState;

// Bytes of the device state record, counted from the record's first byte.
struct RecordRange {
  std::size_t offset = 0;
  std::size_t size = 0;
};
using RecordRanges = std::vector<RecordRange>;

// Why a change cannot be undone. None: it can.
enum class Irreversible : uint8_t {
  None,
  PresetSave,       // a stored preset is overwritten
  PresetRecall,     // a recall replaces everything at once
  Take,             // program and preview were exchanged
  WriteAll,         // the whole image was written
  FactoryReset,     // the processor's own settings are gone
  EdidWrite,        // an input's EDID was rewritten
  EncoderSettings,  // the encoder keeps its settings outside the record
  CaptionUpload,    // a caption picture was sent or stored
  CaptionSettings,  // caption settings travel only in the command's arguments
  ClockSync,        // the processor's clock cannot be set back
  VgaAutomatic,     // an automatic adjustment or calibration
  LogoSlotStore,    // a stored logo slot was written or cleared
  PictureReset,     // every picture group was reset
  MosaicLayout,     // a mosaic layout re-arranges the windows, crops and logo
  ArgumentsOnly,    // the value travels only in the arguments (freeze, media, board)
};

// What the table says of one sent command.
struct ChangeSpec {
  bool recorded = false;  // false: a query, nothing to keep
  Irreversible barrier = Irreversible::None;
  RecordRanges ranges;  // the fields it carries (empty for a barrier)
  int reportType = -1;  // the reply data type that refreshes the pages showing them
  int reportArg = 0;
};

// Looks the command up; `sent.record` must be valid (inside the send observer).
ChangeSpec SpecOfSend(const SentCommand& sent);

// The fields a reply of this data type reported, after the decoder applied it.
RecordRanges RangesOfReply(const Reply& reply, const DeviceState& record);

// Every field the table names for any command: what a full read-back refreshes.
RecordRanges AllRecordedRanges(const DeviceState& record);

// The offset of one field of `record`, for tables and tests.
template <class Field>
RecordRange RangeOf(const DeviceState& record, const Field& field) {
  const auto* base = reinterpret_cast<const uint8_t*>(&record);
  const auto* at = reinterpret_cast<const uint8_t*>(&field);
  return {static_cast<std::size_t>(at - base), sizeof(Field)};
}

}  // namespace orv
