#pragma once
// The device's 2360-byte parameter image. Its byte layout is shared with the
// processor: every offset below is binding and is checked at compile time.
// Gaps are named gapN and carry no meaning.
#include <cstddef>
#include <cstdint>

#include "CommLibrary.h"

namespace orv {

struct OutputReso {
  int32_t RESOINDEX;
  uint16_t HRESO;
  uint16_t VRESO;
  uint16_t FPS;  // hundredths of a hertz
  uint16_t HTOTAL;
  uint16_t VTOTAL;
  uint16_t HSYNC;
  uint16_t VSYNC;
  uint16_t HBP;
  uint16_t VBP;
  uint8_t HPOL;
  uint8_t VPOL;
};

struct PicCommSett {
  int32_t PICMODE;
  int32_t BRIGHTLEVEL;
  float GAMMA;
};

struct MosaicSett {
  int32_t MOSAICMODE;
  int32_t MOSAIC_OPT;
  int32_t MOSAICAUTOARR;
  int32_t HPOS[4];
  int32_t VPOS[4];
  int32_t HACT[4];
  int32_t VACT[4];
  int32_t HTOTAL[4];
  int32_t VTOTAL[4];
};

struct ChannelData {
  uint8_t CHNLONOFF;
  uint8_t CHNLALPHA;
  uint8_t CHNLINPUT;  // input code 0..11
  uint8_t gap3;
  int32_t HPOS;
  int32_t VPOS;
  int32_t HACT;
  int32_t VACT;
  int32_t CHNLROTATION;
};

struct InputReso {
  uint8_t INPUTRESOIDX;
  uint8_t gap1;
  uint16_t INPUTRESOHACT;
  uint16_t INPUTRESOVACT;
  uint16_t INPUTRESOFPS;
  uint8_t INPUTRESOILE;
  uint8_t gap9;
};

struct InputInfo {
  int32_t INPUTSRC[8];  // port type per slot; outside 0..9 = slot absent
  uint8_t INPUTSTATE[8];
  InputReso INPUTRESO[8];
};

struct PicSet {
  uint8_t BRIGHTNESS;
  uint8_t CONTRAST;
  uint8_t SHARPNESS;
  uint8_t SATURATION;
  uint8_t HUE;
  uint8_t gap5[3];
  int32_t COLORTEMP;
  uint8_t COLORRED;
  uint8_t COLORGREEN;
  uint8_t COLORBLUE;
  uint8_t gap15;
  uint8_t OPTION;
  uint8_t gap17[3];
};

struct Crop {
  uint8_t CROPONOFF;
  uint8_t gap1;
  uint16_t HPOS;
  uint16_t VPOS;
  uint16_t HACT;
  uint16_t VACT;
  uint16_t HTOTAL;  // source width, kept from input timing replies
  uint16_t VTOTAL;  // source height
};

struct EdidInfo {
  uint8_t INPUTSRC;
  uint8_t gap1;
  uint16_t HACT;
  uint16_t VACT;
  uint16_t FPS;
  uint16_t HBLANK;
  uint16_t VBLANK;
};

struct Task {
  uint8_t YEAR;
  uint8_t MONTH;
  uint8_t DAY;
  uint8_t HOUR;
  uint8_t MIN;
  uint8_t SEC;
  uint8_t PRESETID;
  uint8_t gap7;
  int32_t OPTION;
};

struct TaskeInfo {
  uint8_t TASKSTATUS;
  uint8_t gap1[3];
  Task TASK[10];
};

struct LogoInfo {
  uint8_t LOGOUSAGE;
  uint8_t LOGOCURID;
  uint8_t LOGOONOFF;
  uint8_t LOGOPOS;
  uint8_t LOGO_OPT;
  uint8_t gap5;
  uint16_t HPOS[4];
  uint16_t VPOS[4];
  uint16_t HACT[4];
  uint16_t VACT[4];
  uint8_t LOGOVALID[4];
};

struct PvwModeInfo {
  uint8_t PVWMODE;
  uint8_t gap1[3];
  int32_t PVWDTIME;
  uint8_t PGMSTATE[4];
  uint8_t PVWSTATE[4];
};

struct Keyer {
  uint8_t KEYERCHNL;
  uint8_t KEYERONOFF;
  uint8_t gap2[2];
  int32_t KEYERMODE;
  uint8_t KEYERREDL;
  uint8_t KEYERREDH;
  uint8_t KEYERGREENL;
  uint8_t KEYERGREENH;
  uint8_t KEYERBLUEL;
  uint8_t KEYERBLUEH;
  uint8_t KEYERGAININ;
  uint8_t KEYERGAINOUT;
  uint8_t KEYERGAINBND;
  uint8_t gap17[3];
};

struct KeyerInfo {
  Keyer KEYER[2];  // keyer 0 belongs to channel 3, keyer 1 to channel 1
};

struct LoopInfo {
  uint8_t LOOPOUTIP;
};

struct MachineSyncMode {
  int32_t SYNCLOCKMODE;
  int32_t SYNCMODE;
};

struct CompositeBoard {
  uint8_t CMPBOARDEXIST;
  uint8_t gap1[3];
  int32_t CMPBOARDIPSRC[3];
  int32_t CMPBOARDACTNOSRC;
  uint8_t CMPBOARDACTSIGNAL;
  uint8_t gap21;
  uint16_t CMPBOARDACTHACT;
  uint8_t gap24[2];
  uint16_t CMPBOARDACTVACT;
  uint8_t gap28[2];
  uint16_t CMPBOARDACTFPS;
  uint8_t gap32[2];
  uint8_t CMPBOARDACTINTERLACE;
  uint8_t gap35;
  uint8_t CMPBOARDACTDUAL;
  uint8_t gap37[3];
  int32_t CMPBOARDMODE;
};

constexpr int kLayers = 4;
constexpr int kInputCodes = 12;
constexpr int kInputSlots = 8;
constexpr int kInputGroups = 12;
constexpr int kEdidSlots = 7;
constexpr int kTasks = 10;
constexpr int kPresets = 10;

// Element (group g, layer i) of PICSET and CROP sits at index 4g + i.
constexpr int GroupLayerIndex(int group, int layer) {
  return 4 * group + layer;
}

struct ParamBlock {
  OutputReso OUTPUTRESO;
  PicCommSett PICCOMMSETT;
  MosaicSett MOSAICSETT;
  ChannelData CHNLDATA[kLayers];
  InputInfo INPUTINFO;
  PicSet PICSET[kInputGroups * kLayers];
  Crop CROP[kInputGroups * kLayers];
  uint8_t DPMDE[4];
  EdidInfo EDIDINFO[kEdidSlots];
  TaskeInfo TASKEINFO;
  LogoInfo LOGOINFO;
  uint8_t gap8C6[2];
  PvwModeInfo PVWMODEINFO;
  KeyerInfo KEYERINFO;
  LoopInfo LOOPINFO;
  uint8_t FREEZE_STATE;
  uint8_t gap902[2];
  MachineSyncMode MACHINESYNCMODE;
  CompositeBoard COMPOSITEBOARD;
};

static_assert(sizeof(OutputReso) == 24);
static_assert(sizeof(PicCommSett) == 12);
static_assert(sizeof(MosaicSett) == 108);
static_assert(sizeof(ChannelData) == 24);
static_assert(sizeof(InputReso) == 10);
static_assert(sizeof(PicSet) == 20);
static_assert(sizeof(Crop) == 14);
static_assert(sizeof(EdidInfo) == 12);
static_assert(sizeof(Task) == 12);
static_assert(sizeof(TaskeInfo) == 124);
static_assert(sizeof(LogoInfo) == 42);
static_assert(sizeof(PvwModeInfo) == 16);
static_assert(sizeof(Keyer) == 20);
static_assert(sizeof(CompositeBoard) == 44);
static_assert(sizeof(ParamBlock) == kParamBlockSize);

#define ORV_AT(member, offset) static_assert(offsetof(ParamBlock, member) == (offset), #member)
ORV_AT(OUTPUTRESO.RESOINDEX, 0x000);
ORV_AT(OUTPUTRESO.HRESO, 0x004);
ORV_AT(OUTPUTRESO.VRESO, 0x006);
ORV_AT(OUTPUTRESO.FPS, 0x008);
ORV_AT(OUTPUTRESO.HTOTAL, 0x00A);
ORV_AT(OUTPUTRESO.VTOTAL, 0x00C);
ORV_AT(OUTPUTRESO.HSYNC, 0x00E);
ORV_AT(OUTPUTRESO.VSYNC, 0x010);
ORV_AT(OUTPUTRESO.HBP, 0x012);
ORV_AT(OUTPUTRESO.VBP, 0x014);
ORV_AT(OUTPUTRESO.HPOL, 0x016);
ORV_AT(OUTPUTRESO.VPOL, 0x017);
ORV_AT(PICCOMMSETT.PICMODE, 0x018);
ORV_AT(PICCOMMSETT.BRIGHTLEVEL, 0x01C);
ORV_AT(PICCOMMSETT.GAMMA, 0x020);
ORV_AT(MOSAICSETT.MOSAICMODE, 0x024);
ORV_AT(MOSAICSETT.MOSAIC_OPT, 0x028);
ORV_AT(MOSAICSETT.MOSAICAUTOARR, 0x02C);
ORV_AT(MOSAICSETT.HPOS, 0x030);
ORV_AT(MOSAICSETT.VPOS, 0x040);
ORV_AT(MOSAICSETT.HACT, 0x050);
ORV_AT(MOSAICSETT.VACT, 0x060);
ORV_AT(MOSAICSETT.HTOTAL, 0x070);
ORV_AT(MOSAICSETT.VTOTAL, 0x080);
ORV_AT(CHNLDATA, 0x090);
ORV_AT(CHNLDATA[1], 0x090 + 24);
ORV_AT(CHNLDATA[3].CHNLROTATION, 0x090 + 3 * 24 + 20);
ORV_AT(INPUTINFO.INPUTSRC, 0x0F0);
ORV_AT(INPUTINFO.INPUTSTATE, 0x110);
ORV_AT(INPUTINFO.INPUTRESO, 0x118);
ORV_AT(INPUTINFO.INPUTRESO[7].INPUTRESOILE, 0x118 + 7 * 10 + 8);
ORV_AT(PICSET, 0x168);
ORV_AT(PICSET[47].OPTION, 0x168 + 20 * 47 + 16);
ORV_AT(CROP, 0x528);
ORV_AT(CROP[47].VTOTAL, 0x528 + 14 * 47 + 12);
ORV_AT(DPMDE, 0x7C8);
ORV_AT(EDIDINFO, 0x7CC);
ORV_AT(EDIDINFO[6].VBLANK, 0x7CC + 6 * 12 + 10);
ORV_AT(TASKEINFO.TASKSTATUS, 0x820);
ORV_AT(TASKEINFO.TASK, 0x824);
ORV_AT(TASKEINFO.TASK[9].OPTION, 0x824 + 9 * 12 + 8);
ORV_AT(LOGOINFO.LOGOUSAGE, 0x89C);
ORV_AT(LOGOINFO.LOGOCURID, 0x89D);
ORV_AT(LOGOINFO.LOGOONOFF, 0x89E);
ORV_AT(LOGOINFO.LOGOPOS, 0x89F);
ORV_AT(LOGOINFO.LOGO_OPT, 0x8A0);
ORV_AT(LOGOINFO.HPOS, 0x8A2);
ORV_AT(LOGOINFO.VPOS, 0x8AA);
ORV_AT(LOGOINFO.HACT, 0x8B2);
ORV_AT(LOGOINFO.VACT, 0x8BA);
ORV_AT(LOGOINFO.LOGOVALID, 0x8C2);
ORV_AT(gap8C6, 0x8C6);
ORV_AT(PVWMODEINFO.PVWMODE, 0x8C8);
ORV_AT(PVWMODEINFO.PVWDTIME, 0x8CC);
ORV_AT(PVWMODEINFO.PGMSTATE, 0x8D0);
ORV_AT(PVWMODEINFO.PVWSTATE, 0x8D4);
ORV_AT(KEYERINFO.KEYER, 0x8D8);
ORV_AT(KEYERINFO.KEYER[1], 0x8D8 + 20);
ORV_AT(LOOPINFO.LOOPOUTIP, 0x900);
ORV_AT(FREEZE_STATE, 0x901);
ORV_AT(MACHINESYNCMODE.SYNCLOCKMODE, 0x904);
ORV_AT(MACHINESYNCMODE.SYNCMODE, 0x908);
ORV_AT(COMPOSITEBOARD.CMPBOARDEXIST, 0x90C);
ORV_AT(COMPOSITEBOARD.CMPBOARDIPSRC, 0x910);
ORV_AT(COMPOSITEBOARD.CMPBOARDACTNOSRC, 0x91C);
ORV_AT(COMPOSITEBOARD.CMPBOARDACTSIGNAL, 0x920);
ORV_AT(COMPOSITEBOARD.CMPBOARDACTHACT, 0x922);
ORV_AT(COMPOSITEBOARD.CMPBOARDACTVACT, 0x926);
ORV_AT(COMPOSITEBOARD.CMPBOARDACTFPS, 0x92A);
ORV_AT(COMPOSITEBOARD.CMPBOARDACTINTERLACE, 0x92E);
ORV_AT(COMPOSITEBOARD.CMPBOARDACTDUAL, 0x930);
ORV_AT(COMPOSITEBOARD.CMPBOARDMODE, 0x934);
#undef ORV_AT

// Every field of the repeated records at its offset inside the record; with
// the element offsets above this fixes every byte of the image.
#define ORV_IN(record, member, offset) \
  static_assert(offsetof(record, member) == (offset), #record "." #member)
ORV_IN(ChannelData, CHNLONOFF, 0);
ORV_IN(ChannelData, CHNLALPHA, 1);
ORV_IN(ChannelData, CHNLINPUT, 2);
ORV_IN(ChannelData, HPOS, 4);
ORV_IN(ChannelData, VPOS, 8);
ORV_IN(ChannelData, HACT, 12);
ORV_IN(ChannelData, VACT, 16);
ORV_IN(ChannelData, CHNLROTATION, 20);
ORV_IN(InputReso, INPUTRESOIDX, 0);
ORV_IN(InputReso, INPUTRESOHACT, 2);
ORV_IN(InputReso, INPUTRESOVACT, 4);
ORV_IN(InputReso, INPUTRESOFPS, 6);
ORV_IN(InputReso, INPUTRESOILE, 8);
ORV_IN(PicSet, BRIGHTNESS, 0);
ORV_IN(PicSet, CONTRAST, 1);
ORV_IN(PicSet, SHARPNESS, 2);
ORV_IN(PicSet, SATURATION, 3);
ORV_IN(PicSet, HUE, 4);
ORV_IN(PicSet, COLORTEMP, 8);
ORV_IN(PicSet, COLORRED, 12);
ORV_IN(PicSet, COLORGREEN, 13);
ORV_IN(PicSet, COLORBLUE, 14);
ORV_IN(PicSet, OPTION, 16);
ORV_IN(Crop, CROPONOFF, 0);
ORV_IN(Crop, HPOS, 2);
ORV_IN(Crop, VPOS, 4);
ORV_IN(Crop, HACT, 6);
ORV_IN(Crop, VACT, 8);
ORV_IN(Crop, HTOTAL, 10);
ORV_IN(Crop, VTOTAL, 12);
ORV_IN(EdidInfo, INPUTSRC, 0);
ORV_IN(EdidInfo, HACT, 2);
ORV_IN(EdidInfo, VACT, 4);
ORV_IN(EdidInfo, FPS, 6);
ORV_IN(EdidInfo, HBLANK, 8);
ORV_IN(EdidInfo, VBLANK, 10);
ORV_IN(Task, YEAR, 0);
ORV_IN(Task, MONTH, 1);
ORV_IN(Task, DAY, 2);
ORV_IN(Task, HOUR, 3);
ORV_IN(Task, MIN, 4);
ORV_IN(Task, SEC, 5);
ORV_IN(Task, PRESETID, 6);
ORV_IN(Task, OPTION, 8);
ORV_IN(Keyer, KEYERCHNL, 0);
ORV_IN(Keyer, KEYERONOFF, 1);
ORV_IN(Keyer, KEYERMODE, 4);
ORV_IN(Keyer, KEYERREDL, 8);
ORV_IN(Keyer, KEYERREDH, 9);
ORV_IN(Keyer, KEYERGREENL, 10);
ORV_IN(Keyer, KEYERGREENH, 11);
ORV_IN(Keyer, KEYERBLUEL, 12);
ORV_IN(Keyer, KEYERBLUEH, 13);
ORV_IN(Keyer, KEYERGAININ, 14);
ORV_IN(Keyer, KEYERGAINOUT, 15);
ORV_IN(Keyer, KEYERGAINBND, 16);
#undef ORV_IN

}  // namespace orv
