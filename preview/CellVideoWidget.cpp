#include "CellVideoWidget.h"

#include <QWidget>

#include "RepaintOnExpose.h"

namespace orv::preview {

CellVideoWidget::CellVideoWidget(QWidget* cell, int layer, FrameSize frame, DrawingSurface surface,
                                 std::string fontPath)
    : child_(new QWidget(cell)),
      layer_(layer),
      frame_(frame),
      surface_(surface),
      target_(TextureKind::Iyuv, std::move(fontPath)) {
  child_->setObjectName(QStringLiteral("cellVideo%1").arg(layer));
  // SDL owns the pixels of this window; Qt must neither paint nor clear it.
  child_->setAttribute(Qt::WA_NativeWindow);
  child_->setAttribute(Qt::WA_PaintOnScreen);
  child_->setAttribute(Qt::WA_NoSystemBackground);
  child_->setAttribute(Qt::WA_TransparentForMouseEvents);
  child_->setGeometry(0, 0, frame.width, frame.height);
  child_->hide();
  RepaintOnExpose(child_, &target_);
  Build();
}

CellVideoWidget::~CellVideoWidget() {
  if (onDestroyed_) onDestroyed_(this);
  // Out of the table first: the render thread never draws into a target
  // after RemoveTarget returned.
  if (auto context = context_.lock()) context->RemoveTarget(&target_);
  target_.Destroy();
  delete child_;
}

void CellVideoWidget::Build() {
  if (surface_ == DrawingSurface::NativeWindow) {
    target_.BuildOnWindow(static_cast<uintptr_t>(child_->winId()), frame_);
  } else if (surface_ == DrawingSurface::Memory) {
    target_.BuildOnSurface(width_, height_, frame_);
  }
  target_.SetOutputSize(width_, height_);
  target_.SetVisible(visible_);
}

void CellVideoWidget::Rebuild(FrameSize frame) {
  frame_ = frame;
  target_.Destroy();
  Build();
}

void CellVideoWidget::SetGeometry(int, int, int width, int height) {
  width_ = std::max(1, width);
  height_ = std::max(1, height);
  child_->setGeometry(0, 0, width_, height_);
  target_.SetOutputSize(width_, height_);
}

void CellVideoWidget::SetVisible(bool visible) {
  visible_ = visible;
  child_->setVisible(visible);
  target_.SetVisible(visible);
}

void CellVideoWidget::SetLabel(const char* utf8Text) {
  target_.SetLabel(utf8Text ? utf8Text : "");
}

void CellVideoWidget::Register(const std::shared_ptr<DecoderContext>& context) {
  context_ = context;
  if (context) context->RegisterTarget(&target_, TargetKind::Cell);
  SetVisible(true);
}

}  // namespace orv::preview
