#pragma once
// The media player of the USB-disk input.
// The page exists with its title band, close button and template number;
// its controls come with the page's own work.
#include "MSettingsPage.h"

namespace orv {

class MMediaPlayerDlg : public MSettingsPage {
 public:
  static constexpr int kTemplateId = 1563;
  explicit MMediaPlayerDlg(QWidget* parent);
};

}  // namespace orv
