#pragma once
// The seam between the main page and the live video preview. The page owns
// at most one; without one (no preview built in) the page arranges its cells
// the same way and the cells carry no video.
#include <cstdint>
#include <span>

#include "CPictureCtrl.h"

namespace orv {

class CCell;

class MainPagePreview {
 public:
  virtual ~MainPagePreview() = default;
  // Preview switched on: the four decoder contexts are created when there
  // are none, context 0 gets the preview frame size and is started, and the
  // video window is handed the contexts.
  virtual void StartContexts() = 0;
  // Preview switched off, and before the page goes: the contexts are stopped
  // and freed when there are any, and the video window drops its views.
  virtual void StopContexts() = 0;
  // Makes the video of a new layer cell; the canvas calls it while video is on.
  virtual CPictureCtrl::CellVideoFactory CellVideoFactory() = 0;
  // A new layer cell joins the decoder's target table.
  virtual void RegisterCell(CCell* cell) = 0;
  // The part of the preview frame that layer `layer`'s cell shows.
  virtual void CropLayer(int layer) = 0;
  // The encoder's resolution code (sub-code 0x5C4) sets the preview frame size.
  virtual void SetPreviewSize(int code) = 0;
  // UM_PREVIEW_RESET: the renderers are made again.
  virtual void RecreateRenderers() = 0;
  // The main window's preview button: the floating video window comes up,
  // or goes when it is up.
  virtual void ToggleVideoWindow() = 0;
  // One packet of the device's preview stream; called on the reply thread.
  virtual void FeedPacket(int channel, std::span<const uint8_t> bytes) = 0;
};

}  // namespace orv
