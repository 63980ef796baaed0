#pragma once
// The one dark skin: its colours and fonts live here, so that every control
// draws from the same values.
#include <QColor>
#include <QFont>
#include <QPalette>

class QPainter;
class QRect;

namespace orv::skin {

inline const QColor kPageBack(16, 16, 16);            // pages and edits
inline const QColor kListFill(46, 46, 46);            // lists, disabled drop buttons
inline const QColor kBorder(30, 30, 30);              // borders, CMyEdit background
inline const QColor kText(235, 235, 235);             // texts
inline const QColor kListEntry(213, 213, 213);        // list entries
inline const QColor kOrange(239, 156, 0);             // titles, the active colour
inline const QColor kWaitBack(64, 64, 64);            // the wait box
inline const QColor kButtonShadow(160, 160, 160);     // the desktop's button-shadow colour
inline const QColor kButtonHighlight(255, 255, 255);  // its button-highlight colour
inline const QColor kDisabledText(128, 128, 128);     // text of a disabled edit or label

// Arial as the desktop toolkit sizes it: a positive height is the character
// cell (ascent + descent), a negative one the em height; weight 400 or 700.
// Resolves to a metric-compatible font where Arial itself is absent.
QFont ArialFont(int height, int weight = 400);
inline QFont TitleFont() {
  return ArialFont(18, 700);
}
inline QFont ControlFont() {
  return ArialFont(15, 700);
}
// The template pages derive their own fonts from (Arial, 10 points).
QFont FontTemplate();
// The desktop's old default dialog font ("MS Sans Serif", 8 points).
QFont DefaultDialogFont();

// A palette with the skin's page, edit and text colours, for plain widgets.
QPalette DarkPalette();

// Colour of row `i` of `rows` rows of a vertical gradient from `top` to
// `bottom`, interpolated channel by channel (the first and last rows are the
// end colours).
QColor GradientRow(QColor top, QColor bottom, int i, int rows);
// Fills `rect` with such a gradient, one-pixel bands.
void FillVerticalGradient(QPainter& p, const QRect& rect, QColor top, QColor bottom);

// Draws a frame `width` pixels wide just inside `rect`.
void DrawInnerFrame(QPainter& p, const QRect& rect, int width, QColor colour);

}  // namespace orv::skin
