#pragma once
// A library that hands every call on to another one. Tests and benchmarks
// derive from it and override only the calls they watch (when a send was
// made, when a reply function ran), around the real library.
#include "CommLibrary.h"

namespace orv::test {

class ForwardingCommLibrary : public CommLibrary {
 public:
  explicit ForwardingCommLibrary(CommLibrary& inner) : inner_(inner) {}

  int SetAddressList(int count, const uint8_t* addresses) override {
    return inner_.SetAddressList(count, addresses);
  }
  int RegisterReply(ReplyFunction function, int dataType) override {
    return inner_.RegisterReply(std::move(function), dataType);
  }
  void CloseAll() override { inner_.CloseAll(); }
  int OpenNetLink(const char* ipv4, uint16_t port) override {
    return inner_.OpenNetLink(ipv4, port);
  }
  int SendBlock(const uint8_t* block, uint8_t address) override {
    return inner_.SendBlock(block, address);
  }
  int SendTyped(uint16_t type, const uint8_t* buffer, uint8_t address) override {
    return inner_.SendTyped(type, buffer, address);
  }
  int SelectLocalInterface(const char* ipv4) override { return inner_.SelectLocalInterface(ipv4); }
  int CloseNetLink(const char* ipv4) override { return inner_.CloseNetLink(ipv4); }
  int SetTargetMachine(const char* ipv4) override { return inner_.SetTargetMachine(ipv4); }
  int OpenSerial(int port, int baud) override { return inner_.OpenSerial(port, baud); }
  void CloseSerial() override { inner_.CloseSerial(); }
  void GetVersion(uint8_t* out, int size) override { inner_.GetVersion(out, size); }
  int SendBulk(uint32_t position, uint16_t length, const uint8_t* bytes, uint8_t address) override {
    return inner_.SendBulk(position, length, bytes, address);
  }

 private:
  CommLibrary& inner_;
};

}  // namespace orv::test
