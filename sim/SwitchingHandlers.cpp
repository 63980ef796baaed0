// The processor's switching: TAKE with its fade, the sync settings and the
// expansion board's signal switch.
#include "DeviceModel.h"
#include "OutputAndPicture.h"
#include "TestPattern.h"

namespace orv::sim {

// TAKE is taken at once (ack); when the fade has run, program and preview
// have changed places, and the processor reports the new states (20) and
// event kind 3, which ends the host's wait and makes it read the layout back.
void DeviceModel::Take(const Command& c, Frames& out) {
  Ack(c.type, 0, out);
  auto finish = [this](Frames& done) {
    auto& pv = state_.block.PVWMODEINFO;
    std::swap(pv.PGMSTATE, pv.PVWSTATE);
    ReplyRecord(20, 0, pv, done);
    EventKind(3, {}, done);
  };
  const int ms = FadeMilliseconds(state_.block.PVWMODEINFO.PVWDTIME);
  if (ms == 0) {
    finish(out);
    return;
  }
  deferred_.push_back({ms, finish});
}

// [0] which setting (0 sync lock mode, 1 sync mode), [1] its value.
void DeviceModel::SetSync(const Command& c, Frames& out) {
  auto& sync = state_.block.MACHINESYNCMODE;
  if (c.b[0] == 0) {
    sync.SYNCLOCKMODE = c.b[1];
  } else if (c.b[0] == 1) {
    sync.SYNCMODE = c.b[1];
  } else {
    return Ack(c.type, 1, out);
  }
  Ack(c.type, 0, out);
}

// [0] 0: [1] becomes the board's active source (0 or 1); [0] 1: [1] is the
// port-switch rule 0..4. Without a board, or with a value out of range,
// nothing changes. The board's report (29) follows, which is what gives the
// host its signal-switch button back.
void DeviceModel::SignalSwitch(const Command& c, Frames& out) {
  auto& board = state_.block.COMPOSITEBOARD;
  const bool ok =
      board.CMPBOARDEXIST != 0 && ((c.b[0] == 0 && c.b[1] <= 1) || (c.b[0] == 1 && c.b[1] <= 4));
  if (ok && c.b[0] == 0) board.CMPBOARDACTNOSRC = c.b[1];
  if (ok && c.b[0] == 1) board.CMPBOARDMODE = c.b[1];
  Ack(c.type, ok ? 0 : 1, out, board.CMPBOARDEXIST != 0 ? kRefusedOutOfRange : kRefusedNoBoard);
  ReplyRecord(29, 0, board, out);
}

}  // namespace orv::sim
