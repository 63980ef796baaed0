#include "CaptionRender.h"

#include <algorithm>

#include <QFontMetrics>
#include <QPainter>

namespace orv {

QFont CaptionFont(const QFont& base, int cellHeight) {
  QFont font = base;
  font.setStyleStrategy(QFont::NoAntialias);
  int size = std::max(1, cellHeight);
  font.setPixelSize(size);
  // The line height of a pixel size depends on the family; step down from the
  // proportional guess until it fits.
  const int first = QFontMetrics(font).height();
  if (first > cellHeight && first > 0) size = std::max(1, size * cellHeight / first);
  font.setPixelSize(size);
  while (size > 1 && QFontMetrics(font).height() > cellHeight) font.setPixelSize(--size);
  return font;
}

QFont DefaultCaptionFont() {
  QFont base(QStringLiteral("Arial"));
  base.setWeight(QFont::Bold);
  base.setStyleHint(QFont::SansSerif);
  return CaptionFont(base, kDefaultCaptionFontHeight);
}

QSize MeasureCaptionText(const QString& text, const QFont& font) {
  const QFontMetrics metrics(font);
  int width = metrics.horizontalAdvance(text);
  if (font.italic()) width += std::max(0, -metrics.rightBearing(QLatin1Char('f')));
  return {width, metrics.height()};
}

MonoBitmap RenderCaptionText(const QString& text, const QFont& font, int width, int height,
                             bool alignCentre) {
  QImage image(std::max(1, width), std::max(1, height), QImage::Format_RGB32);
  image.fill(Qt::black);
  {
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    painter.setFont(font);
    painter.setPen(Qt::white);
    const int x = alignCentre ? (width - MeasureCaptionText(text, font).width()) / 2 : 0;
    painter.drawText(x, QFontMetrics(font).ascent(), text);
  }
  return ToMonoBitmap(image);
}

MonoBitmap ToMonoBitmap(const QImage& image) {
  const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
  MonoBitmap bitmap(rgb.width(), rgb.height());
  for (int y = 0; y < rgb.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
    for (int x = 0; x < rgb.width(); ++x) bitmap.Set(x, y, qGray(line[x]) >= 128);
  }
  return bitmap;
}

QImage ToImage(const MonoBitmap& bitmap) {
  QImage image(bitmap.width, bitmap.height, QImage::Format_RGB32);
  for (int y = 0; y < bitmap.height; ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < bitmap.width; ++x)
      line[x] = bitmap.Bit(x, y) ? qRgb(255, 255, 255) : qRgb(0, 0, 0);
  }
  return image;
}

}  // namespace orv
