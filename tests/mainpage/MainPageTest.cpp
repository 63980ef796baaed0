// The main page on its own, under a recording main window: start state,
// the Ctrl+wheel rule, activation and the z-order timer, the stored window
// of a moved layer, the TOP-button timer, and record values from outside
// the tables.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include <QApplication>
#include <QWheelEvent>

#include "CPictureCtrl.h"
#include "CommandEncoder.h"
#include "DeviceState.h"
#include "FakeCommLibrary.h"
#include "MMainDlg.h"
#include "MainPageCells.h"
#include "MainPagePreview.h"
#include "MessageIds.h"
#include "RecordingWindow.h"
#include "Timers.h"

namespace orv::test {
namespace {

using canvas::Rect;

class MainPage : public ::testing::Test {
 protected:
  void SetUp() override {
    { *State() = DeviceState(); }
    SetManualTimers(true);
    SetCommLibrary(&library);
    main.resize(1200, 800);
    page = new MMainDlg(&main);
    page->resize(1200, 800);
    ASSERT_TRUE(page->Create());
    main.Take();
  }
  void TearDown() override {
    delete page;
    DeliverPostedMessages();
    SetCommLibrary(nullptr);
    SetManualTimers(false);
  }
  CCell* Layer(int i) const { return page->Cells()->Layer(i); }
  void Wheel(Qt::KeyboardModifiers keys, Qt::MouseButtons buttons, int delta) {
    QWheelEvent e(QPointF(50, 50), QPointF(50, 50), QPoint(), QPoint(0, delta), buttons, keys,
                  Qt::NoScrollPhase, false);
    QApplication::sendEvent(page, &e);
  }
  std::vector<TypedSend> Sends(uint16_t type) const {
    std::vector<TypedSend> out;
    for (const auto& s : library.TypedSends()) {
      if (s.type == type) out.push_back(s);
    }
    return out;
  }

