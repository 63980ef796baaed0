// The undo history against the recording library: what an undo and a redo
// send (type, arguments, payload) and write into the record, merging, barriers,
// the redo branch, the depth bound, outcomes, and the words of a change.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "ChangeHistory.h"
#include "CommandEncoder.h"
#include "DeviceState.h"
#include "FakeCommLibrary.h"

namespace orv {
namespace {

using test::FakeCommLibrary;
using test::TypedSend;
using Status = StepResult::Status;

// The fields the cases touch, at known values.
void LoadStart(DeviceState& s) {
  s.block.OUTPUTRESO = {10, 1920, 1080, 6000, 2200, 1125, 44, 5, 148, 36, 0, 0};
  for (int l = 0; l < kLayers; ++l) {
    s.block.CHNLDATA[l] = {1, 128, static_cast<uint8_t>(l), 0, 100, 60, 720, 405, 0};
    s.LAYER_DEFAULT[l].FULLSCREEN_REQ = 0;
    s.PICSET_FLAG[l] = 0;
  }
  s.block.CHNLDATA[1].HPOS = 1140;
  for (Keyer& k : s.block.KEYERINFO.KEYER) k = Keyer{};
  s.block.PVWMODEINFO.PVWDTIME = 2;
  for (PicSet& p : s.block.PICSET) p.BRIGHTNESS = 50;
  for (int32_t& f : s.FEATHER) f = 1;
  s.block.TASKEINFO.TASK[4] = {26, 12, 10, 18, 0, 0, 3, 0, 0};
  s.PICSET_BYTE0 = 1;
  s.PICSET_BYTE15 = 0;
}

class ChangeHistoryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetCommLibrary(&fake_);
    LoadStart(*State());
  }
  void TearDown() override { SetCommLibrary(nullptr); }

  std::unique_ptr<ChangeHistory> MakeHistory(std::size_t depth = 200) {
    ChangeHistory::Options options;
    options.depth = depth;
    options.clock = [this] { return nowMs_; };
    options.wallClock = [] { return int64_t{0}; };
    return std::make_unique<ChangeHistory>(options);
  }

  // A page's change: the record written and the command sent under one guard.
  static void Change(const std::function<void(DeviceState&)>& write, uint16_t type, uint8_t a = 0,
                     uint8_t b = 0) {
    auto s = State();
    write(*s);
    SendCommand(type, a, b);
  }

  TypedSend Last() { return fake_.LastTyped().value_or(TypedSend{}); }

  FakeCommLibrary fake_;
  int64_t nowMs_ = 0;
};

struct UndoCase {
  const char* name;
  uint16_t type;
  uint8_t a;
  uint8_t b;
  std::function<void(DeviceState&)> write;
  std::function<long(const DeviceState&)> field;  // one field the change moves
};

