#include "MainPageRecord.h"

#include "DeviceState.h"

namespace orv::mainpage {

std::optional<std::string> PageRecord::InputName(int code) const {
  if (code < 0 || code >= static_cast<int>(inputNames.size())) return std::nullopt;
  return inputNames[static_cast<std::size_t>(code)];
}

std::optional<Rect> PageRecord::LogoWindow() const {
  if (logoEditId < 0 || logoEditId >= kLayers) return std::nullopt;
  return logoWindows[static_cast<std::size_t>(logoEditId)];
}

PageRecord ReadPageRecord() {
  PageRecord r;
  auto s = State();
  const ParamBlock& b = s->block;
  r.pvwMode = b.PVWMODEINFO.PVWMODE;
  r.logoUsage = b.LOGOINFO.LOGOUSAGE;
  r.logoOnOff = b.LOGOINFO.LOGOONOFF;
  r.logoEditId = s->LOGO_EDIT_ID;
  r.mosaicMode = b.MOSAICSETT.MOSAICMODE;
  r.mosaicByte2 = s->MOSAIC_BYTE2;
  r.hreso = b.OUTPUTRESO.HRESO;
  r.vreso = b.OUTPUTRESO.VRESO;
  r.replyFlag = s->REPLY1_FLAG;
  for (std::size_t i = 0; i < kLayers; ++i) {
    r.onProgram[i] = b.PVWMODEINFO.PGMSTATE[i] != 0;
    r.onPreview[i] = b.PVWMODEINFO.PVWSTATE[i] != 0;
    const ChannelData& c = b.CHNLDATA[i];
    r.layers[i] = {c.CHNLONOFF, c.CHNLINPUT, {c.HPOS, c.VPOS, c.HPOS + c.HACT, c.VPOS + c.VACT}};
    const int x = b.LOGOINFO.HPOS[i];
    const int y = b.LOGOINFO.VPOS[i];
    r.logoWindows[i] = {x, y, x + b.LOGOINFO.HACT[i], y + b.LOGOINFO.VACT[i]};
    const LayerDefault& d = s->LAYER_DEFAULT[i];
    r.layerDefaults[i] = {d.x, d.y, d.x + d.w, d.y + d.h};
  }
  for (std::size_t c = 0; c < r.inputNames.size(); ++c) r.inputNames[c] = s->INPUT_TABLE[c].name;
  return r;
}

}  // namespace orv::mainpage
