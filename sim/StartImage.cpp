// The parameter image of a freshly started processor: 1920 x 1080 at 60 Hz
// out, a DVI and an HDMI input with a signal, the other slots idle, the main
// layer full screen with one picture-in-picture window open and two more
// prepared.
#include <cstring>

#include "DeviceModel.h"

namespace orv::sim {

namespace {

struct SlotStart {
  int32_t portType;  // 3 VGA, 4 DVI, 6 HDMI, 7 SDI, 8 DP, 9 USB disk
  uint8_t signal;
  uint16_t width, height, fps;
};

constexpr SlotStart kSlots[kInputSlots] = {
    {4, 1, 1920, 1080, 6000}, {6, 0, 0, 0, 0}, {4, 1, 1280, 720, 6000}, {6, 0, 0, 0, 0},
    {8, 0, 0, 0, 0},          {7, 0, 0, 0, 0}, {3, 0, 0, 0, 0},         {9, 0, 0, 0, 0},
};

struct LayerStart {
  uint8_t on, alpha, input;
  int32_t x, y, w, h;
};

constexpr LayerStart kLayerStarts[kLayers] = {
    {1, 255, 0, 0, 0, 1920, 1080},
    {1, 255, 2, 1280, 60, 576, 324},
    {0, 255, 1, 60, 60, 480, 270},
    {0, 255, 3, 60, 690, 480, 270},
};

}  // namespace

ParamBlock StartImage() {
  ParamBlock p;
  std::memset(&p, 0, sizeof p);

  auto& o = p.OUTPUTRESO;
  o.RESOINDEX = 10;  // "1920 x 1080    60Hz"
  o.HRESO = 1920;
  o.VRESO = 1080;
  o.FPS = 6000;
  o.HTOTAL = 2200;
  o.VTOTAL = 1125;
  o.HSYNC = 44;
  o.VSYNC = 5;
  o.HBP = 148;
  o.VBP = 36;
  o.HPOL = 1;
  o.VPOL = 1;

  p.PICCOMMSETT = {0, 17, 2.2f};

  auto& m = p.MOSAICSETT;
  for (int c = 0; c < 4; ++c) {
    m.HPOS[c] = (c % 2) * 960;
    m.VPOS[c] = (c / 2) * 540;
    m.HACT[c] = 960;
    m.VACT[c] = 540;
    m.HTOTAL[c] = 1920;
    m.VTOTAL[c] = 1080;
  }

  for (int i = 0; i < kLayers; ++i) {
    const auto& s = kLayerStarts[i];
    p.CHNLDATA[i] = {s.on, s.alpha, s.input, 0, s.x, s.y, s.w, s.h, 0};
  }

  for (int s = 0; s < kInputSlots; ++s) {
    p.INPUTINFO.INPUTSRC[s] = kSlots[s].portType;
    p.INPUTINFO.INPUTSTATE[s] = kSlots[s].signal;
    p.INPUTINFO.INPUTRESO[s] = {
        static_cast<uint8_t>(s), 0, kSlots[s].width, kSlots[s].height, kSlots[s].fps, 0, 0};
  }

  for (auto& ps : p.PICSET) {
    ps.BRIGHTNESS = 50;
    ps.CONTRAST = 50;
    ps.SHARPNESS = 12;
    ps.SATURATION = 50;
    ps.HUE = 50;
    ps.COLORTEMP = 2;  // 6500 K
    ps.COLORRED = ps.COLORGREEN = ps.COLORBLUE = 128;
  }

  for (int g = 0; g < kInputGroups; ++g) {
    const bool live = g < kInputSlots && kSlots[g].signal;
    const uint16_t w = live ? kSlots[g].width : 1920;
    const uint16_t h = live ? kSlots[g].height : 1080;
    for (int l = 0; l < kLayers; ++l) p.CROP[GroupLayerIndex(g, l)] = {0, 0, 0, 0, w, h, w, h};
  }

  constexpr uint8_t kEdidCodes[kEdidSlots] = {0, 1, 2, 3, 4, 6, 7};  // SDI-1 has none
  for (int e = 0; e < kEdidSlots; ++e)
    p.EDIDINFO[e] = {kEdidCodes[e], 0, 1920, 1080, 6000, 280, 45};

  for (auto& t : p.TASKEINFO.TASK) t.PRESETID = 0;

  auto& logo = p.LOGOINFO;
  for (int id = 0; id < 4; ++id) {
    logo.HPOS[id] = 1700;
    logo.VPOS[id] = static_cast<uint16_t>(40 + 110 * id);
    logo.HACT[id] = 160;
    logo.VACT[id] = 90;
  }

  p.PVWMODEINFO.PVWMODE = 0;
  p.PVWMODEINFO.PVWDTIME = 5;
  p.PVWMODEINFO.PGMSTATE[0] = 1;
  p.PVWMODEINFO.PGMSTATE[1] = 1;

  for (int k = 0; k < 2; ++k) {
    auto& key = p.KEYERINFO.KEYER[k];
    key.KEYERCHNL = k == 0 ? 3 : 1;
    key.KEYERREDL = 0;
    key.KEYERREDH = 100;
    key.KEYERGREENL = 150;
    key.KEYERGREENH = 255;
    key.KEYERBLUEL = 0;
    key.KEYERBLUEH = 100;
    key.KEYERGAININ = 50;
    key.KEYERGAINOUT = 50;
    key.KEYERGAINBND = 10;
  }
  return p;
}

}  // namespace orv::sim
