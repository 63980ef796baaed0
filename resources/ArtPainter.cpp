#include "ArtPainter.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "ArtIds.h"
#include "GifWriter.h"

namespace orv::art {

namespace {

// The skin's colours (the controls library has the same values for drawing).
const QColor kPage(16, 16, 16);
const QColor kBorder(30, 30, 30);
const QColor kText(235, 235, 235);
const QColor kOrange(239, 156, 0);
const QColor kWaitBack(64, 64, 64);

QImage Blank(const ArtRow& row) {
  QImage img(row.width, row.height, QImage::Format_ARGB32);
  img.fill(Qt::transparent);
  return img;
}

QFont LabelFont(int pixelSize, bool bold) {
  QFont f(QStringLiteral("Arial"));
  f.setPixelSize(pixelSize);
  f.setBold(bold);
  f.setStyleStrategy(QFont::PreferAntialias);
  return f;
}

// A rounded face: vertical gradient, dark outline and a light top edge.
void Face(QPainter& p, const QRectF& r, QColor top, QColor bottom, QColor outline, QColor shine,
          qreal radius) {
  QLinearGradient g(r.topLeft(), r.bottomLeft());
  g.setColorAt(0, top);
  g.setColorAt(1, bottom);
  QPainterPath path;
  path.addRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
  p.fillPath(path, g);
  p.setPen(QPen(outline, 1));
  p.drawPath(path);
  p.setPen(QPen(shine, 1));
  p.drawLine(QPointF(r.left() + radius, r.top() + 1.5), QPointF(r.right() - radius, r.top() + 1.5));
}

void PaintFace(QPainter& p, const ArtRow& row) {
  const QRectF r(0, 0, row.width, row.height);
  switch (row.kind) {
    case ArtKind::FaceActive:
      Face(p, r, QColor(252, 184, 56), QColor(214, 132, 0), QColor(120, 76, 0),
           QColor(255, 214, 130), 4);
      break;
    case ArtKind::FaceDark:
      Face(p, r, QColor(44, 44, 44), QColor(28, 28, 28), QColor(8, 8, 8), QColor(62, 62, 62), 4);
      break;
    default:
      Face(p, r, QColor(92, 92, 92), QColor(52, 52, 52), QColor(8, 8, 8), QColor(128, 128, 128), 4);
      break;
  }
}

void PaintTitleButton(QPainter& p, const ArtRow& row) {
  const QRectF r(2, 2, row.width - 4, row.height - 4);
  Face(p, r, QColor(70, 70, 70), QColor(36, 36, 36), QColor(8, 8, 8), QColor(96, 96, 96), 3);
  p.setPen(QPen(kText, 2, Qt::SolidLine, Qt::RoundCap));
  const QPointF c = r.center();
  if (row.kind == ArtKind::TitleClose) {
    p.drawLine(c + QPointF(-4.5, -4.5), c + QPointF(4.5, 4.5));
    p.drawLine(c + QPointF(-4.5, 4.5), c + QPointF(4.5, -4.5));
  } else if (row.kind == ArtKind::TitleMaximise) {
    p.setPen(QPen(kText, 1.5));
    p.drawRect(QRectF(c.x() - 5, c.y() - 5, 10, 10));
    p.drawLine(QPointF(c.x() - 5, c.y() - 3.5), QPointF(c.x() + 5, c.y() - 3.5));
  } else {
    p.setPen(QPen(kText, 1.5));
    p.drawRect(QRectF(c.x() - 2.5, c.y() - 6, 8, 8));
    p.fillRect(QRectF(c.x() - 6, c.y() - 2.5, 8, 8), QColor(50, 50, 50));
    p.drawRect(QRectF(c.x() - 6, c.y() - 2.5, 8, 8));
  }
}

void PaintSwitch(QPainter& p, const ArtRow& row) {
  const bool on = row.kind == ArtKind::SwitchOn;
  const QRectF r(0.5, 0.5, row.width - 1, row.height - 1);
  QPainterPath track;
  track.addRoundedRect(r, r.height() / 2, r.height() / 2);
  p.fillPath(track, on ? QColor(150, 98, 0) : QColor(40, 40, 40));
  p.setPen(QPen(on ? kOrange : QColor(70, 70, 70), 1));
  p.drawPath(track);
  const qreal d = r.height() - 4;
  const QRectF knob(on ? r.right() - 2 - d : r.left() + 2, r.top() + 2, d, d);
  QLinearGradient g(knob.topLeft(), knob.bottomLeft());
  g.setColorAt(0, on ? QColor(255, 200, 90) : QColor(170, 170, 170));
  g.setColorAt(1, on ? kOrange : QColor(110, 110, 110));
  p.setPen(Qt::NoPen);
  p.setBrush(g);
  p.drawEllipse(knob);
}

void PaintPort(QPainter& p, const ArtRow& row) {
  const bool selected = row.kind == ArtKind::PortSelected;
  const QRectF r(0, 0, row.width, row.height);
  if (selected) {
    Face(p, r, QColor(252, 184, 56), QColor(214, 132, 0), QColor(120, 76, 0), QColor(255, 214, 130),
         3);
  } else {
    Face(p, r, QColor(60, 60, 60), QColor(34, 34, 34), QColor(8, 8, 8), QColor(84, 84, 84), 3);
  }
  // A connector outline on the left, the port's name on the right.
  p.setPen(QPen(selected ? QColor(40, 26, 0) : QColor(150, 150, 150), 1));
  p.setBrush(Qt::NoBrush);
  p.drawRoundedRect(QRectF(5.5, 7.5, 12, 9), 2, 2);
  p.setFont(LabelFont(12, true));
  p.setPen(selected ? QColor(20, 20, 20) : kText);
  p.drawText(QRectF(20, 0, row.width - 22, row.height), Qt::AlignCenter,
             QString::fromLatin1(row.label));
}

void PaintSignal(QPainter& p, const ArtRow& row) {
  const bool present = row.kind == ArtKind::SignalPresent;
  const QColor lamp = present ? QColor(40, 200, 70) : QColor(90, 90, 90);
  // Only the left corner holds the lamp: the input strip writes the input's
  // name from 16 pixels right of the picture's left edge over the rest.
  p.setPen(Qt::NoPen);
  p.setBrush(lamp);
  const qreal d = row.height - 2;
  p.drawEllipse(QRectF(1, 1, d, d));
}

void PaintLamp(QPainter& p, const ArtRow& row) {
  const bool on = row.kind == ArtKind::LampOn;
  const QRectF r(1.5, 1.5, row.width - 3, row.height - 3);
  QRadialGradient g(r.center() - QPointF(2, 2), r.width() / 1.5);
  g.setColorAt(0, on ? QColor(255, 214, 110) : QColor(110, 110, 110));
  g.setColorAt(1, on ? QColor(200, 120, 0) : QColor(40, 40, 40));
  p.setBrush(g);
  p.setPen(QPen(QColor(8, 8, 8), 1));
  p.drawEllipse(r);
}

void PaintChannel(QPainter& p, const ArtRow& row) {
  const bool active = row.kind == ArtKind::ChannelActiveH || row.kind == ArtKind::ChannelActiveV;
  const bool vertical = row.kind == ArtKind::ChannelV || row.kind == ArtKind::ChannelActiveV;
  const qreal t = 4;  // groove thickness
  const QRectF groove = vertical ? QRectF(row.width / 2.0 - t / 2, 1, t, row.height - 2)
                                 : QRectF(1, row.height / 2.0 - t / 2, row.width - 2, t);
  p.setPen(QPen(active ? QColor(150, 98, 0) : QColor(8, 8, 8), 1));
  p.setBrush(active ? kOrange : QColor(58, 58, 58));
  p.drawRoundedRect(groove, 2, 2);
}

void PaintThumb(QPainter& p, const ArtRow& row) {
  const bool active = row.kind == ArtKind::ThumbActiveH || row.kind == ArtKind::ThumbActiveV;
  const QRectF r(0, 0, row.width, row.height);
  if (active) {
    Face(p, r, QColor(255, 200, 90), kOrange, QColor(110, 70, 0), QColor(255, 226, 160), 3);
  } else {
    Face(p, r, QColor(210, 210, 210), QColor(140, 140, 140), QColor(20, 20, 20),
         QColor(240, 240, 240), 3);
  }
}

void PaintChecker(QImage& img, const ArtRow& row) {
  const bool light = row.kind == ArtKind::CheckerLight;
  const QColor a = light ? QColor(255, 255, 255) : QColor(120, 120, 120);
  const QColor b = light ? QColor(204, 204, 204) : QColor(90, 90, 90);
  for (int y = 0; y < row.height; ++y) {
    for (int x = 0; x < row.width; ++x) img.setPixelColor(x, y, ((x / 8 + y / 8) % 2) ? b : a);
  }
}

void PaintIcon(QPainter& p, const ArtRow& row) {
  Face(p, QRectF(0, 0, row.width, row.height), QColor(40, 40, 40), QColor(20, 20, 20),
       QColor(8, 8, 8), QColor(70, 70, 70), 5);
  // A small LED wall: 4 x 3 cells, the middle ones lit.
  const qreal cw = (row.width - 8) / 4.0;
  const qreal ch = (row.height - 10) / 3.0;
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 4; ++c) {
      const bool lit = (r == 1) || (c == 1 || c == 2);
      p.fillRect(QRectF(4 + c * cw + 0.5, 5 + r * ch + 0.5, cw - 1.5, ch - 1.5),
                 lit ? kOrange : QColor(70, 70, 70));
    }
  }
}

