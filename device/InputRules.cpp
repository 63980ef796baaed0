#include "InputRules.h"

#include <algorithm>

namespace orv {

namespace {

// Names entries 6 and 7 take from their slot's port type; nullptr keeps the name.
struct PortNameRow {
  int32_t portType;
  const char* slot6;
  const char* slot7;
};

constexpr PortNameRow kPortNames[] = {
    {3, " VGA-1", " VGA-2"}, {4, " DVI-3", " DVI-4"}, {6, " HDMI-3", " HDMI-4"},
    {7, " SDI-2", " SDI-3"}, {8, " DP-2", nullptr},   {9, " UDISK-1", " UDISK-2"},
};

constexpr int32_t kPortVga = 3;
constexpr int32_t kPortHdmi = 6;
constexpr int32_t kPortDp = 8;

bool PortPresent(int32_t portType) {
  return portType >= 0 && portType <= 9;
}

void MoveLayers(DeviceState& s, int from, int to) {
  for (auto& layer : s.block.CHNLDATA) {
    if (layer.CHNLINPUT == from) layer.CHNLINPUT = static_cast<uint8_t>(to);
  }
}

// One splittable port: the whole-port entry and its two halves.
struct SplitPort {
  int whole;
  int left;
  int right;
};

constexpr SplitPort kDp1{4, 8, 9};
constexpr SplitPort kPort6{6, 10, 11};

void SetSplit(DeviceState& s, const SplitPort& port, bool split) {
  s.INPUT_TABLE[port.whole].enabled = split ? 0 : 1;
  s.INPUT_TABLE[port.left].enabled = split ? 1 : 0;
  s.INPUT_TABLE[port.right].enabled = split ? 1 : 0;
  if (split) {
    MoveLayers(s, port.whole, port.left);
  } else {
    MoveLayers(s, port.left, port.whole);
    MoveLayers(s, port.right, port.whole);
  }
}

void NameHalves(DeviceState& s, const char* left, const char* right) {
  s.INPUT_TABLE[kPort6.left].name = left;
  s.INPUT_TABLE[kPort6.right].name = right;
}

// Board source names by port type and active source: whole port, left, right.
struct BoardNameRow {
  int32_t portType;
  int32_t source;  // -1 = any source
  const char* whole;
  const char* left;
  const char* right;
};

constexpr BoardNameRow kBoardNames[] = {
    {kPortDp, -1, " DP-2", " DP2-L ", " DP2-R "},
    {kPortHdmi, 0, " DVI-3*", " DVI3*-L ", " DVI3*-R "},
    {kPortHdmi, 1, " HDMI-3", " HDMI3-L ", " HDMI3-R "},
};

const BoardNameRow* BoardNamesOf(int32_t portType, int32_t source) {
  for (const auto& row : kBoardNames) {
    if (row.portType == portType && (row.source < 0 || row.source == source)) return &row;
  }
  return nullptr;
}

// The crop windows of one group get a new source size; a window that no
// longer fits becomes the whole source.
void ResizeSource(Crop& crop, uint16_t width, uint16_t height) {
  crop.HTOTAL = width;
  crop.VTOTAL = height;
}

void FitToSource(Crop& crop) {
  const int right = int{crop.HPOS} + crop.HACT;
  const int bottom = int{crop.VPOS} + crop.VACT;
  if (right > crop.HTOTAL || bottom > crop.VTOTAL) {
    crop.HPOS = 0;
    crop.VPOS = 0;
    crop.HACT = crop.HTOTAL;
    crop.VACT = crop.VTOTAL;
  }
}

}  // namespace

bool ApplySlotPortType(DeviceState& s, int slot) {
  if (slot < 0 || slot >= kInputSlots) return false;
  const int32_t type = s.block.INPUTINFO.INPUTSRC[slot];
  if (!PortPresent(type)) return false;
  s.INPUT_TABLE[slot].enabled = 1;
  if (slot == 6 || slot == 7) {
    for (const auto& row : kPortNames) {
      if (row.portType != type) continue;
      const char* name = slot == 6 ? row.slot6 : row.slot7;
      if (name != nullptr) s.INPUT_TABLE[slot].name = name;
    }
  }
  return true;
}

void ApplyDpSplitRule(DeviceState& s) {
  SetSplit(s, kDp1, s.block.DPMDE[0] != 0);
  if (s.block.INPUTINFO.INPUTSRC[6] != kPortDp) return;
  const bool split = s.block.DPMDE[1] != 0;
  SetSplit(s, kPort6, split);
  if (split) {
    NameHalves(s, " DP2-L ", " DP2-R ");
  } else {
    s.INPUT_TABLE[kPort6.whole].name = " DP-2";
  }
}

bool ApplyBoardRule(DeviceState& s) {
  const CompositeBoard& board = s.block.COMPOSITEBOARD;
  if (board.CMPBOARDEXIST == 0) return true;
  const int32_t source = board.CMPBOARDACTNOSRC;
  // The active source indexes the three offered port types: a value outside
  // them names no port, so nothing is derived from it.
  if (source < 0 || source >= 3) return false;
  const int32_t type = board.CMPBOARDIPSRC[source];
  InputInfo& inputs = s.block.INPUTINFO;
  inputs.INPUTSRC[6] = type;
  inputs.INPUTRESO[6].INPUTRESOHACT = board.CMPBOARDACTHACT;
  inputs.INPUTRESO[6].INPUTRESOVACT = board.CMPBOARDACTVACT;
  inputs.INPUTRESO[6].INPUTRESOFPS = board.CMPBOARDACTFPS;
  inputs.INPUTRESO[6].INPUTRESOILE = board.CMPBOARDACTINTERLACE;
  s.block.DPMDE[1] = board.CMPBOARDACTDUAL;
  const BoardNameRow* names = BoardNamesOf(type, source);
  if (names != nullptr) s.INPUT_TABLE[kPort6.whole].name = names->whole;
  if (type == kPortDp || type == kPortHdmi) {
    const bool split = board.CMPBOARDACTDUAL != 0;
    SetSplit(s, kPort6, split);
    if (split && names != nullptr) NameHalves(s, names->left, names->right);
  }
  return true;
}

bool ApplyInputTiming(DeviceState& s, const InputTiming& t) {
  if (t.slot >= kInputSlots) return false;
  const int k = t.slot;
  InputReso& reso = s.block.INPUTINFO.INPUTRESO[k];
  reso.INPUTRESOIDX = t.slot;
  reso.INPUTRESOHACT = t.width;
  reso.INPUTRESOVACT = t.height;
  reso.INPUTRESOFPS = t.refresh;
  reso.INPUTRESOILE = t.interlaced;
  s.LAST_TIMING_INPUT = k;

  // A lost signal reports 0 x 0: the windows keep the last real source size
  // instead of collapsing to nothing.
  if (t.width == 0 || t.height == 0) return true;

  const uint16_t half = static_cast<uint16_t>(t.width / 2);
  const int32_t s6 = s.block.INPUTINFO.INPUTSRC[6];
  const CompositeBoard& board = s.block.COMPOSITEBOARD;
  const bool fitted = board.CMPBOARDEXIST != 0;

  // Groups holding one half of a split source, each with its new size.
  struct Half {
    int group;
    uint16_t width;
    uint16_t height;
  };
  Half halves[2]{};
  int halfCount = 0;
  auto addHalf = [&](int group, uint16_t height) { halves[halfCount++] = {group, half, height}; };
  if (k == 4 && s.block.DPMDE[0] != 0) {
    addHalf(8, t.height);
    addHalf(4, t.height);
  } else if (k == 6 && s.block.DPMDE[1] != 0) {
    if (s6 == kPortDp || (s6 == kPortHdmi && fitted && board.CMPBOARDACTNOSRC == 1)) {
      addHalf(9, t.height);
      addHalf(6, t.height);
    } else if (s6 == kPortHdmi && fitted && board.CMPBOARDACTNOSRC == 0) {
      addHalf(10, t.height);
      addHalf(11, t.height);
    }
  }

  for (int j = 0; j < kLayers; ++j) {
    Crop& own = s.CropOf(k, j);
    ResizeSource(own, t.width, t.height);
    for (int h = 0; h < halfCount; ++h) {
      Crop& crop = s.CropOf(halves[h].group, j);
      // Width 1 halves to 0: keep that window rather than shrink it away.
      if (halves[h].width == 0) continue;
      if (&crop == &own) {
        own.HTOTAL = halves[h].width;
      } else {
        ResizeSource(crop, halves[h].width, halves[h].height);
      }
      FitToSource(crop);
    }
    FitToSource(own);
  }
  return true;
}

}  // namespace orv
