#include "CPictureCtrl.h"

#include <algorithm>
#include <array>

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "CMemuDC.h"
#include "CanvasPainter.h"
#include "Conversions.h"
#include "DragRules.h"
#include "Keys.h"
#include "MessageIds.h"
#include "Messages.h"
#include "Mouse.h"
#include "Tiles.h"

namespace orv {

using canvas::Point;
using canvas::Rect;

namespace {

// Indexed by hit zone.
constexpr std::array<CursorKind, canvas::kZoneCount> kZoneCursors{
    CursorKind::SizeWE,   CursorKind::SizeNS,   CursorKind::SizeWE,   CursorKind::SizeNS,
    CursorKind::Hand,     CursorKind::SizeNWSE, CursorKind::SizeNESW, CursorKind::SizeNESW,
    CursorKind::SizeNWSE, CursorKind::Arrow};

// A layer being moved may reach this far beyond its bounds before the clamp
// pulls it back, so that it can end flush on the bound.
constexpr int kBoundsSlack = 10;

Point ToPoint(const QPoint& p) {
  return {p.x(), p.y()};
}

// The common part of two inclusive point regions; at least one point.
Rect IntersectInclusive(const Rect& a, const Rect& b) {
  Rect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
         std::min(a.bottom, b.bottom)};
  if (r.right < r.left || r.bottom < r.top) return a;
  return r;
}

// Device rectangles have left and top at 0 or more (a value below 1 is 0).
Rect CleanDevice(const Rect& device) {
  Rect d = device.Normalized();
  if (d.left < 1) d.left = 0;
  if (d.top < 1) d.top = 0;
  return d;
}

}  // namespace

