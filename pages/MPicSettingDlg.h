#pragma once
// Picture modes and the per-input picture adjustments.
// The page exists with its title band, close button and template number;
// its controls come with the page's own work.
#include "MSettingsPage.h"

namespace orv {

class MPicSettingDlg : public MSettingsPage {
 public:
  static constexpr int kTemplateId = 110;
  explicit MPicSettingDlg(QWidget* parent);
  // The layer's input changed: re-read its picture values when it is the layer shown.
  void RefreshForLayer(int layer);
};

}  // namespace orv
