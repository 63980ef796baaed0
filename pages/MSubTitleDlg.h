#pragma once
// Caption texts, their pictures and the upload.
// The page exists with its title band, close button and template number;
// its controls come with the page's own work.
#include "MSettingsPage.h"

namespace orv {

class MSubTitleDlg : public MSettingsPage {
 public:
  static constexpr int kTemplateId = 1514;
  explicit MSubTitleDlg(QWidget* parent);
  // Re-reads caption `index` (or all with -1).
  void RefreshCaption(int index);
  // The device is ready for captions.
  void EnableCaptions();
  // The device took the last caption chunk.
  void ChunkAcknowledged();
  // The device accepted (or refused) a caption upload.
  void UploadStarted(bool ok);
};

}  // namespace orv
