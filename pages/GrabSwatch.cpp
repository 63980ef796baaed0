#include "GrabSwatch.h"

#include <QPainter>

#include "ControlId.h"
#include "Skin.h"

namespace orv {

namespace {

const QColor kGrabTextColour(0xEF, 0x9C, 0x00);  // orange 0x9CEF

}  // namespace

GrabSwatch::GrabSwatch(QWidget* parent, int controlId) : QWidget(parent) {
  SetControlId(this, controlId);
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

void GrabSwatch::ShowGrab(uint16_t red, uint16_t green, uint16_t blue) {
  colour_ = QColor(red & 0xFF, green & 0xFF, blue & 0xFF);
  text_ = QString::asprintf("R:%d   G:%d    B:%d", red, green, blue);
  update();
}

void GrabSwatch::paintEvent(QPaintEvent*) {
  if (!colour_) return;
  QPainter p(this);
  const QRect swatch(4, 4, 48, height() - 8);
  p.fillRect(swatch, *colour_);
  p.setPen(QColor(90, 90, 90));
  p.drawRect(swatch.adjusted(0, 0, -1, -1));
  p.setPen(kGrabTextColour);
  p.setFont(skin::ControlFont());
  p.drawText(QRect(64, 0, width() - 64, height()), Qt::AlignLeft | Qt::AlignVCenter, text_);
}

}  // namespace orv
