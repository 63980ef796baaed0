#include "MCropDlg.h"

namespace orv {

MCropDlg::MCropDlg(QWidget* parent)
    : MSettingsPage(kTemplateId, parent, QStringLiteral("Image Crop")) {}

void MCropDlg::RefreshForLayer(int) {
  NoteRefresh();
}

}  // namespace orv
