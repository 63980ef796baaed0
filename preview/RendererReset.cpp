#include "RendererReset.h"

#include <SDL.h>

namespace orv::preview {
namespace {

int OnSdlEvent(void* user, SDL_Event* event) {
  if (event->type == SDL_RENDER_TARGETS_RESET || event->type == SDL_RENDER_DEVICE_RESET) {
    static_cast<RendererResetNotice*>(user)->Notify();
  }
  return 0;
}

}  // namespace

RendererResetNotice::RendererResetNotice(std::function<void()> post) : post_(std::move(post)) {}

RendererResetNotice::~RendererResetNotice() {
  if (watching_) SDL_DelEventWatch(OnSdlEvent, this);
}

int RendererResetNotice::Notify() {
  if (armed_.exchange(false) && post_) post_();
  return 0;
}

bool RendererResetNotice::Watch() {
  if (watching_) return true;
  if (SDL_WasInit(SDL_INIT_EVENTS) == 0) return false;
  SDL_AddEventWatch(OnSdlEvent, this);
  watching_ = true;
  return true;
}

}  // namespace orv::preview
