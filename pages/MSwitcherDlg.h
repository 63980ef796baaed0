#pragma once
// The program/preview switcher mode and its fade durations.
// The page exists with its title band, close button and template number;
// its controls come with the page's own work.
#include "MSettingsPage.h"

namespace orv {

class MSwitcherDlg : public MSettingsPage {
 public:
  static constexpr int kTemplateId = 183;
  explicit MSwitcherDlg(QWidget* parent);
  // The multi-machine button follows the connection type.
  void SetMultiMachineEnabled(bool enabled);
};

}  // namespace orv
