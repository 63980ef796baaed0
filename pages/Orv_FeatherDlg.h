#pragma once
// Edge feathering of the outputs.
// The page exists with its title band, close button and template number;
// its controls come with the page's own work.
#include "MSettingsPage.h"

namespace orv {

class Orv_FeatherDlg : public MSettingsPage {
 public:
  static constexpr int kTemplateId = 184;
  explicit Orv_FeatherDlg(QWidget* parent);
};

}  // namespace orv
