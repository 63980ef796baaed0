#pragma once
// The caption page's local preview: a strip that shows the caption as the
// output will, either the caption file's picture or the text in its colour
// and font over its background (a fill for opaque, a light or dark checker
// for transparent or translucent). Dragging with the left button moves the
// visible part sideways within the caption's width.
#include <cstdint>

#include <QFont>
#include <QImage>
#include <QString>
#include <QWidget>

namespace orv {

struct CaptionLook {
  QString text;
  QFont font;
  uint32_t textColour = 255;  // 0x00BBGGRR
  uint32_t backColour = 0;
  int backgroundMode = 0;  // 0 opaque, 1 translucent, 2 transparent
  bool alignCentre = false;
  int captionWidth = 600;
};

class CaptionPreview : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kStripHeight = 60;

  explicit CaptionPreview(QWidget* parent = nullptr);

  void ShowPicture(const QImage& picture);  // file mode
  void ShowText(const CaptionLook& look);   // text mode
  void ReturnToLeftEdge();
  int Offset() const { return offset_; }
  bool TextMode() const { return textMode_; }
  int DragLimit() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void PaintText(class QPainter& p);

  bool textMode_ = true;
  QImage picture_;
  CaptionLook look_;
  int offset_ = 0;
  bool dragging_ = false;
  int dragStartX_ = 0;
  int dragStartOffset_ = 0;
  QImage checkerTransparent_;
  QImage checkerTranslucent_;
};

}  // namespace orv
