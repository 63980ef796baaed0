#include "MVgaDlg.h"

namespace orv {

MVgaDlg::MVgaDlg(QWidget* parent)
    : MSettingsPage(kTemplateId, parent, QStringLiteral("VGA Adjustment")) {}

void MVgaDlg::AdjustResult() {
  NoteRefresh();
}

void MVgaDlg::ShowLayer(int) {
  NoteRefresh();
}

}  // namespace orv
