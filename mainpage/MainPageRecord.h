#pragma once
// The fields of the device state record the main page arranges its cells by,
// copied out under the record's lock in one go so that the canvas is never
// touched while the lock is held.
#include <array>
#include <optional>
#include <string>

#include "CanvasRect.h"
#include "MainPageLayout.h"

namespace orv::mainpage {

struct LayerRecord {
  int onOff = 0;
  int input = 0;
  Rect window;  // HPOS, VPOS, HPOS + HACT, VPOS + VACT
};

struct PageRecord {
  int pvwMode = 0;
  std::array<bool, kLayers> onProgram{};
  std::array<bool, kLayers> onPreview{};
  int logoUsage = 0;
  int logoOnOff = 0;
  int logoEditId = 0;
  std::array<Rect, kLayers> logoWindows{};  // by logo id
  int mosaicMode = 0;
  int mosaicByte2 = 0;
  int hreso = 0;
  int vreso = 0;
  std::array<LayerRecord, kLayers> layers{};
  std::array<Rect, kLayers> layerDefaults{};
  std::array<std::string, 12> inputNames{};
  int replyFlag = 0;

  // The name of an input code; nothing for a code outside the table.
  std::optional<std::string> InputName(int code) const;
  // The logo window PIP-3 shows; nothing for a logo id outside the table.
  std::optional<Rect> LogoWindow() const;
};

PageRecord ReadPageRecord();

}  // namespace orv::mainpage
