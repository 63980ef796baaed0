#pragma once
// The main page's arrangement rules as plain arithmetic: layer labels per
// program/preview mode, which output areas show and which layers attach to
// them per mosaic mode, where the mosaic parts place outputs 2..4, the
// program/preview scales and areas for a page size, where a layer's origin
// lies, the rescale of the output areas after a resolution change, and the
// zoom steps. No widgets: the page applies the results to the canvas.
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "CanvasRect.h"

namespace orv::mainpage {

using canvas::Rect;
using canvas::ScalePair;

constexpr int kLayers = 4;
constexpr int kOutputAreas = 4;
// The device plane keeps this margin left of and above output area 1.
constexpr int kPlaneLeft = 125;
constexpr int kPlaneTop = 198;
constexpr int kDefaultAreaWidth = 1920;
constexpr int kDefaultAreaHeight = 1080;
constexpr double kDefaultZoom = 6.0;

// Output area k (0..3) where the page first creates it.
Rect DefaultOutputArea(int area);

// The prefix of a layer cell's label. `withName` says whether the input's
// name follows (an empty label has none).
struct LabelPrefix {
  std::string text;
  bool withName = true;
  friend bool operator==(const LabelPrefix&, const LabelPrefix&) = default;
};

// Nothing when the layer keeps its label (PIP-3 while it is the logo).
std::optional<LabelPrefix> LayerLabelPrefix(int pvwMode, int layer, bool onProgram, bool onPreview,
                                            int logoUsage);

// The output areas shown and the output area (0..3) each layer is attached
// to, or -1 where the layer stays where it is.
struct MosaicPlan {
  std::array<bool, kOutputAreas> areaShown{true, true, true, true};
  std::array<int, kLayers> layerArea{-1, -1, -1, -1};
  friend bool operator==(const MosaicPlan&, const MosaicPlan&) = default;
};
// In program/preview mode (1, 2) every output area is hidden and no layer moves.
MosaicPlan PlanMosaic(int mosaicMode, int pvwMode, int mosaicByte2);

// New device rectangles of output areas 1..3 (0-based area index) for a
// mosaic arrangement part, around area 0's rectangle `first`. Empty for a
// part outside 0..7 (the mosaic page's "none").
struct PlacedArea {
  int area = 0;
  Rect device;
  friend bool operator==(const PlacedArea&, const PlacedArea&) = default;
};
std::vector<PlacedArea> PlaceOutputAreas(int part, const Rect& first, int hreso, int vreso);

// The program/preview areas in device pixels and the scale that shows them
// on a page of `pageW` x `pageH` pixels. `areaW`/`areaH` are the areas'
// device sizes (the output resolution). Nothing when the page is too small
// for a positive scale or the resolution is zero: the caller keeps the last
// arrangement.
struct ProgramPreviewPlan {
  ScalePair scale;
  Rect preview1, preview2, program1, program2;  // the second pair only in mode 2
};
std::optional<ProgramPreviewPlan> PlanProgramPreview(int pvwMode, int pageW, int pageH, int hreso,
                                                     int vreso, int areaW, int areaH);

// Which area's top-left corner a layer's window is relative to.
enum class Origin { OwnArea, Program1, Preview1, Program2, Preview2, Zero, NotPlaced };
// Whether PIP-3 stands for the logo in this mode.
bool LayerShowsLogo(int layer, int pvwMode, int logoUsage);
Origin LayerOrigin(int pvwMode, int layer, bool onProgram, bool onPreview, int logoUsage);

// The program/preview area a layer joins in modes 1 and 2, and whether it is
// fixed there (on program it cannot be moved). Nothing: it stays where it is.
struct PvwAttachment {
  Origin area = Origin::Preview1;
  bool fixed = false;
  friend bool operator==(const PvwAttachment&, const PvwAttachment&) = default;
};
std::optional<PvwAttachment> ProgramPreviewAttachment(int pvwMode, int layer, bool onProgram,
                                                      bool onPreview);

// An output area rescaled to a new output resolution from its present device
// rectangle: the corner scales with the resolution (so areas that touched
// stay touching), the size becomes the resolution. An area of zero size
// goes back to its default corner.
Rect RescaleOutputArea(int area, const Rect& present, int hreso, int vreso);

// One Ctrl+wheel step: toward the operator (negative delta) the drawing gets
// smaller. Never 0 or below.
double NextZoom(double zoom, int wheelDelta);

// The layer window stored in the record for a cell's device rectangle
// relative to its area's origin; positions left of or above the area are 0.
struct LayerWindow {
  int hpos = 0, vpos = 0, hact = 0, vact = 0;
  friend bool operator==(const LayerWindow&, const LayerWindow&) = default;
};
LayerWindow LayerWindowFromDevice(const Rect& device, int originX, int originY);

}  // namespace orv::mainpage
