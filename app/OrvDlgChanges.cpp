// The main window's side of the undo history: where its log goes, where its
// toggle and notice sit, and which pages re-read the record after an undo.
#include "ChangesControl.h"
#include "CommandEncoder.h"
#include "Ini.h"
#include "LinkIndicator.h"
#include "MMainDlg.h"
#include "MTstPatternDlg.h"
#include "MessageIds.h"
#include "OrvDlg.h"
#include "PageTable.h"
#include "WriteOutcomeLine.h"

namespace orv {

namespace {

// The log lives beside the project the panel started with.
std::string ChangesLogPath(const std::string& projectPath) {
  const auto slash = projectPath.find_last_of('/');
  const std::string folder =
      slash == std::string::npos ? AppFolder() : projectPath.substr(0, slash + 1);
  return folder + "changes.log";
}

constexpr int kToggleWidth = 110;
constexpr int kGap = 6;

}  // namespace

void OrvDlg::StartChanges() {
  ChangesControl::Options options;
  options.settingsPath = settingsPath_;
  options.logPath = ChangesLogPath(projectPath_);
  options.refresh = [this](uint16_t command, int reportType, int arg) {
    RefreshAfterUndo(command, reportType, arg);
  };
  changes_ = std::make_unique<ChangesControl>(*this, *content_, std::move(options));
  PlaceChanges();
}

// The toggle right of the link indicator. Right of the toggle is the one
// status slot: the line of unconfirmed writes, with the undo notice over it
// while the notice shows (so neither covers the preset names above).
void OrvDlg::PlaceChanges() {
  if (!changes_ || linkIndicator_ == nullptr) return;
  const QRect indicator = linkIndicator_->geometry();
  const QRect toggle(indicator.right() + kGap, indicator.top(), kToggleWidth, indicator.height());
  QRect status(toggle.right() + kGap, indicator.top(), 0, indicator.height());
  if (outcomeLine_ != nullptr) {
    status.setRight(outcomeLine_->geometry().right());
    outcomeLine_->setGeometry(status);
  } else {
    status.setWidth(indicator.width());
  }
  changes_->Place(toggle, status);
}

// After an undo or redo the record holds the restored fields: the pages that
// show them re-read it as after the processor's own report of them, and the
// main window does what the operator's click did beside the send.
void OrvDlg::RefreshAfterUndo(uint16_t command, int reportType, int arg) {
  if (reportType >= 0) QueueSteps(RefreshSteps(reportType), arg);
  switch (command) {
    case SET_LAYER_INPUT:
      OnLayerInput(arg, false);
      break;
    case SET_LAYER_ONOFF:
      OnPageRequest(request::kPipCell, arg, {});
      break;
    case SET_OUTPUT_TIMING:
      SendMsg(main_, UM_OUTPUT_CHANGED);
      break;
    case SET_TEST_PATTERN:
      testPattern_->RefreshFromRecord();
      break;
    default:
      break;
  }
}

}  // namespace orv
