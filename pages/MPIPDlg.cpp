#include "MPIPDlg.h"

namespace orv {

MPIPDlg::MPIPDlg(QWidget* parent)
    : MSettingsPage(kTemplateId, parent, QStringLiteral("PIP Settings")) {}

void MPIPDlg::SelectLayerInput(int) {
  NoteRefresh();
}

}  // namespace orv
