#include "SdlTarget.h"

#include <SDL.h>
#include <SDL_ttf.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>

#include "LabelFit.h"

namespace orv::preview {
namespace {

std::atomic<bool> gVideoUp{false};

// Xlib is not made thread-safe here, and SDL drives every window through one
// display connection: calls for different targets (the render thread drawing
// one cell, the user-interface thread moving another) are serialised.
std::mutex& WindowSystemMutex() {
  static std::mutex m;
  return m;
}
std::mutex gTtfMutex;
int gTtfUsers = 0;

constexpr int kLabelPointSize = 40;  // the size the font opens at; each label is fitted
constexpr SDL_Color kLabelColour{255, 0, 0, 255};
constexpr Uint8 kLabelBandAlpha = 225;  // the dark band under the label, over the video
constexpr int kLabelBandMargin = 2;

TTF_Font* OpenFont(const std::string& path) {
  if (path.empty()) return nullptr;
  std::lock_guard lock(gTtfMutex);
  if (gTtfUsers == 0 && TTF_Init() != 0) return nullptr;
  TTF_Font* font = TTF_OpenFont(path.c_str(), kLabelPointSize);
  if (font) {
    ++gTtfUsers;
  } else if (gTtfUsers == 0) {
    TTF_Quit();
  }
  return font;
}

void CloseFont(TTF_Font* font) {
  if (!font) return;
  std::lock_guard lock(gTtfMutex);
  TTF_CloseFont(font);
  if (--gTtfUsers == 0) TTF_Quit();
}

// A rectangle of the W x H frame in the coordinates of a picture of another size.
SDL_Rect ScaleToPicture(PixelRect r, FrameSize frame, int width, int height) {
  if (frame.width <= 0 || frame.height <= 0) return SDL_Rect{0, 0, width, height};
  auto sx = [&](int v) { return static_cast<int>(static_cast<int64_t>(v) * width / frame.width); };
  auto sy = [&](int v) {
    return static_cast<int>(static_cast<int64_t>(v) * height / frame.height);
  };
  SDL_Rect s{sx(r.x), sy(r.y), sx(r.width), sy(r.height)};
  s.x = std::clamp(s.x, 0, width);
  s.y = std::clamp(s.y, 0, height);
  s.w = std::clamp(s.w, 0, width - s.x);
  s.h = std::clamp(s.h, 0, height - s.y);
  return s;
}

// The rectangle grown to even edges (chroma is stored per 2 x 2 pixels) and
// kept inside the picture.
SDL_Rect EvenAligned(SDL_Rect r, int width, int height) {
  const int left = r.x & ~1, top = r.y & ~1;
  const int right = std::min(width, (r.x + r.w + 1) & ~1);
  const int bottom = std::min(height, (r.y + r.h + 1) & ~1);
  return SDL_Rect{left, top, right - left, bottom - top};
}

// The planes really have the rows and row lengths the picture claims.
bool PlanesHold(const FramePicture& p) {
  const auto chromaRows = static_cast<std::size_t>((p.height + 1) / 2);
  return p.lumaStride >= p.width && p.chromaStride >= (p.width + 1) / 2 &&
         p.y.size() >=
             static_cast<std::size_t>(p.lumaStride) * static_cast<std::size_t>(p.height) &&
         p.u.size() >= static_cast<std::size_t>(p.chromaStride) * chromaRows &&
         p.v.size() >= static_cast<std::size_t>(p.chromaStride) * chromaRows;
}

}  // namespace

bool SdlVideoAvailable() {
  return gVideoUp.load();
}

bool InitSdlVideo() {
  if (gVideoUp.load()) return true;
  // The panel ends on SIGTERM, SIGINT and SIGHUP through its own handlers;
  // SDL's would turn them into a quit event nobody reads.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  // A software renderer on a window would otherwise present through an
  // OpenGL texture: a GL context per target, made on the user-interface
  // thread and current on the render thread as well, which the GL driver
  // does not survive once one of them is destroyed; and loading the GL
  // driver costs seconds and a hundred megabytes. The X11 framebuffer
  // (shared-memory images) needs no context and works from either thread.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  if (SDL_Init(SDL_INIT_VIDEO) != 0) {
    (void)SDL_GetError();  // read and dropped: the panel runs without a picture
    return false;
  }
  gVideoUp = true;
  std::atexit(QuitSdlVideo);
  return true;
}

