#pragma once
// The logo layer (PIP-3 usage) and its stored logos.
// The page exists with its title band, close button and template number;
// its controls come with the page's own work.
#include "MSettingsPage.h"

namespace orv {

class MLogoDlg : public MSettingsPage {
 public:
  static constexpr int kTemplateId = 164;
  explicit MLogoDlg(QWidget* parent);
  // Re-reads the PIP-3 window the logo shares.
  void RereadPip3Window();
};

}  // namespace orv
