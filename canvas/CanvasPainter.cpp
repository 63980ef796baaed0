#include "CanvasPainter.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include <QPainter>

#include "CPictureCtrl.h"
#include "LabelFit.h"
#include "Skin.h"
#include "Tiles.h"

namespace orv {

namespace {

const QColor kBackground = skin::kPageBack;
const QColor kGridDot(255, 255, 255);
const QColor kAreaFill(0, 77, 235);
const QColor kSelectedFill(0, 0, 0);
const QColor kLayerFill(0, 0, 0);
const QColor kFrameSelected(255, 0, 0);
const QColor kFrame(192, 192, 192);
const QColor kDarkGreen(0, 128, 0);
const QColor kWhite(255, 255, 255);
const QColor kBlack(0, 0, 0);
const QColor kIntersection(0, 128, 192);
const QColor kYellow(255, 255, 0);
const QColor kTitleBar(64, 64, 64);
const QColor kPreviewColour(0, 255, 0);
const QColor kProgramColour(255, 0, 0);

constexpr int kTextIndent = 2;
constexpr int kNameMargin = 2;
constexpr int kSnapMarkerHalf = 5;
constexpr int kSnapPenWidth = 2;
constexpr int kTitleBarHeight = 26;
constexpr int kHalfFrame = 6;

QRect ToQRect(const canvas::Rect& r) {
  return QRect(r.left, r.top, r.Width(), r.Height());
}

// The desktop toolkit's frame: one pixel inside the rectangle.
void Frame(QPainter& p, const QRect& r, QColor colour, Qt::PenStyle style = Qt::SolidLine) {
  p.setPen(QPen(colour, 1, style));
  p.setBrush(Qt::NoBrush);
  p.drawRect(r.adjusted(0, 0, -1, -1));
}

QColor TextColour(const CCell& c) {
  if (!c.IsArea()) return c.IsFixed() && !c.IsSelected() ? kDarkGreen : kWhite;
  if (c.IsSelected()) return kWhite;
  return c.IsLockedArea() ? kDarkGreen : kBlack;
}

QColor FrameColour(const CCell& c) {
  if (c.HasColourOverride()) return c.OverrideColour();
  return c.IsSelected() ? kFrameSelected : kFrame;
}

// Text widths for the label fitting, in the canvas's bold Arial.
int MeasureBold(std::string_view utf8, int height) {
  const QFontMetrics metrics(skin::ArialFont(height, 700));
  return metrics.horizontalAdvance(
      QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
}

// The name gets the largest size that fits the cell; the other lines follow
// it in size and are cut to the cell's width.
void DrawTexts(QPainter& p, const CCell& c, const QRect& r) {
  if (c.IsLockedArea()) return;
  const canvas::FittedLabel name = canvas::FitLabel(c.Name().toStdString(), r.width(), r.height(),
                                                    canvas::kCanvasNameStyle, MeasureBold);
  const int size = name.pixelSize > 0 ? name.pixelSize : canvas::kCanvasNameStyle.maxPixelSize;
  const canvas::LabelStyle lineStyle{size, size, kTextIndent, 1};
  std::vector<std::string> lines{name.text};
  std::vector<QString> rest;
  if (c.ShowsExtraText()) rest.push_back(c.ExtraText());
  rest.push_back(c.PosText());
  rest.push_back(c.SizeText());
  for (const QString& line : rest) {
    lines.push_back(
        canvas::FitLabel(line.toStdString(), r.width(), r.height(), lineStyle, MeasureBold).text);
  }
  p.save();
  p.setClipRect(r, Qt::IntersectClip);
  p.setPen(TextColour(c));
  p.setFont(skin::ArialFont(size, 700));
  const QFontMetrics metrics = p.fontMetrics();
  int y = r.top();
  for (const std::string& line : lines) {
    if (y >= r.bottom()) break;
    p.drawText(r.left() + kTextIndent, y + metrics.ascent(), QString::fromStdString(line));
    y += metrics.height();
  }
  p.restore();
}

void DrawCell(QPainter& p, const CCell& c) {
  const QRect r = ToQRect(c.CanvasRect());
  if (c.IsAreaStyle()) {
    if (c.IsLockedArea()) {
      Frame(p, r, kDarkGreen, Qt::DotLine);
      return;
    }
    DrawTexts(p, c, r);
    Frame(p, r, c.HasColourOverride() ? c.OverrideColour() : kFrame);
    return;
  }
  if (c.IsArea()) {
    p.fillRect(r, c.IsSelected() ? kSelectedFill : kAreaFill);
  } else if (!c.HasVideo()) {
    p.fillRect(r, kLayerFill);
  }
  DrawTexts(p, c, r);
  Frame(p, r, FrameColour(c));
}

void DrawGrid(QPainter& p, const QRect& area) {
  const int spacing = CPictureCtrl::kGridSpacing;
  auto firstAtOrAfter = [&](int v) { return v <= 0 ? 0 : (v + spacing - 1) / spacing * spacing; };
  std::vector<QPoint> dots;
  for (int y = firstAtOrAfter(area.top()); y <= area.bottom(); y += spacing) {
    for (int x = firstAtOrAfter(area.left()); x <= area.right(); x += spacing)
      dots.emplace_back(x, y);
  }
  p.setPen(QPen(kGridDot, 1));
  p.drawPoints(dots.data(), static_cast<int>(dots.size()));
}

void DrawAreaExtras(QPainter& p, const CCell& c) {
  const QRect r = ToQRect(c.CanvasRect());
  p.setPen(kDarkGreen);
  p.drawText(r.adjusted(0, 0, -kNameMargin, -kNameMargin), Qt::AlignRight | Qt::AlignBottom,
             c.Name());
  if (!c.IsLockedArea() || c.SplitType() == 0) return;
  p.setPen(QPen(kYellow, 1, Qt::DashDotLine));
  const canvas::Rect area = c.CanvasRect();
  for (const canvas::Rect& tile : canvas::SplitTiles(area, c.SplitType())) {
    if (tile.left > area.left) p.drawLine(tile.left, tile.top, tile.left, tile.bottom - 1);
    if (tile.top > area.top) p.drawLine(tile.left, tile.top, tile.right - 1, tile.top);
  }
}

void DrawIntersections(QPainter& p, const std::vector<const CCell*>& layers) {
  p.setPen(QPen(kIntersection, 1, Qt::DotLine));
  p.setBrush(Qt::NoBrush);
  for (std::size_t i = 0; i < layers.size(); ++i) {
    for (std::size_t j = i + 1; j < layers.size(); ++j) {
      const canvas::Rect both = canvas::Intersect(layers[i]->CanvasRect(), layers[j]->CanvasRect());
      if (!both.IsEmpty()) p.drawRect(ToQRect(both).adjusted(0, 0, -1, -1));
    }
  }
}

struct SnapMarkRow {
  int kind;
  bool line;          // a line along an edge, else a square at a corner
  bool farX1, farY1;  // first point (or the corner)
  bool farX2, farY2;  // second point of the line
};
constexpr std::array<SnapMarkRow, 8> kSnapMarks{{
    {canvas::kSnapLeft, true, false, false, false, true},
    {canvas::kSnapTop, true, false, false, true, false},
    {canvas::kSnapRight, true, true, false, true, true},
    {canvas::kSnapBottom, true, false, true, true, true},
    {canvas::kSnapTopLeft, false, false, false, false, false},
    {canvas::kSnapBottomLeft, false, false, true, false, false},
    {canvas::kSnapTopRight, false, true, false, false, false},
    {canvas::kSnapBottomRight, false, true, true, false, false},
}};

const SnapMarkRow* SnapMarkOf(int kind) {
  for (const SnapMarkRow& row : kSnapMarks) {
    if (row.kind == kind) return &row;
  }
  return nullptr;
}

QPoint PartnerPoint(const canvas::Rect& partner, bool farX, bool farY) {
  return QPoint(farX ? partner.right : partner.left, farY ? partner.bottom : partner.top);
}

// The marker's line or square, before the pen's width.
QRect SnapMarkerShape(const SnapMarkRow& row, const canvas::Rect& partner) {
  const QPoint a = PartnerPoint(partner, row.farX1, row.farY1);
  if (row.line) return QRect(a, PartnerPoint(partner, row.farX2, row.farY2)).normalized();
  return QRect(a.x() - kSnapMarkerHalf, a.y() - kSnapMarkerHalf, 2 * kSnapMarkerHalf,
               2 * kSnapMarkerHalf);
}

void DrawSnapMarker(QPainter& p, int kind, const canvas::Rect& partner) {
  const SnapMarkRow* row = SnapMarkOf(kind);
  if (!row) return;
  p.setPen(QPen(kYellow, kSnapPenWidth));
  p.setBrush(Qt::NoBrush);
  const QRect shape = SnapMarkerShape(*row, partner);
  if (row->line) {
    p.drawLine(shape.topLeft(), shape.bottomRight());
  } else {
    p.drawRect(shape);
  }
}

void DrawHalf(QPainter& p, const QRect& half, const QImage& titleImage, const QString& title,
              QColor colour) {
  // The bar sits inside the frame, so the title is not cut by it.
  const QRect bar(half.left() + kHalfFrame, half.top() + kHalfFrame, half.width() - 2 * kHalfFrame,
                  kTitleBarHeight);
  if (titleImage.isNull()) {
    p.fillRect(bar, kTitleBar);
  } else {
    p.drawImage(bar, titleImage);
  }
  skin::DrawInnerFrame(p, half, kHalfFrame, colour);
  p.setFont(skin::ArialFont(20, 700));
  p.setPen(colour);
  p.drawText(bar, Qt::AlignCenter, title);
}

void DrawHalves(QPainter& p, const QRect& area, const QImage& titleImage) {
  const int upperHeight = area.height() / 2;
  const QRect preview(area.left(), area.top(), area.width(), upperHeight);
  const QRect program(area.left(), area.top() + upperHeight, area.width(),
                      area.height() - upperHeight);
  DrawHalf(p, preview, titleImage, QStringLiteral("PREVIEW"), kPreviewColour);
  DrawHalf(p, program, titleImage, QStringLiteral("PROGRAM"), kProgramColour);
}

}  // namespace

QRect CanvasPainter::SnapMarkerBounds(int kind, const canvas::Rect& partner) {
  const SnapMarkRow* row = SnapMarkOf(kind);
  if (!row) return {};
  return SnapMarkerShape(*row, partner)
      .adjusted(-kSnapPenWidth, -kSnapPenWidth, kSnapPenWidth + 1, kSnapPenWidth + 1);
}

void CanvasPainter::Paint(QPainter& p, const CPictureCtrl& canvas, const QRect& clip) {
  p.fillRect(clip, kBackground);
  const QRect parentArea = canvas.ParentArea();
  if (canvas.Grid()) DrawGrid(p, parentArea.intersected(clip));

  p.setFont(skin::ArialFont(16, 700));
  std::vector<const CCell*> layers;
  std::vector<const CCell*> areas;
  for (const CCell* c : canvas.Cells()) {
    if (c->IsHidden() || !clip.intersects(ToQRect(c->CanvasRect()))) continue;
    (c->IsArea() ? areas : layers).push_back(c);
  }
  for (const CCell* c : layers) DrawCell(p, *c);
  for (const CCell* c : areas) {
    DrawCell(p, *c);
    DrawAreaExtras(p, *c);
  }
  DrawIntersections(p, layers);
  DrawSnapMarker(p, canvas.SnapKind(), canvas.SnapPartner());
  if (canvas.Halves()) DrawHalves(p, parentArea, canvas.TitleBarImage());

  const canvas::Rect band = canvas.RubberBand();
  if (!band.IsEmpty()) Frame(p, ToQRect(band), kWhite, Qt::DotLine);
}

}  // namespace orv
