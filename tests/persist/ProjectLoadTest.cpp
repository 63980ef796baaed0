#include <regex>

#include "Decoders.h"

#include "ProjectTestSupport.h"

namespace orv::test {
namespace {

struct RefreshLog {
  std::vector<std::pair<int, int>> calls;
  RefreshFunction Function() {
    return [this](int type, int arg) { calls.emplace_back(type, arg); };
  }
};

class RecordingSink : public NullReplySink {
 public:
  void RefreshAfterReply(int type, int arg) override { calls.emplace_back(type, arg); }
  std::vector<std::pair<int, int>> calls;
};

bool SameBytes(const ParamBlock& a, const ParamBlock& b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

TEST_F(ProjectTest, RoundTripOfEveryCarriedField) {
  SetBlock(RandomBlock(7));
  const std::string first = SaveAndRead("a.pro");
  const ParamBlock saved = Block();  // with the clamps applied

  // A record that differs from the saved one in every byte, with valid layer
  // inputs of its own.
  ParamBlock other = saved;
  auto* bytes = reinterpret_cast<uint8_t*>(&other);
  for (std::size_t i = 0; i < sizeof other; ++i) bytes[i] ^= 0xA5;
  for (int l = 0; l < kLayers; ++l) {
    other.CHNLDATA[l].CHNLINPUT = static_cast<uint8_t>((saved.CHNLDATA[l].CHNLINPUT + 5) % 12);
  }
  other.COMPOSITEBOARD.CMPBOARDEXIST = 0;
  SetBlock(other);

  RefreshLog log;
  ASSERT_TRUE(LoadProject(Path("a.pro"), log.Function()));
  const ParamBlock loaded = Block();
  // Saving what was loaded gives the same file: every key came back.
  EXPECT_EQ(SaveAndRead("b.pro"), first);

  for (int k = 0; k < 2; ++k) {
    EXPECT_EQ(loaded.KEYERINFO.KEYER[k].KEYERCHNL, saved.KEYERINFO.KEYER[k].KEYERCHNL);
    EXPECT_EQ(loaded.KEYERINFO.KEYER[k].KEYERREDH, saved.KEYERINFO.KEYER[k].KEYERREDH);
  }
  for (int e = 0; e < kEdidSlots; ++e) {
    EXPECT_EQ(std::memcmp(&loaded.EDIDINFO[e].HACT, &saved.EDIDINFO[e].HACT, 10), 0) << e;
    EXPECT_EQ(loaded.EDIDINFO[e].INPUTSRC, saved.EDIDINFO[e].INPUTSRC) << e;
  }
  EXPECT_EQ(loaded.PICCOMMSETT.GAMMA, 2.25f);
  EXPECT_EQ(loaded.PICSET[47].OPTION, saved.PICSET[47].OPTION);
  EXPECT_EQ(loaded.CROP[47].VTOTAL, saved.CROP[47].VTOTAL);
  EXPECT_EQ(loaded.TASKEINFO.TASK[9].OPTION, saved.TASKEINFO.TASK[9].OPTION);
  EXPECT_EQ(loaded.COMPOSITEBOARD.CMPBOARDACTINTERLACE, saved.COMPOSITEBOARD.CMPBOARDACTINTERLACE);
  // What the file does not carry keeps the record's value.
  EXPECT_EQ(loaded.MOSAICSETT.MOSAIC_OPT, other.MOSAICSETT.MOSAIC_OPT);
  EXPECT_EQ(loaded.LOGOINFO.LOGO_OPT, other.LOGOINFO.LOGO_OPT);
  EXPECT_EQ(loaded.FREEZE_STATE, other.FREEZE_STATE);
  EXPECT_EQ(loaded.DPMDE[2], other.DPMDE[2]);
  EXPECT_EQ(loaded.DPMDE[3], other.DPMDE[3]);
  EXPECT_EQ(log.calls, (std::vector<std::pair<int, int>>{{2, 0}}));
}

TEST_F(ProjectTest, LoadingAppliesTheImageLikeAFullReadBack) {
  {
    auto s = State();
    s->block.INPUTINFO.INPUTSRC[2] = 3;  // VGA
    s->block.INPUTINFO.INPUTSRC[5] = 3;
    s->block.INPUTINFO.INPUTSRC[0] = 4;
    for (auto& state : s->block.INPUTINFO.INPUTSTATE) state = 1;
  }
  SaveAndRead();
  SetBlock(ParamBlock{});
  fake_.ClearRecords();

  RefreshLog log;
  ASSERT_TRUE(LoadProject(Path("show.pro"), log.Function()));
  std::vector<int> vgaSlots;
  for (const TypedSend& send : fake_.TypedSendsOf(GET_VGA_ADJUST))
    vgaSlots.push_back(send.bytes[0]);
  EXPECT_EQ(vgaSlots, (std::vector<int>{2, 5}));
  // A project asks for no input timings: the device is not the source.
  EXPECT_TRUE(fake_.TypedSendsOf(GET_INPUT_TIMING).empty());
  EXPECT_EQ(State()->CMPBOARD_PENDING, 0);
  EXPECT_EQ(Block().INPUTINFO.INPUTSRC[2], 3);
  EXPECT_EQ(log.calls, (std::vector<std::pair<int, int>>{{2, 0}}));
}

TEST_F(ProjectTest, LoadingAppliesTheBoardBlock) {
  {
    auto s = State();
    CompositeBoard& board = s->block.COMPOSITEBOARD;
    board.CMPBOARDEXIST = 1;
    board.CMPBOARDACTNOSRC = 1;
    board.CMPBOARDIPSRC[0] = 6;
    board.CMPBOARDIPSRC[1] = 8;
    board.CMPBOARDACTDUAL = 1;
    board.CMPBOARDACTHACT = 3840;
    s->block.INPUTINFO.INPUTSRC[6] = 0;
  }
  SaveAndRead();
  SetBlock(ParamBlock{});
  ASSERT_TRUE(LoadProject(Path("show.pro"), [](int, int) {}));
  // Only the pending-board apply derives slot 6 from the board's source.
  const ParamBlock b = Block();
  EXPECT_EQ(b.INPUTINFO.INPUTSRC[6], 8);
  EXPECT_EQ(b.INPUTINFO.INPUTRESO[6].INPUTRESOHACT, 3840);
  EXPECT_EQ(b.DPMDE[1], 1);
  EXPECT_EQ(State()->CMPBOARD_PENDING, 0);
}

TEST_F(ProjectTest, WithoutACallbackTheInstalledSinkIsRefreshed) {
  SaveAndRead();
  RecordingSink sink;
  SetReplySink(&sink);
  const bool loaded = LoadProject(Path("show.pro"));
  SetReplySink(nullptr);
  EXPECT_TRUE(loaded);
  EXPECT_EQ(sink.calls, (std::vector<std::pair<int, int>>{{2, 0}}));
}

TEST_F(ProjectTest, AMissingFileChangesNothing) {
  SetBlock(RandomBlock(3));
  const ParamBlock before = Block();
  RefreshLog log;
  EXPECT_FALSE(LoadProject(Path("none.pro"), log.Function()));
  EXPECT_FALSE(LoadProject(folder_, log.Function()));
  EXPECT_TRUE(SameBytes(Block(), before));
  EXPECT_TRUE(log.calls.empty());
  EXPECT_TRUE(fake_.TypedSends().empty());
  EXPECT_EQ(State()->CMPBOARD_PENDING, 0);
}

TEST_F(ProjectTest, AMarkOnlyFileLoadsAndFindsNothing) {
  WriteBytes(Path("empty.pro"), "\xFF\xFE");
  const ParamBlock before = RandomBlock(4);
  // No key found: the image is the record as it was, applied as such (the
  // apply's own rules, such as the DP split of layer inputs, still run).
  SetBlock(before);
  {
    auto s = State();
    s->CMPBOARD_PENDING = 1;
    ApplyParamBlock(before);
  }
  const ParamBlock expected = Block();
  SetBlock(before);
  RefreshLog log;
  EXPECT_TRUE(LoadProject(Path("empty.pro"), log.Function()));
  EXPECT_TRUE(SameBytes(Block(), expected));
  EXPECT_EQ(log.calls.size(), 1u);
}

TEST_F(ProjectTest, AUtf16ProjectIsRead) {
  WriteBytes(Path("wide.pro"),
             "\xFF\xFE" + AsciiUtf16("[OUTPUTRESO]\r\nRESOINDEX=7\r\nHRESO=1234\r\n"));
  ASSERT_TRUE(LoadProject(Path("wide.pro"), [](int, int) {}));
  const ParamBlock b = Block();
  EXPECT_EQ(b.OUTPUTRESO.RESOINDEX, 7);
  EXPECT_EQ(b.OUTPUTRESO.HRESO, 1234);
}

TEST_F(ProjectTest, ACutShortFileLoadsWhatItHas) {
  SetBlock(RandomBlock(11));
  State()->block.OUTPUTRESO.HRESO = 1920;
  const std::string bytes = SaveAndRead();
  const ParamBlock saved = Block();
  const auto cut = bytes.find("HRESO=19") + 8;
  WriteBytes(Path("cut.pro"), bytes.substr(0, cut));

  ParamBlock other = RandomBlock(12);
  other.OUTPUTRESO.VRESO = 777;
  SetBlock(other);
  ASSERT_TRUE(LoadProject(Path("cut.pro"), [](int, int) {}));
  const ParamBlock b = Block();
  EXPECT_EQ(b.OUTPUTRESO.RESOINDEX, saved.OUTPUTRESO.RESOINDEX);
  EXPECT_EQ(b.OUTPUTRESO.HRESO, 19);  // the cut value, unclamped
  EXPECT_EQ(b.OUTPUTRESO.VRESO, 777);
  EXPECT_EQ(b.KEYERINFO.KEYER[1].KEYERCHNL, other.KEYERINFO.KEYER[1].KEYERCHNL);
  EXPECT_EQ(b.COMPOSITEBOARD.CMPBOARDMODE, other.COMPOSITEBOARD.CMPBOARDMODE);
}

TEST_F(ProjectTest, AKeyOutOfOrderHidesEveryLaterKey) {
  {
    auto s = State();
    s->block.OUTPUTRESO.HRESO = 1920;
    s->block.OUTPUTRESO.VRESO = 1080;
    s->block.OUTPUTRESO.FPS = 6000;
  }
  std::string bytes = SaveAndRead();
  bytes = std::regex_replace(bytes, std::regex("HRESO=1920\r\nVRESO=1080\r\n"),
                             "VRESO=1080\r\nHRESO=1920\r\n");
  WriteBytes(Path("swapped.pro"), bytes);
  SetBlock(ParamBlock{});
  ASSERT_TRUE(LoadProject(Path("swapped.pro"), [](int, int) {}));
  const ParamBlock b = Block();
  EXPECT_EQ(b.OUTPUTRESO.HRESO, 1920);
  EXPECT_EQ(b.OUTPUTRESO.VRESO, 0);  // behind the search by then
  EXPECT_EQ(b.OUTPUTRESO.FPS, 0);    // and the file is spent
}

TEST_F(ProjectTest, GarbageValuesLoadWithoutRangeChecks) {
  SaveAndRead();
  std::string bytes = ReadBytes(Path("show.pro"));
  bytes = std::regex_replace(bytes, std::regex("=[^\r]*\r\n"), "=x1\r\n");
  bytes = std::regex_replace(bytes, std::regex("HRESO=x1"), "HRESO=70000");
  bytes = std::regex_replace(bytes, std::regex("RESOINDEX=x1"), "RESOINDEX=99");
  bytes = std::regex_replace(bytes, std::regex("GAMMA=x1"), "GAMMA=1e999");
  bytes = std::regex_replace(bytes, std::regex("HPOL=x1"), "HPOL=-1");
  bytes = std::regex_replace(bytes, std::regex("PICMODE=x1"), "PICMODE=  12junk");
  WriteBytes(Path("garbage.pro"), bytes);
  SetBlock(RandomBlock(5));
  ASSERT_TRUE(LoadProject(Path("garbage.pro"), [](int, int) {}));
  const ParamBlock b = Block();
  EXPECT_EQ(b.OUTPUTRESO.RESOINDEX, 99);
  EXPECT_EQ(b.OUTPUTRESO.HRESO, 70000 - 65536);  // truncated to 16 bits
  EXPECT_EQ(b.OUTPUTRESO.HPOL, 255);
  EXPECT_EQ(b.PICCOMMSETT.PICMODE, 12);
  EXPECT_TRUE(std::isinf(b.PICCOMMSETT.GAMMA));
  EXPECT_EQ(b.OUTPUTRESO.VRESO, 0);  // not a number
  EXPECT_EQ(b.KEYERINFO.KEYER[1].KEYERCHNL, 0);
  EXPECT_EQ(b.COMPOSITEBOARD.CMPBOARDACTINTERLACE, 0);
}

TEST_F(ProjectTest, RandomBytesNeverBreakTheLoader) {
  std::mt19937 random(99);
  const std::string good = SaveAndRead();
  for (int round = 0; round < 60; ++round) {
    std::string bytes;
    if (round % 3 == 0) {
      // A real file with random bytes sprinkled over it.
      bytes = good;
      for (int k = 0; k < 200; ++k) bytes[random() % bytes.size()] = static_cast<char>(random());
    } else {
      bytes.resize(random() % 9000);
      for (char& c : bytes) c = static_cast<char>(random());
      if (round % 3 == 1) bytes = "\xFF\xFE" + bytes;
    }
    WriteBytes(Path("random.pro"), bytes);
    int refreshes = 0;
    ASSERT_TRUE(LoadProject(Path("random.pro"), [&refreshes](int, int) { ++refreshes; }));
    EXPECT_EQ(refreshes, 1);
    for (int l = 0; l < kLayers; ++l) EXPECT_LT(Block().CHNLDATA[l].CHNLINPUT, kInputCodes);
  }
}

}  // namespace
}  // namespace orv::test
