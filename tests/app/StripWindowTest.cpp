// The control strip in the main window against the recording library: input
// slot clicks and their rules, the inline rename, Load and Save, the signal
// switch and the port-switch rule, Lock Output, the layer lock and the
// loop-out frame.
#include <QTest>

#include "AppTestSupport.h"
#include "CGdipButton.h"
#include "CMyEdit.h"
#include "CommandEncoder.h"
#include "ControlId.h"
#include "DeviceState.h"
#include "MMainDlg.h"
#include "MMiscDlg.h"
#include "MainPageCells.h"
#include "MessageIds.h"
#include "Messages.h"
#include "PageTable.h"
#include "WaitBox.h"

namespace orv::test {
namespace {

class Strip : public MainWindowTest {
 protected:
  // A click where the operator would click: on whatever child is there,
  // passed on to the window when the child does not take it.
  void ClickAt(QPoint p, bool twice = false) {
    QWidget* target = Window().childAt(p);
    if (target == nullptr) target = &Window();
    const QPoint local = target->mapFrom(&Window(), p);
    if (twice) {
      QTest::mouseDClick(target, Qt::LeftButton, {}, local);
    } else {
      QTest::mouseClick(target, Qt::LeftButton, {}, local);
    }
  }
  QPoint SlotCentre(int slot) {
    const strip::SlotRect& r = Window().Strip().Layout().Slot(slot);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }
  void EnableInputs() {
    auto s = State();
    for (auto& e : s->INPUT_TABLE) e.enabled = 1;
  }
};

TEST_F(Strip, ASlotClickSwitchesTheCurrentLayersInputOnce) {
  EnableInputs();
  Library().ClearRecords();
  ClickAt(SlotCentre(2));
  EXPECT_EQ(State()->block.CHNLDATA[0].CHNLINPUT, 2);
  auto sends = Library().TypedSendsOf(SET_LAYER_INPUT);
  ASSERT_EQ(sends.size(), 1u);
  EXPECT_EQ(sends[0].bytes[0], 0);
  ClickAt(SlotCentre(2));  // already its input
  EXPECT_EQ(Library().TypedSendsOf(SET_LAYER_INPUT).size(), 1u);
  ClickAt(SlotCentre(5));  // never drawn, still chosen
  EXPECT_EQ(State()->block.CHNLDATA[0].CHNLINPUT, 5);
}

TEST_F(Strip, ALayerOnProgramKeepsItsInput) {
  EnableInputs();
  {
    auto s = State();
    s->block.PVWMODEINFO.PVWMODE = 1;
    s->block.PVWMODEINFO.PGMSTATE[0] = 1;
    s->block.CHNLDATA[0].CHNLINPUT = 0;
  }
  Library().ClearRecords();
  ClickAt(SlotCentre(3));
  EXPECT_EQ(State()->block.CHNLDATA[0].CHNLINPUT, 0);
  EXPECT_TRUE(Library().TypedSendsOf(SET_LAYER_INPUT).empty());
}

TEST_F(Strip, DoubleClickRenamesAPresetAndAnInputRemark) {
  EnableInputs();
  const QRect preset = Window().Button(strip::kPresetFirst + 2)->geometry();
  ClickAt(QPoint(preset.center().x(), preset.bottom() + 10), true);
  auto* edit = Window().findChild<CMyEdit*>();
  ASSERT_NE(edit, nullptr);
  ASSERT_TRUE(edit->isVisible());
  EXPECT_EQ(edit->text(), QStringLiteral("0-2"));
  edit->setText(QStringLiteral("Opening"));
  SendMsg(&Window(), UM_EDIT_KEY, 13);
  EXPECT_EQ(Window().Presets().Name(0, 2), "Opening");
  EXPECT_FALSE(edit->isVisible());

  const strip::SlotRect& slot = Window().Strip().Layout().Slot(1);
  ClickAt(QPoint(slot.left + 5, slot.bottom + 20), true);
  ASSERT_TRUE(edit->isVisible());
  edit->setText(QStringLiteral("Camera"));
  SendMsg(&Window(), UM_EDIT_KEY, 13);
  EXPECT_EQ(State()->INPUT_TABLE[1].label, "Camera");
}

TEST_F(Strip, LoadAndSaveNeedAPresetAndLoadNeedsData) {
  Library().ClearRecords();
  QTest::mouseClick(Window().Button(strip::kSave), Qt::LeftButton);
  QTest::mouseClick(Window().Button(strip::kLoad), Qt::LeftButton);
  EXPECT_TRUE(Boxes().empty());
  EXPECT_TRUE(Library().TypedSends().empty());

  QTest::mouseClick(Window().Button(strip::kPresetFirst + 4), Qt::LeftButton);
  QTest::mouseClick(Window().Button(strip::kLoad), Qt::LeftButton);
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].text, QStringLiteral("Preset is Invalid"));
  EXPECT_TRUE(Library().TypedSends().empty());

