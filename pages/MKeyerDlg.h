#pragma once
// The chroma keyer page: the two keyers (keyer 0 keys PIP-3, keyer 1 keys
// PIP-1), their switch, the thirteen key modes and, in the user mode, the
// low and high limit of each colour and the three gains. Sends SET_KEYER and
// GET_KEYER; shown as a tab of the misc page.
#include <array>

#include "MSettingsPage.h"

namespace orv {

class CDropButton;
class CGdipButton;
class CSxGroupBox;
class oRealEdit;

class MKeyerDlg : public MSettingsPage {
  Q_OBJECT
 public:
  static constexpr int kTemplateId = 154;
  static constexpr int kKeyerListId = 0xAFE1;
  static constexpr int kModeListId = 0xAFE0;
  static constexpr int kModeCount = 13;
  // The device's ranges of a fixed mode are read back this long after the mode is sent.
  static constexpr int kModeReadBackMs = 40;
  static constexpr uint32_t kModeReadBackTimer = 1900;

  enum ControlId : int {
    kKeyerGroup = 1900,
    kSwitchLabel = 1901,
    kSwitch = 1902,
    kModeGroup = 1903,
    kReset = 1904,
    kRangeHeader = 1905,
    kRedLabel = 1906,
    kGreenLabel = 1907,
    kBlueLabel = 1908,
    kRedTilde = 1909,
    kGreenTilde = 1910,
    kBlueTilde = 1911,
    kGainInLabel = 1912,
    kGainOutLabel = 1913,
    kGainBndLabel = 1914,
    kFirstValueEdit = 1915,  // red low, red high ... blue high, gain in, out, band: 1915..1923
  };
  static constexpr int kValueEdits = 9;

  explicit MKeyerDlg(QWidget* parent);

  void RefreshFromDevice() override;
  void ReloadTexts() override;
  intptr_t OnMessage(const Message& message) override;

  // 0: the PIP-3 keyer, 1: the PIP-1 keyer.
  int ChosenKeyer() const { return chosen_; }
  // The channel of the chosen keyer: 3 or 1.
  int Channel() const { return chosen_ == 0 ? 3 : 1; }
  CDropButton* KeyerList() const { return keyerList_; }
  CDropButton* ModeList() const { return modeList_; }
  CGdipButton* Switch() const { return switch_; }
  CGdipButton* ResetButton() const { return reset_; }
  oRealEdit* ValueEdit(int i) const { return edits_[static_cast<std::size_t>(i)]; }

 protected:
  bool OnInitDialog() override;
  void OnTimer(uint32_t id) override;

 private:
  void BuildControls();
  void FillLists();
  void ShowKeyer();
  void ApplyEnabling();
  void SwitchPressed();
  void KeyerChosen(int index);
  void ModeChosen(int index);
  void ValueCommitted();
  void ResetPressed();
  void SendKeyer();

  int chosen_ = 0;
  int pendingReadBackChannel_ = 0;
  CSxGroupBox* keyerGroup_ = nullptr;
  CSxGroupBox* modeGroup_ = nullptr;
  CDropButton* keyerList_ = nullptr;
  CDropButton* modeList_ = nullptr;
  CGdipButton* switch_ = nullptr;
  CGdipButton* reset_ = nullptr;
  std::array<oRealEdit*, kValueEdits> edits_{};
};

}  // namespace orv
