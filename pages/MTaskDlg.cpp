#include "MTaskDlg.h"

namespace orv {

MTaskDlg::MTaskDlg(QWidget* parent)
    : MSettingsPage(kTemplateId, parent, QStringLiteral("Time/Task Management")) {}

void MTaskDlg::RefreshClock() {
  NoteRefresh();
}

void MTaskDlg::RefreshPresets() {
  NoteRefresh();
}

}  // namespace orv
