#pragma once
// The time and task page: the computer's clock beside the device's clock,
// setting the device's clock from the computer's, the device's time-task
// switch, and its ten scheduled tasks (a preset loaded at a date and time,
// once or every day). Sends SET_TASK and GET_TASKS; shown as a tab of the
// misc page.
//
// The device's clock is read back now and then (data type 13); between reads
// the page shows it run on by the time the computer's clock moved since the
// read, once a second.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>

#include <QDateTime>

#include "MSettingsPage.h"

class QDateEdit;
class QLabel;
class QTimeEdit;

namespace orv {

class CDropButton;
class CGdipButton;
class CSxGroupBox;
class oRealEdit;

class MTaskDlg : public MSettingsPage {
  Q_OBJECT
 public:
  static constexpr int kTemplateId = 162;
  static constexpr int kPresetListId = 0xAFA0;
  static constexpr uint32_t kClockTimer = 2799;
  static constexpr int kClockTickMs = 1000;
  static constexpr int kTaskButtons = 10;
  static constexpr int kOptions = 3;  // not used, once, every day

  enum ControlId : int {
    kDateTimeGroup = 1376,
    kMachineGroup = 1453,
    kMachineLabel = 1455,
    kLocalGroup = 1454,
    kYearEdit = 1314,
    kMonthEdit = 1317,
    kDayEdit = 1319,
    kHourEdit = 1320,
    kMinuteEdit = 1321,
    kSecondEdit = 1322,
    kSync = 1327,
    kScheduleGroup = 1370,
    kTaskSwitch = 1382,
    kFirstTaskButton = 1383,  // 1383..1392
    kTaskEditGroup = 1456,
    kDatePicker = 1457,
    kTimePicker = 1458,
    kFirstOption = 1462,  // 1462 "Not Use", 1463 "Once", 1464 "Every Day"
    kConfirm = 1189,
    kDateLabel = 2700,
    kTimeLabel = 2701,
    kYmdLabel = 2702,
    kSwitchLabel = 2703,
    kTimeSettingLabel = 2704,
    kOptionLabel = 2705,
    kPresetLabel = 2706,
  };

  explicit MTaskDlg(QWidget* parent);

  // After data types 7 and 2: the switch, the task buttons and the current task.
  void RefreshFromDevice() override;
  // After data type 13: the device's clock.
  void RefreshClock();
  // After the preset flags changed (a preset saved, data type 17): which
  // presets the list offers.
  void RefreshPresets();
  void ShowPage(bool show) override;
  void ReloadTexts() override;

  // The computer's clock the page reads; tests give it a clock of their own.
  void SetClockSource(std::function<QDateTime()> now);

  int CurrentTask() const { return current_; }
  bool MachineClockKnown() const { return machineClockKnown_; }
  QString MachineTimeText() const;
  oRealEdit* LocalTimeEdit(int i) const { return localEdits_[static_cast<std::size_t>(i)]; }
  CGdipButton* SyncButton() const { return sync_; }
  CGdipButton* TaskSwitch() const { return switch_; }
  CGdipButton* TaskButton(int t) const { return taskButtons_[static_cast<std::size_t>(t)]; }
  CGdipButton* OptionButton(int o) const { return options_[static_cast<std::size_t>(o)]; }
  QDateEdit* DatePicker() const { return datePicker_; }
  QTimeEdit* TimePicker() const { return timePicker_; }
  CDropButton* PresetList() const { return presetList_; }
  CGdipButton* ConfirmButton() const { return confirm_; }

 protected:
  bool OnInitDialog() override;
  void OnTimer(uint32_t id) override;

 private:
  void BuildControls();
  void FillPresetList();
  void Tick();
  void ShowLocalTime(const QDateTime& now);
  void ShowInvalidClock(const std::array<uint8_t, 6>& clock);
  void ShowSchedule();
  void ShowPresetFlags();
  void ShowTaskButtons();
  void ShowTask(int t);
  void SyncPressed();
  void SwitchPressed();
  void TaskPressed(int t);
  void OptionPressed(int o);
  void ConfirmPressed();

  std::function<QDateTime()> now_;
  int current_ = 0;
  // The device's clock as last read and the computer's time of that read; the
  // shown time is always counted from these two, never added up tick by tick.
  bool machineClockKnown_ = false;
  QDateTime machineTime_;
  QDateTime readAt_;
  QDateTime lastTick_;
  std::optional<std::array<uint8_t, 6>> invalidClock_;  // as read, while it is out of range

  std::array<CSxGroupBox*, 5> groups_{};
  QLabel* machineLabel_ = nullptr;
  std::array<oRealEdit*, 6> localEdits_{};
  CGdipButton* sync_ = nullptr;
  CGdipButton* switch_ = nullptr;
  std::array<CGdipButton*, kTaskButtons> taskButtons_{};
  QDateEdit* datePicker_ = nullptr;
  QTimeEdit* timePicker_ = nullptr;
  std::array<CGdipButton*, kOptions> options_{};
  CDropButton* presetList_ = nullptr;
  CGdipButton* confirm_ = nullptr;
};

}  // namespace orv
