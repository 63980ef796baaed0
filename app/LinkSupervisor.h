#pragma once
// The user-interface side of the link watch: owns the LinkWatch and its
// driver over the communication library, ticks it with a timer and tells
// the main window about every change. Sends are refused while the link is
// down; the operator hears of a refusal once per burst.
#include <atomic>
#include <functional>
#include <memory>

#include <QObject>
#include <QTimer>

#include "LibraryLinkDriver.h"
#include "LinkWatch.h"

namespace orv {

class LinkSupervisor : public QObject {
 public:
  struct Hooks {
    // Every change of the watch's status.
    std::function<void(const LinkStatus&)> changed;
    // The link is open again: make it the target and read everything back.
    std::function<void(const LinkTarget&)> resync;
    // A command was refused because the link is down (user-interface thread).
    std::function<void()> refused;
  };

  LinkSupervisor(CommLibrary* library, Hooks hooks, LinkWatch::Clock clock = {});
  ~LinkSupervisor() override;

  LinkWatch& Watch() { return *watch_; }
  const LinkStatus& Status() const { return watch_->Status(); }

 private:
  Hooks hooks_;
  LibraryLinkDriver driver_;
  std::unique_ptr<LinkWatch> watch_;
  QTimer timer_;
  std::shared_ptr<std::atomic<bool>> refusalQueued_ = std::make_shared<std::atomic<bool>>(false);
};

}  // namespace orv
