#pragma once
// The plain dark inline text editor (renaming presets and inputs, a few
// page fields). Enter and Escape post UM_EDIT_KEY (0x720, wParam 13 or 27,
// lParam = control id) to the window it reports to; losing the keyboard focus
// posts it with 13, as Enter does.
#include <QLineEdit>

namespace orv {

class CMyEdit : public QLineEdit {
  Q_OBJECT
 public:
  explicit CMyEdit(QWidget* parent = nullptr, int controlId = 0);
  static constexpr int kFrameWidth = 2;
  QColor FrameColor() const;

 protected:
  void changeEvent(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace orv
