// The time and task page: its clock and task arithmetic in tables, its
// answers to out-of-range device values against the recording library, and
// one run against a virtual processor in which a scheduled task fires.
#include <QDateEdit>
#include <QTest>
#include <QTimeEdit>
#include <random>

#include "CDropList.h"
#include "CGdipButton.h"
#include "MTaskDlg.h"
#include "MessageIds.h"
#include "PageRun.h"
#include "PageTable.h"
#include "TaskRules.h"
#include "Timers.h"

namespace orv::test {
namespace {

using TaskPage = MainWindowTest;
using TaskRun = PageRun;

Task MakeTask(ClockFields t, int preset, int32_t option) {
  return {t[0], t[1], t[2], t[3], t[4], t[5], static_cast<uint8_t>(preset), 0, option};
}

void ShowTaskTab(OrvDlg& window) {
  SendMsg(&window, UM_PAGE_REQUEST, request::kMiscTab, 0, QVariantList{3, 1});
  DeliverPostedMessages();
}

void Click(QWidget* w) {
  QTest::mouseClick(w, Qt::LeftButton);
  DeliverPostedMessages();
}

TEST(TaskRules, TasksFromTheDeviceComeIntoRange) {
  struct Case {
    ClockFields read;
    ClockFields shown;
  };
  const Case cases[] = {
      {{26, 0, 40, 8, 30, 0}, {26, 1, 31, 8, 30, 0}},
      {{26, 13, 0, 25, 60, 99}, {26, 12, 1, 23, 59, 59}},
      {{24, 2, 31, 0, 0, 0}, {24, 2, 29, 0, 0, 0}},  // the month's last day, not 31
      {{25, 2, 29, 0, 0, 0}, {25, 2, 28, 0, 0, 0}},
      {{255, 12, 31, 23, 59, 59}, {255, 12, 31, 23, 59, 59}},
  };
  for (const Case& c : cases) {
    Task task = MakeTask(c.read, 0, 1);
    ClampTask(task);
    EXPECT_EQ(TaskTime(task), c.shown) << int{c.read[1]} << "/" << int{c.read[2]};
    EXPECT_TRUE(ClockTime(TaskTime(task)).has_value());
  }
}

TEST(TaskRules, PresetOfATaskClockBytesAndText) {
  const uint8_t flags[kPresets] = {0, 1, 0, 0, 1, 0, 0, 0, 0, 0};
  const uint8_t none[kPresets] = {};
  EXPECT_EQ(ShownPreset(1, flags), 1);
  EXPECT_EQ(ShownPreset(2, flags), 4);  // the last preset that holds settings
  EXPECT_EQ(ShownPreset(2, none), 2);
  EXPECT_EQ(ShownPreset(12, flags), -1);

  const QDateTime t(QDate(2024, 3, 5), QTime(6, 7, 8));
  EXPECT_EQ(ClockFieldsOf(t), (ClockFields{24, 3, 5, 6, 7, 8}));
  EXPECT_EQ(ClockFieldsOf(QDateTime(QDate(1999, 1, 1), QTime(0, 0)))[0], 0);
  EXPECT_EQ(ClockText({24, 3, 5, 6, 7, 8}), QStringLiteral("2024/3/5 06:07:08"));
  EXPECT_FALSE(ClockTime({24, 13, 5, 6, 7, 8}));
  EXPECT_FALSE(ClockTime({24, 3, 5, 25, 7, 8}));
}

TEST_F(TaskPage, ClockRunsOnFromTheDeviceAndMarksAnImpossibleOne) {
  MTaskDlg* page = Window().TaskPage();
  QDateTime now(QDate(2024, 3, 5), QTime(6, 7, 8));
  page->SetClockSource([&] { return now; });
  ShowTaskTab(Window());
  EXPECT_EQ(page->LocalTimeEdit(0)->text(), QStringLiteral("2024"));
  EXPECT_EQ(page->LocalTimeEdit(4)->text(), QStringLiteral("07"));

  const uint8_t clock[6] = {26, 12, 31, 23, 59, 58};
  { std::copy(clock, clock + 6, State()->DEVICE_CLOCK); }
  page->RefreshClock();
  EXPECT_EQ(page->MachineTimeText(), QStringLiteral("2026/12/31 23:59:58"));
  now = now.addSecs(3);
  AdvanceManualTime(MTaskDlg::kClockTickMs);
  EXPECT_EQ(page->MachineTimeText(), QStringLiteral("2027/1/1 00:00:01"));
  EXPECT_EQ(page->LocalTimeEdit(5)->text(), QStringLiteral("11"));

  // SYNC stops the label and sends the computer's time, the year as 24.
  Click(page->SyncButton());
  EXPECT_FALSE(page->MachineClockKnown());
  const auto sync = Library().TypedSendsOf(SET_TASK).back().bytes;
  EXPECT_EQ(std::vector<uint8_t>(sync.begin(), sync.begin() + 9),
            (std::vector<uint8_t>{0, 0, 24, 3, 5, 6, 7, 11, 0}));
  EXPECT_EQ(Library().TypedSendsOf(GET_TASKS).size(), 1u);
  now = now.addSecs(5);
  AdvanceManualTime(MTaskDlg::kClockTickMs);
  EXPECT_EQ(page->MachineTimeText(), QStringLiteral("2027/1/1 00:00:01"));

  // Month 13, hour 25: shown as read, marked, and not run on.
  const uint8_t bad[6] = {26, 13, 1, 25, 0, 0};
  { std::copy(bad, bad + 6, State()->DEVICE_CLOCK); }
  page->RefreshClock();
  EXPECT_EQ(page->MachineTimeText(), QStringLiteral("2026/13/1 25:00:00 (invalid)"));
  AdvanceManualTime(MTaskDlg::kClockTickMs);
  EXPECT_EQ(page->MachineTimeText(), QStringLiteral("2026/13/1 25:00:00 (invalid)"));
}

// Ticks come a little early or late; the device's clock must still follow the
// computer's, not lose each tick's fraction of a second.
TEST_F(TaskPage, MachineClockKeepsPaceOverUnevenTicks) {
  MTaskDlg* page = Window().TaskPage();
  QDateTime now(QDate(2024, 3, 5), QTime(6, 7, 8, 250));
  page->SetClockSource([&] { return now; });
  ShowTaskTab(Window());

  const uint8_t clock[6] = {26, 12, 31, 23, 0, 0};
  { std::copy(clock, clock + 6, State()->DEVICE_CLOCK); }
  page->RefreshClock();
  const QDateTime deviceAtRead(QDate(2026, 12, 31), QTime(23, 0, 0));
  const QDateTime readAt = now;

  std::mt19937 random(7);
  std::uniform_int_distribution<int> tickMs(900, 1100);
  for (int tick = 0; tick < 1000; ++tick) {
    now = now.addMSecs(tickMs(random));
    AdvanceManualTime(MTaskDlg::kClockTickMs);
    const QDateTime shown =
        QDateTime::fromString(page->MachineTimeText(), QStringLiteral("yyyy/M/d HH:mm:ss"));
    ASSERT_TRUE(shown.isValid()) << page->MachineTimeText().toStdString();
    const qint64 offMs = shown.msecsTo(deviceAtRead.addMSecs(readAt.msecsTo(now)));
    ASSERT_GE(offMs, 0) << "tick " << tick;
    ASSERT_LT(offMs, 1000) << "tick " << tick;
  }

  // A computer clock set back holds the device's clock, then it runs on.
  const QString held = page->MachineTimeText();
  now = now.addSecs(-30);
  AdvanceManualTime(MTaskDlg::kClockTickMs);
  EXPECT_EQ(page->MachineTimeText(), held);
  now = now.addSecs(2);
  AdvanceManualTime(MTaskDlg::kClockTickMs);
  EXPECT_NE(page->MachineTimeText(), held);
}

TEST_F(TaskPage, TasksReadBackOutOfRangeAreShownInRangeAndConfirmed) {
  MTaskDlg* page = Window().TaskPage();
  ShowTaskTab(Window());
  {
    auto s = State();
    s->PRESET_FLAGS[1] = 1;
    s->PRESET_FLAGS[6] = 1;
    s->block.TASKEINFO.TASK[0] = MakeTask({24, 0, 40, 8, 30, 0}, 3, 1);  // preset 4 holds nothing
    s->block.TASKEINFO.TASK[2] = MakeTask({24, 5, 5, 5, 5, 5}, 12, 9);   // no such preset or option
  }
  page->RefreshPresets();
  page->RefreshFromDevice();
  EXPECT_EQ(page->DatePicker()->date(), QDate(2024, 1, 31));
  EXPECT_EQ(page->TimePicker()->time(), QTime(8, 30, 0));
  EXPECT_EQ(page->PresetList()->GetCurSel(), 6);
  EXPECT_TRUE(page->OptionButton(1)->IsChecked());
  {
    auto s = State();
    EXPECT_EQ(s->block.TASKEINFO.TASK[0].MONTH, 1);
    EXPECT_EQ(s->block.TASKEINFO.TASK[0].DAY, 31);
    EXPECT_EQ(s->block.TASKEINFO.TASK[0].PRESETID, 6);
  }
  EXPECT_TRUE(page->TaskButton(0)->IsChecked());
  EXPECT_TRUE(page->TaskButton(2)->IsChecked());
  EXPECT_EQ(page->TaskButton(0)->TextColor(), QColor(0xEB, 0xEB, 0xEB));

  // Task 3 names preset 12: no preset chosen, no option pressed, and
  // Confirm asks for a preset instead of sending one the device lacks.
  Click(page->TaskButton(2));
  EXPECT_EQ(page->CurrentTask(), 2);
  EXPECT_EQ(page->PresetList()->GetCurSel(), -1);
  for (int o = 0; o < MTaskDlg::kOptions; ++o) EXPECT_FALSE(page->OptionButton(o)->IsChecked());
  EXPECT_EQ(page->TaskButton(0)->TextColor(), QColor(0, 0, 0));
  Click(page->ConfirmButton());
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_TRUE(Library().TypedSendsOf(SET_TASK).empty());

  // "Not Use" with preset 2 is sent, and the button stays pressed until the next read-back.
  page->PresetList()->SetCurSel(1);
  Click(page->OptionButton(2));
  Click(page->OptionButton(0));
  EXPECT_FALSE(page->OptionButton(2)->IsChecked());
  page->DatePicker()->setDate(QDate(2030, 12, 24));
  page->TimePicker()->setTime(QTime(18, 0, 30));
  Click(page->ConfirmButton());
  const auto sent = Library().TypedSendsOf(SET_TASK).back().bytes;
  EXPECT_EQ(std::vector<uint8_t>(sent.begin(), sent.begin() + 11),
            (std::vector<uint8_t>{1, 0, 30, 12, 24, 18, 0, 30, 2, 1, 0}));
  EXPECT_TRUE(page->TaskButton(2)->IsChecked());
  page->RefreshFromDevice();
  EXPECT_FALSE(page->TaskButton(2)->IsChecked());
}

TEST_F(TaskRun, SyncScheduleAndATaskThatLoadsItsPresetOnTheProcessor) {
  constexpr int32_t kPresetHpos = 720;
  ASSERT_NO_FATAL_FAILURE(Connect(TestIp(95), [](sim::DeviceModel& m) {
    // Preset 3 holds PIP-1 at 720; the processor then shows it at 0.
    m.image().CHNLDATA[1].HPOS = kPresetHpos;
    sim::Command save;
    save.type = PRESET;
    save.b.fill(0x55);
    save.b[0] = 2;
    save.b[1] = 2;
    sim::Frames ignored;
    m.Preset(save, ignored);
    m.image().CHNLDATA[1].HPOS = 0;
  }));
  MTaskDlg* page = Window().TaskPage();
  ShowTaskTab(Window());
  ASSERT_TRUE(page->isVisible());
  EXPECT_TRUE(page->PresetList()->List()->IsAvailable(2));
  EXPECT_FALSE(page->PresetList()->List()->IsAvailable(3));

  Click(page->SyncButton());
  const QDateTime synced = QDateTime::currentDateTime();
  EXPECT_EQ(Request(1).type, SET_TASK);
  EXPECT_EQ(Head(1, 3),
            (std::vector<uint8_t>{0, 0, static_cast<uint8_t>(synced.date().year() - 2000)}));
  EXPECT_EQ(Request(2).type, GET_TASKS);
  ASSERT_TRUE(PumpUntil([&] { return page->MachineClockKnown(); }));
  EXPECT_TRUE(page->MachineTimeText().startsWith(QString::number(synced.date().year())));

  const uint64_t delivered = comm_->Stats().repliesDelivered;
  Click(page->TaskSwitch());
  EXPECT_EQ(Request(3).type, SET_TASK);
  EXPECT_EQ(Head(3, 2), (std::vector<uint8_t>{2, 1}));
  // The switch's answer refreshes the page: it must land before the task is
  // edited, or it puts the device's stored option back over the edit.
  ASSERT_TRUE(PumpUntil([&] { return comm_->Stats().repliesDelivered > delivered; }));
  AwaitQuiet();

  // Task 4: preset 3, once, three seconds from now.
  Click(page->TaskButton(3));
  Choose(page->PresetList(), 2);
  Click(page->OptionButton(1));
  const QDateTime at = QDateTime::currentDateTime().addSecs(3);
  page->DatePicker()->setDate(at.date());
  page->TimePicker()->setTime(at.time());
  Click(page->ConfirmButton());
  EXPECT_EQ(Request(4).type, SET_TASK);
  EXPECT_EQ(Head(4, 11),
            (std::vector<uint8_t>{
                1, 1, static_cast<uint8_t>(at.date().year() - 2000),
                static_cast<uint8_t>(at.date().month()), static_cast<uint8_t>(at.date().day()),
                static_cast<uint8_t>(at.time().hour()), static_cast<uint8_t>(at.time().minute()),
                static_cast<uint8_t>(at.time().second()), 3, 2, 1}));
  EXPECT_EQ(Image().TASKEINFO.TASK[3].OPTION, 1);
  EXPECT_EQ(Image().TASKEINFO.TASKSTATUS, 1);

  // At its time the processor loads the preset and reports its image.
  ASSERT_TRUE(PumpUntil([] { return State()->block.CHNLDATA[1].HPOS == kPresetHpos; }));
  EXPECT_EQ(Image().CHNLDATA[1].HPOS, kPresetHpos);
  EXPECT_TRUE(page->TaskButton(3)->IsChecked());
  EXPECT_TRUE(page->TaskSwitch()->IsChecked());

  Window().resize(1280, 728);
  SavePicture(Window(), "task-en.png");
  SendMsg(&Window(), UM_LANGUAGE, 1);
  EXPECT_EQ(page->TitleText(), QStringLiteral("时间/任务管理"));
  EXPECT_EQ(page->ConfirmButton()->text(), QStringLiteral("确定"));
  SavePicture(Window(), "task-zh.png");
}

}  // namespace
}  // namespace orv::test
