#pragma once
// The layout canvas: the outputs and the four layer windows drawn scaled down
// from device pixels. The operator moves and resizes layer windows (and moves
// unlocked output areas) with the mouse; the canvas snaps them to each other,
// aligns them to their area, keeps their device rectangles, and tells the
// window above it (UM_CELL_ACTIVATED on a press, UM_CELL_MOVED after a move).
#include <functional>
#include <memory>
#include <vector>

#include <QImage>
#include <QWidget>

#include "CCell.h"
#include "CanvasRect.h"
#include "CellVideo.h"
#include "HitZones.h"
#include "Snapping.h"

namespace orv {

class CPictureCtrl : public QWidget {
  Q_OBJECT
 public:
  // Makes the live video of a layer cell inside `cellWidget` (which the canvas
  // keeps on the cell's rectangle); may return null (no video for that cell).
  using CellVideoFactory =
      std::function<std::unique_ptr<CellVideo>(QWidget* cellWidget, int zKey, int input)>;
  // Shows the page's context menu at a screen point; its command comes back
  // through MenuCommand.
  using ContextMenuHook = std::function<void(const QPoint& globalPos)>;

  enum DragMode : int { kDragNone = 0, kDragBand = 1, kDragMove = 2, kDragResize = 3 };
  static constexpr int kTopSettingCommand = 32782;
  static constexpr int kGridSpacing = 40;
  static constexpr int kLayerKeys = 4;

  explicit CPictureCtrl(QWidget* parent = nullptr);
  ~CPictureCtrl() override;

  // A new output area of 1920 x 1080 device pixels at (deviceX, deviceY),
  // appended, shown.
  CCell* AddArea(const QString& name, int deviceX, int deviceY, int input);
  // A new layer window, inserted by z key; null when a layer with that z key
  // exists already.
  CCell* AddLayer(int deviceW, int deviceH, int deviceX, int deviceY, const QString& name, int zKey,
                  int input);
  // Moves the cell with its area: the device rectangle shifts by the change of
  // origin, the bounds become the area, the double-click memory is cleared.
  // The canvas rectangle follows with the next PlaceFromDevice.
  void AttachToArea(CCell* cell, int areaLeft, int areaTop, int areaRight, int areaBottom);
  // Stores the device rectangle and places the cell from it, inside its bounds.
  void PlaceFromDevice(CCell* cell, const canvas::Rect& device);
  void PlaceAllFromDevice();
  void Select(CCell* cell);
  CCell* Selected() const { return selected_; }
  void ShowCell(CCell* cell, bool show);
  // Stacking: list order is drawing order (last on top).
  void SortByZKey();
  void ApplyZOrder();
  void BringToFront(CCell* cell);  // end of the list and top of the stack
  // Destroys every layer cell with its video.
  void RemoveLayers();
  std::vector<CCell*> Cells() const;
  CCell* LayerCell(int zKey) const;

  void SetGrid(bool on);
  bool Grid() const { return grid_; }
  void SetHalves(bool on);
  bool Halves() const { return halves_; }
  void SetTitleBarImage(const QImage& image);
  const QImage& TitleBarImage() const { return titleBar_; }
  void SetAreaAlignment(bool on) { areaAlignment_ = on; }
  bool AreaAlignment() const { return areaAlignment_; }

  // Pair A serves unlocked output areas, pair B layer windows and locked
  // areas. A pair that is not positive and finite is refused (false).
  bool SetScalePairs(canvas::ScalePair a, canvas::ScalePair b);
  bool SetCurrentScale(canvas::ScalePair current);
  canvas::ScalePair ScaleA() const { return scaleA_; }
  canvas::ScalePair ScaleB() const { return scaleB_; }
  canvas::ScalePair CurrentScale() const { return current_; }

  void SetVideoEnabled(bool on) { videoEnabled_ = on; }
  bool VideoEnabled() const { return videoEnabled_; }
  void SetVideoFactory(CellVideoFactory factory) { videoFactory_ = std::move(factory); }
  void SetContextMenuHook(ContextMenuHook hook) { contextMenuHook_ = std::move(hook); }
  // A command of the page's context menu; "TopSetting" becomes UM_SHOW_TOP_BUTTONS.
  void MenuCommand(int commandId);

  // What the drawing shows of a drag.
  int Mode() const { return drag_.mode; }
  int SnapKind() const { return snapKind_; }
  canvas::Rect SnapPartner() const { return snapPartner_; }
  canvas::Rect RubberBand() const { return drag_.mode == kDragBand ? drag_.band : canvas::Rect{}; }
  // The parent's client in canvas coordinates (the canvas when it has none).
  QRect ParentArea() const;
  canvas::Rect ClientRect() const { return {0, 0, width(), height()}; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  struct Drag {
    int mode = kDragNone;
    int zone = canvas::kZoneOutside;
    canvas::Point last;
    canvas::Point start;
    canvas::Point current;
    canvas::Rect confine;  // inclusive: the points the drag acts on
    canvas::Rect band;
  };

  canvas::ScalePair PairFor(const CCell& cell) const;
  canvas::Rect EffectiveBounds(const CCell& cell) const;
  CCell* CellAt(canvas::Point p) const;
  void InsertByZKey(std::unique_ptr<CCell> cell);
  void ClearAllSelections();
  canvas::Rect PressConfinement(const CCell& cell, canvas::Point p) const;
  void ResizeStep(CCell& cell, canvas::Point p);
  void MoveStep(CCell& cell, canvas::Point p);
  // The device rectangle placed on the first visible area under the cell.
  canvas::Rect AlignedToArea(const CCell& cell, const canvas::Rect& device, int zone) const;
  void ShowHoverCursor(canvas::Point p);
  // Repaints a canvas rectangle with a margin for frames and pens.
  void Invalidate(const canvas::Rect& r);
  void Notify(uint32_t id, intptr_t wParam, intptr_t lParam);

  std::vector<std::unique_ptr<CCell>> cells_;
  CCell* selected_ = nullptr;
  canvas::ScalePair scaleA_;
  canvas::ScalePair scaleB_;
  canvas::ScalePair current_;
  Drag drag_;
  int snapKind_ = canvas::kSnapNone;
  canvas::Rect snapPartner_;
  bool grid_ = false;
  bool halves_ = false;
  bool areaAlignment_ = false;
  bool videoEnabled_ = false;
  QImage titleBar_;
  CellVideoFactory videoFactory_;
  ContextMenuHook contextMenuHook_;
};

}  // namespace orv
