#include "MTaskDlg.h"

#include <QDateEdit>
#include <QLabel>
#include <QTimeEdit>

#include "ArtIds.h"
#include "CDropList.h"
#include "CGdipButton.h"
#include "CSxGroupBox.h"
#include "CommandEncoder.h"
#include "ControlId.h"
#include "DeviceState.h"
#include "DialogTexts.h"
#include "MessageBox.h"
#include "PageWidgets.h"
#include "Skin.h"
#include "TaskRules.h"
#include "oRealEdit.h"

namespace orv {

namespace {

constexpr int kTextTips = 38;

// The five group boxes and the UI texts of their captions.
struct GroupSpec {
  int id;
  int text;
  QRect where;
};
const GroupSpec kGroups[] = {
    {MTaskDlg::kDateTimeGroup, 22, {10, 32, 300, 146}},
    {MTaskDlg::kMachineGroup, 23, {18, 50, 284, 40}},
    {MTaskDlg::kLocalGroup, 24, {18, 94, 284, 80}},
    {MTaskDlg::kScheduleGroup, 25, {10, 182, 300, 98}},
    {MTaskDlg::kTaskEditGroup, 26, {10, 286, 300, 126}},
};

struct LabelSpec {
  int id;
  const char* caption;
  QRect where;
};
const LabelSpec kLabels[] = {
    {MTaskDlg::kDateLabel, "Date :", {26, 110, 48, 22}},
    {MTaskDlg::kYmdLabel, "(Y/M/D)", {208, 110, 88, 22}},
    {MTaskDlg::kTimeLabel, "Time :", {26, 142, 48, 22}},
    {MTaskDlg::kSwitchLabel, "ON/OFF", {22, 198, 84, 22}},
    {MTaskDlg::kTimeSettingLabel, "Time Setting", {20, 302, 86, 22}},
    {MTaskDlg::kOptionLabel, "Task Option", {20, 328, 200, 20}},
    {MTaskDlg::kPresetLabel, "Preset", {20, 384, 54, 22}},
};

// The computer's clock: year, month, day, hour, minute, second.
struct LocalEditSpec {
  int id;
  QRect where;
  int min;
  int max;
  int initial;
  const char* format;
};
const LocalEditSpec kLocalEdits[6] = {
    {MTaskDlg::kYearEdit, {76, 110, 52, 22}, 20, 2099, 2016, "%d"},
    {MTaskDlg::kMonthEdit, {132, 110, 34, 22}, 1, 12, 7, "%02d"},
    {MTaskDlg::kDayEdit, {170, 110, 34, 22}, 1, 31, 25, "%02d"},
    {MTaskDlg::kHourEdit, {76, 142, 34, 22}, 0, 23, 0, "%02d"},
    {MTaskDlg::kMinuteEdit, {114, 142, 34, 22}, 0, 59, 0, "%02d"},
    {MTaskDlg::kSecondEdit, {152, 142, 34, 22}, 0, 59, 0, "%02d"},
};

const QRect kSyncRect(204, 140, 90, 26);
const QPoint kSwitchAt(110, 197);
constexpr int kTaskButtonLeft = 22;
constexpr int kTaskButtonTop = 226;
constexpr int kTaskButtonStepX = 56;
constexpr int kTaskButtonStepY = 26;
const QSize kTaskButtonSize(50, 24);
const QRect kDatePickerRect(108, 302, 100, 22);
const QRect kTimePickerRect(212, 302, 90, 22);
const char* const kOptionCaptions[MTaskDlg::kOptions] = {"Not Use", "Once", "Every Day"};
constexpr int kOptionLeft = 20;
constexpr int kOptionStepX = 94;
const QSize kOptionSize(90, 26);
constexpr int kOptionTop = 350;
const QRect kPresetListRect(76, 384, 84, 22);
const QRect kConfirmRect(206, 380, 96, 28);

// Task button captions: the current task's light grey, the others black.
const QColor kCurrentTaskCaption(0xEB, 0xEB, 0xEB);
const QColor kTaskCaption(0, 0, 0);

const QDate kFirstPickerDate(2000, 1, 1);
const QDate kLastPickerDate(2255, 12, 31);

// Page messages the UI text table lacks.
constexpr const char* kInvalidClockKey = "TASK_InvalidClock";
constexpr const char* kInvalidClock = "%1 (invalid)";
constexpr const char* kNoPresetKey = "TASK_NoPreset";
constexpr const char* kNoPreset = "Choose a preset that holds settings";

// The computer's clock: six read-only edits that follow it once a second.
class LocalClockEdit final : public oRealEdit {
 public:
  LocalClockEdit(QWidget* parent, const LocalEditSpec& spec) : oRealEdit(parent, spec.id) {
    setGeometry(spec.where);
    Setup(static_cast<float>(spec.initial), static_cast<float>(spec.min), true,
          static_cast<float>(spec.max), QString::fromLatin1(spec.format));
    // Nothing typed or wheeled here would reach the device.
    wheelCommits_ = false;
    setReadOnly(true);
    setFocusPolicy(Qt::NoFocus);
  }
};

void StylePicker(QWidget* picker, int id, const QRect& where) {
  SetControlId(picker, id);
  picker->setGeometry(where);
  picker->setPalette(skin::DarkPalette());
}

}  // namespace

MTaskDlg::MTaskDlg(QWidget* parent)
    : MSettingsPage(kTemplateId, parent, QStringLiteral("Time/Task Management")),
      now_([] { return QDateTime::currentDateTime(); }) {}

void MTaskDlg::SetClockSource(std::function<QDateTime()> now) {
  now_ = std::move(now);
}

bool MTaskDlg::OnInitDialog() {
  MSettingsPage::OnInitDialog();
  BuildControls();
  ApplyControlFont();
  ReloadTexts();
  const QDateTime now = now_();
  datePicker_->setDate(now.date());
  timePicker_->setTime(now.time());
  lastTick_ = now;
  ShowSchedule();
  SetTimer(kClockTimer, kClockTickMs);
  return true;
}

void MTaskDlg::BuildControls() {
  for (std::size_t i = 0; i < groups_.size(); ++i) {
    groups_[i] = MakePageGroup(this, kGroups[i].id, UiQText(kGroups[i].text), kGroups[i].where);
  }
  for (const LabelSpec& l : kLabels)
    MakePageLabel(this, l.id, QString::fromLatin1(l.caption), l.where);
  machineLabel_ = MakePageLabel(this, kMachineLabel, QString(), {28, 64, 264, 20});
  for (std::size_t i = 0; i < localEdits_.size(); ++i) {
    localEdits_[i] = new LocalClockEdit(this, kLocalEdits[i]);
  }
  sync_ = MakePageButton(this, kSync, QStringLiteral("SYNC"), kSyncRect);
  connect(sync_, &QAbstractButton::clicked, this, [this] { SyncPressed(); });

  switch_ = MakePageSwitch(this, kTaskSwitch, kSwitchAt);
  connect(switch_, &QAbstractButton::clicked, this, [this] { SwitchPressed(); });
  for (int t = 0; t < kTaskButtons; ++t) {
    const QPoint at(kTaskButtonLeft + t % 5 * kTaskButtonStepX,
                    kTaskButtonTop + t / 5 * kTaskButtonStepY);
    CGdipButton* b =
        MakePageButton(this, kFirstTaskButton + t, QString::number(t + 1), {at, kTaskButtonSize});
    b->LoadAltImage(art::kFaceButtonActive);
    b->SetClickToggle(true);
    b->SetTextColor(kTaskCaption);
    connect(b, &QAbstractButton::clicked, this, [this, t] { TaskPressed(t); });
    taskButtons_[static_cast<std::size_t>(t)] = b;
  }

  datePicker_ = new QDateEdit(this);
  datePicker_->setDateRange(kFirstPickerDate, kLastPickerDate);
  datePicker_->setDisplayFormat(QStringLiteral("yyyy/M/d"));
  datePicker_->setCalendarPopup(true);
  StylePicker(datePicker_, kDatePicker, kDatePickerRect);
  timePicker_ = new QTimeEdit(this);
  timePicker_->setDisplayFormat(QStringLiteral("HH:mm:ss"));
  StylePicker(timePicker_, kTimePicker, kTimePickerRect);

  for (int o = 0; o < kOptions; ++o) {
    const QRect where({kOptionLeft + o * kOptionStepX, kOptionTop}, kOptionSize);
    CGdipButton* b =
        MakePageButton(this, kFirstOption + o, QString::fromLatin1(kOptionCaptions[o]), where);
    b->LoadAltImage(art::kFaceButtonActive);
    b->SetStayPushed(true);
    connect(b, &QAbstractButton::clicked, this, [this, o] { OptionPressed(o); });
    options_[static_cast<std::size_t>(o)] = b;
  }
  presetList_ = MakePageDropList(this, kPresetListId, kPresetListRect);
  FillPresetList();
  confirm_ = MakePageButton(this, kConfirm, QStringLiteral("Confirm"), kConfirmRect);
  connect(confirm_, &QAbstractButton::clicked, this, [this] { ConfirmPressed(); });
}

void MTaskDlg::FillPresetList() {
  presetList_->ResetContent();
  for (int n = 0; n < kPresets; ++n) {
    const int i = presetList_->List()->AddString(QString::number(n + 1));
    presetList_->List()->SetItemData(i, static_cast<uint32_t>(n));
  }
  ShowPresetFlags();
}

void MTaskDlg::ReloadTexts() {
  MSettingsPage::ReloadTexts();
  ApplyDialogTexts(this, TemplateId());
  if (groups_[0] == nullptr) return;  // the base calls this before the controls exist
  for (std::size_t i = 0; i < groups_.size(); ++i) groups_[i]->SetText(UiQText(kGroups[i].text));
  // An invalid clock's note follows the language too.
  if (invalidClock_) ShowInvalidClock(*invalidClock_);
  update();
}

void MTaskDlg::ShowPage(bool show) {
  MSettingsPage::ShowPage(show);
  if (show && Created()) ShowLocalTime(now_());
}

// --- Clocks ---------------------------------------------------------------------

void MTaskDlg::OnTimer(uint32_t id) {
  if (id != kClockTimer) return MSettingsPage::OnTimer(id);
  Tick();
}

void MTaskDlg::Tick() {
  const QDateTime now = now_();
  ShowLocalTime(now);
  if (machineClockKnown_) {
    // A computer clock set back holds the device's clock rather than running
    // it backwards: counting starts again from where it stood.
    if (now < lastTick_) {
      machineTime_ = machineTime_.addMSecs(readAt_.msecsTo(lastTick_));
      readAt_ = now;
    }
    // Counted from the read in milliseconds, so no tick's fraction of a second is lost.
    machineLabel_->setText(ClockText(ClockFieldsOf(machineTime_.addMSecs(readAt_.msecsTo(now)))));
  }
  lastTick_ = now;
}

void MTaskDlg::ShowLocalTime(const QDateTime& now) {
  const QDate d = now.date();
  const QTime t = now.time();
  const int values[6] = {d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second()};
  for (std::size_t i = 0; i < localEdits_.size(); ++i) ShowEditValue(localEdits_[i], values[i]);
}

QString MTaskDlg::MachineTimeText() const {
  return machineLabel_ ? machineLabel_->text() : QString();
}

void MTaskDlg::RefreshClock() {
  NoteRefresh();
  if (!Created()) return;
  ClockFields clock{};
  {
    auto s = State();
    std::copy(std::begin(s->DEVICE_CLOCK), std::end(s->DEVICE_CLOCK), clock.begin());
  }
  const auto time = ClockTime(clock);
  if (!time) {
    // Shown as read, marked, and not run on: there is no time to run from.
    machineClockKnown_ = false;
    invalidClock_ = clock;
    ShowInvalidClock(clock);
    return;
  }
  invalidClock_.reset();
  machineTime_ = *time;
  machineClockKnown_ = true;
  readAt_ = now_();
  lastTick_ = readAt_;
  machineLabel_->setText(ClockText(clock));
}

void MTaskDlg::ShowInvalidClock(const ClockFields& clock) {
  machineLabel_->setText(KeyedQText(kInvalidClockKey, kInvalidClock).arg(ClockText(clock)));
}

void MTaskDlg::SyncPressed() {
  // The label stops until the device reports its new time.
  machineClockKnown_ = false;
  const ClockFields now = ClockFieldsOf(now_());
  // One guard over the change and its command: a report decoded in between
  // would otherwise replace the time before it is sent.
  auto s = State();
  std::copy(now.begin(), now.end(), std::begin(s->DEVICE_CLOCK));
  SendCommand(SET_TASK, 0, 0);
  SendCommand(GET_TASKS, 0);
}

// --- Tasks ----------------------------------------------------------------------

void MTaskDlg::RefreshFromDevice() {
  NoteRefresh();
  if (Created()) ShowSchedule();
}

void MTaskDlg::ShowSchedule() {
  bool on = false;
  { on = State()->block.TASKEINFO.TASKSTATUS != 0; }
  ShowSwitch(switch_, on);
  ShowTaskButtons();
  ShowTask(current_);
}

void MTaskDlg::ShowTaskButtons() {
  std::array<bool, kTaskButtons> used{};
  {
    auto s = State();
    for (int t = 0; t < kTaskButtons; ++t) used[t] = s->block.TASKEINFO.TASK[t].OPTION != 0;
  }
  for (int t = 0; t < kTaskButtons; ++t) {
    CGdipButton* b = taskButtons_[static_cast<std::size_t>(t)];
    b->SetChecked(used[static_cast<std::size_t>(t)]);
    b->SetTextColor(t == current_ ? kCurrentTaskCaption : kTaskCaption);
  }
}

void MTaskDlg::ShowTask(int t) {
  Task task{};
  int preset = -1;
  {
    auto s = State();
    Task& stored = s->block.TASKEINFO.TASK[t];
    ClampTask(stored);
    preset = ShownPreset(stored.PRESETID, s->PRESET_FLAGS);
    if (preset >= 0) stored.PRESETID = static_cast<uint8_t>(preset);
    task = stored;
  }
  const QDateTime when = *ClockTime(TaskTime(task));
  datePicker_->setDate(when.date());
  timePicker_->setTime(when.time());
  // A task naming no preset shows an empty choice; Confirm then asks for one.
  if (preset >= 0) {
    presetList_->SetCurSel(presetList_->FindByData(static_cast<uint32_t>(preset)));
  } else {
    presetList_->SetCurSel(-1);
    presetList_->setText(QString());
  }
  // An option outside the three presses none of them.
  for (int o = 0; o < kOptions; ++o)
    options_[static_cast<std::size_t>(o)]->SetChecked(task.OPTION == o);
  CGdipButton* b = taskButtons_[static_cast<std::size_t>(t)];
  b->SetChecked(task.OPTION != 0);
  b->SetTextColor(kCurrentTaskCaption);
}

void MTaskDlg::TaskPressed(int t) {
  for (CGdipButton* b : taskButtons_) b->SetTextColor(kTaskCaption);
  current_ = t;
  ShowTask(t);
}

void MTaskDlg::OptionPressed(int o) {
  for (int i = 0; i < kOptions; ++i) {
    if (i != o) options_[static_cast<std::size_t>(i)]->SetChecked(false);
  }
}

void MTaskDlg::SwitchPressed() {
  auto s = State();
  s->block.TASKEINFO.TASKSTATUS = switch_->IsChecked() ? 1 : 0;
  SendCommand(SET_TASK, 0, 2);
}

void MTaskDlg::ConfirmPressed() {
  int option = -1;
  for (int o = 0; o < kOptions && option < 0; ++o) {
    if (options_[static_cast<std::size_t>(o)]->IsChecked()) option = o;
  }
  if (option < 0) option = State()->block.TASKEINFO.TASK[current_].OPTION;
  const int item = presetList_->GetCurSel();
  // A task that is to run needs a preset that holds settings; one that is
  // not used may keep any of the ten.
  if (item < 0 || (option != 0 && !presetList_->List()->IsAvailable(item))) {
    ShowMessageBox(this, KeyedQText(kNoPresetKey, kNoPreset), UiQText(kTextTips));
    return;
  }
  taskButtons_[static_cast<std::size_t>(current_)]->SetChecked(true);
  auto s = State();
  Task& task = s->block.TASKEINFO.TASK[current_];
  SetTaskTime(task, ClockFieldsOf(QDateTime(datePicker_->date(), timePicker_->time())));
  task.OPTION = option;
  task.PRESETID = static_cast<uint8_t>(presetList_->List()->GetItemData(item));
  SendCommand(SET_TASK, current_, 1);
}

void MTaskDlg::RefreshPresets() {
  NoteRefresh();
  if (Created()) ShowPresetFlags();
}

void MTaskDlg::ShowPresetFlags() {
  std::array<bool, kPresets> held{};
  {
    auto s = State();
    for (int n = 0; n < kPresets; ++n) held[n] = s->PRESET_FLAGS[n] != 0;
  }
  for (int n = 0; n < kPresets; ++n) {
    const int i = presetList_->FindByData(static_cast<uint32_t>(n));
    if (i < 0) continue;
    presetList_->List()->SetItemFlags(
        i, held[static_cast<std::size_t>(n)] ? CDropList::kAvailable : CDropList::kUnavailable);
  }
  presetList_->update();
}

}  // namespace orv
