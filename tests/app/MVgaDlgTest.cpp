// The VGA page in the main window: the bytes of each operation, the slot a
// layer's input is adjusted on, the access code and the lock, and one run
// against the virtual processor over loopback with the real library, driven
// by mouse and keyboard.
#include <QApplication>
#include <QLabel>
#include <QTest>
#include <chrono>
#include <memory>
#include <thread>

#include "AppTestSupport.h"
#include "CGdipButton.h"
#include "CSxGroupBox.h"
#include "CommandEncoder.h"
#include "ControlChannel.h"
#include "DeviceState.h"
#include "MVgaDlg.h"
#include "MessageIds.h"
#include "Messages.h"
#include "OrvComm.h"
#include "ReadBack.h"
#include "TestNet.h"
#include "VirtualProcessor.h"
#include "WaitBox.h"
#include "oRealEdit.h"

namespace orv::test {
namespace {

constexpr int kVgaPage = 8;

class VgaPage : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    auto s = State();
    s->block.INPUTINFO.INPUTSRC[4] = 3;
    s->block.INPUTINFO.INPUTSRC[6] = 3;
    s->block.CHNLDATA[0].CHNLINPUT = 6;
  }
  MVgaDlg& Page() { return *static_cast<MVgaDlg*>(Window().ColumnPage(kVgaPage)); }
  oRealEdit* Edit(int id) { return Page().ControlAs<oRealEdit>(id); }
  CGdipButton* Button(int id) { return Page().ControlAs<CGdipButton>(id); }
  // A switch flips on the mouse press, so it is pressed with the mouse.
  void Click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center()); }
  // Types into an edit and presses Enter, as the operator does.
  void TypeInto(int id, const QString& text) {
    oRealEdit* edit = Edit(id);
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Return);
    DeliverPostedMessages();
  }
  void Unlock() {
    Page().ShowLayer(0);
    TypeInto(MVgaDlg::kCodeEdit, QString::number(MVgaDlg::kAccessCode));
    Button(MVgaDlg::kEnterButton)->click();
  }
};

TEST_F(VgaPage, EachOperationSendsItsBytes) {
  Window().ShowPageByIndex(kVgaPage, false);
  Unlock();
  ASSERT_TRUE(Page().AdcUnlocked());
  struct Case {
    const char* what;
    std::function<void()> act;
    uint8_t op, arg;
    uint16_t followingRead;  // 0: none
  };
  const Case cases[] = {
      {"clock", [&] { TypeInto(MVgaDlg::kClockEdit, QStringLiteral("1400")); }, 0, 0, 0},
      {"red gain", [&] { TypeInto(MVgaDlg::kRedGainEdit, QStringLiteral("700")); }, 1, 0, 0},
      {"auto", [&] { Button(MVgaDlg::kAutoAdjustButton)->click(); }, 0, 1, GET_VGA_ADJUST},
      {"calibrate", [&] { Button(MVgaDlg::kCalibrateButton)->click(); }, 1, 1, 0},
      {"reset", [&] { Button(MVgaDlg::kResetButton)->click(); }, 1, 2, GET_VGA_ADJUST},
      {"ddc on", [&] { Click(Button(MVgaDlg::kDdcSwitch)); }, 2, 1, 0},
      {"ddc off", [&] { Click(Button(MVgaDlg::kDdcSwitch)); }, 2, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Library().ClearRecords();
    c.act();
    const auto sent = Library().TypedSends();
    ASSERT_EQ(sent.size(), c.followingRead != 0 ? 2u : 1u);
    const auto& b = sent[0].bytes;
    EXPECT_EQ(sent[0].type, SET_VGA_ADJUST);
    EXPECT_EQ(b[0], c.op);
    EXPECT_EQ(b[1], 6);  // the main layer's input slot
    EXPECT_EQ(b[2], c.arg);
    EXPECT_EQ(b[8], c.arg);
    EXPECT_EQ(b[21], c.arg);
    EXPECT_EQ(b[3] | b[4] << 8, 1400);
    EXPECT_EQ(b[15] | b[16] << 8, State()->VGA.W2);  // W2 sits after W1, W3, W5
    // A reset reads back the slot it reset, never slot 0.
    if (c.followingRead != 0) {
      EXPECT_EQ(sent[1].bytes[0], 6);
    }
    Window().BusyOff();
    DeliverPostedMessages();
  }
  EXPECT_EQ(State()->VGA.W2, 700);
}

TEST_F(VgaPage, LayerInputsMapToTheirSlots) {
  struct Case {
    int layer, input;
    int readSlot;  // -1: not a VGA port, nothing read
    bool mayUnlock;
  };
  const Case cases[] = {
      {0, 8, 4, true},   {0, 9, 4, true},  {0, 10, 6, true},
      {0, 11, 6, true},  {1, 6, 6, false},  // read, but only the main layer unlocks
      {0, 2, -1, false},                    // not the adjusted layer: nothing changes
      {0, 6, 6, true},   {1, 2, -1, true},  // another layer's input says nothing
      {0, 3, -1, false},                    // the adjusted layer left VGA
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.input);
    { State()->block.CHNLDATA[c.layer].CHNLINPUT = static_cast<uint8_t>(c.input); }
    Library().ClearRecords();
    Page().ShowLayer(c.layer);
    const auto reads = Library().TypedSendsOf(GET_VGA_ADJUST);
    if (c.readSlot < 0) {
      EXPECT_TRUE(reads.empty());
    } else {
      ASSERT_EQ(reads.size(), 1u);
      EXPECT_EQ(reads[0].bytes[0], c.readSlot);
      EXPECT_EQ(State()->VGA.ADJ_TARGET, c.readSlot);
    }
    EXPECT_EQ(Edit(MVgaDlg::kCodeEdit)->isEnabled(), c.mayUnlock);
    EXPECT_EQ(Button(MVgaDlg::kEnterButton)->isEnabled(), c.mayUnlock);
  }
}

