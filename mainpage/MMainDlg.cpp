#include "MMainDlg.h"

#include <QPainter>

#include "CMemuDC.h"
#include "MessageIds.h"
#include "Skin.h"

namespace orv {

MMainDlg::MMainDlg(QWidget* parent) : MBaseDialog(kTemplateId, parent) {}

void MMainDlg::RefreshPreviewFlag() {
  ++updateCount_;
}

void MMainDlg::RefreshLayerLayout() {
  ++updateCount_;
  update();
}

void MMainDlg::PlaceLayerWindow(int) {
  ++updateCount_;
}

void MMainDlg::RelabelLayerCell(int) {
  ++updateCount_;
}

void MMainDlg::LockLayerCells(bool locked) {
  layerCellsLocked_ = locked;
}

intptr_t MMainDlg::OnMessage(const Message& message) {
  switch (message.id) {
    case UM_PVW_MODE_CHANGED:
    case UM_OUTPUT_CHANGED:
      RefreshLayerLayout();
      return 1;
    default:
      return MBaseDialog::OnMessage(message);
  }
}

void MMainDlg::paintEvent(QPaintEvent*) {
  QPainter target(this);
  CMemuDC dc(target, rect(), true);
  QPainter& p = dc;
  PaintBackground(p);
  p.setPen(QPen(skin::kBorder, 2));
  p.setBrush(Qt::NoBrush);
  p.drawRect(rect().adjusted(1, 1, -1, -1));
}

}  // namespace orv
