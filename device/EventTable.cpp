#include "EventTable.h"

#include <span>

#include "CommandEncoder.h"
#include "DeviceState.h"
#include "ReadBack.h"
#include "ReplySink.h"

namespace orv {

namespace {

enum class Store : uint8_t {
  None,
  KindArgs,   // EVENT_KIND, EVENT_ARG1, EVENT_ARG2 := data[0..2]
  KindArg1,   // EVENT_KIND, EVENT_ARG1 := data[0..1]
  ChunkInfo,  // kind 7: EVENT_WORD := data[1..2], EVENT_BYTE := data[3], EVENT_VALUE := data[4..7]
};

enum class Act : uint8_t {
  Send,   // command `value`, argument `arg`
  Pause,  // `value` milliseconds
  BusyOff,
  EdidResult,
  VgaResult,
  ChunkAck,
  EnableCaption,
  UploadStart,  // ok = (EVENT_ARG1 == 0)
};

struct Action {
  Act act;
  uint16_t value = 0;
  uint8_t arg = 0;
};

constexpr Action Send(uint16_t command, uint8_t arg = 0) {
  return {Act::Send, command, arg};
}
constexpr Action Wait(uint16_t ms) {
  return {Act::Pause, ms, 0};
}
constexpr Action Do(Act act) {
  return {act, 0, 0};
}

// Which action list runs, decided by the event's argument data[1].
enum class When : uint8_t {
  Always,        // `actions`
  ArgumentOne,   // `actions` when data[1] == 1, else nothing
  ArgumentZero,  // `actions` when data[1] == 0, else `otherwise`
};

struct EventRow {
  Store store;
  When when;
  std::span<const Action> actions;
  std::span<const Action> otherwise;
};

constexpr Action kEdidResult[] = {Do(Act::BusyOff), Do(Act::EdidResult)};
constexpr Action kVgaResult[] = {Do(Act::BusyOff), Do(Act::VgaResult)};
constexpr Action kBusyOff[] = {Do(Act::BusyOff)};
constexpr Action kEvent3Rereads[] = {Send(GET_PVW_MODE),        Wait(40),
                                     Send(GET_LAYER_WINDOW, 0), Send(GET_LAYER_WINDOW, 1),
                                     Send(GET_LAYER_WINDOW, 2), Send(GET_LAYER_WINDOW, 3),
                                     Send(GET_LAYERS),          Do(Act::BusyOff)};
constexpr Action kEvent5Rereads[] = {Send(QUERY65), Send(QUERY67), Send(GET_INPUT_TIMING, 0xFF),
                                     Do(Act::BusyOff)};
constexpr Action kEvent6Rereads[] = {Send(GET_PVW_MODE),        Send(GET_MOSAIC),
                                     Send(GET_LAYER_WINDOW, 0), Send(GET_LAYER_WINDOW, 1),
                                     Send(GET_LAYER_WINDOW, 2), Send(GET_LAYER_WINDOW, 3),
                                     Send(GET_LAYERS),          Send(GET_LOGO)};
constexpr Action kReadAll[] = {Send(GET_ALL)};
constexpr Action kChunkAck[] = {Do(Act::ChunkAck)};
constexpr Action kEvent8Actions[] = {Do(Act::BusyOff), Do(Act::EnableCaption)};
constexpr Action kEvent10Actions[] = {Do(Act::BusyOff), Do(Act::EnableCaption),
                                      Send(GET_CAPTION, 0)};
constexpr Action kEvent11Rereads[] = {
    Send(GET_MOSAIC), Send(GET_LAYER_WINDOW, 0), Send(GET_CROP, 0),
    Wait(100),        Send(GET_LAYER_WINDOW, 1), Send(GET_CROP, 1),
    Wait(100),        Send(GET_LAYER_WINDOW, 2), Send(GET_CROP, 2),
    Wait(100),        Send(GET_LAYER_WINDOW, 3), Send(GET_CROP, 3),
    Wait(100),        Do(Act::BusyOff)};
constexpr Action kUploadStart[] = {Do(Act::UploadStart)};

// Row n belongs to event kind n.
constexpr EventRow kEventRows[kEventKinds] = {
    {Store::KindArgs, When::Always, kEdidResult, {}},
    {Store::KindArgs, When::Always, kVgaResult, {}},
    {Store::None, When::Always, kBusyOff, {}},
    {Store::None, When::Always, kEvent3Rereads, {}},
    {Store::None, When::Always, kBusyOff, {}},
    {Store::None, When::ArgumentOne, kEvent5Rereads, {}},
    {Store::None, When::ArgumentZero, kEvent6Rereads, kReadAll},
    {Store::ChunkInfo, When::Always, kChunkAck, {}},
    {Store::None, When::Always, kEvent8Actions, {}},
    {Store::KindArg1, When::Always, {}, {}},
    {Store::None, When::Always, kEvent10Actions, {}},
    {Store::None, When::ArgumentZero, kEvent11Rereads, kReadAll},
    {Store::KindArg1, When::Always, kUploadStart, {}},
};

const EventRow* RowOf(uint8_t kind) {
  return kind < kEventKinds ? &kEventRows[kind] : nullptr;
}

void Run(const Action& a) {
  ReplySink& sink = GetReplySink();
  switch (a.act) {
    case Act::Send:
      SendCommand(a.value, a.arg);
      break;
    case Act::Pause:
      Pause(a.value);
      break;
    case Act::BusyOff:
      sink.BusyOff();
      break;
    case Act::EdidResult:
      sink.EdidApplyResult();
      break;
    case Act::VgaResult:
      sink.VgaAdjustResult();
      break;
    case Act::ChunkAck:
      sink.CaptionChunkAcknowledged();
      break;
    case Act::EnableCaption:
      sink.EnableCaptionPage();
      break;
    case Act::UploadStart: {
      bool ok = false;
      {
        auto s = State();
        ok = s->EVENT_ARG1 == 0;
      }
      sink.CaptionUploadStart(ok);
      break;
    }
  }
}

}  // namespace

void StoreEvent(std::span<const uint8_t> d) {
  const EventRow* row = RowOf(d[0]);
  if (row == nullptr) return;
  auto s = State();
  switch (row->store) {
    case Store::None:
      break;
    case Store::KindArgs:
      s->EVENT_KIND = d[0];
      s->EVENT_ARG1 = d[1];
      s->EVENT_ARG2 = d[2];
      break;
    case Store::KindArg1:
      s->EVENT_KIND = d[0];
      s->EVENT_ARG1 = d[1];
      break;
    case Store::ChunkInfo:
      s->EVENT_KIND = d[0];
      s->EVENT_WORD = static_cast<int32_t>(d[1] | (d[2] << 8));
      s->EVENT_BYTE = d[3];
      s->EVENT_VALUE =
          uint32_t{d[4]} | (uint32_t{d[5]} << 8) | (uint32_t{d[6]} << 16) | (uint32_t{d[7]} << 24);
      break;
  }
}

void RunEventActions(std::span<const uint8_t> d) {
  const EventRow* row = RowOf(d[0]);
  if (row == nullptr) return;
  const uint8_t argument = d[1];
  std::span<const Action> actions = row->actions;
  switch (row->when) {
    case When::Always:
      break;
    case When::ArgumentOne:
      if (argument != 1) actions = {};
      break;
    case When::ArgumentZero:
      if (argument != 0) actions = row->otherwise;
      break;
  }
  for (const Action& a : actions) Run(a);
}

}  // namespace orv
