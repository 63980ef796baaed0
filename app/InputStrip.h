#pragma once
// The input strip at the top of the main window: one slot per input code
// 0..11 with its port picture, signal lamp, detected timing, name and remark.
// The layout and the choices are plain arithmetic on a snapshot of the
// record (tested without a window); `InputStrip` paints and hit-tests.
#include <array>
#include <cstdint>
#include <string>

#include <QFont>
#include <QPoint>
#include <QString>

class QPainter;

namespace orv {

struct DeviceState;

namespace strip {

inline constexpr int kSlots = 12;
inline constexpr int kHiddenSlot = 5;  // hit-tested, never drawn

// A slot rectangle with exclusive right and bottom edges.
struct SlotRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  bool Contains(QPoint p) const {
    return p.x() >= left && p.x() < right && p.y() >= top && p.y() < bottom;
  }
  bool operator==(const SlotRect&) const = default;
};

// What the strip shows, copied from the record under one guard.
struct StripSnapshot {
  std::array<bool, kSlots> enabled{};
  std::array<std::string, kSlots> names;
  std::array<std::string, kSlots> remarks;  // filled by the owner of the remarks
  std::array<int32_t, 8> portKind{};
  std::array<bool, 8> signal{};
  std::array<int, 8> width{}, height{}, fps{};
  std::array<bool, 8> interlaced{};
  int selectedInput = -1;  // CHNLINPUT of the current layer
};
StripSnapshot TakeSnapshot(const DeviceState& state, int layer);

// The slot rectangles for the client's top-left corner and the DPI scale.
class StripLayout {
 public:
  void Layout(QPoint clientTopLeft, float scale);
  // After a full read-back: slot 7 follows physical input 6 (its port kind).
  void AfterReadBack(int32_t portKind6);
  const SlotRect& Slot(int i) const { return slots_[static_cast<std::size_t>(i)]; }
  // The first enabled slot whose rectangle, extended 16 pixels downwards,
  // holds the point; -1 for none.
  int HitTest(QPoint p, const std::array<bool, kSlots>& enabled) const;
  // The enabled slot whose label band (16 to 32 pixels below it) holds the point.
  int LabelHit(QPoint p, const std::array<bool, kSlots>& enabled) const;
  // The band a slot draws into (picture, lamp, timing and labels).
  SlotRect PaintArea(int i) const;

 private:
  std::array<SlotRect, kSlots> slots_{};
  float scale_ = 1.0F;
};

// The physical input a slot shows: DP halves and board inputs live on 4 and 6.
int PhysicalInput(int slot);
// The slot's picture (normal or selected); 0 when the slot draws none.
int SlotImage(int slot, const std::array<int32_t, 8>& portKind, bool selected);
// "%dx%d %dHz", or "%di %dHz" for an interlaced source.
QString TimingText(int width, int height, int fpsHundredths, bool interlaced);

class InputStrip {
 public:
  InputStrip();
  StripLayout& Layout() { return layout_; }
  const StripLayout& Layout() const { return layout_; }
  void Paint(QPainter& p, const StripSnapshot& view) const;

 private:
  QFont timingFont_;
  QFont nameFont_;
  StripLayout layout_;
};

}  // namespace strip
}  // namespace orv
