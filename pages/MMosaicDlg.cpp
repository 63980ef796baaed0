#include "MMosaicDlg.h"

namespace orv {

MMosaicDlg::MMosaicDlg(QWidget* parent)
    : MSettingsPage(kTemplateId, parent, QStringLiteral("Mosaic Setting")) {}

void MMosaicDlg::RefreshKind(int) {
  NoteRefresh();
}

}  // namespace orv
