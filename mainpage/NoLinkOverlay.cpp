#include "NoLinkOverlay.h"

#include <algorithm>

#include <QPainter>

namespace orv {

NoLinkOverlay::NoLinkOverlay(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  hide();
}

void NoLinkOverlay::SetText(const QString& text) {
  text_ = text;
  update();
}

void NoLinkOverlay::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), QColor(0, 0, 0, 170));
  QFont font = p.font();
  font.setBold(true);
  font.setPixelSize(std::max(24, height() / 10));
  p.setFont(font);
  p.setPen(QColor(230, 50, 40));
  p.drawText(rect(), Qt::AlignCenter, text_);
}

}  // namespace orv
