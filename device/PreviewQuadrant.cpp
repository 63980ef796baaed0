#include "PreviewQuadrant.h"

namespace orv {

std::optional<int> QuadrantByPreviewMode(const PvwModeInfo& pv, int layer) {
  if (layer < 0 || layer >= 4) return std::nullopt;
  const bool leftColumn = layer == 0 || layer == 2;
  switch (pv.PVWMODE) {
    case 1:
      return pv.PGMSTATE[layer] ? 1 : 0;
    case 2:
      if (pv.PGMSTATE[layer]) return leftColumn ? 2 : 3;
      if (pv.PVWSTATE[layer]) return leftColumn ? 0 : 1;
      return std::nullopt;
    default:
      return layer;
  }
}

}  // namespace orv
