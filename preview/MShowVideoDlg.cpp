#include "MShowVideoDlg.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QWindow>

#include <array>

#include "ControlId.h"
#include "RepaintOnExpose.h"

namespace orv::preview {
namespace {

struct ZoneAction {
  HitZone zone;
  bool move;
  Qt::Edges edges;
};

constexpr std::array<ZoneAction, 9> kZoneActions{{
    {HitZone::TopLeft, false, Qt::TopEdge | Qt::LeftEdge},
    {HitZone::TopRight, false, Qt::TopEdge | Qt::RightEdge},
    {HitZone::BottomLeft, false, Qt::BottomEdge | Qt::LeftEdge},
    {HitZone::BottomRight, false, Qt::BottomEdge | Qt::RightEdge},
    {HitZone::Left, false, Qt::LeftEdge},
    {HitZone::Right, false, Qt::RightEdge},
    {HitZone::Top, false, Qt::TopEdge},
    {HitZone::Bottom, false, Qt::BottomEdge},
    {HitZone::Caption, true, {}},
}};

}  // namespace

ShowStatic::ShowStatic(QWidget* parent, int index)
    : parent_(parent), index_(index), target_(TextureKind::Yv12, std::string()) {}

ShowStatic::~ShowStatic() {
  Detach();
}

void ShowStatic::Attach(const std::shared_ptr<DecoderContext>& context, FrameSize frame,
                        DrawingSurface surface) {
  Detach();
  window_ = new QWidget(parent_);
  window_->setObjectName(QStringLiteral("videoView%1").arg(index_));
  window_->setAttribute(Qt::WA_NativeWindow);
  window_->setAttribute(Qt::WA_PaintOnScreen);
  window_->setAttribute(Qt::WA_NoSystemBackground);
  window_->setGeometry(box_.x, box_.y, std::max(1, box_.width), std::max(1, box_.height));
  // Made hidden and shown once SDL has it, as a layer cell's window.
  window_->hide();
  RepaintOnExpose(window_, &target_);
  if (surface == DrawingSurface::NativeWindow) {
    target_.BuildOnWindow(static_cast<uintptr_t>(window_->winId()), frame);
  } else if (surface == DrawingSurface::Memory) {
    target_.BuildOnSurface(box_.width, box_.height, frame);
  }
  target_.SetSource(Quadrant(index_, frame));
  window_->show();
  target_.SetVisible(true);
  context_ = context;
  if (context) context->RegisterTarget(&target_, TargetKind::View);
}

void ShowStatic::Detach() {
  if (auto context = context_.lock()) context->RemoveTarget(&target_);
  context_.reset();
  target_.Destroy();
  delete window_;
  window_ = nullptr;
}

void ShowStatic::Place(const Box& box) {
  box_ = box;
  if (!window_) return;
  window_->setGeometry(box.x, box.y, std::max(1, box.width), std::max(1, box.height));
  target_.SetOutputSize(box.width, box.height);
}

MShowVideoDlg::MShowVideoDlg(QWidget* parent) : MBaseDialog(kTemplateId, parent) {
  setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
  setMinimumSize(kVideoWindowMinWidth, kVideoWindowMinHeight);
  // Takes the keyboard when it comes up, so that Escape reaches it.
  setFocusPolicy(Qt::StrongFocus);
  for (int i = 0; i < 4; ++i) {
    views_[static_cast<std::size_t>(i)] = std::make_unique<ShowStatic>(this, i);
    auto* caption = new QLabel(QStringLiteral("DVI-%1:").arg(i + 1), this);
    SetControlId(caption, kFirstCaptionId + i);
    captions_[static_cast<std::size_t>(i)] = caption;
  }
}

MShowVideoDlg::~MShowVideoDlg() {
  for (auto& v : views_) v->Detach();
}

bool MShowVideoDlg::OnInitDialog() {
  MBaseDialog::OnInitDialog();
  CreateTitleButtons(true);
  ApplyControlFont();
  Layout();
  return true;
}

void MShowVideoDlg::AttachContexts(const std::shared_ptr<DecoderContext>& context, FrameSize frame,
                                   DrawingSurface surface) {
  Layout();  // each view's window is made at its place and size
  for (auto& v : views_) {
    if (context) {
      v->Attach(context, frame, surface);
    } else {
      v->Detach();
    }
  }
  Layout();
}

void MShowVideoDlg::Layout() {
  for (int i = 0; i < 4; ++i) {
    const ViewPlace place = PlaceView(i, width(), height());
    views_[static_cast<std::size_t>(i)]->Place(place.view);
    const Box& c = place.caption;
    captions_[static_cast<std::size_t>(i)]->setGeometry(c.x, c.y, c.width, c.height);
  }
}

void MShowVideoDlg::resizeEvent(QResizeEvent* event) {
  MBaseDialog::resizeEvent(event);
  Layout();
}

void MShowVideoDlg::showEvent(QShowEvent* event) {
  MBaseDialog::showEvent(event);
  if (shownHook_) shownHook_(true);
}

void MShowVideoDlg::hideEvent(QHideEvent* event) {
  MBaseDialog::hideEvent(event);
  if (shownHook_) shownHook_(false);
}

bool MShowVideoDlg::PreTranslateKey(QKeyEvent* event) {
  if (event->type() == QEvent::KeyPress && event->key() == Qt::Key_Escape) {
    ClosePage();
    return true;
  }
  return MBaseDialog::PreTranslateKey(event);
}

void MShowVideoDlg::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && windowHandle()) {
    const QPoint at = event->position().toPoint();
    const HitZone zone = HitTest(at.x(), at.y(), width(), height());
    for (const auto& action : kZoneActions) {
      if (action.zone != zone) continue;
      if (action.move) {
        windowHandle()->startSystemMove();
      } else {
        windowHandle()->startSystemResize(action.edges);
      }
      break;
    }
  }
  MBaseDialog::mousePressEvent(event);
}

}  // namespace orv::preview
