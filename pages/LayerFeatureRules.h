#pragma once
// The arithmetic of the mosaic and logo pages, without widgets: which
// arrangement parts a mosaic layout offers, the clamps of the mosaic edits,
// and the logo slots' usability and placement clamps.
#include <array>
#include <cstdint>
#include <span>

namespace orv {

struct LogoInfo;

// Mosaic layouts 1..5 ("Panel x 1" .. "Panel x 4"); 0 is mosaic off.
inline constexpr int kMosaicLayouts = 5;
inline constexpr int kMosaicParts = 8;
inline constexpr int kNoMosaicPart = 8;

// The arrangement parts (0..7) the pictures of layout `mode` show, left to
// right; none for layout 1, for mosaic off and for modes outside the table.
std::span<const int> MosaicPartsOf(int mode);
// The part the main page places the output areas for when a layout is
// chosen: the first part of the layout, or 8 (none).
int PreselectedMosaicPart(int mode);

struct MosaicValues {
  int hpos = 0;
  int vpos = 0;
  int hact = 32;
  int vact = 32;
  int htotal = 32;
  int vtotal = 32;
};

enum class MosaicEdit { HStart, VStart, Width, Height, HTotal, VTotal };

inline constexpr int kMosaicMaxValue = 9999;

// The committed edit keeps the layer inside the large picture: a start is
// lowered to total - size, a size to total - start; a new total first lowers
// the size to it, then the start to total - size. Every value stays 0..9999.
MosaicValues ClampMosaicEdit(MosaicValues v, MosaicEdit edited);

struct LogoRect {
  int x = 0;
  int y = 0;
  int w = 8;
  int h = 8;
};

enum class LogoEdit { HStart, VStart, Width, Height };

inline constexpr int kLogoSlots = 4;
inline constexpr int kLogoMinSize = 8;
inline constexpr int kLogoMaxValue = 9999;
inline constexpr int kLogoMaxStoredSize = 3840;

// A slot can be loaded when it holds a picture whose size is nonzero, below
// 3840 and no larger than the output. Slots outside 0..3 never can.
bool LogoSlotUsable(const LogoInfo& logo, int slot, int hreso, int vreso);

// Logo mode: the placement stays on the output (starts lowered to the output
// size minus the logo size, then the sizes to what is left).
LogoRect ClampLogoPlacement(LogoRect r, int hreso, int vreso);

// Normal mode: the marked rectangle stays inside the PIP-3 window. An edited
// start past the window moves back so that the smallest logo still fits and
// the size shrinks to what is left; an edited size shrinks to what is left of
// the window after the start.
LogoRect ClampLogoMark(LogoRect r, LogoEdit edited, int pipWidth, int pipHeight);

}  // namespace orv
