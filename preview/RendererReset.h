#pragma once
// The graphics library tells us through SDL's event watch when renderers and
// textures were lost (render targets or the device reset). The notice may
// come on any thread and several times in a row; it is passed on once, and
// again only after the rebuild it asked for re-arms it.
#include <atomic>
#include <functional>

namespace orv::preview {

class RendererResetNotice {
 public:
  // `post` hands the rebuild to the user-interface thread; it must not block.
  explicit RendererResetNotice(std::function<void()> post);
  ~RendererResetNotice();
  RendererResetNotice(const RendererResetNotice&) = delete;
  RendererResetNotice& operator=(const RendererResetNotice&) = delete;

  // The callback the graphics library calls; always returns 0.
  int Notify();
  // After the rebuild ran.
  void Rearm() { armed_.store(true); }
  // Watches SDL's reset events; false when SDL's event system is not up.
  bool Watch();

 private:
  std::function<void()> post_;
  std::atomic<bool> armed_{true};
  bool watching_ = false;
};

}  // namespace orv::preview