CPictureCtrl::CPictureCtrl(QWidget* parent) : QWidget(parent) {
  setMouseTracking(true);
  setFocusPolicy(Qt::ClickFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

CPictureCtrl::~CPictureCtrl() {
  if (GetCapture() == this) ReleaseCapture();
  selected_ = nullptr;
  cells_.clear();
}

CCell* CPictureCtrl::AddArea(const QString& name, int deviceX, int deviceY, int input) {
  auto cell = std::make_unique<CCell>(this, true, 0);
  cell->input_ = input;
  cell->name_ = name;
  cell->device_ =
      CleanDevice({deviceX, deviceY, deviceX + CCell::kAreaWidth, deviceY + CCell::kAreaHeight});
  current_ = scaleA_;
  if (auto r = canvas::DeviceToCanvas(cell->device_, scaleA_, ClientRect()))
    cell->SetCanvasRect(*r);
  CCell* added = cell.get();
  cells_.push_back(std::move(cell));
  added->show();
  update();
  return added;
}

CCell* CPictureCtrl::AddLayer(int deviceW, int deviceH, int deviceX, int deviceY,
                              const QString& name, int zKey, int input) {
  if (LayerCell(zKey)) return nullptr;
  auto cell = std::make_unique<CCell>(this, false, zKey);
  cell->input_ = input;
  cell->name_ = name;
  cell->device_ = canvas::KeepNonNegative({deviceX, deviceY, deviceX + deviceW, deviceY + deviceH});
  current_ = scaleB_;
  if (auto r = canvas::DeviceToCanvas(cell->device_, scaleB_, ClientRect())) {
    cell->SetCanvasRect(canvas::ClampMoved(*r, ClientRect()));
  }
  if (videoEnabled_ && videoFactory_) cell->SetVideo(videoFactory_(cell.get(), zKey, input));
  CCell* added = cell.get();
  added->show();
  InsertByZKey(std::move(cell));
  ApplyZOrder();
  update();
  return added;
}

void CPictureCtrl::InsertByZKey(std::unique_ptr<CCell> cell) {
  // Layers keep ascending z keys among themselves, ahead of the areas.
  auto at = std::find_if(cells_.begin(), cells_.end(),
                         [&](const auto& c) { return c->IsArea() || c->ZKey() > cell->ZKey(); });
  cells_.insert(at, std::move(cell));
}

void CPictureCtrl::AttachToArea(CCell* cell, int areaLeft, int areaTop, int areaRight,
                                int areaBottom) {
  if (!cell) return;
  const int dx = areaLeft - cell->origin_.x;
  const int dy = areaTop - cell->origin_.y;
  cell->device_ = canvas::KeepNonNegative(cell->device_.Offset(dx, dy));
  cell->origin_ = {areaLeft, areaTop};
  const Rect area = Rect{areaLeft, areaTop, areaRight, areaBottom}.Normalized();
  cell->bounds_ = canvas::DeviceToCanvas(area, PairFor(*cell), ClientRect()).value_or(Rect{});
  cell->saved_.reset();
}

void CPictureCtrl::PlaceFromDevice(CCell* cell, const Rect& device) {
  if (!cell) return;
  cell->device_ = CleanDevice(device);
  current_ = PairFor(*cell);
  // An unusable scale or an empty client leaves the cell where it is.
  if (auto r = canvas::DeviceToCanvas(cell->device_, current_, ClientRect())) {
    cell->SetCanvasRect(canvas::ClampMoved(*r, EffectiveBounds(*cell)));
  }
  update();
}

void CPictureCtrl::PlaceAllFromDevice() {
  for (const auto& cell : cells_) PlaceFromDevice(cell.get(), cell->device_);
}

void CPictureCtrl::Select(CCell* cell) {
  if (selected_) selected_->selected_ = false;
  selected_ = cell;
  if (cell) cell->selected_ = true;
  update();
}

void CPictureCtrl::ShowCell(CCell* cell, bool show) {
  if (cell) cell->SetHidden(!show);
}

void CPictureCtrl::SortByZKey() {
  std::stable_sort(cells_.begin(), cells_.end(),
                   [](const auto& a, const auto& b) { return a->ZKey() < b->ZKey(); });
}

void CPictureCtrl::ApplyZOrder() {
  for (const auto& cell : cells_) cell->raise();
}

void CPictureCtrl::BringToFront(CCell* cell) {
  auto it =
      std::find_if(cells_.begin(), cells_.end(), [&](const auto& c) { return c.get() == cell; });
  if (it == cells_.end()) return;
  std::rotate(it, it + 1, cells_.end());
  cell->raise();
  update();
}

void CPictureCtrl::RemoveLayers() {
  if (selected_ && !selected_->IsArea()) {
    selected_ = nullptr;
    if (GetCapture() == this) ReleaseCapture();
    drag_ = {};
    snapKind_ = canvas::kSnapNone;
  }
  std::erase_if(cells_, [](const auto& c) { return !c->IsArea(); });
  update();
}

std::vector<CCell*> CPictureCtrl::Cells() const {
  std::vector<CCell*> out;
  out.reserve(cells_.size());
  for (const auto& c : cells_) out.push_back(c.get());
  return out;
}

CCell* CPictureCtrl::LayerCell(int zKey) const {
  for (const auto& c : cells_) {
    if (!c->IsArea() && c->ZKey() == zKey) return c.get();
  }
  return nullptr;
}

void CPictureCtrl::SetGrid(bool on) {
  grid_ = on;
  update();
}

void CPictureCtrl::SetHalves(bool on) {
  halves_ = on;
  update();
}

void CPictureCtrl::SetTitleBarImage(const QImage& image) {
  titleBar_ = image;
  update();
}

bool CPictureCtrl::SetScalePairs(canvas::ScalePair a, canvas::ScalePair b) {
  if (!a.IsValid() || !b.IsValid()) return false;
  scaleA_ = a;
  scaleB_ = b;
  return true;
}

bool CPictureCtrl::SetCurrentScale(canvas::ScalePair current) {
  if (!current.IsValid()) return false;
  current_ = current;
  return true;
}

void CPictureCtrl::MenuCommand(int commandId) {
  if (commandId == kTopSettingCommand) Notify(UM_SHOW_TOP_BUTTONS, 0, 0);
}

QRect CPictureCtrl::ParentArea() const {
  if (!parentWidget()) return rect();
  return QRect(mapFromParent(QPoint(0, 0)), parentWidget()->size());
}

canvas::ScalePair CPictureCtrl::PairFor(const CCell& cell) const {
  return cell.IsArea() && !cell.IsFixed() ? scaleA_ : scaleB_;
}

Rect CPictureCtrl::EffectiveBounds(const CCell& cell) const {
  return cell.bounds_.IsEmpty() ? ClientRect() : cell.bounds_;
}

CCell* CPictureCtrl::CellAt(Point p) const {
  std::vector<canvas::CellShape> shapes;
  shapes.reserve(cells_.size());
  std::optional<std::size_t> selected;
  for (std::size_t i = 0; i < cells_.size(); ++i) {
    const CCell& c = *cells_[i];
    shapes.push_back({c.rect_, !c.hidden_, c.IsLockedArea()});
    if (&c == selected_) selected = i;
  }
  const auto hit = canvas::CellUnderPoint(shapes, selected, p);
  return hit ? cells_[*hit].get() : nullptr;
}

void CPictureCtrl::ClearAllSelections() {
  for (const auto& c : cells_) c->selected_ = false;
  selected_ = nullptr;
  update();
}

void CPictureCtrl::Notify(uint32_t id, intptr_t wParam, intptr_t lParam) {
  if (QWidget* target = NotifyWindow(this)) PostMsg(target, id, wParam, lParam);
}

Rect CPictureCtrl::PressConfinement(const CCell& cell, Point p) const {
  const Rect client = ClientRect();
  Rect confine = canvas::MoveConfinement(cell.rect_, p, client);
  if (!cell.IsArea() && !cell.bounds_.IsEmpty()) {
    const int slack = cell.rect_ == cell.bounds_ ? 0 : kBoundsSlack;
    const Rect region{cell.bounds_.left - slack, cell.bounds_.top - slack,
                      cell.bounds_.right + slack, cell.bounds_.bottom + slack};
    confine = IntersectInclusive(confine, canvas::MoveConfinement(cell.rect_, p, region));
  }
  return confine;
}

void CPictureCtrl::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const Point p = ToPoint(event->position().toPoint());
  CCell* cell = CellAt(p);
  if (event->modifiers() & Qt::ControlModifier) {
    if (cell) cell->selected_ = !cell->selected_;
    if (selected_) selected_->selected_ = false;
    selected_ = nullptr;
    update();
    return;
  }
  if (!cell) {
    ClearAllSelections();
    return;
  }
  if (cell->IsLockedArea()) return;
  Select(cell);
  drag_ = {};
  drag_.zone = canvas::HitZoneAt(cell->rect_, p);
  if (drag_.zone == canvas::kZoneInterior) {
    drag_.mode = kDragMove;
    drag_.confine = PressConfinement(*cell, p);
  } else if (drag_.zone == canvas::kZoneOutside) {
    drag_.mode = kDragBand;
    drag_.confine = {0, 0, width(), height()};
    Select(nullptr);
  } else {
    if (cell->IsArea()) {  // areas are moved, never resized
      drag_ = {};
      return;
    }
    drag_.mode = kDragResize;
    drag_.confine = {0, 0, width(), height()};
  }
  drag_.last = drag_.start = drag_.current = p;
  SetCapture(this);
  Notify(UM_CELL_ACTIVATED, reinterpret_cast<intptr_t>(cell), 0);
}

void CPictureCtrl::ResizeStep(CCell& cell, Point p) {
  const Rect bounds = EffectiveBounds(cell);
  const Rect r =
      canvas::ClampResized(canvas::ResizeByZone(cell.rect_, drag_.zone, p), bounds, drag_.zone);
  if (r == cell.rect_) return;
  cell.SetCanvasRect(r);
  if (auto converted = canvas::CanvasToDevice(r, PairFor(cell))) {
    const Rect device = canvas::DeviceAfterResize(*converted, cell.device_, drag_.zone);
    cell.device_ = canvas::KeepNonNegative(AlignedToArea(cell, device, drag_.zone));
  }
}

void CPictureCtrl::MoveStep(CCell& cell, Point p) {
  Rect r = cell.rect_.Offset(p.x - drag_.last.x, p.y - drag_.last.y);
  snapKind_ = canvas::kSnapNone;
  std::optional<canvas::Snap> snap;
  const CCell* partner = nullptr;
  for (const auto& other : cells_) {
    if (other.get() == &cell || other->hidden_) continue;
    if ((snap = canvas::SnapTo(r, other->rect_))) {
      partner = other.get();
      r = snap->moved;
      snapKind_ = snap->kind;
      snapPartner_ = other->rect_;
      break;
    }
  }
  const Rect client = ClientRect();
  const bool inside =
      r.left >= 0 && r.top >= 0 && r.right <= client.right && r.bottom <= client.bottom;
  if (r == cell.rect_ || !inside) return;
  r = canvas::ClampMoved(r, EffectiveBounds(cell));
  // Pushed against its bounds it may not have moved; converting its place
  // back would only add rounding to the device rectangle.
  if (r == cell.rect_) return;
  cell.SetCanvasRect(r);
  const auto converted = canvas::CanvasToDevice(r, PairFor(cell));
  if (!converted) return;
  const Rect device = snap
                          ? canvas::SnappedDevice(*snap, *converted, cell.device_, partner->device_)
                          : canvas::DeviceAfterMove(*converted, cell.device_);
  cell.device_ = canvas::KeepNonNegative(AlignedToArea(cell, device, canvas::kZoneInterior));
}

Rect CPictureCtrl::AlignedToArea(const CCell& cell, const Rect& device, int zone) const {
  if (cell.IsArea() || !areaAlignment_) return device;
  for (const auto& c : cells_) {
    if (c->IsArea() && !c->hidden_ && canvas::Overlaps(c->rect_, cell.rect_)) {
      return canvas::AlignToArea(device, c->device_, zone);
    }
  }
  return device;
}

void CPictureCtrl::mouseMoveEvent(QMouseEvent* event) {
  const QPoint raw = event->position().toPoint();
  if (GetCapture() != this || drag_.mode == kDragNone) {
    ShowHoverCursor(ToPoint(raw));
    return;
  }
  // The pointer cannot be confined on every platform: the point acted on is.
  const Point p = canvas::ClampPoint(ToPoint(raw), drag_.confine);
  const int kindBefore = snapKind_;
  const Rect partnerBefore = snapPartner_;
  if (drag_.mode == kDragBand) {
    const Rect before = drag_.band;
    drag_.band = Rect{drag_.start.x, drag_.start.y, p.x, p.y}.Normalized();
    Invalidate(canvas::Union(before, drag_.band));
    SetCursorKind(this, CursorKind::Arrow);
  } else if (CCell* cell = selected_; cell && !(cell->IsFixed() && !cell->IsArea())) {
    const Rect before = cell->rect_;
    if (drag_.mode == kDragResize) ResizeStep(*cell, p);
    if (drag_.mode == kDragMove) MoveStep(*cell, p);
    Invalidate(canvas::Union(before, cell->rect_));
    SetCursorKind(this, kZoneCursors[drag_.zone]);
  }
  // Only what changed is drawn again: the cell's old and new place and the
  // old and new snap marker (the intersections lie inside the cell).
  if (kindBefore != snapKind_ || !(partnerBefore == snapPartner_)) {
    update(CanvasPainter::SnapMarkerBounds(kindBefore, partnerBefore));
    update(CanvasPainter::SnapMarkerBounds(snapKind_, snapPartner_));
  }
  if (parentWidget() && !ParentArea().contains(raw)) parentWidget()->update();
  drag_.last = drag_.current = p;
}

void CPictureCtrl::ShowHoverCursor(Point p) {
  CursorKind kind = CursorKind::Arrow;
  if (const CCell* cell = CellAt(p)) {
    const int zone = canvas::HitZoneAt(cell->rect_, p);
    if (!cell->IsArea())
      kind = kZoneCursors[zone];
    else if (zone == canvas::kZoneInterior)
      kind = CursorKind::Hand;
  }
  SetCursorKind(this, kind);
}

void CPictureCtrl::Invalidate(const Rect& r) {
  if (!r.IsEmpty()) update(QRect(r.left, r.top, r.Width(), r.Height()).adjusted(-2, -2, 2, 2));
}

void CPictureCtrl::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  snapKind_ = canvas::kSnapNone;
  update();
  if (GetCapture() != this) return;
  const bool dragged = drag_.mode == kDragMove || drag_.mode == kDragResize;
  if (dragged && !(drag_.current == drag_.start) && selected_) {
    Notify(UM_CELL_MOVED, reinterpret_cast<intptr_t>(selected_), selected_->IsArea() ? 1 : 0);
  }
  drag_ = {};
  ReleaseCapture();
}

