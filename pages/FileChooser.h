#pragma once
// The file-open and file-save dialogs of the pages. Tests install a chooser
// that answers without a window, as they do for message boxes.
#include <functional>

#include <QString>

class QWidget;

namespace orv {

struct FileRequest {
  bool save = false;      // a save dialog that asks before overwriting; else the file must exist
  QString filter;         // "Orv File(*.pro)"
  QString defaultSuffix;  // appended when the operator types a name without one
};

// Returns the chosen path, or an empty string when the operator cancelled.
using FileChooser = std::function<QString(QWidget* parent, const FileRequest& request)>;

QString ChooseFile(QWidget* parent, const FileRequest& request);

// Replaces the dialog by `chooser` (an empty one restores the dialog);
// returns the previous chooser.
FileChooser SetFileChooser(FileChooser chooser);

}  // namespace orv
