#include "CMemuDC.h"

#include <QPaintDevice>

namespace orv {

CMemuDC::CMemuDC(QPainter& target, QRect rect, bool copyBackground) : target_(target) {
  QPaintDevice* device = target.device();
  if (!device || device->devType() == QInternal::Printer) {
    buffered_ = false;
    rect_ = rect;
    return;
  }
  if (rect.isNull() ||
      (rect.x() == 0 && rect.y() == 0 && rect.width() <= 0 && rect.height() <= 0)) {
    rect = target.hasClipping() ? target.clipBoundingRect().toAlignedRect()
                                : QRect(0, 0, device->width(), device->height());
  }
  rect_ = rect;
  const qreal dpr = device->devicePixelRatioF();
  buffer_ = QImage((QSizeF(rect.size()) * dpr).toSize(), QImage::Format_ARGB32_Premultiplied);
  buffer_.setDevicePixelRatio(dpr);
  buffer_.fill(Qt::transparent);
  if (copyBackground) {
    if (device->devType() == QInternal::Image) {
      // An image target: take its pixels under the rectangle.
      const auto* image = static_cast<const QImage*>(device);
      QPainter copy(&buffer_);
      copy.setCompositionMode(QPainter::CompositionMode_Source);
      copy.drawImage(QPoint(0, 0), *image,
                     QRectF(QPointF(rect.topLeft()) * dpr, QSizeF(rect.size()) * dpr));
    } else {
      // A widget's backing store already holds the parent's pixels under the
      // rectangle; the buffer is laid over them, which keeps them.
      composite_ = true;
    }
  }
  memory_.emplace(&buffer_);
  memory_->translate(-rect.topLeft());
  memory_->setFont(target.font());
  memory_->setPen(target.pen());
  memory_->setBrush(target.brush());
  memory_->setRenderHints(target.renderHints());
}

CMemuDC::~CMemuDC() {
  if (!buffered_) return;
  memory_.reset();
  target_.save();
  target_.setCompositionMode(composite_ ? QPainter::CompositionMode_SourceOver
                                        : QPainter::CompositionMode_Source);
  target_.drawImage(rect_.topLeft(), buffer_);
  target_.restore();
}

}  // namespace orv