// Vertical orange gradient of the wait bar, one colour per row.
QColor BarRow(int y, int height) {
  const QColor top(255, 196, 70);
  const QColor bottom(206, 126, 0);
  const int n = std::max(1, height - 1);
  auto mix = [&](int a, int b) { return a + (b - a) * y / n; };
  return QColor(mix(top.red(), bottom.red()), mix(top.green(), bottom.green()),
                mix(top.blue(), bottom.blue()));
}

QImage WaitFrameImage(int index) {
  const WaitFrameGeometry g = WaitFrame(index);
  QImage img(g.width, g.height, QImage::Format_RGB32);
  if (index == 0) {
    // The box colour with a dark track for the bar.
    img.fill(kWaitBack);
    for (int y = 3; y < 19; ++y) {
      for (int x = 3; x < 123; ++x) {
        const bool edge = y == 3 || y == 18 || x == 3 || x == 122;
        img.setPixelColor(x, y, edge ? kPage : kBorder);
      }
    }
    return img;
  }
  if (index == kWaitFrames - 1) {
    // Wipes the bar back to the track; the block reaches over the track's
    // right edge (x 122) into the box colour, which it repaints as they were.
    for (int y = 0; y < g.height; ++y) {
      for (int x = 0; x < g.width; ++x) {
        const int ax = g.left + x;
        img.setPixelColor(x, y, ax < 122 ? kBorder : ax == 122 ? kPage : kWaitBack);
      }
    }
    return img;
  }
  for (int y = 0; y < g.height; ++y) {
    const QColor c = BarRow(y, g.height);
    for (int x = 0; x < g.width; ++x) {
      // A darker seam every 10 pixels gives the bar its steps.
      const bool seam = x == g.width - 1;
      img.setPixelColor(x, y, seam ? c.darker(130) : c);
    }
  }
  return img;
}

}  // namespace

