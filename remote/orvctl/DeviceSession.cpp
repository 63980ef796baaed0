#include "DeviceSession.h"

#include <algorithm>
#include <chrono>

#include "CommandEncoder.h"
#include "Decoders.h"
#include "DeviceState.h"
#include "Ipv4.h"
#include "OrvComm.h"
#include "ReadBack.h"

namespace orv::ctl {

DeviceSession::DeviceSession(int timeoutMs) : timeoutMs_(timeoutMs) {
  OrvComm::Options options;
  options.connectTimeoutMs = timeoutMs;
  comm_ = std::make_unique<OrvComm>(options);
  SetCommLibrary(comm_.get());
  SetReplySink(this);
  RegisterReplyFunctions(*comm_);
}

DeviceSession::~DeviceSession() {
  comm_->CloseAll();
  SetCommLibrary(nullptr);
  comm_.reset();  // joins the reply thread before the sink goes
  SetReplySink(nullptr);
}

bool DeviceSession::Connect(const std::string& ip, std::string& error) {
  const auto parts = ParseIpv4(ip);
  if (!parts) {
    error = "not an IPv4 address: " + ip;
    return false;
  }
  const uint8_t address = (*parts)[3];
  comm_->SetAddressList(1, &address);
  if (comm_->OpenNetLink(ip.c_str(), kDevicePort) == 0) {
    error = "cannot connect to " + ip + ":" + std::to_string(kDevicePort);
    return false;
  }
  {
    auto s = State();
    s->NET_MODE = 1;
    s->DEVICE_IP = ip;
  }
  SetDeviceAddress(address);
  comm_->SetTargetMachine(ip.c_str());
  ip_ = FormatIpv4(*parts);  // the library's name of the link
  return true;
}

DeviceSession::Marks DeviceSession::Now() const {
  std::lock_guard lock(mutex_);
  return marks_;
}

DeviceSession::Wait DeviceSession::WaitFor(const Marks& since, std::initializer_list<int> types) {
  auto answered = [&] {
    for (int type : types) {
      if (type < 0 ? marks_.busyOffs > since.busyOffs
                   : marks_.refreshes[static_cast<std::size_t>(type)] >
                         since.refreshes[static_cast<std::size_t>(type)])
        return true;
    }
    return false;
  };
  // The library tells of a closed link only through its link list: looked
  // at between short waits, so that a processor that went away is known
  // within a few milliseconds.
  constexpr auto kLinkCheck = std::chrono::milliseconds(20);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs_);
  while (true) {
    {
      std::unique_lock lock(mutex_);
      const auto slice = std::min(deadline, std::chrono::steady_clock::now() + kLinkCheck);
      if (changed_.wait_until(lock, slice, answered)) return Wait::Answered;
    }
    // Asked without holding our lock: the library's reply thread takes it.
    if (!comm_->IsNetLinkOpen(ip_)) return Wait::LinkClosed;
    if (std::chrono::steady_clock::now() >= deadline) return Wait::TimedOut;
  }
}

std::string DeviceSession::WaitFailure(Wait wait, const std::string& what) const {
  const std::string prefix = what.empty() ? std::string() : what + ": ";
  if (wait == Wait::LinkClosed) return prefix + ip_ + " closed the link";
  return prefix + "no answer from " + ip_ + " within " + std::to_string(timeoutMs_) + " ms";
}

DeviceSession::Wait DeviceSession::ReadBack(std::string& error) {
  const Marks before = Now();
  StartFullReadBack();
  constexpr int kImage = 2;
  constexpr int kPresetFlags = 17;
  constexpr int kLayers = 14;
  for (int type : {kImage, kPresetFlags, kLayers}) {
    const Wait wait = WaitFor(before, type);
    if (wait != Wait::Answered) {
      error = WaitFailure(wait, type == kLayers ? "the read-back did not complete" : "");
      return wait;
    }
  }
  return Wait::Answered;
}

bool DeviceSession::FreezeReported() const {
  constexpr int kFreezeState = 31;
  std::lock_guard lock(mutex_);
  return marks_.refreshes[kFreezeState] > 0;
}

void DeviceSession::RefreshAfterReply(int type, int) {
  if (type < 0 || type >= 32) return;
  {
    std::lock_guard lock(mutex_);
    ++marks_.refreshes[static_cast<std::size_t>(type)];
  }
  changed_.notify_all();
}

void DeviceSession::BusyOff() {
  {
    std::lock_guard lock(mutex_);
    ++marks_.busyOffs;
  }
  changed_.notify_all();
}

}  // namespace orv::ctl
