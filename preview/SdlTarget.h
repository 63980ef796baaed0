#pragma once
// One SDL drawing target for decoded pictures: a layer cell (IYUV texture,
// label in red) or a video-window view (YV12 texture, no label). It draws on
// a renderer made either from a native window (the widget's window id) or,
// where no native window can exist, from a memory surface with SDL's software
// renderer, so tests run the same path and read the pixels back.
//
// The render mutex guards every SDL object and the source rectangle: the
// render thread draws under it, the user-interface thread builds, moves,
// crops and destroys under it. Without a renderer or texture nothing is
// drawn; the rest of the panel carries on.
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "PreviewGeometry.h"
#include "PreviewTarget.h"

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;
struct SDL_Surface;
typedef struct _TTF_Font TTF_Font;

namespace orv::preview {

enum class TextureKind { Iyuv, Yv12 };

class SdlTarget : public PreviewTarget {
 public:
  // `fontPath` empty: no label is drawn.
  SdlTarget(TextureKind kind, std::string fontPath);
  ~SdlTarget() override;
  SdlTarget(const SdlTarget&) = delete;
  SdlTarget& operator=(const SdlTarget&) = delete;

  // Builds window, renderer and a W x H texture; false when any of them
  // cannot be made (the target then never draws). Previous objects go first.
  bool BuildOnWindow(uintptr_t nativeWindow, FrameSize frame);
  bool BuildOnSurface(int width, int height, FrameSize frame);
  void Destroy();
  bool built() const;

  void SetSource(PixelRect source);  // in W x H frame coordinates
  PixelRect source() const;
  void SetLabel(const std::string& utf8);
  void SetVisible(bool visible);
  // The target's size on screen (the cell's or view's size). The widget
  // that owns a native window places it; SDL only follows its size.
  void SetOutputSize(int width, int height);

  void Draw(const FramePicture& picture) override;
  int drawnCount() const;
  // Presents the last drawn picture again (its window was uncovered while no
  // new picture comes, e.g. a frozen output); false when none was drawn.
  bool Repaint();

  // The colour at (x, y) of what was last presented, as 0xRRGGBB (surface
  // targets; none elsewhere or outside).
  std::optional<uint32_t> PixelAt(int x, int y) const;

 private:
  bool BuildRendererAndTexture(FrameSize frame);
  void DestroyLocked();
  bool EnsureTexture(int width, int height);
  void DrawLabel();
  // Fits the label to the output size and renders its texture (mutex held).
  void FitLabelLocked();

  const TextureKind kind_;
  const std::string fontPath_;
  mutable std::mutex mutex_;
  SDL_Window* window_ = nullptr;
  SDL_Surface* surface_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;
  int textureWidth_ = 0, textureHeight_ = 0;
  FrameSize frame_;
  PixelRect source_;
  TTF_Font* font_ = nullptr;
  std::string label_;
  SDL_Texture* labelTexture_ = nullptr;
  PixelRect labelAt_;  // where the fitted label goes, output pixels
  int outputWidth_ = 1, outputHeight_ = 1;
  bool labelDirty_ = true;
  PixelRect lastSource_;  // the texture part the last picture was drawn from
  bool visible_ = false;
  int drawn_ = 0;
};

// The window-system side of SDL for the whole program: initialised once,
// able to fail (no display, no driver) without the panel noticing more than
// an empty picture.
bool SdlVideoAvailable();
bool InitSdlVideo();
void QuitSdlVideo();

}  // namespace orv::preview
