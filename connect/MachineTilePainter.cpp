#include "MachineTilePainter.h"

#include <QPainter>
#include <QPainterPath>

#include "ArtIds.h"
#include "MachineList.h"
#include "ResourceRegistry.h"
#include "Skin.h"

namespace orv {

namespace {
const QColor kSelectedBorder(220, 0, 0);
const QColor kIdleBorder(0, 0, 0);
const QColor kConnectedFrame(220, 0, 0);
// The tile face: the title band's dark gradient, so tiles read as raised.
const QColor kFaceTop(47, 47, 47);
const QColor kFaceBottom(23, 23, 23);
constexpr int kLineHeight = 22;
}  // namespace

MachineTilePainter::MachineTilePainter()
    : online_(LoadResourceImage(ArtType::Png, art::kLampOn)),
      offline_(LoadResourceImage(ArtType::Png, art::kLampOff)),
      font_(skin::ArialFont(15, 700)) {}

QRect MachineTilePainter::LampRect(const QRect& tile) {
  return QRect(tile.left() + 16, tile.top() + 8, kLampSize, kLampSize);
}

QRect MachineTilePainter::RenameIconRect(const QRect& tile) {
  return QRect(tile.left() + tile.width() - kRenameIconFromRight, tile.top() + 4, kRenameIconSize,
               kRenameIconSize);
}

QRect MachineTilePainter::NameLineRect(const QRect& tile) {
  const int left = tile.left() + kTextLeft;
  return QRect(left, tile.top() + 5, RenameIconRect(tile).left() - 4 - left, kLineHeight);
}

QRect MachineTilePainter::IpLineRect(const QRect& tile) {
  const int left = tile.left() + kTextLeft;
  return QRect(left, tile.top() + 42, tile.left() + tile.width() - 8 - left, kLineHeight);
}

void MachineTilePainter::Paint(QPainter& p, const Machine& m) const {
  p.save();
  const QRect outer = m.tile.adjusted(-kBorder, -kBorder, kBorder, kBorder);
  p.fillRect(outer, m.connected ? skin::kOrange : m.selected ? kSelectedBorder : kIdleBorder);
  skin::FillVerticalGradient(p, m.tile, kFaceTop, kFaceBottom);

  const QImage& lamp = m.online ? online_ : offline_;
  if (!lamp.isNull()) p.drawImage(LampRect(m.tile), lamp);

  p.setFont(font_);
  p.setPen(skin::kText);
  const QFontMetrics metrics(font_);
  const QRect nameLine = NameLineRect(m.tile);
  const QRect ipLine = IpLineRect(m.tile);
  const QString name = QStringLiteral("Name:%1").arg(QString::fromStdString(m.name));
  const QString ip = QStringLiteral("IP:%1").arg(QString::fromStdString(m.ip));
  p.drawText(nameLine, Qt::AlignLeft | Qt::AlignVCenter,
             metrics.elidedText(name, Qt::ElideRight, nameLine.width()));
  p.drawText(ipLine, Qt::AlignLeft | Qt::AlignVCenter,
             metrics.elidedText(ip, Qt::ElideRight, ipLine.width()));

  PaintRenameIcon(p, RenameIconRect(m.tile));

  skin::DrawInnerFrame(p, m.tile, 1, m.connected ? kConnectedFrame : skin::kText);
  p.restore();
}

void MachineTilePainter::PaintRenameIcon(QPainter& p, const QRect& where) const {
  // A pencil lying from the lower left to the upper right.
  p.save();
  p.setRenderHint(QPainter::Antialiasing, true);
  p.translate(where.center() + QPointF(0.5, 0.5));
  p.rotate(-45);
  const qreal length = where.width() * 0.8;
  const qreal half = length / 2;
  const qreal thick = 3.0;
  p.setPen(Qt::NoPen);
  p.setBrush(skin::kListEntry);
  p.drawRect(QRectF(-half + 5, -thick, length - 5 - 3, 2 * thick));
  p.setBrush(skin::kOrange);
  p.drawRect(QRectF(half - 3, -thick, 3, 2 * thick));
  QPainterPath tip;
  tip.moveTo(-half, 0);
  tip.lineTo(-half + 5, -thick);
  tip.lineTo(-half + 5, thick);
  tip.closeSubpath();
  p.setBrush(skin::kText);
  p.drawPath(tip);
  p.restore();
}

}  // namespace orv
