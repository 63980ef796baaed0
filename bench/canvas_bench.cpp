// The layout canvas under a long drag: four output areas (a 2 x 2 block) and
// four layer windows on a 1280 x 728 canvas; PIP-1 is dragged for 2,000
// mouse-move steps along a path that runs into Main's and the area's edges
// (snapping) and past the area (clamping and alignment). Each step is timed
// with the repaint it causes: the canvas's own paint event drawing what the
// step invalidated into the offscreen platform's backing store (an image);
// then a repaint of the whole canvas without a change, the same way.
//
//   canvas_bench                      figures
//   canvas_bench --screenshot FILE    a demo canvas in program/preview mode,
//                                     mid-drag with a snap marker, as a PNG
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <numbers>
#include <vector>

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QWindow>

#include "CPictureCtrl.h"

namespace {

using Clock = std::chrono::steady_clock;
using orv::CCell;
using orv::CPictureCtrl;
using orv::canvas::Rect;
using orv::canvas::ScalePair;

constexpr int kWidth = 1280;
constexpr int kHeight = 728;
constexpr int kSteps = 2000;

QString S(const char* text) {
  return QString::fromUtf8(text);
}

void Send(QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButton button,
          Qt::MouseButtons buttons) {
  QMouseEvent event(type, at, w->mapToGlobal(at), button, buttons, Qt::NoModifier);
  QApplication::sendEvent(w, &event);
}

// Counts the pixels the canvas repaints.
class PaintMeter : public QObject {
 public:
  long long pixels = 0;
  int paints = 0;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) {
      for (const QRect& r : static_cast<QPaintEvent*>(event)->region()) {
        pixels += static_cast<long long>(r.width()) * r.height();
      }
      ++paints;
    }
    return false;
  }
};

// Delivers the pending repaint now, as the event loop would.
void Flush() {
  QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
}

// Shows the window and waits (10 s at most) until the platform exposes it,
// so that repaints really paint.
void ShowExposed(QWidget& window) {
  window.show();
  const auto deadline = Clock::now() + std::chrono::seconds(10);
  while (!(window.windowHandle() && window.windowHandle()->isExposed()) &&
         Clock::now() < deadline) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  }
  QCoreApplication::processEvents();
}

struct Figures {
  double medianMs;
  double p99Ms;
};

Figures Summarise(std::vector<double> ms) {
  std::sort(ms.begin(), ms.end());
  const auto p99 = static_cast<std::size_t>(std::ceil(0.99 * static_cast<double>(ms.size()))) - 1;
  return {ms[ms.size() / 2], ms[p99]};
}

double TimeMs(Clock::time_point since) {
  return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
}

// This thread's processor time: the wall figures of a loaded machine also
// hold the time other processes had the processor.
double ThreadCpuMs() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

// A layer at (x, y) of its area: made at output area 1's corner, then moved
// with its area, as the main page does.
CCell* AddAttachedLayer(CPictureCtrl& canvas, int zKey, const char* label, const Rect& area, int x,
                        int y, int w, int h) {
  CCell* cell = canvas.AddLayer(w, h, CCell::kFirstAreaCorner.x + x, CCell::kFirstAreaCorner.y + y,
                                S(label), zKey, 0);
  canvas.AttachToArea(cell, area.left, area.top, area.right, area.bottom);
  canvas.PlaceFromDevice(cell, cell->DeviceRect());
  return cell;
}

CCell* AddLockedArea(CPictureCtrl& canvas, const char* name, const Rect& device) {
  CCell* area = canvas.AddArea(S(name), device.left, device.top, 0);
  area->SetFixed(true);
  area->SetAreaStyle(true);
  canvas.PlaceFromDevice(area, device);
  return area;
}

