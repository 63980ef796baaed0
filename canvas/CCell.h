#pragma once
// One rectangle of the layout canvas: an output area or a layer window. The
// canvas draws every cell itself (so the snap marker and the intersections can
// go on top); the cell's own widget is transparent to paint and mouse and is
// there to carry the live video of a layer and to stack it in list order.
#include <memory>
#include <optional>

#include <QColor>
#include <QString>
#include <QWidget>

#include "CanvasRect.h"
#include "CellVideo.h"
#include "Tiles.h"

namespace orv {

class CPictureCtrl;

class CCell : public QWidget {
 public:
  static constexpr int kAreaWidth = 1920;  // device size of a new output area
  static constexpr int kAreaHeight = 1080;
  // The device plane keeps this margin: output area 1's corner, and the
  // origin of a new cell until it is attached to an area.
  static constexpr canvas::Point kFirstAreaCorner{125, 198};

  CCell(CPictureCtrl* canvas, bool isArea, int zKey);
  ~CCell() override;
  CCell(const CCell&) = delete;
  CCell& operator=(const CCell&) = delete;

  // Canvas pixels, device pixels, the device corner of the cell's area, and
  // the canvas rectangle it must stay inside (empty: the canvas client).
  canvas::Rect CanvasRect() const { return rect_; }
  canvas::Rect DeviceRect() const { return device_; }
  canvas::Point Origin() const { return origin_; }
  canvas::Rect Bounds() const { return bounds_; }

  bool IsArea() const { return area_; }
  bool IsFixed() const { return fixed_; }
  bool IsLockedArea() const { return area_ && fixed_; }
  void SetFixed(bool fixed);
  bool IsAreaStyle() const { return areaStyle_; }
  void SetAreaStyle(bool areaStyle);
  int SplitType() const { return splitType_; }
  void SetSplitType(int splitType);
  bool IsSelected() const { return selected_; }
  bool IsHidden() const { return hidden_; }
  void SetHidden(bool hidden);

  int ZKey() const { return zKey_; }
  int Input() const { return input_; }
  void SetInput(int input) { input_ = input; }
  const QString& Name() const { return name_; }
  void SetName(const QString& name);
  const QString& ExtraText() const { return extraText_; }
  bool ShowsExtraText() const { return showExtraText_; }
  void SetExtraText(const QString& text, bool show);
  bool HasColourOverride() const { return colourOverride_; }
  QColor OverrideColour() const { return overrideColour_; }
  void SetColourOverride(bool on, QColor colour = QColor(239, 156, 0));

  // "Pos:[x,y]" relative to the origin (0 or more) and "Size:[w,h]", device.
  QString PosText() const;
  QString SizeText() const;

  bool HasVideo() const { return video_ != nullptr; }
  CellVideo* Video() const { return video_.get(); }

 private:
  friend class CPictureCtrl;
  // The widget and the video follow the canvas rectangle.
  void SetCanvasRect(const canvas::Rect& rect);
  void SetVideo(std::unique_ptr<CellVideo> video);
  void Redraw();

  CPictureCtrl* canvas_;
  canvas::Rect rect_;
  canvas::Rect device_;
  canvas::Point origin_ = kFirstAreaCorner;
  canvas::Rect bounds_;
  std::optional<canvas::Placement> saved_;
  bool area_;
  bool fixed_ = false;
  bool areaStyle_ = false;
  int splitType_ = 0;
  bool selected_ = false;
  bool hidden_ = false;
  int zKey_;
  int input_ = 0;
  QString name_;
  QString extraText_;
  bool showExtraText_ = false;
  bool colourOverride_ = false;
  QColor overrideColour_{239, 156, 0};
  std::unique_ptr<CellVideo> video_;
};

}  // namespace orv
