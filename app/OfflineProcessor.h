#pragma once
// The built-in virtual processor of offline mode: a processor served inside
// the panel's own process, for this panel alone. It listens on a private
// loopback address (127.x.y.z outside 127.0.0.0/24, where the search looks)
// on a free TCP port, answers no discovery datagrams, and is gone when this
// object stops or is destroyed.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "ParamBlock.h"

namespace orv {

namespace sim {
class VirtualProcessor;
}

class OfflineProcessor {
 public:
  OfflineProcessor();
  ~OfflineProcessor();
  OfflineProcessor(const OfflineProcessor&) = delete;
  OfflineProcessor& operator=(const OfflineProcessor&) = delete;

  // Starts a processor holding `image` (its factory image when none). False
  // with a reason when no private address could be bound.
  bool Start(const std::optional<ParamBlock>& image, std::string* error = nullptr);
  void Stop();

  bool Running() const { return processor_ != nullptr; }
  const std::string& Ip() const { return ip_; }
  uint16_t Port() const { return port_; }
  // The running processor (tests, the bench); null when stopped.
  sim::VirtualProcessor* Processor() const { return processor_.get(); }

  // Candidate n of the private addresses tried at start (n counts attempts;
  // `seed` varies them between processes).
  static std::string CandidateAddress(uint32_t seed, int n);

 private:
  std::unique_ptr<sim::VirtualProcessor> processor_;
  std::string ip_;
  uint16_t port_ = 0;
};

}  // namespace orv
