#include "MPicSettingDlg.h"

namespace orv {

MPicSettingDlg::MPicSettingDlg(QWidget* parent)
    : MSettingsPage(kTemplateId, parent, QStringLiteral("Picture Setting")) {}

void MPicSettingDlg::RefreshForLayer(int) {
  NoteRefresh();
}

}  // namespace orv
