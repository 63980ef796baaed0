#include "PreviewGeometry.h"

#include <array>
#include <utility>

#include "PreviewQuadrant.h"

namespace orv::preview {
namespace {

struct CodeSize {
  int code;
  FrameSize size;
};

constexpr std::array<CodeSize, 7> kCodeSizes{{
    {1, {352, 240}},
    {7, {640, 480}},
    {16, {1280, 720}},
    {17, {1920, 1080}},
    {19, {960, 540}},
    {20, {640, 360}},
    {21, {480, 270}},
}};

// [v]: the product and quotient in single precision, the half added in double.
int RoundScaled(int value, int half, int full) {
  const float scaled =
      static_cast<float>(value) * static_cast<float>(half) / static_cast<float>(full);
  return static_cast<int>(static_cast<double>(scaled) + 0.5);
}

}  // namespace

std::optional<FrameSize> FrameSizeOfCode(int resolutionCode) {
  for (const auto& entry : kCodeSizes) {
    if (entry.code == resolutionCode) return entry.size;
  }
  return std::nullopt;
}

PixelRect Quadrant(int q, FrameSize frame) {
  const int hw = frame.width / 2, hh = frame.height / 2;
  return {(q % 2) * hw, q < 2 ? 0 : hh, hw, hh};
}

std::optional<int> QuadrantOfLayer(const DeviceState& state, int layer) {
  const auto& pv = state.block.PVWMODEINFO;
  if (pv.PVWMODE == 1 || pv.PVWMODE == 2) return QuadrantByPreviewMode(pv, layer);
  if (layer < 0 || layer >= kLayers) return std::nullopt;
  // Outside program/preview the mosaic arrangements move layers to other outputs.
  const auto& mosaic = state.block.MOSAICSETT;
  if (layer == 3 && mosaic.MOSAICAUTOARR == 3) return 1;
  if (mosaic.MOSAICAUTOARR != 3 && mosaic.MOSAICMODE == 3) {
    if (layer == 1) return 2;
    if (layer == 2) return 1;
  }
  return layer;
}

std::optional<PixelRect> LayerCrop(const DeviceState& state, int layer, FrameSize frame) {
  const auto quadrant = QuadrantOfLayer(state, layer);
  if (!quadrant) return std::nullopt;
  const PixelRect q = Quadrant(*quadrant, frame);
  const int hreso = state.block.OUTPUTRESO.HRESO, vreso = state.block.OUTPUTRESO.VRESO;
  if (hreso == 0 || vreso == 0) return q;

  const auto& logo = state.block.LOGOINFO;
  if (layer == 3 && logo.LOGOUSAGE == 1) {
    const int id = state.LOGO_EDIT_ID % 4;
    const int left = q.x + RoundScaled(logo.HPOS[id], q.width, hreso);
    const int width = RoundScaled(logo.HACT[id], q.width, hreso);
    const int top = q.y + (q.height * logo.VPOS[id]) / vreso;
    const int height = (q.height * logo.VACT[id]) / vreso;
    return PixelRect{left, top, width, height};
  }
  const auto& window = state.block.CHNLDATA[layer];
  const int left = q.x + RoundScaled(window.HPOS, q.width, hreso);
  const int top = q.y + RoundScaled(window.VPOS, q.height, vreso);
  return PixelRect{left, top, RoundScaled(window.HACT, q.width, hreso),
                   RoundScaled(window.VACT, q.height, vreso)};
}

}  // namespace orv::preview
