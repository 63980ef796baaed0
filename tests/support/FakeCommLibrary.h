#pragma once
// A recording stand-in for the communication library. Every call is recorded
// with copies of the bytes it was given, under one mutex, so tests on any
// thread can send through it and inspect what was sent afterwards. Reply
// functions registered with it can be invoked by the test to simulate the
// library's reply thread.
//
// Subclass and override a function (calling the base to keep the record) to
// check or delay sends as they happen.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "CommLibrary.h"

namespace orv::test {

struct TypedSend {
  uint16_t type = 0;
  std::array<uint8_t, kCommandBufferSize> bytes{};
  uint8_t address = 0;
};

struct BlockSend {
  std::vector<uint8_t> bytes;  // kParamBlockSize bytes
  uint8_t address = 0;
};

struct BulkSend {
  uint32_t position = 0;
  uint16_t length = 0;
  std::vector<uint8_t> bytes;  // `length` bytes
  uint8_t address = 0;
};

struct NetLink {
  std::string ipv4;
  uint16_t port = 0;
};

struct SerialOpen {
  int port = 0;
  int baud = 0;
};

class FakeCommLibrary : public CommLibrary {
 public:
  // Values the fake returns; change them before the calls that should see them.
  int sendResult = 1;
  int openNetResult = 1;
  int openSerialResult = 1;
  uint8_t versionMajor = 1;
  uint8_t versionMinor = 0;

  int SetAddressList(int count, const uint8_t* addresses) override {
    std::lock_guard lock(mutex_);
    addressLists_.emplace_back(addresses, addresses + std::max(count, 0));
    return 1;
  }

  int RegisterReply(ReplyFunction function, int dataType) override {
    std::lock_guard lock(mutex_);
    if (dataType < 0 || dataType >= kReplyDataTypes) return 0;
    replies_[dataType] = std::move(function);
    ++registrations_[dataType];
    return 1;
  }

  void CloseAll() override {
    std::lock_guard lock(mutex_);
    ++closeAllCount_;
  }

  int OpenNetLink(const char* ipv4, uint16_t port) override {
    std::lock_guard lock(mutex_);
    openedNetLinks_.push_back({Text(ipv4), port});
    return openNetResult;
  }

  int SendBlock(const uint8_t* block, uint8_t address) override {
    std::lock_guard lock(mutex_);
    blockSends_.push_back({std::vector<uint8_t>(block, block + kParamBlockSize), address});
    return sendResult;
  }

  int SendTyped(uint16_t type, const uint8_t* buffer, uint8_t address) override {
    TypedSend send;
    send.type = type;
    std::memcpy(send.bytes.data(), buffer, kCommandBufferSize);
    send.address = address;
    std::lock_guard lock(mutex_);
    typedSends_.push_back(send);
    return sendResult;
  }

  int SelectLocalInterface(const char* ipv4) override {
    std::lock_guard lock(mutex_);
    localInterfaces_.emplace_back(Text(ipv4));
    return 1;
  }

  int CloseNetLink(const char* ipv4) override {
    std::lock_guard lock(mutex_);
    closedNetLinks_.emplace_back(Text(ipv4));
    return 1;
  }

  int SetTargetMachine(const char* ipv4) override {
    std::lock_guard lock(mutex_);
    targetMachines_.emplace_back(Text(ipv4));
    return 1;
  }

  int OpenSerial(int port, int baud) override {
    std::lock_guard lock(mutex_);
    serialOpens_.push_back({port, baud});
    return openSerialResult;
  }

  void CloseSerial() override {
    std::lock_guard lock(mutex_);
    ++closeSerialCount_;
  }

  void GetVersion(uint8_t* out, int size) override {
    std::lock_guard lock(mutex_);
    ++versionQueries_;
    if (size > 0) out[0] = versionMajor;
    if (size > 1) out[1] = versionMinor;
  }

  int SendBulk(uint32_t position, uint16_t length, const uint8_t* bytes, uint8_t address) override {
    std::lock_guard lock(mutex_);
    bulkSends_.push_back({position, length, std::vector<uint8_t>(bytes, bytes + length), address});
    return sendResult;
  }

  // --- Replies -----------------------------------------------------------

  bool HasReply(int dataType) const {
    std::lock_guard lock(mutex_);
    return dataType >= 0 && dataType < kReplyDataTypes && static_cast<bool>(replies_[dataType]);
  }

