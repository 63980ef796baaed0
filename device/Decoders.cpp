#include "Decoders.h"

#include <array>
#include <atomic>
#include <cstring>
#include <span>
#include <string>

#include "CommandEncoder.h"
#include "DeviceState.h"
#include "EventTable.h"
#include "ImageCapture.h"
#include "InputRules.h"
#include "ReadBack.h"
#include "ReplySink.h"
#include "WriteEvents.h"

namespace orv {

namespace {

using Bytes = std::span<const uint8_t>;

// --- Statistics -------------------------------------------------------------

struct Counters {
  std::array<std::atomic<uint64_t>, kReplyDataTypes> handled{};
  std::array<std::atomic<uint64_t>, kReplyDataTypes> droppedShort{};
  std::array<std::atomic<uint64_t>, kReplyDataTypes> droppedLong{};
  std::array<std::atomic<uint64_t>, kReplyDataTypes> outOfRange{};
  std::array<std::atomic<uint64_t>, kReplyDataTypes> otherMachine{};
  std::atomic<uint64_t> unknownType{0};
};

Counters& Stats() {
  static Counters counters;
  return counters;
}

// --- Little-endian readers ------------------------------------------------------

uint16_t U16(Bytes d, std::size_t at) {
  return static_cast<uint16_t>(d[at] | (d[at + 1] << 8));
}

uint32_t U32(Bytes d, std::size_t at) {
  return uint32_t{d[at]} | (uint32_t{d[at + 1]} << 8) | (uint32_t{d[at + 2]} << 16) |
         (uint32_t{d[at + 3]} << 24);
}

int32_t I32(Bytes d, std::size_t at) {
  return static_cast<int32_t>(U32(d, at));
}

template <class T>
void CopyInto(T& target, Bytes d) {
  static_assert(std::is_trivially_copyable_v<T>);
  std::memcpy(&target, d.data(), sizeof(T));
}

// --- Payload size rules -----------------------------------------------------------

enum class Shape : uint8_t {
  Fixed,   // data exactly dataSize bytes, extra exactly extraSize bytes
  Count3,  // data = 3 bytes per item of arg1, no extra
  Stream,  // at least one data byte, no extra
  Text,    // 1..15 characters, extra empty or extraSize bytes
};

enum class SizeVerdict { Fits, Short, Long };

// --- Decoder results ------------------------------------------------------------

enum class Outcome : uint8_t {
  Applied,
  AppliedOutOfRange,  // an index or count named nothing; the rest was applied
  DroppedOutOfRange,  // an index named nothing; no refresh, no ack
  Ignored,            // not meant for us: nothing at all happens
};

struct Verdict {
  Outcome outcome = Outcome::Applied;
  int refreshArg = 0;
};

// Who is told once the record holds the reply.
enum class Notify : uint8_t { None, Refresh, VideoSettings, Board };

// Whose replies a row takes. After a search the panel has a link to every
// machine it found; only the connected device writes the record, the others
// serve the machine list and its liveness (their hello, acknowledge and
// identity touch only the reply fields the search window reads).
enum class From : uint8_t { Device, AnyMachine };

using ApplyFunction = Verdict (*)(const Reply&);
using AfterFunction = void (*)(const Reply&);

struct ReplyRow {
  const char* name;
  Shape shape;
  uint16_t dataSize;
  uint16_t extraSize;
  ApplyFunction apply;
  Notify notify;
  AfterFunction after;  // follow-up requests and pauses, after the notification
  bool busyOff;
  bool ack;
  From from;
};

SizeVerdict Compare(std::size_t have, std::size_t want) {
  if (have < want) return SizeVerdict::Short;
  if (have > want) return SizeVerdict::Long;
  return SizeVerdict::Fits;
}

SizeVerdict CheckSize(const ReplyRow& row, const Reply& r) {
  const std::size_t data = r.data.size();
  const std::size_t extra = r.extra.size();
  switch (row.shape) {
    case Shape::Fixed: {
      const SizeVerdict d = Compare(data, row.dataSize);
      return d != SizeVerdict::Fits ? d : Compare(extra, row.extraSize);
    }
    case Shape::Count3: {
      if (r.arg1 < 0) return SizeVerdict::Long;
      const SizeVerdict d = Compare(data, 3 * static_cast<std::size_t>(r.arg1));
      return d != SizeVerdict::Fits ? d : Compare(extra, 0);
    }
    case Shape::Stream:
      if (data == 0) return SizeVerdict::Short;
      return Compare(extra, 0);
    case Shape::Text:
      if (data == 0) return SizeVerdict::Short;
      if (data > row.dataSize) return SizeVerdict::Long;
      if (extra == 0 || extra == row.extraSize) return SizeVerdict::Fits;
      return Compare(extra, row.extraSize);
  }
  return SizeVerdict::Short;
}

// The connected device's replies: on a network those sent from its device
// address (the search's 0xFF names no device, so then none), on the serial
// line, which is point-to-point, every reply.
bool FromConnectedDevice(uint8_t source) {
  if (source == DeviceAddress()) return true;
  return State()->NET_MODE == 0;
}

// --- Acknowledge ----------------------------------------------------------------

void NoteReply(uint8_t address) {
  {
    auto s = State();
    s->REPLY_KIND = 1;
    s->REPLY_ADDR = address;
  }
  GetReplySink().RefreshAfterReply(23, 0);
}

// --- Parameter image --------------------------------------------------------------

// Byte ranges of the image the record keeps: the freeze state (only the
// device's freeze reply sets it) with the two gap bytes after it, and the two
// gap bytes after LOGOVALID. SYNCLOCKMODE at 0x904 is device data and is taken.
struct KeptRange {
  std::size_t offset;
  std::size_t size;
};

constexpr KeptRange kKeptRanges[] = {
    {offsetof(ParamBlock, gap8C6), sizeof(ParamBlock::gap8C6)},
    {offsetof(ParamBlock, FREEZE_STATE), 1 + sizeof(ParamBlock::gap902)},
};
static_assert(offsetof(ParamBlock, FREEZE_STATE) + 1 + sizeof(ParamBlock::gap902) ==
              offsetof(ParamBlock, MACHINESYNCMODE));

void InstallImage(ParamBlock& block, const ParamBlock& image) {
  uint8_t* target = reinterpret_cast<uint8_t*>(&block);
  const uint8_t* source = reinterpret_cast<const uint8_t*>(&image);
  std::size_t at = 0;
  for (const KeptRange& kept : kKeptRanges) {
    std::memcpy(target + at, source + at, kept.offset - at);
    at = kept.offset + kept.size;
  }
  std::memcpy(target + at, source + at, sizeof(ParamBlock) - at);
}

// Layer inputs outside the input table would index past it in every page;
// such a layer keeps the input it had.
int KeepValidLayerInputs(ParamBlock& block, const ChannelData (&before)[kLayers]) {
  int replaced = 0;
  for (int j = 0; j < kLayers; ++j) {
    if (!DeviceState::ValidInputCode(block.CHNLDATA[j].CHNLINPUT)) {
      block.CHNLDATA[j].CHNLINPUT = before[j].CHNLINPUT;
      ++replaced;
    }
  }
  return replaced;
}

struct Request {
  uint16_t type;
  uint8_t arg;
};

int ApplyImage(const ParamBlock& image) {
  // At most one VGA and one timing request per slot.
  std::array<Request, 2 * kInputSlots> requests{};
  std::size_t count = 0;
  int outOfRange = 0;
  {
    auto s = State();
    for (auto& entry : s->INPUT_TABLE) entry.enabled = 0;
    ChannelData before[kLayers];
    std::memcpy(before, s->block.CHNLDATA, sizeof before);
    InstallImage(s->block, image);
    outOfRange += KeepValidLayerInputs(s->block, before);
    const bool pending = s->CMPBOARD_PENDING != 0;
    for (int slot = 0; slot < kInputSlots; ++slot) {
      const auto a = static_cast<uint8_t>(slot);
      if (ApplySlotPortType(*s, slot) && s->block.INPUTINFO.INPUTSRC[slot] == 3) {
        requests[count++] = {GET_VGA_ADJUST, a};
      }
      if (s->block.INPUTINFO.INPUTSTATE[slot] != 0 && !pending) {
        requests[count++] = {GET_INPUT_TIMING, a};
      }
    }
    if (pending) {
      if (!ApplyBoardRule(*s)) ++outOfRange;
      s->FEATHER[0] &= ~int32_t{0xFF};
    }
    // Cleared whatever happened above, so that a project's apply never leaves
    // the next device read-back without its input timings.
    s->CMPBOARD_PENDING = 0;
    ApplyDpSplitRule(*s);
  }
  for (std::size_t i = 0; i < count; ++i) SendCommand(requests[i].type, requests[i].arg);
  return outOfRange;
}

// --- Decoders, one per data type ------------------------------------------------

Verdict ApplyHello(const Reply& r) {
  auto s = State();
  s->REPLY_KIND = r.data[0];
  s->REPLY_ADDR = r.sourceAddress;
  return {};
}

Verdict ApplyFlag1(const Reply& r) {
  auto s = State();
  s->REPLY1_FLAG = r.data[0] != 0 ? 1 : 0;
  return {};
}

Verdict ApplyAllData(const Reply& r) {
  ParamBlock image;
  CopyInto(image, r.data);
  // An armed capture takes the image instead of the record.
  if (DeliverCapturedImage(image)) return {Outcome::Ignored};
  const int outOfRange = ApplyImage(image);
  State()->IMAGE_FROM_DEVICE = 1;
  return {outOfRange != 0 ? Outcome::AppliedOutOfRange : Outcome::Applied};
}

void AfterAllData(const Reply&) {
  Pause(200);
  SendReadBackFollowUps();
}

Verdict ApplyPixelGrab(const Reply& r) {
  const uint32_t rg = U32(r.data, 0);
  auto s = State();
  s->PIXEL_GRAB[0] = static_cast<uint16_t>(rg & 0xFFFF);
  s->PIXEL_GRAB[1] = static_cast<uint16_t>(rg >> 16);
  s->PIXEL_GRAB[2] = U16(r.data, 4);
  return {};
}

Verdict ApplyInputTimingReply(const Reply& r) {
  const InputTiming timing{r.data[0], U16(r.data, 2), U16(r.data, 4), U16(r.data, 6), r.data[8]};
  auto s = State();
  if (!ApplyInputTiming(*s, timing)) return {Outcome::DroppedOutOfRange};
  return {};
}

Verdict ApplyVgaAdjust(const Reply& r) {
  auto s = State();
  VgaAdjust& v = s->VGA;
  v.ADJ_TARGET = r.data[0];
  v.V1 = I32(r.data, 4);
  v.V2 = I32(r.data, 8);
  v.B1 = static_cast<int8_t>(r.data[12]);
  v.B2 = static_cast<int8_t>(r.data[13]);
  uint16_t* words[6] = {&v.W1, &v.W2, &v.W3, &v.W4, &v.W5, &v.W6};
  for (int i = 0; i < 6; ++i) *words[i] = U16(r.data, 14 + 2 * i);
  return {};
}

Verdict ApplyEdid(const Reply& r) {
  auto s = State();
  for (EdidInfo& e : s->block.EDIDINFO) {
    if (e.INPUTSRC != r.data[0]) continue;
    e.HACT = U16(r.data, 2);
    e.VACT = U16(r.data, 4);
    e.FPS = U16(r.data, 6);
    e.HBLANK = U16(r.data, 8);
    e.VBLANK = U16(r.data, 10);
    break;
  }
  return {};
}

Verdict ApplyTasks(const Reply& r) {
  auto s = State();
  CopyInto(s->block.TASKEINFO, r.data);
  return {};
}

Verdict ApplyPicture(const Reply& r) {
  const int layer = r.arg1;
  if (!DeviceState::ValidLayer(layer)) return {Outcome::DroppedOutOfRange};
  const Bytes common = r.data;
  const Bytes record = r.extra;
  auto s = State();
  s->block.PICCOMMSETT.PICMODE = I32(common, 0);
  s->block.PICCOMMSETT.BRIGHTLEVEL = I32(common, 4);
  std::memcpy(&s->block.PICCOMMSETT.GAMMA, common.data() + 8, sizeof(float));
  PicSet& pic = s->PicSetOf(InputGroupOfLayer(*s, layer), layer);
  // Bytes 0..4 (brightness .. hue), 8..15 (colour temperature and the three
  // gains with their gap) and 16 (option); the gaps 5..7 and 17..19 stay.
  auto* target = reinterpret_cast<uint8_t*>(&pic);
  std::memcpy(target, record.data(), 5);
  std::memcpy(target + 8, record.data() + 8, 9);
  return {};
}

Verdict ApplyNothing(const Reply&) {
  return {};
}

Verdict ApplyLayerWindow(const Reply& r) {
  const int layer = r.arg1;
  if (!DeviceState::ValidLayer(layer)) return {Outcome::DroppedOutOfRange};
  auto s = State();
  ChannelData& c = s->block.CHNLDATA[layer];
  c.HPOS = I32(r.data, 0);
  c.VPOS = I32(r.data, 4);
  c.HACT = I32(r.data, 8);
  c.VACT = I32(r.data, 12);
  c.CHNLROTATION = I32(r.data, 16);
  return {Outcome::Applied, layer};
}

Verdict ApplyCrop(const Reply& r) {
  const int layer = r.arg1;
  if (!DeviceState::ValidLayer(layer)) return {Outcome::DroppedOutOfRange};
  auto s = State();
  CopyInto(s->CropOf(InputGroupOfLayer(*s, layer), layer), r.data);
  return {};
}

Verdict ApplyMosaic(const Reply& r) {
  auto s = State();
  CopyInto(s->block.MOSAICSETT, r.data);
  return {Outcome::Applied, r.arg1};
}

Verdict ApplyClock(const Reply& r) {
  auto s = State();
  std::memcpy(s->DEVICE_CLOCK, r.data.data(), sizeof s->DEVICE_CLOCK);
  return {};
}

Verdict ApplyLayers(const Reply& r) {
  // A count above the four layers is applied to the four; an input code
  // outside the table leaves that layer's input as it was.
  const int count = r.arg1;
  bool outOfRange = count > kLayers;
  auto s = State();
  for (int n = 0; n < count && n < kLayers; ++n) {
    ChannelData& c = s->block.CHNLDATA[n];
    c.CHNLONOFF = r.data[3 * n];
    c.CHNLALPHA = r.data[3 * n + 1];
    const uint8_t input = r.data[3 * n + 2];
    if (DeviceState::ValidInputCode(input)) {
      c.CHNLINPUT = input;
    } else {
      outOfRange = true;
    }
  }
  return {outOfRange ? Outcome::AppliedOutOfRange : Outcome::Applied};
}

Verdict ApplyLogo(const Reply& r) {
  auto s = State();
  CopyInto(s->block.LOGOINFO, r.data);
  return {};
}

Verdict ApplyKeyer(const Reply& r) {
  // Keyer 0 serves channel 3, keyer 1 channel 1; any other channel names no
  // keyer and stores nothing, but the page is still refreshed.
  const uint8_t channel = r.data[0];
  auto s = State();
  if (channel == 3) {
    CopyInto(s->block.KEYERINFO.KEYER[0], r.data);
  } else if (channel == 1) {
    CopyInto(s->block.KEYERINFO.KEYER[1], r.data);
  } else {
    return {Outcome::AppliedOutOfRange};
  }
  return {};
}

Verdict ApplyPresetFlags(const Reply& r) {
  auto s = State();
  std::memcpy(s->PRESET_FLAGS, r.data.data(), sizeof s->PRESET_FLAGS);
  return {};
}

Verdict ApplyLoopOut(const Reply& r) {
  auto s = State();
  s->block.LOOPINFO.LOOPOUTIP = r.data[0];
  return {};
}

Verdict ApplySysInfo(const Reply& r) {
  auto s = State();
  CopyInto(s->SYSINFO, r.data);
  return {};
}

Verdict ApplyPvwMode(const Reply& r) {
  auto s = State();
  CopyInto(s->block.PVWMODEINFO, r.data);
  return {};
}

Verdict ApplyDpMode(const Reply& r) {
  // Four DP modes exist; another port index stores nothing.
  const uint8_t port = r.data[0];
  auto s = State();
  if (port >= sizeof s->block.DPMDE) return {Outcome::AppliedOutOfRange};
  s->block.DPMDE[port] = r.data[1];
  ApplyDpSplitRule(*s);
  return {};
}

Verdict ApplyInputState(const Reply& r) {
  if (r.sourceAddress != DeviceAddress()) return {Outcome::Ignored};
  auto s = State();
  std::memcpy(s->block.INPUTINFO.INPUTSTATE, r.data.data(), kInputSlots);
  return {};
}

Verdict ApplyEvent(const Reply& r) {
  StoreEvent(r.data);
  return {};
}

void AfterEvent(const Reply& r) {
  RunEventActions(r.data);
  NoteReply(r.sourceAddress);
}

Verdict ApplyCaption(const Reply& r) {
  // Four caption records exist; a record naming another index is dropped, so
  // the caption page is never asked to show a record that is not there.
  const uint8_t index = r.data[14];
  auto s = State();
  if (index >= 4) return {Outcome::DroppedOutOfRange};
  std::memcpy(s->CAPTION_INFO[index], r.data.data(), sizeof s->CAPTION_INFO[index]);
  return {Outcome::Applied, index};
}

Verdict ApplyVideoStream(const Reply& r) {
  // The preview has four decoder contexts; other channels have no reader.
  if (r.arg1 < 0 || r.arg1 > 3) return {Outcome::DroppedOutOfRange};
  GetReplySink().FeedVideoPacket(r.arg1, r.data);
  return {};
}

bool LooksLikeIpv4Text(Bytes text) {
  for (uint8_t c : text) {
    if (c != '.' && (c < '0' || c > '9')) return false;
  }
  return true;
}

Verdict ApplyIdentity(const Reply& r) {
  if (!LooksLikeIpv4Text(r.data)) return {Outcome::DroppedOutOfRange};
  auto s = State();
  s->DEVICE_IP.assign(reinterpret_cast<const char*>(r.data.data()), r.data.size());
  if (r.extra.size() == sizeof s->DEVICE_MAC) {
    std::memcpy(s->DEVICE_MAC, r.extra.data(), sizeof s->DEVICE_MAC);
  } else {
    std::memset(s->DEVICE_MAC, 0, sizeof s->DEVICE_MAC);
  }
  return {};
}

Verdict ApplyVencInfo(const Reply& r) {
  auto s = State();
  std::memcpy(s->VENC_INFO, r.data.data(), sizeof s->VENC_INFO);
  return {};
}

void AfterVencInfo(const Reply& r) {
  // The encoder status loop: status 2 and 0 are answered, others end it.
  if (r.data[0] == 2) {
    SendCommand(VIDEO_ENCODER_CTRL, 0);
  } else if (r.data[0] == 0) {
    SendCommand(VIDEO_ENCODER_CTRL, 1);
  }
}

Verdict ApplyBoard(const Reply& r) {
  auto s = State();
  CopyInto(s->block.COMPOSITEBOARD, r.data);
  return {ApplyBoardRule(*s) ? Outcome::Applied : Outcome::AppliedOutOfRange};
}

void AfterBoard(const Reply&) {
  SendCommand(GET_EDID, 5);
  SendCommand(GET_MOSAIC);
}

Verdict ApplyFeather(const Reply& r) {
  auto s = State();
  for (int i = 0; i < 9; ++i) s->FEATHER[i] = I32(r.data, 4 * i);
  return {};
}

Verdict ApplyFreeze(const Reply& r) {
  auto s = State();
  s->block.FREEZE_STATE = r.data[0];
  return {};
}

using N = Notify;
using S = Shape;

// Row n belongs to data type n.
constexpr ReplyRow kReplyRows[kReplyDataTypes] = {
    {"DEVICE_HELLO", S::Fixed, 1, 0, ApplyHello, N::Refresh, nullptr, false, false,
     From::AnyMachine},
    {"FLAG1", S::Fixed, 1, 0, ApplyFlag1, N::Refresh, nullptr, false, false, From::Device},
    {"ALL_DATA", S::Fixed, kParamBlockSize, 0, ApplyAllData, N::Refresh, AfterAllData, false, true,
     From::Device},
    {"PIXEL_GRAB", S::Fixed, 6, 0, ApplyPixelGrab, N::Refresh, nullptr, false, true, From::Device},
    {"INPUT_TIMING", S::Fixed, 10, 0, ApplyInputTimingReply, N::Refresh, nullptr, false, true,
     From::Device},
    {"VGA_ADJUST", S::Fixed, 28, 0, ApplyVgaAdjust, N::Refresh, nullptr, false, true, From::Device},
    {"EDID", S::Fixed, 12, 0, ApplyEdid, N::Refresh, nullptr, false, true, From::Device},
    {"TASKS", S::Fixed, sizeof(TaskeInfo), 0, ApplyTasks, N::Refresh, nullptr, false, true,
     From::Device},
    {"PICTURE", S::Fixed, 12, sizeof(PicSet), ApplyPicture, N::Refresh, nullptr, false, true,
     From::Device},
    {"NOTIFY9", S::Fixed, 1, 0, ApplyNothing, N::Refresh, nullptr, false, true, From::Device},
    {"LAYER_WINDOW", S::Fixed, 20, 0, ApplyLayerWindow, N::Refresh, nullptr, false, true,
     From::Device},
    {"CROP", S::Fixed, sizeof(Crop), 0, ApplyCrop, N::Refresh, nullptr, false, true, From::Device},
    {"MOSAIC", S::Fixed, sizeof(MosaicSett), 0, ApplyMosaic, N::Refresh, nullptr, false, true,
     From::Device},
    {"DEVICE_CLOCK", S::Fixed, 6, 0, ApplyClock, N::Refresh, nullptr, false, true, From::Device},
    {"LAYERS", S::Count3, 0, 0, ApplyLayers, N::Refresh, nullptr, false, true, From::Device},
    {"LOGO", S::Fixed, sizeof(LogoInfo), 0, ApplyLogo, N::Refresh, nullptr, false, true,
     From::Device},
    {"KEYER", S::Fixed, sizeof(Keyer), 0, ApplyKeyer, N::Refresh, nullptr, false, true,
     From::Device},
    {"PRESET_FLAGS", S::Fixed, kPresets, 0, ApplyPresetFlags, N::Refresh, nullptr, true, true,
     From::Device},
    {"LOOP_OUT", S::Fixed, 1, 0, ApplyLoopOut, N::Refresh, nullptr, false, true, From::Device},
    {"SYSINFO", S::Fixed, sizeof(SysInfo), 0, ApplySysInfo, N::Refresh, nullptr, false, true,
     From::Device},
    {"PVW_MODE", S::Fixed, sizeof(PvwModeInfo), 0, ApplyPvwMode, N::Refresh, nullptr, false, true,
     From::Device},
    {"DP_MODE", S::Fixed, 2, 0, ApplyDpMode, N::Refresh, nullptr, false, true, From::Device},
    {"INPUT_STATE", S::Fixed, kInputSlots, 0, ApplyInputState, N::Refresh, nullptr, false, true,
     From::Device},
    {"ACK", S::Fixed, 4, 0, ApplyNothing, N::None, nullptr, false, true, From::AnyMachine},
    {"EVENT", S::Fixed, 8, 0, ApplyEvent, N::None, AfterEvent, false, false, From::Device},
    {"CAPTION", S::Fixed, 32, 0, ApplyCaption, N::Refresh, nullptr, false, true, From::Device},
    {"VIDEO_STREAM", S::Stream, 0, 0, ApplyVideoStream, N::None, nullptr, false, false,
     From::Device},
    {"IDENTITY", S::Text, 15, 6, ApplyIdentity, N::Refresh, nullptr, true, false, From::AnyMachine},
    {"VENC_INFO", S::Fixed, 10, 0, ApplyVencInfo, N::VideoSettings, AfterVencInfo, false, true,
     From::Device},
    {"CMPBOARD", S::Fixed, sizeof(CompositeBoard), 0, ApplyBoard, N::Board, AfterBoard, false, true,
     From::Device},
    {"FEATHER", S::Fixed, 36, 0, ApplyFeather, N::Refresh, nullptr, false, true, From::Device},
    {"FREEZE_STATE", S::Fixed, 1, 0, ApplyFreeze, N::Refresh, nullptr, false, true, From::Device},
};

}  // namespace

void HandleReply(const Reply& reply) {
  Counters& stats = Stats();
  if (reply.dataType >= kReplyDataTypes) {
    ++stats.unknownType;
    return;
  }
  const int type = reply.dataType;
  const ReplyRow& row = kReplyRows[type];
  switch (CheckSize(row, reply)) {
    case SizeVerdict::Short:
      ++stats.droppedShort[type];
      return;
    case SizeVerdict::Long:
      ++stats.droppedLong[type];
      return;
    case SizeVerdict::Fits:
      break;
  }
  if (row.from == From::Device && !FromConnectedDevice(reply.sourceAddress)) {
    ++stats.otherMachine[type];
    return;
  }

  const Verdict verdict = row.apply(reply);
  switch (verdict.outcome) {
    case Outcome::Ignored:
      return;
    case Outcome::DroppedOutOfRange:
      ++stats.outOfRange[type];
      return;
    case Outcome::AppliedOutOfRange:
      ++stats.outOfRange[type];
      break;
    case Outcome::Applied:
      break;
  }
  ++stats.handled[type];

  ReplySink& sink = GetReplySink();
  switch (row.notify) {
    case Notify::None:
      break;
    case Notify::Refresh:
      sink.RefreshAfterReply(type, verdict.refreshArg);
      break;
    case Notify::VideoSettings:
      sink.RefreshVideoSettings();
      break;
    case Notify::Board:
      sink.BoardRefresh();
      break;
  }
  if (row.after != nullptr) row.after(reply);
  if (row.busyOff) sink.BusyOff();
  if (row.ack) NoteReply(reply.sourceAddress);
  NotifyReply(reply);
}

void RegisterReplyFunctions(CommLibrary& library) {
  for (int type = 0; type < kReplyDataTypes; ++type) {
    // The function registered for a type decodes that type, whatever the
    // reply record claims.
    library.RegisterReply(
        [type](const Reply& reply) {
          Reply typed = reply;
          typed.dataType = static_cast<uint8_t>(type);
          HandleReply(typed);
        },
        type);
  }
}

void ApplyParamBlock(const ParamBlock& image) {
  if (ApplyImage(image) != 0) ++Stats().outOfRange[2];
}

uint64_t ReplyStats::DroppedTotal() const {
  uint64_t total = unknownType;
  for (int t = 0; t < kReplyDataTypes; ++t) {
    total += droppedShort[t] + droppedLong[t];
  }
  return total;
}

ReplyStats ReplyStatistics() {
  const Counters& c = Stats();
  ReplyStats out;
  for (int t = 0; t < kReplyDataTypes; ++t) {
    out.handled[t] = c.handled[t].load();
    out.droppedShort[t] = c.droppedShort[t].load();
    out.droppedLong[t] = c.droppedLong[t].load();
    out.outOfRange[t] = c.outOfRange[t].load();
    out.otherMachine[t] = c.otherMachine[t].load();
  }
  out.unknownType = c.unknownType.load();
  return out;
}

void ResetReplyStatistics() {
  Counters& c = Stats();
  for (int t = 0; t < kReplyDataTypes; ++t) {
    c.handled[t] = 0;
    c.droppedShort[t] = 0;
    c.droppedLong[t] = 0;
    c.outOfRange[t] = 0;
    c.otherMachine[t] = 0;
  }
  c.unknownType = 0;
}

}  // namespace orv
