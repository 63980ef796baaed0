#pragma once
// PIP layers, their inputs and transparency.
// The page exists with its title band, close button and template number;
// its controls come with the page's own work.
#include "MSettingsPage.h"

namespace orv {

class MPIPDlg : public MSettingsPage {
 public:
  static constexpr int kTemplateId = 150;
  explicit MPIPDlg(QWidget* parent);
  // The input list of PIP layer `layer` (1..3) shows the layer's input.
  void SelectLayerInput(int layer);
};

}  // namespace orv
