#pragma once
// A remote control for the device's players of USB-disk inputs: the operator
// picks one of the two U-disk inputs (slots 6 and 7) and presses navigation
// keys that the device's player acts on (MEDIA key, disk).
#include <array>

#include "MSettingsPage.h"

namespace orv {

class CGdipButton;

class MMediaPlayerDlg : public MSettingsPage {
  Q_OBJECT
 public:
  static constexpr int kTemplateId = 1563;
  static constexpr int kKeys = 7;
  static constexpr int kFirstKey = 1575;    // 1575..1581: key codes 1..7
  static constexpr int kFirstDisk = 1582;   // 1582, 1583: U-disk 0, 1
  static constexpr int kUdiskPortType = 9;  // INPUTSRC of a U-disk input

  explicit MMediaPlayerDlg(QWidget* parent);

  // After full read-backs: enables the U-disk buttons of the slots that are U-disk inputs.
  void RefreshFromDevice() override;
  void ReloadTexts() override;

  CGdipButton* KeyButton(int code) const { return keys_[static_cast<std::size_t>(code - 1)]; }
  CGdipButton* DiskButton(int disk) const { return disks_[static_cast<std::size_t>(disk)]; }
  // The U-disk the keys address: the first pressed button, 0 when none is.
  int ChosenDisk() const;

 protected:
  bool OnInitDialog() override;

 private:
  void Choose(int disk);
  void KeyPressed(int code);

  std::array<CGdipButton*, kKeys> keys_{};
  std::array<CGdipButton*, 2> disks_{};
};

}  // namespace orv
