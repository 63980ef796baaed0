#include "ImageCapture.h"

#include <mutex>
#include <utility>

namespace orv {

namespace {

std::mutex& CaptureMutex() {
  static std::mutex mutex;
  return mutex;
}

ImageCaptureFunction& Armed() {
  static ImageCaptureFunction capture;
  return capture;
}

}  // namespace

void ArmImageCapture(ImageCaptureFunction capture) {
  std::lock_guard lock(CaptureMutex());
  Armed() = std::move(capture);
}

void DisarmImageCapture() {
  std::lock_guard lock(CaptureMutex());
  Armed() = nullptr;
}

bool ImageCaptureArmed() {
  std::lock_guard lock(CaptureMutex());
  return static_cast<bool>(Armed());
}

bool DeliverCapturedImage(const ParamBlock& image) {
  ImageCaptureFunction capture;
  {
    std::lock_guard lock(CaptureMutex());
    capture = std::exchange(Armed(), nullptr);
  }
  if (!capture) return false;
  capture(image);
  return true;
}

}  // namespace orv
