#pragma once
// The skinned group box: a frame drawn with its own two pens and a caption
// in its own font and colour, set into the frame's top line. It draws no
// background and lets the mouse through to the controls it frames.
#include <optional>

#include <QColor>
#include <QFont>
#include <QWidget>

namespace orv {

class CSxGroupBox : public QWidget {
  Q_OBJECT
  Q_PROPERTY(QString text READ Text WRITE SetText)
 public:
  // The desktop toolkit's style numbers, kept for the pages' tables.
  enum Alignment { kLeft = 256, kRight = 512, kCentre = 768 };
  enum FrameStyle { kFlat = 32768, kSunken = 12, kRaised = 0 };

  // `pictureStyle`: the box was made to show an icon or bitmap, so no caption is drawn.
  explicit CSxGroupBox(const QString& caption = QString(), QWidget* parent = nullptr,
                       int controlId = 0, int alignment = kLeft, bool pictureStyle = false);

  QString Text() const { return caption_; }
  void SetText(const QString& caption);
  void SetAlignment(int alignment);  // other values count as left
  void SetColors(QColor enabledShadow, QColor enabledHighlight, QColor disabledShadow,
                 QColor disabledHighlight);
  void SetCaptionColor(QColor c);
  // No argument: back to the default font ("MS Sans Serif", 8 points).
  void SetCaptionFont(std::optional<QFont> font = std::nullopt);
  void SetFrameStyle(int style);  // kFlat, kSunken, anything else raised
  void SetLineWidth(int width);
  void SetCaptionInset(int inset);
  void SetCaptionLift(int lift);

  int Alignment() const { return alignment_; }
  int Style() const { return frameStyle_; }
  QColor CaptionColor() const { return captionColor_; }

  // Where things go, from the current caption, font and style.
  struct Geometry {
    QRect frame;       // the rectangle the frame path runs along
    int topLineY = 0;  // y of the top line
    QRect caption;     // where the caption text is drawn (empty: none)
    int gapStart = 0;  // the top line leaves out x in [gapStart, gapEnd)
    int gapEnd = 0;
  };
  Geometry Layout() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void PaintFrame(QPainter& p, const Geometry& g, QColor first, QColor second) const;

  QString caption_;
  int alignment_ = kLeft;
  bool pictureStyle_ = false;
  QColor enabledShadow_;
  QColor enabledHighlight_;
  QColor disabledShadow_;
  QColor disabledHighlight_;
  QColor captionColor_{0, 0, 0};
  QFont captionFont_;
  int lineWidth_ = 1;
  int inset_ = 8;
  int lift_ = 0;
  int frameStyle_ = kFlat;
};

}  // namespace orv
