#pragma once
// The output page ("Output Setting"): the output timing (18 fixed
// resolutions and one custom resolution with its timing rows, every custom
// entry kept within the pixel-clock budget), and for the selected layer its
// window in output pixels with the full / half / quarter shortcuts and the
// eight rotation modes with a preview picture. Sends SET_OUTPUT_TIMING and
// SET_LAYER_WINDOW, and asks for what a new output raster changes.
#include <array>
#include <memory>

#include <QImage>

#include "MSettingsPage.h"
#include "OutputRules.h"
#include "ParamBlock.h"

class QLabel;

namespace orv {

class CDropButton;
class CGdipButton;
class CSxGroupBox;
class LayerTabRow;
class oRealEdit;

class MOutputDlg : public MSettingsPage {
  Q_OBJECT
 public:
  static constexpr int kTemplateId = 117;
  static constexpr int kResolutionListId = 0xFFC0;
  static constexpr int kHPolListId = 0xFFB0;
  static constexpr int kVPolListId = 0xFFA0;
  static constexpr int kCustomIndex = 18;

  enum ControlId : int {
    kResolutionGroup = 2200,
    kWidthLabel = 2201,  // labels 2201..2203: H Active, V Active, FPS
    kWidthEdit = 2204,
    kHeightEdit = 2205,
    kRateEdit = 2206,
    kMore = 2207,
    kApply = 2208,
    kFirstTimingLabel = 2209,  // H total, V total, H sync, V sync, Hbp, Vbp, H pol, V pol
    kFirstTimingEdit = 2217,   // H total, V total, H sync, V sync, Hbp, Vbp: 2217..2222
    kFirstTab = 2223,          // four layer tabs
    kFirstWindowLabel = 2227,  // H Start, V Start, Width, Height
    kFirstWindowEdit = 2231,   // left, top, width, height: 2231..2234
    kFullScreen = 2235,
    kHalf = 2236,
    kQuarter = 2237,
    kRotateGroup = 2238,
    kFirstRotation = 2239,  // eight rotation buttons 2239..2246
  };
  // Timing edits, in the order of their control ids.
  static constexpr int kHTotal = 0, kVTotal = 1, kHSync = 2, kVSync = 3, kHbp = 4, kVbp = 5;
  static constexpr int kTimingEdits = 6;

  explicit MOutputDlg(QWidget* parent);
  ~MOutputDlg() override;

  // The output timing was read back: shows it (the refresh dispatcher's name
  // for the page's RefreshFromDevice).
  void RefreshTiming();
  void RefreshFromDevice() override;
  void UpdateLayerTabs();
  // Reloads the window numbers and rotation of the selected layer.
  void ReloadSelectedLayer();
  void SelectLayer(int layer);
  // Shows `index` of the resolution table; with `send` applies it on the device.
  void SelectResolution(int index, bool send);
  void ShowPage(bool show) override;
  void ReloadTexts() override;
  intptr_t OnMessage(const Message& message) override;

  int SelectedLayer() const { return layer_; }
  bool TimingRowsShown() const { return rowsShown_; }
  int PreviewMode() const { return previewMode_; }
  CDropButton* ResolutionList() const { return resolutionList_; }
  CDropButton* PolarityList(int which) const { return which == 0 ? hPolList_ : vPolList_; }
  oRealEdit* WidthEdit() const { return sizeEdits_[0]; }
  oRealEdit* HeightEdit() const { return sizeEdits_[1]; }
  oRealEdit* RateEdit() const { return sizeEdits_[2]; }
  oRealEdit* TimingEditOf(int which) const { return timingEdits_[static_cast<std::size_t>(which)]; }
  oRealEdit* WindowEdit(int which) const { return windowEdits_[static_cast<std::size_t>(which)]; }
  CGdipButton* MoreButton() const { return more_; }
  CGdipButton* ApplyButton() const { return apply_; }
  CGdipButton* Button(int id) const;
  CGdipButton* RotationButton(int mode) const { return rotations_[static_cast<std::size_t>(mode)]; }
  LayerTabRow& Tabs() const { return *tabs_; }
  const QImage& PreviewPicture() const { return preview_; }
  QRect PreviewArea() const;

 protected:
  bool OnInitDialog() override;
  void PaintPage(QPainter& p) override;

 private:
  void BuildControls();
  void FillResolutionList();
  void ShowTimingRows(bool shown);
  void ShowTiming(const OutputReso& timing);
  void ApplyCustom();
  void TimingCommitted(int id);
  void WindowCommitted(int which);
  void SetWindow(const LayerWindow& w);
  void FullScreen();
  void HalfOrQuarter(bool quarter);
  void Rotate(int mode);
  void ShowRotation(int mode);
  void LoadLayerWindow();
  void SendLayerWindow();
  LayerWindow WindowValues() const;

  int layer_ = 0;
  bool rowsShown_ = false;
  int previewMode_ = 0;
  std::unique_ptr<LayerTabRow> tabs_;
  CSxGroupBox* resolutionGroup_ = nullptr;
  CSxGroupBox* rotateGroup_ = nullptr;
  CDropButton* resolutionList_ = nullptr;
  CDropButton* hPolList_ = nullptr;
  CDropButton* vPolList_ = nullptr;
  std::array<oRealEdit*, 3> sizeEdits_{};
  std::array<oRealEdit*, kTimingEdits> timingEdits_{};
  std::array<QWidget*, 8> timingLabels_{};
  std::array<oRealEdit*, 4> windowEdits_{};
  CGdipButton* more_ = nullptr;
  CGdipButton* apply_ = nullptr;
  std::array<CGdipButton*, kRotationModes> rotations_{};
  QImage sample_;
  QImage preview_;
};

}  // namespace orv
