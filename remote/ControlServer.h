#pragma once
// The show-control server: JSON lines over TCP on its own Asio thread.
// Every request gets exactly one answer line; subscribed clients also get an
// event line for every change of the published state. Bounded everywhere:
// a line longer than the limit is answered with an error and skipped, a
// client's next request (read from the socket or already buffered) is taken
// only after its previous one was answered and while less than a quarter of
// its output queue is unread (so a flood waits in the client's own socket),
// and a client whose unread output passes the queue limit (events keep
// coming while it reads nothing) is dropped. Nothing here ever waits on the
// panel: actions are handed to the target, which answers later.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "ShowCommands.h"
#include "ShowState.h"

namespace orv::remote {

// What the server acts on: the panel (or a fake in tests).
class ShowControlTarget {
 public:
  virtual ~ShowControlTarget() = default;
  // Carries out a status request or an action and calls `done` exactly once,
  // from any thread. Called on the server's thread; must not block.
  virtual void Execute(const ShowRequest& request, std::function<void(ActionResult)> done) = 0;
};

struct ServerOptions {
  std::string address = "127.0.0.1";
  uint16_t port = 9750;  // 0: a free port (see Port())
  // Required from every client (request "auth") when not empty; listening on
  // an address outside 127.0.0.0/8 needs one.
  std::string token;
  std::size_t maxLineBytes = 4096;
  std::size_t maxQueuedBytes = 256 * 1024;  // unread answers and events per client
  std::size_t maxClients = 32;
  // OSC datagrams on this UDP port of the same address; 0: none. Only on a
  // loopback address: a datagram's sender cannot be trusted.
  uint16_t oscPort = 0;
};

struct ServerStats {
  uint64_t accepted = 0;
  uint64_t refused = 0;  // over maxClients
  uint64_t dropped = 0;  // slow readers and failed logins
  uint64_t answers = 0;
  uint64_t events = 0;  // event lines queued, summed over clients
  uint64_t oscMessages = 0;
  std::size_t clients = 0;
  std::size_t waiting = 0;  // clients whose requests wait for them to read their answers
};

// Whether `address` is an IPv4 loopback address (127.0.0.0/8).
bool IsLoopbackAddress(const std::string& address);

class ControlServer {
 public:
  ControlServer(ShowControlTarget& target, ServerOptions options);
  ~ControlServer();
  ControlServer(const ControlServer&) = delete;
  ControlServer& operator=(const ControlServer&) = delete;

  // Binds and starts the thread. False with a reason when the address is not
  // IPv4, a non-loopback address has no token, or the port cannot be bound.
  bool Start(std::string* error = nullptr);
  // Closes every client and joins the thread; the target is not called after.
  void Stop();
  uint16_t Port() const;

  // The state as it is now (any thread). The first call sets the baseline;
  // later ones send one event per changed part to subscribed clients.
  void Publish(const ShowState& state);

  // A write outcome (WriteOutcomeEvent.h): `toClient` goes to the connection
  // whose request caused it (ShowRequest::client; 0 none), `toOthers` to the
  // other subscribed clients.
  void PublishWriteOutcome(uint64_t client, const Json& toClient, const Json& toOthers);

  ServerStats Stats() const;

 private:
  friend class Session;  // one client's connection, in the source file
  struct Core;
  std::shared_ptr<Core> core_;
};

}  // namespace orv::remote
