#pragma once
// The panel's preview: four decoder contexts (only context 0 is started),
// the preview frame size, the video parts of the layer cells and the video
// window's views. The main page owns one and calls it on the user-interface
// thread; FeedPacket comes from the communication thread.
//
// The contexts live as long as this object: switching the preview off stops
// them instead of freeing them, so a packet arriving at that moment meets a
// stopped context, never freed memory.
#include <QObject>

#include <array>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "CellVideoWidget.h"
#include "DecoderContext.h"
#include "DeviceState.h"
#include "PreviewGeometry.h"
#include "RendererReset.h"

class QWidget;

namespace orv {
class CellVideo;
}

namespace orv::preview {

class MShowVideoDlg;

constexpr int kDecoderContexts = 4;

using CellVideoFactory =
    std::function<std::unique_ptr<CellVideo>(QWidget* cellWidget, int zKey, int input)>;

class VideoPreview : public QObject {
  Q_OBJECT
 public:
  // `surface` Memory draws into memory surfaces (no window system, tests).
  VideoPreview(DrawingSurface surface, std::string fontPath, QObject* parent = nullptr);
  ~VideoPreview() override;

  // The drawing the running platform allows: native windows on X11 with SDL
  // up, memory surfaces without a window system, else none.
  static DrawingSurface SurfaceForPlatform();

  FrameSize frameSize() const { return frame_; }
  bool on() const { return on_; }

  // REPLY1_FLAG changed: context 0 started (with the frame size) or every context stopped.
  void Switch(bool on);
  void FeedPacket(int channel, std::span<const uint8_t> bytes);
  DecoderContext& context(int i) { return *contexts_[static_cast<std::size_t>(i)]; }

  // What the canvas calls to give a layer cell its video part.
  CellVideoFactory CellFactory();
  CellVideoWidget* Cell(int layer) const;
  void RegisterCell(int layer);
  void CropLayer(int layer, const DeviceState& state);

  // An encoder resolution code; false (and nothing rebuilt) for an unknown code.
  bool SetPreviewSize(int code, const DeviceState& state);
  void RecreatePreview(const DeviceState& state);

  void AttachVideoWindow(MShowVideoDlg* window);

  // The graphics library lost its renderers: `rebuild` runs once on this
  // object's thread (it should call RecreatePreview), then the notice re-arms.
  void SetResetHandler(std::function<void()> rebuild);
  RendererResetNotice& resetNotice() { return reset_; }

 private:
  void AttachContexts();

  const DrawingSurface surface_;
  const std::string fontPath_;
  FrameSize frame_;
  bool on_ = false;
  std::array<std::shared_ptr<DecoderContext>, kDecoderContexts> contexts_;
  std::vector<CellVideoWidget*> cells_;
  MShowVideoDlg* window_ = nullptr;
  std::function<void()> rebuild_;
  RendererResetNotice reset_;
};

}  // namespace orv::preview
