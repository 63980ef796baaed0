#include "ArtTable.h"

#include <iterator>

#include "ArtIds.h"

namespace orv::art {

namespace {
using T = ArtType;
using K = ArtKind;

constexpr ArtRow kTable[] = {
    {kAppIcon, T::Icon, 32, 32, K::AppIcon, "application icon"},
    {kPageBackground, T::Bitmap, 64, 64, K::PageBackground, "page background"},
    {kTitleClose, T::Png, 24, 24, K::TitleClose, "close"},
    {kTitleMaximise, T::Png, 24, 24, K::TitleMaximise, "maximise"},
    {kTitleRestore, T::Png, 24, 24, K::TitleRestore, "restore"},
    {kWaitAnimation, T::Gif, 126, 22, K::WaitAnimation, "wait animation"},
    {kCaptionButton, T::Png, 90, 28, K::FaceNormal, "caption button"},
    {kKeyButton, T::Png, 60, 28, K::FaceNormal, "media key"},
    {kUdiskButton, T::Png, 80, 28, K::FaceNormal, "U-disk"},
    {kUdiskButtonPressed, T::Png, 80, 28, K::FaceActive, "U-disk pressed"},
    {kCheckerTransparent, T::Bitmap, 240, 60, K::CheckerLight, "transparent preview"},
    {kCheckerTranslucent, T::Bitmap, 240, 60, K::CheckerDark, "translucent preview"},
    {kSlotDp, T::Png, 64, 24, K::PortNormal, "DP"},
    {kSlotDpSelected, T::Png, 64, 24, K::PortSelected, "DP"},
    {kSlotDvi, T::Png, 64, 24, K::PortNormal, "DVI"},
    {kSlotDviSelected, T::Png, 64, 24, K::PortSelected, "DVI"},
    {kSlotHdmi, T::Png, 64, 24, K::PortNormal, "HDMI"},
    {kSlotHdmiSelected, T::Png, 64, 24, K::PortSelected, "HDMI"},
    {kSlotSdi, T::Png, 64, 24, K::PortNormal, "SDI"},
    {kSlotSdiSelected, T::Png, 64, 24, K::PortSelected, "SDI"},
    {kSlotVga, T::Png, 64, 24, K::PortNormal, "VGA"},
    {kSlotVgaSelected, T::Png, 64, 24, K::PortSelected, "VGA"},
    {kSlotUsb, T::Png, 64, 24, K::PortNormal, "USB"},
    {kSlotUsbSelected, T::Png, 64, 24, K::PortSelected, "USB"},
    {kSignalPresent, T::Png, 64, 12, K::SignalPresent, "signal"},
    {kSignalAbsent, T::Png, 64, 12, K::SignalAbsent, "no signal"},
    {kFaceButton, T::Png, 96, 28, K::FaceNormal, "button"},
    {kFaceButtonActive, T::Png, 96, 28, K::FaceActive, "button checked"},
    {kFacePage, T::Png, 78, 36, K::FaceNormal, "page button"},
    {kFacePageActive, T::Png, 78, 36, K::FaceActive, "page button shown"},
    {kFaceLayer, T::Png, 70, 26, K::FaceNormal, "layer button"},
    {kFaceLayerActive, T::Png, 70, 26, K::FaceActive, "layer button on"},
    {kFaceSwitchOff, T::Png, 60, 24, K::SwitchOff, "switch off"},
    {kFaceSwitchOn, T::Png, 60, 24, K::SwitchOn, "switch on"},
    {kFacePreset, T::Png, 60, 30, K::FaceNormal, "preset"},
    {kFacePresetActive, T::Png, 60, 30, K::FaceActive, "preset selected"},
    {kFaceTake, T::Png, 90, 40, K::FaceActive, "TAKE"},
    {kLampOff, T::Png, 16, 16, K::LampOff, "indicator off"},
    {kLampOn, T::Png, 16, 16, K::LampOn, "indicator on"},
    {kFaceTab, T::Png, 90, 26, K::FaceDark, "tab"},
    {kFaceTabActive, T::Png, 90, 26, K::FaceActive, "tab selected"},
    {kSliderChannel, T::Png, 200, 16, K::ChannelH, "slider track"},
    {kSliderChannelActive, T::Png, 200, 16, K::ChannelActiveH, "slider track, active part"},
    {kSliderThumb, T::Png, 12, 16, K::ThumbH, "slider thumb"},
    {kSliderThumbActive, T::Png, 12, 16, K::ThumbActiveH, "slider thumb, dragged"},
    {kSliderChannelV, T::Png, 16, 200, K::ChannelV, "vertical slider track"},
    {kSliderChannelActiveV, T::Png, 16, 200, K::ChannelActiveV, "vertical track, active"},
    {kSliderThumbV, T::Png, 16, 12, K::ThumbV, "vertical slider thumb"},
    {kSliderThumbActiveV, T::Png, 16, 12, K::ThumbActiveV, "vertical thumb, dragged"},
};
}  // namespace

std::span<const ArtRow> ArtTable() {
  return kTable;
}

const ArtRow* FindArt(ArtType type, int id) {
  for (const ArtRow& row : kTable) {
    if (row.type == type && row.id == id) return &row;
  }
  return nullptr;
}

const char* ArtFolder(ArtType type) {
  switch (type) {
    case ArtType::Png:
      return "png";
    case ArtType::Bitmap:
      return "bmp";
    case ArtType::Gif:
      return "gif";
    case ArtType::Icon:
      return "icon";
  }
  return "png";
}

const char* ArtExtension(ArtType type) {
  switch (type) {
    case ArtType::Png:
      return "png";
    case ArtType::Bitmap:
      return "bmp";
    case ArtType::Gif:
      return "gif";
    case ArtType::Icon:
      return "png";
  }
  return "png";
}

}  // namespace orv::art
