#pragma once
// Per-input crop windows.
// The page exists with its title band, close button and template number;
// its controls come with the page's own work.
#include "MSettingsPage.h"

namespace orv {

class MCropDlg : public MSettingsPage {
 public:
  static constexpr int kTemplateId = 119;
  explicit MCropDlg(QWidget* parent);
  // The layer's input changed: re-read its input-dependent values when it is the layer shown.
  void RefreshForLayer(int layer);
};

}  // namespace orv
