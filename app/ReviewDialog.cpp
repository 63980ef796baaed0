#include "ReviewDialog.h"

#include <array>

#include <QLabel>
#include <QListWidget>

#include "CGdipButton.h"
#include "PageWidgets.h"
#include "Skin.h"

namespace orv {

namespace {

struct ReviewTextRow {
  ReviewText id;
  const char* english;
  const char* chinese;
};

constexpr std::array<ReviewTextRow, 11> kReviewTexts = {{
    {ReviewText::kTitle, "Review Before Sending", "发送前核对"},
    {ReviewText::kIntro, "Sending the project changes these settings of the processor:",
     "发送工程将改变处理器的以下设置："},
    {ReviewText::kNothing, "The processor already holds the project's settings.",
     "处理器的设置与工程一致。"},
    {ReviewText::kOwned, "Set by the processor itself (sending leaves them as they are):",
     "由处理器自行设置（发送不会改变）："},
    {ReviewText::kSendAll, "Send All", "全部发送"},
    {ReviewText::kCancel, "Cancel", "取消"},
    {ReviewText::kSilent,
     "The processor did not send its settings for the review. Nothing was sent.",
     "处理器没有发回其设置，无法核对。未发送任何数据。"},
    {ReviewText::kVerified, "The processor holds what was sent.", "处理器已保存发送的设置。"},
    {ReviewText::kVerifyDiffers, "After the write the processor differs from what was sent:",
     "写入后，处理器与发送的设置不一致："},
    {ReviewText::kVerifyOwned,
     "Set by the processor itself (not counted):", "由处理器自行设置（不计入）："},
    {ReviewText::kNoCheck,
     "The project was sent, but the processor did not send its settings back for the check.",
     "工程已发送，但处理器没有发回其设置以供核对。"},
}};

constexpr QSize kSize(680, 460);
constexpr int kMargin = 16;
const QRect kTitleRect(kMargin, 12, kSize.width() - 2 * kMargin, 26);
const QRect kIntroRect(kMargin, 44, kSize.width() - 2 * kMargin, 22);
const QRect kListRect(kMargin, 72, kSize.width() - 2 * kMargin, 320);
const QRect kSendRect(kSize.width() - 2 * 140 - kMargin - 12, 408, 140, 30);
const QRect kCancelRect(kSize.width() - 140 - kMargin, 408, 140, 30);

}  // namespace

QString ReviewTextOf(ReviewText text, ImageLanguage language) {
  for (const ReviewTextRow& row : kReviewTexts) {
    if (row.id == text) {
      return QString::fromUtf8(language == ImageLanguage::Chinese ? row.chinese : row.english);
    }
  }
  return {};
}

QStringList ReviewLines(const std::vector<GroupChange>& changes, ImageLanguage language) {
  QStringList lines;
  bool first = true;
  ImagePage page{};
  for (const GroupChange& change : changes) {
    const ImagePage now = PageOf(change.group);
    if (first || now != page) lines << QString::fromStdString(PageName(now, language));
    first = false;
    page = now;
    lines << QStringLiteral("    ") + QString::fromStdString(change.words);
  }
  return lines;
}

ReviewDialog::ReviewDialog(QWidget* parent, const ImageDiff& diff, ImageLanguage language)
    : QDialog(parent) {
  setWindowTitle(ReviewTextOf(ReviewText::kTitle, language));
  setFixedSize(kSize);
  setPalette(skin::DarkPalette());
  setAutoFillBackground(true);

  auto* title = new QLabel(ReviewTextOf(ReviewText::kTitle, language), this);
  title->setFont(skin::TitleFont());
  title->setStyleSheet(QStringLiteral("color: %1;").arg(skin::kOrange.name()));
  title->setGeometry(kTitleRect);

  const bool nothing = diff.changes.empty();
  auto* intro =
      new QLabel(ReviewTextOf(nothing ? ReviewText::kNothing : ReviewText::kIntro, language), this);
  intro->setFont(skin::ArialFont(15));
  intro->setStyleSheet(QStringLiteral("color: %1;").arg(skin::kText.name()));
  intro->setGeometry(kIntroRect);

  list_ = new QListWidget(this);
  list_->setGeometry(kListRect);
  list_->setFont(skin::ArialFont(15));
  list_->setSelectionMode(QAbstractItemView::NoSelection);
  list_->setFocusPolicy(Qt::NoFocus);
  list_->setStyleSheet(QStringLiteral("QListWidget { background: %1; border: 1px solid %2; }")
                           .arg(skin::kListFill.name(), skin::kBorder.name()));
  AddLines(ReviewLines(diff.changes, language), false);
  if (!diff.processorChanges.empty()) {
    if (!nothing) list_->addItem(QString());
    AddLines({ReviewTextOf(ReviewText::kOwned, language)}, true);
    AddLines(ReviewLines(diff.processorChanges, language), true);
  }

  send_ = MakePageButton(this, kSendId, ReviewTextOf(ReviewText::kSendAll, language), kSendRect);
  cancel_ =
      MakePageButton(this, kCancelId, ReviewTextOf(ReviewText::kCancel, language), kCancelRect);
  connect(send_, &QAbstractButton::clicked, this, &QDialog::accept);
  connect(cancel_, &QAbstractButton::clicked, this, &QDialog::reject);
}

void ReviewDialog::AddLines(const QStringList& lines, bool owned) {
  for (const QString& line : lines) {
    auto* item = new QListWidgetItem(line, list_);
    const bool heading = !line.startsWith(QLatin1Char(' '));
    if (owned) {
      item->setForeground(skin::kDisabledText);
    } else {
      item->setForeground(heading ? skin::kOrange : skin::kListEntry);
    }
    if (heading) {
      QFont bold = list_->font();
      bold.setBold(true);
      item->setFont(bold);
    }
  }
}

QStringList ReviewDialog::Lines() const {
  QStringList lines;
  for (int i = 0; i < list_->count(); ++i) lines << list_->item(i)->text();
  return lines;
}

}  // namespace orv
