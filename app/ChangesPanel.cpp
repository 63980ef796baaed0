#include "ChangesPanel.h"

#include <QDateTime>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "ChangeTexts.h"
#include "Skin.h"

namespace orv {

namespace {

enum Column { kTimeColumn, kChangeColumn, kStateColumn };

QString Words(const ChangeLine& line, WordsLanguage language) {
  return QString::fromStdString(line.words[static_cast<std::size_t>(language)]);
}

QColor StateColour(const ChangeLine& line) {
  if (line.state == LineState::Refused || line.state == LineState::Unconfirmed) {
    return QColor(235, 90, 70);
  }
  if (line.undone || line.barrier != Irreversible::None) return skin::kDisabledText;
  if (line.state == LineState::Pending) return skin::kOrange;
  return skin::kListEntry;
}

}  // namespace

ChangesPanel::ChangesPanel(QWidget* parent, std::function<void()> undo, std::function<void()> redo)
    : QWidget(parent, Qt::Tool) {
  setObjectName(QStringLiteral("ChangesPanel"));
  resize(560, 420);
  setStyleSheet(
      QStringLiteral("QWidget#ChangesPanel { background: rgb(16,16,16); }"
                     "QTreeWidget { background: rgb(46,46,46); color: rgb(213,213,213);"
                     " border: 1px solid rgb(30,30,30); }"
                     "QHeaderView::section { background: rgb(30,30,30);"
                     " color: rgb(239,156,0); border: none; padding: 2px; }"
                     "QLabel { color: rgb(235,235,235); }"
                     "QPushButton { background: rgb(46,46,46); color: rgb(235,235,235);"
                     " border: 1px solid rgb(90,90,90); padding: 3px 12px; }"
                     "QPushButton:pressed { background: rgb(239,156,0); }"));
  list_ = new QTreeWidget(this);
  list_->setColumnCount(3);
  list_->setRootIsDecorated(false);
  list_->setUniformRowHeights(true);
  list_->setSelectionMode(QAbstractItemView::NoSelection);
  list_->setFocusPolicy(Qt::NoFocus);
  list_->header()->setStretchLastSection(false);
  list_->header()->setSectionResizeMode(kTimeColumn, QHeaderView::ResizeToContents);
  list_->header()->setSectionResizeMode(kChangeColumn, QHeaderView::Stretch);
  list_->header()->setSectionResizeMode(kStateColumn, QHeaderView::ResizeToContents);

  undo_ = new QPushButton(this);
  redo_ = new QPushButton(this);
  undo_->setFocusPolicy(Qt::NoFocus);
  redo_->setFocusPolicy(Qt::NoFocus);
  connect(undo_, &QPushButton::clicked, this, [undo = std::move(undo)] { undo(); });
  connect(redo_, &QPushButton::clicked, this, [redo = std::move(redo)] { redo(); });
  notice_ = new QLabel(this);
  notice_->setWordWrap(false);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(undo_);
  buttons->addWidget(redo_);
  buttons->addWidget(notice_, 1);
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(6, 6, 6, 6);
  column->addLayout(buttons);
  column->addWidget(list_, 1);
  ApplyTexts();
}

void ChangesPanel::ApplyTexts() {
  setWindowTitle(ChangeUiTextOf(ChangeUiText::kTitle));
  list_->setHeaderLabels({ChangeUiTextOf(ChangeUiText::kTime),
                          ChangeUiTextOf(ChangeUiText::kChange),
                          ChangeUiTextOf(ChangeUiText::kState)});
  undo_->setText(ChangeUiTextOf(ChangeUiText::kUndo));
  redo_->setText(ChangeUiTextOf(ChangeUiText::kRedo));
}

void ChangesPanel::SetLanguage(WordsLanguage language) {
  language_ = language;
}

void ChangesPanel::SetNotice(const QString& text) {
  notice_->setText(text);
  notice_->setToolTip(text);
}

void ChangesPanel::Fill(QTreeWidgetItem* item, const ChangeLine& line) const {
  const QDateTime time = QDateTime::fromMSecsSinceEpoch(line.timeMs);
  item->setText(kTimeColumn, time.toString(QStringLiteral("HH:mm:ss")));
  item->setText(kChangeColumn, Words(line, language_));
  item->setToolTip(kChangeColumn, Words(line, language_));
  item->setText(kStateColumn, QString::fromStdString(line.StateText(language_)));
  const QColor colour = StateColour(line);
  for (int c = 0; c < 3; ++c) item->setForeground(c, colour);
  QFont font = item->font(kChangeColumn);
  font.setStrikeOut(line.undone);
  item->setFont(kChangeColumn, font);
}

void ChangesPanel::Show(const ChangeLine& line) {
  if (QTreeWidgetItem* item = rows_.value(line.id, nullptr)) {
    Fill(item, line);
    return;
  }
  auto* item = new QTreeWidgetItem;
  item->setData(kTimeColumn, Qt::UserRole, QVariant::fromValue<quint64>(line.id));
  Fill(item, line);
  list_->insertTopLevelItem(0, item);
  rows_.insert(line.id, item);
  while (list_->topLevelItemCount() > kMaxRows) {
    QTreeWidgetItem* oldest = list_->takeTopLevelItem(list_->topLevelItemCount() - 1);
    rows_.remove(oldest->data(kTimeColumn, Qt::UserRole).value<quint64>());
    delete oldest;
  }
}

void ChangesPanel::ShowAll(const std::vector<ChangeLine>& lines) {
  list_->clear();
  rows_.clear();
  for (const ChangeLine& line : lines) Show(line);
}

}  // namespace orv