void CPictureCtrl::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  CCell* cell = CellAt(ToPoint(event->position().toPoint()));
  if (!cell || cell->IsArea() || cell->IsFixed()) return;
  std::vector<canvas::AreaShape> areas;
  for (const auto& c : cells_) {
    if (c->IsArea()) areas.push_back({c->rect_, c->device_, c->splitType_, !c->hidden_});
  }
  const auto target = canvas::DoubleClickTarget(cell->rect_, areas);
  if (!target) return;
  const auto step = canvas::ToggleTarget({cell->rect_, cell->device_}, *target, cell->saved_);
  if (!step) return;
  cell->saved_ = step->saved;
  cell->device_ = step->now.device;
  cell->SetCanvasRect(step->now.rect);
  update();
  Notify(UM_CELL_MOVED, reinterpret_cast<intptr_t>(cell), 0);
}

void CPictureCtrl::keyPressEvent(QKeyEvent* event) {
  if (IsEnterOrEscapeDown(event)) {
    event->accept();
    return;
  }
  QWidget::keyPressEvent(event);
}

void CPictureCtrl::contextMenuEvent(QContextMenuEvent* event) {
  if (!contextMenuHook_) {
    event->ignore();  // the page above shows its menu
    return;
  }
  contextMenuHook_(event->globalPos());
  event->accept();
}

// Hidden in the middle of a drag, the release never comes: the drag ends here.
void CPictureCtrl::hideEvent(QHideEvent* event) {
  if (GetCapture() == this) ReleaseCapture();
  drag_ = {};
  snapKind_ = canvas::kSnapNone;
  QWidget::hideEvent(event);
}

void CPictureCtrl::paintEvent(QPaintEvent* event) {
  QPainter target(this);
  CMemuDC dc(target, event->rect());
  CanvasPainter::Paint(dc, *this, event->rect());
}

}  // namespace orv
