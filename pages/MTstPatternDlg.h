#pragma once
// Test patterns and pixel grab: switches the device's built-in test patterns
// 1..111 on its output (SET_TEST_PATTERN) and has the device report the
// colour of one output pixel chosen by its coordinates (SET_PIXEL_GRAB),
// shown as a swatch and as red, green and blue numbers. While a pattern is in
// use the main window locks the layer windows (UM_LOCK_LAYERS). The two
// exclude each other: switching one on releases the other. A button opens the
// caption page. Shown as a tab of the misc page.
#include <cstdint>

#include "MSettingsPage.h"

namespace orv {

class CGdipButton;
class GrabSwatch;
class CSxGroupBox;
class oRealEdit;
class oSliderEdit;
class oBitmapSlider;

class MTstPatternDlg : public MSettingsPage {
  Q_OBJECT
 public:
  static constexpr int kTemplateId = 152;
  static constexpr int kFirstPattern = 1;
  static constexpr int kLastPattern = 111;
  // Sub-code of UM_PAGE_REQUEST that shows or hides a tab of the misc page;
  // the caption page is tab 4.
  static constexpr int kMiscTabRequest = 0x5A2;
  static constexpr int kCaptionTab = 4;

  enum ControlId : int {
    kPatternGroup = 1271,
    kGrabGroup = 1272,
    kPatternSwitch = 1273,
    kPrevious = 1274,
    kNext = 1275,
    kHStartEdit = 1287,
    kVStartEdit = 1288,
    kGrabSwitch = 1187,
    kCaptionButton = 1515,
    kPatternEdit = 1533,
    kPatternSlider = 1534,
    kHStartLabel = 2800,
    kVStartLabel = 2801,
    kSwatch = 2802,
  };

  explicit MTstPatternDlg(QWidget* parent);

  // Whether a test pattern is in use (the input strip ignores clicks then).
  bool PatternActive() const { return patternInUse_ != 0; }
  int PatternInUse() const { return patternInUse_; }
  // Shows the pattern the record holds (after an undo wrote it) without
  // sending: the switch, the number and the layer lock follow it.
  void RefreshFromRecord();
  void ShowPage(bool show) override;
  void ReloadTexts() override;
  // UM_TEST_PATTERN_REFRESH after a pixel grab report; UM_VALUE_COMMITTED.
  intptr_t OnMessage(const Message& message) override;

  CGdipButton* PatternSwitch() const { return patternSwitch_; }
  CGdipButton* PreviousButton() const { return previous_; }
  CGdipButton* NextButton() const { return next_; }
  oSliderEdit* PatternEdit() const { return patternEdit_; }
  oBitmapSlider* PatternSlider() const { return slider_; }
  CGdipButton* GrabSwitch() const { return grabSwitch_; }
  oRealEdit* HStartEdit() const { return hStart_; }
  oRealEdit* VStartEdit() const { return vStart_; }
  CGdipButton* CaptionButton() const { return captionButton_; }
  GrabSwatch* Swatch() const { return swatch_; }

 protected:
  bool OnInitDialog() override;

 private:
  void BuildControls();
  void PatternSwitched();
  void Step(int delta);
  void PatternCommitted();
  void CoordinateCommitted();
  void GrabSwitched();
  void CaptionPressed();
  void ShowGrabResult();
  // Releases the pattern switch with the caption "Off" and disables the
  // pattern controls; with `stopPattern` also switches the pattern off.
  void ReleasePatternSwitch(bool stopPattern);
  void EnablePatternControls(bool on);
  void EnableCoordinates(bool on);
  void UsePattern(int pattern);
  void SendGrab(bool on);
  void PostLock(bool lock);
  void PostCaptionPage(bool show);

  int patternInUse_ = 0;
  CSxGroupBox* patternGroup_ = nullptr;
  CSxGroupBox* grabGroup_ = nullptr;
  CGdipButton* patternSwitch_ = nullptr;
  CGdipButton* previous_ = nullptr;
  CGdipButton* next_ = nullptr;
  oSliderEdit* patternEdit_ = nullptr;
  oBitmapSlider* slider_ = nullptr;
  CGdipButton* grabSwitch_ = nullptr;
  oRealEdit* hStart_ = nullptr;
  oRealEdit* vStart_ = nullptr;
  CGdipButton* captionButton_ = nullptr;
  GrabSwatch* swatch_ = nullptr;
};

}  // namespace orv
