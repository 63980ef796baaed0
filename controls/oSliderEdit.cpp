#include "oSliderEdit.h"

#include <cmath>

#include <QEvent>

#include "oBitmapSlider.h"

namespace orv {

oSliderEdit::oSliderEdit(QWidget* parent, int controlId) : oRealEdit(parent, controlId) {
  wheelCommits_ = false;
}

oSliderEdit::~oSliderEdit() {
  if (slider_) slider_->SetBuddy(nullptr);
}

void oSliderEdit::Setup(float value, float a, bool enabled, float b, const QString& format) {
  scale_ = FormatHasPoint(format) ? 100 : 1;
  oRealEdit::Setup(value, a, enabled, b, format);
  if (slider_) slider_->FollowBuddy();
}

void oSliderEdit::Bind(oBitmapSlider* slider) {
  if (slider_ && slider_ != slider) slider_->SetBuddy(nullptr);
  slider_ = slider;
  if (!slider_) return;
  slider_->SetBuddy(this);
  const int a = static_cast<int>(std::lround(maximum_ * scale_));
  const int b = static_cast<int>(std::lround(minimum_ * scale_));
  const int hi = std::max(a, b);
  const int lo = std::min(a, b);
  slider_->SetRange(lo, hi);
  slider_->SetPageSize((hi - lo) / 2);
  MoveSlider();
  slider_->FollowBuddy();
}

void oSliderEdit::MoveSlider() {
  // Rounded, so 0.29 shows at 29 and not at 28.99... truncated to 28.
  if (slider_) slider_->SetPos(static_cast<int>(std::lround(value_ * scale_)));
}

void oSliderEdit::SetValue(float value) {
  value_ = value;
  ShowValueText();
  Commit(false);
}

void oSliderEdit::Commit(bool notify) {
  const bool corrected = ClampText();
  if (corrected || notify) ShowValueText();
  MoveSlider();
  pristine_ = true;
  if (notify) PostCommitted();
}

void oSliderEdit::FromSlider(int position, bool notify) {
  value_ = static_cast<float>(position) / static_cast<float>(scale_);
  ShowValueText();
  pristine_ = true;
  if (notify) PostCommitted();
}

void oSliderEdit::changeEvent(QEvent* event) {
  // The slider follows the edit's own state, not a window's input block.
  if (event->type() == QEvent::EnabledChange && slider_) slider_->FollowBuddy();
  oRealEdit::changeEvent(event);
}

}  // namespace orv
