#include "CPictureEx.h"

#include <chrono>

#include <QPainter>
#include <QPointer>

#include "ControlId.h"
#include "GifWalker.h"
#include "Messages.h"
#include "ResourceRegistry.h"

namespace orv {

namespace {
const QColor kInitialBackground(255, 255, 255);
constexpr auto kStopWait = std::chrono::milliseconds(5000);
}  // namespace

struct CPictureEx::Shared {
  mutable std::mutex mutex;  // guards surface, saved, background and the observer
  std::condition_variable wake;
  std::condition_variable ended;
  bool exit = false;
  bool finished = true;
  std::atomic<bool> playing{false};
  std::atomic<int> current{0};
  std::vector<Frame> frames;  // read-only while the thread runs
  QImage surface;
  QColor background = kInitialBackground;
  FrameObserver observer;
  QPointer<CPictureEx> owner;
};

CPictureEx::CPictureEx(QWidget* parent, int controlId)
    : QWidget(parent), shared_(std::make_shared<Shared>()) {
  SetControlId(this, controlId);
  shared_->owner = this;
}

CPictureEx::~CPictureEx() {
  UnLoad();
}

bool CPictureEx::Load(int resourceId) {
  const QByteArray bytes = LoadResourceBytes(art::ArtType::Gif, resourceId);
  if (bytes.isEmpty()) return false;
  return Load(bytes);
}

QSize CPictureEx::StillPictureSize(const QImage& image, Dpi screen) {
  auto dpi = [](int dotsPerMeter) { return dotsPerMeter > 0 ? dotsPerMeter * 0.0254 : 96.0; };
  // Pixels -> hundredths of a millimetre at the picture's resolution ...
  const int himetricW = static_cast<int>(image.width() * 2540.0 / dpi(image.dotsPerMeterX()) + 0.5);
  const int himetricH =
      static_cast<int>(image.height() * 2540.0 / dpi(image.dotsPerMeterY()) + 0.5);
  // ... -> pixels at the screen's, multiplied before dividing.
  return QSize(static_cast<int>(static_cast<int64_t>(himetricW) * screen.x / 2540),
               static_cast<int>(static_cast<int64_t>(himetricH) * screen.y / 2540));
}

bool CPictureEx::Load(const QByteArray& bytesIn) {
  UnLoad();
  const auto* bytes = reinterpret_cast<const uint8_t*>(bytesIn.constData());
  const auto size = static_cast<size_t>(bytesIn.size());
  if (!IsGifData(bytes, size)) {
    single_ = QImage::fromData(bytesIn);
    if (single_.isNull()) return false;
    pictureSize_ = StillPictureSize(single_, ScreenDpi());
    PrepareSurface();
    return true;
  }
  const auto layout = WalkGif(bytes, size);
  if (!layout) return false;
  isGif_ = true;
  pictureSize_ = QSize(layout->width, layout->height);
  if (layout->frames.size() == 1) {
    single_ = QImage::fromData(bytesIn, "GIF");
    if (single_.isNull()) {
      isGif_ = false;
      return false;
    }
    PrepareSurface();
    return true;
  }
  std::vector<Frame> frames;
  for (const GifFrameInfo& info : layout->frames) {
    QImage img = QImage::fromData(FrameGif(bytes, *layout, info), "GIF");
    if (img.isNull()) continue;  // a frame that does not decode is skipped
    Frame f;
    f.left = info.left;
    f.top = info.top;
    f.width = info.width;
    f.height = info.height;
    // The decoder gives the whole logical screen; keep the frame's own area.
    if (img.size() != QSize(f.width, f.height) &&
        img.rect().contains(QRect(f.left, f.top, f.width, f.height))) {
      img = img.copy(f.left, f.top, f.width, f.height);
    }
    f.image = img.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    f.delayHundredths = info.delayHundredths;
    f.disposal = info.disposal;
    f.displayMs = FrameDisplayMs(info);
    frames.push_back(std::move(f));
  }
  if (frames.empty()) {
    isGif_ = false;
    return false;
  }
  shared_->frames = std::move(frames);
  PrepareSurface();
  return true;
}

void CPictureEx::PrepareSurface() {
  resize(pictureSize_);
  std::lock_guard lock(shared_->mutex);
  shared_->surface = QImage(pictureSize_, QImage::Format_ARGB32_Premultiplied);
  shared_->background = palette().color(QPalette::Button);
  shared_->surface.fill(palette().color(QPalette::Window));
  prepared_ = true;
}

int CPictureEx::Draw() {
  if (!prepared_) return 0;
  if (isGif_ && shared_->frames.size() > 1) {
    if (thread_.joinable()) return 0;  // already playing
    {
      std::lock_guard lock(shared_->mutex);
      shared_->exit = false;
      shared_->finished = false;
    }
    shared_->playing = true;
    thread_ = std::thread(&CPictureEx::Animate, shared_);
    return 0;
  }
  if (single_.isNull()) return 0;
  {
    std::lock_guard lock(shared_->mutex);
    QPainter p(&shared_->surface);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(QRect(QPoint(0, 0), pictureSize_), single_);
  }
  update();
  return 1;
}

void CPictureEx::Animate(std::shared_ptr<Shared> s) {
  const auto& frames = s->frames;
  const int count = static_cast<int>(frames.size());
  int i = s->current.load();
  std::unique_lock lock(s->mutex);
  while (!s->exit) {
    const Frame& f = frames[i];
    const QRect area(f.left, f.top, f.width, f.height);
    QImage saved;
    if (f.disposal == 3) saved = s->surface.copy(area);
    {
      QPainter p(&s->surface);
      p.drawImage(area, f.image);
    }
    s->current = i;
    // Repaint on the GUI thread; the pointer is checked there.
    QPointer<CPictureEx> owner = s->owner;
    RunOnGuiThread([owner] {
      if (owner) owner->update();
    });
    if (s->exit) break;
    if (s->observer) {
      FrameObserver observer = s->observer;
      lock.unlock();
      observer(i, f.displayMs);
      lock.lock();
      if (s->exit) break;
    }
    s->wake.wait_for(lock, std::chrono::milliseconds(f.displayMs), [&] { return s->exit; });
    if (s->exit) break;
    if (f.disposal == 2) {
      QPainter p(&s->surface);
      p.setCompositionMode(QPainter::CompositionMode_Source);
      p.fillRect(area, s->background);
    } else if (f.disposal == 3 && !saved.isNull()) {
      QPainter p(&s->surface);
      p.setCompositionMode(QPainter::CompositionMode_Source);
      p.drawImage(area.topLeft(), saved);
    }
    if (++i >= count) {
      i = 0;
      s->surface.fill(s->background);
    }
  }
  s->playing = false;
  s->finished = true;
  s->ended.notify_all();
}

void CPictureEx::Stop() {
  if (!thread_.joinable()) return;
  bool ended = false;
  {
    std::unique_lock lock(shared_->mutex);
    shared_->exit = true;
    shared_->playing = false;
    shared_->wake.notify_all();
    ended = shared_->ended.wait_for(lock, kStopWait, [&] { return shared_->finished; });
  }
  if (ended) {
    thread_.join();
  } else {
    // The thread keeps its own share of the data, so letting it go is safe.
    thread_.detach();
    shared_ = std::make_shared<Shared>();
    shared_->owner = this;
  }
  std::lock_guard lock(shared_->mutex);
  shared_->exit = false;
}

void CPictureEx::UnLoad() {
  Stop();
  single_ = QImage();
  {
    std::lock_guard lock(shared_->mutex);
    shared_->frames.clear();
    shared_->surface = QImage();
    shared_->background = kInitialBackground;
    shared_->current = 0;
  }
  pictureSize_ = QSize();
  isGif_ = false;
  prepared_ = false;
}

bool CPictureEx::Playing() const {
  return shared_->playing;
}
const std::vector<CPictureEx::Frame>& CPictureEx::Frames() const {
  return shared_->frames;
}
int CPictureEx::CurrentFrame() const {
  return shared_->current;
}

QImage CPictureEx::Surface() const {
  std::lock_guard lock(shared_->mutex);
  return shared_->surface.copy();
}

QColor CPictureEx::BackgroundColor() const {
  std::lock_guard lock(shared_->mutex);
  return shared_->background;
}

void CPictureEx::SetBackgroundColor(QColor c) {
  std::lock_guard lock(shared_->mutex);
  shared_->background = c;
}

void CPictureEx::SetPaintRect(const QRect& r) {
  paintRect_ = r;
  update();
}

void CPictureEx::SetFrameObserver(FrameObserver observer) {
  std::lock_guard lock(shared_->mutex);
  shared_->observer = std::move(observer);
}

void CPictureEx::paintEvent(QPaintEvent*) {
  QPainter p(this);
  std::lock_guard lock(shared_->mutex);
  if (shared_->surface.isNull()) return;
  const QRect source = paintRect_.isEmpty() ? QRect(QPoint(0, 0), pictureSize_) : paintRect_;
  p.drawImage(QPoint(0, 0), shared_->surface, source);
}

}  // namespace orv
