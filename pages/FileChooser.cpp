#include "FileChooser.h"

#include <utility>

#include <QFileDialog>

namespace orv {

namespace {

FileChooser& Installed() {
  static FileChooser chooser;
  return chooser;
}

QString RunDialog(QWidget* parent, const FileRequest& request) {
  QFileDialog dialog(parent, QString(), QString(), request.filter);
  dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dialog.setDefaultSuffix(request.defaultSuffix);
  // The save dialog asks before it replaces a file (the default of AcceptSave).
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().front();
}

}  // namespace

QString ChooseFile(QWidget* parent, const FileRequest& request) {
  if (Installed()) return Installed()(parent, request);
  return RunDialog(parent, request);
}

FileChooser SetFileChooser(FileChooser chooser) {
  return std::exchange(Installed(), std::move(chooser));
}

}  // namespace orv