  FakeCommLibrary library;
  RecordingWindow main;
  MMainDlg* page = nullptr;
};

TEST_F(MainPage, StartsWithOutputOneAndTheMainLayerAtItsDefault) {
  const LayerDefault d = State()->LAYER_DEFAULT[0];
  EXPECT_EQ(Layer(0)->DeviceRect(), (Rect{125 + d.x, 198 + d.y, 125 + d.x + d.w, 198 + d.y + d.h}));
  EXPECT_FALSE(Layer(0)->IsHidden());
  for (int i = 1; i < 4; ++i) EXPECT_TRUE(Layer(i)->IsHidden());
  EXPECT_FALSE(page->Cells()->Output(0)->IsHidden());
  for (int k = 1; k < 4; ++k) EXPECT_TRUE(page->Cells()->Output(k)->IsHidden());
  EXPECT_TRUE(page->Cells()->Output(0)->IsFixed());
  EXPECT_TRUE(page->Canvas()->Grid());
  EXPECT_EQ(page->Canvas()->geometry(), QRect(0, 0, 10000, 10000));
}

TEST_F(MainPage, CtrlWheelZoomsOnlyWithExactlyCtrlAndOnlyInModeZero) {
  struct Step {
    int pvwMode;
    Qt::KeyboardModifiers keys;
    Qt::MouseButtons buttons;
    int delta;
    double zoom;
  };
  const Step steps[] = {
      {0, Qt::ControlModifier, Qt::NoButton, -120, 6.5},
      {0, Qt::ControlModifier | Qt::ShiftModifier, Qt::NoButton, -120, 6.5},
      {0, Qt::ControlModifier, Qt::LeftButton, -120, 6.5},
      {0, Qt::NoModifier, Qt::NoButton, -120, 6.5},
      {1, Qt::ControlModifier, Qt::NoButton, -120, 6.5},
      {0, Qt::ControlModifier, Qt::NoButton, 120, 6.0},
  };
  for (const Step& s : steps) {
    { State()->block.PVWMODEINFO.PVWMODE = static_cast<uint8_t>(s.pvwMode); }
    Wheel(s.keys, s.buttons, s.delta);
    EXPECT_DOUBLE_EQ(page->Cells()->Zoom(), s.zoom);
  }
  { State()->block.PVWMODEINFO.PVWMODE = 0; }
  // Down to 1.0, then 0.5, then back to 1.0 rather than 0.
  for (int i = 0; i < 10; ++i) Wheel(Qt::ControlModifier, Qt::NoButton, 120);
  EXPECT_DOUBLE_EQ(page->Cells()->Zoom(), 1.0);
  Wheel(Qt::ControlModifier, Qt::NoButton, 120);
  EXPECT_DOUBLE_EQ(page->Cells()->Zoom(), 0.5);
  Wheel(Qt::ControlModifier, Qt::NoButton, 120);
  EXPECT_DOUBLE_EQ(page->Cells()->Zoom(), 1.0);
  EXPECT_EQ(page->Canvas()->ScaleB(), (canvas::ScalePair{1.0, 1.0}));
}

TEST_F(MainPage, AClickedLayerIsOnTopUntilFiveSecondsAfterTheLastClick) {
  for (int i = 1; i < 4; ++i) page->ShowLayerCell(i, true);
  { State()->MAIN_LOGO_FLAG = 1; }
  SendMsg(page, UM_CELL_ACTIVATED, reinterpret_cast<intptr_t>(Layer(1)), 0);
  auto cells = page->Canvas()->Cells();
  EXPECT_EQ(cells.back(), Layer(1));
  EXPECT_EQ(page->CurrentLayer(), 1);
  EXPECT_EQ(State()->ACTIVE_LAYER, 1);
  EXPECT_EQ(State()->MAIN_LOGO_FLAG, 0);
  ASSERT_EQ(Sends(SET_LOGO).size(), 1u);
  EXPECT_EQ(Sends(SET_LOGO)[0].bytes[0], 3);
  const auto posted = main.Take();
  ASSERT_EQ(posted.size(), 2u);
  EXPECT_EQ(posted[0].id, UM_LAYER_SELECTED);
  EXPECT_EQ(posted[0].wParam, 1);
  EXPECT_EQ(posted[1].id, UM_LAYER_WINDOW);
  EXPECT_EQ(posted[1].wParam, 0x5AC);
  EXPECT_EQ(posted[1].lParam, 1);

  AdvanceManualTime(4000);
  SendMsg(page, UM_CELL_ACTIVATED, reinterpret_cast<intptr_t>(Layer(1)), 0);
  AdvanceManualTime(4000);
  EXPECT_EQ(page->Canvas()->Cells().back(), Layer(1)) << "restarted by the second click";
  AdvanceManualTime(1000);
  std::vector<CCell*> layers;
  for (CCell* c : page->Canvas()->Cells()) {
    if (!c->IsArea()) layers.push_back(c);
  }
  EXPECT_EQ(layers, (std::vector<CCell*>{Layer(0), Layer(1), Layer(2), Layer(3)}));
  EXPECT_FALSE(page->IsTimerActive(MMainDlg::kZOrderTimer));
}

TEST_F(MainPage, AMovedLayerStoresPositionZeroLeftOfItsAreaAndItsFullSize) {
  SendMsg(page, UM_CELL_ACTIVATED, reinterpret_cast<intptr_t>(Layer(0)), 0);
  page->Canvas()->PlaceFromDevice(Layer(0), {124, 300, 124 + 800, 300 + 450});
  SendMsg(page, UM_CELL_MOVED, reinterpret_cast<intptr_t>(Layer(0)), 0);
  const ChannelData c = State()->block.CHNLDATA[0];
  EXPECT_EQ(c.HPOS, 0);
  EXPECT_EQ(c.VPOS, 102);
  EXPECT_EQ(c.HACT, 800);
  EXPECT_EQ(c.VACT, 450);
  const auto sent = Sends(SET_LAYER_WINDOW);
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].bytes[0], 0);
  EXPECT_EQ(sent[0].bytes[5] | (sent[0].bytes[6] << 8), 800);
  EXPECT_TRUE(page->IsTimerActive(MMainDlg::kZOrderTimer));
}

TEST_F(MainPage, TopSettingShowsTheTopButtonsForFiveSeconds) {
  SendMsg(page, UM_SHOW_TOP_BUTTONS, 0, 0);
  auto posted = main.Take();
  ASSERT_EQ(posted.size(), 1u);
  EXPECT_EQ(posted[0].id, UM_PAGE_REQUEST);
  EXPECT_EQ(posted[0].wParam, 0x5C5);
  EXPECT_EQ(posted[0].lParam, 1);
  AdvanceManualTime(MMainDlg::kTimerMs);
  posted = main.Take();
  ASSERT_EQ(posted.size(), 1u);
  EXPECT_EQ(posted[0].lParam, 0);
  EXPECT_EQ(MMainDlg::TopSettingText(), QStringLiteral("TopSetting"));
}

