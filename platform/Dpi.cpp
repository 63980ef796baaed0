#include "Dpi.h"

#include <QGuiApplication>
#include <QScreen>

namespace orv {

namespace {
std::optional<Dpi> dpi_override;
}

Dpi ScreenDpi() {
  if (dpi_override) return *dpi_override;
  if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return {};
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return {};
  return {static_cast<int>(screen->logicalDotsPerInchX()),
          static_cast<int>(screen->logicalDotsPerInchY())};
}

double DpiScaleX() {
  return ScreenDpi().x / 96.0;
}
double DpiScaleY() {
  return ScreenDpi().y / 96.0;
}
int ScaleX(int pixelsAt96) {
  return static_cast<int>(DpiScaleX() * pixelsAt96);
}
int ScaleY(int pixelsAt96) {
  return static_cast<int>(DpiScaleY() * pixelsAt96);
}

void SetDpiOverride(std::optional<Dpi> dpi) {
  dpi_override = dpi;
}

}  // namespace orv
