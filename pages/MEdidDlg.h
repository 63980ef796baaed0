#pragma once
// The EDID timing of each input.
// The page exists with its title band, close button and template number;
// its controls come with the page's own work.
#include "MSettingsPage.h"

namespace orv {

class MEdidDlg : public MSettingsPage {
 public:
  static constexpr int kTemplateId = 156;
  explicit MEdidDlg(QWidget* parent);
  // The device reported the result of an EDID apply.
  void ApplyResult();
};

}  // namespace orv
