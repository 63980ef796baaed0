#pragma once
// The common base of the settings pages that sit in the main window's page
// column: the page base dialog with its close button, a title taken from the
// language file (IDD<template>_Title), and the refresh every page offers the
// main window's refresh dispatcher.
#include <QString>

#include "MBaseDialog.h"

namespace orv {

class MSettingsPage : public MBaseDialog {
  Q_OBJECT
 public:
  // `fallbackTitle` is shown when the language file names no title.
  MSettingsPage(int templateId, QWidget* parent, QString fallbackTitle);

  // Re-reads the values the page shows from the device state record.
  virtual void RefreshFromDevice();
  void ReloadTexts() override;

  // How many times the page was told to re-read the record since it was made
  // (diagnostics and tests use it).
  int RefreshCount() const { return refreshCount_; }

 protected:
  bool OnInitDialog() override;
  void NoteRefresh() { ++refreshCount_; }

 private:
  QString fallbackTitle_;
  int refreshCount_ = 0;
};

}  // namespace orv
