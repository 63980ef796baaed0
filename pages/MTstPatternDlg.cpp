#include "MTstPatternDlg.h"

#include "MessageIds.h"

namespace orv {

MTstPatternDlg::MTstPatternDlg(QWidget* parent)
    : MSettingsPage(kTemplateId, parent, QStringLiteral("Test Pattern")) {}

bool MTstPatternDlg::PatternActive() const {
  return false;
}

intptr_t MTstPatternDlg::OnMessage(const Message& message) {
  if (message.id == UM_TEST_PATTERN_REFRESH) {
    RefreshFromDevice();
    return 1;
  }
  return MSettingsPage::OnMessage(message);
}

}  // namespace orv
