#pragma once
// The main page on the right of the main window: the scaled drawing of the
// outputs with the layer windows and the live preview inside them. The page
// exists with its template number and the operations the main window calls;
// the canvas and the preview come with their own work, until then the page
// draws the empty canvas area.
#include "MBaseDialog.h"

namespace orv {

class MMainDlg : public MBaseDialog {
  Q_OBJECT
 public:
  static constexpr int kTemplateId = 108;
  explicit MMainDlg(QWidget* parent);

  // The video flag of the device (REPLY1_FLAG) changed: preview on or off.
  void RefreshPreviewFlag();
  // Outputs and layers re-laid out from the record.
  void RefreshLayerLayout();
  // Layer `layer`'s window re-placed from CHNLDATA[layer].
  void PlaceLayerWindow(int layer);
  // Layer `layer`'s cell relabelled after an input change.
  void RelabelLayerCell(int layer);
  // The layer cells become fixed (test pattern on) or movable again.
  void LockLayerCells(bool locked);
  bool LayerCellsLocked() const { return layerCellsLocked_; }

  int UpdateCount() const { return updateCount_; }

  intptr_t OnMessage(const Message& message) override;

 protected:
  // The main page has no title band: background and canvas frame only.
  void paintEvent(QPaintEvent* event) override;

 private:
  int updateCount_ = 0;
  bool layerCellsLocked_ = false;
};

}  // namespace orv
