#pragma once
// The caption text as a picture, with Qt Gui only (no widgets): the caption
// font, the text's measure, the text drawn white on black into a one-bit
// picture, and the conversions between one-bit pictures and QImage.
#include <QFont>
#include <QImage>
#include <QSize>
#include <QString>

#include "MonoBmp.h"

namespace orv {

inline constexpr int kDefaultCaptionFontHeight = 32;

// `base` (family, weight, italic kept) with the largest pixel size whose line
// height is at most `cellHeight`, drawn without antialiasing, so that a
// rendered caption has exactly two colours.
QFont CaptionFont(const QFont& base, int cellHeight);
// Arial, bold (700), a 32-pixel cell.
QFont DefaultCaptionFont();

// The text's width (an italic font adds the overhang of "f") and height.
QSize MeasureCaptionText(const QString& text, const QFont& font);

// `text` drawn white on black at the top of a width x height picture, from
// x = 0 or centred; pixels at least half white become 1 bits.
MonoBitmap RenderCaptionText(const QString& text, const QFont& font, int width, int height,
                             bool alignCentre);

// Any picture in two colours: pixels at least half white become 1 bits.
MonoBitmap ToMonoBitmap(const QImage& image);
// A one-bit picture as an image: 0 black, 1 white.
QImage ToImage(const MonoBitmap& bitmap);

}  // namespace orv