// Undo sends exactly what a send of the old values sent, redo what the
// change sent, and each leaves the record holding those values.
TEST_F(ChangeHistoryTest, UndoSendsTheBeforeBytesWithTheSameTypeAndArgumentsAndRedoTheAfter) {
  const std::vector<UndoCase> cases = {
      {"layer window", SET_LAYER_WINDOW, 1, 0,
       [](DeviceState& s) { s.block.CHNLDATA[1].HPOS = 420, s.block.CHNLDATA[1].VPOS = 450; },
       [](const DeviceState& s) { return long{s.block.CHNLDATA[1].HPOS}; }},
      {"layer input", SET_LAYER_INPUT, 2, 0,
       [](DeviceState& s) { s.block.CHNLDATA[2].CHNLINPUT = 1; },
       [](const DeviceState& s) { return long{s.block.CHNLDATA[2].CHNLINPUT}; }},
      {"PIP on/off", SET_LAYER_ONOFF, 0, 0,
       [](DeviceState& s) { s.block.CHNLDATA[1].CHNLONOFF = 0; },
       [](const DeviceState& s) { return long{s.block.CHNLDATA[1].CHNLONOFF}; }},
      {"output timing", SET_OUTPUT_TIMING, 0, 0,
       [](DeviceState& s) { s.block.OUTPUTRESO.HRESO = 640, s.block.OUTPUTRESO.VRESO = 2160; },
       [](const DeviceState& s) { return long{s.block.OUTPUTRESO.VRESO}; }},
      {"picture", SET_PICTURE, 0, 0,
       [](DeviceState& s) { s.PicSetOf(InputGroupOfLayer(s, 0), 0).BRIGHTNESS = 70; },
       [](const DeviceState& s) {
         return long{s.block.PICSET[GroupLayerIndex(InputGroupOfLayer(s.block, 0), 0)].BRIGHTNESS};
       }},
      {"transition time", SET_TRANSITION_TIME, 0, 0,
       [](DeviceState& s) { s.block.PVWMODEINFO.PVWDTIME = 6; },
       [](const DeviceState& s) { return long{s.block.PVWMODEINFO.PVWDTIME}; }},
      {"feathering", SET_FEATHER, 3, 0, [](DeviceState& s) { s.FEATHER[4] = 3; },
       [](const DeviceState& s) { return long{s.FEATHER[4]}; }},
      {"task", SET_TASK, 4, 1, [](DeviceState& s) { s.block.TASKEINFO.TASK[4].HOUR = 20; },
       [](const DeviceState& s) { return long{s.block.TASKEINFO.TASK[4].HOUR}; }},
  };
  for (const UndoCase& c : cases) {
    SCOPED_TRACE(c.name);
    LoadStart(*State());
    // What the processor is sent for the old values, before any history exists.
    SendCommand(c.type, c.a, c.b);
    const TypedSend old = Last();
    const long oldValue = c.field(*State());
    auto history = MakeHistory();

    Change(c.write, c.type, c.a, c.b);
    const TypedSend changed = Last();
    const long newValue = c.field(*State());
    ASSERT_NE(oldValue, newValue);
    ASSERT_NE(old.bytes, changed.bytes);

    const std::size_t sends = fake_.TypedSends().size();
    EXPECT_EQ(history->Undo().status, Status::Done);
    ASSERT_EQ(fake_.TypedSends().size(), sends + 1) << "one send per undo";
    EXPECT_EQ(Last().type, c.type);
    EXPECT_EQ(Last().bytes, old.bytes);
    EXPECT_EQ(c.field(*State()), oldValue);

    EXPECT_EQ(history->Redo().status, Status::Done);
    EXPECT_EQ(Last().type, c.type);
    EXPECT_EQ(Last().bytes, changed.bytes);
    EXPECT_EQ(c.field(*State()), newValue);
    EXPECT_EQ(history->UndoSteps(), 1U) << "undo and redo sends are no new steps";

    const std::vector<ChangeLine> lines = history->Lines();
    ASSERT_EQ(lines.size(), 3U);
    EXPECT_EQ(lines[1].kind, LineKind::Undo);
    EXPECT_EQ(lines[2].kind, LineKind::Redo);
    EXPECT_EQ(lines[1].words[0].rfind("undo ", 0), 0U) << lines[1].words[0];
  }
}

struct MergeCase {
  const char* name;
  bool gesture;
  int64_t gapMs;
  uint8_t secondLayer;
  std::size_t steps;
};

TEST_F(ChangeHistoryTest, SendsOfOneValueInOneGestureOrCloseTogetherAreOneStep) {
  const std::vector<MergeCase> cases = {
      {"one drag, slow", true, 5000, 1, 1},
      {"typing, quick", false, 300, 1, 1},
      {"three edits, apart", false, 5000, 1, 3},
      {"another layer", true, 10, 2, 2},
  };
  for (const MergeCase& c : cases) {
    SCOPED_TRACE(c.name);
    LoadStart(*State());
    auto history = MakeHistory();
    const int32_t firstBefore = State()->block.CHNLDATA[1].HPOS;
    if (c.gesture) history->BeginGesture();
    for (int step = 1; step <= 3; ++step) {
      const uint8_t layer = step == 3 ? c.secondLayer : 1;
      Change([&](DeviceState& s) { s.block.CHNLDATA[layer].HPOS = 1000 + step; }, SET_LAYER_WINDOW,
             layer);
      nowMs_ += c.gapMs;
    }
    if (c.gesture) history->EndGesture();
    EXPECT_EQ(history->UndoSteps(), c.steps);
    while (history->Undo().status == Status::Done) {
    }
    EXPECT_EQ(State()->block.CHNLDATA[1].HPOS, firstBefore) << "before comes from the first send";
  }
}