WaitFrameGeometry WaitFrame(int index) {
  if (index <= 0) return {0, 0, 126, 22};
  if (index >= kWaitFrames - 1) return {4, 4, 122, 14};
  return {4 + 10 * (index - 1), 4, 28, 14};
}

QImage PaintArt(const ArtRow& row) {
  QImage img = Blank(row);
  if (row.kind == ArtKind::PageBackground) {
    img.fill(kPage);
    return img;
  }
  if (row.kind == ArtKind::CheckerLight || row.kind == ArtKind::CheckerDark) {
    PaintChecker(img, row);
    return img;
  }
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  switch (row.kind) {
    case ArtKind::TitleClose:
    case ArtKind::TitleMaximise:
    case ArtKind::TitleRestore:
      PaintTitleButton(p, row);
      break;
    case ArtKind::SwitchOff:
    case ArtKind::SwitchOn:
      PaintSwitch(p, row);
      break;
    case ArtKind::PortNormal:
    case ArtKind::PortSelected:
      PaintPort(p, row);
      break;
    case ArtKind::SignalPresent:
    case ArtKind::SignalAbsent:
      PaintSignal(p, row);
      break;
    case ArtKind::LampOff:
    case ArtKind::LampOn:
      PaintLamp(p, row);
      break;
    case ArtKind::ChannelH:
    case ArtKind::ChannelActiveH:
    case ArtKind::ChannelV:
    case ArtKind::ChannelActiveV:
      PaintChannel(p, row);
      break;
    case ArtKind::ThumbH:
    case ArtKind::ThumbActiveH:
    case ArtKind::ThumbV:
    case ArtKind::ThumbActiveV:
      PaintThumb(p, row);
      break;
    case ArtKind::AppIcon:
      PaintIcon(p, row);
      break;
    default:
      PaintFace(p, row);
      break;
  }
  return img;
}

QImage PaintAppIcon(int size) {
  const ArtRow* row = FindArt(ArtType::Icon, kAppIcon);
  if (row == nullptr || size <= 0) return {};
  QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(static_cast<qreal>(size) / row->width, static_cast<qreal>(size) / row->height);
  PaintIcon(p, *row);
  return img;
}

QByteArray PaintAnimation(const ArtRow& row, bool* ok) {
  std::vector<GifFrame> frames;
  for (int i = 0; i < kWaitFrames; ++i) {
    const WaitFrameGeometry g = WaitFrame(i);
    // Delay 0 (the box shows such frames for 100 ms), left in place.
    frames.push_back({WaitFrameImage(i), QPoint(g.left, g.top), 0, 1});
  }
  const auto bytes = EncodeAnimation(row.width, row.height, frames);
  if (ok) *ok = bytes.has_value();
  return bytes.value_or(QByteArray());
}

}  // namespace orv::art
