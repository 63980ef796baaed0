#include "MOutputDlg.h"

namespace orv {

MOutputDlg::MOutputDlg(QWidget* parent)
    : MSettingsPage(kTemplateId, parent, QStringLiteral("Output Setting")) {}

void MOutputDlg::RefreshTiming() {
  NoteRefresh();
}

void MOutputDlg::UpdateLayerTabs() {
  NoteRefresh();
}

void MOutputDlg::ReloadSelectedLayer() {
  NoteRefresh();
}

void MOutputDlg::SelectLayer(int) {
  NoteRefresh();
}

}  // namespace orv
