#pragma once
// The analogue (VGA) input adjustment: sampling clock, phase and position
// ("Display Adjustment"), the converter's offsets and gains behind a
// four-digit access code ("ADC Adjustment"), DDC on/off, and the device's
// automatic adjustment and converter calibration, which the device answers
// with event kind 1 after it has finished.
//
// The page follows the input of the layer the main window names: it adjusts
// that layer's input slot when it is a VGA port, and only the main layer's
// input may have its converter unlocked. A layer whose input is not VGA
// changes nothing unless it is the layer being adjusted.
#include <array>

#include "MEdidVgaParts.h"
#include "MSettingsPage.h"

class QLabel;

namespace orv {

class CGdipButton;
class CSxGroupBox;
class oRealEdit;

class MVgaDlg : public MSettingsPage {
  Q_OBJECT
 public:
  static constexpr int kTemplateId = 160;
  // Control ids of the template.
  static constexpr int kDisplayGroup = 1347;
  static constexpr int kAdcGroup = 1351;
  static constexpr int kDdcGroup = 1360;
  static constexpr int kClockEdit = 1354;
  static constexpr int kPhaseEdit = 1355;
  static constexpr int kHPositionEdit = 1356;
  static constexpr int kVPositionEdit = 1357;
  static constexpr int kInputSourceLabel = 1353;
  static constexpr int kAutoAdjustButton = 1352;
  static constexpr int kCodeLabel = 1362;
  static constexpr int kCodeEdit = 1368;
  static constexpr int kEnterButton = 1372;
  static constexpr int kLockSwitch = 1440;
  static constexpr int kRedOffsetEdit = 1001;
  static constexpr int kRedGainEdit = 1008;
  static constexpr int kGreenOffsetEdit = 1013;
  static constexpr int kGreenGainEdit = 1018;
  static constexpr int kBlueOffsetEdit = 1023;
  static constexpr int kBlueGainEdit = 1026;
  static constexpr int kCalibrateButton = 1186;
  static constexpr int kResetButton = 1195;
  static constexpr int kDdcSwitch = 1364;
  // Labels of the edits.
  static constexpr int kClockLabel = 1780;
  static constexpr int kPhaseLabel = 1781;
  static constexpr int kHPositionLabel = 1782;
  static constexpr int kVPositionLabel = 1783;
  static constexpr int kRedOffsetLabel = 1784;
  static constexpr int kRedGainLabel = 1785;
  static constexpr int kGreenOffsetLabel = 1786;
  static constexpr int kGreenGainLabel = 1787;
  static constexpr int kBlueOffsetLabel = 1788;
  static constexpr int kBlueGainLabel = 1789;

  static constexpr int kAccessCode = 4905;
  // How far the converter section grows while it is unlocked.
  static constexpr int kAdcGrowth = 150;

  explicit MVgaDlg(QWidget* parent);

  // After a VGA adjustment reply: the ten edits show the record's values.
  void RefreshFromDevice() override;
  // The device reported the end of an adjustment (event kind 1).
  void AdjustResult();
  // The page follows the input of `layer` (a layer's input changed, and
  // layer 0 after a full read-back).
  void ShowLayer(int layer);
  void ShowPage(bool show) override;
  void ReloadTexts() override;

  void AutoAdjust();
  void Calibrate();
  void ResetConverter();
  void EnterCode();
  bool AdcUnlocked() const { return adcUnlocked_; }

 protected:
  bool OnInitDialog() override;
  intptr_t OnMessage(const Message& message) override;

 private:
  void BuildControls();
  void CommitDisplayValues();
  void CommitConverterValues();
  void Unlock();
  void Lock();
  void ShowConverterControls(bool show);
  void ShowWaitBox();
  // The code edit and "enter" take input only while the converter of the
  // main layer's input is adjusted and locked.
  void UpdateCodeControls();

  static constexpr int kDisplayEditCount = 4;
  static constexpr int kAdcEditCount = 6;
  std::array<oRealEdit*, kDisplayEditCount> display_{};  // clock, phase, h and v position
  std::array<oRealEdit*, kAdcEditCount> adc_{};          // W1..W6
  std::array<QLabel*, kAdcEditCount> adcLabels_{};
  CSxGroupBox* displayGroup_ = nullptr;
  CSxGroupBox* adcGroup_ = nullptr;
  CSxGroupBox* ddcGroup_ = nullptr;
  QLabel* inputSource_ = nullptr;
  oRealEdit* code_ = nullptr;
  CGdipButton* enter_ = nullptr;
  CGdipButton* lock_ = nullptr;
  CGdipButton* calibrate_ = nullptr;
  CGdipButton* reset_ = nullptr;
  CGdipButton* ddc_ = nullptr;
  bool adcUnlocked_ = false;
  edidvga::EditsInFlight inFlight_;
  int targetLayer_ = -1;
  bool ddcOn_ = false;  // as last sent; no reply reports it  // the layer whose VGA input is
                        // adjusted, -1 none yet
};

}  // namespace orv
