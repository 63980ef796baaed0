#pragma once
// The VGA converter adjustment.
// The page exists with its title band, close button and template number;
// its controls come with the page's own work.
#include "MSettingsPage.h"

namespace orv {

class MVgaDlg : public MSettingsPage {
 public:
  static constexpr int kTemplateId = 160;
  explicit MVgaDlg(QWidget* parent);
  // The device reported the result of a VGA adjustment.
  void AdjustResult();
  // The page follows the input of `layer`.
  void ShowLayer(int layer);
};

}  // namespace orv
