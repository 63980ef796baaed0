// The EDID page in the main window: the bytes of Apply and Restore, the
// input list's rules, the guard against a slot the device has not named yet,
// and one run against the virtual processor over loopback with the real
// library, driven by mouse and keyboard.
#include <QApplication>
#include <QTest>
#include <chrono>
#include <memory>
#include <thread>

#include "AppTestSupport.h"
#include "CDropList.h"
#include "CGdipButton.h"
#include "CommandEncoder.h"
#include "ControlChannel.h"
#include "ControlId.h"
#include "DeviceState.h"
#include "MEdidDlg.h"
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

constexpr int kEdidPage = 7;

// The device image as a read-back leaves it: EDID slots named by their
// inputs, slot 6 a DP port split in two, slot 7 an enabled HDMI port.
void InstallReadBackState() {
  auto s = State();
  constexpr uint8_t kCodes[kEdidSlots] = {0, 1, 2, 3, 4, 6, 7};
  for (int e = 0; e < kEdidSlots; ++e) {
    s->block.EDIDINFO[e] = {kCodes[e], 0, 1920, 1080, 6000, 280, 45};
  }
  const int32_t ports[kInputSlots] = {4, 6, 4, 6, 8, 7, 8, 6};
  for (int i = 0; i < kInputSlots; ++i) s->block.INPUTINFO.INPUTSRC[i] = ports[i];
  s->block.DPMDE[1] = 1;
  s->INPUT_TABLE[6].enabled = 0;  // split: its halves are the inputs
  s->INPUT_TABLE[7].enabled = 1;
  s->IMAGE_FROM_DEVICE = 1;
}

class EdidPage : public ConnectedWindowTest {
 protected:
  MEdidDlg& Page() { return *static_cast<MEdidDlg*>(Window().ColumnPage(kEdidPage)); }
  oRealEdit* Edit(int id) { return Page().ControlAs<oRealEdit>(id); }
  CGdipButton* Button(int id) { return Page().ControlAs<CGdipButton>(id); }
  void Choose(int input) {
    const int at = Page().InputList()->FindByData(static_cast<uint32_t>(input));
    ASSERT_GE(at, 0) << input;
    SendMsg(&Page(), UM_LIST_SELECT, MEdidDlg::kInputList, at);
  }
  void Type(int editId, int value) {
    Edit(editId)->setText(QString::number(value));
    Edit(editId)->Commit(true);
  }
  std::vector<int> Listed() {
    std::vector<int> inputs;
    CDropList* list = Page().InputList()->List();
    for (int i = 0; i < list->GetCount(); ++i) {
      inputs.push_back(static_cast<int>(list->GetItemData(i)));
    }
    return inputs;
  }
};

TEST_F(EdidPage, ApplyWritesTheSlotAndSendsItsBytes) {
  struct Case {
    int input, slot;
    bool more;
    uint16_t storedFps;
    int typedWidth;  // 0: leave as shown
    uint16_t width, fps, hBlank;
    uint8_t mode;
  };
  const Case cases[] = {
      {7, 6, false, 6000, 1920, 1920, 6000, 280, 1},  // code 7 is slot 6
      {1, 1, false, 5994, 0, 1920, 5900, 280, 1},     // 59.94 shows 59, goes back as 5900
      {2, 2, true, 5000, 9000, 3840, 5000, 280, 2},   // typed width clamped; blanking sent
      {6, 5, false, 3000, 100, 240, 3000, 280, 1},
  };
  InstallReadBackState();
  Page().RefreshFromDevice();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.input);
    { State()->block.EDIDINFO[c.slot].FPS = c.storedFps; }
    Choose(c.input);
    if (Page().MoreMode() != c.more) Button(MEdidDlg::kMoreButton)->click();
    if (c.typedWidth != 0) Type(MEdidDlg::kHActiveEdit, c.typedWidth);
    EXPECT_EQ(Edit(MEdidDlg::kFpsEdit)->text(), QString::number(c.storedFps / 100));
    Library().ClearRecords();
    Button(MEdidDlg::kApplyButton)->click();
    const auto sent = Library().TypedSendsOf(SET_EDID);
    ASSERT_EQ(sent.size(), 1u);
    const auto& b = sent[0].bytes;
    EXPECT_EQ(b[0], c.input);
    EXPECT_EQ(b[1], c.mode);
    EXPECT_EQ(b[2] | b[3] << 8, c.width);
    EXPECT_EQ(b[6] | b[7] << 8, c.fps);
    EXPECT_EQ(b[8] | b[9] << 8, c.hBlank);
    EXPECT_EQ(b[12], 0x55);
    { EXPECT_EQ(State()->block.EDIDINFO[c.slot].HACT, c.width); }
    DeliverPostedMessages();
    EXPECT_TRUE(Window().Wait().Shown());
    Window().BusyOff();
    DeliverPostedMessages();
  }
}

