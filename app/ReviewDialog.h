#pragma once
// The review before a project is sent to the processor: what will change on
// it, grouped by page, and what it sets by itself (left as it is). The
// operator sends all or cancels; the dialog only reports the choice.
#include <QDialog>
#include <QStringList>

#include "ParamFields.h"

class QLabel;
class QListWidget;

namespace orv {

class CGdipButton;

// The review's own texts, in English and Chinese.
enum class ReviewText {
  kTitle,
  kIntro,
  kNothing,
  kOwned,
  kSendAll,
  kCancel,
  kSilent,
  kVerified,
  kVerifyDiffers,
  kVerifyOwned,
  kNoCheck,
};
QString ReviewTextOf(ReviewText text, ImageLanguage language);

// The lines of a list: each page's name, then its groups' words indented.
QStringList ReviewLines(const std::vector<GroupChange>& changes, ImageLanguage language);

class ReviewDialog : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kSendId = 3101;
  static constexpr int kCancelId = 3102;

  ReviewDialog(QWidget* parent, const ImageDiff& diff, ImageLanguage language);

  CGdipButton* SendButton() const { return send_; }
  CGdipButton* CancelButton() const { return cancel_; }
  // The list as shown, line by line.
  QStringList Lines() const;

 private:
  void AddLines(const QStringList& lines, bool owned);

  QListWidget* list_ = nullptr;
  CGdipButton* send_ = nullptr;
  CGdipButton* cancel_ = nullptr;
};

}  // namespace orv
