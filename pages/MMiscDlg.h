#pragma once
// Language, project files, loop-out, system information and the sub-pages.
// The page exists with its title band, close button and template number;
// its controls come with the page's own work.
#include "MSettingsPage.h"

namespace orv {

class MMiscDlg : public MSettingsPage {
 public:
  static constexpr int kTemplateId = 158;
  explicit MMiscDlg(QWidget* parent);
  // Re-reads the loop-out choice.
  void RefreshLoopOut();
  // Re-reads the system information.
  void RefreshSystemInfo();
};

}  // namespace orv
