#include "MainPageLayout.h"

#include <cmath>

namespace orv::mainpage {

namespace {

// Label prefixes of PVWMODE 2 by layer: layers 0 and 2 belong to the first
// program/preview pair, layers 1 and 3 to the second.
constexpr const char* kMode2Program[kLayers] = {"PGM1 : ", "PGM2 : ", "PGM1 : ", "PGM2 : "};
constexpr const char* kMode2Preview[kLayers] = {"PVW1 : ", "PVW2 : ", "PVW1 : ", "PVW2 : "};

std::string PipPrefix(int layer) {
  return "PIP-" + std::to_string(layer) + " : ";
}

// One row per MOSAICMODE 0..5: output areas hidden and the area of each
// layer. A row with a condition attaches only when it holds.
enum class AttachWhen { Always, PlainOutputMode, MosaicByte2Is2To4 };
struct MosaicRow {
  std::array<bool, kOutputAreas> shown;
  std::array<int, kLayers> area;
  AttachWhen when;
};
constexpr MosaicRow kMosaicRows[] = {
    {{true, false, false, false}, {0, 0, 0, 0}, AttachWhen::PlainOutputMode},
    {{true, false, false, false}, {0, 0, 0, 0}, AttachWhen::Always},
    {{true, true, false, false}, {0, 1, 0, 1}, AttachWhen::Always},
    {{true, true, false, false}, {0, 1, 1, 1}, AttachWhen::Always},
    {{true, true, true, false}, {0, 1, 2, 1}, AttachWhen::MosaicByte2Is2To4},
    {{true, true, true, true}, {0, 1, 2, 3}, AttachWhen::Always},
};

bool Holds(AttachWhen when, int pvwMode, int mosaicByte2) {
  switch (when) {
    case AttachWhen::Always:
      return true;
    case AttachWhen::PlainOutputMode:
      return pvwMode == 0;
    case AttachWhen::MosaicByte2Is2To4:
      return mosaicByte2 >= 2 && mosaicByte2 <= 4;
  }
  return false;
}

Rect RightOf(const Rect& p, int w) {
  return {p.right, p.top, p.right + w, p.bottom};
}
Rect Below(const Rect& p, int h) {
  return {p.left, p.bottom, p.right, p.bottom + h};
}
Rect SizedRightOf(const Rect& p, int w, int h) {
  return {p.right, p.top, p.right + w, p.top + h};
}

// Truncation toward zero of a single-precision result, as the integer
// stores of the arrangement do.
int Store(float v) {
  return static_cast<int>(v);
}

}  // namespace

Rect DefaultOutputArea(int area) {
  const int left = kPlaneLeft + kDefaultAreaWidth * area;
  return {left, kPlaneTop, left + kDefaultAreaWidth, kPlaneTop + kDefaultAreaHeight};
}

std::optional<LabelPrefix> LayerLabelPrefix(int pvwMode, int layer, bool onProgram, bool onPreview,
                                            int logoUsage) {
  if (layer < 0 || layer >= kLayers) return std::nullopt;
  const LabelPrefix empty{"", false};
  if (pvwMode == 2) {
    if (onProgram) return LabelPrefix{kMode2Program[layer]};
    if (onPreview) return LabelPrefix{kMode2Preview[layer]};
    return empty;
  }
  if (layer == 3 && logoUsage == 1) return std::nullopt;
  if (pvwMode == 1 && layer < 2) {
    if (onProgram) return LabelPrefix{"PGM : "};
    if (onPreview) return LabelPrefix{"PVW : "};
    return empty;
  }
  if (layer == 0) return LabelPrefix{"Main : "};
  return LabelPrefix{PipPrefix(layer)};
}

MosaicPlan PlanMosaic(int mosaicMode, int pvwMode, int mosaicByte2) {
  MosaicPlan plan;
  // Program/preview owns the canvas: a mosaic refresh arriving after the
  // arrangement must not bring an output area back over the halves or take
  // the layers off their program and preview areas.
  if (pvwMode == 1 || pvwMode == 2) {
    plan.areaShown = {false, false, false, false};
    return plan;
  }
  if (mosaicMode < 0 || mosaicMode >= static_cast<int>(std::size(kMosaicRows))) return plan;
  const MosaicRow& row = kMosaicRows[mosaicMode];
  plan.areaShown = row.shown;
  if (Holds(row.when, pvwMode, mosaicByte2)) plan.layerArea = row.area;
  return plan;
}

std::vector<PlacedArea> PlaceOutputAreas(int part, const Rect& first, int hreso, int vreso) {
  const int w = hreso;
  const int h = vreso;
  switch (part) {
    case 0:
      return {{1, RightOf(first, w)}};
    case 1:
      return {{1, Below(first, h)}};
    case 2:
    case 3: {
      const Rect second = RightOf(first, w);
      return {{1, second}, {2, RightOf(second, w)}};
    }
    case 4: {
      const Rect second = Below(first, h);
      return {{1, second}, {2, Below(second, h)}};
    }
    case 5: {
      const Rect third = Below(first, h);
      return {{1, SizedRightOf(first, w, h)}, {2, third}, {3, SizedRightOf(third, w, h)}};
    }
    case 6:
    case 7: {
      std::vector<PlacedArea> placed;
      Rect previous = first;
      for (int area = 1; area < kOutputAreas; ++area) {
        previous = part == 6 ? RightOf(previous, w) : Below(previous, h);
        placed.push_back({area, previous});
      }
      return placed;
    }
    default:
      return {};
  }
}

std::optional<ProgramPreviewPlan> PlanProgramPreview(int pvwMode, int pageW, int pageH, int hreso,
                                                     int vreso, int areaW, int areaH) {
  if (pvwMode != 1 && pvwMode != 2) return std::nullopt;
  // The page's usable width for the areas, and half its height below the
  // title margin; a small or minimised page gives no arrangement.
  const int spanW = pvwMode == 1 ? 2 * pageW / 5 - 125 : (2 * pageW - 250) / 5;
  const int spanH = (pageH - 198) / 2;
  if (spanW <= 0 || spanH <= 0 || hreso <= 0 || vreso <= 0) return std::nullopt;

  ProgramPreviewPlan plan;
  const float sx = static_cast<float>(hreso) / static_cast<float>(spanW);
  const float sy = static_cast<float>(vreso) / static_cast<float>(spanH);
  plan.scale = {sx, sy};

  const float cx = static_cast<float>(pageW / 2) * sx;
  const int previewTop = Store(40.0f * sy);
  const int programTop = Store(static_cast<float>(pageH / 2) * sy + 40.0f * sy);
  if (pvwMode == 1) {
    const int half = areaW / 2;
    const int left = Store(cx - static_cast<float>(half));
    const int right = Store(cx + static_cast<float>(half));
    plan.preview1 = {left, previewTop, right, previewTop + areaH};
    plan.program1 = {left, programTop, right, programTop + areaH};
    return plan;
  }
  const int left = Store(cx - static_cast<float>(areaW));
  const int right = Store(cx);
  plan.preview1 = {left, previewTop, right, previewTop + areaH};
  plan.program1 = {left, programTop, right, programTop + areaH};
  plan.preview2 = {right, previewTop, right + areaW, previewTop + areaH};
  plan.program2 = {right, programTop, right + areaW, programTop + areaH};
  return plan;
}

bool LayerShowsLogo(int layer, int pvwMode, int logoUsage) {
  if (layer != 3) return false;
  if (pvwMode == 0) return logoUsage == 1;
  if (pvwMode == 1 || pvwMode == 2) return logoUsage != 0;
  return false;
}

Origin LayerOrigin(int pvwMode, int layer, bool onProgram, bool onPreview, int logoUsage) {
  if (layer < 0 || layer >= kLayers) return Origin::NotPlaced;
  switch (pvwMode) {
    case 0:
      if (layer == 3 && logoUsage != 0 && logoUsage != 1) return Origin::NotPlaced;
      return Origin::OwnArea;
    case 1:
      return onProgram ? Origin::Program1 : Origin::Preview1;
    case 2: {
      if (LayerShowsLogo(layer, pvwMode, logoUsage))
        return onProgram ? Origin::Program1 : Origin::Preview1;
      const bool firstPair = layer == 0 || layer == 2;
      if (onProgram) return firstPair ? Origin::Program1 : Origin::Program2;
      if (onPreview) return firstPair ? Origin::Preview1 : Origin::Preview2;
      return Origin::Zero;
    }
    default:
      return Origin::NotPlaced;
  }
}

std::optional<PvwAttachment> ProgramPreviewAttachment(int pvwMode, int layer, bool onProgram,
                                                      bool onPreview) {
  if (layer < 0 || layer >= kLayers) return std::nullopt;
  if (pvwMode == 1) {
    if (onProgram) return PvwAttachment{Origin::Program1, true};
    return PvwAttachment{Origin::Preview1, false};
  }
  if (pvwMode != 2) return std::nullopt;
  const bool firstPair = layer == 0 || layer == 2;
  if (onProgram) return PvwAttachment{firstPair ? Origin::Program1 : Origin::Program2, true};
  if (onPreview) return PvwAttachment{firstPair ? Origin::Preview1 : Origin::Preview2, false};
  return std::nullopt;
}

Rect RescaleOutputArea(int area, const Rect& present, int hreso, int vreso) {
  const int w = present.Width();
  const int h = present.Height();
  if (w <= 0 || h <= 0) {
    const Rect home = DefaultOutputArea(area < 0 ? 0 : area);
    return {home.left, home.top, home.left + hreso, home.top + vreso};
  }
  // The corner is scaled in single precision and rounded half up.
  const float left = static_cast<float>(hreso) * static_cast<float>(present.left) / w;
  const float top = static_cast<float>(vreso) * static_cast<float>(present.top) / h;
  const int l = static_cast<int>(static_cast<double>(left) + 0.5);
  const int t = static_cast<int>(static_cast<double>(top) + 0.5);
  return {l, t, l + hreso, t + vreso};
}

double NextZoom(double zoom, int wheelDelta) {
  if (wheelDelta < 0) zoom += 0.5;
  if (wheelDelta > 0) zoom -= 0.5;
  return zoom <= 0.0 || !std::isfinite(zoom) ? 1.0 : zoom;
}

LayerWindow LayerWindowFromDevice(const Rect& device, int originX, int originY) {
  LayerWindow window;
  window.hpos = std::max(0, device.left - originX);
  window.vpos = std::max(0, device.top - originY);
  window.hact = device.Width();
  window.vact = device.Height();
  return window;
}

}  // namespace orv::mainpage
