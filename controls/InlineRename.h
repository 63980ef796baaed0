#pragma once
// The commit of the main window's inline rename editor (a CMyEdit placed over
// a preset or input label): on Enter, and on the editor's focus-loss
// notification. Escape hides the editor without a commit, so a later
// focus-loss notification finds it hidden and does nothing.
#include <string>

#include "PresetNames.h"

class QLineEdit;

namespace orv {

// When the editor shows: hides it, stores its text for the session's target
// (remark of an input, or name of a preset in `group`) in memory and in the
// settings file, and returns what was renamed so the caller can redraw that
// label. A hidden editor, or a session without a target, changes nothing.
RenameSession::Renamed CommitInlineRename(QLineEdit* editor, RenameSession& session, int group,
                                          PresetNames& presets, InputRemarks& remarks,
                                          const std::string& settingsPath);

}  // namespace orv