  // Templates always hold data: PRESET (0, n), GET_ALL and the wait box.
  QTest::mouseClick(Window().Button(strip::kTemplates), Qt::LeftButton);
  EXPECT_FALSE(Window().Button(strip::kSave)->isVisible());
  EXPECT_FALSE(Window().Button(strip::kPresetFirst + 4)->DisabledLook());
  QTest::mouseClick(Window().Button(strip::kLoad), Qt::LeftButton);
  DeliverPostedMessages();
  const auto sends = Library().TypedSends();
  ASSERT_EQ(sends.size(), 2u);
  EXPECT_EQ(sends[0].bytes[0], 0);
  EXPECT_EQ(sends[0].bytes[1], 4);
  EXPECT_EQ(sends[1].type, GET_ALL);
  EXPECT_TRUE(Window().Wait().Shown());
}

TEST_F(Strip, PresetFlagsGiveValidAndMarkedButtons) {
  {
    auto s = State();
    s->PRESET_FLAGS[1] = 1;
    s->PRESET_FLAGS[2] = 2;
  }
  Window().RefreshAfterReply(17, 0);
  DeliverPostedMessages();
  EXPECT_FALSE(Window().Button(strip::kPresetFirst + 1)->DisabledLook());
  EXPECT_EQ(Window().Button(strip::kPresetFirst + 2)->Marker(), 255);
  EXPECT_EQ(Window().Button(strip::kPresetFirst + 1)->Marker(), 0);
}

TEST_F(Strip, SignalSwitchAndPortSwitchRule) {
  { State()->block.COMPOSITEBOARD.CMPBOARDACTNOSRC = 0; }
  Library().ClearRecords();
  CGdipButton* button = Window().Button(strip::kSignalSwitch);
  button->show();
  QTest::mouseClick(button, Qt::LeftButton);
  auto sends = Library().TypedSends();
  ASSERT_EQ(sends.size(), 2u);
  EXPECT_EQ(sends[0].type, SIGNAL_SWITCH);
  EXPECT_EQ(sends[0].bytes[0], 0);
  EXPECT_EQ(sends[0].bytes[1], 1);
  EXPECT_EQ(sends[1].type, QUERY67);
  EXPECT_FALSE(button->isEnabled());
  Window().BoardRefresh();  // reply 29 gives it back
  DeliverPostedMessages();
  EXPECT_TRUE(button->isEnabled());

  { State()->block.COMPOSITEBOARD.CMPBOARDACTNOSRC = 7; }  // no such source
  Library().ClearRecords();
  QTest::mouseClick(button, Qt::LeftButton);
  EXPECT_TRUE(Library().TypedSendsOf(SIGNAL_SWITCH).empty());

  SendMsg(&Window(), UM_LIST_SELECT, strip::kPortSwitchList, 2);  // "Auto"
  EXPECT_EQ(State()->block.COMPOSITEBOARD.CMPBOARDMODE, 2);
  EXPECT_FALSE(button->isEnabled());
  SendMsg(&Window(), UM_LIST_SELECT, strip::kPortSwitchList, 1);
  EXPECT_TRUE(button->isEnabled());
}

TEST_F(Strip, LockOutputTakesEffectOnTheFirstClick) {
  SendMsg(&Window(), UM_PAGE_REQUEST, request::kMosaicMode, 1);
  CGdipButton* lock = Window().Button(strip::kLockOutput);
  ASSERT_TRUE(lock->isVisible());
  const CCell* area = Window().MainPage()->Cells()->Output(0);
  EXPECT_TRUE(area->IsFixed());
  QTest::mouseClick(lock, Qt::LeftButton);
  EXPECT_FALSE(lock->IsChecked());
  EXPECT_FALSE(area->IsFixed());
  QTest::mouseClick(lock, Qt::LeftButton);
  EXPECT_TRUE(area->IsFixed());
}

