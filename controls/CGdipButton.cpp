#include "CGdipButton.h"

#include <algorithm>

#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include "CMemuDC.h"
#include "ControlId.h"
#include "OwnEnabledState.h"
#include "Skin.h"

namespace orv {

namespace {

// Applies a per-pixel colour change to the straight (not premultiplied) colours.
template <typename F>
QImage MapColours(const QImage& picture, F f) {
  QImage img = picture.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < img.height(); ++y) {
    auto* row = reinterpret_cast<QRgb*>(img.scanLine(y));
    for (int x = 0; x < img.width(); ++x) row[x] = f(row[x]);
  }
  return img;
}

int Clamp255(double v) {
  return std::clamp(static_cast<int>(v), 0, 255);
}

// Draws `picture` scaled over a transparent surface of `size`, as the normal
// face is scaled over the button, so that every face covers the same area.
QImage OnSurface(const QImage& picture, QSize size) {
  QImage surface(size, QImage::Format_ARGB32_Premultiplied);
  surface.fill(Qt::transparent);
  QPainter p(&surface);
  p.setRenderHint(QPainter::SmoothPixmapTransform);
  p.drawImage(QRect(QPoint(0, 0), size), picture);
  return surface;
}

}  // namespace

CGdipButton::CGdipButton(QWidget* parent, int controlId) : QAbstractButton(parent) {
  SetControlId(this, controlId);
  setAttribute(Qt::WA_Hover);
  setMouseTracking(true);
}

CGdipButton::~CGdipButton() = default;

QImage CGdipButton::HoverPicture(const QImage& picture) {
  // Hover matrix: each of red, green, blue times 1.05 plus 0.05.
  return MapColours(picture, [](QRgb c) {
    auto f = [](int v) { return Clamp255(v * 1.05 + 0.05 * 255); };
    return qRgba(f(qRed(c)), f(qGreen(c)), f(qBlue(c)), qAlpha(c));
  });
}

QImage CGdipButton::GreyPicture(const QImage& picture) {
  return MapColours(picture, [](QRgb c) {
    const int g = Clamp255(0.3 * qRed(c) + 0.59 * qGreen(c) + 0.11 * qBlue(c));
    return qRgba(g, g, g, qAlpha(c));
  });
}

bool CGdipButton::LoadImage(int id) {
  prepared_ = false;
  const bool ok = standard_.Load(id);
  update();
  return ok;
}

bool CGdipButton::LoadAltImage(int id) {
  prepared_ = false;
  hasAlternate_ = alternate_.Load(id);
  update();
  return hasAlternate_;
}

void CGdipButton::FitToImage() {
  if (standard_.IsLoaded()) resize(standard_.Width(), standard_.Height());
}

void CGdipButton::SetToolTip(const QString& text, bool activate) {
  if (text.isEmpty()) return;
  tooltipText_ = text;
  tooltipActive_ = activate;
  tooltipCreated_ = true;
}

void CGdipButton::SetDisabledLook(bool on) {
  disabledLook_ = on;
  update();
}
void CGdipButton::SetChecked(bool on) {
  checked_ = on;
  // The next paint would show it; a click may come first (a hidden page).
  if (stayPushed_ || clickToggle_) showingAlternate_ = on;
  update();
}
void CGdipButton::SetStayPushed(bool on) {
  stayPushed_ = on;
  update();
}
void CGdipButton::SetClickToggle(bool on) {
  clickToggle_ = on;
  update();
}
void CGdipButton::SetDrawToggle(bool on) {
  drawToggle_ = on;
  update();
}
void CGdipButton::SetTextColor(QColor c) {
  textColor_ = c;
  update();
}
void CGdipButton::SetCaptionFont(std::optional<QFont> font) {
  captionFont_ = std::move(font);
  update();
}
void CGdipButton::SetCaptionPlacement(int placement) {
  placement_ = std::clamp(placement, 0, 2);
  update();
}
void CGdipButton::SetHoverForDisplay(bool on) {
  pinnedHover_ = on;
  hovered_ = on;
  update();
}

void CGdipButton::Prepare() {
  // The state pictures are built once; the parent's skin is not baked in
  // (it shows through the transparent parts when the button is painted).
  preparedSize_ = size();
  hoverPicture_ = OnSurface(HoverPicture(standard_.Image()), preparedSize_);
  disabledPicture_ = OnSurface(GreyPicture(standard_.Image()), preparedSize_);
  if (hasAlternate_) altHoverPicture_ = OnSurface(HoverPicture(alternate_.Image()), preparedSize_);
  look_ = Look::Standard;
  prepared_ = true;
}

void CGdipButton::UpdateLook(bool pressed) {
  if (!pressed) {
    if (stayPushed_ || clickToggle_) showingAlternate_ = checked_;
    // A button that takes no input does not light up under the mouse.
    const bool hovered = hovered_ && isEnabled();
    look_ = hovered ? (showingAlternate_ ? Look::AlternateHover : Look::StandardHover)
                    : (showingAlternate_ ? Look::Alternate : Look::Standard);
  } else {
    look_ = showingAlternate_ ? Look::AlternatePressed : Look::StandardPressed;
  }
}