int Bench(QWidget& window, CPictureCtrl& canvas) {
  canvas.SetScalePairs({3.5, 3.5}, {3.5, 3.5});
  std::vector<Rect> areas;
  for (int k = 0; k < 4; ++k) {
    const int left = 125 + 1920 * (k % 2);
    const int top = 198 + 1080 * (k / 2);
    areas.push_back({left, top, left + 1920, top + 1080});
    AddLockedArea(canvas, QString::asprintf("OUTPUT:DVI-%d", k + 1).toUtf8().constData(),
                  areas.back());
  }
  AddAttachedLayer(canvas, 0, "Main : DVI", areas[0], 0, 0, 1920, 1080);
  CCell* pip = AddAttachedLayer(canvas, 1, "PIP-1 : HDMI", areas[0], 300, 200, 960, 540);
  AddAttachedLayer(canvas, 2, "PIP-2 : SDI", areas[1], 200, 100, 1280, 720);
  AddAttachedLayer(canvas, 3, "PIP-3 : VGA", areas[2], 400, 300, 800, 600);
  ShowExposed(window);
  PaintMeter meter;
  canvas.installEventFilter(&meter);
  const Rect start = pip->CanvasRect();
  const QPoint grab((start.left + start.right) / 2, (start.top + start.bottom) / 2);
  Send(&canvas, QEvent::MouseButtonPress, grab, Qt::LeftButton, Qt::LeftButton);

  // An ellipse larger than the area, so the window keeps meeting its edges.
  std::vector<double> dragMs;
  std::vector<double> dragCpuMs;
  int snapped = 0;
  int aligned = 0;
  for (int i = 1; i <= kSteps; ++i) {
    const double angle = 2 * std::numbers::pi * 3 * i / kSteps;
    const QPoint at = grab + QPoint(static_cast<int>(std::lround(260 * std::sin(angle))),
                                    static_cast<int>(std::lround(150 * std::sin(2 * angle))));
    const auto begin = Clock::now();
    const double cpuBegin = ThreadCpuMs();
    Send(&canvas, QEvent::MouseMove, at, Qt::NoButton, Qt::LeftButton);
    Flush();
    dragMs.push_back(TimeMs(begin));
    dragCpuMs.push_back(ThreadCpuMs() - cpuBegin);
    if (canvas.SnapKind() != orv::canvas::kSnapNone) ++snapped;
    const Rect d = pip->DeviceRect();
    if (d.left == areas[0].left || d.top == areas[0].top || d.right == areas[0].right ||
        d.bottom == areas[0].bottom) {
      ++aligned;
    }
  }
  Send(&canvas, QEvent::MouseButtonRelease, grab, Qt::LeftButton, Qt::NoButton);
  Flush();
  const int dragPaints = meter.paints;
  const double dragShare =
      static_cast<double>(meter.pixels) / (static_cast<double>(kWidth) * kHeight * kSteps);

  std::vector<double> idleMs;
  for (int i = 0; i < kSteps; ++i) {
    const auto begin = Clock::now();
    canvas.update();
    Flush();
    idleMs.push_back(TimeMs(begin));
  }
  const Figures drag = Summarise(dragMs);
  const Figures idle = Summarise(idleMs);
  const Figures dragCpu = Summarise(dragCpuMs);
  std::printf("canvas %d x %d, 4 areas, 4 layers, %d drag steps (%d snapped, %d on an area edge)\n",
              kWidth, kHeight, kSteps, snapped, aligned);
  std::printf(
      "drag step + repaint: median %.3f ms, p99 %.3f ms (%d paints, %.1f %% of the canvas"
      " per step)\n",
      drag.medianMs, drag.p99Ms, dragPaints, 100.0 * dragShare);
  std::printf("drag step, processor time of this thread: median %.3f ms, p99 %.3f ms\n",
              dragCpu.medianMs, dragCpu.p99Ms);
  std::printf("idle repaint:        median %.3f ms, p99 %.3f ms (%d full paints)\n", idle.medianMs,
              idle.p99Ms, meter.paints - dragPaints);
  return 0;
}

// Program/preview mode 2 as the main page lays it out on a 1280 x 728 page:
// two preview areas above two program areas, 40 pixels below each half's top.
int Screenshot(QWidget& window, CPictureCtrl& canvas, const QString& file) {
  const float sx = 1920.0f / static_cast<float>((2 * kWidth - 250) / 5);
  const float sy = 1080.0f / static_cast<float>((kHeight - 198) / 2);
  canvas.SetScalePairs({sx, sy}, {sx, sy});
  canvas.SetCurrentScale({sx, sy});
  canvas.SetHalves(true);
  const int cx = static_cast<int>(static_cast<float>(kWidth / 2) * sx);
  const int top = static_cast<int>(40 * sy);
  const int programTop = static_cast<int>(static_cast<float>(kHeight / 2) * sy + 40 * sy);
  const Rect pvw1{cx - 1920, top, cx, top + 1080};
  const Rect pvw2{cx, top, cx + 1920, top + 1080};
  const Rect pgm1{cx - 1920, programTop, cx, programTop + 1080};
  const Rect pgm2{cx, programTop, cx + 1920, programTop + 1080};
  AddLockedArea(canvas, "PREVIEW-1", pvw1);
  AddLockedArea(canvas, "PREVIEW-2", pvw2);
  AddLockedArea(canvas, "PROGRAM-1", pgm1);
  AddLockedArea(canvas, "PROGRAM-2", pgm2)->SetSplitType(3);

  AddAttachedLayer(canvas, 0, "PVW1 : DVI", pvw1, 0, 0, 1920, 1080);
  CCell* pip1 = AddAttachedLayer(canvas, 1, "PVW2 : HDMI", pvw2, 700, 300, 960, 540);
  CCell* pip2 = AddAttachedLayer(canvas, 2, "PGM1 : SDI", pgm1, 240, 135, 1440, 810);
  pip2->SetFixed(true);
  AddAttachedLayer(canvas, 3, "PVW1 : VGA", pvw1, 1100, 560, 640, 360);
  window.show();

  // Drag PIP-1 until its top-left is a pixel off preview 2's corner: it snaps.
  const Rect start = pip1->CanvasRect();
  const Rect target = canvas.Cells()[4]->CanvasRect();  // PREVIEW-2
  const QPoint grab(start.left + 40, start.top + 40);
  Send(&canvas, QEvent::MouseButtonPress, grab, Qt::LeftButton, Qt::LeftButton);
  const QPoint end = grab + QPoint(target.left + 1 - start.left, target.top + 1 - start.top);
  for (int i = 1; i <= 20; ++i) {
    Send(&canvas, QEvent::MouseMove, grab + (end - grab) * i / 20, Qt::NoButton, Qt::LeftButton);
  }
  QImage picture(kWidth, kHeight, QImage::Format_RGB32);
  canvas.render(&picture);
  if (!picture.save(file)) {
    std::fprintf(stderr, "cannot write %s\n", file.toUtf8().constData());
    return 1;
  }
  std::printf("saved %s (snap kind %d)\n", file.toUtf8().constData(), canvas.SnapKind());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QWidget window;
  window.resize(kWidth, kHeight);
  auto* canvas = new CPictureCtrl(&window);
  canvas->setGeometry(0, 0, kWidth, kHeight);
  canvas->SetGrid(true);
  canvas->SetAreaAlignment(true);
  const QStringList args = QApplication::arguments();
  const qsizetype shot = args.indexOf(S("--screenshot"));
  if (shot > 0 && shot + 1 < args.size()) return Screenshot(window, *canvas, args[shot + 1]);
  return Bench(window, *canvas);
}
