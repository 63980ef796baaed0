#pragma once
// The 32 reply functions: each checks its payload, writes the device state
// record under its lock, keeps the derived parts consistent, asks the user
// interface to refresh, sends its follow-up requests and acknowledges.
#include <cstdint>

#include "CommLibrary.h"
#include "ParamBlock.h"

namespace orv {

// Registers one reply function per data type 0..31 with library function 2.
void RegisterReplyFunctions(CommLibrary& library);

// Runs the reply function of reply.dataType on the calling thread, exactly as
// the registered function would; data types above 31 are counted and dropped.
void HandleReply(const Reply& reply);

// The parameter-block apply shared by the full read-back (data type 2) and the
// project loader: rebuilds the input table from the image, installs it (the
// freeze state bytes 0x901..0x903 and the two gap bytes after LOGOVALID keep
// their values), asks for the VGA adjustment of every VGA slot and, unless
// CMPBOARD_PENDING is set, the timing of every slot with a signal; with the
// flag set it re-applies the image's expansion-board block instead. The flag
// is always clear when this returns. Refreshes nothing: the caller does.
void ApplyParamBlock(const ParamBlock& image);

// What happened to the replies of each data type. Replies whose payload does
// not have the size their decoder reads are dropped as short or long; replies
// whose index or count names nothing in the record are counted as out of range
// (whether they are dropped or partly applied depends on the data type).
// Replies that would change the record but come from a machine other than the
// connected device are dropped as from another machine.
struct ReplyStats {
  uint64_t handled[kReplyDataTypes]{};  // decoded (fully or partly applied)
  uint64_t droppedShort[kReplyDataTypes]{};
  uint64_t droppedLong[kReplyDataTypes]{};
  uint64_t outOfRange[kReplyDataTypes]{};
  uint64_t otherMachine[kReplyDataTypes]{};
  uint64_t unknownType = 0;

  uint64_t DroppedTotal() const;
};

ReplyStats ReplyStatistics();
void ResetReplyStatistics();

}  // namespace orv
