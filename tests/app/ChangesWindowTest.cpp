// Undo and redo in the main window: against a virtual processor (a window
// dragged on the canvas, a slider pulled on the picture page, a preset save
// that undo stops before) and with key events (Ctrl+Z, Ctrl+Shift+Z, Ctrl+Y,
// and a text field that keeps its own Ctrl+Z); the changes list's toggle
// remembered in Info.ini.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "CCell.h"
#include "CGdipButton.h"
#include "CPictureCtrl.h"
#include "ChangesControl.h"
#include "ChangesPanel.h"
#include "CommandEncoder.h"
#include "DeviceState.h"
#include "Ini.h"
#include "MMainDlg.h"
#include "MPicSettingDlg.h"
#include "MainPageCells.h"
#include "MessageIds.h"
#include "Messages.h"
#include "ProcessorWindowFixture.h"
#include "RotatingLog.h"
#include "TestNet.h"
#include "oBitmapSlider.h"
#include "oSliderEdit.h"

namespace orv::test {
namespace {

using Status = StepResult::Status;

struct Window4 {
  int32_t x, y, w, h;
  bool operator==(const Window4&) const = default;
};

Window4 WindowOf(const ChannelData& c) {
  return {c.HPOS, c.VPOS, c.HACT, c.VACT};
}

class ChangesOnProcessor : public ProcessorWindowTest {
 protected:
  void SetUp() override {
    ProcessorWindowTest::SetUp();
    // No preview stream: the link falls quiet between the steps.
    sim::ProcessorConfig config = ProcessorAt(TestIp(41));
    config.previewOffered = false;
    ASSERT_NO_FATAL_FAILURE(StartProcessor(config));
    // The user picture mode, in which the picture page's sliders work.
    processor_->WithModel([](sim::DeviceModel& m) {
      m.image().PICCOMMSETT.PICMODE = 7;
      return 0;
    });
    Window().resize(1280, 728);
    ASSERT_NO_FATAL_FAILURE(ConnectAndReadBack());
    AwaitQuiet();
  }
  ChangesControl& Changes() { return *Window().Changes(); }
  Window4 ProcessorWindow(int layer) { return WindowOf(Image().CHNLDATA[layer]); }
  Window4 PanelWindow(int layer) { return WindowOf(State()->block.CHNLDATA[layer]); }
};

TEST_F(ChangesOnProcessor, ACanvasDragIsUndoneAndRedoneOnTheProcessor) {
  const Window4 before = ProcessorWindow(1);
  ASSERT_EQ(PanelWindow(1), before);

  MMainDlg& page = *Window().MainPage();
  CPictureCtrl* canvas = page.Canvas();
  const canvas::Rect cell = page.Cells()->Layer(1)->CanvasRect();
  const QPoint grab((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
  const QPoint drop = grab + QPoint(-40, 25);
  auto drag = [&](QPoint from, QPoint to) {
    QTest::mousePress(canvas, Qt::LeftButton, Qt::NoModifier, from);
    DeliverPostedMessages();
    for (int step = 1; step <= 10; ++step) QTest::mouseMove(canvas, from + (to - from) * step / 10);
    QTest::mouseRelease(canvas, Qt::LeftButton, Qt::NoModifier, to);
  };
  drag(grab, drop);
  ASSERT_TRUE(PumpUntil([&] { return !(ProcessorWindow(1) == before); }));
  AwaitQuiet();
  const Window4 moved = ProcessorWindow(1);
  EXPECT_EQ(moved.w, before.w) << "a move keeps the size";
  EXPECT_EQ(Changes().History().UndoSteps(), 1U) << "one drag, one step";

  EXPECT_EQ(Changes().Undo().status, Status::Done);
  ASSERT_TRUE(PumpUntil([&] { return ProcessorWindow(1) == before; }));
  AwaitQuiet();
  EXPECT_EQ(PanelWindow(1), before);
  const canvas::Rect shown = page.Cells()->Layer(1)->DeviceRect();
  EXPECT_EQ(shown.Width(), before.w);
  EXPECT_EQ(shown.left - page.Cells()->Layer(1)->Origin().x, before.x) << "the cell is back";

  EXPECT_EQ(Changes().Redo().status, Status::Done);
  ASSERT_TRUE(PumpUntil([&] { return ProcessorWindow(1) == moved; }));
  EXPECT_EQ(PanelWindow(1), moved);
  EXPECT_EQ(Sent(SET_LAYER_WINDOW), 3U) << "the drag, the undo, the redo";

  // The changes list shows the three, newest on top.
  Changes().SetPanelShown(true);
  ASSERT_TRUE(PumpUntil([&] { return Changes().Panel()->List()->topLevelItemCount() == 3; }));
  const QString top = Changes().Panel()->List()->topLevelItem(0)->text(1);
  EXPECT_TRUE(top.startsWith(QStringLiteral("redo PIP-1 window "))) << top.toStdString();

  // Two drags one right after the other are two steps: each drop is sent
  // inside its own gesture.
  const std::size_t sends = Sent(SET_LAYER_WINDOW);
  drag(drop, drop + QPoint(20, 0));
  ASSERT_TRUE(PumpUntil([&] { return Sent(SET_LAYER_WINDOW) == sends + 1; }));
  drag(drop + QPoint(20, 0), drop + QPoint(40, 0));
  ASSERT_TRUE(PumpUntil([&] { return Sent(SET_LAYER_WINDOW) == sends + 2; }));
  EXPECT_EQ(Changes().History().UndoSteps(), 3U);
}

TEST_F(ChangesOnProcessor, ASliderPullOnThePicturePageIsOneStepAndIsUndone) {
  QTest::mouseClick(Window().PageButton(0), Qt::LeftButton);
  DeliverPostedMessages();
  auto* picture = static_cast<MPicSettingDlg*>(Window().ColumnPage(0));
  const int group = InputGroupOfLayer(Image(), 0);
  const int index = GroupLayerIndex(group, 0);
  const int before = Image().PICSET[index].BRIGHTNESS;

  oBitmapSlider* slider = picture->Edit(MPicSettingDlg::kBrightness)->Slider();
  ASSERT_TRUE(slider->isEnabled());
  const int y = slider->height() / 2;
  QTest::mousePress(slider, Qt::LeftButton, {}, QPoint(slider->width() / 2, y));
  for (int x = slider->width() / 2; x < slider->width() - 2; x += 8) {
    QTest::mouseMove(slider, QPoint(x, y));
  }
  QTest::mouseRelease(slider, Qt::LeftButton, {}, QPoint(slider->width() - 2, y));
  DeliverPostedMessages();
  ASSERT_TRUE(PumpUntil([&] { return Image().PICSET[index].BRIGHTNESS != before; }));
  AwaitQuiet();
  ASSERT_GT(Sent(SET_PICTURE), 1U) << "the pull sent several values";
  EXPECT_EQ(Changes().History().UndoSteps(), 1U) << "one pull, one step";

  EXPECT_EQ(Changes().Undo().status, Status::Done);
  ASSERT_TRUE(PumpUntil([&] { return Image().PICSET[index].BRIGHTNESS == before; }));
  AwaitQuiet();
  EXPECT_EQ(static_cast<int>(picture->Edit(MPicSettingDlg::kBrightness)->Value()), before)
      << "the page re-read it";
}

// Undo sends old values back; on another processor they would overwrite
// what that one holds, so its steps go when the panel connects elsewhere
// (here: the built-in offline processor).
TEST_F(ChangesOnProcessor, ConnectingAnotherProcessorDropsTheUndoSteps) {
  const Window4 before = ProcessorWindow(1);
  {
    auto s = State();
    s->block.CHNLDATA[1].HPOS += 16;
  }
  SendCommand(SET_LAYER_WINDOW, 1);
  ASSERT_TRUE(PumpUntil([&] { return !(ProcessorWindow(1) == before); }));
  AwaitQuiet();
  const Window4 moved = ProcessorWindow(1);
  ASSERT_EQ(Changes().History().UndoSteps(), 1U);

  ASSERT_TRUE(Window().WorkOffline());
  ASSERT_TRUE(PumpUntil([&] { return Changes().History().UndoSteps() == 0; }));
  EXPECT_EQ(Changes().NoticeLine()->text().toStdString(),
            "Another processor is connected: undo starts afresh from here.");
  EXPECT_EQ(Changes().Undo().status, Status::Nothing);
  EXPECT_EQ(ProcessorWindow(1), moved) << "the first processor keeps what it was sent";
}

TEST_F(ChangesOnProcessor, UndoStopsBeforeAPresetSaveAndSaysWhy) {
  Changes().SetPanelShown(true);
  {
    auto s = State();
    s->block.PVWMODEINFO.PVWDTIME = 6;
    SendCommand(SET_TRANSITION_TIME);
  }
  Window().SavePresetKey(2);
  ASSERT_TRUE(PumpUntil([&] { return Sent(PRESET) == 1; }));
  AwaitQuiet();
  const std::size_t transitions = Sent(SET_TRANSITION_TIME);
  const std::size_t boxes = Boxes().size();  // the save's own question

  const StepResult stopped = Changes().Undo();
  EXPECT_EQ(stopped.status, Status::Barrier);
  EXPECT_EQ(stopped.barrier, Irreversible::PresetSave);
  const QLabel* notice = Changes().NoticeLine();
  EXPECT_FALSE(notice->isHidden());
  AwaitQuiet();
  EXPECT_EQ(Sent(SET_TRANSITION_TIME), transitions) << "nothing behind the save was undone";
  EXPECT_EQ(Image().PVWMODEINFO.PVWDTIME, 6);
  EXPECT_TRUE(notice->text().contains(QStringLiteral("Preset 3 saved")))
      << notice->text().toStdString();
  EXPECT_TRUE(notice->text().contains(QStringLiteral("a stored preset cannot be restored")));
  EXPECT_EQ(Changes().Panel()->Notice()->text(), notice->text());
  EXPECT_EQ(Boxes().size(), boxes) << "said in a line, not in a box";

  // Both languages: the list's words, states and the notice follow a switch.
  for (int chinese : {0, 1}) {
    SendMsg(&Window(), UM_LANGUAGE, chinese);
    DeliverPostedMessages();
    Changes().Undo();
    const std::string suffix = chinese ? "-zh.png" : "-en.png";
    SavePicture(*Changes().Panel(), ("changes-list" + suffix).c_str());
    SavePicture(Window(), ("changes-window" + suffix).c_str());
  }
  EXPECT_TRUE(Changes().NoticeLine()->text().contains(QStringLiteral("撤销停在")));
  EXPECT_EQ(Changes().Panel()->List()->topLevelItem(0)->text(1), QStringLiteral("保存场景 3"));
  SendMsg(&Window(), UM_LANGUAGE, 0);
  DeliverPostedMessages();
}

class ChangesKeys : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    Window().show();
    Window().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Window()));
  }
  ChangesControl& Changes() { return *Window().Changes(); }
  static void MoveLayer(int x) {
    auto s = State();
    s->block.CHNLDATA[1].HPOS = x;
    SendCommand(SET_LAYER_WINDOW, 1);
  }
  int32_t Hpos() { return State()->block.CHNLDATA[1].HPOS; }
};

