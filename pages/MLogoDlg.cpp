#include "MLogoDlg.h"

namespace orv {

MLogoDlg::MLogoDlg(QWidget* parent)
    : MSettingsPage(kTemplateId, parent, QStringLiteral("Logo Settings")) {}

void MLogoDlg::RereadPip3Window() {
  NoteRefresh();
}

}  // namespace orv
