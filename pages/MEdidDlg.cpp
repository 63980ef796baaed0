#include "MEdidDlg.h"

namespace orv {

MEdidDlg::MEdidDlg(QWidget* parent)
    : MSettingsPage(kTemplateId, parent, QStringLiteral("EDID Settings")) {}

void MEdidDlg::ApplyResult() {
  NoteRefresh();
}

}  // namespace orv
