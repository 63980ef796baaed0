#pragma once
// The system functions: a tab row that switches between this page and the
// keyer, test pattern and time/task pages; the language; project files; the
// whole parameter block read from and written to the device; the loop-out
// input; the system information; the factory reset; and the buttons that
// open the video settings page, the media player page and the feathering
// dialog. Sub-pages and windows are asked for through the main window.
#include <array>
#include <cstdint>
#include <functional>

#include "MSettingsPage.h"

class QLabel;

namespace orv {

class CGdipButton;
class CSxGroupBox;
struct SysInfo;

class MMiscDlg : public MSettingsPage {
  Q_OBJECT
 public:
  static constexpr int kTemplateId = 158;
  static constexpr int kTabs = 4;
  // Tab indexes: the page itself, the keyer, the test pattern, time and tasks.
  static constexpr int kKeyerTab = 1;
  static constexpr int kTestPatternTab = 2;
  static constexpr int kLoopOutInputs = 8;
  static constexpr int kResetSteps = 5;

  enum ControlId : int {
    kFirstTab = 1505,  // 1505..1508
    kLanguageGroup = 1346,
    kEnglishLabel = 1251,
    kChineseLabel = 1252,
    kLanguageSeparator = 2900,
    kFileGroup = 1336,
    kOpenProject = 1344,
    kSaveProject = 1442,
    kSaveProjectAs = 1443,
    kGetData = 1480,
    kSetData = 1481,
    kLoopOutGroup = 1255,
    kFirstLoopOut = 1404,  // 1404..1411
    kVideoSettings = 1547,
    kMediaPlayer = 1574,
    kFeathering = 1593,
    kSystemGroup = 1343,
    kSystemInfo = 1254,
    kProgramInfo = 32781,
    kResetGroup = 1337,
    kFirstResetStep = 1338,  // 1338..1342
  };

  // The three windows the page opens, in the order of their buttons.
  enum Window : int { kVideoWindow, kMediaWindow, kFeatherWindow };

  explicit MMiscDlg(QWidget* parent);

  void ShowPage(bool show) override;
  void ReloadTexts() override;
  // After full read-backs: the loop-out inputs' names and the loop-out input.
  void RefreshFromDevice() override;
  // Shows LOOPINFO.LOOPOUTIP and asks the main window to frame it.
  void RefreshLoopOut();
  // "Ext-1" and "Ext-2" take the names of input table entries 6 and 7.
  void RefreshLoopOutInputs();
  // Device version and supply voltage from SYSINFO.
  void RefreshSystemInfo();

  // The texts the system information shows.
  static QString SystemInfoText(const SysInfo& info);
  static QString ProgramInfoText(int major, int minor);

  int CurrentTab() const { return currentTab_; }
  int CurrentLanguageLabel() const { return languageLabel_; }
  CGdipButton* Tab(int k) const { return tabs_[static_cast<std::size_t>(k)]; }
  QLabel* LanguageLabel(int id) const { return id == kChineseLabel ? chinese_ : english_; }
  CGdipButton* OpenButton() const { return open_; }
  CGdipButton* SaveButton() const { return save_; }
  CGdipButton* SaveAsButton() const { return saveAs_; }
  CGdipButton* GetDataButton() const { return getData_; }
  CGdipButton* SetDataButton() const { return setData_; }
  // What "Set Data To Machine" runs instead of the plain write-back (the main
  // window's review).
  void SetWriteBackAction(std::function<void()> action) { writeBack_ = std::move(action); }
  CGdipButton* LoopOutButton(int k) const { return loopOut_[static_cast<std::size_t>(k)]; }
  CGdipButton* WindowButton(Window w) const { return windows_[static_cast<std::size_t>(w)]; }
  // The windows' buttons show which windows are up (in the order of Window),
  // whatever closed them; nothing is sent.
  void ShowWindowsShown(const std::array<bool, 3>& shown);
  CGdipButton* ResetStep(int k) const { return resetSteps_[static_cast<std::size_t>(k)]; }
  QString SystemInfoShown() const;
  QString ProgramInfoShown() const;

 protected:
  bool OnInitDialog() override;

 private:
  void BuildControls();
  void TabClicked(int k);
  void LanguageClicked(int labelId);
  void ShowLanguage();
  void OpenProject();
  void SaveProject();
  // Saves to a chosen file that becomes the current project.
  void SaveProjectAs();
  void WindowClicked(Window w);
  void ReleaseWindowButtons();
  void ShowLoopOut();
  void ResetStepClicked(int k);
  void ReleaseResetSteps();
  void SendProjectFile(int subCode, const QString& path);

  int currentTab_ = 0;
  int languageLabel_ = kEnglishLabel;
  std::array<CGdipButton*, kTabs> tabs_{};
  QLabel* english_ = nullptr;
  QLabel* chinese_ = nullptr;
  CGdipButton* open_ = nullptr;
  CGdipButton* save_ = nullptr;
  CGdipButton* saveAs_ = nullptr;
  CGdipButton* getData_ = nullptr;
  CGdipButton* setData_ = nullptr;
  std::function<void()> writeBack_;
  std::array<CGdipButton*, kLoopOutInputs> loopOut_{};
  std::array<CGdipButton*, 3> windows_{};
  std::array<CGdipButton*, kResetSteps> resetSteps_{};
  CSxGroupBox* fileGroup_ = nullptr;
  CSxGroupBox* loopOutGroup_ = nullptr;
  CSxGroupBox* systemGroup_ = nullptr;
  CSxGroupBox* resetGroup_ = nullptr;
  QLabel* systemInfo_ = nullptr;
  QLabel* programInfo_ = nullptr;
};

}  // namespace orv