  int RegistrationCount(int dataType) const {
    std::lock_guard lock(mutex_);
    return dataType >= 0 && dataType < kReplyDataTypes ? registrations_[dataType] : 0;
  }

  // Calls the function registered for reply.dataType, as the reply thread
  // would, outside the fake's own lock (the function may send). Returns false
  // when no function is registered for that type.
  bool Deliver(const Reply& reply) const {
    ReplyFunction function;
    {
      std::lock_guard lock(mutex_);
      if (reply.dataType >= kReplyDataTypes || !replies_[reply.dataType]) return false;
      function = replies_[reply.dataType];
    }
    function(reply);
    return true;
  }

  // Convenience: deliver `data` as a reply of `dataType` from `source`.
  bool Deliver(uint8_t dataType, const std::vector<uint8_t>& data, uint8_t source = 110,
               int32_t arg1 = 0, const std::vector<uint8_t>& extra = {}) const {
    Reply reply;
    reply.dataType = dataType;
    reply.data = data;
    reply.extra = extra;
    reply.arg1 = arg1;
    reply.sourceAddress = source;
    return Deliver(reply);
  }

  // --- Records (copies, safe to inspect while other threads still send) ----

  std::vector<TypedSend> TypedSends() const { return Copy(typedSends_); }
  std::vector<BlockSend> BlockSends() const { return Copy(blockSends_); }
  std::vector<BulkSend> BulkSends() const { return Copy(bulkSends_); }
  std::vector<std::vector<uint8_t>> AddressLists() const { return Copy(addressLists_); }
  std::vector<NetLink> OpenedNetLinks() const { return Copy(openedNetLinks_); }
  std::vector<std::string> ClosedNetLinks() const { return Copy(closedNetLinks_); }
  std::vector<std::string> TargetMachines() const { return Copy(targetMachines_); }
  std::vector<std::string> LocalInterfaces() const { return Copy(localInterfaces_); }
  std::vector<SerialOpen> SerialOpens() const { return Copy(serialOpens_); }
  int CloseAllCount() const { return Copy(closeAllCount_); }
  int CloseSerialCount() const { return Copy(closeSerialCount_); }
  int VersionQueries() const { return Copy(versionQueries_); }

  // The last typed send, if any.
  std::optional<TypedSend> LastTyped() const {
    std::lock_guard lock(mutex_);
    if (typedSends_.empty()) return std::nullopt;
    return typedSends_.back();
  }

  // Typed sends of one command type, in order.
  std::vector<TypedSend> TypedSendsOf(uint16_t type) const {
    std::lock_guard lock(mutex_);
    std::vector<TypedSend> out;
    for (const auto& s : typedSends_) {
      if (s.type == type) out.push_back(s);
    }
    return out;
  }

  // Forgets every recorded call (registered reply functions stay).
  void ClearRecords() {
    std::lock_guard lock(mutex_);
    typedSends_.clear();
    blockSends_.clear();
    bulkSends_.clear();
    addressLists_.clear();
    openedNetLinks_.clear();
    closedNetLinks_.clear();
    targetMachines_.clear();
    localInterfaces_.clear();
    serialOpens_.clear();
    closeAllCount_ = closeSerialCount_ = versionQueries_ = 0;
  }

 private:
  static std::string Text(const char* text) { return text != nullptr ? text : ""; }

  template <class T>
  T Copy(const T& value) const {
    std::lock_guard lock(mutex_);
    return value;
  }

  mutable std::mutex mutex_;
  std::array<ReplyFunction, kReplyDataTypes> replies_{};
  std::array<int, kReplyDataTypes> registrations_{};
  std::vector<TypedSend> typedSends_;
  std::vector<BlockSend> blockSends_;
  std::vector<BulkSend> bulkSends_;
  std::vector<std::vector<uint8_t>> addressLists_;
  std::vector<NetLink> openedNetLinks_;
  std::vector<std::string> closedNetLinks_;
  std::vector<std::string> targetMachines_;
  std::vector<std::string> localInterfaces_;
  std::vector<SerialOpen> serialOpens_;
  int closeAllCount_ = 0;
  int closeSerialCount_ = 0;
  int versionQueries_ = 0;
};

}  // namespace orv::test
