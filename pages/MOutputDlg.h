#pragma once
// Output timing, custom resolutions, layer window numbers and rotation.
// The page exists with its title band, close button and template number;
// its controls come with the page's own work.
#include "MSettingsPage.h"

namespace orv {

class MOutputDlg : public MSettingsPage {
 public:
  static constexpr int kTemplateId = 117;
  explicit MOutputDlg(QWidget* parent);
  // Re-reads the output timing.
  void RefreshTiming();
  // Re-reads which layer tabs exist in the current mode.
  void UpdateLayerTabs();
  // Re-reads the window numbers of the selected layer.
  void ReloadSelectedLayer();
  // Makes `layer` the selected layer.
  void SelectLayer(int layer);
};

}  // namespace orv
