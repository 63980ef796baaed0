#pragma once
// The mosaic page: mosaic on/off, the five panel layouts, the clickable
// pictures of the arrangement parts (which part of a larger wall this device
// shows) and, per layer, its place inside the large picture (start, size,
// totals). Sends SET_MOSAIC and the re-reads that follow; asks the main
// window to re-lay out the output areas (0x5B4, 0x5B5).
#include <array>
#include <memory>

#include "LayerFeatureRules.h"
#include "MSettingsPage.h"

namespace orv {

class CGdipButton;
class CSxGroupBox;
class LayerTabRow;
class oRealEdit;

class MMosaicDlg : public MSettingsPage {
  Q_OBJECT
 public:
  static constexpr int kTemplateId = 120;
  static constexpr int kEdits = 6;

  enum ControlId : int {
    kAutoGroup = 2450,
    kManualGroup = 2451,
    kSwitchLabel = 2452,
    kSwitch = 2453,
    kFirstLayout = 2454,  // "Panel x 1" .. "Panel x 4": 2454..2458
    kFirstTab = 2459,     // four layer tabs: 2459..2462
    kFirstLabel = 2463,   // H Start .. V Total labels: 2463..2468
    kFirstEdit = 2469,    // H Start .. V Total edits: 2469..2474
    kReset = 2475,
  };

  explicit MMosaicDlg(QWidget* parent);
  ~MMosaicDlg() override;

  void RefreshFromDevice() override;
  void ReloadTexts() override;
  // Re-reads the mosaic values of one kind (the argument of the mosaic reply).
  void RefreshKind(int kind);

  bool On() const { return on_; }
  int PressedLayout() const { return layout_; }  // 0..4
  int ChosenPart() const { return chosenPart_; }
  int SelectedLayer() const { return layer_; }
  CGdipButton* Switch() const { return switch_; }
  CGdipButton* LayoutButton(int i) const { return layouts_[static_cast<std::size_t>(i)]; }
  CGdipButton* ResetButton() const { return reset_; }
  oRealEdit* Edit(MosaicEdit e) const { return edits_[static_cast<std::size_t>(e)]; }
  LayerTabRow& Tabs() const { return *tabs_; }
  // Where part `part`'s picture (with its caption area) is, or an empty rectangle.
  QRect PartRect(int part) const;

  intptr_t OnMessage(const Message& message) override;

 protected:
  bool OnInitDialog() override;
  void PaintPage(QPainter& p) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  void BuildControls();
  void ApplyEnabling();
  void ShowLayouts();
  void ShowLayer();
  void SwitchPressed();
  void LayoutPressed(int index);
  void PartClicked(const QPoint& at);
  void LayerSelected(int layer);
  void EditCommitted(int id);
  void ResetPressed();
  void SendMosaic(int layer, int mode);
  void ShowWait();
  void AskMainWindow(int subCode, int arg, bool post);
  int Mode() const;
  MosaicValues EditValues() const;

  bool on_ = false;
  int layout_ = 0;
  int layer_ = 0;
  int chosenPart_ = kNoMosaicPart;
  std::array<bool, kMosaicParts> selected_{};
  CSxGroupBox* autoGroup_ = nullptr;
  CSxGroupBox* manualGroup_ = nullptr;
  CGdipButton* switch_ = nullptr;
  std::array<CGdipButton*, kMosaicLayouts> layouts_{};
  std::array<oRealEdit*, kEdits> edits_{};
  CGdipButton* reset_ = nullptr;
  std::unique_ptr<LayerTabRow> tabs_;
};

}  // namespace orv
