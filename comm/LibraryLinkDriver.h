#pragma once
// The link watch's driver over a communication library: watches the link
// the sends go to, closes and reopens it (a network link without blocking,
// a serial port by its stable name). The probe and the read-back belong to
// the caller, which owns the commands.
#include <functional>

#include "CommLibrary.h"
#include "LinkWatch.h"

namespace orv {

class LibraryLinkDriver : public LinkDriver {
 public:
  struct Hooks {
    std::function<void()> probe;
    std::function<void(const LinkTarget&)> resync;
  };

  LibraryLinkDriver(CommLibrary* library, Hooks hooks);

  RouteHealth Observe() override;
  bool DevicePresent(const LinkTarget& target) override;
  void SendProbe() override;
  void Close(const LinkTarget& target) override;
  void BeginReopen(const LinkTarget& target) override;
  void Resync(const LinkTarget& target) override;

 private:
  CommLibrary* library_;
  LinkHealthSource* health_;  // the library's, when it offers one
  Hooks hooks_;
};

}  // namespace orv
