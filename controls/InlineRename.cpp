#include "InlineRename.h"

#include <QLineEdit>

namespace orv {

RenameSession::Renamed CommitInlineRename(QLineEdit* editor, RenameSession& session, int group,
                                          PresetNames& presets, InputRemarks& remarks,
                                          const std::string& settingsPath) {
  if (editor == nullptr || editor->isHidden()) return {};
  if (session.target() == RenameSession::Target::kNone) return {};
  editor->hide();
  const std::string text = editor->text().toStdString();
  return session.Commit(text, group, presets, remarks, settingsPath);
}

}  // namespace orv
