#include "ProjectReview.h"

#include <utility>

#include <QStringList>

#include "CommandEncoder.h"
#include "DeviceState.h"
#include "ImageCapture.h"
#include "MessageBox.h"
#include "Messages.h"
#include "ReadBack.h"
#include "ReplySink.h"
#include "ReviewDialog.h"
#include "UiTexts.h"
#include "WriteEvents.h"

namespace orv {

namespace {

constexpr uint8_t kEventReply = 24;
constexpr uint8_t kEventImageStored = 2;
constexpr int kTipsText = 38;

}  // namespace

ProjectReview::ProjectReview(QWidget* owner, std::function<bool()> connected)
    : owner_(owner), connected_(std::move(connected)) {}

// A capture this review armed (a read, or the one that drops a late image)
// must not outlive it: the next connection's read-back would lose its image.
ProjectReview::~ProjectReview() {
  const bool armed =
      step_ == Step::ReadingBefore || step_ == Step::ReadingAfter || lateObserver_ >= 0;
  StopWatching();
  if (lateObserver_ >= 0) RemoveSendObserver(lateObserver_);
  if (armed) DisarmImageCapture();
}

ReviewDialog* ProjectReview::Dialog() const {
  return dialog_.data();
}

ImageLanguage ProjectReview::Language() const {
  return ImageLanguageOf(ActiveLanguageName());
}

void ProjectReview::Start() {
  // The review's dialog is modal; any other step still pending when the
  // button is usable again lost its answer (the wait box is gone).
  if (step_ == Step::Reviewing) return;
  if (step_ == Step::ReadingBefore || step_ == Step::ReadingAfter) DisarmImageCapture();
  StopWatching();
  step_ = Step::Idle;
  if (lateObserver_ >= 0) RemoveSendObserver(lateObserver_);
  lateObserver_ = -1;
  if (!connected_ || !connected_()) {
    FullWriteBack();
    return;
  }
  { project_ = State()->block; }
  ReadProcessor(Step::ReadingBefore);
}

// The image comes on the reply thread and is handled on this one; a step
// that ended meanwhile (time-out) ignores it.
void ProjectReview::ReadProcessor(Step step) {
  step_ = step;
  QPointer<ProjectReview> self(this);
  ArmImageCapture([self](const ParamBlock& image) {
    RunOnGuiThread([self, image] {
      if (self) self->OnImage(image);
    });
  });
  StartFullReadBack();
}

void ProjectReview::OnImage(const ParamBlock& image) {
  GetReplySink().BusyOff();
  if (step_ == Step::ReadingBefore) {
    ShowReview(image);
  } else if (step_ == Step::ReadingAfter) {
    step_ = Step::Idle;
    ReportCheck(image);
  }
}

void ProjectReview::ShowReview(const ParamBlock& processor) {
  step_ = Step::Reviewing;
  dialog_ = new ReviewDialog(owner_, DiffImages(processor, project_, Language()), Language());
  dialog_->setAttribute(Qt::WA_DeleteOnClose);
  connect(dialog_, &QDialog::finished, this,
          [this](int result) { OnChoice(result == QDialog::Accepted); });
  dialog_->open();
}

void ProjectReview::OnChoice(bool send) {
  if (step_ != Step::Reviewing) return;
  if (!send) {
    step_ = Step::Idle;
    return;
  }
  step_ = Step::Writing;
  QPointer<ProjectReview> self(this);
  // The image WRITE_ALL takes from the record, as it went out (sending thread).
  sendObserver_ = AddSendObserver([self, this](const SentCommand& sent) {
    if (sent.type == WRITE_ALL && sent.record != nullptr && self) sent_ = sent.record->block;
  });
  replyObserver_ = AddReplyObserver([self](const Reply& reply) {
    if (reply.dataType != kEventReply || reply.data.empty()) return;
    if (reply.data[0] != kEventImageStored) return;
    RunOnGuiThread([self] {
      if (self) self->OnWritten();
    });
  });
  // What was reviewed is what is sent, whatever reports came meanwhile.
  { State()->block = project_; }
  sent_ = project_;
  FullWriteBack();
}

void ProjectReview::OnWritten() {
  if (step_ != Step::Writing) return;
  StopWatching();
  ReadProcessor(Step::ReadingAfter);
}

void ProjectReview::ReportCheck(const ParamBlock& processor) {
  const ImageDiff diff = DiffImages(sent_, processor, Language());
  QStringList text;
  if (diff.changes.empty()) {
    text << ReviewTextOf(ReviewText::kVerified, Language());
  } else {
    text << ReviewTextOf(ReviewText::kVerifyDiffers, Language());
    text << ReviewLines(diff.changes, Language());
  }
  if (!diff.processorChanges.empty()) {
    text << QString() << ReviewTextOf(ReviewText::kVerifyOwned, Language());
    text << ReviewLines(diff.processorChanges, Language());
  }
  Message(text.join(QLatin1Char('\n')));
}

bool ProjectReview::WaitTimedOut() {
  switch (step_) {
    case Step::ReadingBefore:
      DropLateImage();
      step_ = Step::Idle;
      Message(ReviewTextOf(ReviewText::kSilent, Language()));
      return true;
    case Step::ReadingAfter:
      DropLateImage();
      step_ = Step::Idle;
      Message(ReviewTextOf(ReviewText::kNoCheck, Language()));
      return true;
    case Step::Writing:
      StopWatching();
      step_ = Step::Idle;
      return false;
    case Step::Idle:
    case Step::Reviewing:
      return false;
  }
  return false;
}

// An image that comes after the time-out would replace the project in the
// record: it is dropped, until the next GET_ALL from anywhere asks afresh.
void ProjectReview::DropLateImage() {
  ArmImageCapture([](const ParamBlock&) {});
  if (lateObserver_ >= 0) return;
  lateObserver_ = AddSendObserver([](const SentCommand& sent) {
    if (sent.type == GET_ALL) DisarmImageCapture();
  });
}

void ProjectReview::StopWatching() {
  if (sendObserver_ >= 0) RemoveSendObserver(sendObserver_);
  if (replyObserver_ >= 0) RemoveReplyObserver(replyObserver_);
  sendObserver_ = -1;
  replyObserver_ = -1;
}

void ProjectReview::Message(const QString& text) {
  ShowMessageBox(owner_, text, QString::fromStdString(UiText(kTipsText)));
}

}  // namespace orv
