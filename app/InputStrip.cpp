#include "InputStrip.h"

#include <QFontMetrics>
#include <QPainter>

#include "ArtIds.h"
#include "DeviceState.h"
#include "ResourceRegistry.h"
#include "Skin.h"

namespace orv::strip {

namespace {

constexpr int kSlotWidth = 68;
constexpr int kSlotGap = 40;

struct KindImages {
  int32_t kind;
  int normal, selected;
};

// Port kinds of the slots that follow the device's port type (6, 7, 10, 11).
constexpr std::array<KindImages, 6> kKindImages = {{
    {4, art::kSlotDvi, art::kSlotDviSelected},
    {8, art::kSlotDp, art::kSlotDpSelected},
    {6, art::kSlotHdmi, art::kSlotHdmiSelected},
    {7, art::kSlotSdi, art::kSlotSdiSelected},
    {3, art::kSlotVga, art::kSlotVgaSelected},
    {9, art::kSlotUsb, art::kSlotUsbSelected},
}};

// Fixed pictures of slots 0..5 and 8, 9 (-1: by port kind).
constexpr std::array<int, kSlots> kFixedImage = {art::kSlotDvi,
                                                 art::kSlotHdmi,
                                                 art::kSlotDvi,
                                                 art::kSlotHdmi,
                                                 art::kSlotDp,
                                                 art::kSlotDp,
                                                 -1,
                                                 -1,
                                                 art::kSlotDp,
                                                 art::kSlotDp,
                                                 -1,
                                                 -1};

int Selected(int normal) {
  for (const KindImages& k : kKindImages) {
    if (k.normal == normal) return k.selected;
  }
  return normal;
}

int Trunc(float v) {
  return static_cast<int>(v);
}

}  // namespace

StripSnapshot TakeSnapshot(const DeviceState& s, int layer) {
  StripSnapshot v;
  for (int i = 0; i < kSlots; ++i) {
    const InputEntry& e = s.INPUT_TABLE[static_cast<std::size_t>(i)];
    v.enabled[i] = e.enabled != 0;
    v.names[i] = e.name;
  }
  const InputInfo& in = s.block.INPUTINFO;
  for (int p = 0; p < 8; ++p) {
    v.portKind[p] = in.INPUTSRC[p];
    v.signal[p] = in.INPUTSTATE[p] != 0;
    v.width[p] = in.INPUTRESO[p].INPUTRESOHACT;
    v.height[p] = in.INPUTRESO[p].INPUTRESOVACT;
    v.fps[p] = in.INPUTRESO[p].INPUTRESOFPS;
    v.interlaced[p] = in.INPUTRESO[p].INPUTRESOILE != 0;
  }
  if (DeviceState::ValidLayer(layer)) v.selectedInput = s.block.CHNLDATA[layer].CHNLINPUT;
  return v;
}

void StripLayout::Layout(QPoint origin, float scale) {
  scale_ = scale;
  const float width = scale * static_cast<float>(kSlotWidth);
  SlotRect first;
  first.left = origin.x() + 123;
  first.top = origin.y() + 25;
  first.right = Trunc(static_cast<float>(first.left) + width);
  first.bottom = origin.y() + 50;
  slots_[0] = first;
  for (int i = 1; i < 8; ++i) {
    SlotRect r = slots_[i - 1];
    r.left = Trunc(static_cast<float>(slots_[i - 1].left) + width + kSlotGap);
    r.right = r.left + (first.right - first.left);
    slots_[i] = r;
  }
  // Upper and lower halves of slots 4 (DP split) and 6 (board inputs).
  for (auto [upper, whole] : {std::pair{8, 4}, std::pair{10, 6}}) {
    SlotRect up = slots_[whole];
    up.top = slots_[whole].top - 25;
    up.bottom = up.top + 16;
    SlotRect low = slots_[whole];
    low.top = up.bottom + 16;
    low.bottom = low.top + 16;
    slots_[upper] = up;
    slots_[upper + 1] = low;
  }
}

void StripLayout::AfterReadBack(int32_t portKind6) {
  if (portKind6 >= 10) {
    slots_[7] = slots_[6];
    return;
  }
  const int left = Trunc(static_cast<float>(slots_[6].left) +
                         scale_ * static_cast<float>(kSlotWidth) + kSlotGap);
  slots_[7].right += left - slots_[7].left;
  slots_[7].left = left;
}

int StripLayout::HitTest(QPoint p, const std::array<bool, kSlots>& enabled) const {
  for (int i = 0; i < kSlots; ++i) {
    SlotRect r = slots_[i];
    r.bottom += 16;
    if (enabled[i] && r.Contains(p)) return i;
  }
  return -1;
}

int StripLayout::LabelHit(QPoint p, const std::array<bool, kSlots>& enabled) const {
  for (int i = 0; i < kSlots; ++i) {
    const SlotRect band{slots_[i].left, slots_[i].bottom + 16, slots_[i].right,
                        slots_[i].bottom + 32};
    if (enabled[i] && band.Contains(p)) return i;
  }
  return -1;
}

SlotRect StripLayout::PaintArea(int i) const {
  const SlotRect& r = slots_[static_cast<std::size_t>(i)];
  return {r.left - 40, r.top, r.right + 40, r.bottom + 36};
}

int PhysicalInput(int slot) {
  if (slot == 8 || slot == 9) return 4;
  if (slot == 10 || slot == 11) return 6;
  return slot;
}

int SlotImage(int slot, const std::array<int32_t, 8>& portKind, bool selected) {
  if (slot < 0 || slot >= kSlots) return 0;
  int normal = kFixedImage[static_cast<std::size_t>(slot)];
  if (normal < 0) {
    // 6 and 7 show their own port; the board halves 10 and 11 that of slot 6.
    const int32_t kind = portKind[static_cast<std::size_t>(slot <= 7 ? slot : 6)];
    normal = 0;
    for (const KindImages& k : kKindImages) {
      const bool allowed = slot <= 7 || k.kind == 8 || k.kind == 6;
      if (k.kind == kind && allowed) normal = k.normal;
    }
    if (normal == 0) return 0;
  }
  return selected ? Selected(normal) : normal;
}

QString TimingText(int width, int height, int fpsHundredths, bool interlaced) {
  if (interlaced) return QStringLiteral("%1i %2Hz").arg(height * 2).arg(fpsHundredths / 100);
  return QStringLiteral("%1x%2 %3Hz").arg(width).arg(height).arg(fpsHundredths / 100);
}

InputStrip::InputStrip()
    : timingFont_(skin::ArialFont(12, 700)), nameFont_(skin::ArialFont(12, 700)) {}

void InputStrip::Paint(QPainter& p, const StripSnapshot& v) const {
  p.save();
  p.setPen(skin::kOrange);
  for (int i = 0; i < kSlots; ++i) {
    if (!v.enabled[i] || i == kHiddenSlot) continue;
    const SlotRect& r = layout_.Slot(i);
    const int image = SlotImage(i, v.portKind, i == v.selectedInput);
    if (image == 0) continue;
    const QImage picture = LoadResourceImage(art::ArtType::Png, image);
    const int slotWidth = r.right - r.left;
    if (picture.width() < slotWidth / 2) {
      p.drawImage(QPoint(r.left + picture.width() / 2, r.top), picture);
    } else {
      p.drawImage(QRect(r.left, r.top, 64, 24), picture);
    }
    const int phys = PhysicalInput(i);
    const bool signal = v.signal[static_cast<std::size_t>(phys)];
    p.drawImage(
        QPoint(r.left, r.bottom),
        LoadResourceImage(art::ArtType::Png, signal ? art::kSignalPresent : art::kSignalAbsent));
    p.setFont(timingFont_);
    if (signal && i != 8 && i != 10) {
      const auto k = static_cast<std::size_t>(phys);
      const QString timing = TimingText(v.width[k], v.height[k], v.fps[k], v.interlaced[k]);
      const QFontMetrics fm(timingFont_);
      const int x = r.left + (slotWidth - fm.horizontalAdvance(timing)) / 2;
      p.drawText(QPoint(x, r.bottom + 32 + fm.ascent()), timing);
    }
    p.setFont(nameFont_);
    const QFontMetrics fm(nameFont_);
    p.drawText(QPoint(r.left + 16, r.bottom + fm.ascent()), QString::fromStdString(v.names[i]));
    p.drawText(QPoint(r.left, r.bottom + 16 + fm.ascent()), QString::fromStdString(v.remarks[i]));
  }
  p.restore();
}

}  // namespace orv::strip