TEST_F(EdidPage, RestoreSendsTheDefaultThenAsksForIt) {
  InstallReadBackState();
  Page().RefreshFromDevice();
  Choose(3);
  Library().ClearRecords();
  Button(MEdidDlg::kRestoreButton)->click();
  const auto sent = Library().TypedSends();
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(sent[0].type, SET_EDID);
  EXPECT_EQ(sent[0].bytes[0], 3);
  EXPECT_EQ(sent[0].bytes[1], 0);
  EXPECT_EQ(sent[1].type, GET_EDID);
  EXPECT_EQ(sent[1].bytes[0], 3);
}

// Before the device's image the slots all name DVI-1: Apply would reprogram
// the wrong input, so nothing goes out until the slot names the input.
TEST_F(EdidPage, NothingIsSentForASlotTheDeviceHasNotNamed) {
  Page().RefreshFromDevice();
  Choose(1);
  EXPECT_FALSE(Button(MEdidDlg::kApplyButton)->isEnabled());
  Library().ClearRecords();
  Page().Apply();
  Page().Restore();
  InstallReadBackState();
  { State()->block.EDIDINFO[3].INPUTSRC = 0; }  // a project's damaged slot
  Page().RefreshFromDevice();
  Choose(3);
  EXPECT_FALSE(Button(MEdidDlg::kRestoreButton)->isEnabled());
  Page().Apply();
  EXPECT_TRUE(Library().TypedSends().empty());
  Choose(2);
  EXPECT_TRUE(Button(MEdidDlg::kApplyButton)->isEnabled());
}

TEST_F(EdidPage, ListFollowsThePortsAndKeepsTheChoice) {
  InstallReadBackState();
  Page().RefreshFromDevice();
  // DP-2 on slot 6, split: listed although its entry is disabled; SDI never.
  EXPECT_EQ(Listed(), (std::vector<int>{0, 1, 2, 3, 4, 6, 7}));
  Choose(7);
  {
    auto s = State();
    s->block.DPMDE[1] = 0;
    s->block.INPUTINFO.INPUTSRC[3] = 9;  // a USB disk has no EDID
    s->INPUT_TABLE[7].enabled = 0;
  }
  Page().RefreshFromDevice();
  EXPECT_EQ(Listed(), (std::vector<int>{0, 1, 2, 4}));
  EXPECT_EQ(Page().SelectedInput(), 0);  // the chosen input left the list
  { EXPECT_EQ(State()->INPUT_TABLE[4].code, 3); }
}

TEST_F(EdidPage, DeviceValuesOutsideTheRangesLeaveTheEdits) {
  InstallReadBackState();
  {
    auto s = State();
    s->block.EDIDINFO[0] = {0, 0, 100, 1200, 65535, 300, 20};
  }
  Page().RefreshFromDevice();
  EXPECT_EQ(Edit(MEdidDlg::kHActiveEdit)->text(), QStringLiteral("240"));
  EXPECT_EQ(Edit(MEdidDlg::kVActiveEdit)->text(), QStringLiteral("1200"));
  EXPECT_EQ(Edit(MEdidDlg::kFpsEdit)->text(), QStringLiteral("20"));
}

// --- Against the virtual processor ---------------------------------------------

