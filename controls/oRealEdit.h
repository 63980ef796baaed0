#pragma once
// The skinned numeric edit. It holds one value between a minimum and a
// maximum, shows it with a printf-style format ("%d", "%.2f" ...), accepts
// only the characters the format and range allow, clamps when the value is
// committed, and tells the window it reports to (NotifyWindow) which control
// changed: UM_VALUE_COMMITTED (0x4A1, wParam = control id, lParam 0) on
// Enter/Escape after typing, on focus loss after typing, and on a wheel notch.
// A value set by the program is never reported.
#include <QColor>
#include <QLineEdit>

#include "NumericFormat.h"
#include "OwnEnabledState.h"

namespace orv {

class oRealEdit : public QLineEdit {
  Q_OBJECT
 public:
  explicit oRealEdit(QWidget* parent = nullptr, int controlId = 0);

  // Format, range (a and b in either order), first value and enabled state;
  // frame 2 pixels, orange while enabled, page colour while disabled.
  virtual void Setup(float value, float a, bool enabled, float b, const QString& format);
  // Shows the value (caret at the end) and commits it without reporting.
  virtual void SetValue(float value);
  // Reads the text, clamps it into the range (showing the corrected text),
  // and with `notify` reports the value.
  virtual void Commit(bool notify);

  float Value() const { return value_; }
  float Minimum() const { return minimum_; }
  float Maximum() const { return maximum_; }
  QString Format() const { return format_; }
  NumericLimits Limits() const { return limits_; }
  bool Pristine() const { return pristine_; }
  int FrameWidth() const { return frameWidth_; }
  QColor FrameColor() const { return DisabledItself(*this) ? inactiveFrame_ : activeFrame_; }

 protected:
  void changeEvent(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

  void ShowValueText();
  void PostCommitted();
  // The commit without its reporting, for the slider edit.
  bool ClampText();

  QString format_ = QStringLiteral("%d");
  float value_ = 0;
  float minimum_ = 0;
  float maximum_ = 99999;
  bool pristine_ = true;
  bool modified_ = false;
  bool focused_ = false;
  bool wheelCommits_ = true;
  NumericLimits limits_;
  int frameWidth_ = 0;
  QColor activeFrame_;
  QColor inactiveFrame_;
};

}  // namespace orv
