#include "MKeyerDlg.h"

namespace orv {

MKeyerDlg::MKeyerDlg(QWidget* parent)
    : MSettingsPage(kTemplateId, parent, QStringLiteral("Chroma Keyer Settings")) {}

}  // namespace orv