class EdidPageOnProcessor : public EdidPage {
 protected:
  void Start(const std::string& ip) {
    ASSERT_NO_FATAL_FAILURE(StartProcessor(ip));
    ASSERT_NO_FATAL_FAILURE(ConnectUntil([] { return State()->IMAGE_FROM_DEVICE != 0; }));
  }
  void Click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center()); }
  void TypeInto(oRealEdit* edit, const QString& text) {
    Click(edit);
    edit->selectAll();
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Return);
  }
};

TEST_F(EdidPageOnProcessor, ApplyIsAnsweredAndTheReportShown) {
  ASSERT_NO_FATAL_FAILURE(Start(test::TestIp(21)));
  Click(Window().PageButton(kEdidPage));
  ASSERT_TRUE(Page().isVisible());

  // HDMI-1 from the drop list, by mouse.
  CDropButton* list = Page().InputList();
  Click(list);
  ASSERT_TRUE(PumpUntil([&] { return list->PopupShown(); }));
  CDropList* entries = list->List();
  const int row = list->FindByData(1);
  ASSERT_GE(row, 0);
  QTest::mouseClick(entries->viewport(), Qt::LeftButton, {},
                    entries->visualItemRect(entries->item(row)).center());
  ASSERT_TRUE(PumpUntil([&] { return Page().SelectedInput() == 1; }));

  TypeInto(Edit(MEdidDlg::kHActiveEdit), QStringLiteral("1280"));
  TypeInto(Edit(MEdidDlg::kVActiveEdit), QStringLiteral("720"));
  TypeInto(Edit(MEdidDlg::kFpsEdit), QStringLiteral("50"));
  Click(Button(MEdidDlg::kApplyButton));
  ASSERT_TRUE(PumpUntil([&] { return !Boxes().empty(); }));
  EXPECT_EQ(Boxes().back().text, QStringLiteral("Edid Apply Ok"));

  const auto sets = Received(SET_EDID);
  ASSERT_EQ(sets.size(), 1u);
  const std::vector<uint8_t> head(sets[0].head.begin(), sets[0].head.begin() + 8);
  EXPECT_EQ(head, (std::vector<uint8_t>{1, 1, 0x00, 0x05, 0xD0, 0x02, 0x88, 0x13}));
  const EdidInfo device = processor_->Image().EDIDINFO[1];
  EXPECT_EQ(device.HACT, 1280);
  EXPECT_EQ(device.HBLANK, 160);  // the processor's reduced blanking, reported back
  ASSERT_TRUE(PumpUntil([&] { return State()->block.EDIDINFO[1].HBLANK == 160; }));
  ASSERT_TRUE(PumpUntil([&] { return !Window().Wait().Shown(); }));
  Click(Button(MEdidDlg::kMoreButton));
  ASSERT_TRUE(Page().MoreMode());
  EXPECT_EQ(Edit(MEdidDlg::kHBlankEdit)->text(), QStringLiteral("160"));
  EXPECT_TRUE(Edit(MEdidDlg::kHBlankEdit)->isVisible());
  SavePicture(Page(), "edid-more.png");

  // The processor refuses: the page says so and nothing changed there.
  EXPECT_EQ(sim::ExecuteControlLine(*processor_, "edid fail"), "ok");
  TypeInto(Edit(MEdidDlg::kHActiveEdit), QStringLiteral("1920"));
  Click(Button(MEdidDlg::kApplyButton));
  ASSERT_TRUE(PumpUntil([&] { return Boxes().size() == 2; }));
  EXPECT_EQ(Boxes().back().text, QStringLiteral("Edid Apply Failed"));
  EXPECT_FALSE(Window().Wait().Shown());
  EXPECT_EQ(processor_->Image().EDIDINFO[1].HACT, 1280);
  // The refused values do not stay on the page.
  EXPECT_TRUE(
      PumpUntil([&] { return Edit(MEdidDlg::kHActiveEdit)->text() == QStringLiteral("1280"); }));
}

}  // namespace
}  // namespace orv::test
