#pragma once
// The preview encoder's quality and the encoder update.
// The page exists with its title band, close button and template number;
// its controls come with the page's own work.
#include "MSettingsPage.h"

namespace orv {

class MVideoSettingDlg : public MSettingsPage {
 public:
  static constexpr int kTemplateId = 1533;
  explicit MVideoSettingDlg(QWidget* parent);
};

}  // namespace orv
