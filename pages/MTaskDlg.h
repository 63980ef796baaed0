#pragma once
// Device clock and the ten scheduled preset tasks.
// The page exists with its title band, close button and template number;
// its controls come with the page's own work.
#include "MSettingsPage.h"

namespace orv {

class MTaskDlg : public MSettingsPage {
 public:
  static constexpr int kTemplateId = 162;
  explicit MTaskDlg(QWidget* parent);
  // Re-reads the device clock.
  void RefreshClock();
  // Re-reads which presets hold data.
  void RefreshPresets();
};

}  // namespace orv