QRect CGdipButton::TextRect(const QString& text, bool pressed) const {
  const QRect client = rect();
  QRect r;
  if (captionFont_) {
    const QFontMetrics fm(*captionFont_);
    const QSize s(fm.horizontalAdvance(text), fm.height());
    r = QRect(QPoint((client.width() - s.width()) / 2, (client.height() - s.height()) / 2), s);
  } else {
    const QFontMetrics fm(font());
    const QRect m = fm.boundingRect(client, Qt::TextWordWrap | Qt::AlignHCenter, text);
    const int left = (client.width() - m.width()) / 2;
    int top = (client.height() - m.height()) / 2;
    if (placement_ == kTop) top = 2;
    if (placement_ == kBottom) top = client.height() - 2 - m.height();
    r = QRect(QPoint(left, top), m.size());
  }
  // Released, the caption sits one pixel up and left of its pressed place.
  if (!pressed) r.translate(-1, -1);
  return r;
}

QRect CGdipButton::CaptionRect() const {
  return TextRect(text(), isDown());
}

void CGdipButton::PaintCaption(QPainter& p, bool pressed, bool disabled) {
  const QString caption = text();
  if (caption.isEmpty()) return;
  p.setFont(captionFont_ ? *captionFont_ : font());
  if (turned_) {
    // Text running downwards, centred on the narrow button.
    p.save();
    p.translate(width() / 2.0, height() / 2.0);
    p.rotate(90);
    const QRect turned(-height() / 2, -width() / 2, height(), width());
    p.setPen(disabled ? skin::kButtonShadow : textColor_);
    p.drawText(turned.translated(pressed ? 1 : 0, 0), Qt::AlignCenter | Qt::TextSingleLine,
               caption);
    p.restore();
    return;
  }
  const int flags =
      captionFont_ ? (Qt::AlignCenter | Qt::TextSingleLine) : (Qt::AlignCenter | Qt::TextWordWrap);
  const QRect r = TextRect(caption, pressed);
  if (disabled) {
    p.setPen(QColor(50, 50, 50));
    p.drawText(r.translated(1, 1), flags, caption);
    p.setPen(skin::kButtonShadow);
  } else {
    p.setPen(textColor_);
  }
  p.drawText(r, flags, caption);
}

void CGdipButton::paintEvent(QPaintEvent*) {
  QPainter target(this);
  CMemuDC dc(target, rect(), true);
  QPainter& p = dc.Painter();
  p.setRenderHint(QPainter::SmoothPixmapTransform);
  if (standard_.IsLoaded() && !prepared_) Prepare();
  const QRect client = rect();
  // The owner's flag or the button's own disabled state greys it; a window
  // that only blocks input while the device works keeps its look. A checked
  // face wins over the grey one (the selected empty preset, a layer on
  // program): the picture stays, only the caption greys.
  const bool unavailable = disabledLook_ || DisabledItself(*this);
  if (stayPushed_ || clickToggle_) showingAlternate_ = checked_;
  const bool highlighted = hasAlternate_ && showingAlternate_;
  const bool pressed = !unavailable && isDown();
  if (unavailable && !highlighted) {
    look_ = Look::Disabled;
  } else if (unavailable) {
    look_ = Look::Alternate;
  } else {
    UpdateLook(pressed);
  }
  auto stretchState = [&](const QImage& state) {
    if (!state.isNull()) p.drawImage(client, state, QRect(QPoint(0, 0), preparedSize_));
  };
  switch (look_) {
    case Look::Standard:
    case Look::StandardPressed:
      if (standard_.IsLoaded()) p.drawImage(client, standard_.Image());
      break;
    case Look::Alternate:
    case Look::AlternatePressed:
      if (hasAlternate_) p.drawImage(client, alternate_.Image());
      break;
    case Look::StandardHover:
      stretchState(hoverPicture_);
      break;
    case Look::AlternateHover:
      stretchState(altHoverPicture_);
      break;
    case Look::Disabled:
      stretchState(disabledPicture_);
      break;
  }
  PaintCaption(p, pressed, unavailable);
  if (marker_ != 0) {
    // A marked button (a preset a task uses) carries a small lamp in its corner.
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(marker_, marker_ * 156 / 255, 0));
    p.drawEllipse(QRect(client.right() - 9, client.top() + 3, 6, 6));
  }
}

void CGdipButton::SetCaptionTurned(bool on) {
  turned_ = on;
  update();
}

void CGdipButton::SetMarker(int marker) {
  marker_ = std::clamp(marker, 0, 255);
  update();
}

void CGdipButton::enterEvent(QEnterEvent* event) {
  hovered_ = true;
  update();
  if (tooltipCreated_ && tooltipActive_) {
    QToolTip::showText(mapToGlobal(QPoint(width() / 2, height())), tooltipText_, this);
  }
  QAbstractButton::enterEvent(event);
}

void CGdipButton::leaveEvent(QEvent* event) {
  hovered_ = pinnedHover_;
  update();
  QAbstractButton::leaveEvent(event);
}

void CGdipButton::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && isEnabled()) {
    if (clickToggle_) {
      // The checked state decides, not the picture last drawn: a button
      // whose state was set while it was hidden flips from that state.
      checked_ = !checked_;
      showingAlternate_ = checked_;
    }
    if (stayPushed_) {
      showingAlternate_ = true;
      checked_ = true;
    }
    if (drawToggle_) showingAlternate_ = !showingAlternate_;
  }
  QAbstractButton::mousePressEvent(event);
}

void CGdipButton::mouseDoubleClickEvent(QMouseEvent* event) {
  // A fast second click counts as a click of its own.
  mousePressEvent(event);
}

void CGdipButton::resizeEvent(QResizeEvent* event) {
  resized_ = true;
  // Rebuild the state pictures at the new size on the next paint.
  prepared_ = false;
  QAbstractButton::resizeEvent(event);
}

}  // namespace orv
