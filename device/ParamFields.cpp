#include "ParamFields.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstddef>
#include <cstring>
#include <map>
#include <span>
#include <utility>

namespace orv {

namespace {

// Summary: shown in the group's summary words; Owned: the processor's.
enum class Role : uint8_t { Plain = 0, Summary = 1, Owned = 2, OwnedSummary = 3 };

// One member of a record; an array member spans count x its kind's size.
struct MemberRow {
  std::size_t offset;
  std::size_t bytes;
  FieldKind kind;
  const char* name;
  Role role;
};

#define ORV_FIELD(record, member, kind, role)                                              \
  MemberRow {                                                                              \
    offsetof(record, member), sizeof(record::member), FieldKind::kind, #member, Role::role \
  }

constexpr MemberRow kOutputRows[] = {
    ORV_FIELD(OutputReso, RESOINDEX, I32, Plain), ORV_FIELD(OutputReso, HRESO, U16, Summary),
    ORV_FIELD(OutputReso, VRESO, U16, Summary),   ORV_FIELD(OutputReso, FPS, Hundredths, Summary),
    ORV_FIELD(OutputReso, HTOTAL, U16, Plain),    ORV_FIELD(OutputReso, VTOTAL, U16, Plain),
    ORV_FIELD(OutputReso, HSYNC, U16, Plain),     ORV_FIELD(OutputReso, VSYNC, U16, Plain),
    ORV_FIELD(OutputReso, HBP, U16, Plain),       ORV_FIELD(OutputReso, VBP, U16, Plain),
    ORV_FIELD(OutputReso, HPOL, U8, Plain),       ORV_FIELD(OutputReso, VPOL, U8, Plain),
};
constexpr MemberRow kPictureRows[] = {
    ORV_FIELD(PicCommSett, PICMODE, I32, Plain),
    ORV_FIELD(PicCommSett, BRIGHTLEVEL, I32, Plain),
    ORV_FIELD(PicCommSett, GAMMA, F32, Plain),
};
constexpr MemberRow kMosaicRows[] = {
    ORV_FIELD(MosaicSett, MOSAICMODE, I32, Plain),    ORV_FIELD(MosaicSett, MOSAIC_OPT, I32, Plain),
    ORV_FIELD(MosaicSett, MOSAICAUTOARR, I32, Plain), ORV_FIELD(MosaicSett, HPOS, I32, Plain),
    ORV_FIELD(MosaicSett, VPOS, I32, Plain),          ORV_FIELD(MosaicSett, HACT, I32, Plain),
    ORV_FIELD(MosaicSett, VACT, I32, Plain),          ORV_FIELD(MosaicSett, HTOTAL, I32, Plain),
    ORV_FIELD(MosaicSett, VTOTAL, I32, Plain),
};
constexpr MemberRow kLayerWindowRows[] = {
    ORV_FIELD(ChannelData, HPOS, I32, Summary),       ORV_FIELD(ChannelData, VPOS, I32, Summary),
    ORV_FIELD(ChannelData, HACT, I32, Summary),       ORV_FIELD(ChannelData, VACT, I32, Summary),
    ORV_FIELD(ChannelData, CHNLROTATION, I32, Plain),
};
constexpr MemberRow kLayerInputRows[] = {ORV_FIELD(ChannelData, CHNLINPUT, U8, Summary)};
constexpr MemberRow kLayerOnOffRows[] = {
    ORV_FIELD(ChannelData, CHNLONOFF, OnOff, Summary),
    ORV_FIELD(ChannelData, CHNLALPHA, U8, Plain),
};
constexpr MemberRow kSlotSourceRows[] = {
    {0, sizeof(int32_t), FieldKind::I32, "INPUTSRC", Role::Owned}};
constexpr MemberRow kSlotStateRows[] = {{0, 1, FieldKind::U8, "INPUTSTATE", Role::Owned}};
constexpr MemberRow kSlotTimingRows[] = {
    ORV_FIELD(InputReso, INPUTRESOIDX, U8, Owned),
    ORV_FIELD(InputReso, INPUTRESOHACT, U16, OwnedSummary),
    ORV_FIELD(InputReso, INPUTRESOVACT, U16, OwnedSummary),
    ORV_FIELD(InputReso, INPUTRESOFPS, Hundredths, OwnedSummary),
    ORV_FIELD(InputReso, INPUTRESOILE, U8, Owned),
};
constexpr MemberRow kPicSetRows[] = {
    ORV_FIELD(PicSet, BRIGHTNESS, U8, Plain), ORV_FIELD(PicSet, CONTRAST, U8, Plain),
    ORV_FIELD(PicSet, SHARPNESS, U8, Plain),  ORV_FIELD(PicSet, SATURATION, U8, Plain),
    ORV_FIELD(PicSet, HUE, U8, Plain),        ORV_FIELD(PicSet, COLORTEMP, I32, Plain),
    ORV_FIELD(PicSet, COLORRED, U8, Plain),   ORV_FIELD(PicSet, COLORGREEN, U8, Plain),
    ORV_FIELD(PicSet, COLORBLUE, U8, Plain),  ORV_FIELD(PicSet, OPTION, U8, Plain),
};
constexpr MemberRow kCropRows[] = {
    ORV_FIELD(Crop, CROPONOFF, OnOff, Summary), ORV_FIELD(Crop, HPOS, U16, Summary),
    ORV_FIELD(Crop, VPOS, U16, Summary),        ORV_FIELD(Crop, HACT, U16, Summary),
    ORV_FIELD(Crop, VACT, U16, Summary),        ORV_FIELD(Crop, HTOTAL, U16, Owned),
    ORV_FIELD(Crop, VTOTAL, U16, Owned),
};
constexpr MemberRow kDpModeRows[] = {
    {0, sizeof(ParamBlock::DPMDE), FieldKind::U8, "DPMDE", Role::Owned}};
constexpr MemberRow kEdidRows[] = {
    ORV_FIELD(EdidInfo, INPUTSRC, U8, Plain), ORV_FIELD(EdidInfo, HACT, U16, Summary),
    ORV_FIELD(EdidInfo, VACT, U16, Summary),  ORV_FIELD(EdidInfo, FPS, Hundredths, Summary),
    ORV_FIELD(EdidInfo, HBLANK, U16, Plain),  ORV_FIELD(EdidInfo, VBLANK, U16, Plain),
};
constexpr MemberRow kTaskSwitchRows[] = {ORV_FIELD(TaskeInfo, TASKSTATUS, OnOff, Summary)};
constexpr MemberRow kTaskRows[] = {
    ORV_FIELD(Task, YEAR, U8, Summary),   ORV_FIELD(Task, MONTH, U8, Summary),
    ORV_FIELD(Task, DAY, U8, Summary),    ORV_FIELD(Task, HOUR, U8, Summary),
    ORV_FIELD(Task, MIN, U8, Summary),    ORV_FIELD(Task, SEC, U8, Summary),
    ORV_FIELD(Task, PRESETID, U8, Plain), ORV_FIELD(Task, OPTION, I32, Plain),
};
constexpr MemberRow kLogoRows[] = {
    ORV_FIELD(LogoInfo, LOGOUSAGE, U8, Plain),      ORV_FIELD(LogoInfo, LOGOCURID, U8, Plain),
    ORV_FIELD(LogoInfo, LOGOONOFF, OnOff, Summary), ORV_FIELD(LogoInfo, LOGOPOS, U8, Plain),
    ORV_FIELD(LogoInfo, LOGO_OPT, U8, Plain),       ORV_FIELD(LogoInfo, HPOS, U16, Plain),
    ORV_FIELD(LogoInfo, VPOS, U16, Plain),          ORV_FIELD(LogoInfo, HACT, U16, Plain),
    ORV_FIELD(LogoInfo, VACT, U16, Plain),          ORV_FIELD(LogoInfo, LOGOVALID, U8, Owned),
};
constexpr MemberRow kPreviewRows[] = {
    ORV_FIELD(PvwModeInfo, PVWMODE, U8, Summary),
    ORV_FIELD(PvwModeInfo, PVWDTIME, I32, Plain),
    ORV_FIELD(PvwModeInfo, PGMSTATE, U8, Owned),
    ORV_FIELD(PvwModeInfo, PVWSTATE, U8, Owned),
};
constexpr MemberRow kKeyerRows[] = {
    ORV_FIELD(Keyer, KEYERCHNL, U8, Plain),    ORV_FIELD(Keyer, KEYERONOFF, OnOff, Summary),
    ORV_FIELD(Keyer, KEYERMODE, I32, Plain),   ORV_FIELD(Keyer, KEYERREDL, U8, Plain),
    ORV_FIELD(Keyer, KEYERREDH, U8, Plain),    ORV_FIELD(Keyer, KEYERGREENL, U8, Plain),
    ORV_FIELD(Keyer, KEYERGREENH, U8, Plain),  ORV_FIELD(Keyer, KEYERBLUEL, U8, Plain),
    ORV_FIELD(Keyer, KEYERBLUEH, U8, Plain),   ORV_FIELD(Keyer, KEYERGAININ, U8, Plain),
    ORV_FIELD(Keyer, KEYERGAINOUT, U8, Plain), ORV_FIELD(Keyer, KEYERGAINBND, U8, Plain),
};
constexpr MemberRow kLoopRows[] = {ORV_FIELD(LoopInfo, LOOPOUTIP, U8, Owned)};
constexpr MemberRow kFreezeRows[] = {{0, 1, FieldKind::U8, "FREEZE_STATE", Role::Owned}};
constexpr MemberRow kSyncRows[] = {
    ORV_FIELD(MachineSyncMode, SYNCLOCKMODE, I32, Plain),
    ORV_FIELD(MachineSyncMode, SYNCMODE, I32, Plain),
};
constexpr MemberRow kBoardRows[] = {
    ORV_FIELD(CompositeBoard, CMPBOARDEXIST, U8, Owned),
    ORV_FIELD(CompositeBoard, CMPBOARDIPSRC, I32, Owned),
    ORV_FIELD(CompositeBoard, CMPBOARDACTNOSRC, I32, Plain),
    ORV_FIELD(CompositeBoard, CMPBOARDACTSIGNAL, U8, Owned),
    ORV_FIELD(CompositeBoard, CMPBOARDACTHACT, U16, Owned),
    ORV_FIELD(CompositeBoard, CMPBOARDACTVACT, U16, Owned),
    ORV_FIELD(CompositeBoard, CMPBOARDACTFPS, Hundredths, Owned),
    ORV_FIELD(CompositeBoard, CMPBOARDACTINTERLACE, U8, Owned),
    ORV_FIELD(CompositeBoard, CMPBOARDACTDUAL, U8, Owned),
    ORV_FIELD(CompositeBoard, CMPBOARDMODE, I32, Plain),
};
#undef ORV_FIELD

// Where a record's members lie in the image: `count` elements `stride`
// bytes apart, element e in group (kind, e) (or (kind, 0) for one element).
struct Placement {
  std::size_t base;
  int count;
  std::size_t stride;
  std::span<const MemberRow> rows;
  GroupKind kind;
};

#define ORV_AT(member) offsetof(ParamBlock, member)
const Placement kPlacements[] = {
    {ORV_AT(OUTPUTRESO), 1, 0, kOutputRows, GroupKind::Output},
    {ORV_AT(PICCOMMSETT), 1, 0, kPictureRows, GroupKind::Picture},
    {ORV_AT(MOSAICSETT), 1, 0, kMosaicRows, GroupKind::Mosaic},
    {ORV_AT(CHNLDATA), kLayers, sizeof(ChannelData), kLayerWindowRows, GroupKind::LayerWindow},
    {ORV_AT(CHNLDATA), kLayers, sizeof(ChannelData), kLayerInputRows, GroupKind::LayerInput},
    {ORV_AT(CHNLDATA), kLayers, sizeof(ChannelData), kLayerOnOffRows, GroupKind::LayerOnOff},
    {ORV_AT(INPUTINFO.INPUTSRC), kInputSlots, sizeof(int32_t), kSlotSourceRows,
     GroupKind::InputSlot},
    {ORV_AT(INPUTINFO.INPUTSTATE), kInputSlots, 1, kSlotStateRows, GroupKind::InputSlot},
    {ORV_AT(INPUTINFO.INPUTRESO), kInputSlots, sizeof(InputReso), kSlotTimingRows,
     GroupKind::InputSlot},
    {ORV_AT(PICSET), kInputGroups* kLayers, sizeof(PicSet), kPicSetRows, GroupKind::InputPicture},
    {ORV_AT(CROP), kInputGroups* kLayers, sizeof(Crop), kCropRows, GroupKind::InputCrop},
    {ORV_AT(DPMDE), 1, 0, kDpModeRows, GroupKind::DpMode},
    {ORV_AT(EDIDINFO), kEdidSlots, sizeof(EdidInfo), kEdidRows, GroupKind::Edid},
    {ORV_AT(TASKEINFO), 1, 0, kTaskSwitchRows, GroupKind::TaskSwitch},
    {ORV_AT(TASKEINFO.TASK), kTasks, sizeof(Task), kTaskRows, GroupKind::Task},
    {ORV_AT(LOGOINFO), 1, 0, kLogoRows, GroupKind::Logo},
    {ORV_AT(PVWMODEINFO), 1, 0, kPreviewRows, GroupKind::PreviewMode},
    {ORV_AT(KEYERINFO.KEYER), 2, sizeof(Keyer), kKeyerRows, GroupKind::Keyer},
    {ORV_AT(LOOPINFO), 1, 0, kLoopRows, GroupKind::LoopOut},
    {ORV_AT(FREEZE_STATE), 1, 0, kFreezeRows, GroupKind::Freeze},
    {ORV_AT(MACHINESYNCMODE), 1, 0, kSyncRows, GroupKind::Sync},
    {ORV_AT(COMPOSITEBOARD), 1, 0, kBoardRows, GroupKind::Board},
};
#undef ORV_AT

// --- Words -----------------------------------------------------------------------

using Words = std::array<const char*, 2>;  // English, Chinese

const char* Say(const Words& words, ImageLanguage language) {
  return words[static_cast<int>(language)];
}

constexpr Words kOn = {"on", "开"};
constexpr Words kOff = {"off", "关"};
constexpr Words kLayerNames[kLayers] = {
    {"Main layer", "主画面"}, {"PIP-1", "PIP-1"}, {"PIP-2", "PIP-2"}, {"PIP-3", "PIP-3"}};
constexpr Words kPreviewModes[] = {
    {"off", "关"}, {"program/preview", "预览/节目"}, {"dual program/preview", "双预览/节目"}};
constexpr Words kInputCode = {"input code ", "输入代码 "};

std::string Number(int64_t value) {
  return std::to_string(value);
}

std::string Hertz(uint16_t hundredths) {
  std::string text = Number(hundredths / 100);
  const int fraction = hundredths % 100;
  if (fraction != 0) {
    text += '.';
    text += static_cast<char>('0' + fraction / 10);
    if (fraction % 10 != 0) text += static_cast<char>('0' + fraction % 10);
  }
  return text + " Hz";
}

std::string Real(float value) {
  char text[32];
  const auto result = std::to_chars(text, text + sizeof text, value);
  return std::string(text, result.ptr);
}

std::string OnOff(bool on, ImageLanguage language) {
  return Say(on ? kOn : kOff, language);
}

std::string Size(int width, int height) {
  return Number(width) + "x" + Number(height);
}

std::string Rect(int x, int y, int width, int height) {
  return Number(x) + "," + Number(y) + " " + Size(width, height);
}

std::string Timing(int width, int height, uint16_t hundredths) {
  return Size(width, height) + " " + Hertz(hundredths);
}

std::string TwoDigits(int value) {
  return (value < 10 ? "0" : "") + Number(value);
}

using Summary = std::string (*)(const ParamBlock&, int index, ImageLanguage);

std::string OutputSummary(const ParamBlock& b, int, ImageLanguage) {
  return Timing(b.OUTPUTRESO.HRESO, b.OUTPUTRESO.VRESO, b.OUTPUTRESO.FPS);
}
std::string WindowSummary(const ParamBlock& b, int layer, ImageLanguage) {
  const ChannelData& c = b.CHNLDATA[layer];
  return Rect(c.HPOS, c.VPOS, c.HACT, c.VACT);
}
std::string InputSummary(const ParamBlock& b, int layer, ImageLanguage language) {
  return Say(kInputCode, language) + Number(b.CHNLDATA[layer].CHNLINPUT);
}
std::string LayerOnOffSummary(const ParamBlock& b, int layer, ImageLanguage language) {
  return OnOff(b.CHNLDATA[layer].CHNLONOFF != 0, language);
}
std::string SlotSummary(const ParamBlock& b, int slot, ImageLanguage) {
  const InputReso& r = b.INPUTINFO.INPUTRESO[slot];
  return Timing(r.INPUTRESOHACT, r.INPUTRESOVACT, r.INPUTRESOFPS);
}
std::string CropSummary(const ParamBlock& b, int element, ImageLanguage language) {
  const Crop& c = b.CROP[element];
  return OnOff(c.CROPONOFF != 0, language) + " " + Rect(c.HPOS, c.VPOS, c.HACT, c.VACT);
}
std::string EdidSummary(const ParamBlock& b, int slot, ImageLanguage) {
  const EdidInfo& e = b.EDIDINFO[slot];
  return Timing(e.HACT, e.VACT, e.FPS);
}
std::string TaskSwitchSummary(const ParamBlock& b, int, ImageLanguage language) {
  return OnOff(b.TASKEINFO.TASKSTATUS != 0, language);
}
std::string TaskSummary(const ParamBlock& b, int task, ImageLanguage) {
  const Task& t = b.TASKEINFO.TASK[task];
  return Number(2000 + t.YEAR) + "-" + TwoDigits(t.MONTH) + "-" + TwoDigits(t.DAY) + " " +
         TwoDigits(t.HOUR) + ":" + TwoDigits(t.MIN) + ":" + TwoDigits(t.SEC);
}
std::string LogoSummary(const ParamBlock& b, int, ImageLanguage language) {
  return OnOff(b.LOGOINFO.LOGOONOFF != 0, language);
}
std::string PreviewSummary(const ParamBlock& b, int, ImageLanguage language) {
  const uint8_t mode = b.PVWMODEINFO.PVWMODE;
  if (mode < std::size(kPreviewModes)) return Say(kPreviewModes[mode], language);
  return Number(mode);
}
std::string KeyerSummary(const ParamBlock& b, int keyer, ImageLanguage language) {
  return OnOff(b.KEYERINFO.KEYER[keyer].KEYERONOFF != 0, language);
}

// Group names: %L is the layer's name, %N the 1-based element number, %G the
// 1-based input group of a 4g + layer element. The rows are in page order.
struct GroupRow {
  GroupKind kind;
  ImagePage page;
  int count;
  Words name;
  Summary summary;
};

using P = ImagePage;
const GroupRow kGroupRows[] = {
    {GroupKind::LayerWindow, P::Layers, kLayers, {"%L window", "%L 窗口"}, WindowSummary},
    {GroupKind::LayerInput, P::Layers, kLayers, {"%L input", "%L 输入源"}, InputSummary},
    {GroupKind::LayerOnOff, P::Layers, kLayers, {"%L on/off", "%L 开关"}, LayerOnOffSummary},
    {GroupKind::Picture, P::Picture, 1, {"Picture", "图像"}, nullptr},
    {GroupKind::InputPicture,
     P::Picture,
     kInputGroups* kLayers,
     {"Picture of input group %G, %L", "输入组 %G %L 图像"},
     nullptr},
    {GroupKind::Output, P::Output, 1, {"Output", "输出"}, OutputSummary},
    {GroupKind::Mosaic, P::Mosaic, 1, {"Mosaic", "拼接"}, nullptr},
    {GroupKind::PreviewMode,
     P::Switcher,
     1,
     {"Preview/program mode", "预览/节目模式"},
     PreviewSummary},
    {GroupKind::Keyer, P::Keyer, 2, {"Keyer %N", "抠像 %N"}, KeyerSummary},
    {GroupKind::InputCrop,
     P::Crop,
     kInputGroups* kLayers,
     {"Crop of input group %G, %L", "输入组 %G %L 裁剪"},
     CropSummary},
    {GroupKind::Logo, P::Logo, 1, {"Logo", "台标"}, LogoSummary},
    {GroupKind::Edid, P::Edid, kEdidSlots, {"EDID slot %N", "EDID 槽 %N"}, EdidSummary},
    {GroupKind::TaskSwitch, P::Tasks, 1, {"Tasks", "定时任务"}, TaskSwitchSummary},
    {GroupKind::Task, P::Tasks, kTasks, {"Task %N", "任务 %N"}, TaskSummary},
    {GroupKind::Sync, P::Strip, 1, {"Sync", "同步"}, nullptr},
    {GroupKind::LoopOut, P::Strip, 1, {"Loop out", "环出"}, nullptr},
    {GroupKind::Freeze, P::Strip, 1, {"Freeze", "冻结"}, nullptr},
    {GroupKind::Board, P::Strip, 1, {"Expansion board", "扩展板"}, nullptr},
    {GroupKind::InputSlot, P::Inputs, kInputSlots, {"Input slot %N", "输入槽 %N"}, SlotSummary},
    {GroupKind::DpMode, P::Inputs, 1, {"DP mode", "DP 模式"}, nullptr},
};

constexpr Words kPageNames[] = {
    {"Layers", "图层"},
    {"Picture", "图像"},
    {"Output", "输出"},
    {"Mosaic", "拼接"},
    {"Switcher", "切换模式"},
    {"Keyer", "抠像"},
    {"Crop", "裁剪"},
    {"Logo", "台标"},
    {"EDID", "EDID"},
    {"Time and tasks", "时间和任务"},
    {"Control strip", "控制条"},
    {"Inputs", "输入"},
};
static_assert(std::size(kPageNames) == static_cast<std::size_t>(ImagePage::Inputs) + 1);

const GroupRow& RowOf(GroupKind kind) {
  for (const GroupRow& row : kGroupRows) {
    if (row.kind == kind) return row;
  }
  return kGroupRows[0];
}

bool LayerTrio(GroupKind kind) {
  return kind == GroupKind::LayerWindow || kind == GroupKind::LayerInput ||
         kind == GroupKind::LayerOnOff;
}

// The layer's window, input and on/off follow each other, layer by layer.
std::vector<ImageGroup> BuildGroups() {
  std::vector<ImageGroup> groups;
  for (const GroupRow& row : kGroupRows) {
    if (row.kind == GroupKind::LayerWindow) {
      for (int layer = 0; layer < kLayers; ++layer) {
        groups.push_back({GroupKind::LayerWindow, layer});
        groups.push_back({GroupKind::LayerInput, layer});
        groups.push_back({GroupKind::LayerOnOff, layer});
      }
      continue;
    }
    if (LayerTrio(row.kind)) continue;
    for (int i = 0; i < row.count; ++i) groups.push_back({row.kind, i});
  }
  return groups;
}

std::size_t KindSize(FieldKind kind) {
  switch (kind) {
    case FieldKind::U8:
    case FieldKind::OnOff:
      return 1;
    case FieldKind::U16:
    case FieldKind::Hundredths:
      return 2;
    case FieldKind::I32:
    case FieldKind::F32:
      return 4;
  }
  return 1;
}

std::vector<ImageField> BuildFields() {
  std::map<std::pair<GroupKind, int>, int> groupOf;
  const std::vector<ImageGroup>& groups = ImageGroups();
  for (std::size_t g = 0; g < groups.size(); ++g) {
    groupOf[{groups[g].kind, groups[g].index}] = static_cast<int>(g);
  }
  std::vector<ImageField> fields;
  for (const Placement& place : kPlacements) {
    for (int e = 0; e < place.count; ++e) {
      const int group = groupOf.at({place.kind, e});
      for (const MemberRow& row : place.rows) {
        const std::size_t size = KindSize(row.kind);
        const std::size_t elements = row.bytes / size;
        for (std::size_t k = 0; k < elements; ++k) {
          ImageField field;
          field.offset =
              static_cast<uint16_t>(place.base + e * place.stride + row.offset + k * size);
          field.size = static_cast<uint8_t>(size);
          field.kind = row.kind;
          field.group = group;
          field.name = elements > 1 ? row.name + Number(static_cast<int64_t>(k)) : row.name;
          const auto role = static_cast<uint8_t>(row.role);
          field.summary = (role & static_cast<uint8_t>(Role::Summary)) != 0;
          field.processorOwned = (role & static_cast<uint8_t>(Role::Owned)) != 0;
          fields.push_back(std::move(field));
        }
      }
    }
  }
  std::sort(fields.begin(), fields.end(),
            [](const ImageField& a, const ImageField& b) { return a.offset < b.offset; });
  return fields;
}

template <typename T>
T Read(const ParamBlock& image, std::size_t offset) {
  T value;
  std::memcpy(&value, reinterpret_cast<const uint8_t*>(&image) + offset, sizeof value);
  return value;
}

bool Differs(const ImageField& field, const ParamBlock& a, const ParamBlock& b) {
  return std::memcmp(reinterpret_cast<const uint8_t*>(&a) + field.offset,
                     reinterpret_cast<const uint8_t*>(&b) + field.offset, field.size) != 0;
}

void Replace(std::string& text, const std::string& key, const std::string& value) {
  const std::size_t at = text.find(key);
  if (at != std::string::npos) text.replace(at, key.size(), value);
}

constexpr const char* kArrow = " → ";

std::string Describe(int group, const std::vector<int>& changed, const ParamBlock& before,
                     const ParamBlock& after, ImageLanguage language) {
  const std::vector<ImageField>& fields = ImageFields();
  std::vector<std::string> parts;
  bool summaryChanged = false;
  for (int f : changed) summaryChanged = summaryChanged || fields[f].summary;
  const std::string from = GroupSummary(group, before, language);
  const std::string to = GroupSummary(group, after, language);
  // A summary that reads the same on both sides (two "on" values) shows its fields.
  const bool useSummary = summaryChanged && !from.empty() && from != to;
  if (useSummary) parts.push_back(from + kArrow + to);
  for (int f : changed) {
    const ImageField& field = fields[f];
    if (field.summary && useSummary) continue;
    parts.push_back(field.name + " " + FieldValue(field, before, language) + kArrow +
                    FieldValue(field, after, language));
  }
  std::string words = GroupName(group, language) + ": ";
  for (std::size_t i = 0; i < parts.size(); ++i) words += (i == 0 ? "" : ", ") + parts[i];
  return words;
}

}  // namespace

const std::vector<ImageGroup>& ImageGroups() {
  static const std::vector<ImageGroup> groups = BuildGroups();
  return groups;
}

const std::vector<ImageField>& ImageFields() {
  static const std::vector<ImageField> fields = BuildFields();
  return fields;
}

std::string GroupName(int group, ImageLanguage language) {
  const ImageGroup& g = ImageGroups().at(group);
  std::string name = Say(RowOf(g.kind).name, language);
  const bool perInputGroup = g.kind == GroupKind::InputPicture || g.kind == GroupKind::InputCrop;
  const int layer = perInputGroup ? g.index % kLayers : g.index;
  if (layer >= 0 && layer < kLayers) Replace(name, "%L", Say(kLayerNames[layer], language));
  Replace(name, "%G", Number(g.index / kLayers + 1));
  Replace(name, "%N", Number(g.index + 1));
  return name;
}

ImagePage PageOf(int group) {
  return RowOf(ImageGroups().at(group).kind).page;
}

std::string PageName(ImagePage page, ImageLanguage language) {
  return Say(kPageNames[static_cast<int>(page)], language);
}

std::string GroupSummary(int group, const ParamBlock& image, ImageLanguage language) {
  const ImageGroup& g = ImageGroups().at(group);
  const Summary summary = RowOf(g.kind).summary;
  return summary != nullptr ? summary(image, g.index, language) : std::string();
}

std::string FieldValue(const ImageField& field, const ParamBlock& image, ImageLanguage language) {
  switch (field.kind) {
    case FieldKind::U8:
      return Number(Read<uint8_t>(image, field.offset));
    case FieldKind::OnOff:
      return OnOff(Read<uint8_t>(image, field.offset) != 0, language);
    case FieldKind::U16:
      return Number(Read<uint16_t>(image, field.offset));
    case FieldKind::Hundredths:
      return Hertz(Read<uint16_t>(image, field.offset));
    case FieldKind::I32:
      return Number(Read<int32_t>(image, field.offset));
    case FieldKind::F32:
      return Real(Read<float>(image, field.offset));
  }
  return {};
}

ImageDiff DiffImages(const ParamBlock& before, const ParamBlock& after, ImageLanguage language) {
  const std::vector<ImageField>& fields = ImageFields();
  const std::size_t groups = ImageGroups().size();
  std::vector<std::vector<int>> panel(groups);
  std::vector<std::vector<int>> owned(groups);
  for (std::size_t f = 0; f < fields.size(); ++f) {
    if (!Differs(fields[f], before, after)) continue;
    auto& into = fields[f].processorOwned ? owned : panel;
    into[fields[f].group].push_back(static_cast<int>(f));
  }
  ImageDiff diff;
  for (std::size_t g = 0; g < groups; ++g) {
    const int group = static_cast<int>(g);
    if (!panel[g].empty()) {
      diff.changes.push_back({group, panel[g], Describe(group, panel[g], before, after, language)});
    }
    if (!owned[g].empty()) {
      diff.processorChanges.push_back(
          {group, owned[g], Describe(group, owned[g], before, after, language)});
    }
  }
  return diff;
}

ImageLanguage ImageLanguageOf(const std::string& languageName) {
  return languageName == "Chinese" ? ImageLanguage::Chinese : ImageLanguage::English;
}

}  // namespace orv