TEST_F(ChangesKeys, CtrlZUndoesCtrlShiftZAndCtrlYRedoAndATextFieldKeepsItsOwn) {
  const int32_t start = Hpos();
  MoveLayer(start + 100);
  MoveLayer(start + 200);  // close together: typing into one field is one step
  ASSERT_EQ(Changes().History().UndoSteps(), 1U);

  struct Key {
    Qt::KeyboardModifiers modifiers;
    Qt::Key key;
    int32_t expected;
  };
  const Key keys[] = {{Qt::ControlModifier, Qt::Key_Z, start},
                      {Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Z, start + 200},
                      {Qt::ControlModifier, Qt::Key_Z, start},
                      {Qt::ControlModifier, Qt::Key_Y, start + 200}};
  for (const Key& k : keys) {
    const std::size_t sends = Library().TypedSendsOf(SET_LAYER_WINDOW).size();
    QTest::keyClick(&Window(), k.key, k.modifiers);
    EXPECT_EQ(Hpos(), k.expected);
    EXPECT_EQ(Library().TypedSendsOf(SET_LAYER_WINDOW).size(), sends + 1);
  }

  // A text field being edited keeps Ctrl+Z for its own undo.
  auto* field = new QLineEdit(&Window());
  field->show();
  field->setFocus();
  QTest::keyClicks(field, QStringLiteral("abc"));
  const std::size_t sends = Library().TypedSendsOf(SET_LAYER_WINDOW).size();
  QTest::keyClick(field, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(Hpos(), start + 200);
  EXPECT_EQ(Library().TypedSendsOf(SET_LAYER_WINDOW).size(), sends);
  EXPECT_TRUE(field->text().isEmpty()) << "the field undid its typing";
  delete field;

  // Every line, and each change of its state, went to the log beside the project.
  ASSERT_NE(Changes().Log(), nullptr);
  Changes().Log()->Flush();
  const std::string log = ReadFile(Changes().LogPath());
  EXPECT_NE(log.find("\tpending\tPIP-1 window "), std::string::npos) << log;
  EXPECT_NE(log.find("\tpending\tundo PIP-1 window "), std::string::npos) << log;
  EXPECT_NE(log.find("\tpending\tredo PIP-1 window "), std::string::npos) << log;
  EXPECT_NE(log.find("pending, undone\tPIP-1 window "), std::string::npos) << log;
}

TEST_F(ChangesKeys, TheChangesListIsShownAgainAfterARestart) {
  EXPECT_FALSE(Changes().PanelShown());
  QTest::mouseClick(Changes().ToggleButton(), Qt::LeftButton);
  EXPECT_TRUE(Changes().PanelShown());
  EXPECT_EQ(ReadSetting("Changes", "Shown", Settings()), "1");
  DestroyWindow();
  MakeWindow();
  EXPECT_TRUE(Window().Changes()->PanelShown());
  EXPECT_TRUE(Window().Changes()->ToggleButton()->isChecked());
  QTest::mouseClick(Window().Changes()->ToggleButton(), Qt::LeftButton);
  EXPECT_FALSE(Window().Changes()->PanelShown());
  EXPECT_EQ(ReadSetting("Changes", "Shown", Settings()), "0");
}

}  // namespace
}  // namespace orv::test
