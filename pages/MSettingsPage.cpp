#include "MSettingsPage.h"

#include <string>

#include "UiTexts.h"

namespace orv {

MSettingsPage::MSettingsPage(int templateId, QWidget* parent, QString fallbackTitle)
    : MBaseDialog(templateId, parent, true), fallbackTitle_(std::move(fallbackTitle)) {}

bool MSettingsPage::OnInitDialog() {
  MBaseDialog::OnInitDialog();
  CreateTitleButtons();
  ReloadTexts();
  return true;
}

void MSettingsPage::RefreshFromDevice() {
  NoteRefresh();
}

void MSettingsPage::ReloadTexts() {
  const std::string title = GetRawText("IDD" + std::to_string(TemplateId()) + "_Title");
  SetTitleText(title.empty() ? fallbackTitle_ : QString::fromStdString(title));
}

}  // namespace orv
