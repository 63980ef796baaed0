#pragma once
// The screen's dots per inch and the scale factor against the 96 DPI the
// window sizes are given for.
#include <optional>

namespace orv {

struct Dpi {
  int x = 96;
  int y = 96;
};

// The primary screen's logical DPI, or the override; 96 x 96 without a screen.
Dpi ScreenDpi();
double DpiScaleX();  // ScreenDpi().x / 96.0
double DpiScaleY();
// Scales a length given at 96 DPI, truncated toward zero like the window sizes.
int ScaleX(int pixelsAt96);
int ScaleY(int pixelsAt96);

// Tests and screenshots pin the DPI; std::nullopt goes back to the screen's.
void SetDpiOverride(std::optional<Dpi> dpi);

}  // namespace orv