TEST_F(Strip, LayerLockRequestAndLoopOutFrame) {
  SendMsg(&Window(), UM_PAGE_REQUEST, request::kLockLayers, 1);
  EXPECT_TRUE(Window().LayersLocked());
  EXPECT_FALSE(Window().Button(strip::kPvwFirst + 2)->isEnabled());
  // A mode report while locked keeps the buttons off.
  Window().RefreshAfterReply(20, 0);
  DeliverPostedMessages();
  EXPECT_FALSE(Window().Button(strip::kPgmFirst + 2)->isEnabled());
  SendMsg(&Window(), UM_PAGE_REQUEST, request::kLockLayers, 0);
  EXPECT_TRUE(Window().Button(strip::kPgmFirst + 2)->isEnabled());

  SendMsg(&Window(), UM_PAGE_REQUEST, request::kLoopOutSlot, 3);
  const strip::SlotRect& r = Window().Strip().Layout().Slot(3);
  QWidget* loopOut = FindControl(&Window(), strip::kLoopOutGroup);
  ASSERT_NE(loopOut, nullptr);
  EXPECT_EQ(loopOut->x(), r.left - 16);
  EXPECT_EQ(loopOut->width(), r.right - r.left + 32);
  SendMsg(&Window(), UM_PAGE_REQUEST, request::kLoopOutSlot, 12);  // no such slot
  EXPECT_EQ(loopOut->x(), r.left - 16);
}

TEST_F(Strip, ProgramLayersDisableTheirButtonsInProgramPreviewMode) {
  {
    auto s = State();
    s->block.PVWMODEINFO.PVWMODE = 1;
    s->block.PVWMODEINFO.PGMSTATE[2] = 1;
    s->block.PVWMODEINFO.PVWSTATE[3] = 1;
  }
  Window().RefreshAfterReply(20, 0);
  DeliverPostedMessages();
  CGdipButton* pgm2 = Window().Button(strip::kPgmFirst + 2);
  EXPECT_FALSE(pgm2->isEnabled());
  EXPECT_TRUE(pgm2->IsChecked());
  EXPECT_TRUE(Window().Button(strip::kPvwFirst + 2)->DisabledLook());
  EXPECT_TRUE(Window().Button(strip::kPvwFirst + 3)->IsChecked());
  EXPECT_FALSE(Window().Button(strip::kLockOutput)->isVisible());
}

// The misc page's tabs open and close with the pages they lead to.
TEST_F(Strip, ProgramPreviewClosesTheKeyerAndTestPatternAlsoOnTheMiscTabRow) {
  CGdipButton* keyerTab = Window().MiscPage()->Tab(MMiscDlg::kKeyerTab);
  ASSERT_NE(keyerTab, nullptr);
  { State()->block.PVWMODEINFO.PVWMODE = 2; }
  Window().RefreshAfterReply(20, 0);
  DeliverPostedMessages();
  EXPECT_FALSE(keyerTab->isEnabled());
  EXPECT_FALSE(Window().MiscPage()->Tab(MMiscDlg::kTestPatternTab)->isEnabled());
  { State()->block.PVWMODEINFO.PVWMODE = 0; }
  SendMsg(&Window(), UM_PAGE_REQUEST, request::kPipLogoEnable, 0);
  EXPECT_TRUE(keyerTab->isEnabled());
  EXPECT_TRUE(Window().MiscPage()->Tab(MMiscDlg::kTestPatternTab)->isEnabled());
}

TEST_F(Strip, TopButtonsShowOnRequestAndHideAfterUse) {
  SendMsg(&Window(), UM_PAGE_REQUEST, request::kTopButtons, 1);
  CGdipButton* top1 = Window().Button(strip::kTopFirst + 1);
  ASSERT_TRUE(top1->isVisible());
  SavePicture(Window(), "strip-top-buttons.png");
  QTest::mouseClick(top1, Qt::LeftButton);
  DeliverPostedMessages();
  for (int i = 0; i < 4; ++i) EXPECT_FALSE(Window().Button(strip::kTopFirst + i)->isVisible());
  EXPECT_EQ(Window().MainPage()->CurrentLayer(), 1);
}

}  // namespace
}  // namespace orv::test
