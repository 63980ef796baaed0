#include "CaptionPreview.h"

#include <algorithm>

#include <QMouseEvent>
#include <QPainter>

#include "ArtIds.h"
#include "CaptionRender.h"
#include "CaptionRules.h"
#include "ResourceRegistry.h"

namespace orv {

namespace {

QColor ColourOf(uint32_t value) {
  const ColourBytes c = BytesOf(value);
  return {c.r, c.g, c.b};
}

}  // namespace

CaptionPreview::CaptionPreview(QWidget* parent)
    : QWidget(parent),
      checkerTransparent_(LoadResourceImage(art::ArtType::Bitmap, art::kCheckerTransparent)),
      checkerTranslucent_(LoadResourceImage(art::ArtType::Bitmap, art::kCheckerTranslucent)) {
  setCursor(Qt::OpenHandCursor);
}

void CaptionPreview::ShowPicture(const QImage& picture) {
  textMode_ = false;
  picture_ = picture;
  offset_ = std::clamp(offset_, 0, DragLimit());
  update();
}

void CaptionPreview::ShowText(const CaptionLook& look) {
  textMode_ = true;
  look_ = look;
  offset_ = std::clamp(offset_, 0, DragLimit());
  update();
}

void CaptionPreview::ReturnToLeftEdge() {
  offset_ = 0;
  update();
}

int CaptionPreview::DragLimit() const {
  const int content = textMode_ ? look_.captionWidth : picture_.width();
  return PreviewDragLimit(content, width(), textMode_);
}

void CaptionPreview::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), Qt::black);
  if (textMode_) {
    PaintText(p);
  } else if (!picture_.isNull()) {
    p.drawImage(-offset_, 0, picture_);
  }
}

void CaptionPreview::PaintText(QPainter& p) {
  const QRect area(-offset_, 0, look_.captionWidth, height());
  switch (look_.backgroundMode) {
    case 1:
      p.fillRect(area, QBrush(checkerTranslucent_));
      break;
    case 2:
      p.fillRect(area, QBrush(checkerTransparent_));
      break;
    default:
      p.fillRect(area, ColourOf(look_.backColour));
      break;
  }
  QFont font = look_.font;
  font.setStyleStrategy(QFont::NoAntialias);
  p.setFont(font);
  p.setPen(ColourOf(look_.textColour));
  const int textWidth = MeasureCaptionText(look_.text, font).width();
  const int x = look_.alignCentre ? (look_.captionWidth - textWidth) / 2 : 0;
  p.drawText(x - offset_, QFontMetrics(font).ascent(), look_.text);
}

void CaptionPreview::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
  dragging_ = true;
  dragStartX_ = event->position().toPoint().x();
  dragStartOffset_ = offset_;
  setCursor(Qt::ClosedHandCursor);
}

void CaptionPreview::mouseMoveEvent(QMouseEvent* event) {
  if (!dragging_) return QWidget::mouseMoveEvent(event);
  const int moved = event->position().toPoint().x() - dragStartX_;
  offset_ = std::clamp(dragStartOffset_ - moved, 0, DragLimit());
  update();
}

void CaptionPreview::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mouseReleaseEvent(event);
  dragging_ = false;
  setCursor(Qt::OpenHandCursor);
}

}  // namespace orv
