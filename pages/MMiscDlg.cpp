#include "MMiscDlg.h"

namespace orv {

MMiscDlg::MMiscDlg(QWidget* parent)
    : MSettingsPage(kTemplateId, parent, QStringLiteral("Misc Settings")) {}

void MMiscDlg::RefreshLoopOut() {
  NoteRefresh();
}

void MMiscDlg::RefreshSystemInfo() {
  NoteRefresh();
}

}  // namespace orv