TEST_F(VgaPage, TheCodeUnlocksAndHidingLocks) {
  Window().ShowPageByIndex(kVgaPage, false);
  Page().ShowLayer(0);
  auto* adc = Page().ControlAs<CSxGroupBox>(MVgaDlg::kAdcGroup);
  auto* ddc = Page().ControlAs<CSxGroupBox>(MVgaDlg::kDdcGroup);
  const int height = adc->height();
  const int ddcTop = ddc->y();
  TypeInto(MVgaDlg::kCodeEdit, QStringLiteral("4906"));
  Button(MVgaDlg::kEnterButton)->click();
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].text, QStringLiteral("Password Is Error"));
  EXPECT_FALSE(Page().AdcUnlocked());
  EXPECT_FALSE(Edit(MVgaDlg::kRedOffsetEdit)->isVisible());

  TypeInto(MVgaDlg::kCodeEdit, QStringLiteral("4905"));
  Button(MVgaDlg::kEnterButton)->click();
  EXPECT_TRUE(Page().AdcUnlocked());
  EXPECT_TRUE(Edit(MVgaDlg::kRedOffsetEdit)->isVisible());
  EXPECT_TRUE(Button(MVgaDlg::kCalibrateButton)->isVisible());
  EXPECT_EQ(adc->height(), height + MVgaDlg::kAdcGrowth);
  EXPECT_EQ(ddc->y(), ddcTop + MVgaDlg::kAdcGrowth);
  EXPECT_FALSE(Button(MVgaDlg::kEnterButton)->isEnabled());
  EXPECT_TRUE(Button(MVgaDlg::kLockSwitch)->isEnabled());

  Window().ShowPageByIndex(kVgaPage, true);  // hidden
  EXPECT_FALSE(Page().AdcUnlocked());
  Window().ShowPageByIndex(kVgaPage, false);
  EXPECT_FALSE(Edit(MVgaDlg::kRedOffsetEdit)->isVisible());
  EXPECT_EQ(adc->height(), height);
  EXPECT_EQ(ddc->y(), ddcTop);
  EXPECT_EQ(Edit(MVgaDlg::kCodeEdit)->text(), QStringLiteral("0"));
  EXPECT_TRUE(Button(MVgaDlg::kEnterButton)->isEnabled());

  // The lock switch locks too.
  Unlock();
  Click(Button(MVgaDlg::kLockSwitch));
  EXPECT_FALSE(Page().AdcUnlocked());
  EXPECT_FALSE(Button(MVgaDlg::kLockSwitch)->isEnabled());
}

// --- Against the virtual processor ---------------------------------------------

class VgaPageOnProcessor : public ConnectedWindowTest {
 protected:
  MVgaDlg& Page() { return *static_cast<MVgaDlg*>(Window().ColumnPage(kVgaPage)); }
  oRealEdit* Edit(int id) { return Page().ControlAs<oRealEdit>(id); }
  void Click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center()); }
  void TypeInto(int id, const QString& text) {
    oRealEdit* edit = Edit(id);
    Click(edit);
    edit->selectAll();
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Return);
  }
  std::vector<std::vector<uint8_t>> ReceivedHeads(uint16_t type) {
    std::vector<std::vector<uint8_t>> out;
    for (const auto& r : Received(type)) out.push_back(r.head);
    return out;
  }
};

