#include "MSubTitleDlg.h"

namespace orv {

MSubTitleDlg::MSubTitleDlg(QWidget* parent)
    : MSettingsPage(kTemplateId, parent, QStringLiteral("Caption Setting")) {}

void MSubTitleDlg::RefreshCaption(int) {
  NoteRefresh();
}

void MSubTitleDlg::EnableCaptions() {
  NoteRefresh();
}

void MSubTitleDlg::ChunkAcknowledged() {
  NoteRefresh();
}

void MSubTitleDlg::UploadStarted(bool) {
  NoteRefresh();
}

}  // namespace orv
