#pragma once
// Where the search window's controls and tiles go for a window size. A
// window wide enough for four tiles a row (860 pixels) has its controls in
// one row above the tiles, which start at (10, 80). A narrower one, such as
// the main window's page column, gets as many tiles a row as fit (at least
// one) and its buttons in a second row, with the tiles below them. Tiles that
// do not fit in the height are reached with the scroll bar at the right edge.
#include <QPoint>
#include <QRect>
#include <QSize>

namespace orv {

struct SearchWindowLayout {
  static constexpr int kOneRowWidth = 570;
  static constexpr int kScrollBarWidth = 10;

  QRect group;  // "Local Ip Address" with the list and its refresh button
  QRect list;
  QRect refresh;
  QRect search;   // the SEARCH button
  QRect connect;  // the Connect button
  QPoint tileOrigin;
  int tilesPerRow = 4;
  QRect tileArea;  // what the tiles may cover (scroll bar excluded)
  QRect scrollBar;

  static SearchWindowLayout For(const QSize& window);
};

}  // namespace orv