void QuitSdlVideo() {
  if (gVideoUp.exchange(false)) SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

SdlTarget::SdlTarget(TextureKind kind, std::string fontPath)
    : kind_(kind), fontPath_(std::move(fontPath)) {}

SdlTarget::~SdlTarget() {
  Destroy();
}

bool SdlTarget::BuildOnWindow(uintptr_t nativeWindow, FrameSize frame) {
  std::scoped_lock lock(mutex_, WindowSystemMutex());
  DestroyLocked();
  if (!gVideoUp.load() || nativeWindow == 0) return false;
  window_ = SDL_CreateWindowFrom(reinterpret_cast<const void*>(nativeWindow));
  if (!window_) return false;
  SDL_GetWindowSize(window_, &outputWidth_, &outputHeight_);
  // The render thread draws, the user-interface thread builds: a software
  // renderer has no per-thread graphics context to trip over.
  renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
  return BuildRendererAndTexture(frame);
}

bool SdlTarget::BuildOnSurface(int width, int height, FrameSize frame) {
  std::scoped_lock lock(mutex_, WindowSystemMutex());
  DestroyLocked();
  surface_ = SDL_CreateRGBSurfaceWithFormat(0, std::max(1, width), std::max(1, height), 32,
                                            SDL_PIXELFORMAT_ARGB8888);
  if (!surface_) return false;
  outputWidth_ = surface_->w;
  outputHeight_ = surface_->h;
  renderer_ = SDL_CreateSoftwareRenderer(surface_);
  return BuildRendererAndTexture(frame);
}

bool SdlTarget::BuildRendererAndTexture(FrameSize frame) {
  frame_ = frame;
  source_ = PixelRect{0, 0, frame.width, frame.height};
  if (!renderer_ || !EnsureTexture(frame.width, frame.height)) {
    DestroyLocked();
    return false;
  }
  SDL_RenderSetScale(renderer_, 1.0f, 1.0f);
  if (!font_) font_ = OpenFont(fontPath_);
  labelDirty_ = true;
  return true;
}

bool SdlTarget::EnsureTexture(int width, int height) {
  if (texture_ && textureWidth_ == width && textureHeight_ == height) return true;
  if (texture_) SDL_DestroyTexture(texture_);
  texture_ = nullptr;
  lastSource_ = PixelRect{};
  if (width <= 0 || height <= 0) return false;
  const Uint32 format = kind_ == TextureKind::Iyuv ? SDL_PIXELFORMAT_IYUV : SDL_PIXELFORMAT_YV12;
  texture_ = SDL_CreateTexture(renderer_, format, SDL_TEXTUREACCESS_STREAMING, width, height);
  textureWidth_ = texture_ ? width : 0;
  textureHeight_ = texture_ ? height : 0;
  return texture_ != nullptr;
}

void SdlTarget::Destroy() {
  std::scoped_lock lock(mutex_, WindowSystemMutex());
  DestroyLocked();
  CloseFont(font_);
  font_ = nullptr;
}

void SdlTarget::DestroyLocked() {
  if (labelTexture_) SDL_DestroyTexture(labelTexture_);
  if (texture_) SDL_DestroyTexture(texture_);
  if (renderer_) SDL_DestroyRenderer(renderer_);
  if (window_) SDL_DestroyWindow(window_);
  if (surface_) SDL_FreeSurface(surface_);
  labelTexture_ = nullptr;
  texture_ = nullptr;
  renderer_ = nullptr;
  window_ = nullptr;
  surface_ = nullptr;
  lastSource_ = PixelRect{};
  textureWidth_ = textureHeight_ = 0;
}

bool SdlTarget::built() const {
  std::scoped_lock lock(mutex_, WindowSystemMutex());
  return renderer_ && texture_;
}

void SdlTarget::SetSource(PixelRect source) {
  std::scoped_lock lock(mutex_, WindowSystemMutex());
  source_ = source;
}

PixelRect SdlTarget::source() const {
  std::scoped_lock lock(mutex_, WindowSystemMutex());
  return source_;
}

void SdlTarget::SetLabel(const std::string& utf8) {
  std::scoped_lock lock(mutex_, WindowSystemMutex());
  if (label_ == utf8) return;
  label_ = utf8;
  labelDirty_ = true;
}

void SdlTarget::SetVisible(bool visible) {
  std::scoped_lock lock(mutex_, WindowSystemMutex());
  visible_ = visible;
  if (window_) visible ? SDL_ShowWindow(window_) : SDL_HideWindow(window_);
}

void SdlTarget::SetOutputSize(int width, int height) {
  std::scoped_lock lock(mutex_, WindowSystemMutex());
  width = std::max(1, width);
  height = std::max(1, height);
  if (width != outputWidth_ || height != outputHeight_) labelDirty_ = true;
  outputWidth_ = width;
  outputHeight_ = height;
  if (window_) {
    // The window is the native widget's own: Qt places it. SDL is told only
    // the size, which its framebuffer follows; moving it through SDL would
    // wait 100 ms each time for a position SDL reads in other coordinates.
    int sdlWidth = 0, sdlHeight = 0;
    SDL_GetWindowSize(window_, &sdlWidth, &sdlHeight);
    if (sdlWidth != width || sdlHeight != height) SDL_SetWindowSize(window_, width, height);
  } else if (surface_ && (surface_->w != width || surface_->h != height)) {
    // A surface renderer draws at its surface's size: both are made anew.
    if (labelTexture_) SDL_DestroyTexture(labelTexture_);
    if (texture_) SDL_DestroyTexture(texture_);
    SDL_DestroyRenderer(renderer_);
    SDL_FreeSurface(surface_);
    labelTexture_ = nullptr;
    texture_ = nullptr;
    textureWidth_ = textureHeight_ = 0;
    surface_ = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_ARGB8888);
    renderer_ = surface_ ? SDL_CreateSoftwareRenderer(surface_) : nullptr;
    if (renderer_) EnsureTexture(frame_.width, frame_.height);
    labelDirty_ = true;
  }
}

