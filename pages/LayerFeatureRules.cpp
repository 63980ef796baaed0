#include "LayerFeatureRules.h"

#include <algorithm>

#include "ParamBlock.h"

namespace orv {

namespace {

struct LayoutParts {
  std::array<int, 3> parts;
  int count;
};

// Indexed by MOSAICMODE 0..5.
constexpr std::array<LayoutParts, kMosaicLayouts + 1> kLayoutParts = {{
    {{0, 0, 0}, 0},  // off
    {{0, 0, 0}, 0},  // Panel x 1
    {{0, 1, 0}, 2},  // Panel x 2
    {{0, 1, 0}, 2},  // Panel x2_1
    {{2, 3, 4}, 3},  // Panel x 3
    {{5, 6, 7}, 3},  // Panel x 4
}};

int Within(int v, int lo, int hi) {
  return std::clamp(v, lo, std::max(lo, hi));
}

// One axis of a logo mark inside `extent` pixels of the PIP-3 window.
void FitMarkAxis(int& start, int& size, bool startEdited, int extent) {
  start = Within(start, 0, kLogoMaxValue);
  size = Within(size, kLogoMinSize, kLogoMaxValue);
  if (extent < kLogoMinSize) return;  // no window to fit into: the edits' ranges only
  if (startEdited) start = std::min(start, extent - kLogoMinSize);
  size = std::min(size, extent - start);
  if (size < kLogoMinSize) {
    size = kLogoMinSize;
    start = extent - kLogoMinSize;
  }
}

}  // namespace

std::span<const int> MosaicPartsOf(int mode) {
  if (mode < 0 || mode > kMosaicLayouts) return {};
  const LayoutParts& l = kLayoutParts[static_cast<std::size_t>(mode)];
  return {l.parts.data(), static_cast<std::size_t>(l.count)};
}

int PreselectedMosaicPart(int mode) {
  const std::span<const int> parts = MosaicPartsOf(mode);
  return parts.empty() ? kNoMosaicPart : parts.front();
}

MosaicValues ClampMosaicEdit(MosaicValues v, MosaicEdit edited) {
  switch (edited) {
    case MosaicEdit::HStart:
      v.hpos = std::min(v.hpos, v.htotal - v.hact);
      break;
    case MosaicEdit::VStart:
      v.vpos = std::min(v.vpos, v.vtotal - v.vact);
      break;
    case MosaicEdit::Width:
      v.hact = std::min(v.hact, v.htotal - v.hpos);
      break;
    case MosaicEdit::Height:
      v.vact = std::min(v.vact, v.vtotal - v.vpos);
      break;
    case MosaicEdit::HTotal:
      v.hact = std::min(v.hact, v.htotal);
      v.hpos = std::min(v.hpos, v.htotal - v.hact);
      break;
    case MosaicEdit::VTotal:
      v.vact = std::min(v.vact, v.vtotal);
      v.vpos = std::min(v.vpos, v.vtotal - v.vact);
      break;
  }
  for (int* f : {&v.hpos, &v.vpos, &v.hact, &v.vact, &v.htotal, &v.vtotal})
    *f = std::clamp(*f, 0, kMosaicMaxValue);
  return v;
}

bool LogoSlotUsable(const LogoInfo& logo, int slot, int hreso, int vreso) {
  if (slot < 0 || slot >= kLogoSlots) return false;
  const int w = logo.HACT[slot];
  const int h = logo.VACT[slot];
  return logo.LOGOVALID[slot] != 0 && w > 0 && h > 0 && w < kLogoMaxStoredSize &&
         h < kLogoMaxStoredSize && hreso >= w && vreso >= h;
}

LogoRect ClampLogoPlacement(LogoRect r, int hreso, int vreso) {
  r.x = Within(std::min(r.x, hreso - r.w), 0, kLogoMaxValue);
  r.y = Within(std::min(r.y, vreso - r.h), 0, kLogoMaxValue);
  r.w = Within(std::min(r.w, hreso - r.x), kLogoMinSize, kLogoMaxValue);
  r.h = Within(std::min(r.h, vreso - r.y), kLogoMinSize, kLogoMaxValue);
  return r;
}

LogoRect ClampLogoMark(LogoRect r, LogoEdit edited, int pipWidth, int pipHeight) {
  FitMarkAxis(r.x, r.w, edited == LogoEdit::HStart, pipWidth);
  FitMarkAxis(r.y, r.h, edited == LogoEdit::VStart, pipHeight);
  return r;
}

}  // namespace orv
