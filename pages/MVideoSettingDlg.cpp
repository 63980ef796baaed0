#include "MVideoSettingDlg.h"

namespace orv {

MVideoSettingDlg::MVideoSettingDlg(QWidget* parent)
    : MSettingsPage(kTemplateId, parent, QStringLiteral("Video Display Setting")) {}

}  // namespace orv