TEST_F(VgaPageOnProcessor, AdjustmentsRoundTrip) {
  ASSERT_NO_FATAL_FAILURE(StartProcessor(test::TestIp(22)));
  // The main layer shows VGA-1 (slot 6), which carries a 1024 x 768 signal.
  processor_->WithModel([](sim::DeviceModel& m) {
    m.image().CHNLDATA[0].CHNLINPUT = 6;
    return 0;
  });
  processor_->SetSignal(6, true, 1024, 768, 6000);
  EXPECT_EQ(sim::ExecuteControlLine(*processor_, "adjust 300"), "ok");
  ASSERT_NO_FATAL_FAILURE(ConnectUntil([] { return State()->VGA.V1 == 1344; }));

  ASSERT_TRUE(Window().PageButton(kVgaPage)->isEnabled());
  Click(Window().PageButton(kVgaPage));
  ASSERT_TRUE(Page().isVisible());
  EXPECT_EQ(Edit(MVgaDlg::kClockEdit)->text(), QStringLiteral("1344"));
  EXPECT_TRUE(Page()
                  .ControlAs<QLabel>(MVgaDlg::kInputSourceLabel)
                  ->text()
                  .contains(QStringLiteral("VGA-1")));

  TypeInto(MVgaDlg::kClockEdit, QStringLiteral("1500"));
  TypeInto(MVgaDlg::kHPositionEdit, QStringLiteral("-5"));  // typed while 1500 is answered
  ASSERT_TRUE(PumpUntil([&] {
    return processor_->WithModel([](sim::DeviceModel& m) { return m.Vga(6).b1 == -5; });
  }));
  EXPECT_EQ(processor_->WithModel([](sim::DeviceModel& m) { return m.Vga(6).v1; }), 1500);

  TypeInto(MVgaDlg::kCodeEdit, QStringLiteral("4905"));
  Click(Page().ControlAs<CGdipButton>(MVgaDlg::kEnterButton));
  ASSERT_TRUE(Page().AdcUnlocked());
  SavePicture(Page(), "vga-unlocked.png");
  TypeInto(MVgaDlg::kBlueGainEdit, QStringLiteral("900"));
  ASSERT_TRUE(PumpUntil([&] {
    return processor_->WithModel([](sim::DeviceModel& m) { return m.Vga(6).w[5] == 900; });
  }));

  // The automatic adjustment ends later with its event: the wait box closes,
  // the page says so and shows the clock the processor found.
  Click(Page().ControlAs<CGdipButton>(MVgaDlg::kAutoAdjustButton));
  DeliverPostedMessages();
  EXPECT_TRUE(Window().Wait().Shown());
  ASSERT_TRUE(PumpUntil([&] { return !Boxes().empty(); }));
  EXPECT_EQ(Boxes().back().text, QStringLiteral("VGA Adjustment Ok"));
  EXPECT_FALSE(Window().Wait().Shown());
  ASSERT_TRUE(
      PumpUntil([&] { return Edit(MVgaDlg::kClockEdit)->text() == QStringLiteral("1344"); }));
  EXPECT_EQ(Edit(MVgaDlg::kHPositionEdit)->text(), QStringLiteral("0"));

  // A calibration the processor fails.
  EXPECT_EQ(sim::ExecuteControlLine(*processor_, "vga fail"), "ok");
  Click(Page().ControlAs<CGdipButton>(MVgaDlg::kCalibrateButton));
  ASSERT_TRUE(PumpUntil([&] { return Boxes().size() == 2; }));
  EXPECT_EQ(Boxes().back().text, QStringLiteral("VGA Adjustment Failed"));

  const auto sets = ReceivedHeads(SET_VGA_ADJUST);
  ASSERT_EQ(sets.size(), 5u);
  EXPECT_EQ(sets[0][1], 6);
  EXPECT_EQ(sets[0][3] | sets[0][4] << 8, 1500);
  EXPECT_EQ(sets[1][6], 0xFB);
  EXPECT_EQ(sets[2][0], 1);
  EXPECT_EQ(sets[2][19] | sets[2][20] << 8, 900);  // W6 last
  EXPECT_EQ(sets[3][0], 0);
  EXPECT_EQ(sets[3][2], 1);
  EXPECT_EQ(sets[4][0], 1);
  EXPECT_EQ(sets[4][2], 1);
}

}  // namespace
}  // namespace orv::test
