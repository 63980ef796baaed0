#include "LibraryLinkDriver.h"

#include <filesystem>

#include "SerialPorts.h"

namespace orv {

LibraryLinkDriver::LibraryLinkDriver(CommLibrary* library, Hooks hooks)
    : library_(library),
      health_(dynamic_cast<LinkHealthSource*>(library)),
      hooks_(std::move(hooks)) {}

RouteHealth LibraryLinkDriver::Observe() {
  return health_ != nullptr ? health_->Health() : RouteHealth{};
}

bool LibraryLinkDriver::DevicePresent(const LinkTarget& target) {
  if (target.kind != LinkTarget::Kind::Serial) return true;
  std::error_code ec;
  return std::filesystem::exists(target.serialName, ec);
}

void LibraryLinkDriver::SendProbe() {
  if (hooks_.probe) hooks_.probe();
}

void LibraryLinkDriver::Close(const LinkTarget& target) {
  if (library_ == nullptr) return;
  if (target.kind == LinkTarget::Kind::Network) library_->CloseNetLink(target.ip.c_str());
  if (target.kind == LinkTarget::Kind::Serial) library_->CloseSerial();
}

void LibraryLinkDriver::BeginReopen(const LinkTarget& target) {
  if (library_ == nullptr) return;
  if (target.kind == LinkTarget::Kind::Network) {
    if (health_ != nullptr) {
      health_->BeginNetLink(target.ip.c_str(), target.port);
    } else {
      library_->OpenNetLink(target.ip.c_str(), target.port);
    }
  } else if (target.kind == LinkTarget::Kind::Serial) {
    // The same adapter, possibly under another device node now.
    if (const int port = SerialPortOfName(target.serialName); port > 0) {
      library_->OpenSerial(port, target.baud);
    }
  }
}

void LibraryLinkDriver::Resync(const LinkTarget& target) {
  if (hooks_.resync) hooks_.resync(target);
}

}  // namespace orv
