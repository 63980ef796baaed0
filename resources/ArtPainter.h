#pragma once
// Draws the pictures of the art table in the dark skin.
#include <QByteArray>
#include <QImage>

#include "ArtTable.h"

namespace orv::art {

// The picture of a row: PNG, bitmap and icon rows give an image; the wait
// animation gives the GIF bytes. `error` is set when the row cannot be drawn.
QImage PaintArt(const ArtRow& row);
QByteArray PaintAnimation(const ArtRow& row, bool* ok);

// The application icon drawn `size` pixels square (its 32-pixel drawing
// scaled up, sharp at every size), for the desktop's icon theme.
QImage PaintAppIcon(int size);

// The wait animation's frames as the box shows them after each frame, for
// tests and for the gallery (12 frames, 126 x 22).
struct WaitFrameGeometry {
  int left, top, width, height;
};
// Frame 0 covers the picture; frames 1..10 are 28 x 14 blocks at top 4 and
// left 4, 14, ... 94; frame 11 is the 122 x 14 wipe at (4, 4).
WaitFrameGeometry WaitFrame(int index);
constexpr int kWaitFrames = 12;

}  // namespace orv::art
