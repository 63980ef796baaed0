#pragma once
// Test patterns and pixel grab.
// The page exists with its title band, close button and template number;
// its controls come with the page's own work.
#include "MSettingsPage.h"

namespace orv {

class MTstPatternDlg : public MSettingsPage {
 public:
  static constexpr int kTemplateId = 152;
  explicit MTstPatternDlg(QWidget* parent);
  // Whether a test pattern is on (the input strip ignores clicks then).
  bool PatternActive() const;
  // The main window posts UM_TEST_PATTERN_REFRESH after a test-pattern reply.
  intptr_t OnMessage(const Message& message) override;
};

}  // namespace orv
