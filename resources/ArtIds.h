#pragma once
// Numbers of the pictures delivered with the program. The first group is
// asked for by number in the page and control code; the second group (2000
// and up) are the generic faces the pages give their buttons and sliders.
namespace orv::art {

enum ArtId : int {
  kAppIcon = 103,
  kPageBackground = 106,  // bitmap, stretched over every page
  kTitleClose = 107,      // close button of the title band
  kTitleMaximise = 1561,  // second title button (video preview window)
  kTitleRestore = 1562,   // its alternate picture
  kWaitAnimation = 171,   // GIF of the wait box, 126 x 22, 12 frames
  kCaptionButton = 113,   // caption button of the test pattern page
  kKeyButton = 114,       // key buttons of the media player page
  kUdiskButton = 129,     // U-disk buttons of the media player page
  kUdiskButtonPressed = 147,
  kCheckerTransparent = 1531,  // bitmap behind a transparent caption preview
  kCheckerTranslucent = 1532,  // bitmap behind a translucent caption preview
  // Input strip slot images, normal and selected, per port kind.
  kSlotDp = 135,
  kSlotDpSelected = 136,
  kSlotDvi = 137,
  kSlotDviSelected = 138,
  kSlotHdmi = 139,
  kSlotHdmiSelected = 140,
  kSlotSdi = 141,
  kSlotSdiSelected = 143,
  kSlotVga = 151,
  kSlotVgaSelected = 153,
  kSlotUsb = 1585,
  kSlotUsbSelected = 99,
  kSignalPresent = 155,
  kSignalAbsent = 157,

  // Generic faces (no text: the button draws its caption on top).
  kFaceButton = 2001,        // ordinary page button, 96 x 28
  kFaceButtonActive = 2002,  // its checked / alternate look
  kFacePage = 2003,          // page buttons of the page column, 78 x 36
  kFacePageActive = 2004,
  kFaceLayer = 2005,  // PGM / PVW layer buttons, 70 x 26
  kFaceLayerActive = 2006,
  kFaceSwitchOff = 2007,  // on/off switches of the pages, 60 x 24
  kFaceSwitchOn = 2008,
  kFacePreset = 2009,  // preset buttons, 60 x 30
  kFacePresetActive = 2010,
  kFaceTake = 2011,  // TAKE, 90 x 40
  kLampOff = 2012,   // small indicators, 16 x 16
  kLampOn = 2013,
  kFaceTab = 2014,  // tab rows of the pages, 90 x 26
  kFaceTabActive = 2015,
  // Slider pictures.
  kSliderChannel = 2101,  // horizontal track, 200 x 16
  kSliderChannelActive = 2102,
  kSliderThumb = 2103,  // 12 x 16
  kSliderThumbActive = 2104,
  kSliderChannelV = 2105,  // vertical track, 16 x 200
  kSliderChannelActiveV = 2106,
  kSliderThumbV = 2107,  // 16 x 12
  kSliderThumbActiveV = 2108,
};

}  // namespace orv::art
