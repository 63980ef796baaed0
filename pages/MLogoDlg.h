#pragma once
// The logo page ("Logo Settings"): PIP-3 used as a normal layer or as the
// logo layer; in normal mode a rectangle of the PIP-3 picture is marked and
// saved into one of four logo slots, in logo mode a stored logo is placed on
// the output, loaded, switched on and off, on top and with a border. Every
// change is one SET_LOGO operation.
#include <array>

#include <QRect>

#include "LayerFeatureRules.h"
#include "MSettingsPage.h"

class QLabel;

namespace orv {

class CGdipButton;
class CSxGroupBox;
class oRealEdit;

class MLogoDlg : public MSettingsPage {
  Q_OBJECT
 public:
  static constexpr int kTemplateId = 164;
  static constexpr int kEdits = 4;

  enum ControlId : int {
    kFirstGroup = 2500,  // PIP3 Usage, Position, Clear, Files, Operate, Setting: 2500..2505
    kNormal = 2506,
    kLogo = 2507,
    kSwitchLabel = 2508,
    kSwitch = 2509,
    kStatus = 2510,
    kFirstLabel = 2511,     // H Start, V Start, Width, Height labels: 2511..2514
    kFirstEdit = 2515,      // their edits: 2515..2518
    kFirstSlot = 2519,      // LOGO1..LOGO4: 2519..2522
    kFirstClear = 2523,     // 2523..2526
    kFirstSaveLoad = 2527,  // 2527..2530
    kTopLabel = 2531,
    kTop = 2532,
    kBorderLabel = 2533,
    kBorder = 2534,
  };

  enum class Operation : int { Clear = 0, Load, Save, Mark, Usage, OnOff, Top, Border };

  explicit MLogoDlg(QWidget* parent);

  void RefreshFromDevice() override;
  void ReloadTexts() override;
  void ShowPage(bool show) override;
  void UpdateForPreviewMode();
  // In normal mode the edits take the whole PIP-3 window again.
  void ReloadPip3Window();
  // Re-reads the PIP-3 window the logo shares.
  void RereadPip3Window() { ReloadPip3Window(); }

  bool LogoMode() const { return logoMode_; }
  int SelectedSlot() const { return selected_; }
  bool PositionChanged() const { return positionChanged_; }
  CGdipButton* NormalButton() const { return normal_; }
  CGdipButton* LogoButton() const { return logo_; }
  CGdipButton* Switch() const { return switch_; }
  CGdipButton* TopSwitch() const { return top_; }
  CGdipButton* BorderSwitch() const { return border_; }
  CGdipButton* SlotButton(int k) const { return slots_[Index(k)]; }
  CGdipButton* ClearButton(int k) const { return clears_[Index(k)]; }
  CGdipButton* SaveLoadButton(int k) const { return saveLoads_[Index(k)]; }
  oRealEdit* Edit(LogoEdit e) const { return edits_[static_cast<std::size_t>(e)]; }
  QLabel* Status() const { return status_; }
  QRect PreviewArea() const;
  QRect PreviewRect() const { return preview_; }

  intptr_t OnMessage(const Message& message) override;

 protected:
  bool OnInitDialog() override;
  void PaintPage(QPainter& p) override;

 private:
  static std::size_t Index(int k) { return static_cast<std::size_t>(k); }
  void BuildControls();
  // `fresh`: the edits start again from the PIP-3 window (normal mode) or the
  // slot's stored placement (logo mode); otherwise a mark or placement the
  // operator has not saved or loaded yet is kept.
  void BuildModeView(bool fresh);
  void ShowNormalMode(bool fresh);
  void ShowLogoMode(bool fresh);
  void EnableNormalControls(bool p);
  void ShowSlotLooks();
  void ShowEdits(const LogoRect& r);
  LogoRect EditRect() const;
  void UsagePressed(bool logo);
  void SwitchPressed();
  void SlotPressed(int k);
  void SavePressed(int k);
  void LoadSlot(int k);
  void ClearPressed(int k);
  void TopPressed();
  void BorderPressed();
  void EditCommitted(int id);
  void RemoveMark();
  void Send(Operation op, int b = 0);
  void ShowWait();
  void NotifyLayer();
  void UpdatePreview();

  bool logoMode_ = false;
  int selected_ = 0;
  bool positionChanged_ = false;
  QRect preview_;
  std::array<CSxGroupBox*, 6> groups_{};
  CGdipButton* normal_ = nullptr;
  CGdipButton* logo_ = nullptr;
  CGdipButton* switch_ = nullptr;
  CGdipButton* top_ = nullptr;
  CGdipButton* border_ = nullptr;
  QLabel* status_ = nullptr;
  std::array<oRealEdit*, kEdits> edits_{};
  std::array<CGdipButton*, kLogoSlots> slots_{};
  std::array<CGdipButton*, kLogoSlots> clears_{};
  std::array<CGdipButton*, kLogoSlots> saveLoads_{};
};

}  // namespace orv
