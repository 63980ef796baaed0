#include "WindowLayout.h"

#include <algorithm>

namespace orv::layout {

QSize InitialWindowSize(int dpiX, int dpiY) {
  const float sx = static_cast<float>(dpiX / 96.0);
  const float sy = static_cast<float>(dpiY / 96.0);
  return {static_cast<int>(sx * kDesignWidth), static_cast<int>(sy * kDesignHeight)};
}

QRect PageButtonRect(const QRect& client, int index) {
  return {client.left(), client.top() + kPageButtonTop + index * kPageButtonHeight,
          kPageButtonWidth, kPageButtonHeight};
}

QRect PageColumnRect(const QRect& client, double scale) {
  const int left = client.left() + 77;
  const int right = static_cast<int>(static_cast<float>(scale) * 320.0f + static_cast<float>(left));
  const int top = client.top() + 106;
  const int bottom = client.top() + client.height() - 96;
  return {left, top, right - left, bottom - top};
}

QRect MainPageRect(const QRect& client, bool pageShown, double scale) {
  const int left =
      pageShown ? PageColumnRect(client, scale).left() + PageColumnRect(client, scale).width()
                : client.left() + 75;
  const int right = client.left() + client.width() - 24;
  const int top = client.top() + 106;
  const int bottom = client.top() + client.height() - 141;
  return {left, top, right - left, bottom - top};
}

QRect SubPageRect(const QRect& windowFrame, double scale, bool afterMove) {
  const QRect column = PageColumnRect(QRect(0, 0, 1, 1), scale);
  const int left = windowFrame.left() + 83;
  const int top = windowFrame.top() + (afterMove ? 197 : 208);
  const int bottom = windowFrame.top() + windowFrame.height();
  return {left, top, column.width(), bottom - top - 104};
}

SeparatorLines Separators(const QRect& client) {
  const int l = client.left();
  const int t = client.top();
  const int r = client.left() + client.width();
  const int b = client.top() + client.height();
  SeparatorLines lines;
  lines.verticals[0] = QLine(l + 75, t, l + 75, b);
  lines.verticals[1] = QLine(r - 24, t, r - 24, b);
  lines.horizontals[0] = QLine(l + 75, t + 105, r - 24, t + 105);
  lines.horizontals[1] = QLine(l + 75, b - 95, r - 24, b - 95);
  return lines;
}

QRect ApplyMinimumSize(const QRect& proposed, SizingEdge edge) {
  int left = proposed.left();
  int top = proposed.top();
  int right = proposed.left() + proposed.width();
  int bottom = proposed.top() + proposed.height();
  const bool dragsLeft =
      edge == SizingEdge::Left || edge == SizingEdge::TopLeft || edge == SizingEdge::BottomLeft;
  const bool dragsTop =
      edge == SizingEdge::Top || edge == SizingEdge::TopLeft || edge == SizingEdge::TopRight;
  if (right - left < kDesignWidth) {
    if (dragsLeft) {
      left = right - kDesignWidth;
    } else {
      right = left + kDesignWidth;
    }
  }
  if (bottom - top < kDesignHeight) {
    if (dragsTop) {
      top = bottom - kDesignHeight;
    } else {
      bottom = top + kDesignHeight;
    }
  }
  return {left, top, right - left, bottom - top};
}

StripRow PlaceStripRow(const QRect& client, int canvasLeft, const StripRowShown& shown) {
  constexpr int kGap = 10;          // between the right group's buttons, and before it
  constexpr int kLayerSpacing = 4;  // between two layer buttons
  constexpr int kGroupGap = 10;     // extra room between the PGM and PVW groups
  const QSize rightSizes[kStripRightButtons] = {{90, 38}, {96, 28}, {96, 28}, {96, 28}, {96, 28}};
  const int band = client.top() + client.height() - 137;
  StripRow row;
  int x = client.left() + client.width() - 66;
  int rightStart = x + kGap;
  for (int i = kStripRightButtons - 1; i >= 0; --i) {
    const QSize size = rightSizes[i];
    // TAKE is taller and sits 6 pixels higher than the others.
    const int top = i == kTakeButton ? band - 6 : band;
    row.right[static_cast<std::size_t>(i)] = QRect(QPoint(x - size.width(), top), size);
    if (!shown.right[static_cast<std::size_t>(i)]) continue;
    x -= size.width() + kGap;
    rightStart = x + kGap;
  }

  const int left = canvasLeft + 15;
  const int limit = rightStart - kGap;
  // First the buttons' own places (four PGM slots, four PVW slots).
  int lastRight = left;
  for (std::size_t i = 0; i < 8; ++i) {
    const int slot = static_cast<int>(i % 4) + (i < 4 ? 0 : 4);
    row.layers[i] =
        QRect(left + slot * (kLayerButtonWidth + kLayerSpacing) + (i < 4 ? 0 : kGroupGap), band,
              kLayerButtonWidth, 26);
    if (shown.layers[i]) lastRight = row.layers[i].left() + kLayerButtonWidth;
  }
  if (lastRight <= limit) return row;
  // Too far right: the shown buttons close up, and narrow if they must.
  int count = 0;
  bool pgmShown = false;
  bool pvwShown = false;
  for (std::size_t i = 0; i < 8; ++i) {
    if (!shown.layers[i]) continue;
    ++count;
    (i < 4 ? pgmShown : pvwShown) = true;
  }
  const int groupGap = pgmShown && pvwShown ? kGroupGap : 0;
  const int room = limit - left - groupGap - (count - 1) * kLayerSpacing;
  const int width = std::clamp(room / count, kLayerButtonMinWidth, kLayerButtonWidth);
  int x2 = left;
  for (std::size_t i = 0; i < 8; ++i) {
    if (i == 4 && pgmShown) x2 += groupGap;
    row.layers[i] = QRect(x2, band, width, 26);
    if (shown.layers[i]) x2 += width + kLayerSpacing;
  }
  return row;
}

EdgeAnchor AnchorOf(const QRect& control, const QRect& client, bool fromRight) {
  EdgeAnchor a;
  a.fromRight = fromRight;
  const int clientRight = client.left() + client.width();
  const int clientBottom = client.top() + client.height();
  a.horizontalDistance = fromRight ? clientRight - control.left() : control.left() - client.left();
  a.bottomDistance = clientBottom - control.top();
  a.size = control.size();
  return a;
}

QRect PlaceAnchored(const EdgeAnchor& anchor, const QRect& client) {
  const int clientRight = client.left() + client.width();
  const int clientBottom = client.top() + client.height();
  const int left = anchor.fromRight ? clientRight - anchor.horizontalDistance
                                    : client.left() + anchor.horizontalDistance;
  return {QPoint(left, clientBottom - anchor.bottomDistance), anchor.size};
}

}  // namespace orv::layout
