// What the processor does with each command type: apply it to its state and
// answer. The table at the end maps command types to handlers; a type with
// no row is counted and left unanswered, as a real unit ignores commands it
// does not know.
//
// Setting commands are acknowledged with data type 23 (command type, status
// 0 = applied, 1 = refused) and followed by the report of the changed
// setting that the host's page refreshes from.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

#include "DeviceModel.h"
#include "OutputAndPicture.h"
#include "PreviewPicture.h"
#include "ReplyLayout.h"
#include "TestPattern.h"
#include "WireFormat.h"

namespace orv::sim {

namespace {

bool ValidLayer(int layer) {
  return layer >= 0 && layer < kLayers;
}

// SET_LAYER_INPUT names an input by a two-digit value; the split DP halves
// share their tens digit with the whole input.
int InputCodeOfPair(int tens, int units, const ParamBlock& p) {
  if (tens < 0 || tens > 7) return -1;
  if (units == 0) {
    if (tens == 4 && p.DPMDE[0]) return 8;
    if (tens == 6 && p.DPMDE[1]) return 10;
    return tens;
  }
  if (units == 1 && tens == 4) return 9;
  if (units == 1 && tens == 6) return 11;
  return -1;
}

// The colour ranges (red, green, blue: low, high) a fixed key mode keys
// out; entry 0, the user mode, takes the ranges sent.
constexpr std::array<std::array<uint8_t, 6>, 13> kKeyModeRanges = {{
    {0, 255, 0, 255, 0, 255},        // user
    {0, 32, 0, 32, 0, 32},           // white on black 1
    {0, 64, 0, 64, 0, 64},           // white on black 2
    {224, 255, 224, 255, 224, 255},  // black on white 1
    {192, 255, 192, 255, 192, 255},  // black on white 2
    {0, 32, 0, 16, 0, 32},           // green on black 1
    {0, 64, 0, 32, 0, 64},           // green on black 2
    {224, 255, 240, 255, 224, 255},  // green on white 1
    {192, 255, 224, 255, 192, 255},  // green on white 2
    {0, 16, 0, 32, 0, 32},           // red on black 1
    {0, 32, 0, 64, 0, 64},           // red on black 2
    {240, 255, 224, 255, 224, 255},  // red on white 1
    {224, 255, 192, 255, 192, 255},  // red on white 2
}};

constexpr uint16_t kMinCropSize = 32;

// Keeps one axis of a crop at least the minimum and, with a known source
// size, inside the source.
void FitCropAxis(uint16_t& start, uint16_t& extent, uint16_t size) {
  extent = std::max(extent, kMinCropSize);
  if (size == 0) return;
  if (extent > size) extent = std::max(size, kMinCropSize);
  if (start + extent > size) start = static_cast<uint16_t>(size > extent ? size - extent : 0);
}

constexpr int32_t kVgaPort = 3;

// EDID blanking the processor chooses: reduced blanking, 160 pixels, and
// at least 460 microseconds of lines.
constexpr uint16_t kReducedHBlank = 160;
uint16_t ReducedVBlank(uint16_t height, uint16_t fpsHundredths) {
  const double frame = 100.0 / fpsHundredths;  // seconds
  const double share = 460e-6 / frame;
  return static_cast<uint16_t>(std::ceil(height * share / (1.0 - share)));
}

// The sampling clock (total width) of the common VESA modes by active width.
int32_t ClockOfWidth(int width) {
  struct Row {
    int width;
    int32_t total;
  };
  static constexpr Row kRows[] = {{640, 800},   {800, 1056},  {1024, 1344},
                                  {1280, 1688}, {1360, 1792}, {1440, 1904},
                                  {1600, 2160}, {1680, 2240}, {1920, 2200}};
  for (const auto& r : kRows) {
    if (r.width == width) return r.total;
  }
  return std::clamp(width * 21 / 16, 500, 4096);
}
constexpr int32_t kFoundPhase = 24;
constexpr std::array<uint16_t, 6> kCalibratedConverter{64, 512, 64, 512, 64, 512};

}  // namespace

// Read-back and discovery -------------------------------------------------

// The image, then the preset flags: the host's wait box closes on those.
void DeviceModel::GetAll(const Command&, Frames& out) {
  ReplyRecord(2, 0, state_.block, out);
  Reply(17, 0, 0, presetFlags_, {}, out);
}

// Identity first (the host lists the machine), then the hello (the host
// connects a single listed machine).
void DeviceModel::Search(const Command&, Frames& out) {
  const std::string ip = ipText();
  out.push_back(wire::EncodeIdentityFrame(address_, ip, mac_));
  const uint8_t hello[] = {1};
  Reply(0, 0, 0, hello, {}, out);
}

// Presets: 2 saves the image under the number, 1 (and 0, the templates
// mode) loads it back when that preset holds data.
void DeviceModel::Preset(const Command& c, Frames& out) {
  const int op = c.b[0];
  const int n = c.b[1];
  if (n >= kPresets || op > 2) return Ack(c.type, 1, out, kRefusedOutOfRange);
  if (op == 2) {
    presets_[n] = state_.block;
    presetFlags_[n] = 1;
    Ack(c.type, 0, out);
    Reply(17, 0, 0, presetFlags_, {}, out);
    return;
  }
  if (!presetFlags_[n]) return Ack(c.type, 1, out, kRefusedEmptyPreset);
  RestorePreset(n);
  Ack(c.type, 0, out);
}

// Settings ----------------------------------------------------------------

// The output stage checks the timing (OutputAndPicture.h); layer windows
// are relative to the output, so they are fitted to a new raster. A refused
// timing is reported too: the host reads back the timing that is kept.
void DeviceModel::SetOutputTiming(const Command& c, Frames& out) {
  uint8_t reason = 0;
  const bool applied = ApplyOutputTiming(state_.block, c.b, &reason);
  Ack(c.type, applied ? 0 : 1, out, reason);
  const uint8_t notify[] = {0};
  Reply(9, 0, 0, notify, {}, out);
}

void DeviceModel::SetPicture(const Command& c, Frames& out) {
  const int layer = c.b[4];
  if (!ValidLayer(layer)) return Ack(c.type, 1, out);
  ApplyPictureCommand(state_.block, c.b, layer, GroupOf(layer));
  Ack(c.type, 0, out);
  ReplyPicture(layer, out);
}

void DeviceModel::SetLayerWindow(const Command& c, Frames& out) {
  const int layer = c.b[0];
  if (!ValidLayer(layer)) return Ack(c.type, 1, out);
  auto& w = state_.block.CHNLDATA[layer];
  if (c.b[9] == 1) {  // full screen asked
    w.HPOS = 0;
    w.VPOS = 0;
    w.HACT = state_.block.OUTPUTRESO.HRESO;
    w.VACT = state_.block.OUTPUTRESO.VRESO;
  } else {
    w.HPOS = c.U16(1);
    w.VPOS = c.U16(3);
    w.HACT = c.U16(5);
    w.VACT = c.U16(7);
  }
  w.CHNLROTATION = c.b[10];
  Ack(c.type, 0, out);
  ReplyLayerWindow(layer, out);
}

// Operation 1 resets the crop to the whole source. A crop is at least
// 32 x 32 and, while the source size is known, kept inside the source: the
// extent is lowered to the source, then the start to what is left.
void DeviceModel::SetCrop(const Command& c, Frames& out) {
  const int layer = c.b[0];
  if (!ValidLayer(layer)) return Ack(c.type, 1, out);
  auto& crop = state_.block.CROP[GroupLayerIndex(GroupOf(layer), layer)];
  crop.CROPONOFF = c.b[1];
  if (c.b[10] == 1) {
    crop.HPOS = crop.VPOS = 0;
    crop.HACT = crop.HTOTAL;
    crop.VACT = crop.VTOTAL;
  } else {
    crop.HPOS = c.U16(2);
    crop.VPOS = c.U16(4);
    crop.HACT = c.U16(6);
    crop.VACT = c.U16(8);
  }
  FitCropAxis(crop.HPOS, crop.HACT, crop.HTOTAL);
  FitCropAxis(crop.VPOS, crop.VACT, crop.VTOTAL);
  Ack(c.type, 0, out);
  ReplyCrop(layer, out);
}

void DeviceModel::SetLayerInput(const Command& c, Frames& out) {
  const int layer = c.b[0];
  const int code = InputCodeOfPair(c.b[1], c.b[2], state_.block);
  if (!ValidLayer(layer) || code < 0) return Ack(c.type, 1, out);
  state_.block.CHNLDATA[layer].CHNLINPUT = static_cast<uint8_t>(code);
  Ack(c.type, 0, out);
  ReplyLayers(out);
}

void DeviceModel::SetLayerOnOff(const Command& c, Frames& out) {
  const int layer = c.b[0];
  if (!ValidLayer(layer)) return Ack(c.type, 1, out);
  state_.block.CHNLDATA[layer].CHNLONOFF = c.b[1];
  state_.block.CHNLDATA[layer].CHNLALPHA = c.b[2];
  Ack(c.type, 0, out);
  ReplyLayers(out);
}

// Operation 0 restores the default timing, 1 applies size and refresh with
// a blanking the processor chooses (reduced blanking), 2 applies the given
// blanking too. The result is event kind 0: [1] input code, [2] 1 = applied,
// 0 = refused (no such EDID slot, values out of range, or refusal chosen on
// the control line); an applied EDID is reported (6) after the event.
void DeviceModel::SetEdid(const Command& c, Frames& out) {
  const uint8_t code = c.b[0];
  const int mode = c.b[1];
  EdidInfo* slot = nullptr;
  for (auto& e : state_.block.EDIDINFO) {
    if (e.INPUTSRC == code) {
      slot = &e;
      break;
    }
  }
  const uint16_t w = c.U16(2), h = c.U16(4), fps = c.U16(6);
  const bool inRange =
      w >= 240 && w <= 3840 && h >= 240 && h <= 3840 && fps >= 2000 && fps <= 12100;
  const bool valid = slot && !edidRefuses && mode <= 2 && (mode == 0 || inRange);
  if (valid) {
    if (mode == 0) {
      *slot = {code, 0, 1920, 1080, 6000, 280, 45};
    } else if (mode == 1) {
      *slot = {code, 0, w, h, fps, kReducedHBlank, ReducedVBlank(h, fps)};
    } else {
      *slot = {code, 0, w, h, fps, c.U16(8), c.U16(10)};
    }
  }
  EventKind(0, {code, static_cast<uint8_t>(valid ? 1 : 0)}, out);
  if (valid) ReplyEdid(code, out);
}

// Byte 31 names the keyer by its channel (3 or 1). A fixed key mode takes
// the device's own colour ranges; the user mode keeps the ranges sent. The
// gains in and out go up to 64.
void DeviceModel::SetKeyer(const Command& c, Frames& out) {
  const uint8_t channel = c.b[31];
  const int mode = c.b[1];
  if ((channel != 3 && channel != 1) || mode >= static_cast<int>(kKeyModeRanges.size())) {
    return Ack(c.type, 1, out);
  }
  auto& k = state_.block.KEYERINFO.KEYER[channel == 3 ? 0 : 1];
  k.KEYERONOFF = c.b[0];
  k.KEYERMODE = mode;
  std::array<uint8_t, 6> ranges{};
  std::copy_n(c.b.begin() + 2, 6, ranges.begin());
  if (mode != 0) ranges = kKeyModeRanges[mode];
  k.KEYERREDL = ranges[0];
  k.KEYERREDH = ranges[1];
  k.KEYERGREENL = ranges[2];
  k.KEYERGREENH = ranges[3];
  k.KEYERBLUEL = ranges[4];
  k.KEYERBLUEH = ranges[5];
  k.KEYERGAININ = std::min<uint8_t>(c.b[8], 64);
  k.KEYERGAINOUT = std::min<uint8_t>(c.b[9], 64);
  k.KEYERGAINBND = c.b[10];
  Ack(c.type, 0, out);
  ReplyKeyer(channel, out);
}

// 0 switches the pattern off; a number that is no pattern is refused.
void DeviceModel::SetTestPattern(const Command& c, Frames& out) {
  if (c.b[0] != 0 && !IsTestPattern(c.b[0])) return Ack(c.type, 1, out);
  testPattern_ = c.b[0];
  Ack(c.type, 0, out);
}

// Pixel grab, [0] 1 = on at (x, y) = bytes 1-2, 3-4: answers (3) the colour
// of that pixel of the composed output, red in the low and green in the high
// half of the u32, blue in the u16; a position outside the output reads its
// nearest pixel. The model keeps no clock, so moving parts stand at time zero.
// [0] 0 switches the grab off and is only acknowledged.
void DeviceModel::SetPixelGrab(const Command& c, Frames& out) {
  if (c.b[0] > 1) return Ack(c.type, 1, out);
  Ack(c.type, 0, out);
  if (c.b[0] == 0) return;
  const Rgb colour = OutputPixel(state_.block, testPattern_, 0, c.U16(1), c.U16(3));
  uint8_t data[6];
  wire::PutU32(data, colour.r | (static_cast<uint32_t>(colour.g) << 16));
  wire::PutU16(data + 4, colour.b);
  Reply(3, 0, 0, data, {}, out);
}

// SET_VGA_ADJUST (a = [0], b = [2]) for the slot in [1]; only a VGA port
// can be adjusted. The values (0, 0) and (1, 0), the converter reset (1, 2)
// and DDC on/off (2, on) are acknowledged and reported (5) at once; a slot
// that is not VGA is refused and its unchanged values reported. The
// automatic adjustment (0, 1) and the calibration (1, 1) take their time.
void DeviceModel::SetVgaAdjust(const Command& c, Frames& out) {
  const int op = c.b[0], arg = c.b[2], slot = c.b[1];
  if (arg == 1 && (op == 0 || op == 1)) {
    StartAdjustment(slot, op == 0, out);
    return;
  }
  if (!IsVgaSlot(slot)) {
    Ack(c.type, 1, out);
    if (slot < kInputSlots) ReplyVga(slot, out);
    return;
  }
  auto& v = vga_[slot];
  if (op == 0 && arg == 0) {
    v.v1 = c.U16(3);
    v.v2 = c.b[5];
    v.b1 = static_cast<int8_t>(c.b[6]);
    v.b2 = static_cast<int8_t>(c.b[7]);
  } else if (op == 1 && arg == 0) {
    v.w = {c.U16(9), c.U16(15), c.U16(11), c.U16(17), c.U16(13), c.U16(19)};
  } else if (op == 1 && arg == 2) {
    v.w = VgaAdjustRecord{}.w;
  } else if (op == 2 && arg <= 1) {
    v.ddc = arg == 1;
  } else {
    return Ack(c.type, 1, out);
  }
  Ack(c.type, 0, out);
  ReplyVga(slot, out);
}

bool DeviceModel::IsVgaSlot(int slot) const {
  return slot >= 0 && slot < kInputSlots && state_.block.INPUTINFO.INPUTSRC[slot] == kVgaPort;
}

// Taken at once (ack); the end comes later as the report of the slot (5)
// and event kind 1: [1] 1 = done, 0 = failed, [2] slot.
void DeviceModel::StartAdjustment(int slot, bool automatic, Frames& out) {
  Ack(14, 0, out);
  deferred_.push_back(
      {automatic ? autoAdjustMs : calibrateMs,
       [this, slot, automatic](Frames& later) { FinishAdjustment(slot, automatic, later); }});
}

// The automatic adjustment needs a signal to measure: it finds the clock
// of the detected mode's total width and a phase; the calibration sets the
// converter's offsets and gains to their calibrated values.
void DeviceModel::FinishAdjustment(int slot, bool automatic, Frames& out) {
  bool ok = IsVgaSlot(slot) && !vgaAdjustFails;
  if (ok && automatic) ok = state_.block.INPUTINFO.INPUTSTATE[slot] != 0;
  if (ok) {
    auto& v = vga_[slot];
    if (automatic) {
      v.v1 = ClockOfWidth(state_.block.INPUTINFO.INPUTRESO[slot].INPUTRESOHACT);
      v.v2 = kFoundPhase;
      v.b1 = 0;
      v.b2 = 0;
    } else {
      v.w = kCalibratedConverter;
    }
  }
  if (slot >= 0 && slot < kInputSlots) ReplyVga(slot, out);
  EventKind(1, {static_cast<uint8_t>(ok ? 1 : 0), static_cast<uint8_t>(slot)}, out);
}

// Entering a program/preview mode puts every layer that is not on program
// on preview, so that each layer shows in one of the two halves. The switch
// ends with event kind 3 (layers re-arranged), after which the host re-reads
// the mode and the layers; modes above 2 are refused.
void DeviceModel::SetPvwMode(const Command& c, Frames& out) {
  if (c.b[0] > 2) return Ack(c.type, 1, out);
  auto& pv = state_.block.PVWMODEINFO;
  pv.PVWMODE = c.b[0];
  if (pv.PVWMODE == 1 || pv.PVWMODE == 2) {
    for (int i = 0; i < kLayers; ++i) pv.PVWSTATE[i] = pv.PGMSTATE[i] != 0 ? 0 : 1;
  }
  Ack(c.type, 0, out);
  ReplyRecord(20, 0, state_.block.PVWMODEINFO, out);
  EventKind(3, {0}, out);
}

// The fade of the next takes, an index 0..7 of FadeMilliseconds; another
// index is held as sent and fades for no time.
void DeviceModel::SetTransitionTime(const Command& c, Frames& out) {
  state_.block.PVWMODEINFO.PVWDTIME = c.b[0];
  Ack(c.type, 0, out);
  ReplyRecord(20, 0, state_.block.PVWMODEINFO, out);
}

void DeviceModel::SetLoopOut(const Command& c, Frames& out) {
  state_.block.LOOPINFO.LOOPOUTIP = c.b[0];
  Ack(c.type, 0, out);
  Reply(18, 0, 0, std::span(&state_.block.LOOPINFO.LOOPOUTIP, 1), {}, out);
}

// The start image comes back; event kind 6 with [1] = 1 tells the host to
// read everything again.
void DeviceModel::FactoryReset(const Command& c, Frames& out) {
  ResetToFactory();
  Ack(c.type, 0, out);
  EventKind(6, {1}, out);
}

// Captions: the caption peer holds them (CaptionPeer.h).
void DeviceModel::CaptionA(const Command& c, Frames& out) {
  Answer(c.type, captions_.CaptionA(c.b), out);
}

void DeviceModel::CaptionB(const Command& c, Frames& out) {
  Answer(c.type, captions_.CaptionB(c.b), out);
}

void DeviceModel::SetVideoEncoder(const Command& c, Frames& out) {
  vencFps_ = c.b[1];
  vencCode_ = c.b[2];
  vencKbps_ = static_cast<uint16_t>((c.b[3] << 8) | c.b[4]);
  Ack(c.type, 0, out);
  ReplyEncoder(2, out);
}

void DeviceModel::AckOnly(const Command& c, Frames& out) {
  Ack(c.type, 0, out);
}

// SET_FEATHER lists the nine elements in the order 0, 1, 5, 2, 6, 3, 7, 4, 8.
// The switch is 0 or 1, edge shapes 0..4 and levels 0..3; a frame with any
// other value is refused and changes nothing.
void DeviceModel::SetFeather(const Command& c, Frames& out) {
  constexpr int kElementOfByte[9] = {0, 1, 5, 2, 6, 3, 7, 4, 8};
  std::array<int32_t, 9> next{};
  for (int i = 0; i < 9; ++i) next[kElementOfByte[i]] = c.b[i];
  bool valid = next[0] <= 1;
  for (int layer = 0; layer < 4; ++layer)
    valid = valid && next[1 + layer] <= 4 && next[5 + layer] <= 3;
  if (valid) feather_ = next;
  Ack(c.type, valid ? 0 : 1, out);
  uint8_t data[36];
  std::memcpy(data, feather_.data(), sizeof data);
  Reply(30, 0, 0, data, {}, out);
}

void DeviceModel::Freeze(const Command& c, Frames& out) {
  state_.block.FREEZE_STATE = c.b[0];
  Ack(c.type, 0, out);
  Reply(31, 0, 0, std::span(&state_.block.FREEZE_STATE, 1), {}, out);
}

// Requests ------------------------------------------------------------------

// One slot, or 0xFF for every slot that carries a signal.
void DeviceModel::GetInputTiming(const Command& c, Frames& out) {
  if (c.b[0] == 0xFF) {
    for (int s = 0; s < kInputSlots; ++s) {
      if (state_.block.INPUTINFO.INPUTSTATE[s]) ReplyInputTiming(s, out);
    }
  } else if (c.b[0] < kInputSlots) {
    ReplyInputTiming(c.b[0], out);
  }
}

void DeviceModel::GetVgaAdjust(const Command& c, Frames& out) {
  if (c.b[0] < kInputSlots) ReplyVga(c.b[0], out);
}

void DeviceModel::GetEdid(const Command& c, Frames& out) {
  ReplyEdid(c.b[0], out);
}

void DeviceModel::GetPicture(const Command& c, Frames& out) {
  if (ValidLayer(c.b[0])) ReplyPicture(c.b[0], out);
}

void DeviceModel::GetLayerWindow(const Command& c, Frames& out) {
  if (ValidLayer(c.b[0])) ReplyLayerWindow(c.b[0], out);
}

void DeviceModel::GetCrop(const Command& c, Frames& out) {
  if (ValidLayer(c.b[0])) ReplyCrop(c.b[0], out);
}

void DeviceModel::GetMosaic(const Command&, Frames& out) {
  ReplyRecord(12, 0, state_.block.MOSAICSETT, out);
}

void DeviceModel::GetLogo(const Command&, Frames& out) {
  ReplyRecord(15, 0, state_.block.LOGOINFO, out);
}

void DeviceModel::GetKeyer(const Command& c, Frames& out) {
  ReplyKeyer(c.b[0], out);
}

void DeviceModel::GetLayers(const Command&, Frames& out) {
  ReplyLayers(out);
}

void DeviceModel::GetPvwMode(const Command&, Frames& out) {
  ReplyRecord(20, 0, state_.block.PVWMODEINFO, out);
}

void DeviceModel::GetCaption(const Command& c, Frames& out) {
  if (c.b[0] < 4) Reply(25, 0, 0, captions_.Record(c.b[0]), {}, out);
}

// Encoder exchange: 2 asks for the settings, 0 for the address, 1 for the
// version.
void DeviceModel::VideoEncoderCtrl(const Command& c, Frames& out) {
  if (c.b[0] <= 2) {
    ReplyEncoder(c.b[0], out);
  } else {
    Ack(c.type, 1, out);
  }
}

// The untied queries: the expansion board and the preview flag (62), the DP
// modes (65), the input state (67), system information and loop-out (68),
// the feathering (73).
void DeviceModel::Query62(const Command&, Frames& out) {
  ReplyRecord(29, 0, state_.block.COMPOSITEBOARD, out);
  const uint8_t flag[] = {static_cast<uint8_t>(previewOffered ? 1 : 0)};
  Reply(1, 0, 0, flag, {}, out);
}

void DeviceModel::Query65(const Command&, Frames& out) {
  for (uint8_t port = 0; port < 2; ++port) {
    const uint8_t data[2] = {port, state_.block.DPMDE[port]};
    Reply(21, 0, 0, data, {}, out);
  }
}

void DeviceModel::Query67(const Command&, Frames& out) {
  Reply(22, 0, 0, state_.block.INPUTINFO.INPUTSTATE, {}, out);
}

void DeviceModel::Query68(const Command&, Frames& out) {
  Reply(19, 0, 0, sysinfo_, {}, out);
  Reply(18, 0, 0, std::span(&state_.block.LOOPINFO.LOOPOUTIP, 1), {}, out);
}

void DeviceModel::Query73(const Command&, Frames& out) {
  uint8_t data[36];
  std::memcpy(data, feather_.data(), sizeof data);
  Reply(30, 0, 0, data, {}, out);
}

// The table -------------------------------------------------------------------

DeviceModel::Handler DeviceModel::HandlerOf(uint16_t type) {
  struct Row {
    uint16_t type;
    Handler handler;
  };
  using M = DeviceModel;
  static constexpr Row kRows[] = {
      {0, &M::GetAll},
      {1, &M::Preset},
      {2, &M::SetOutputTiming},
      {3, &M::SetPicture},
      {4, &M::SetLayerWindow},
      {5, &M::SetCrop},
      {6, &M::SetMosaic},
      {7, &M::SetLayerInput},
      {8, &M::SetLayerOnOff},
      {9, &M::SetLogo},
      {10, &M::SetEdid},
      {11, &M::SetKeyer},
      {12, &M::SetTestPattern},
      {13, &M::SetPixelGrab},
      {14, &M::SetVgaAdjust},
      {15, &M::SetPvwMode},
      {16, &M::SetTransitionTime},
      {17, &M::SetTask},
      {18, &M::SetLoopOut},
      {19, &M::FactoryReset},
      {20, &M::Take},
      {21, &M::SetSync},
      {23, &M::CaptionA},
      {24, &M::CaptionB},
      {25, &M::SetVideoEncoder},
      {32, &M::AckOnly},
      {33, &M::SignalSwitch},
      {34, &M::Media},
      {35, &M::SetFeather},
      {36, &M::Freeze},
      {48, &M::GetInputTiming},
      {49, &M::GetVgaAdjust},
      {50, &M::GetEdid},
      {51, &M::GetTasks},
      {52, &M::GetPicture},
      {54, &M::GetLayerWindow},
      {55, &M::AckOnly},
      {56, &M::GetCrop},
      {57, &M::GetMosaic},
      {58, &M::GetLogo},
      {59, &M::GetKeyer},
      {60, &M::GetLayers},
      {62, &M::Query62},
      {63, &M::GetPvwMode},
      {65, &M::Query65},
      {66, &M::VideoEncoderCtrl},
      {67, &M::Query67},
      {68, &M::Query68},
      {69, &M::Search},
      {70, &M::GetCaption},
      {71, &M::AckOnly},
      {72, &M::AckOnly},
      {73, &M::Query73},
  };
  for (const auto& row : kRows) {
    if (row.type == type) return row.handler;
  }
  return nullptr;
}

}  // namespace orv::sim
