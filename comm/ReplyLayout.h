#pragma once
// Payload layout of every reply data type 0..31. A reply payload is
//
//   [argument bytes] [data] [extra]
//
// where the argument bytes carry the extra values some reply functions take
// (layer, kind, count, channel; data types 8 and 11 also an argument the
// system ignores), `data` is the main buffer and `extra` a second buffer
// (data type 8: the 20-byte picture record; data type 27: the 6-byte MAC).
// Both ends use this one table; the receiver drops any reply whose length
// does not fit its type, so every reply function gets exactly the bytes its
// decoder expects.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "CommLibrary.h"

namespace orv::wire {

enum class ReplyShape : uint8_t {
  Plain,   // fixed data size
  Count3,  // argument byte = count, data = 3 bytes per counted item
  Rest,    // argument byte, then at least one data byte up to the frame limit
  Text16,  // a 16-byte NUL-padded text field (at most 15 characters), then extra
};

struct ReplyRule {
  const char* name;
  uint8_t argBytes;    // 0, 1 (arg1) or 2 (arg1, arg2)
  uint16_t dataSize;   // Plain: the data size; Text16: the field size (16)
  uint16_t extraSize;  // bytes after the data
  ReplyShape shape;
};

constexpr std::size_t kIdentityTextField = 16;
constexpr std::size_t kIdentityTextMax = 15;
constexpr std::size_t kMacSize = 6;

// The rule of a data type; nullptr above 31.
const ReplyRule* ReplyRuleOf(uint16_t dataType);

// The wire payload size of a data type with a fixed size; nullopt for the
// variable ones (14, 26) and unknown types.
std::optional<std::size_t> FixedReplySize(uint16_t dataType);

enum class ReplyCheck { Ok, UnknownType, WrongLength, BadText };

// Checks a reply payload against its type and fills `out` (spans point into
// `payload`). For data type 27 `out.data` is the text without its NUL; the
// byte after it in memory is a NUL, so data.data() is also a C string.
ReplyCheck DecodeReply(uint16_t dataType, uint8_t sourceAddress, std::span<const uint8_t> payload,
                       Reply& out);

// Builds a reply payload from its parts; nullopt when the parts do not fit
// the type (wrong data size, text too long, count above 255 ...). For data
// type 14 the count comes from data.size() / 3.
std::optional<std::vector<uint8_t>> EncodeReplyPayload(uint16_t dataType, int32_t arg1,
                                                       int32_t arg2, std::span<const uint8_t> data,
                                                       std::span<const uint8_t> extra = {});

// EncodeReplyPayload wrapped in a reply frame; empty when the parts do not fit.
std::vector<uint8_t> EncodeReplyFrame(uint8_t sourceAddress, uint16_t dataType, int32_t arg1,
                                      int32_t arg2, std::span<const uint8_t> data,
                                      std::span<const uint8_t> extra = {});

// Data type 27 from its IPv4 text and MAC.
std::vector<uint8_t> EncodeIdentityFrame(uint8_t sourceAddress, std::string_view ipv4,
                                         std::span<const uint8_t, kMacSize> mac);

}  // namespace orv::wire
