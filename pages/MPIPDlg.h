#pragma once
// The PIP page ("PIP Settings"): PIP-1..PIP-3 (layers 1..3) switched on and
// off, their input sources and their alpha. PIP-3 is locked while the logo
// uses it. Sends SET_LAYER_ONOFF; a chosen source is handed to the main
// window, which sends it.
#include <array>

#include "MSettingsPage.h"

namespace orv {

class CDropButton;
class CGdipButton;
class CSxGroupBox;
class oBitmapSlider;
class oSliderEdit;

class MPIPDlg : public MSettingsPage {
  Q_OBJECT
 public:
  static constexpr int kTemplateId = 150;
  static constexpr int kPips = 3;
  static constexpr int kFirstListId = 0xAFF0;  // source list of PIP p: 0xAFF0 + p
  static constexpr int kAlphaMax = 64;

  // Per PIP p the ids are first + p.
  enum ControlId : int {
    kFirstGroup = 2400,
    kFirstSwitch = 2403,
    kFirstInputLabel = 2406,
    kFirstAlphaLabel = 2409,
    kFirstAlphaEdit = 2412,
    kFirstAlphaSlider = 2415,
  };

  explicit MPIPDlg(QWidget* parent);

  // Source lists refilled, the three PIPs shown from the record, then the
  // enabling of the program/preview mode.
  void RefreshFromDevice() override;
  void ReloadTexts() override;
  // Empties and refills the three source lists from INPUT_TABLE.
  void RefillSources();
  void UpdateForPreviewMode();
  // PIP p's toggle from its layer's on/off, its controls enabled to match
  // (PIP-3's all disabled while the logo holds it).
  void RefreshOnOff(int p);
  // The input list of PIP layer `layer` (1..3) shows the layer's input.
  void SelectLayerInput(int layer);

  CGdipButton* Switch(int p) const { return switches_[Index(p)]; }
  CDropButton* SourceList(int p) const { return lists_[Index(p)]; }
  oSliderEdit* AlphaEdit(int p) const { return alphaEdits_[Index(p)]; }
  CSxGroupBox* Group(int p) const { return groups_[Index(p)]; }

  intptr_t OnMessage(const Message& message) override;

 protected:
  bool OnInitDialog() override;

 private:
  static std::size_t Index(int p) { return static_cast<std::size_t>(p); }
  void BuildControls();
  void ShowPip(int p);
  void SwitchPip(int p, bool send);
  void EnablePip(int p, bool toggle, bool alpha, bool list);
  void AlphaCommitted(int p);
  void SourceChosen(int p, int index);

  std::array<CSxGroupBox*, kPips> groups_{};
  std::array<CGdipButton*, kPips> switches_{};
  std::array<CDropButton*, kPips> lists_{};
  std::array<oSliderEdit*, kPips> alphaEdits_{};
  std::array<oBitmapSlider*, kPips> sliders_{};
};

}  // namespace orv