void SdlTarget::Draw(const FramePicture& picture) {
  std::scoped_lock lock(mutex_, WindowSystemMutex());
  if (!visible_ || !renderer_ || !texture_) return;
  if (picture.width <= 0 || picture.height <= 0) return;
  // The device may change its encoder size before the panel learns of it:
  // the texture follows the picture, the crop is scaled onto it.
  if (!EnsureTexture(picture.width, picture.height) || !PlanesHold(picture)) return;
  // Only the part that is shown is converted: on a software renderer the
  // upload is the costly step, and a cell shows a quadrant or less.
  const SDL_Rect src = ScaleToPicture(source_, frame_, picture.width, picture.height);
  if (src.w <= 0 || src.h <= 0) return;
  const SDL_Rect upload = EvenAligned(src, picture.width, picture.height);
  const std::size_t lumaAt =
      static_cast<std::size_t>(upload.y) * picture.lumaStride + static_cast<std::size_t>(upload.x);
  const std::size_t chromaAt = static_cast<std::size_t>(upload.y / 2) * picture.chromaStride +
                               static_cast<std::size_t>(upload.x / 2);
  if (SDL_UpdateYUVTexture(texture_, &upload, picture.y.data() + lumaAt, picture.lumaStride,
                           picture.u.data() + chromaAt, picture.chromaStride,
                           picture.v.data() + chromaAt, picture.chromaStride) != 0) {
    return;
  }
  lastSource_ = PixelRect{src.x, src.y, src.w, src.h};
  SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
  SDL_RenderClear(renderer_);
  SDL_RenderCopy(renderer_, texture_, &src, nullptr);
  DrawLabel();
  SDL_RenderPresent(renderer_);
  ++drawn_;
}

