#include "LinkWatch.h"

#include <algorithm>
#include <chrono>

namespace orv {

namespace {

LinkWatch* g_watch = nullptr;

}  // namespace

int64_t LinkWatch::SteadyMilliseconds() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

int LinkWatch::BackoffMs(int attempt) {
  const int index = std::clamp(attempt - 1, 0, static_cast<int>(kBackoffMs.size()) - 1);
  return kBackoffMs[static_cast<std::size_t>(index)];
}

LinkWatch::LinkWatch(LinkDriver& driver, Clock clock) : driver_(driver), clock_(std::move(clock)) {}

void LinkWatch::Begin(LinkTarget target) {
  const int64_t now = clock_();
  status_ = LinkStatus{};
  status_.target = std::move(target);
  framesSeen_ = driver_.Observe().framesIn;
  heardAtMs_ = now;
  Enter(LinkPhase::Connected, now);
}

void LinkWatch::OperatorDisconnect() {
  if (status_.phase == LinkPhase::Idle || status_.phase == LinkPhase::Closed) return;
  status_.attempt = 0;
  Enter(LinkPhase::Closed, clock_());
}

void LinkWatch::SetTargetName(const std::string& name) {
  if (status_.target.name == name) return;
  status_.target.name = name;
  Notify();
}

bool LinkWatch::LinkGone(const RouteHealth& health) {
  if (health.link == RouteHealth::Link::Unknown) return false;
  return health.link != RouteHealth::Link::Open || !driver_.DevicePresent(status_.target);
}

bool LinkWatch::HeardFrom(const RouteHealth& health, int64_t now) {
  if (health.framesIn == framesSeen_) return false;
  framesSeen_ = health.framesIn;
  heardAtMs_ = now;
  return true;
}

void LinkWatch::Tick() {
  const int64_t now = clock_();
  const int64_t inPhase = now - phaseSinceMs_;
  switch (status_.phase) {
    case LinkPhase::Idle:
    case LinkPhase::Closed:
      return;
    case LinkPhase::Connected:
    case LinkPhase::Probing: {
      const RouteHealth health = driver_.Observe();
      if (LinkGone(health)) {
        LoseLink(now);
      } else if (HeardFrom(health, now)) {
        if (status_.phase == LinkPhase::Probing) Enter(LinkPhase::Connected, now);
      } else if (health.link == RouteHealth::Link::Unknown) {
        return;
      } else if (status_.phase == LinkPhase::Connected &&
                 now - heardAtMs_ >= kSilenceBeforeProbeMs) {
        driver_.SendProbe();
        Enter(LinkPhase::Probing, now);
      } else if (status_.phase == LinkPhase::Probing && inPhase >= kProbeAnswerMs) {
        LoseLink(now);
      }
      return;
    }
    case LinkPhase::Lost:
      if (now < nextAttemptAtMs_) return;
      ++status_.attempt;
      driver_.BeginReopen(status_.target);
      Enter(LinkPhase::Reopening, now);
      return;
    case LinkPhase::Reopening: {
      const RouteHealth health = driver_.Observe();
      if (health.link == RouteHealth::Link::Open && driver_.DevicePresent(status_.target)) {
        // A new link: its frames count from here.
        framesSeen_ = health.framesIn;
        heardAtMs_ = now;
        Enter(LinkPhase::Resyncing, now);
        driver_.Resync(status_.target);
      } else if (health.link != RouteHealth::Link::Connecting || inPhase >= kReopenLimitMs) {
        RetryLater(now);
      }
      return;
    }
    case LinkPhase::Resyncing: {
      const RouteHealth health = driver_.Observe();
      if (LinkGone(health)) {
        RetryLater(now);
      } else if (HeardFrom(health, now)) {
        status_.reconnectedAtMs = now;
        Enter(LinkPhase::Connected, now);
      } else if (inPhase >= kResyncAnswerMs) {
        RetryLater(now);
      }
      return;
    }
  }
}

void LinkWatch::LoseLink(int64_t now) {
  // A silent processor's link stays open; closing it makes the reconnect
  // start from a fresh link and keeps stray late answers out.
  driver_.Close(status_.target);
  status_.attempt = 0;
  status_.lostAtMs = now;
  nextAttemptAtMs_ = now + BackoffMs(1);
  Enter(LinkPhase::Lost, now);
}

void LinkWatch::RetryLater(int64_t now) {
  driver_.Close(status_.target);
  nextAttemptAtMs_ = now + BackoffMs(status_.attempt + 1);
  Enter(LinkPhase::Lost, now);
}

void LinkWatch::Enter(LinkPhase phase, int64_t now) {
  status_.phase = phase;
  phaseSinceMs_ = now;
  Notify();
}

void LinkWatch::Notify() {
  if (listener_) listener_(status_);
}

void SetLinkWatch(LinkWatch* watch) {
  g_watch = watch;
}

LinkWatch* GetLinkWatch() {
  return g_watch;
}

}  // namespace orv
