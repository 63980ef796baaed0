#pragma once
// The two chroma keyers.
// The page exists with its title band, close button and template number;
// its controls come with the page's own work.
#include "MSettingsPage.h"

namespace orv {

class MKeyerDlg : public MSettingsPage {
 public:
  static constexpr int kTemplateId = 154;
  explicit MKeyerDlg(QWidget* parent);
};

}  // namespace orv
