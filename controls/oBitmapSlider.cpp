#include "oBitmapSlider.h"

#include <algorithm>

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "CMemuDC.h"
#include "ControlId.h"
#include "OwnEnabledState.h"
#include "ResourceRegistry.h"
#include "oSliderEdit.h"

namespace orv {

oBitmapSlider::oBitmapSlider(QWidget* parent, int controlId, bool vertical)
    : QWidget(parent), vertical_(vertical) {
  SetControlId(this, controlId);
  setFocusPolicy(Qt::StrongFocus);
}

oBitmapSlider::~oBitmapSlider() {
  if (buddy_ && buddy_->Slider() == this) buddy_->Bind(nullptr);
}

void oBitmapSlider::SetRange(int minimum, int maximum) {
  minimum_ = std::min(minimum, maximum);
  maximum_ = std::max(minimum, maximum);
  SetPos(position_);
}

void oBitmapSlider::SetPos(int position) {
  position_ = std::clamp(position, minimum_, maximum_);
  update();
}

bool oBitmapSlider::LoadChannel(int id, int activeId, art::ArtType type) {
  channel_ = LoadResourceImage(type, id);
  channelActive_ = activeId ? LoadResourceImage(type, activeId) : QImage();
  FitToPictures();
  return !channel_.isNull() && (activeId == 0 || !channelActive_.isNull());
}

bool oBitmapSlider::LoadThumb(int id, int activeId, art::ArtType type) {
  thumb_ = LoadResourceImage(type, id);
  thumbActive_ = activeId ? LoadResourceImage(type, activeId) : QImage();
  FitToPictures();
  return !thumb_.isNull() && (activeId == 0 || !thumbActive_.isNull());
}

void oBitmapSlider::FitToPictures() {
  const QSize c = channel_.size();
  const QSize t = thumb_.size();
  const QSize s(std::max(c.width(), t.width()), std::max(c.height(), t.height()));
  if (!s.isEmpty()) resize(s);
  update();
}

void oBitmapSlider::SetMargins(int left, int top, int right, int bottom) {
  left_ = left;
  top_ = top;
  right_ = right;
  bottom_ = bottom;
  update();
}

QSize oBitmapSlider::ChannelSize() const {
  return channel_.isNull() ? size() : channel_.size();
}
QSize oBitmapSlider::ThumbSize() const {
  return thumb_.isNull() ? QSize(0, 0) : thumb_.size();
}

int oBitmapSlider::PixelOfPosition(int p) const {
  const QSize c = ChannelSize();
  const QSize t = ThumbSize();
  const int range = maximum_ - minimum_;
  if (!vertical_) {
    const int span = c.width() - right_ - left_ - t.width();
    if (range == 0) return left_ + t.width() / 2;
    return static_cast<int>(static_cast<int64_t>(span) * (p - minimum_) / range) + left_ +
           t.width() / 2;
  }
  const int span = c.height() - bottom_ - top_ - t.height();
  if (range == 0) return top_ + t.height() / 2;
  return static_cast<int>(static_cast<int64_t>(span) * (maximum_ - p) / range) + top_ +
         t.height() / 2;
}

int oBitmapSlider::PositionOfPixel(int pixel) const {
  const QSize c = ChannelSize();
  const QSize t = ThumbSize();
  if (!vertical_) {
    // The travel is taken 8 pixels short, so the maximum is reached a little
    // before the far end and is easy to hit.
    const int span = c.width() - right_ - left_ - t.width() - 8;
    if (span <= 0) return minimum_;
    const double v =
        static_cast<double>(pixel - t.width() / 2 - left_) / span * (maximum_ - minimum_ + 1);
    return static_cast<int>(v) + minimum_;
  }
  const int span = c.height() - bottom_ - top_ - t.height();
  if (span <= 0) return minimum_;
  const double v = static_cast<double>(c.height() - t.height() / 2 - top_ - pixel) / span *
                   (maximum_ - minimum_);
  return static_cast<int>(v) + minimum_;
}

void oBitmapSlider::paintEvent(QPaintEvent*) {
  QPainter target(this);
  CMemuDC dc(target, rect(), true);
  QPainter& p = dc.Painter();
  if (Greyed()) p.setOpacity(0.45);
  const QSize c = ChannelSize();
  const QPoint origin(vertical_ ? (width() - c.width()) / 2 : 0,
                      vertical_ ? 0 : (height() - c.height()) / 2);
  if (!channel_.isNull()) p.drawImage(origin, channel_);
  const int pixel = PixelOfPosition(position_);
  if (!channelActive_.isNull()) {
    // The active track runs from the minimum end to the thumb.
    const QRect part =
        vertical_ ? QRect(0, pixel, c.width(), c.height() - pixel) : QRect(0, 0, pixel, c.height());
    p.drawImage(origin + part.topLeft(), channelActive_, part);
  }
  const QImage& thumb = dragging_ && !thumbActive_.isNull() ? thumbActive_ : thumb_;
  if (!thumb.isNull()) {
    const QPoint centre = vertical_ ? QPoint(width() / 2, pixel) : QPoint(pixel, height() / 2);
    p.drawImage(centre - QPoint(thumb.width() / 2, thumb.height() / 2), thumb);
  }
}

void oBitmapSlider::Report(bool notify) {
  if (buddy_) buddy_->FromSlider(position_, notify);
  emit Moved(position_, !notify);
}

void oBitmapSlider::DragTo(int coordinate) {
  const QSize c = ChannelSize();
  const QSize t = ThumbSize();
  const int low = vertical_ ? top_ + t.height() / 2 : left_ + t.width() / 2;
  const int high =
      vertical_ ? c.height() - bottom_ - t.height() / 2 : c.width() - right_ - t.width() / 2;
  coordinate = std::clamp(coordinate, low, std::max(low, high));
  if (coordinate == PixelOfPosition(position_)) return;
  const int before = position_;
  SetPos(PositionOfPixel(coordinate));
  // Only a real change of position is reported, once per change.
  if (position_ != before) Report(true);
}

bool oBitmapSlider::TakesInput() const {
  return isEnabled() && !(buddy_ && DisabledItself(*buddy_));
}

bool oBitmapSlider::Greyed() const {
  return buddy_ ? DisabledItself(*buddy_) : DisabledItself(*this);
}

void oBitmapSlider::FollowBuddy() {
  if (!buddy_) return;
  // The edit's own state, not its effective one: while a window blocks
  // input both are disabled, and that must not decide for the slider.
  const bool off = buddy_->testAttribute(Qt::WA_ForceDisabled);
  if (off != testAttribute(Qt::WA_ForceDisabled)) setEnabled(!off);
  update();
}

void oBitmapSlider::changeEvent(QEvent* event) {
  // An edit disabled while its window blocked input got no event for it; the
  // slider catches up when the block ends and it is enabled again.
  if (event->type() == QEvent::EnabledChange) FollowBuddy();
  QWidget::changeEvent(event);
}

void oBitmapSlider::mousePressEvent(QMouseEvent* event) {
  if (!TakesInput() || event->button() != Qt::LeftButton) {
    QWidget::mousePressEvent(event);
    return;
  }
  setFocus(Qt::MouseFocusReason);
  dragging_ = true;
  const int click = Along(event->position().toPoint());
  const int centre = PixelOfPosition(position_);
  const int half = (vertical_ ? ThumbSize().height() : ThumbSize().width()) / 2;
  // On the thumb it is picked up where it was grabbed; elsewhere its centre
  // jumps to the click.
  dragOffset_ = std::abs(click - centre) <= half ? click - centre : 0;
  update();
  DragTo(click - dragOffset_);
}

void oBitmapSlider::mouseMoveEvent(QMouseEvent* event) {
  if (dragging_) DragTo(Along(event->position().toPoint()) - dragOffset_);
}

void oBitmapSlider::mouseReleaseEvent(QMouseEvent* event) {
  if (!dragging_ || event->button() != Qt::LeftButton) return;
  dragging_ = false;
  update();
  Report(false);
}

void oBitmapSlider::keyPressEvent(QKeyEvent* event) {
  if (!TakesInput()) {
    QWidget::keyPressEvent(event);
    return;
  }
  struct KeyStep {
    int key;
    int kind;  // 0: relative step, 1: to the minimum, 2: to the maximum
    int step;
  };
  const KeyStep steps[] = {
      {Qt::Key_PageUp, 0, -pageSize_},
      {Qt::Key_PageDown, 0, pageSize_},
      {Qt::Key_Home, 1, 0},
      {Qt::Key_End, 2, 0},
      {Qt::Key_Left, 0, -1},
      {Qt::Key_Up, 0, -1},
      {Qt::Key_Right, 0, 1},
      {Qt::Key_Down, 0, 1},
  };
  for (const KeyStep& s : steps) {
    if (s.key != event->key()) continue;
    const int target = s.kind == 1 ? minimum_ : s.kind == 2 ? maximum_ : position_ + s.step;
    SetPos(target);
    Report(true);
    event->accept();
    return;
  }
  QWidget::keyPressEvent(event);
}

}  // namespace orv
