#pragma once
// The EDID timing each input advertises to its source: pick an input, see
// the timing the device reports, edit active size, refresh and (in "more"
// mode) the blanking, then Apply or Restore the device's default. The device
// answers an apply with event kind 0, which the page shows in a message box.
//
// SET_EDID and GET_EDID name the input by the input code stored in the EDID
// slot; before the device's own image has been read back that code is 0
// (DVI-1) for every slot. Apply and Restore therefore stay disabled until
// the slot of the chosen input names that input, and send nothing otherwise.
#include <array>

#include "MEdidVgaParts.h"
#include "MSettingsPage.h"

class QLabel;

namespace orv {

class CDropButton;
class CGdipButton;
class CSxGroupBox;
class oRealEdit;

class MEdidDlg : public MSettingsPage {
  Q_OBJECT
 public:
  static constexpr int kTemplateId = 156;
  static constexpr int kInputList = 0xAFF0;
  static constexpr int kSelectGroup = 1760;
  static constexpr int kMoreGroup = 1761;
  static constexpr int kHActiveLabel = 1762;
  static constexpr int kVActiveLabel = 1763;
  static constexpr int kFpsLabel = 1764;
  static constexpr int kHBlankLabel = 1765;
  static constexpr int kVBlankLabel = 1766;
  static constexpr int kApplyButton = 1767;
  static constexpr int kRestoreButton = 1768;
  static constexpr int kMoreButton = 1769;
  static constexpr int kHActiveEdit = 1770;
  static constexpr int kVActiveEdit = 1771;
  static constexpr int kFpsEdit = 1772;
  static constexpr int kHBlankEdit = 1773;
  static constexpr int kVBlankEdit = 1774;

  // SET_EDID's mode byte.
  static constexpr int kModeRestore = 0;
  static constexpr int kModeApply = 1;
  static constexpr int kModeApplyWithBlanking = 2;

  explicit MEdidDlg(QWidget* parent);

  // After a full read-back and a board report: rebuilds the input list
  // (keeping the chosen input) and shows the chosen input's EDID; after an
  // EDID reply: the same, which shows the reported timing.
  void RefreshFromDevice() override;
  // The device reported the result of an EDID apply (event kind 0).
  void ApplyResult();
  void ReloadTexts() override;

  void Apply();
  void Restore();
  void ToggleMore();

  int SelectedInput() const { return selectedInput_; }
  bool MoreMode() const { return moreMode_; }
  CDropButton* InputList() const { return inputList_; }

 protected:
  bool OnInitDialog() override;
  intptr_t OnMessage(const Message& message) override;

 private:
  void BuildControls();
  void RebuildInputList();
  void ShowSelectedEdid();
  void UpdateButtons();
  // The selected input's EDID slot names that input (see the header).
  bool SelectedSlotKnown() const;
  void ShowWaitBox();

  enum Edit { kHActive, kVActive, kFps, kHBlank, kVBlank, kEditCount };
  std::array<oRealEdit*, kEditCount> edits_{};
  std::array<QLabel*, kEditCount> labels_{};
  CDropButton* inputList_ = nullptr;
  CSxGroupBox* selectGroup_ = nullptr;
  CSxGroupBox* moreGroup_ = nullptr;
  CGdipButton* apply_ = nullptr;
  CGdipButton* restore_ = nullptr;
  edidvga::EditsInFlight inFlight_;
  int selectedInput_ = 0;
  bool moreMode_ = false;
};

}  // namespace orv
