#pragma once
// The picture page ("Picture Setting"): for one layer at a time the picture
// mode (seven presets and "User"); in the user mode the bright level and
// gamma with their switches, brightness, contrast, saturation, hue,
// sharpness, the colour temperature and the user gains. The adjustments are
// stored per input group and layer; "Input" and "ALL" choose whether a change
// goes to the layer's current input group or to every group. Sends
// SET_PICTURE and GET_PICTURE.
#include <array>
#include <cstdint>
#include <memory>

#include "MSettingsPage.h"

namespace orv {

class CDropButton;
class CGdipButton;
class CSxGroupBox;
class LayerTabRow;
class oSliderEdit;

class MPicSettingDlg : public MSettingsPage {
  Q_OBJECT
 public:
  static constexpr int kTemplateId = 110;
  static constexpr int kModeListId = 0xAFE0;
  static constexpr int kColorTempListId = 0xAFD0;
  static constexpr int kUserMode = 7;
  static constexpr int kUserColorTemp = 8;
  static constexpr int kBrightLevelOff = 17;

  enum ControlId : int {
    kFirstTab = 2300,  // four layer tabs
    kModeGroup = 2304,
    kColorTempGroup = 2305,
    kBrightLevelLabel = 2306,
    kBrightLevelSwitch = 2307,
    kGammaLabel = 2308,
    kGammaSwitch = 2309,
    kGammaHint = 2310,
    kInputLabel = 2311,
    kInputButton = 2312,
    kAllButton = 2313,
    kFirstAdjustLabel = 2314,  // brightness, contrast, saturation, hue, sharpness, red, green, blue
    kSharpnessHint = 2322,
    kReset = 2323,
    kResetPicture = 2324,
    kFirstEdit = 2330,  // the ten edits in the order of Adjust: 2330..2339
    kFirstSlider = 2340,
  };
  // The ten slider/edit pairs.
  enum Adjust : int {
    kBrightLevel,
    kGamma,
    kBrightness,
    kContrast,
    kSaturation,
    kHue,
    kSharpness,
    kRed,
    kGreen,
    kBlue,
    kAdjusts
  };

  explicit MPicSettingDlg(QWidget* parent);
  ~MPicSettingDlg() override;

  void RefreshFromDevice() override;
  void ReloadTexts() override;
  void UpdateLayerTabs();
  // The layer's input changed: re-read its picture values when it is the layer shown.
  void RefreshForLayer(int layer);
  void SelectLayer(int layer);
  intptr_t OnMessage(const Message& message) override;

  int SelectedLayer() const { return layer_; }
  oSliderEdit* Edit(Adjust which) const { return edits_[static_cast<std::size_t>(which)]; }
  CDropButton* ModeList() const { return modeList_; }
  CDropButton* ColorTempList() const { return colorTempList_; }
  CGdipButton* BrightLevelSwitch() const { return brightSwitch_; }
  CGdipButton* GammaSwitch() const { return gammaSwitch_; }
  CGdipButton* InputButton() const { return inputButton_; }
  CGdipButton* AllButton() const { return allButton_; }
  CGdipButton* ResetButton() const { return reset_; }
  CGdipButton* ResetPictureButton() const { return resetPicture_; }
  LayerTabRow& Tabs() const { return *tabs_; }

 protected:
  bool OnInitDialog() override;

 private:
  void BuildControls();
  void FillLists();
  void ShowSwitchState(CGdipButton* button, bool on);
  void ApplyEnabling(bool user);
  void ShowApplyTo();
  void ValueCommitted(int editId);
  void SwitchPressed(bool gamma);
  void ModeChosen(int index);
  void ColorTempChosen(int index);
  void ApplyToChosen(bool all);
  void ResetColour();
  void ResetPicture();
  void SendPicture();

  int layer_ = 0;
  // The program/preview assignment the tabs were last labelled from.
  std::array<uint8_t, 9> tabsFrom_{};
  bool tabsLabelled_ = false;
  std::unique_ptr<LayerTabRow> tabs_;
  CSxGroupBox* modeGroup_ = nullptr;
  CSxGroupBox* colorTempGroup_ = nullptr;
  CDropButton* modeList_ = nullptr;
  CDropButton* colorTempList_ = nullptr;
  CGdipButton* brightSwitch_ = nullptr;
  CGdipButton* gammaSwitch_ = nullptr;
  CGdipButton* inputButton_ = nullptr;
  CGdipButton* allButton_ = nullptr;
  CGdipButton* reset_ = nullptr;
  CGdipButton* resetPicture_ = nullptr;
  std::array<oSliderEdit*, kAdjusts> edits_{};
};

}  // namespace orv
