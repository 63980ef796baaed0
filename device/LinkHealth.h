#pragma once
// Beyond the thirteen library functions: what the link watch needs from a
// communication library to notice a lost link and to open it again without
// blocking the user-interface thread. A library that does not offer it is
// never watched (its links are never called lost).
#include <cstdint>

namespace orv {

// The link the sends go to.
struct RouteHealth {
  enum class Link : uint8_t { Unknown, Absent, Connecting, Open };
  // Unknown: the library cannot tell.
  Link link = Link::Unknown;
  uint64_t framesIn = 0;  // whole frames received on it since it opened
};

class LinkHealthSource {
 public:
  virtual ~LinkHealthSource() = default;
  virtual RouteHealth Health() const = 0;
  // Starts opening a network link like library function 4 and returns at
  // once; Health() tells when it is open. Nonzero = the attempt started.
  virtual int BeginNetLink(const char* ipv4, uint16_t port) = 0;
};

}  // namespace orv
