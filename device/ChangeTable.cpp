#include "ChangeTable.h"

#include <algorithm>
#include <iterator>

#include "CommandEncoder.h"
#include "DeviceState.h"

namespace orv {

namespace {

using Args = std::array<uint8_t, kCommandBufferSize>;

int Bounded(int index, int count) {
  return std::clamp(index, 0, count - 1);
}

// From `first` up to and including `last`, two fields of one record.
template <class First, class Last>
RecordRange Span(const DeviceState& s, const First& first, const Last& last) {
  const RecordRange a = RangeOf(s, first);
  const RecordRange b = RangeOf(s, last);
  return {a.offset, b.offset + b.size - a.offset};
}

// One row per command type that changes the processor: the fields it carries
// for these arguments, the data type of the report that refreshes the pages
// showing them, and why it cannot be undone when it cannot.
struct Change {
  RecordRanges ranges;
  int reportType = -1;
  int reportArg = 0;
  Irreversible barrier = Irreversible::None;
};
using Describe = Change (*)(const SentCommand&, const DeviceState&);

Change Barrier(Irreversible why) {
  return {{}, -1, 0, why};
}

Change OutputTiming(const SentCommand&, const DeviceState& s) {
  return {{RangeOf(s, s.block.OUTPUTRESO), RangeOf(s, s.OUTPUT_DETAIL)}, 9, 0};
}

Change Picture(const SentCommand& c, const DeviceState& s) {
  // Byte 0 = 0 resets every group first, byte 15 = 1 resets the gains.
  if (c.payload[0] == 0 || c.payload[15] == 1) return Barrier(Irreversible::PictureReset);
  const int layer = Bounded(c.args[0], kLayers);
  Change change{{RangeOf(s, s.block.PICCOMMSETT)}, 8, layer};
  if (s.PICSET_FLAG[layer] != 0) {
    for (int g = 0; g < kInputGroups; ++g) {
      change.ranges.push_back(RangeOf(s, s.block.PICSET[GroupLayerIndex(g, layer)]));
    }
  } else {
    const int group = InputGroupOfLayer(s, layer);
    change.ranges.push_back(RangeOf(s, s.block.PICSET[GroupLayerIndex(group, layer)]));
  }
  return change;
}

Change LayerWindow(const SentCommand& c, const DeviceState& s) {
  const ChannelData& ch = s.block.CHNLDATA[Bounded(c.args[0], kLayers)];
  return {{Span(s, ch.HPOS, ch.CHNLROTATION)}, 10, c.args[0]};
}

Change CropWindow(const SentCommand& c, const DeviceState& s) {
  const int layer = Bounded(c.args[0], kLayers);
  const Crop& crop = s.block.CROP[GroupLayerIndex(InputGroupOfLayer(s, layer), layer)];
  return {{Span(s, crop.CROPONOFF, crop.VACT)}, 11, layer};
}

Change Mosaic(const SentCommand& c, const DeviceState& s) {
  // Kinds 0 and 1 choose a layout: the processor re-arranges windows and
  // crops (and ends the logo's use of PIP-3) beyond what the command carries.
  if (c.args[1] <= 1) return Barrier(Irreversible::MosaicLayout);
  const MosaicSett& m = s.block.MOSAICSETT;
  const int cell = Bounded(c.args[0], 4);
  Change change{{RangeOf(s, m.MOSAIC_OPT)}, 12, c.args[1]};
  for (const auto* values : {&m.HPOS, &m.VPOS, &m.HACT, &m.VACT, &m.HTOTAL, &m.VTOTAL}) {
    change.ranges.push_back(RangeOf(s, (*values)[cell]));
  }
  return change;
}

Change LayerInput(const SentCommand& c, const DeviceState& s) {
  return {{RangeOf(s, s.block.CHNLDATA[Bounded(c.args[0], kLayers)].CHNLINPUT)}, 14, c.args[0]};
}

Change LayerOnOff(const SentCommand& c, const DeviceState& s) {
  const ChannelData& ch = s.block.CHNLDATA[Bounded(c.args[0] + 1, kLayers)];
  return {{Span(s, ch.CHNLONOFF, ch.CHNLALPHA)}, 14, c.args[0]};
}

Change Logo(const SentCommand& c, const DeviceState& s) {
  const LogoInfo& logo = s.block.LOGOINFO;
  switch (c.args[0]) {
    case 0:
    case 2:
      return Barrier(Irreversible::LogoSlotStore);
    case 1: {
      const int k = Bounded(logo.LOGOCURID, 4);
      const bool host = logo.LOGOUSAGE == 0;
      if (host) {
        return {{RangeOf(s, logo.LOGOCURID), RangeOf(s, s.LOGO_HOSTPOS[0][k]),
                 RangeOf(s, s.LOGO_HOSTPOS[1][k]), RangeOf(s, s.LOGO_HOSTPOS[2][k]),
                 RangeOf(s, s.LOGO_HOSTPOS[3][k])},
                15};
      }
      return {{RangeOf(s, logo.LOGOCURID), RangeOf(s, logo.HPOS[k]), RangeOf(s, logo.VPOS[k]),
               RangeOf(s, logo.HACT[k]), RangeOf(s, logo.VACT[k])},
              15};
    }
    case 3: {
      const int k = Bounded(s.LOGO_EDIT_ID, 4);
      return {{RangeOf(s, s.LOGO_HOSTPOS[0][k]), RangeOf(s, s.LOGO_HOSTPOS[1][k]),
               RangeOf(s, s.LOGO_HOSTPOS[2][k]), RangeOf(s, s.LOGO_HOSTPOS[3][k])},
              15};
    }
    case 4:
      return {{RangeOf(s, logo.LOGOUSAGE), RangeOf(s, logo.LOGOONOFF)}, 15};
    case 5:
      return {{RangeOf(s, logo.LOGOONOFF)}, 15};
    case 6:
      return {{RangeOf(s, logo.LOGOPOS)}, 15};
    default:
      return {{RangeOf(s, logo.LOGO_OPT)}, 15};
  }
}

Change KeyerValues(const SentCommand& c, const DeviceState& s) {
  const Keyer& k = s.block.KEYERINFO.KEYER[c.args[31] == 3 ? 0 : 1];
  return {{RangeOf(s, k.KEYERONOFF), Span(s, k.KEYERMODE, k.KEYERGAINBND)}, 16, c.args[31]};
}

Change TestPattern(const SentCommand&, const DeviceState& s) {
  // No report: the page re-reads the record itself after an undo.
  return {{RangeOf(s, s.TESTPATTERN_ID)}, -1};
}

Change VgaAdjustment(const SentCommand& c, const DeviceState& s) {
  if (c.args[1] != 0) return Barrier(Irreversible::VgaAutomatic);
  return {{RangeOf(s, s.VGA)}, 5};
}

Change PreviewMode(const SentCommand&, const DeviceState& s) {
  return {{RangeOf(s, s.block.PVWMODEINFO.PVWMODE)}, 20};
}

Change TransitionTime(const SentCommand&, const DeviceState& s) {
  return {{RangeOf(s, s.block.PVWMODEINFO.PVWDTIME)}, 20};
}

Change TaskValues(const SentCommand& c, const DeviceState& s) {
  const TaskeInfo& info = s.block.TASKEINFO;
  if (c.args[1] == 1) return {{RangeOf(s, info.TASK[Bounded(c.args[0], kTasks)])}, 7};
  if (c.args[1] == 2) return {{RangeOf(s, info.TASKSTATUS)}, 7};
  return Barrier(Irreversible::ClockSync);
}

Change LoopOut(const SentCommand&, const DeviceState& s) {
  return {{RangeOf(s, s.block.LOOPINFO.LOOPOUTIP)}, 18};
}

Change Feathering(const SentCommand&, const DeviceState& s) {
  return {{RangeOf(s, s.FEATHER)}, 30};
}

Change PresetCommand(const SentCommand& c, const DeviceState&) {
  return Barrier(c.args[0] == 2 ? Irreversible::PresetSave : Irreversible::PresetRecall);
}

Change CaptionPicture(const SentCommand& c, const DeviceState&) {
  // 2 places the caption; the others announce and complete an upload.
  return Barrier(c.args[0] == 2 ? Irreversible::CaptionSettings : Irreversible::CaptionUpload);
}

Change CaptionSettings(const SentCommand& c, const DeviceState&) {
  return Barrier(c.args[1] == 1 || c.args[1] == 5 ? Irreversible::CaptionUpload
                                                  : Irreversible::CaptionSettings);
}

template <Irreversible Why>
Change Always(const SentCommand&, const DeviceState&) {
  return Barrier(Why);
}

struct Row {
  uint16_t type;
  Describe describe;
};

// Queries and reads are absent: they change nothing.
constexpr Row kRows[] = {
    {PRESET, PresetCommand},
    {SET_OUTPUT_TIMING, OutputTiming},
    {SET_PICTURE, Picture},
    {SET_LAYER_WINDOW, LayerWindow},
    {SET_CROP, CropWindow},
    {SET_MOSAIC, Mosaic},
    {SET_LAYER_INPUT, LayerInput},
    {SET_LAYER_ONOFF, LayerOnOff},
    {SET_LOGO, Logo},
    {SET_EDID, Always<Irreversible::EdidWrite>},
    {SET_KEYER, KeyerValues},
    {SET_TEST_PATTERN, TestPattern},
    {SET_VGA_ADJUST, VgaAdjustment},
    {SET_PVW_MODE, PreviewMode},
    {SET_TRANSITION_TIME, TransitionTime},
    {SET_TASK, TaskValues},
    {SET_LOOP_OUT, LoopOut},
    {FACTORY_RESET, Always<Irreversible::FactoryReset>},
    {TAKE, Always<Irreversible::Take>},
    {SET_SYNC, Always<Irreversible::ArgumentsOnly>},
    {WRITE_ALL, Always<Irreversible::WriteAll>},
    {CAPTION_A, CaptionPicture},
    {CAPTION_B, CaptionSettings},
    {SET_VIDEO_ENCODER, Always<Irreversible::EncoderSettings>},
    {SIGNAL_SWITCH, Always<Irreversible::ArgumentsOnly>},
    {MEDIA, Always<Irreversible::ArgumentsOnly>},
    {SET_FEATHER, Feathering},
    {FREEZE, Always<Irreversible::ArgumentsOnly>},
};

const Row* RowOf(uint16_t type) {
  const auto* row = std::find_if(std::begin(kRows), std::end(kRows),
                                 [type](const Row& r) { return r.type == type; });
  return row == std::end(kRows) ? nullptr : row;
}

}  // namespace

ChangeSpec SpecOfSend(const SentCommand& sent) {
  ChangeSpec spec;
  const Row* row = RowOf(sent.type);
  if (row == nullptr || sent.record == nullptr) return spec;
  Change change = row->describe(sent, *sent.record);
  spec.recorded = true;
  spec.barrier = change.barrier;
  spec.ranges = std::move(change.ranges);
  spec.reportType = change.reportType;
  spec.reportArg = change.reportArg;
  return spec;
}

RecordRanges RangesOfReply(const Reply& reply, const DeviceState& s) {
  const ParamBlock& b = s.block;
  const bool layerOk = DeviceState::ValidLayer(reply.arg1);
  const int layer = layerOk ? reply.arg1 : 0;
  switch (reply.dataType) {
    case 2:
      return AllRecordedRanges(s);
    case 5:
      return {RangeOf(s, s.VGA)};
    case 7:
      return {RangeOf(s, b.TASKEINFO)};
    case 8:
      if (!layerOk) return {};
      return {RangeOf(s, b.PICCOMMSETT),
              RangeOf(s, b.PICSET[GroupLayerIndex(InputGroupOfLayer(s, layer), layer)])};
    case 10:
      if (!layerOk) return {};
      return {Span(s, b.CHNLDATA[layer].HPOS, b.CHNLDATA[layer].CHNLROTATION)};
    case 11:
      if (!layerOk) return {};
      return {RangeOf(s, b.CROP[GroupLayerIndex(InputGroupOfLayer(s, layer), layer)])};
    case 12:
      return {RangeOf(s, b.MOSAICSETT)};
    case 14:
      return {RangeOf(s, b.CHNLDATA[0].CHNLONOFF), RangeOf(s, b.CHNLDATA[0].CHNLALPHA),
              RangeOf(s, b.CHNLDATA[0].CHNLINPUT), RangeOf(s, b.CHNLDATA[1].CHNLONOFF),
              RangeOf(s, b.CHNLDATA[1].CHNLALPHA), RangeOf(s, b.CHNLDATA[1].CHNLINPUT),
              RangeOf(s, b.CHNLDATA[2].CHNLONOFF), RangeOf(s, b.CHNLDATA[2].CHNLALPHA),
              RangeOf(s, b.CHNLDATA[2].CHNLINPUT), RangeOf(s, b.CHNLDATA[3].CHNLONOFF),
              RangeOf(s, b.CHNLDATA[3].CHNLALPHA), RangeOf(s, b.CHNLDATA[3].CHNLINPUT)};
    case 15:
      return {RangeOf(s, b.LOGOINFO)};
    case 16:
      return {RangeOf(s, b.KEYERINFO)};
    case 18:
      return {RangeOf(s, b.LOOPINFO)};
    case 20:
      return {RangeOf(s, b.PVWMODEINFO)};
    case 30:
      return {RangeOf(s, s.FEATHER)};
    default:
      return {};
  }
}

RecordRanges AllRecordedRanges(const DeviceState& s) {
  return {RangeOf(s, s.block),          RangeOf(s, s.OUTPUT_DETAIL), RangeOf(s, s.VGA),
          RangeOf(s, s.TESTPATTERN_ID), RangeOf(s, s.FEATHER),       RangeOf(s, s.LOGO_HOSTPOS),
          RangeOf(s, s.LOGO_EDIT_ID)};
}

}  // namespace orv
