#pragma once
// The range of every record field that a command carries and a page edits
// with a clamping control. A value read back from the device or a project
// may lie outside it; the page shows such a value clamped, so the encoder
// brings the record into the same range before it builds a payload: what a
// page shows is what is sent, and the record keeps the value sent.
#include <cstdint>

#include "DeviceState.h"

namespace orv {

struct FieldRange {
  int32_t min;
  int32_t max;
};

namespace range {
// Output timing (custom resolution); frame rate in hundredths of a hertz.
inline constexpr FieldRange kOutputWidth{640, 4080};
inline constexpr FieldRange kOutputHeight{480, 4080};
inline constexpr FieldRange kOutputRate{2300, 12000};
inline constexpr FieldRange kOutputHTotal{680, 4094};
inline constexpr FieldRange kOutputVTotal{492, 4094};
inline constexpr FieldRange kOutputSync{4, 128};
inline constexpr FieldRange kOutputBackPorch{4, 512};
// Picture: the bright level's 17 and the gamma's 0 mean "switched off".
inline constexpr FieldRange kBrightLevel{0, 17};
inline constexpr FieldRange kGammaTenths{0, 50};
inline constexpr FieldRange kPictureAdjust{0, 100};  // brightness, contrast, saturation, hue
inline constexpr FieldRange kSharpness{0, 24};
// Layer windows, crop, mosaic cells and logos in device pixels.
inline constexpr FieldRange kStart{0, 9999};
inline constexpr FieldRange kLayerSize{1, 9999};
inline constexpr FieldRange kCropSize{32, 9999};
inline constexpr FieldRange kMosaicValue{0, 9999};
inline constexpr FieldRange kLogoSize{8, 9999};
inline constexpr FieldRange kPipAlpha{0, 64};
// EDID timing; the frame rate shows as whole hertz 20..121.
inline constexpr FieldRange kEdidSize{240, 3840};
inline constexpr FieldRange kEdidRate{2000, 12100};
inline constexpr FieldRange kEdidBlank{0, 9999};
// Chroma keyer gains in and out (the band gain spans its whole byte).
inline constexpr FieldRange kKeyerGain{0, 64};
// VGA adjustment.
inline constexpr FieldRange kVgaClock{500, 4096};
inline constexpr FieldRange kVgaPhase{0, 63};
inline constexpr FieldRange kVgaHPosition{-100, 100};
inline constexpr FieldRange kVgaVPosition{-16, 16};
inline constexpr FieldRange kVgaLevel{0, 1023};
// Test pattern number, 0 = off.
inline constexpr FieldRange kTestPattern{0, 111};
// A task's time: month, day, hour, minute and second.
inline constexpr FieldRange kMonth{1, 12};
inline constexpr FieldRange kDay{1, 31};
inline constexpr FieldRange kHour{0, 23};
inline constexpr FieldRange kMinuteSecond{0, 59};
}  // namespace range

// Bring one part of the record into the ranges above, in place.
void BringIntoRange(OutputReso& timing);
void BringIntoRange(PicCommSett& picture);
void BringIntoRange(PicSet& adjustments);
void BringWindowIntoRange(ChannelData& layer);
void BringAlphaIntoRange(ChannelData& layer);
void BringIntoRange(Crop& crop);
void BringMosaicCellIntoRange(MosaicSett& mosaic, int cell);
// x, y, w, h of a logo rectangle.
void BringLogoIntoRange(uint16_t& x, uint16_t& y, uint16_t& w, uint16_t& h);
void BringIntoRange(EdidInfo& edid);
void BringIntoRange(Keyer& keyer);
void BringIntoRange(VgaAdjust& vga);
void BringTaskTimeIntoRange(Task& task);
void BringTestPatternIntoRange(uint8_t& pattern);

}  // namespace orv
