#pragma once
// The boundary to the device communication library: the one type the rest of
// the system calls to reach a processor. The library owns framing, transport
// and the sorting of replies into 32 data types; the system owns every payload.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>

namespace orv {

constexpr int kReplyDataTypes = 32;
constexpr std::size_t kCommandBufferSize = 32;
constexpr std::size_t kParamBlockSize = 2360;
constexpr uint16_t kDevicePort = 61213;

// One reply as the library hands it to the registered function. `data` is the
// main payload, `extra` a second buffer where a data type has one (data type 8:
// the 20-byte picture record; data type 27: the 6-byte MAC). The spans are only
// valid during the call.
struct Reply {
  uint8_t dataType = 0;
  std::span<const uint8_t> data;
  std::span<const uint8_t> extra;
  int32_t arg1 = 0;  // layer (8, 10, 11), kind (12), count (14), channel (26)
  int32_t arg2 = 0;  // the argument data types 8 and 11 pass and the system ignores
  uint8_t sourceAddress = 0;
};

using ReplyFunction = std::function<void(const Reply&)>;

// The thirteen library functions, numbered as the library exports them.
class CommLibrary {
 public:
  virtual ~CommLibrary() = default;

  // 1: the device addresses the links serve.
  virtual int SetAddressList(int count, const uint8_t* addresses) = 0;
  // 2: the function called for each reply of one data type (0..31).
  virtual int RegisterReply(ReplyFunction function, int dataType) = 0;
  // 3: closes every link.
  virtual void CloseAll() = 0;
  // 4: opens a network link to an IPv4 text; nonzero = opened.
  virtual int OpenNetLink(const char* ipv4, uint16_t port) = 0;
  // 5: sends a copy of the 2360-byte parameter block.
  virtual int SendBlock(const uint8_t* block, uint8_t address) = 0;
  // 6: sends one typed command; the buffer holds 32 bytes.
  virtual int SendTyped(uint16_t type, const uint8_t* buffer, uint8_t address) = 0;
  // 8: selects the local interface used for network traffic and discovery.
  virtual int SelectLocalInterface(const char* ipv4) = 0;
  // 9: closes the network link to that address.
  virtual int CloseNetLink(const char* ipv4) = 0;
  // 10: makes that machine the target of following sends.
  virtual int SetTargetMachine(const char* ipv4) = 0;
  // 11: opens serial port number `port` (COMn); nonzero = opened.
  virtual int OpenSerial(int port, int baud) = 0;
  // 12: closes the serial port.
  virtual void CloseSerial() = 0;
  // 13: fills byte 0 with the major and byte 1 with the minor version.
  virtual void GetVersion(uint8_t* out, int size) = 0;
  // 14: sends one chunk of bulk data.
  virtual int SendBulk(uint32_t position, uint16_t length, const uint8_t* bytes,
                       uint8_t address) = 0;
};

}  // namespace orv
