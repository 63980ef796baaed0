#pragma once
// The switcher page: switches the device between plain output and
// program/preview operation (SET_PVW_MODE; one program and one preview area,
// "Panel x 1"; the dual layout "Panel x 2" is shown when the device reports
// it but cannot be chosen), sets the fade duration of a take
// (SET_TRANSITION_TIME), and switches the multi-machine take mode, which
// only a network connection offers. Tells the main window about the mode
// with UM_PAGE_REQUEST 0x5A8 (switch state) and 0x5B4 (mosaic mode).
#include <array>

#include "MSettingsPage.h"

namespace orv {

class CDropButton;
class CGdipButton;
class CSxGroupBox;

class MSwitcherDlg : public MSettingsPage {
  Q_OBJECT
 public:
  static constexpr int kTemplateId = 183;
  static constexpr int kFadeListId = 0xAFB0;
  // Sub-codes of UM_PAGE_REQUEST.
  static constexpr int kSwitchStateRequest = 0x5A8;
  static constexpr int kMosaicModeRequest = 0x5B4;
  // Fade durations by index (item data), in tenths of a second.
  static constexpr std::array<int, 8> kFadeTenths{0, 1, 2, 3, 5, 10, 20, 30};

  enum ControlId : int {
    kSwitchGroup = 1349,
    kModeSwitch = 1240,
    kPanel1 = 1509,
    kPanel2 = 1510,
    kFadeLabel = 1429,
    kSecondsLabel = 1431,
    kMultiGroup = 1493,
    kMultiSwitch = 1496,
    kSwitchLabel = 2850,
  };

  explicit MSwitcherDlg(QWidget* parent);

  // Called after full read-backs and after data type 20.
  void RefreshFromDevice() override;
  void ReloadTexts() override;
  // The main window enables the multi-machine switch over a network link only.
  void SetMultiMachineEnabled(bool enabled);
  intptr_t OnMessage(const Message& message) override;

  // 0 = "Panel x 1", 1 = "Panel x 2".
  int CurrentPanel() const { return panel_; }
  CGdipButton* ModeSwitch() const { return modeSwitch_; }
  CGdipButton* PanelButton(int k) const { return panels_[static_cast<std::size_t>(k)]; }
  CDropButton* FadeList() const { return fadeList_; }
  CGdipButton* MultiSwitch() const { return multiSwitch_; }

 protected:
  bool OnInitDialog() override;

 private:
  void BuildControls();
  void FillFadeList();
  void EnableModeControls(bool on);
  void ShowPanel(int k);
  void ModeSwitched();
  void PanelPressed(int k);
  void FadeChosen(int index);
  void MultiSwitched();
  void PostModeRequests(int switchState);

  int panel_ = 0;
  CSxGroupBox* switchGroup_ = nullptr;
  CSxGroupBox* multiGroup_ = nullptr;
  CGdipButton* modeSwitch_ = nullptr;
  std::array<CGdipButton*, 2> panels_{};
  CDropButton* fadeList_ = nullptr;
  CGdipButton* multiSwitch_ = nullptr;
};

}  // namespace orv
