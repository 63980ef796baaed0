#pragma once
// A numeric edit bound to a bitmap slider: moving either moves the other.
// Slider positions are the value times the scale (100 when the format has a
// decimal point, else 1). Commits and slider moves by the operator report
// UM_VALUE_COMMITTED (0x4A1, wParam = the edit's control id); the wheel does
// nothing here.
#include "oRealEdit.h"

namespace orv {

class oBitmapSlider;

class oSliderEdit : public oRealEdit {
  Q_OBJECT
 public:
  explicit oSliderEdit(QWidget* parent = nullptr, int controlId = 0);
  ~oSliderEdit() override;

  void Setup(float value, float a, bool enabled, float b, const QString& format) override;
  // Links edit and slider both ways and sets the slider's range, page size
  // (half the range), position and enabled state from the edit.
  void Bind(oBitmapSlider* slider);
  oBitmapSlider* Slider() const { return slider_; }
  int Scale() const { return scale_; }

  void SetValue(float value) override;
  void Commit(bool notify) override;
  // The slider moved to `position`: show position / scale; with `notify` report it.
  void FromSlider(int position, bool notify);

 protected:
  void changeEvent(QEvent* event) override;

 private:
  void MoveSlider();
  oBitmapSlider* slider_ = nullptr;
  int scale_ = 1;
};

}  // namespace orv
