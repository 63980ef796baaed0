#include "CListCtrlCl.h"

#include <algorithm>

#include <QPainter>
#include <QStyledItemDelegate>

#include "ControlId.h"
#include "Skin.h"

namespace orv {

// ---- CHeaderCtrlCl ----

CHeaderCtrlCl::CHeaderCtrlCl(QWidget* parent)
    : QHeaderView(Qt::Horizontal, parent), font_(skin::ArialFont(18, 700)) {
  setSectionsClickable(false);
  setHighlightSections(false);
}

void CHeaderCtrlCl::AddColumnText(const QString& text, QChar alignment) {
  texts_.append(text);
  alignment_.append(alignment);
  viewport()->update();
}

void CHeaderCtrlCl::SetGradient(QColor start, int step) {
  start_ = start;
  step_ = step;
  viewport()->update();
}

void CHeaderCtrlCl::SetHeightFactor(double factor) {
  heightFactor_ = factor;
  updateGeometry();
}

void CHeaderCtrlCl::SetHeaderFont(int height, int width) {
  font_ = skin::ArialFont(height, 700);
  if (width > 0) font_.setStretch(std::clamp(width * 100 / std::max(1, height / 2), 50, 200));
  updateGeometry();
}

void CHeaderCtrlCl::SetTextColor(QColor c) {
  textColour_ = c;
  viewport()->update();
}

QColor CHeaderCtrlCl::GradientRow(QColor start, int step, int row) {
  auto f = [&](int v) { return std::max(0, v - step * row); };
  return QColor(f(start.red()), f(start.green()), f(start.blue()));
}

Qt::Alignment CHeaderCtrlCl::AlignmentOf(QChar c) {
  if (c == QLatin1Char('0')) return Qt::AlignLeft;
  if (c == QLatin1Char('2')) return Qt::AlignRight;
  return Qt::AlignHCenter;
}

QSize CHeaderCtrlCl::sizeHint() const {
  QSize s = QHeaderView::sizeHint();
  const int textHeight = QFontMetrics(font_).height() + 6;
  s.setHeight(static_cast<int>(std::max(s.height(), textHeight) * heightFactor_));
  return s;
}

void CHeaderCtrlCl::FillGradient(QPainter& p, const QRect& r) const {
  for (int y = r.top(); y <= r.bottom(); ++y) {
    p.fillRect(QRect(r.left() + 1, y, r.width() - 1, 1), GradientRow(start_, step_, y - r.top()));
  }
}

void CHeaderCtrlCl::paintEvent(QPaintEvent*) {
  QPainter p(viewport());
  p.setFont(font_);
  const int h = viewport()->height();
  int lastRight = -1;
  for (int i = 0; i < count(); ++i) {
    if (isSectionHidden(i)) continue;
    const QRect r(sectionViewportPosition(i), 0, sectionSize(i), h);
    FillGradient(p, r);
    lastRight = std::max(lastRight, r.right());
    const QChar a = i < alignment_.size() ? alignment_[i] : QLatin1Char('1');
    QRect textRect = r;
    if (a == QLatin1Char('0')) textRect.setLeft(textRect.left() + 3);
    if (a == QLatin1Char('2')) textRect.setRight(textRect.right() - 3);
    const QString text = i < texts_.size() ? texts_[i] : QString();
    p.setPen(textColour_);
    p.drawText(textRect, AlignmentOf(a) | Qt::AlignVCenter | Qt::TextSingleLine, text);
  }
  // The space right of the last column gets the same gradient.
  if (lastRight + 1 < viewport()->width()) {
    FillGradient(p, QRect(lastRight + 1, 0, viewport()->width() - lastRight - 1, h));
  }
}

// ---- cells ----

class CellDelegate : public QStyledItemDelegate {
 public:
  explicit CellDelegate(CListCtrlCl* list) : QStyledItemDelegate(list), list_(list) {}

