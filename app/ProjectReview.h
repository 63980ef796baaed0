#pragma once
// "Set Data To Machine" with a review: the processor's image is read back
// without touching the record (which holds the project about to be sent),
// the operator sees what will change and sends all or cancels; nothing is
// written before that choice. After the write the image is read back again
// and every field that differs from what was sent is reported, the fields
// the processor owns named apart. Each read and the write run under the wait
// box, whose time-out ends the step with a message.
#include <QObject>
#include <QPointer>
#include <functional>

#include "ParamBlock.h"
#include "ParamFields.h"

class QWidget;

namespace orv {

class ReviewDialog;

class ProjectReview : public QObject {
  Q_OBJECT
 public:
  enum class Step { Idle, ReadingBefore, Reviewing, Writing, ReadingAfter };

  // `connected` says whether a processor answers on the link; without one the
  // button writes as it always did.
  ProjectReview(QWidget* owner, std::function<bool()> connected);
  ~ProjectReview() override;

  // The button: starts the review (or the plain write-back without a link).
  void Start();
  // The wait box gave up: a pending read ends with its own message (true);
  // false when no read was pending (the caller says the device did not answer).
  bool WaitTimedOut();

  Step CurrentStep() const { return step_; }
  // The review while it is shown, else null.
  ReviewDialog* Dialog() const;

 private:
  void ReadProcessor(Step step);
  void OnImage(const ParamBlock& image);
  void ShowReview(const ParamBlock& processor);
  void OnChoice(bool send);
  void OnWritten();
  void ReportCheck(const ParamBlock& processor);
  void StopWatching();
  void DropLateImage();
  void Message(const QString& text);
  ImageLanguage Language() const;

  QWidget* owner_;
  std::function<bool()> connected_;
  Step step_ = Step::Idle;
  ParamBlock project_{};  // the image the operator reviews and sends
  ParamBlock sent_{};     // the image WRITE_ALL carried
  QPointer<ReviewDialog> dialog_;
  int sendObserver_ = -1;
  int replyObserver_ = -1;
  int lateObserver_ = -1;
};

}  // namespace orv
