#pragma once
// The wait box: a small centred window with an animated bar and one line of
// text asking the operator to wait. The main window sets the text, shows it
// while the device works and hides it when the answer has come (UM_WAIT).
// The animation plays from initialisation until the box is destroyed.
#include <QDialog>

class QFontMetrics;
class QLabel;

namespace orv {

class CPictureEx;

class CProgressDlg : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kTemplateId = 170;
  static constexpr int kMessageId = 61421;
  static constexpr int kAnimationId = 61422;
  static constexpr int kAnimationResource = 171;

  explicit CProgressDlg(QWidget* parent = nullptr);
  ~CProgressDlg() override;

  // Creates and lays out the controls and starts the animation (once).
  virtual bool InitDialog();

  void SetMessageText(const QString& text);
  QString MessageText() const;
  CPictureEx* Animation() const { return animation_; }
  QWidget* MessageControl() const;

  // The template's 255 x 95 dialog units in pixels (font "MS Shell Dlg" 8).
  static QSize TemplateClientSize();
  // Where the text goes in a client area of `client`: below the animation,
  // across the box but for a margin, so that a Chinese text fits on a line.
  static QRect MessageRect(QSize client);

  // Breaks `text` into lines no wider than `width` in `metrics`. A line ends
  // preferably after a blank or a punctuation mark (Latin or CJK), so that
  // words stay whole; only a run without such a place is broken between
  // characters, never inside one (surrogate pairs stay together).
  static QString BreakIntoLines(const QString& text, const QFontMetrics& metrics, int width);

 private:
  QLabel* message_ = nullptr;
  QString messageText_ = QStringLiteral("TEST");  // as given, without the line breaks
  CPictureEx* animation_ = nullptr;
  bool initialised_ = false;
};

// The wait box of the panel: the same box with the application's icon.
class Orv_PrograssDlg : public CProgressDlg {
  Q_OBJECT
 public:
  explicit Orv_PrograssDlg(QWidget* parent = nullptr) : CProgressDlg(parent) {}
  bool InitDialog() override;
};

}  // namespace orv
