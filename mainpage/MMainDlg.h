#pragma once
// The main page on the right of the main window: the layout canvas with the
// output areas and the four layer windows, arranged from the device state
// record. When the operator moves a layer window the page writes it into
// CHNLDATA and sends it to the device; it tells the main window which layer
// the operator works on. The arrangement itself lives in MainPageCells.
#include <memory>

#include <QPointer>

#include "MBaseDialog.h"
#include "MainPagePreview.h"

namespace orv {

class CPictureCtrl;
class NoLinkOverlay;
namespace mainpage {
class MainPageCells;
}

class MMainDlg : public MBaseDialog {
  Q_OBJECT
 public:
  static constexpr int kTemplateId = 108;
  static constexpr uint32_t kZOrderTimer = 240;
  static constexpr uint32_t kTopButtonsTimer = 241;
  static constexpr int kTimerMs = 5000;
  // The page's own message: the preview was switched (wParam REPLY1_FLAG).
  static constexpr uint32_t kPreviewSwitched = 0x4A1;
  static constexpr int kCanvasSize = 10000;

  explicit MMainDlg(QWidget* parent);
  ~MMainDlg() override;

  // Operations the main window calls.
  void ShowLayerCell(int layer, bool show);
  void RelabelLayer(int layer);
  void PlaceLayer(int layer);
  void UpdateLogoLayer(int w);
  void LayoutLayers();
  // After a full read-back: the areas sized to the output resolution, the
  // layout, and each layer shown by its on/off state.
  void LayoutAfterReadBack();
  void PlaceOutputAreas(int part);
  void CheckPreviewFlag();
  void LockOutputAreas(bool locked, bool applyLayers);
  void SetPreviewSize(int code);
  void OutputResolutionChanged();
  // The test pattern fixes the layer cells where they are (0x5C2).
  void LockLayerCells(bool locked);
  bool LayerCellsLocked() const { return layerCellsLocked_; }
  // TOP-M..TOP-3: the layer's cell selected and brought to the front.
  void BringLayerToFront(int layer);

  // The preview behind the cells' video: the page makes the live one when it
  // initialises; a replacement is handed over before any link opens, since
  // the reply thread feeds the preview stream through FeedVideoPacket.
  void SetPreview(std::unique_ptr<MainPagePreview> preview);
  MainPagePreview* Preview() const { return preview_.get(); }
  // The main window's preview button.
  void ToggleVideoWindow();
  // Reply thread: one packet of the device's preview stream.
  void FeedVideoPacket(int channel, std::span<const uint8_t> bytes);

  // The link to the processor is lost (true) or back: while lost the live
  // video is stopped and the page is covered with `text`; when it is back
  // the video follows the processor's preview flag again.
  void ShowLinkLost(bool lost, const QString& text = {});
  bool LinkLostShown() const;

  CPictureCtrl* Canvas() const { return canvas_; }
  const mainpage::MainPageCells* Cells() const { return cells_.get(); }
  int CurrentLayer() const { return currentLayer_; }
  // The context menu's single entry ("TopSetting" in the active language).
  static QString TopSettingText();

  intptr_t OnMessage(const Message& message) override;

 protected:
  bool OnInitDialog() override;
  void OnTimer(uint32_t id) override;
  // The canvas covers the page: nothing to paint under it.
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  void ArrangeProgramPreview();
  void OnLayerMoved(bool wasArea);
  void OnLayerActivated(intptr_t cell);
  void OnPreviewSwitched(bool on);
  void ShowContextMenu(const QPoint& globalPos, QWidget* clicked);
  void LayerPlaced(int layer, bool added);
  QWidget* MainWindow();

  CPictureCtrl* canvas_ = nullptr;
  QPointer<NoLinkOverlay> noLink_;
  QPointer<NoLinkOverlay> videoNoLink_;  // on the video window
  std::unique_ptr<mainpage::MainPageCells> cells_;
  std::unique_ptr<MainPagePreview> preview_;
  int currentLayer_ = 0;
  bool layerCellsLocked_ = false;
};

}  // namespace orv
