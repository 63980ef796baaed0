#include "VideoPreview.h"

#include <QGuiApplication>

#include <algorithm>

#include "MShowVideoDlg.h"

namespace orv::preview {

VideoPreview::VideoPreview(DrawingSurface surface, std::string fontPath, QObject* parent)
    : QObject(parent), surface_(surface), fontPath_(std::move(fontPath)), reset_([this] {
        // Any thread: only a queued call onto the user-interface thread.
        QMetaObject::invokeMethod(
            this,
            [this] {
              if (rebuild_) rebuild_();
              reset_.Rearm();
            },
            Qt::QueuedConnection);
      }) {
  for (auto& c : contexts_) c = std::make_shared<DecoderContext>();
  reset_.Watch();
}

VideoPreview::~VideoPreview() {
  for (auto& c : contexts_) c->Stop();
  for (auto* cell : cells_) cell->SetOnDestroyed(nullptr);
}

DrawingSurface VideoPreview::SurfaceForPlatform() {
  const QString platform = QGuiApplication::platformName();
  if (platform == QStringLiteral("offscreen") || platform == QStringLiteral("minimal")) {
    return DrawingSurface::Memory;
  }
  if (platform == QStringLiteral("xcb") && InitSdlVideo()) return DrawingSurface::NativeWindow;
  return DrawingSurface::None;
}

void VideoPreview::Switch(bool on) {
  on_ = on;
  if (on) {
    contexts_[0]->SetDecoderSize(frame_);
    contexts_[0]->Start();
  } else {
    for (auto& c : contexts_) c->Stop();
  }
  AttachContexts();
}

void VideoPreview::FeedPacket(int channel, std::span<const uint8_t> bytes) {
  if (channel < 0 || channel >= kDecoderContexts) return;
  contexts_[static_cast<std::size_t>(channel)]->FeedPacket(bytes);
}

CellVideoFactory VideoPreview::CellFactory() {
  return [this](QWidget* cellWidget, int zKey, int) -> std::unique_ptr<CellVideo> {
    if (!cellWidget) return nullptr;
    auto cell = std::make_unique<CellVideoWidget>(cellWidget, zKey, frame_, surface_, fontPath_);
    cell->SetOnDestroyed([this](CellVideoWidget* gone) { std::erase(cells_, gone); });
    cells_.push_back(cell.get());
    return cell;
  };
}

CellVideoWidget* VideoPreview::Cell(int layer) const {
  auto found = std::find_if(cells_.begin(), cells_.end(),
                            [layer](const CellVideoWidget* c) { return c->layer() == layer; });
  return found == cells_.end() ? nullptr : *found;
}

void VideoPreview::RegisterCell(int layer) {
  if (auto* cell = Cell(layer); cell && on_) cell->Register(contexts_[0]);
}

void VideoPreview::CropLayer(int layer, const DeviceState& state) {
  auto* cell = Cell(layer);
  if (!cell) return;
  if (const auto crop = LayerCrop(state, layer, frame_)) cell->SetCrop(*crop);
}

bool VideoPreview::SetPreviewSize(int code, const DeviceState& state) {
  const auto size = FrameSizeOfCode(code);
  if (!size) return false;
  frame_ = *size;
  RecreatePreview(state);
  return true;
}

void VideoPreview::RecreatePreview(const DeviceState& state) {
  on_ = state.REPLY1_FLAG != 0;
  for (std::size_t i = 0; i < contexts_.size(); ++i) {
    contexts_[i]->Stop();
    if (i == 0 && on_) {
      contexts_[0]->SetDecoderSize(frame_);
      contexts_[0]->Start();
    }
  }
  AttachContexts();
  for (auto* cell : cells_) {
    cell->Rebuild(frame_);
    if (on_) cell->Register(contexts_[0]);
    const int layer = cell->layer();
    const bool shown = layer >= 0 && layer < kLayers && state.block.CHNLDATA[layer].CHNLONOFF;
    cell->SetVisible(shown);
    CropLayer(layer, state);
  }
}

void VideoPreview::AttachVideoWindow(MShowVideoDlg* window) {
  // Each view leaves the decoder's table before its SDL objects go.
  if (window_ && window_ != window) window_->AttachContexts(nullptr, frame_, surface_);
  window_ = window;
  AttachContexts();
}

void VideoPreview::AttachContexts() {
  if (!window_) return;
  window_->AttachContexts(on_ ? contexts_[0] : nullptr, frame_, surface_);
}

void VideoPreview::SetResetHandler(std::function<void()> rebuild) {
  rebuild_ = std::move(rebuild);
}

}  // namespace orv::preview
