#pragma once
// The loopback addresses of one test process. Each process takes a /24 of
// the loopback net of its own, 127.X.Y.0 with X and Y derived from its pid
// and never 127.0.0.x, and holds it for its lifetime by binding the device
// port on the subnet's first address. Processors of the test run on
// 127.X.Y.2 and up, the library searches from 127.X.Y.1 (a loopback search
// visits the searching address's own /24 only), so two suites running at
// the same time, a panel or a processor on 127.0.0.n, never meet a test's
// machines, and a test judges only the machines on its own subnet.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace orv::test {

class TestNet {
 public:
  static const TestNet& Get() {
    static const TestNet net;
    return net;
  }
  // "127.X.Y.host"; host 1 is the searching side.
  std::string Ip(int host) const { return prefix_ + std::to_string(host); }
  std::string Local() const { return Ip(1); }
  bool Owns(std::string_view ip) const { return ip.substr(0, prefix_.size()) == prefix_; }
  // An address outside the subnet that only this process uses (127.255.X.Y
  // for the subnet 127.X.Y.0; no subnet is ever taken from 127.255.x.x): a
  // stranger that the process's searches must not find.
  std::string Outsider() const { return "127.255" + prefix_.substr(3, prefix_.size() - 4); }

 private:
  static constexpr int kSubnets = 254 * 254;
  static constexpr uint16_t kClaimPort = 61213;  // the device port, on host 1

  TestNet() {
    const int start = static_cast<int>(::getpid() % kSubnets);
    for (int tried = 0; tried < 512; ++tried) {
      const int n = (start + tried) % kSubnets;
      const std::string prefix =
          "127." + std::to_string(1 + n / 254) + "." + std::to_string(1 + n % 254) + ".";
      if (Claim(prefix + "1")) {
        prefix_ = prefix;
        return;
      }
    }
    std::fprintf(stderr, "no free loopback subnet: port %u is taken on every one tried\n",
                 kClaimPort);
    std::abort();
  }

  // Binds the claim port without address reuse, so that a second process
  // (which binds the same way) fails and moves on. The socket stays open
  // until the process ends.
  static bool Claim(const std::string& ip) {
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(kClaimPort);
    ::inet_pton(AF_INET, ip.c_str(), &a.sin_addr);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0) return true;
    ::close(fd);
    return false;
  }

  std::string prefix_;
};

inline std::string TestIp(int host) {
  return TestNet::Get().Ip(host);
}

inline std::string TestLocalIp() {
  return TestNet::Get().Local();
}

}  // namespace orv::test
