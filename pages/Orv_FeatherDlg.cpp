#include "Orv_FeatherDlg.h"

namespace orv {

Orv_FeatherDlg::Orv_FeatherDlg(QWidget* parent)
    : MSettingsPage(kTemplateId, parent, QStringLiteral("Feathering")) {}

}  // namespace orv
