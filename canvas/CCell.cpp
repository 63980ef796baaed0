#include "CCell.h"

#include <algorithm>

#include "CPictureCtrl.h"

namespace orv {

CCell::CCell(CPictureCtrl* canvas, bool isArea, int zKey)
    : QWidget(canvas), canvas_(canvas), area_(isArea), zKey_(zKey) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setAttribute(Qt::WA_NoSystemBackground);
  setFocusPolicy(Qt::NoFocus);
}

// The video goes first: it may still draw into this widget's child window.
CCell::~CCell() {
  video_.reset();
}

void CCell::SetFixed(bool fixed) {
  fixed_ = fixed;
  Redraw();
}

void CCell::SetAreaStyle(bool areaStyle) {
  areaStyle_ = areaStyle;
  Redraw();
}

void CCell::SetSplitType(int splitType) {
  splitType_ = std::clamp(splitType, 0, canvas::kSplitTypeCount - 1);
  Redraw();
}

void CCell::SetHidden(bool hidden) {
  hidden_ = hidden;
  setVisible(!hidden);
  if (video_) video_->SetVisible(!hidden);
  Redraw();
}

void CCell::SetName(const QString& name) {
  name_ = name;
  if (video_) video_->SetLabel(name.toUtf8().constData());
  Redraw();
}

void CCell::SetExtraText(const QString& text, bool show) {
  extraText_ = text;
  showExtraText_ = show;
  Redraw();
}

void CCell::SetColourOverride(bool on, QColor colour) {
  colourOverride_ = on;
  overrideColour_ = colour;
  Redraw();
}

QString CCell::PosText() const {
  return QString::asprintf("Pos:[%d,%d]", std::max(0, device_.left - origin_.x),
                           std::max(0, device_.top - origin_.y));
}

QString CCell::SizeText() const {
  return QString::asprintf("Size:[%d,%d]", device_.Width(), device_.Height());
}

void CCell::SetCanvasRect(const canvas::Rect& rect) {
  rect_ = rect;
  const int w = std::max(1, rect.Width());
  const int h = std::max(1, rect.Height());
  setGeometry(rect.left, rect.top, w, h);
  if (video_) video_->SetGeometry(rect.left, rect.top, w, h);
}

void CCell::SetVideo(std::unique_ptr<CellVideo> video) {
  video_ = std::move(video);
  if (!video_) return;
  video_->SetGeometry(rect_.left, rect_.top, std::max(1, rect_.Width()),
                      std::max(1, rect_.Height()));
  video_->SetLabel(name_.toUtf8().constData());
  video_->SetVisible(!hidden_);
}

void CCell::Redraw() {
  if (canvas_) canvas_->update();
}

}  // namespace orv
