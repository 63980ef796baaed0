#include "CSxGroupBox.h"

#include <QPainter>
#include <QPainterPath>

#include "ControlId.h"
#include "OwnEnabledState.h"
#include "Skin.h"

namespace orv {

CSxGroupBox::CSxGroupBox(const QString& caption, QWidget* parent, int controlId, int alignment,
                         bool pictureStyle)
    : QWidget(parent),
      caption_(caption),
      pictureStyle_(pictureStyle),
      enabledShadow_(skin::kButtonShadow),
      enabledHighlight_(skin::kButtonHighlight),
      disabledShadow_(skin::kButtonShadow),
      disabledHighlight_(skin::kButtonHighlight),
      captionFont_(skin::DefaultDialogFont()) {
  SetControlId(this, controlId);
  SetAlignment(alignment);
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

void CSxGroupBox::SetText(const QString& caption) {
  caption_ = caption;
  update();
}

void CSxGroupBox::SetAlignment(int alignment) {
  alignment_ = (alignment == kRight || alignment == kCentre) ? alignment : kLeft;
  update();
}

void CSxGroupBox::SetColors(QColor enabledShadow, QColor enabledHighlight, QColor disabledShadow,
                            QColor disabledHighlight) {
  enabledShadow_ = enabledShadow;
  enabledHighlight_ = enabledHighlight;
  disabledShadow_ = disabledShadow;
  disabledHighlight_ = disabledHighlight;
  update();
}

void CSxGroupBox::SetCaptionColor(QColor c) {
  captionColor_ = c;
  update();
}

void CSxGroupBox::SetCaptionFont(std::optional<QFont> font) {
  captionFont_ = font ? *font : skin::DefaultDialogFont();
  update();
}

void CSxGroupBox::SetFrameStyle(int style) {
  frameStyle_ = style;
  update();
}

void CSxGroupBox::SetLineWidth(int width) {
  lineWidth_ = std::max(1, width);
  update();
}

void CSxGroupBox::SetCaptionInset(int inset) {
  inset_ = inset;
  update();
}

void CSxGroupBox::SetCaptionLift(int lift) {
  lift_ = lift;
  update();
}

CSxGroupBox::Geometry CSxGroupBox::Layout() const {
  Geometry g;
  const int w = lineWidth_;
  // The etched styles draw a second path one line width away; the frame is
  // kept inside the control so that path stays visible.
  g.frame = rect();
  if (frameStyle_ == kSunken) g.frame.adjust(w, w, 0, 0);
  if (frameStyle_ != kFlat && frameStyle_ != kSunken) g.frame.adjust(0, 0, -w, -w);

  const QFontMetrics fm(captionFont_);
  const bool hasCaption = !pictureStyle_ && !caption_.isEmpty();
  const QString text = QStringLiteral(" %1 ").arg(caption_);
  const QSize size =
      hasCaption ? QSize(fm.horizontalAdvance(text), fm.height()) : QSize(0, fm.height());
  g.topLineY = g.frame.top() + size.height() / 2;
  int x = g.frame.left() + inset_;
  if (alignment_ == kRight) x = g.frame.right() + 1 - inset_ - size.width();
  if (alignment_ == kCentre) x = g.frame.left() + (g.frame.width() - size.width()) / 2;
  if (hasCaption) {
    g.caption = QRect(QPoint(x, g.frame.top() - lift_), size);
    g.gapStart = x;
    g.gapEnd = x + size.width();
  } else {
    g.gapStart = g.gapEnd = x;
  }
  return g;
}

void CSxGroupBox::PaintFrame(QPainter& p, const Geometry& g, QColor first, QColor second) const {
  const int w = lineWidth_;
  auto path = [&](int offset) {
    const QRect f = g.frame.translated(offset, offset);
    const int top = g.topLineY + offset;
    // Inset by half the pen so a wide line stays inside the rectangle.
    const qreal h = w / 2.0;
    const qreal l = f.left() + h, r = f.right() + 1 - h, b = f.bottom() + 1 - h, t = top + h;
    QPainterPath pp;
    pp.moveTo(g.gapStart + offset, t);
    pp.lineTo(l, t);
    pp.lineTo(l, b);
    pp.lineTo(r, b);
    pp.lineTo(r, t);
    pp.lineTo(g.gapEnd + offset, t);
    return pp;
  };
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(first, w, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
  p.drawPath(path(0));
  if (frameStyle_ == kFlat) return;
  const int offset = frameStyle_ == kSunken ? -w : w;
  p.setPen(QPen(second, w, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
  p.drawPath(path(offset));
}

void CSxGroupBox::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const Geometry g = Layout();
  const bool enabled = !DisabledItself(*this);
  PaintFrame(p, g, enabled ? enabledShadow_ : disabledShadow_,
             enabled ? enabledHighlight_ : disabledHighlight_);
  if (g.caption.isEmpty()) return;
  p.setFont(captionFont_);
  const QString text = QStringLiteral(" %1 ").arg(caption_);
  if (enabled) {
    p.setPen(captionColor_);
    p.drawText(g.caption, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
  } else {
    // The desktop's disabled text: an embossed highlight, then the shadow.
    p.setPen(skin::kButtonHighlight);
    p.drawText(g.caption.translated(1, 1), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
    p.setPen(skin::kButtonShadow);
    p.drawText(g.caption, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
  }
}

}  // namespace orv
