#pragma once
// The show-control server's settings, section [Remote] of the settings file:
//   Enabled = 1 (0 switches the server off)
//   Address = 127.0.0.1 (another address must come with a Token)
//   Port    = 9750
//   Token   = (empty: no login; required from every client when set)
//   OscPort = (empty: no OSC; else the UDP port for OSC, loopback only)
#include <string>

#include "ControlServer.h"

namespace orv::remote {

struct RemoteSettings {
  bool enabled = true;
  ServerOptions server;
  // Why the server stays off: a value that cannot be used ("Port=abc") is
  // never replaced by a guess.
  std::string error;
};

// Missing or empty keys take the defaults above. Texts are UTF-8 whatever
// the file's encoding, so a token compares with what a client sends.
RemoteSettings ReadRemoteSettings(const std::string& settingsPath);

}  // namespace orv::remote
