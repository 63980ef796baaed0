#include "Skin.h"

#include <cmath>

#include <QPainter>
#include <QRect>

namespace orv::skin {

namespace {
// Arial's cell height is (ascent 1854 + descent 434) / 2048 of its em.
constexpr double kArialCellPerEm = (1854.0 + 434.0) / 2048.0;
}  // namespace

QFont ArialFont(int height, int weight) {
  QFont f(QStringLiteral("Arial"));
  f.setStyleHint(QFont::SansSerif);
  const int em = height > 0 ? static_cast<int>(std::lround(height / kArialCellPerEm)) : -height;
  f.setPixelSize(std::max(1, em));
  f.setWeight(weight >= 700 ? QFont::Bold : QFont::Normal);
  return f;
}

QFont FontTemplate() {
  QFont f(QStringLiteral("Arial"));
  f.setStyleHint(QFont::SansSerif);
  f.setPointSize(10);
  return f;
}

QFont DefaultDialogFont() {
  QFont f(QStringLiteral("MS Sans Serif"));
  f.setStyleHint(QFont::SansSerif);
  f.setPointSize(8);
  return f;
}

QPalette DarkPalette() {
  QPalette pal;
  for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    pal.setColor(group, QPalette::Window, kPageBack);
    pal.setColor(group, QPalette::Base, kPageBack);
    pal.setColor(group, QPalette::AlternateBase, kListFill);
    pal.setColor(group, QPalette::Button, kListFill);
    pal.setColor(group, QPalette::WindowText, kText);
    pal.setColor(group, QPalette::Text, kText);
    pal.setColor(group, QPalette::ButtonText, kText);
    pal.setColor(group, QPalette::Highlight, kOrange);
    pal.setColor(group, QPalette::HighlightedText, QColor(0, 0, 0));
  }
  pal.setColor(QPalette::Disabled, QPalette::Text, kDisabledText);
  pal.setColor(QPalette::Disabled, QPalette::WindowText, kDisabledText);
  return pal;
}

QColor GradientRow(QColor top, QColor bottom, int i, int rows) {
  if (rows <= 1) return top;
  auto mix = [&](int a, int b) { return a + (b - a) * i / (rows - 1); };
  return QColor(mix(top.red(), bottom.red()), mix(top.green(), bottom.green()),
                mix(top.blue(), bottom.blue()));
}

void FillVerticalGradient(QPainter& p, const QRect& rect, QColor top, QColor bottom) {
  const int rows = rect.height();
  for (int i = 0; i < rows; ++i) {
    p.fillRect(QRect(rect.left(), rect.top() + i, rect.width(), 1),
               GradientRow(top, bottom, i, rows));
  }
}

void DrawInnerFrame(QPainter& p, const QRect& r, int w, QColor c) {
  p.fillRect(QRect(r.left(), r.top(), r.width(), w), c);
  p.fillRect(QRect(r.left(), r.bottom() - w + 1, r.width(), w), c);
  p.fillRect(QRect(r.left(), r.top(), w, r.height()), c);
  p.fillRect(QRect(r.right() - w + 1, r.top(), w, r.height()), c);
}

}  // namespace orv::skin
