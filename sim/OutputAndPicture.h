#pragma once
// What the processor does with the output timing and the picture commands,
// on its parameter image: the output stage's checks of a timing, the layer
// windows kept on a new output raster, and the picture record of one layer
// applied to its input group or to every group, with the two reset requests.
#include <array>
#include <cstdint>
#include <string>

#include "DeviceState.h"
#include "ParamBlock.h"

namespace orv::sim {

// The largest pixel clock the output stage runs, in pixels per second.
inline constexpr int64_t kOutputPixelClock = 164'500'000;

// Why the output stage refuses a timing: the acknowledge's reason byte.
inline constexpr uint8_t kRefusedPixelBudget = 1;
inline constexpr uint8_t kRefusedOutOfRange = 2;
inline constexpr uint8_t kRefusedNoBoard = 3;
inline constexpr uint8_t kRefusedEmptyPreset = 4;
inline constexpr uint8_t kRefusedOrdered = 5;

// SET_OUTPUT_TIMING. A custom timing (index 18) whose totals cannot hold
// the active area with its sync and back porch gets the totals raised; the
// budget is checked on the totals sent, so raised, whether or not the host
// showed them. One beyond the pixel clock (reason kRefusedPixelBudget), an
// index outside 0..18, a zero size or rate (kRefusedOutOfRange) is refused
// (false, `reason` set) and leaves the image as it was. On success the
// layer windows are moved, then shrunk, to lie inside the new raster.
bool ApplyOutputTiming(ParamBlock& image, const std::array<uint8_t, 32>& b,
                       uint8_t* reason = nullptr);

// The output set to a size of the resolution table, as the processor's own
// menu does: the table entry of that size at the current frame rate, else at
// 60 Hz, else the first of that size; its index, size and rate are applied
// with the current timing totals, and the layer windows are kept inside.
// A size the table does not hold changes nothing and gives an error text
// listing the sizes there are; "" on success.
std::string ApplyOutputSize(ParamBlock& image, const std::array<ResoEntry, 19>& table, int width,
                            int height);

// SET_PICTURE for `layer`, whose current input group is `group`. Byte 0 = 0
// first returns every picture record to its defaults; byte 5 = 1 writes the
// adjustments and gains to all twelve groups (the colour temperature only to
// `group`, as the panel stores it); byte 15 = 1 then returns the gains of the
// written groups to 128 and their colour temperature to the user one.
void ApplyPictureCommand(ParamBlock& image, const std::array<uint8_t, 32>& b, int layer, int group);

}  // namespace orv::sim
