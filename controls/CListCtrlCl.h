#pragma once
// The owner-drawn report list with a gradient header (the connection page's
// machine list). The owner adds a column with InsertColumn, which appends its
// text and alignment character ('0' left, '1' centred, '2' right) to the header.
#include <map>
#include <utility>

#include <QColor>
#include <QHeaderView>
#include <QTableWidget>

namespace orv {

class CHeaderCtrlCl : public QHeaderView {
  Q_OBJECT
 public:
  explicit CHeaderCtrlCl(QWidget* parent = nullptr);

  void AddColumnText(const QString& text, QChar alignment);
  const QStringList& ColumnTexts() const { return texts_; }
  const QString& AlignmentString() const { return alignment_; }
  void SetAlignmentString(const QString& s) {
    alignment_ = s;
    viewport()->update();
  }
  void SetGradient(QColor start, int step);
  void SetHeightFactor(double factor);
  void SetHeaderFont(int height, int width = 0);
  void SetTextColor(QColor c);
  QColor TextColor() const { return textColour_; }

  // Colour of pixel row `row` of the header: the start colour with `step`
  // taken off each component per row, not below 0.
  static QColor GradientRow(QColor start, int step, int row);
  // Qt alignment of an alignment character.
  static Qt::Alignment AlignmentOf(QChar c);

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void FillGradient(QPainter& p, const QRect& r) const;
  QStringList texts_;
  QString alignment_;
  QColor start_{171, 199, 235};
  int step_ = 8;
  double heightFactor_ = 1.0;
  QFont font_;
  QColor textColour_{0, 0, 0};
};

class CListCtrlCl : public QTableWidget {
  Q_OBJECT
 public:
  explicit CListCtrlCl(QWidget* parent = nullptr, int controlId = 0);

  CHeaderCtrlCl* Header() const { return header_; }
  int InsertColumn(int column, const QString& text, QChar alignment, int width);
  int InsertItem(int row, const QString& text);
  bool SetItemText(int row, int column, const QString& text);
  QString GetItemText(int row, int column) const;

  // 0 keeps the platform's row height.
  void SetRowHeight(int height);
  void SetCellFont(int height, int width = 0);
  void SetBkColor(QColor c);
  QColor BkColor() const { return background_; }
  void SetTextColor(QColor c);
  QColor TextColor() const { return textColour_; }
  void SetSelectedColors(QColor fill, QColor text);
  void SetColumnFill(int column, QColor c);
  void SetCellFill(int row, int column, QColor c);
  void SetColumnTextColor(int column, QColor c);
  void SetCellTextColor(int row, int column, QColor c);

  // What a cell is drawn with, after the list, column and cell settings.
  QColor CellFill(int row, int column, bool selected) const;
  QColor CellTextColor(int row, int column, bool selected) const;

 private:
  friend class CellDelegate;
  CHeaderCtrlCl* header_;
  int rowHeight_ = 0;
  QFont cellFont_;
  QColor background_{255, 255, 255};
  QColor textColour_{0, 0, 0};
  QColor selectedFill_{80, 80, 80};
  QColor selectedText_{235, 235, 235};
  std::map<int, QColor> columnFill_, columnText_;
  std::map<std::pair<int, int>, QColor> cellFill_, cellText_;
};

}  // namespace orv
