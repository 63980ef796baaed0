#pragma once
// The live video of one layer cell: a native child widget covering the cell,
// whose window SDL draws into (or, without a window system, a memory surface
// of the cell's size), registered as a target of decoder context 0.
#include <functional>
#include <memory>
#include <string>

#include "CellVideo.h"
#include "DecoderContext.h"
#include "SdlTarget.h"

class QWidget;

namespace orv::preview {

// Where targets draw: native windows (X11 with SDL up), memory surfaces (no
// window system: tests, the offscreen platform), or nowhere (a window system
// SDL cannot use: the panel works without a picture).
enum class DrawingSurface { NativeWindow, Memory, None };

class CellVideoWidget : public CellVideo {
 public:
  CellVideoWidget(QWidget* cell, int layer, FrameSize frame, DrawingSurface surface,
                  std::string fontPath);
  ~CellVideoWidget() override;

  void SetGeometry(int x, int y, int width, int height) override;
  void SetVisible(bool visible) override;
  void SetLabel(const char* utf8Text) override;

  int layer() const { return layer_; }
  // Adds the cell to the context's targets (once) and shows its window.
  void Register(const std::shared_ptr<DecoderContext>& context);
  // Drops and rebuilds the SDL objects for a new frame size (the registration stays).
  void Rebuild(FrameSize frame);
  void SetCrop(PixelRect source) { target_.SetSource(source); }
  SdlTarget& target() { return target_; }
  QWidget* window() const { return child_; }
  // Called once from the destructor (the owner of the cell list forgets it).
  void SetOnDestroyed(std::function<void(CellVideoWidget*)> f) { onDestroyed_ = std::move(f); }

 private:
  void Build();

  QWidget* child_;
  const int layer_;
  FrameSize frame_;
  const DrawingSurface surface_;
  SdlTarget target_;
  std::weak_ptr<DecoderContext> context_;
  int width_ = 1, height_ = 1;
  bool visible_ = false;
  std::function<void(CellVideoWidget*)> onDestroyed_;
};

}  // namespace orv::preview