TEST_F(ChangeHistoryTest, UndoStopsBeforeABarrierAndSaysWhy) {
  struct BarrierCase {
    uint16_t type;
    uint8_t a;
    uint8_t b;
    Irreversible why;
  };
  const std::vector<BarrierCase> cases = {
      {PRESET, 2, 3, Irreversible::PresetSave},
      {PRESET, 1, 3, Irreversible::PresetRecall},
      {TAKE, 0, 0, Irreversible::Take},
      {WRITE_ALL, 0, 0, Irreversible::WriteAll},
      {FACTORY_RESET, 0, 0, Irreversible::FactoryReset},
      {SET_EDID, 1, 0, Irreversible::EdidWrite},
      {CAPTION_A, 0, 0, Irreversible::CaptionUpload},
      {SET_TASK, 0, 0, Irreversible::ClockSync},
      {SET_VGA_ADJUST, 0, 1, Irreversible::VgaAutomatic},
      {SET_MOSAIC, 0, 1, Irreversible::MosaicLayout},
      {FREEZE, 1, 0, Irreversible::ArgumentsOnly},
  };
  for (const BarrierCase& c : cases) {
    SCOPED_TRACE(c.type);
    LoadStart(*State());
    auto history = MakeHistory();
    Change([](DeviceState& s) { s.block.CHNLDATA[1].HPOS = 10; }, SET_LAYER_WINDOW, 1);
    nowMs_ += 5000;
    SendCommand(c.type, c.a, c.b);
    nowMs_ += 5000;
    Change([](DeviceState& s) { s.block.CHNLDATA[1].HPOS = 20; }, SET_LAYER_WINDOW, 1);

    EXPECT_EQ(history->Undo().status, Status::Done);
    EXPECT_EQ(State()->block.CHNLDATA[1].HPOS, 10);
    const std::size_t sends = fake_.TypedSends().size() + fake_.BlockSends().size();
    const StepResult stopped = history->Undo();
    EXPECT_EQ(stopped.status, Status::Barrier);
    EXPECT_EQ(stopped.barrier, c.why);
    EXPECT_EQ(fake_.TypedSends().size() + fake_.BlockSends().size(), sends) << "nothing sent";
    EXPECT_EQ(State()->block.CHNLDATA[1].HPOS, 10) << "the change behind the barrier stays";
    const std::string message = stopped.Message(WordsLanguage::English);
    EXPECT_NE(message.find(IrreversibleWords(c.why, WordsLanguage::English)), std::string::npos)
        << message;
    EXPECT_EQ(history->Undo().status, Status::Barrier) << "and again, no silent skipping";
    EXPECT_EQ(history->Lines()[1].barrier, c.why);
  }
  LoadStart(*State());
  auto history = MakeHistory();
  SendCommand(PRESET, 2, 3);
  EXPECT_EQ(history->Undo().Message(WordsLanguage::English),
            "Undo stops before \"Preset 4 saved\": a stored preset cannot be restored");
}

TEST_F(ChangeHistoryTest, ANewChangeAfterUndoDropsTheRedoBranch) {
  auto history = MakeHistory();
  Change([](DeviceState& s) { s.block.CHNLDATA[1].HPOS = 10; }, SET_LAYER_WINDOW, 1);
  nowMs_ += 5000;
  Change([](DeviceState& s) { s.block.CHNLDATA[2].CHNLINPUT = 3; }, SET_LAYER_INPUT, 2);
  ASSERT_EQ(history->Undo().status, Status::Done);
  ASSERT_EQ(history->RedoSteps(), 1U);
  nowMs_ += 5000;
  Change([](DeviceState& s) { s.block.PVWMODEINFO.PVWDTIME = 7; }, SET_TRANSITION_TIME);
  EXPECT_EQ(history->RedoSteps(), 0U);
  EXPECT_EQ(history->Redo().status, Status::Nothing);
  EXPECT_EQ(history->UndoSteps(), 2U);
  EXPECT_EQ(State()->block.CHNLDATA[2].CHNLINPUT, 2) << "the dropped change stays undone";
}

TEST_F(ChangeHistoryTest, TheHistoryKeepsItsDepthAndUndoesThatFar) {
  constexpr std::size_t kDepth = 100;
  auto history = MakeHistory(kDepth);
  for (int n = 1; n <= 150; ++n) {
    Change([n](DeviceState& s) { s.block.CHNLDATA[1].HPOS = n; }, SET_LAYER_WINDOW, 1);
    nowMs_ += 5000;
  }
  EXPECT_EQ(history->UndoSteps(), kDepth);
  std::size_t undone = 0;
  while (history->Undo().status == Status::Done) ++undone;
  EXPECT_EQ(undone, kDepth);
  EXPECT_EQ(State()->block.CHNLDATA[1].HPOS, 50) << "the oldest kept change's before";
}

