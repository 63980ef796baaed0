#pragma once
// A read of the processor's parameter image that leaves the record alone:
// while a capture is armed, the next image (data type 2) goes to it instead
// of being applied, and no follow-up requests are sent. The review before a
// write-back compares the processor's image with the one about to be sent.
#include <functional>

#include "ParamBlock.h"

namespace orv {

// Runs on the reply thread with the image as the processor sent it.
using ImageCaptureFunction = std::function<void(const ParamBlock&)>;

// Arms a capture for the next image, replacing one already armed.
void ArmImageCapture(ImageCaptureFunction capture);
void DisarmImageCapture();
bool ImageCaptureArmed();

// For the decoder: hands `image` to an armed capture (which is disarmed) and
// says whether one took it.
bool DeliverCapturedImage(const ParamBlock& image);

}  // namespace orv
