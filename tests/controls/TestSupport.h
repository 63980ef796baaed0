#pragma once
// Helpers shared by the control tests: a page that records the messages its
// controls post, GIF builders and pixel helpers.
#include <vector>

#include <QImage>
#include <QWidget>

#include "GifWriter.h"
#include "Messages.h"
#include "RecordingWindow.h"

namespace orv::test {

// A dark page that records what its controls post.
class RecordingPage : public RecordingWindow {
 public:
  explicit RecordingPage(QWidget* parent = nullptr) : RecordingWindow(parent) {
    resize(400, 300);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(16, 16, 16));
    setPalette(pal);
  }
};

inline std::vector<uint8_t> Solid(int w, int h, uint8_t index) {
  return std::vector<uint8_t>(static_cast<size_t>(w) * h, index);
}

// A palette of four colours: black, red, green, blue.
inline std::vector<QRgb> FourColours() {
  return {qRgb(0, 0, 0), qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255)};
}

struct FrameSpec {
  int left, top, width, height;
  uint8_t colour;  // index into FourColours
  int delay;
  int disposal;
};

// An animated GIF of `w` x `h` with one graphic control extension per frame.
inline QByteArray BuildGif(int w, int h, const std::vector<FrameSpec>& frames) {
  art::GifWriter gif(w, h, FourColours());
  gif.LoopExtension();
  for (const FrameSpec& f : frames) {
    gif.GraphicControl(f.delay, f.disposal);
    gif.Image(f.left, f.top, f.width, f.height, Solid(f.width, f.height, f.colour));
  }
  gif.Trailer();
  return gif.Bytes();
}

inline QImage Grab(QWidget& w) {
  return w.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

inline QColor Pixel(const QImage& img, int x, int y) {
  return img.pixelColor(x, y);
}

}  // namespace orv::test
