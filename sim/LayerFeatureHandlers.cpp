// The processor's mosaic and logo: SET_MOSAIC by its kind byte and SET_LOGO
// by its operation, each applied to the image, acknowledged and reported.
// The operations the host brackets with its wait box (a new mosaic layout or
// part, loading and saving a logo, switching it) end with the device event
// that takes the box down: kind 11 (re-read mosaic, windows and crops) for
// the mosaic, kind 4 (busy off) for the logo, also when refused.
#include <algorithm>

#include "DeviceModel.h"

namespace orv::sim {

namespace {

constexpr int kMosaicModes = 6;  // 0 off, layouts 1..5
constexpr int kMosaicParts = 8;
constexpr int kLogoBarredMode = 5;  // "Panel x 4" leaves no layer for the logo
constexpr int kLogoSlots = 4;
constexpr int kMinLogoSize = 8;

// Kind 2 (and any other) carries one layer's values.
enum MosaicKind : uint8_t { kModeChange = 0, kPartChosen = 1 };
enum LogoOp : uint8_t { kClear = 0, kLoad, kSave, kMark, kUsage, kOnOff, kTop, kBorder };

bool LogoWaitsForDevice(int op) {
  return op == kLoad || op == kSave || op == kOnOff;
}

}  // namespace

void DeviceModel::SetMosaic(const Command& c, Frames& out) {
  const int kind = c.b[0];
  const int mode = c.b[1];
  const int part = c.b[2];
  const int cell = c.b[3];
  auto& m = state_.block.MOSAICSETT;
  const bool valid =
      mode < kMosaicModes && cell < kLayers && (kind != kPartChosen || part < kMosaicParts);
  if (!valid) return Ack(c.type, 1, out);
  m.MOSAICMODE = mode;
  m.MOSAIC_OPT = c.b[29];
  if (mode == kLogoBarredMode) {
    state_.block.LOGOINFO.LOGOUSAGE = 0;
    state_.block.LOGOINFO.LOGOONOFF = 0;
  }
  if (kind == kPartChosen) m.MOSAICAUTOARR = part;
  if (kind != kModeChange && kind != kPartChosen) {
    // Negative values from a careless host are read as zero.
    auto value = [&c](int at) { return std::max<int32_t>(0, static_cast<int32_t>(c.U32(at))); };
    m.HPOS[cell] = value(4);
    m.VPOS[cell] = value(8);
    m.HACT[cell] = value(12);
    m.VACT[cell] = value(16);
    m.HTOTAL[cell] = value(20);
    m.VTOTAL[cell] = value(24);
  }
  Ack(c.type, 0, out);
  ReplyRecord(12, kind, m, out);
  if (kind == kModeChange || kind == kPartChosen) EventKind(11, {0}, out);
}

bool DeviceModel::ApplyLogo(const Command& c) {
  const int op = c.b[0];
  const int id = c.b[1];
  if (id >= kLogoSlots) return false;
  auto& logo = state_.block.LOGOINFO;
  const auto& reso = state_.block.OUTPUTRESO;
  const uint16_t x = c.U16(2), y = c.U16(4), w = c.U16(6), h = c.U16(8);
  switch (op) {
    case kClear:
      logo.LOGOVALID[id] = 0;
      if (id == logo.LOGOCURID) logo.LOGOONOFF = 0;
      return true;
    case kLoad: {
      if (!logo.LOGOVALID[id]) return false;
      logo.LOGOCURID = static_cast<uint8_t>(id);
      // The placement stays on the output.
      logo.HPOS[id] =
          static_cast<uint16_t>(std::clamp<int>(x, 0, std::max(0, reso.HRESO - logo.HACT[id])));
      logo.VPOS[id] =
          static_cast<uint16_t>(std::clamp<int>(y, 0, std::max(0, reso.VRESO - logo.VACT[id])));
      return true;
    }
    case kSave: {
      const int code = state_.block.CHNLDATA[3].CHNLINPUT;
      const bool signal = DeviceState::ValidInputCode(code) &&
                          state_.block.INPUTINFO.INPUTSTATE[WireInputPair(code) / 10] != 0;
      if (!signal || w < kMinLogoSize || h < kMinLogoSize) return false;
      logo.LOGOVALID[id] = 1;
      logo.HPOS[id] = 0;
      logo.VPOS[id] = 0;
      logo.HACT[id] = w;
      logo.VACT[id] = h;
      return true;
    }
    case kMark:
      logoMark_ = {c.b[10] == 1, x, y, w, h};
      return true;
    case kUsage:
      if (c.b[11] > 1) return false;
      logo.LOGOUSAGE = c.b[11];
      logo.LOGOONOFF = 0;
      return true;
    case kOnOff:
      // Only a stored logo in the logo layer can be shown.
      if (c.b[12] && (logo.LOGOUSAGE != 1 || !logo.LOGOVALID[logo.LOGOCURID % kLogoSlots]))
        return false;
      logo.LOGOONOFF = c.b[12] ? 1 : 0;
      return true;
    case kTop:
      logo.LOGOPOS = c.b[13] ? 1 : 0;
      return true;
    case kBorder:
      logo.LOGO_OPT = c.b[14] ? 1 : 0;
      return true;
    default:
      return false;
  }
}

void DeviceModel::SetLogo(const Command& c, Frames& out) {
  const bool applied = ApplyLogo(c);
  Ack(c.type, applied ? 0 : 1, out);
  // Refused or not, the host learns what the processor holds.
  ReplyRecord(15, 0, state_.block.LOGOINFO, out);
  if (LogoWaitsForDevice(c.b[0])) EventKind(4, {static_cast<uint8_t>(applied ? 0 : 1)}, out);
}

}  // namespace orv::sim