TEST_F(ChangeHistoryTest, OutcomesSetTheLineStateAndARefusedChangeLeavesTheHistory) {
  auto history = MakeHistory();
  Change([](DeviceState& s) { s.block.CHNLDATA[1].HPOS = 10; }, SET_LAYER_WINDOW, 1);
  nowMs_ += 5000;
  Change([](DeviceState& s) { s.block.OUTPUTRESO.HRESO = 8000; }, SET_OUTPUT_TIMING);
  const std::vector<ChangeLine> sent = history->Lines();
  ASSERT_EQ(sent.size(), 2U);
  EXPECT_EQ(sent[0].state, LineState::Pending);

  NotifyOutcome({sent[0].serial, SET_LAYER_WINDOW, WriteVerdict::Confirmed});
  NotifyOutcome(
      {sent[1].serial, SET_OUTPUT_TIMING, WriteVerdict::Refused, RefusalReason::PixelBudget});
  const std::vector<ChangeLine> settled = history->Lines();
  EXPECT_EQ(settled[0].state, LineState::Confirmed);
  EXPECT_EQ(settled[1].state, LineState::Refused);
  EXPECT_EQ(settled[1].reason, RefusalReason::PixelBudget);
  EXPECT_EQ(history->UndoSteps(), 1U) << "a refused change changed nothing to undo";
  EXPECT_EQ(history->Undo().status, Status::Done);
  EXPECT_EQ(Last().type, SET_LAYER_WINDOW);
  EXPECT_TRUE(history->Lines()[0].undone);
}

TEST_F(ChangeHistoryTest, ChangesReadInWordsInBothLanguages) {
  struct WordsCase {
    uint16_t type;
    uint8_t a;
    uint8_t b;
    std::function<void(DeviceState&)> write;
    const char* english;
    const char* chinese;
  };
  const std::vector<WordsCase> cases = {
      {SET_LAYER_WINDOW, 1, 0,
       [](DeviceState& s) {
         s.block.CHNLDATA[1].HPOS = 420;
         s.block.CHNLDATA[1].VPOS = 450;
       },
       "PIP-1 window 1140,60 720x405 \xE2\x86\x92 420,450 720x405",
       "PIP-1 窗口 1140,60 720x405 \xE2\x86\x92 420,450 720x405"},
      {SET_OUTPUT_TIMING, 0, 0,
       [](DeviceState& s) {
         s.block.OUTPUTRESO.HRESO = 640;
         s.block.OUTPUTRESO.VRESO = 2160;
       },
       "Output 1920x1080 60 Hz \xE2\x86\x92 640x2160 60 Hz",
       "输出 1920x1080 60 Hz \xE2\x86\x92 640x2160 60 Hz"},
      {SET_LAYER_INPUT, 2, 0, [](DeviceState& s) { s.block.CHNLDATA[2].CHNLINPUT = 1; },
       "PIP-2 input DVI-2 \xE2\x86\x92 HDMI-1", "PIP-2 输入 DVI-2 \xE2\x86\x92 HDMI-1"},
      {SET_KEYER, 0, 0, [](DeviceState& s) { s.block.KEYERINFO.KEYER[1].KEYERONOFF = 1; },
       "Keyer 2 off \xE2\x86\x92 on", "抠像 2 关 \xE2\x86\x92 开"},
      {SET_PICTURE, 0, 0,
       [](DeviceState& s) { s.PicSetOf(InputGroupOfLayer(s, 0), 0).BRIGHTNESS = 60; },
       "Main picture brightness 50 \xE2\x86\x92 60", "主画面 图像 亮度 50 \xE2\x86\x92 60"},
  };
  for (const WordsCase& c : cases) {
    SCOPED_TRACE(c.english);
    LoadStart(*State());
    auto history = MakeHistory();
    Change(c.write, c.type, c.a, c.b);
    const std::vector<ChangeLine> lines = history->Lines();
    ASSERT_EQ(lines.size(), 1U);
    EXPECT_EQ(lines[0].words[0], c.english);
    EXPECT_EQ(lines[0].words[1], c.chinese);
  }
}

}  // namespace
}  // namespace orv
