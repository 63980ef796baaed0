// The main window's side of write confirmations: the tracker that lives as
// long as the window, its timer, and the operator's line for what the
// processor refused, answered with other values or left unanswered.
#include <QMetaObject>
#include <utility>

#include "ConfirmationTracker.h"
#include "LinkWatch.h"
#include "OrvDlg.h"
#include "Timers.h"
#include "WriteOutcomeLine.h"

namespace orv {

namespace {

// Beside the link indicator, in the bottom row.
const QRect kOutcomeLineRect(712, 701, 540, 22);

}  // namespace

void OrvDlg::StartConfirmations() {
  outcomeLine_ = new WriteOutcomeLine(content_);
  outcomeLine_->setGeometry(kOutcomeLineRect);
  outcomeLine_->show();
  ConfirmationTracker::Options options;
  // Tests that run the window's timers by hand run its answer time with them.
  options.clock = [] { return ManualTimers() ? ManualTimeMs() : LinkWatch::SteadyMilliseconds(); };
  confirmations_ = std::make_unique<ConfirmationTracker>(std::move(options));
  // Outcomes come on the reply thread or the timer's; the line is the
  // user-interface thread's. A queued call to a window already gone is dropped.
  outcomeObserver_ = AddOutcomeObserver([this](const WriteOutcome& outcome) {
    QMetaObject::invokeMethod(
        this, [this, outcome] { OnWriteOutcome(outcome); }, Qt::QueuedConnection);
  });
  SetTimer(kConfirmTimerId, kConfirmTimerMs);
}

void OrvDlg::StopConfirmations() {
  KillTimer(kConfirmTimerId);
  if (outcomeObserver_ != 0) RemoveOutcomeObserver(outcomeObserver_);
  outcomeObserver_ = 0;
  confirmations_.reset();
}

void OrvDlg::ExpireConfirmations() {
  if (confirmations_) confirmations_->Expire();
}

// The record already follows the processor: a disagreeing report was applied
// and refreshed the pages; a refusal or silence read the area back, whose
// answer refreshes them. Here the operator is told.
void OrvDlg::OnWriteOutcome(const WriteOutcome& outcome) {
  if (outcomeLine_ != nullptr) outcomeLine_->Show(outcome);
}

}  // namespace orv
