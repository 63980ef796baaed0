#pragma once
// A picture control that plays an animated GIF on a worker thread, or shows
// a still picture. The thread draws each frame into a surface and asks the
// control to repaint; painting copies the surface. Frame delays and the
// disposal methods (2 restore to background, 3 restore to previous) are
// honoured; after the last frame the surface is cleared to the background
// colour and the animation starts again.
#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include <QColor>
#include <QImage>
#include <QWidget>

#include "Dpi.h"

namespace orv {

class CPictureEx : public QWidget {
  Q_OBJECT
 public:
  explicit CPictureEx(QWidget* parent = nullptr, int controlId = 0);
  ~CPictureEx() override;

  // Loads GIF resource `id` of the program.
  bool Load(int resourceId);
  // Loads GIF data (split into frames) or any other picture (shown still).
  // True when at least one picture was loaded and the surface is ready.
  bool Load(const QByteArray& bytes);
  // Starts the animation of a multi-frame GIF (returns 0), or shows the still
  // picture (returns 1); 0 when nothing is loaded.
  int Draw();
  // Ends the animation; the thread gets at most 5000 ms.
  void Stop();
  void UnLoad();

  struct Frame {
    QImage image;
    int left = 0, top = 0, width = 0, height = 0;
    int delayHundredths = 0;
    int disposal = 0;
    int displayMs = 100;
  };

  bool IsGif() const { return isGif_; }
  bool Prepared() const { return prepared_; }
  bool Playing() const;
  QSize PictureSize() const { return pictureSize_; }
  const std::vector<Frame>& Frames() const;
  int CurrentFrame() const;
  // A copy of what the control shows.
  QImage Surface() const;
  QColor BackgroundColor() const;
  void SetBackgroundColor(QColor c);
  // Part of the surface to show; empty shows the whole picture.
  void SetPaintRect(const QRect& r);

  // Called on the animation thread after each frame is drawn, with the frame
  // and how long it will stay (tests use it to follow the animation).
  using FrameObserver = std::function<void(int frame, int displayMs)>;
  void SetFrameObserver(FrameObserver observer);

  // Size in pixels of a still picture: its size in hundredths of a millimetre
  // (from its own resolution, 96 DPI when it has none) at the screen's DPI.
  static QSize StillPictureSize(const QImage& image, Dpi screen);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  struct Shared;  // what the animation thread and the GUI thread both touch
  void PrepareSurface();
  static void Animate(std::shared_ptr<Shared> shared);

  std::shared_ptr<Shared> shared_;
  std::thread thread_;
  QSize pictureSize_;
  bool isGif_ = false;
  bool prepared_ = false;
  QImage single_;
  QRect paintRect_;
};

}  // namespace orv
