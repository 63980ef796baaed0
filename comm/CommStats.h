#pragma once
// What the library counted: received and delivered replies and everything it
// dropped, by reason. A snapshot; each counter only grows.
#include <cstdint>

#include "FrameParser.h"

namespace orv {

struct CommStats {
  // Frame level (all links and discovery datagrams together).
  wire::ParseStats parse;
  // Reply level.
  uint64_t repliesDelivered = 0;  // handed to a registered reply function
  uint64_t repliesUnhandled = 0;  // valid, but no function registered for the type
  uint64_t wrongFrameKind = 0;    // a command, block or bulk frame arriving at the host
  uint64_t unknownReplyType = 0;  // data type above 31
  uint64_t wrongReplyLength = 0;  // length does not fit the data type
  uint64_t badIdentityText = 0;   // data type 27 whose text field has no NUL
  uint64_t unservedAddress = 0;   // reply from an address outside the address list
  // Send side.
  uint64_t framesSent = 0;    // frames queued on a link or a datagram
  uint64_t sendsRefused = 0;  // no link to send to, closed link, full queue, bad arguments
  uint64_t linksClosed = 0;   // links that ended (peer drop, error or close call)

  // Frames and replies dropped as malformed, whatever the reason.
  uint64_t TotalMalformed() const {
    return parse.badHeader + parse.badVersion + parse.badKind + parse.oversize + parse.badCrc +
           wrongFrameKind + unknownReplyType + wrongReplyLength + badIdentityText;
  }
};

}  // namespace orv