bool SdlTarget::Repaint() {
  std::scoped_lock lock(mutex_, WindowSystemMutex());
  if (!visible_ || !renderer_ || !texture_ || lastSource_.width <= 0) return false;
  const SDL_Rect src{lastSource_.x, lastSource_.y, lastSource_.width, lastSource_.height};
  SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
  SDL_RenderClear(renderer_);
  SDL_RenderCopy(renderer_, texture_, &src, nullptr);
  DrawLabel();
  SDL_RenderPresent(renderer_);
  return true;
}

void SdlTarget::FitLabelLocked() {
  std::lock_guard ttf(gTtfMutex);
  const canvas::MeasureText measure = [this](std::string_view text, int pixelSize) {
    int w = 0, h = 0;
    if (TTF_SetFontSize(font_, pixelSize) != 0) return 0;
    const std::string copy(text);
    return TTF_SizeUTF8(font_, copy.c_str(), &w, &h) == 0 ? w : 0;
  };
  const canvas::FittedLabel fitted =
      canvas::FitLabel(label_, outputWidth_, outputHeight_, canvas::kVideoLabelStyle, measure);
  labelAt_ = PixelRect{fitted.x, fitted.y, 0, 0};
  if (fitted.text.empty() || TTF_SetFontSize(font_, fitted.pixelSize) != 0) return;
  SDL_Surface* text = TTF_RenderUTF8_Blended(font_, fitted.text.c_str(), kLabelColour);
  if (!text) return;
  labelTexture_ = SDL_CreateTextureFromSurface(renderer_, text);
  labelAt_.width = text->w;
  labelAt_.height = text->h;
  SDL_FreeSurface(text);
}

void SdlTarget::DrawLabel() {
  if (!font_ || kind_ != TextureKind::Iyuv) return;
  if (labelDirty_) {
    if (labelTexture_) SDL_DestroyTexture(labelTexture_);
    labelTexture_ = nullptr;
    labelDirty_ = false;
    if (label_.empty()) return;
    FitLabelLocked();
  }
  if (!labelTexture_) return;
  // A dark band under the text keeps it readable over any picture.
  const SDL_Rect at{labelAt_.x, labelAt_.y, labelAt_.width, labelAt_.height};
  const SDL_Rect band{at.x - kLabelBandMargin, at.y - kLabelBandMargin, at.w + 2 * kLabelBandMargin,
                      at.h + 2 * kLabelBandMargin};
  SDL_SetRenderDrawBlendMode(renderer_, SDL_BLENDMODE_BLEND);
  SDL_SetRenderDrawColor(renderer_, 0, 0, 0, kLabelBandAlpha);
  SDL_RenderFillRect(renderer_, &band);
  SDL_SetRenderDrawBlendMode(renderer_, SDL_BLENDMODE_NONE);
  SDL_RenderCopy(renderer_, labelTexture_, nullptr, &at);
}

int SdlTarget::drawnCount() const {
  std::scoped_lock lock(mutex_, WindowSystemMutex());
  return drawn_;
}

std::optional<uint32_t> SdlTarget::PixelAt(int x, int y) const {
  std::scoped_lock lock(mutex_, WindowSystemMutex());
  if (!surface_ || x < 0 || y < 0 || x >= surface_->w || y >= surface_->h) return std::nullopt;
  const auto* row = static_cast<const uint8_t*>(surface_->pixels) + y * surface_->pitch;
  uint32_t argb = 0;
  std::memcpy(&argb, row + x * 4, 4);
  return argb & 0xFFFFFFu;
}

}  // namespace orv::preview
