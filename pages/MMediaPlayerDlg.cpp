#include "MMediaPlayerDlg.h"

namespace orv {

MMediaPlayerDlg::MMediaPlayerDlg(QWidget* parent)
    : MSettingsPage(kTemplateId, parent, QStringLiteral("Media Player Setting")) {}

}  // namespace orv
