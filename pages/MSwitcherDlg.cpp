#include "MSwitcherDlg.h"

namespace orv {

MSwitcherDlg::MSwitcherDlg(QWidget* parent)
    : MSettingsPage(kTemplateId, parent, QStringLiteral("Switcher Mode")) {}

void MSwitcherDlg::SetMultiMachineEnabled(bool) {
  NoteRefresh();
}

}  // namespace orv
