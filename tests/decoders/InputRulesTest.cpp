// The derived parts of the record: DP split rule, expansion board rule and
// the crop source sizes kept from input timing replies.
#include "DecoderFixture.h"
#include "InputRules.h"

namespace orv::test {
namespace {

// --- DP split rule ------------------------------------------------------------

class DpSplitRule : public ::testing::Test {
 protected:
  DeviceState s;
};

TEST_F(DpSplitRule, FirstDpWholeMovesHalvesBackToThePort) {
  s.block.DPMDE[0] = 0;
  s.block.CHNLDATA[0].CHNLINPUT = 8;
  s.block.CHNLDATA[1].CHNLINPUT = 9;
  s.block.CHNLDATA[2].CHNLINPUT = 4;
  s.block.CHNLDATA[3].CHNLINPUT = 1;
  ApplyDpSplitRule(s);
  EXPECT_EQ(s.INPUT_TABLE[4].enabled, 1);
  EXPECT_EQ(s.INPUT_TABLE[8].enabled, 0);
  EXPECT_EQ(s.INPUT_TABLE[9].enabled, 0);
  EXPECT_EQ(s.block.CHNLDATA[0].CHNLINPUT, 4);
  EXPECT_EQ(s.block.CHNLDATA[1].CHNLINPUT, 4);
  EXPECT_EQ(s.block.CHNLDATA[2].CHNLINPUT, 4);
  EXPECT_EQ(s.block.CHNLDATA[3].CHNLINPUT, 1);
}

TEST_F(DpSplitRule, FirstDpSplitMovesThePortToItsLeftHalf) {
  s.block.DPMDE[0] = 1;
  s.block.CHNLDATA[0].CHNLINPUT = 4;
  s.block.CHNLDATA[1].CHNLINPUT = 9;
  ApplyDpSplitRule(s);
  EXPECT_EQ(s.INPUT_TABLE[4].enabled, 0);
  EXPECT_EQ(s.INPUT_TABLE[8].enabled, 1);
  EXPECT_EQ(s.INPUT_TABLE[9].enabled, 1);
  EXPECT_EQ(s.block.CHNLDATA[0].CHNLINPUT, 8);
  EXPECT_EQ(s.block.CHNLDATA[1].CHNLINPUT, 9);
}

TEST_F(DpSplitRule, SecondPortIsLeftAloneUnlessSlotSixIsDp) {
  s.block.INPUTINFO.INPUTSRC[6] = 6;
  s.block.DPMDE[1] = 1;
  s.INPUT_TABLE[6].enabled = 1;
  s.block.CHNLDATA[0].CHNLINPUT = 6;
  ApplyDpSplitRule(s);
  EXPECT_EQ(s.INPUT_TABLE[6].enabled, 1);
  EXPECT_EQ(s.INPUT_TABLE[10].enabled, 0);
  EXPECT_EQ(s.block.CHNLDATA[0].CHNLINPUT, 6);
  EXPECT_EQ(s.INPUT_TABLE[6].name, " EXT-1 ");
}

TEST_F(DpSplitRule, SecondDpWholeIsNamedAndCollectsItsHalves) {
  s.block.INPUTINFO.INPUTSRC[6] = 8;
  s.block.DPMDE[1] = 0;
  s.block.CHNLDATA[2].CHNLINPUT = 10;
  s.block.CHNLDATA[3].CHNLINPUT = 11;
  ApplyDpSplitRule(s);
  EXPECT_EQ(s.INPUT_TABLE[6].enabled, 1);
  EXPECT_EQ(s.INPUT_TABLE[6].name, " DP-2");
  EXPECT_EQ(s.INPUT_TABLE[10].enabled, 0);
  EXPECT_EQ(s.INPUT_TABLE[11].enabled, 0);
  EXPECT_EQ(s.block.CHNLDATA[2].CHNLINPUT, 6);
  EXPECT_EQ(s.block.CHNLDATA[3].CHNLINPUT, 6);
}

// --- Board rule ---------------------------------------------------------------

class BoardRule : public ::testing::Test {
 protected:
  void Board(int32_t source, int32_t type, uint8_t dual) {
    auto& b = s.block.COMPOSITEBOARD;
    b.CMPBOARDEXIST = 1;
    b.CMPBOARDIPSRC[0] = 100;
    b.CMPBOARDIPSRC[1] = 101;
    b.CMPBOARDIPSRC[2] = 102;
    b.CMPBOARDIPSRC[source] = type;
    b.CMPBOARDACTNOSRC = source;
    b.CMPBOARDACTHACT = 1920;
    b.CMPBOARDACTVACT = 1200;
    b.CMPBOARDACTFPS = 5994;
    b.CMPBOARDACTINTERLACE = 1;
    b.CMPBOARDACTDUAL = dual;
  }
  DeviceState s;
};

TEST_F(BoardRule, ActiveSourceBecomesSlotSix) {
  Board(1, 6, 0);
  EXPECT_TRUE(ApplyBoardRule(s));
  const InputReso& r = s.block.INPUTINFO.INPUTRESO[6];
  EXPECT_EQ(s.block.INPUTINFO.INPUTSRC[6], 6);
  EXPECT_EQ(r.INPUTRESOHACT, 1920);
  EXPECT_EQ(r.INPUTRESOVACT, 1200);
  EXPECT_EQ(r.INPUTRESOFPS, 5994);
  EXPECT_EQ(r.INPUTRESOILE, 1);
  EXPECT_EQ(s.block.DPMDE[1], 0);
  EXPECT_EQ(s.INPUT_TABLE[6].name, " HDMI-3");
  EXPECT_EQ(s.INPUT_TABLE[6].enabled, 1);
}

TEST_F(BoardRule, NamesOfTheHalvesByPortTypeAndSource) {
  struct Row {
    int32_t source, type;
    const char *whole, *left, *right;
  };
  const Row rows[] = {{0, 8, " DP-2", " DP2-L ", " DP2-R "},
                      {2, 8, " DP-2", " DP2-L ", " DP2-R "},
                      {0, 6, " DVI-3*", " DVI3*-L ", " DVI3*-R "},
                      {1, 6, " HDMI-3", " HDMI3-L ", " HDMI3-R "}};
  for (const Row& row : rows) {
    s = DeviceState();
    s.block.CHNLDATA[1].CHNLINPUT = 6;
    Board(row.source, row.type, 1);
    EXPECT_TRUE(ApplyBoardRule(s));
    EXPECT_EQ(s.INPUT_TABLE[6].name, row.whole) << row.source << "/" << row.type;
    EXPECT_EQ(s.INPUT_TABLE[10].name, row.left);
    EXPECT_EQ(s.INPUT_TABLE[11].name, row.right);
    EXPECT_EQ(s.INPUT_TABLE[6].enabled, 0);
    EXPECT_EQ(s.INPUT_TABLE[10].enabled, 1);
    EXPECT_EQ(s.INPUT_TABLE[11].enabled, 1);
    EXPECT_EQ(s.block.CHNLDATA[1].CHNLINPUT, 10);
    EXPECT_EQ(s.block.DPMDE[1], 1);
  }
}

TEST_F(BoardRule, WholeSourceCollectsLayersFromTheHalves) {
  Board(0, 8, 0);
  s.block.CHNLDATA[0].CHNLINPUT = 10;
  s.block.CHNLDATA[3].CHNLINPUT = 11;
  s.INPUT_TABLE[10].enabled = 1;
  EXPECT_TRUE(ApplyBoardRule(s));
  EXPECT_EQ(s.block.CHNLDATA[0].CHNLINPUT, 6);
  EXPECT_EQ(s.block.CHNLDATA[3].CHNLINPUT, 6);
  EXPECT_EQ(s.INPUT_TABLE[6].enabled, 1);
  EXPECT_EQ(s.INPUT_TABLE[10].enabled, 0);
}

TEST_F(BoardRule, OtherPortTypesChangeNeitherEnablingNorNames) {
  Board(0, 4, 1);
  s.block.CHNLDATA[0].CHNLINPUT = 6;
  EXPECT_TRUE(ApplyBoardRule(s));
  EXPECT_EQ(s.block.INPUTINFO.INPUTSRC[6], 4);
  EXPECT_EQ(s.block.DPMDE[1], 1);
  EXPECT_EQ(s.INPUT_TABLE[6].name, " EXT-1 ");
  EXPECT_EQ(s.INPUT_TABLE[10].enabled, 0);
  EXPECT_EQ(s.block.CHNLDATA[0].CHNLINPUT, 6);
}

TEST_F(BoardRule, NoBoardTakesNothingFromTheBlock) {
  Board(1, 8, 1);
  s.block.COMPOSITEBOARD.CMPBOARDEXIST = 0;
  s.block.INPUTINFO.INPUTSRC[6] = 3;
  EXPECT_TRUE(ApplyBoardRule(s));
  EXPECT_EQ(s.block.INPUTINFO.INPUTSRC[6], 3);
  EXPECT_EQ(s.block.DPMDE[1], 0);
}

TEST_F(BoardRule, ActiveSourceOutsideTheThreeIsRefused) {
  for (int32_t source : {3, -1, 1 << 30}) {
    s = DeviceState();
    Board(0, 8, 1);
    s.block.COMPOSITEBOARD.CMPBOARDACTNOSRC = source;
    s.block.INPUTINFO.INPUTSRC[6] = 4;
    EXPECT_FALSE(ApplyBoardRule(s)) << source;
    EXPECT_EQ(s.block.INPUTINFO.INPUTSRC[6], 4);
    EXPECT_EQ(s.block.DPMDE[1], 0);
    EXPECT_EQ(s.INPUT_TABLE[10].enabled, 0);
  }
}

// --- Crop source sizes from input timings ------------------------------------------

class CropSourceRule : public DecoderTest {
 protected:
  static std::vector<uint8_t> Timing(uint8_t slot, uint16_t w, uint16_t h, uint16_t fps = 6000,
                                     uint8_t interlaced = 0) {
    return {slot,
            0,
            static_cast<uint8_t>(w),
            static_cast<uint8_t>(w >> 8),
            static_cast<uint8_t>(h),
            static_cast<uint8_t>(h >> 8),
            static_cast<uint8_t>(fps),
            static_cast<uint8_t>(fps >> 8),
            interlaced,
            0};
  }
  static void SetCrop(int group, int layer, uint16_t x, uint16_t y, uint16_t w, uint16_t h,
                      uint16_t tw, uint16_t th) {
    auto s = State();
    Crop& c = s->CropOf(group, layer);
    c = Crop{1, 0, x, y, w, h, tw, th};
  }
  static Crop CropAt(int group, int layer) { return State()->CropOf(group, layer); }
};

void ExpectCrop(const Crop& c, uint16_t x, uint16_t y, uint16_t w, uint16_t h, uint16_t tw,
                uint16_t th) {
  EXPECT_EQ(c.HPOS, x);
  EXPECT_EQ(c.VPOS, y);
  EXPECT_EQ(c.HACT, w);
  EXPECT_EQ(c.VACT, h);
  EXPECT_EQ(c.HTOTAL, tw);
  EXPECT_EQ(c.VTOTAL, th);
}

TEST_F(CropSourceRule, TimingIsStoredAndEveryLayerOfTheSlotGetsTheSourceSize) {
  SetCrop(2, 1, 10, 20, 100, 50, 640, 480);
  Deliver(4, Timing(2, 1280, 720, 5994, 1));
  EXPECT_EQ(Log(), (Expected{Refresh(4), kAck}));
  {
    auto s = State();
    const InputReso& r = s->block.INPUTINFO.INPUTRESO[2];
    EXPECT_EQ(r.INPUTRESOIDX, 2);
    EXPECT_EQ(r.INPUTRESOHACT, 1280);
    EXPECT_EQ(r.INPUTRESOVACT, 720);
    EXPECT_EQ(r.INPUTRESOFPS, 5994);
    EXPECT_EQ(r.INPUTRESOILE, 1);
    EXPECT_EQ(s->LAST_TIMING_INPUT, 2);
  }
  for (int j = 0; j < 4; ++j) {
    const Crop c = CropAt(2, j);
    EXPECT_EQ(c.HTOTAL, 1280) << j;
    EXPECT_EQ(c.VTOTAL, 720) << j;
  }
  ExpectCrop(CropAt(2, 1), 10, 20, 100, 50, 1280, 720);  // still fits: kept
  EXPECT_EQ(CropAt(3, 0).HTOTAL, 0);                     // other groups untouched
}

TEST_F(CropSourceRule, SplitFirstDpHalvesWidthAndResetsCropsThatNoLongerFit) {
  {
    auto s = State();
    s->block.DPMDE[0] = 1;
  }
  SetCrop(8, 0, 1000, 0, 1000, 500, 3840, 2160);
  SetCrop(4, 2, 100, 100, 800, 600, 3840, 2160);
  SetCrop(4, 3, 0, 2000, 100, 161, 3840, 2160);
  Deliver(4, Timing(4, 3840, 2160));
  for (int j = 0; j < 4; ++j) {
    EXPECT_EQ(CropAt(4, j).HTOTAL, 1920) << j;
    EXPECT_EQ(CropAt(4, j).VTOTAL, 2160) << j;
    EXPECT_EQ(CropAt(8, j).HTOTAL, 1920) << j;
    EXPECT_EQ(CropAt(8, j).VTOTAL, 2160) << j;
  }
  ExpectCrop(CropAt(8, 0), 0, 0, 1920, 2160, 1920, 2160);
  ExpectCrop(CropAt(4, 2), 100, 100, 800, 600, 1920, 2160);
  ExpectCrop(CropAt(4, 3), 0, 0, 1920, 2160, 1920, 2160);  // y + h = 2161 > 2160
}

TEST_F(CropSourceRule, WholeFirstDpKeepsTheFullWidth) {
  Deliver(4, Timing(4, 3840, 2160));
  EXPECT_EQ(CropAt(4, 0).HTOTAL, 3840);
  EXPECT_EQ(CropAt(8, 0).HTOTAL, 0);
}

TEST_F(CropSourceRule, SplitSlotSixByPortAndBoardSource) {
  struct Row {
    int32_t s6;
    uint8_t board;
    int32_t source;
    int halfA, halfB;  // groups that get half the width; -1 = none
  };
  const Row rows[] = {
      {8, 0, 0, 9, 6}, {6, 1, 1, 9, 6}, {6, 1, 0, 10, 11}, {6, 0, 0, -1, -1}, {4, 1, 1, -1, -1}};
  for (const Row& row : rows) {
    {
      auto s = State();
      *s = DeviceState();
      s->block.DPMDE[1] = 1;
      s->block.INPUTINFO.INPUTSRC[6] = row.s6;
      s->block.COMPOSITEBOARD.CMPBOARDEXIST = row.board;
      s->block.COMPOSITEBOARD.CMPBOARDACTNOSRC = row.source;
    }
    Deliver(4, Timing(6, 1920, 1080));
    const std::string where = std::to_string(row.s6) + "/" + std::to_string(row.source);
    if (row.halfA < 0) {
      EXPECT_EQ(CropAt(6, 1).HTOTAL, 1920) << where;
      EXPECT_EQ(CropAt(9, 1).HTOTAL, 0) << where;
      EXPECT_EQ(CropAt(10, 1).HTOTAL, 0) << where;
      continue;
    }
    EXPECT_EQ(CropAt(row.halfA, 1).HTOTAL, 960) << where;
    EXPECT_EQ(CropAt(row.halfA, 1).VTOTAL, 1080) << where;
    EXPECT_EQ(CropAt(row.halfB, 1).HTOTAL, 960) << where;
    EXPECT_EQ(CropAt(row.halfB, 1).VTOTAL, 1080) << where;
    if (row.halfB != 6) {
      EXPECT_EQ(CropAt(6, 1).HTOTAL, 1920) << where;
    }
  }
}

TEST_F(CropSourceRule, ZeroSizeTimingLeavesCropWindowsAlone) {
  {
    auto s = State();
    s->block.DPMDE[0] = 1;
  }
  SetCrop(4, 0, 10, 10, 500, 400, 1920, 1080);
  SetCrop(8, 0, 0, 0, 960, 1080, 960, 1080);
  Deliver(4, Timing(4, 0, 0, 0));
  ExpectCrop(CropAt(4, 0), 10, 10, 500, 400, 1920, 1080);
  ExpectCrop(CropAt(8, 0), 0, 0, 960, 1080, 960, 1080);
  // The timing itself is recorded: the slot has no picture now.
  EXPECT_EQ(State()->block.INPUTINFO.INPUTRESO[4].INPUTRESOHACT, 0);
  EXPECT_EQ(Log(), (Expected{Refresh(4), kAck}));

  Deliver(4, Timing(4, 1920, 0));
  ExpectCrop(CropAt(4, 0), 10, 10, 500, 400, 1920, 1080);
}

TEST_F(CropSourceRule, SlotAboveSevenIsDroppedWithoutRefreshOrAck) {
  const auto before = BlockBytes();
  Deliver(4, Timing(8, 1920, 1080));
  Deliver(4, Timing(0xFF, 1920, 1080));
  EXPECT_TRUE(Log().empty());
  EXPECT_EQ(BlockBytes(), before);
  EXPECT_EQ(ReplyStatistics().outOfRange[4], 2u);
  EXPECT_EQ(ReplyStatistics().handled[4], 0u);
}

}  // namespace
}  // namespace orv::test
