#pragma once
// The image button every push button of the panel is made of. It shows a
// PNG picture scaled over its area, optionally an alternate picture for its
// checked state, and its caption on top. Normal, hover, pressed and disabled
// looks are derived from the pictures once, at the first paint. Transparent
// parts of a picture show the parent's skin behind the button.
//
// Modes (set by the owner):
// - stay-pushed: a click shows the alternate picture and sets checked; it stays
//   until the owner clears checked.
// - click-toggle: each click flips checked and the picture shown.
// - draw-toggle: a press flips the picture shown while drawing.
// The owner reads IsChecked() in its clicked() handler for the new state.
// Greyed: by SetDisabledLook, or when the button (or a widget between it and
// the window's input blocker) was disabled; a checked face stays, with a grey
// caption.
// Qt's own checkable/checked of QAbstractButton are not used.
#include <optional>

#include <QAbstractButton>
#include <QImage>

#include "CGdiPlusBitmap.h"

namespace orv {

class CGdipButton : public QAbstractButton {
  Q_OBJECT
 public:
  enum class Look {
    Standard,
    StandardPressed,
    StandardHover,
    Disabled,
    Alternate,
    AlternatePressed,
    AlternateHover
  };
  enum Placement { kTop = 0, kCentre = 1, kBottom = 2 };

  explicit CGdipButton(QWidget* parent = nullptr, int controlId = 0);
  ~CGdipButton() override;

  bool LoadImage(int id);     // the standard picture (PNG resource)
  bool LoadAltImage(int id);  // the alternate picture; sets has-alternate
  // Resizes the button, keeping its top-left corner, to the standard picture.
  void FitToImage();
  // Tooltip shown as soon as the mouse is over the button; an empty text makes none.
  void SetToolTip(const QString& text, bool activate = true);
  QString ToolTipText() const { return tooltipText_; }
  bool HasToolTip() const { return tooltipCreated_; }

  void SetDisabledLook(bool on);
  // 0 none, up to 255: the strength of the corner lamp.
  void SetMarker(int marker);
  int Marker() const { return marker_; }
  bool DisabledLook() const { return disabledLook_; }
  void SetChecked(bool on);
  bool IsChecked() const { return checked_; }
  void SetStayPushed(bool on);
  void SetClickToggle(bool on);
  void SetDrawToggle(bool on);
  void SetTextColor(QColor c);
  QColor TextColor() const { return textColor_; }
  // No font: the widget's font with word wrapping and the placement below.
  void SetCaptionFont(std::optional<QFont> font);
  void SetCaptionPlacement(int placement);  // kTop, kCentre, kBottom
  // The caption runs downwards (the narrow bring-to-front buttons).
  void SetCaptionTurned(bool on);

  bool HasAlternate() const { return hasAlternate_; }
  bool Prepared() const { return prepared_; }
  bool ShowingAlternate() const { return showingAlternate_; }
  bool Hovered() const { return hovered_; }
  Look CurrentLook() const { return look_; }
  const CGdiPlusBitmapResource& Picture() const { return standard_; }

  // The gallery shows the hover look without a mouse.
  void SetHoverForDisplay(bool on);

  // The state pictures of the first paint: hover (brightened), disabled (grey).
  static QImage HoverPicture(const QImage& picture);
  static QImage GreyPicture(const QImage& picture);
  // Where the caption's top-left goes for a given look (tests compare them).
  QRect CaptionRect() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void Prepare();
  void UpdateLook(bool pressed);
  void PaintCaption(QPainter& p, bool pressed, bool disabled);
  QRect TextRect(const QString& text, bool pressed) const;

  CGdiPlusBitmapResource standard_;
  CGdiPlusBitmapResource alternate_;
  bool hasAlternate_ = false;
  bool prepared_ = false;
  bool disabledLook_ = false;
  int marker_ = 0;
  bool turned_ = false;
  bool drawToggle_ = false;
  bool hovered_ = false;
  bool pinnedHover_ = false;
  bool checked_ = false;
  bool stayPushed_ = false;
  bool clickToggle_ = false;
  bool showingAlternate_ = false;
  bool resized_ = false;
  QString tooltipText_;
  bool tooltipActive_ = true;
  bool tooltipCreated_ = false;
  QSize preparedSize_;
  QImage hoverPicture_;  // state pictures, button-sized, from the first paint
  QImage disabledPicture_;
  QImage altHoverPicture_;
  Look look_ = Look::Standard;
  QColor textColor_{20, 20, 20};
  std::optional<QFont> captionFont_;
  int placement_ = kCentre;
};

}  // namespace orv
