// The processor's TAKE with its fade, SET_SYNC and the board's signal switch.
#include <gtest/gtest.h>

#include "DeviceModel.h"
#include "FrameParser.h"
#include "WireFormat.h"

namespace orv::sim {
namespace {

class Switching : public ::testing::Test {
 protected:
  std::vector<uint16_t> Command(uint16_t type, std::vector<uint8_t> bytes) {
    Frames out;
    wire::FrameParser parser;
    parser.Feed(wire::EncodeFrame(9, wire::FrameKind::Command, type, bytes),
                [&](const wire::FrameView& f) { model.Handle(f, false, out); });
    return Types(out);
  }
  static std::vector<uint16_t> Types(const Frames& frames) {
    std::vector<uint16_t> types;
    for (const auto& f : frames) {
      wire::FrameParser parser;
      parser.Feed(f, [&](const wire::FrameView& v) { types.push_back(v.type); });
    }
    return types;
  }
  DeviceModel model{{127, 0, 0, 9}, {0x02, 0x51, 0x20, 0, 0, 9}};
};

TEST_F(Switching, TakeSwapsAfterTheFadeAndSendsTheEventThatEndsTheWait) {
  auto& pv = model.image().PVWMODEINFO;
  pv.PGMSTATE[0] = 1;
  pv.PVWSTATE[2] = 1;
  struct Case {
    int32_t fade;
    int ms;
  };
  for (const Case c : {Case{4, 500}, Case{7, 3000}, Case{1, 100}}) {
    pv.PVWDTIME = c.fade;
    EXPECT_EQ(Command(20, {0}), (std::vector<uint16_t>{23}));
    auto later = model.TakeDeferred();
    ASSERT_EQ(later.size(), 1u);
    EXPECT_EQ(later[0].ms, c.ms);
    const uint8_t before = pv.PGMSTATE[2];
    Frames done;
    later[0].finish(done);
    EXPECT_EQ(Types(done), (std::vector<uint16_t>{20, 24}));
    EXPECT_NE(pv.PGMSTATE[2], before);
  }
  pv.PVWDTIME = 0;  // no fade: all at once
  EXPECT_EQ(Command(20, {0}), (std::vector<uint16_t>{23, 20, 24}));
  EXPECT_TRUE(model.TakeDeferred().empty());
}

TEST_F(Switching, SyncSettingsAndTheBoardsSignalSwitch) {
  Command(21, {0, 3});
  Command(21, {1, 2});
  EXPECT_EQ(model.image().MACHINESYNCMODE.SYNCLOCKMODE, 3);
  EXPECT_EQ(model.image().MACHINESYNCMODE.SYNCMODE, 2);

  auto& board = model.image().COMPOSITEBOARD;
  board.CMPBOARDEXIST = 0;
  EXPECT_EQ(Command(33, {1, 2}), (std::vector<uint16_t>{23, 29}));
  EXPECT_NE(board.CMPBOARDMODE, 2);  // no board: nothing changes
  board.CMPBOARDEXIST = 1;
  Command(33, {1, 2});
  Command(33, {0, 1});
  EXPECT_EQ(board.CMPBOARDMODE, 2);
  EXPECT_EQ(board.CMPBOARDACTNOSRC, 1);
  Command(33, {1, 9});  // no such rule
  EXPECT_EQ(board.CMPBOARDMODE, 2);
}

}  // namespace
}  // namespace orv::sim
