#pragma once
// The crop page ("Image Crop"): per layer and input group the crop switch,
// the start and size of the kept part of the source in source pixels, and a
// scaled picture of the kept rectangle inside the source. Sends SET_CROP.
#include <array>
#include <memory>

#include "CropRules.h"
#include "MSettingsPage.h"

class QLabel;

namespace orv {

class CGdipButton;
class LayerTabRow;
class oRealEdit;

class MCropDlg : public MSettingsPage {
  Q_OBJECT
 public:
  static constexpr int kTemplateId = 119;

  enum ControlId : int {
    kFirstTab = 1930,  // four layer tabs
    kSourceLabel = 1934,
    kHStartLabel = 1935,
    kVStartLabel = 1936,
    kWidthLabel = 1937,
    kHeightLabel = 1938,
    kHStartEdit = 1939,
    kVStartEdit = 1940,
    kWidthEdit = 1941,
    kHeightEdit = 1942,
    kSwitchLabel = 1943,
    kSwitch = 1944,
    kReset = 1945,
  };

  explicit MCropDlg(QWidget* parent);
  ~MCropDlg() override;

  void RefreshFromDevice() override;
  void ReloadTexts() override;
  // Relabels and enables the layer tabs from the program/preview state.
  void UpdateLayerTabs();
  // The layer's source changed: the source name, the input group and its
  // crop values are re-read when it is the layer shown.
  void RefreshForLayer(int layer);
  void ShowSource();
  void SelectLayer(int layer);

  int SelectedLayer() const { return layer_; }
  int Group() const { return group_; }
  oRealEdit* Edit(CropEdit which) const { return edits_[static_cast<std::size_t>(which)]; }
  CGdipButton* Switch() const { return switch_; }
  CGdipButton* ResetButton() const { return reset_; }
  LayerTabRow& Tabs() const { return *tabs_; }
  QString SourceText() const;
  QRect PreviewArea() const;
  QRect PreviewRect() const { return preview_; }

  intptr_t OnMessage(const Message& message) override;

 protected:
  bool OnInitDialog() override;
  void PaintPage(QPainter& p) override;

 private:
  void BuildControls();
  void ShowValues();
  void EnableEdits(bool on);
  void UpdatePreview();
  void SwitchPressed();
  void ResetPressed();
  void EditCommitted(int id);
  CropWindow EditValues() const;

  int layer_ = 0;
  int group_ = 0;
  std::unique_ptr<LayerTabRow> tabs_;
  std::array<oRealEdit*, 4> edits_{};
  QLabel* source_ = nullptr;
  CGdipButton* switch_ = nullptr;
  CGdipButton* reset_ = nullptr;
  QRect preview_;
};

}  // namespace orv
