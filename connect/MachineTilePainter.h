#pragma once
// Draws one machine's tile on the search window and knows where its parts
// are: the state border (orange connected, red selected, black otherwise),
// the online or offline lamp, the "Name:" and "IP:" lines, the rename icon
// and the frame (red when connected, light grey otherwise).
#include <QFont>
#include <QImage>
#include <QRect>

class QPainter;

namespace orv {

struct Machine;

class MachineTilePainter {
 public:
  static constexpr int kBorder = 2;
  static constexpr int kLampSize = 16;
  static constexpr int kRenameIconSize = 24;
  static constexpr int kRenameIconFromRight = 29;
  static constexpr int kTextLeft = 40;

  MachineTilePainter();

  // The lamp at (left + 16, top + 8).
  static QRect LampRect(const QRect& tile);
  // The 24 x 24 rename icon, 29 pixels from the tile's right edge.
  static QRect RenameIconRect(const QRect& tile);
  // The name line (where the rename edit opens) and the IP line.
  static QRect NameLineRect(const QRect& tile);
  static QRect IpLineRect(const QRect& tile);

  void Paint(QPainter& p, const Machine& machine) const;
  const QFont& Font() const { return font_; }

 private:
  void PaintRenameIcon(QPainter& p, const QRect& where) const;

  QImage online_;
  QImage offline_;
  QFont font_;
};

}  // namespace orv
