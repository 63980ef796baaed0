#pragma once
// Where the processor's composed preview carries each layer: the picture is
// four quadrants, one output each. The panel crops its cells by it and the
// virtual processor composes its picture by it.
#include <optional>

#include "ParamBlock.h"

namespace orv {

// The quadrant (0..3, left to right, top to bottom) that carries `layer` by
// the program/preview mode alone: mode 1 program 1 / preview 0, mode 2
// program 2|3 / preview 0|1 by column (none for a layer on neither), else
// quadrant `layer`. None outside layers 0..3.
std::optional<int> QuadrantByPreviewMode(const PvwModeInfo& pv, int layer);

}  // namespace orv
