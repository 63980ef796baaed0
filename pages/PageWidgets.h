#pragma once
// The skinned controls a settings page is made of, built the same way on
// every page: group boxes with orange captions, light labels, image buttons,
// on/off switches, drop lists and numeric edits. Pages describe their
// controls in tables of the records below and build them with these calls.
#include <QColor>
#include <QRect>
#include <QString>

class QLabel;
class QWidget;

class QPainter;

namespace orv {

class CDropButton;
class CGdipButton;
class CSxGroupBox;
class oRealEdit;

// Text n of the UI text table, in the active language.
QString UiQText(int n);
// A page message of the language file under `key`; `english` when the file
// has none.
QString KeyedQText(const char* key, const char* english);

// A page's preview picture: `area` filled with `fill`, and the rectangle
// `box` (nothing when empty) framed in black over it.
void PaintPreviewBox(QPainter& p, const QRect& area, const QColor& fill, const QRect& box);

CSxGroupBox* MakePageGroup(QWidget* page, int id, const QString& caption, const QRect& where);
QLabel* MakePageLabel(QWidget* page, int id, const QString& caption, const QRect& where);
CGdipButton* MakePageButton(QWidget* page, int id, const QString& caption, const QRect& where);
// A click-toggle switch: the off face, the on face while checked.
CGdipButton* MakePageSwitch(QWidget* page, int id, const QPoint& topLeft);
CDropButton* MakePageDropList(QWidget* page, int listId, const QRect& where);
// A numeric edit "%d" over min..max showing `value`.
oRealEdit* MakePageEdit(QWidget* page, int id, const QRect& where, int min, int max, int value);

// A labelled numeric edit of a page's table.
struct EditRow {
  int labelId;
  const char* caption;  // English template caption; the language file relabels it
  QRect label;
  int editId;
  QRect edit;
  int min;
  int max;
};

// Shows a value from the record on an edit, clamped into the edit's range
// first (the edit's own clamp would read a text already cut to its length).
void ShowEditValue(oRealEdit* edit, int value);

// Shows `on` on a switch made by MakePageSwitch, without a click.
void ShowSwitch(CGdipButton* button, bool on);

}  // namespace orv
