#include "LinkSupervisor.h"

#include <QPointer>

#include "CommandEncoder.h"
#include "Messages.h"
#include "SendGate.h"

namespace orv {

LinkSupervisor::LinkSupervisor(CommLibrary* library, Hooks hooks, LinkWatch::Clock clock)
    : hooks_(std::move(hooks)),
      driver_(library, {[] { SendCommand(QUERY67); },
                        [this](const LinkTarget& target) {
                          if (hooks_.resync) hooks_.resync(target);
                        }}) {
  watch_ = std::make_unique<LinkWatch>(
      driver_, clock ? std::move(clock) : LinkWatch::Clock(LinkWatch::SteadyMilliseconds));
  watch_->SetListener([this](const LinkStatus& status) {
    SetLinkDown(status.Down());
    if (hooks_.changed) hooks_.changed(status);
  });
  SetLinkWatch(watch_.get());
  // Refusals happen on any sending thread; the message is modal, so a burst
  // ends when the operator closed it.
  QPointer<LinkSupervisor> self(this);
  auto queued = refusalQueued_;
  SetRefusalHandler([self, queued](uint16_t) {
    if (queued->exchange(true)) return;
    RunOnGuiThread([self, queued] {
      if (self && self->hooks_.refused) self->hooks_.refused();
      queued->store(false);
    });
  });
  timer_.setInterval(LinkWatch::kTickMs);
  connect(&timer_, &QTimer::timeout, this, [this] { watch_->Tick(); });
  timer_.start();
}

LinkSupervisor::~LinkSupervisor() {
  timer_.stop();
  SetRefusalHandler({});
  SetLinkDown(false);
  if (GetLinkWatch() == watch_.get()) SetLinkWatch(nullptr);
}

}  // namespace orv
