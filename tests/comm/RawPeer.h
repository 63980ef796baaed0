#pragma once
// A bare TCP peer for tests: listens on a loopback address, accepts one
// connection, and reads or writes raw bytes, so that tests see exactly what
// the library sends and can feed it exactly the bytes they choose.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <string>
#include <vector>

namespace orv::test {

class RawPeer {
 public:
  RawPeer() = default;
  ~RawPeer() {
    if (conn_ >= 0) ::close(conn_);
    if (listen_ >= 0) ::close(listen_);
  }
  RawPeer(const RawPeer&) = delete;
  RawPeer& operator=(const RawPeer&) = delete;

  bool Listen(const std::string& ip, uint16_t port) {
    listen_ = ::socket(AF_INET, SOCK_STREAM, 0);
    const int one = 1;
    ::setsockopt(listen_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    ::inet_pton(AF_INET, ip.c_str(), &a.sin_addr);
    return ::bind(listen_, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
           ::listen(listen_, 4) == 0;
  }
  // Shrinks the receive buffer so that a peer that never reads fills up soon.
  void SetSmallReceiveBuffer() {
    const int size = 4096;
    ::setsockopt(listen_, SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
  }
  bool Accept(int timeoutMs = 10000) {
    pollfd p{listen_, POLLIN, 0};
    if (::poll(&p, 1, timeoutMs) != 1) return false;
    conn_ = ::accept(listen_, nullptr, nullptr);
    return conn_ >= 0;
  }
  // Reads exactly `n` bytes; fewer when the time runs out.
  std::vector<uint8_t> Read(std::size_t n, int timeoutMs = 10000) {
    std::vector<uint8_t> out;
    while (out.size() < n) {
      pollfd p{conn_, POLLIN, 0};
      if (::poll(&p, 1, timeoutMs) != 1) break;
      uint8_t buf[4096];
      const auto want = std::min(sizeof buf, n - out.size());
      const ssize_t got = ::recv(conn_, buf, want, 0);
      if (got <= 0) break;
      out.insert(out.end(), buf, buf + got);
    }
    return out;
  }
  bool Write(const std::vector<uint8_t>& bytes) {
    return ::send(conn_, bytes.data(), bytes.size(), MSG_NOSIGNAL) ==
           static_cast<ssize_t>(bytes.size());
  }
  void CloseConnection() {
    if (conn_ >= 0) ::close(conn_);
    conn_ = -1;
  }

 private:
  int listen_ = -1;
  int conn_ = -1;
};

}  // namespace orv::test
