#pragma once
// Mosaic mode and its cells.
// The page exists with its title band, close button and template number;
// its controls come with the page's own work.
#include "MSettingsPage.h"

namespace orv {

class MMosaicDlg : public MSettingsPage {
 public:
  static constexpr int kTemplateId = 120;
  explicit MMosaicDlg(QWidget* parent);
  // Re-reads the mosaic values of one kind (the argument of the mosaic reply).
  void RefreshKind(int kind);
};

}  // namespace orv
