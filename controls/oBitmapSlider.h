#pragma once
// The skinned slider: a track picture, an active track picture drawn from
// the minimum end to the thumb, and a thumb picture (an active one while
// dragged). Horizontal or vertical (maximum at the top). Mouse drags and
// keys move it; its buddy edit (oSliderEdit) shows the value and reports it.
#include <QImage>
#include <QWidget>

#include "ArtTable.h"

namespace orv {

class oSliderEdit;

class oBitmapSlider : public QWidget {
  Q_OBJECT
 public:
  explicit oBitmapSlider(QWidget* parent = nullptr, int controlId = 0, bool vertical = false);
  ~oBitmapSlider() override;

  void SetRange(int minimum, int maximum);
  void SetPageSize(int size) { pageSize_ = size; }
  // Clamped into [minimum, maximum]; redraws.
  void SetPos(int position);
  int GetPos() const { return position_; }
  int Minimum() const { return minimum_; }
  int Maximum() const { return maximum_; }
  int PageSize() const { return pageSize_; }
  bool Vertical() const { return vertical_; }
  bool Dragging() const { return dragging_; }

  // Pictures from the program's resources; an active id of 0 means none.
  // The control is then sized to the larger of the track and thumb.
  bool LoadChannel(int id, int activeId, art::ArtType type = art::ArtType::Png);
  bool LoadThumb(int id, int activeId, art::ArtType type = art::ArtType::Png);
  void SetMargins(int left, int top, int right, int bottom);

  void SetBuddy(oSliderEdit* buddy) { buddy_ = buddy; }
  oSliderEdit* Buddy() const { return buddy_; }
  // A bound slider takes its own enabled state from its edit's, whatever the
  // window's state; it takes input only while its edit was not disabled.
  void FollowBuddy();
  bool TakesInput() const;
  // Drawn greyed: its edit (or, unbound, itself) was disabled by the page.
  bool Greyed() const;

  // The mapping between positions and pixels of the thumb centre.
  int PixelOfPosition(int position) const;
  int PositionOfPixel(int pixel) const;
  QSize ChannelSize() const;
  QSize ThumbSize() const;

 signals:
  // The operator moved the slider (`final` on release of a drag).
  void Moved(int position, bool final);

 protected:
  void changeEvent(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void FitToPictures();
  int Along(const QPoint& p) const { return vertical_ ? p.y() : p.x(); }
  void DragTo(int coordinate);
  void Report(bool notify);

  int minimum_ = 0;
  int maximum_ = 100;
  int pageSize_ = 20;
  int position_ = 0;
  bool vertical_ = false;
  bool dragging_ = false;
  int dragOffset_ = 0;
  QImage channel_, channelActive_, thumb_, thumbActive_;
  int left_ = 0, top_ = 0, right_ = 0, bottom_ = 0;
  oSliderEdit* buddy_ = nullptr;
};

}  // namespace orv