  void paint(QPainter* p, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    const bool selected = option.state & QStyle::State_Selected;
    const int row = index.row();
    const int column = index.column();
    p->save();
    p->fillRect(option.rect, list_->CellFill(row, column, selected));
    p->setFont(list_->cellFont_);
    p->setPen(list_->CellTextColor(row, column, selected));
    const QString& align = list_->header_->AlignmentString();
    const QChar a = column < align.size() ? align[column] : QLatin1Char('1');
    p->drawText(option.rect, CHeaderCtrlCl::AlignmentOf(a) | Qt::AlignVCenter | Qt::TextSingleLine,
                index.data().toString().left(511));
    p->restore();
  }

 private:
  CListCtrlCl* list_;
};

// ---- CListCtrlCl ----

CListCtrlCl::CListCtrlCl(QWidget* parent, int controlId)
    : QTableWidget(parent), header_(new CHeaderCtrlCl(this)), cellFont_(skin::ArialFont(15, 700)) {
  SetControlId(this, controlId);
  setHorizontalHeader(header_);
  verticalHeader()->hide();
  setShowGrid(false);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setItemDelegate(new CellDelegate(this));
  SetBkColor(background_);
}

int CListCtrlCl::InsertColumn(int column, const QString& text, QChar alignment, int width) {
  column = std::clamp(column, 0, columnCount());
  header_->AddColumnText(text, alignment);
  insertColumn(column);
  setColumnWidth(column, width);
  return column;
}

int CListCtrlCl::InsertItem(int row, const QString& text) {
  row = std::clamp(row, 0, rowCount());
  insertRow(row);
  if (rowHeight_ > 0) setRowHeight(row, rowHeight_);
  SetItemText(row, 0, text);
  return row;
}

bool CListCtrlCl::SetItemText(int row, int column, const QString& text) {
  if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount()) return false;
  QTableWidgetItem* it = item(row, column);
  if (!it) {
    it = new QTableWidgetItem;
    setItem(row, column, it);
  }
  it->setText(text);
  return true;
}

QString CListCtrlCl::GetItemText(int row, int column) const {
  const QTableWidgetItem* it = item(row, column);
  return it ? it->text() : QString();
}

void CListCtrlCl::SetRowHeight(int height) {
  rowHeight_ = height;
  if (height > 0) verticalHeader()->setDefaultSectionSize(height);
}

void CListCtrlCl::SetCellFont(int height, int width) {
  cellFont_ = skin::ArialFont(height, 700);
  if (width > 0) cellFont_.setStretch(std::clamp(width * 100 / std::max(1, height / 2), 50, 200));
  viewport()->update();
}

void CListCtrlCl::SetBkColor(QColor c) {
  background_ = c;
  QPalette pal = palette();
  pal.setColor(QPalette::Base, c);
  pal.setColor(QPalette::Window, c);
  setPalette(pal);
  viewport()->update();
}

void CListCtrlCl::SetTextColor(QColor c) {
  textColour_ = c;
  viewport()->update();
}

void CListCtrlCl::SetSelectedColors(QColor fill, QColor text) {
  selectedFill_ = fill;
  selectedText_ = text;
  viewport()->update();
}

void CListCtrlCl::SetColumnFill(int column, QColor c) {
  columnFill_[column] = c;
  viewport()->update();
}
void CListCtrlCl::SetCellFill(int row, int column, QColor c) {
  cellFill_[{row, column}] = c;
  viewport()->update();
}
void CListCtrlCl::SetColumnTextColor(int column, QColor c) {
  columnText_[column] = c;
  viewport()->update();
}
void CListCtrlCl::SetCellTextColor(int row, int column, QColor c) {
  cellText_[{row, column}] = c;
  viewport()->update();
}

QColor CListCtrlCl::CellFill(int row, int column, bool selected) const {
  if (selected) return selectedFill_;
  QColor c = background_;
  if (auto it = columnFill_.find(column); it != columnFill_.end()) c = it->second;
  if (auto it = cellFill_.find({row, column}); it != cellFill_.end()) c = it->second;
  return c;
}

QColor CListCtrlCl::CellTextColor(int row, int column, bool selected) const {
  if (selected) return selectedText_;
  QColor c = textColour_;
  if (auto it = columnText_.find(column); it != columnText_.end()) c = it->second;
  if (auto it = cellText_.find({row, column}); it != cellText_.end()) c = it->second;
  return c;
}

}  // namespace orv