TEST_F(MainPage, ASmallPageKeepsTheLastProgramPreviewArrangement) {
  {
    auto s = State();
    s->block.PVWMODEINFO.PVWMODE = 1;
    s->block.OUTPUTRESO.HRESO = 1920;
    s->block.OUTPUTRESO.VRESO = 1080;
  }
  SendMsg(page, UM_PVW_MODE_CHANGED);
  const canvas::ScalePair arranged = page->Canvas()->ScaleB();
  const Rect program = page->Cells()->ProgramPreviewArea(mainpage::Origin::Program1)->DeviceRect();
  EXPECT_TRUE(page->Canvas()->Halves());
  page->resize(300, 150);  // 2W/5 - 125 < 0 and H < 198
  SendMsg(page, UM_PVW_MODE_CHANGED);
  EXPECT_EQ(page->Canvas()->ScaleB(), arranged);
  EXPECT_EQ(page->Cells()->ProgramPreviewArea(mainpage::Origin::Program1)->DeviceRect(), program);
  EXPECT_EQ(page->Cells()->LastAppliedMode(), 1);
}

TEST_F(MainPage, RecordValuesFromOutsideTheTablesChangeNothing) {
  page->ShowLayerCell(3, true);
  const QString label = Layer(1)->Name();
  const Rect pip3 = Layer(3)->DeviceRect();
  {
    auto s = State();
    s->block.CHNLDATA[1].CHNLINPUT = 40;
    s->block.LOGOINFO.LOGOUSAGE = 1;
    s->LOGO_EDIT_ID = 9;
    s->block.MOSAICSETT.MOSAICMODE = 77;
  }
  page->RelabelLayer(1);
  EXPECT_EQ(Layer(1)->Name(), label);
  page->PlaceLayer(3);
  EXPECT_EQ(Layer(3)->DeviceRect(), pip3);
  { State()->block.PVWMODEINFO.PVWMODE = 9; }
  SendMsg(page, UM_PVW_MODE_CHANGED);
  EXPECT_EQ(page->Cells()->LastAppliedMode(), 0);
  EXPECT_FALSE(page->Canvas()->Halves());
  page->PlaceOutputAreas(8);
  EXPECT_EQ(page->Cells()->Output(1)->DeviceRect(), (Rect{2045, 198, 3965, 1278}));
}

// Records what the page asks of the preview; makes no video.
class RecordingPreview : public MainPagePreview {
 public:
  explicit RecordingPreview(std::vector<std::string>& calls) : calls_(calls) {}
  void StartContexts() override { calls_.push_back("start"); }
  void StopContexts() override { calls_.push_back("stop"); }
  CPictureCtrl::CellVideoFactory CellVideoFactory() override {
    calls_.push_back("factory");
    return {};
  }
  void RegisterCell(CCell* cell) override {
    calls_.push_back("register " + std::to_string(cell->ZKey()));
  }
  void CropLayer(int layer) override { calls_.push_back("crop " + std::to_string(layer)); }
  void SetPreviewSize(int code) override { calls_.push_back("size " + std::to_string(code)); }
  void RecreateRenderers() override { calls_.push_back("recreate"); }
  void ToggleVideoWindow() override { calls_.push_back("toggle"); }
  void FeedPacket(int, std::span<const uint8_t>) override {}

 private:
  std::vector<std::string>& calls_;
};

TEST_F(MainPage, ThePreviewSwitchRebuildsTheLayerCellsFromTheRecord) {
  std::vector<std::string> calls;
  page->SetPreview(std::make_unique<RecordingPreview>(calls));
  {
    auto s = State();
    s->REPLY1_FLAG = 1;
    s->block.CHNLDATA[2] = {1, 255, 1, 0, 100, 50, 640, 360, 0};
    s->block.CHNLDATA[1].CHNLONOFF = 0;
  }
  page->CheckPreviewFlag();
  EXPECT_TRUE(page->Canvas()->VideoEnabled());
  ASSERT_GE(calls.size(), 2u);
  EXPECT_EQ(calls[0], "start");
  EXPECT_EQ(calls[1], "factory");
  for (const char* step : {"register 0", "register 3", "crop 3"})
    EXPECT_NE(std::find(calls.begin(), calls.end(), step), calls.end()) << step;
  EXPECT_FALSE(Layer(2)->IsHidden());
  EXPECT_TRUE(Layer(1)->IsHidden());
  EXPECT_EQ(Layer(2)->Origin(), (canvas::Point{125, 198}));
  EXPECT_EQ(Layer(2)->DeviceRect(), (Rect{225, 248, 865, 608}));
  EXPECT_TRUE(Layer(2)->Name().startsWith(QStringLiteral("PIP-2 : ")));

  calls.clear();
  page->CheckPreviewFlag();
  EXPECT_TRUE(calls.empty()) << "no change of the flag, no rebuild";
  { State()->REPLY1_FLAG = 0; }
  page->CheckPreviewFlag();
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(calls[0], "stop");
  EXPECT_FALSE(page->Canvas()->VideoEnabled());
  page->SetPreview(nullptr);  // before `calls` goes
}

}  // namespace
}  // namespace orv::test
