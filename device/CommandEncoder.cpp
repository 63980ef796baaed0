#include "CommandEncoder.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <cstring>
#include <mutex>

#include "DeviceState.h"
#include "FieldRanges.h"
#include "SendGate.h"
#include "WriteEvents.h"

namespace orv {

namespace {

using Args = std::array<uint8_t, 32>;

// Writes payload bytes into the send buffer. Values wider than their slot
// contribute their low bytes, low byte first.
class Payload {
 public:
  explicit Payload(uint8_t* buffer) : bytes_(buffer) {}
  void Byte(int at, int64_t value) { bytes_[at] = static_cast<uint8_t>(value & 0xFF); }
  void Word(int at, int64_t value) {
    Byte(at, value);
    Byte(at + 1, value >> 8);
  }
  void Dword(int at, int64_t value) {
    Word(at, value);
    Word(at + 2, value >> 16);
  }

 private:
  uint8_t* bytes_;
};

// Lookups into fixed-size tables are clamped: an argument or a reply value out
// of range selects the last valid element instead of reading past the table.
int Bounded(int index, int count) {
  return std::clamp(index, 0, count - 1);
}

// GAMMA is a float of tenths: 2.3f is 2.2999999 and would truncate to 22.
// A small bias before truncating yields the intended 23 while 2.25 stays 22.
int64_t GammaTenths(float gamma) {
  const double tenths = static_cast<double>(gamma) * 10.0;
  if (!std::isfinite(tenths)) return 0;
  const double biased = tenths + std::copysign(1e-3, tenths);
  return static_cast<int64_t>(std::clamp(biased, -1e9, 1e9));
}

using Filler = void (*)(Payload&, DeviceState&, const Args&);

void FillNone(Payload&, DeviceState&, const Args&) {}

template <int N>
void FillArgs(Payload& p, DeviceState&, const Args& args) {
  for (int k = 0; k < N; ++k) p.Byte(k, args[k]);
}

// Every filler first brings the record fields it sends into their ranges
// (FieldRanges.h), so the record keeps exactly what went out.
void FillOutputTiming(Payload& p, DeviceState& s, const Args&) {
  OutputReso& o = s.block.OUTPUTRESO;
  BringIntoRange(o);
  p.Byte(0, o.RESOINDEX);
  p.Word(1, o.HRESO);
  p.Word(3, o.VRESO);
  p.Word(5, o.FPS);
  p.Word(7, o.HTOTAL);
  p.Word(9, o.HSYNC);
  p.Word(11, o.HBP);
  p.Word(13, o.VTOTAL);
  p.Word(15, o.VSYNC);
  p.Word(17, o.VBP);
  p.Byte(19, o.HPOL);
  p.Byte(20, o.VPOL);
  p.Byte(21, s.OUTPUT_DETAIL);
}

void FillPicture(Payload& p, DeviceState& s, const Args& args) {
  const int layer = Bounded(args[0], kLayers);
  PicSet& pic = s.PicSetOf(InputGroupOfLayer(s, layer), layer);
  BringIntoRange(pic);
  BringIntoRange(s.block.PICCOMMSETT);
  p.Byte(0, s.PICSET_BYTE0);
  p.Byte(1, s.block.PICCOMMSETT.PICMODE);
  p.Byte(2, s.block.PICCOMMSETT.BRIGHTLEVEL);
  p.Byte(3, GammaTenths(s.block.PICCOMMSETT.GAMMA));
  p.Byte(4, args[0]);
  p.Byte(5, s.PICSET_FLAG[layer]);
  p.Byte(6, pic.BRIGHTNESS);
  p.Byte(7, pic.CONTRAST);
  p.Byte(8, pic.SATURATION);
  p.Byte(9, pic.HUE);
  p.Byte(10, pic.SHARPNESS);
  p.Byte(11, pic.COLORTEMP);
  p.Byte(12, pic.COLORRED);
  p.Byte(13, pic.COLORGREEN);
  p.Byte(14, pic.COLORBLUE);
  p.Byte(15, s.PICSET_BYTE15);
  // The two one-shot bytes go back to their resting values after each send.
  s.PICSET_BYTE15 = 0;
  s.PICSET_BYTE0 = 1;
}

void FillLayerWindow(Payload& p, DeviceState& s, const Args& args) {
  const int layer = Bounded(args[0], kLayers);
  ChannelData& ch = s.block.CHNLDATA[layer];
  BringWindowIntoRange(ch);
  p.Byte(0, args[0]);
  p.Word(1, ch.HPOS);
  p.Word(3, ch.VPOS);
  p.Word(5, ch.HACT);
  p.Word(7, ch.VACT);
  p.Byte(9, s.LAYER_DEFAULT[layer].FULLSCREEN_REQ);
  p.Byte(10, ch.CHNLROTATION);
  // The full-screen request is a one-shot; only a real layer's flag is cleared.
  if (DeviceState::ValidLayer(args[0])) s.LAYER_DEFAULT[layer].FULLSCREEN_REQ = 0;
}

void FillCrop(Payload& p, DeviceState& s, const Args& args) {
  const int layer = Bounded(args[0], kLayers);
  Crop& crop = s.CropOf(InputGroupOfLayer(s, layer), layer);
  BringIntoRange(crop);
  p.Byte(0, args[0]);
  p.Byte(1, crop.CROPONOFF);
  p.Word(2, crop.HPOS);
  p.Word(4, crop.VPOS);
  p.Word(6, crop.HACT);
  p.Word(8, crop.VACT);
  p.Byte(10, args[1]);
}

void FillMosaic(Payload& p, DeviceState& s, const Args& args) {
  MosaicSett& m = s.block.MOSAICSETT;
  const int cell = Bounded(args[0], 4);
  BringMosaicCellIntoRange(m, cell);
  p.Byte(0, args[1]);
  p.Byte(1, m.MOSAICMODE);
  p.Byte(2, s.MOSAIC_BYTE2);
  p.Byte(3, args[0]);
  p.Dword(4, m.HPOS[cell]);
  p.Dword(8, m.VPOS[cell]);
  p.Dword(12, m.HACT[cell]);
  p.Dword(16, m.VACT[cell]);
  p.Dword(20, m.HTOTAL[cell]);
  p.Dword(24, m.VTOTAL[cell]);
  p.Byte(28, s.MOSAIC_BYTE28);
  p.Byte(29, m.MOSAIC_OPT);
}

void FillLayerInput(Payload& p, DeviceState& s, const Args& args) {
  const int layer = Bounded(args[0], kLayers);
  const int v = WireInputPair(s.block.CHNLDATA[layer].CHNLINPUT);
  p.Byte(0, args[0]);
  p.Byte(1, v / 10);
  p.Byte(2, v % 10);
}

void FillLayerOnOff(Payload& p, DeviceState& s, const Args& args) {
  const int n = args[0] + 1;  // the PIP page counts PIPs from 0, the device layers from 1
  ChannelData& ch = s.block.CHNLDATA[Bounded(n, kLayers)];
  BringAlphaIntoRange(ch);
  p.Byte(0, n);
  p.Byte(1, ch.CHNLONOFF);
  p.Byte(2, ch.CHNLALPHA);
}

void FillLogo(Payload& p, DeviceState& s, const Args& args) {
  LogoInfo& logo = s.block.LOGOINFO;
  const int op = args[0];
  const int id = op == 0 ? args[1] : (op == 1 ? logo.LOGOCURID : s.LOGO_EDIT_ID);
  const int k = Bounded(id, 4);
  const bool hostRect = logo.LOGOUSAGE == 0 || op == 3;
  uint16_t& x = hostRect ? s.LOGO_HOSTPOS[0][k] : logo.HPOS[k];
  uint16_t& y = hostRect ? s.LOGO_HOSTPOS[1][k] : logo.VPOS[k];
  uint16_t& w = hostRect ? s.LOGO_HOSTPOS[2][k] : logo.HACT[k];
  uint16_t& h = hostRect ? s.LOGO_HOSTPOS[3][k] : logo.VACT[k];
  BringLogoIntoRange(x, y, w, h);
  p.Byte(0, op);
  p.Byte(1, id);
  p.Word(2, x);
  p.Word(4, y);
  p.Word(6, w);
  p.Word(8, h);
  p.Byte(10, args[1]);
  p.Byte(11, logo.LOGOUSAGE);
  p.Byte(12, logo.LOGOONOFF);
  p.Byte(13, logo.LOGOPOS);
  p.Byte(14, logo.LOGO_OPT);
}

void FillEdid(Payload& p, DeviceState& s, const Args& args) {
  EdidInfo& e = s.block.EDIDINFO[EdidSlotOfInput(args[0])];
  BringIntoRange(e);
  p.Byte(0, e.INPUTSRC);
  p.Byte(1, args[1]);
  p.Word(2, e.HACT);
  p.Word(4, e.VACT);
  p.Word(6, e.FPS);
  p.Word(8, e.HBLANK);
  p.Word(10, e.VBLANK);
}

// The keyer page puts the channel in the last of the 32 arguments: channel 3
// is keyer 0, anything else keyer 1.
void FillKeyer(Payload& p, DeviceState& s, const Args& args) {
  const uint8_t channel = args[31];
  Keyer& k = s.block.KEYERINFO.KEYER[channel == 3 ? 0 : 1];
  BringIntoRange(k);
  p.Byte(0, k.KEYERONOFF);
  p.Byte(1, k.KEYERMODE);
  p.Byte(2, k.KEYERREDL);
  p.Byte(3, k.KEYERREDH);
  p.Byte(4, k.KEYERGREENL);
  p.Byte(5, k.KEYERGREENH);
  p.Byte(6, k.KEYERBLUEL);
  p.Byte(7, k.KEYERBLUEH);
  p.Byte(8, k.KEYERGAININ);
  p.Byte(9, k.KEYERGAINOUT);
  p.Byte(10, k.KEYERGAINBND);
  p.Byte(31, channel);
}

void FillTestPattern(Payload& p, DeviceState& s, const Args&) {
  BringTestPatternIntoRange(s.TESTPATTERN_ID);
  p.Byte(0, s.TESTPATTERN_ID);
}

void FillPixelGrab(Payload& p, DeviceState& s, const Args& args) {
  p.Byte(0, args[0]);
  p.Word(1, s.TESTPATTERN_ARGS[0]);
  p.Word(3, s.TESTPATTERN_ARGS[1]);
}

void FillVgaAdjust(Payload& p, DeviceState& s, const Args& args) {
  VgaAdjust& v = s.VGA;
  BringIntoRange(v);
  p.Byte(0, args[0]);
  p.Byte(1, v.ADJ_TARGET);
  p.Byte(2, args[1]);
  p.Word(3, v.V1);
  p.Byte(5, v.V2);
  p.Byte(6, v.B1);
  p.Byte(7, v.B2);
  p.Byte(8, args[1]);
  p.Word(9, v.W1);
  p.Word(11, v.W3);
  p.Word(13, v.W5);
  p.Word(15, v.W2);
  p.Word(17, v.W4);
  p.Word(19, v.W6);
  p.Byte(21, args[1]);
}

void FillPvwMode(Payload& p, DeviceState& s, const Args&) {
  p.Byte(0, s.block.PVWMODEINFO.PVWMODE);
}

void FillTransitionTime(Payload& p, DeviceState& s, const Args&) {
  p.Byte(0, s.block.PVWMODEINFO.PVWDTIME);
}

void FillTask(Payload& p, DeviceState& s, const Args& args) {
  TaskeInfo& info = s.block.TASKEINFO;
  Task& task = info.TASK[Bounded(args[0], kTasks)];
  const int kind = args[1];
  if (kind == 1) BringTaskTimeIntoRange(task);
  p.Byte(0, kind);
  p.Byte(1, info.TASKSTATUS);
  // Kind 1 schedules the task at its own time; any other kind carries the clock.
  const uint8_t taskTime[6] = {task.YEAR, task.MONTH, task.DAY, task.HOUR, task.MIN, task.SEC};
  const uint8_t* time = kind == 1 ? taskTime : s.DEVICE_CLOCK;
  for (int k = 0; k < 6; ++k) p.Byte(2 + k, time[k]);
  p.Byte(8, args[0]);
  p.Byte(9, task.PRESETID);
  p.Byte(10, task.OPTION);
}

void FillLoopOut(Payload& p, DeviceState& s, const Args&) {
  p.Byte(0, s.block.LOOPINFO.LOOPOUTIP);
}

void FillTake(Payload& p, DeviceState& s, const Args&) {
  p.Byte(0, s.SWITCH_MODE);
}

// The device expects the nine feathering values in this element order.
void FillFeather(Payload& p, DeviceState& s, const Args& args) {
  constexpr int kOrder[9] = {0, 1, 5, 2, 6, 3, 7, 4, 8};
  for (int k = 0; k < 9; ++k) p.Byte(k, s.FEATHER[kOrder[k]]);
  p.Byte(9, args[0]);
}

void FillGetEdid(Payload& p, DeviceState& s, const Args& args) {
  p.Byte(0, s.block.EDIDINFO[EdidSlotOfInput(args[0])].INPUTSRC);
}

// Payload builder per command type 0..72; types 73 and above carry no payload.
constexpr Filler kRows[73] = {
    FillNone,            // 0 GET_ALL
    FillArgs<2>,         // 1 PRESET
    FillOutputTiming,    // 2 SET_OUTPUT_TIMING
    FillPicture,         // 3 SET_PICTURE
    FillLayerWindow,     // 4 SET_LAYER_WINDOW
    FillCrop,            // 5 SET_CROP
    FillMosaic,          // 6 SET_MOSAIC
    FillLayerInput,      // 7 SET_LAYER_INPUT
    FillLayerOnOff,      // 8 SET_LAYER_ONOFF
    FillLogo,            // 9 SET_LOGO
    FillEdid,            // 10 SET_EDID
    FillKeyer,           // 11 SET_KEYER
    FillTestPattern,     // 12 SET_TEST_PATTERN
    FillPixelGrab,       // 13 SET_PIXEL_GRAB
    FillVgaAdjust,       // 14 SET_VGA_ADJUST
    FillPvwMode,         // 15 SET_PVW_MODE
    FillTransitionTime,  // 16 SET_TRANSITION_TIME
    FillTask,            // 17 SET_TASK
    FillLoopOut,         // 18 SET_LOOP_OUT
    FillNone,            // 19 FACTORY_RESET
    FillTake,            // 20 TAKE
    FillArgs<2>,         // 21 SET_SYNC
    FillNone,            // 22 WRITE_ALL (sent as a block)
    FillArgs<10>,        // 23 CAPTION_A
    FillArgs<10>,        // 24 CAPTION_B
    FillArgs<9>,         // 25 SET_VIDEO_ENCODER
    FillNone,            // 26
    FillNone,            // 27
    FillNone,            // 28
    FillNone,            // 29
    FillNone,            // 30
    FillNone,            // 31
    FillArgs<18>,        // 32 ARGS18
    FillArgs<2>,         // 33 SIGNAL_SWITCH
    FillArgs<2>,         // 34 MEDIA
    FillFeather,         // 35 SET_FEATHER
    FillArgs<1>,         // 36 FREEZE
    FillNone,            // 37
    FillNone,            // 38
    FillNone,            // 39
    FillNone,            // 40
    FillNone,            // 41
    FillNone,            // 42
    FillNone,            // 43
    FillNone,            // 44
    FillNone,            // 45
    FillNone,            // 46
    FillNone,            // 47
    FillArgs<1>,         // 48 GET_INPUT_TIMING
    FillArgs<1>,         // 49 GET_VGA_ADJUST
    FillGetEdid,         // 50 GET_EDID
    FillArgs<1>,         // 51 GET_TASKS
    FillArgs<1>,         // 52 GET_PICTURE
    FillNone,            // 53
    FillArgs<1>,         // 54 GET_LAYER_WINDOW
    FillArgs<1>,         // 55 QUERY55
    FillArgs<1>,         // 56 GET_CROP
    FillNone,            // 57 GET_MOSAIC
    FillNone,            // 58 GET_LOGO
    FillArgs<1>,         // 59 GET_KEYER
    FillNone,            // 60 GET_LAYERS
    FillNone,            // 61
    FillNone,            // 62 QUERY62
    FillNone,            // 63 GET_PVW_MODE
    FillNone,            // 64
    FillNone,            // 65 QUERY65
    FillArgs<1>,         // 66 VIDEO_ENCODER_CTRL
    FillNone,            // 67 QUERY67
    FillNone,            // 68 QUERY68
    FillArgs<1>,         // 69 SEARCH
    FillArgs<1>,         // 70 GET_CAPTION
    FillArgs<32>,        // 71 ARGS32
    FillArgs<32>,        // 72 ARGS32
};

std::atomic<CommLibrary*> g_library{nullptr};

// The one send buffer and the lock that keeps fill-and-send of one command
// from interleaving with another's. Taken after the state lock, never before.
std::mutex& SendMutex() {
  static std::mutex mutex;
  return mutex;
}

uint8_t g_sendBuffer[kCommandBufferSize];

std::atomic<bool> g_linkDown{false};

std::mutex& RefusalMutex() {
  static std::mutex mutex;
  return mutex;
}

RefusalHandler& RefusalSlot() {
  static RefusalHandler handler;
  return handler;
}

}  // namespace

void SetLinkDown(bool down) {
  g_linkDown.store(down);
}

bool LinkDown() {
  return g_linkDown.load();
}

void SetRefusalHandler(RefusalHandler handler) {
  std::lock_guard lock(RefusalMutex());
  RefusalSlot() = std::move(handler);
}

void SetCommLibrary(CommLibrary* library) {
  g_library.store(library);
}
CommLibrary* GetCommLibrary() {
  return g_library.load();
}

std::array<uint8_t, kCommandBufferSize> FillCommandPayload(
    uint16_t type, DeviceState& record, const std::array<uint8_t, kCommandBufferSize>& args) {
  std::array<uint8_t, kCommandBufferSize> bytes;
  bytes.fill(0x55);
  if (type < std::size(kRows)) {
    Payload payload(bytes.data());
    kRows[type](payload, record, args);
  }
  return bytes;
}

int SendCommandArgs(uint16_t type, std::initializer_list<uint8_t> args) {
  return SendCommandArgList(type, std::span<const uint8_t>(args.begin(), args.size()));
}

int SendCommandArgList(uint16_t type, std::span<const uint8_t> args) {
  Args a{};
  std::copy_n(args.begin(), std::min(args.size(), a.size()), a.begin());

  std::unique_lock<std::mutex> sendLock(SendMutex(), std::defer_lock);
  std::array<uint8_t, kParamBlockSize> blockCopy;
  CommLibrary* library = g_library.load();
  const bool refused = g_linkDown.load() && type != SEARCH;
  {
    // The state lock covers only the reads and side effects; the library call
    // below runs under the send lock alone unless the caller holds a guard.
    auto state = State();
    sendLock.lock();
    std::memset(g_sendBuffer, 0x55, sizeof g_sendBuffer);
    if (type < std::size(kRows)) {
      Payload payload(g_sendBuffer);
      kRows[type](payload, *state, a);
    }
    if (type == WRITE_ALL) std::memcpy(blockCopy.data(), &state->block, kParamBlockSize);
    if (library != nullptr && !refused) {
      SentCommand sent;
      sent.type = type;
      sent.args = a;
      std::copy_n(g_sendBuffer, sent.payload.size(), sent.payload.begin());
      sent.record = &*state;
      NotifySent(sent);
    }
  }

  if (library == nullptr) return 0;
  if (refused) {
    RefusalHandler handler;
    {
      std::lock_guard lock(RefusalMutex());
      handler = RefusalSlot();
    }
    if (handler) handler(type);
    return 0;
  }
  const uint8_t address = DeviceAddress();
  if (type == WRITE_ALL) return library->SendBlock(blockCopy.data(), address);
  return library->SendTyped(type, g_sendBuffer, address);
}

}  // namespace orv
