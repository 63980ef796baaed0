#pragma once
// The main window's one-line report of writes the processor did not confirm:
// refused (and why, when it said), answered with other values, or left
// unanswered. Non-modal: the line only changes its text; nothing waits.
#include <optional>

#include <QString>
#include <QTime>
#include <QWidget>

#include "WriteEvents.h"

namespace orv {

// The operator's sentence for an outcome, in the active language; empty for
// a confirmed write.
QString WriteOutcomeText(const WriteOutcome& outcome);

class WriteOutcomeLine : public QWidget {
 public:
  static constexpr int kControlId = 1498;

  explicit WriteOutcomeLine(QWidget* parent);

  // A confirmed write leaves the line as it is.
  void Show(const WriteOutcome& outcome);
  // The line in the language active now (it follows a language switch).
  QString Text() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::optional<WriteOutcome> shown_;
  QTime at_;
};

}  // namespace orv
