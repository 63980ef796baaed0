#include "ReplyLayout.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "WireFormat.h"

namespace orv::wire {

namespace {

using S = ReplyShape;

// Row n belongs to data type n.
constexpr std::array<ReplyRule, kReplyDataTypes> kReplies = {{
    {"DEVICE_HELLO", 0, 1, 0, S::Plain},   // 0: [0] reply kind (1 = online)
    {"FLAG1", 0, 1, 0, S::Plain},          // 1
    {"ALL_DATA", 0, 2360, 0, S::Plain},    // 2: the parameter image
    {"PIXEL_GRAB", 0, 6, 0, S::Plain},     // 3: u32, u16
    {"INPUT_TIMING", 0, 10, 0, S::Plain},  // 4: one input resolution record
    {"VGA_ADJUST", 0, 28, 0, S::Plain},    // 5
    {"EDID", 0, 12, 0, S::Plain},          // 6
    {"TASKS", 0, 124, 0, S::Plain},        // 7
    {"PICTURE", 2, 12, 20, S::Plain},      // 8: layer, ignored; common; record
    {"NOTIFY9", 0, 1, 0, S::Plain},        // 9
    {"LAYER_WINDOW", 1, 20, 0, S::Plain},  // 10: layer; five i32
    {"CROP", 2, 14, 0, S::Plain},          // 11: layer, ignored; crop record
    {"MOSAIC", 1, 108, 0, S::Plain},       // 12: kind; mosaic block
    {"DEVICE_CLOCK", 0, 6, 0, S::Plain},   // 13
    {"LAYERS", 1, 0, 0, S::Count3},        // 14: count; 3 bytes per layer
    {"LOGO", 0, 42, 0, S::Plain},          // 15
    {"KEYER", 0, 20, 0, S::Plain},         // 16
    {"PRESET_FLAGS", 0, 10, 0, S::Plain},  // 17
    {"LOOP_OUT", 0, 1, 0, S::Plain},       // 18
    {"SYSINFO", 0, 18, 0, S::Plain},       // 19
    {"PVW_MODE", 0, 16, 0, S::Plain},      // 20
    {"DP_MODE", 0, 2, 0, S::Plain},        // 21: port index, mode
    {"INPUT_STATE", 0, 8, 0, S::Plain},    // 22
    {"ACK", 0, 4, 0, S::Plain},            // 23: u16 command type, status, 0
    {"EVENT", 0, 8, 0, S::Plain},          // 24: [0] kind
    {"CAPTION", 0, 32, 0, S::Plain},       // 25
    {"VIDEO_STREAM", 1, 0, 0, S::Rest},    // 26: channel; H.264 bytes
    {"IDENTITY", 0, 16, 6, S::Text16},     // 27: IPv4 text field; MAC
    {"VENC_INFO", 0, 10, 0, S::Plain},     // 28
    {"CMPBOARD", 0, 44, 0, S::Plain},      // 29
    {"FEATHER", 0, 36, 0, S::Plain},       // 30: nine i32
    {"FREEZE_STATE", 0, 1, 0, S::Plain},   // 31
}};

}  // namespace

const ReplyRule* ReplyRuleOf(uint16_t dataType) {
  return dataType < kReplies.size() ? &kReplies[dataType] : nullptr;
}

std::optional<std::size_t> FixedReplySize(uint16_t dataType) {
  const ReplyRule* rule = ReplyRuleOf(dataType);
  if (!rule || rule->shape == S::Count3 || rule->shape == S::Rest) return std::nullopt;
  return std::size_t{rule->argBytes} + rule->dataSize + rule->extraSize;
}

ReplyCheck DecodeReply(uint16_t dataType, uint8_t sourceAddress, std::span<const uint8_t> payload,
                       Reply& out) {
  const ReplyRule* rule = ReplyRuleOf(dataType);
  if (!rule) return ReplyCheck::UnknownType;
  if (payload.size() < rule->argBytes) return ReplyCheck::WrongLength;
  out = Reply{};
  out.dataType = static_cast<uint8_t>(dataType);
  out.sourceAddress = sourceAddress;
  if (rule->argBytes >= 1) out.arg1 = payload[0];
  if (rule->argBytes >= 2) out.arg2 = payload[1];
  const auto body = payload.subspan(rule->argBytes);
  switch (rule->shape) {
    case S::Plain:
      if (body.size() != std::size_t{rule->dataSize} + rule->extraSize) {
        return ReplyCheck::WrongLength;
      }
      out.data = body.first(rule->dataSize);
      out.extra = body.subspan(rule->dataSize);
      return ReplyCheck::Ok;
    case S::Count3:
      if (body.size() != 3 * static_cast<std::size_t>(out.arg1)) return ReplyCheck::WrongLength;
      out.data = body;
      return ReplyCheck::Ok;
    case S::Rest:
      if (body.empty()) return ReplyCheck::WrongLength;
      out.data = body;
      return ReplyCheck::Ok;
    case S::Text16: {
      if (body.size() != std::size_t{rule->dataSize} + rule->extraSize) {
        return ReplyCheck::WrongLength;
      }
      const auto field = body.first(rule->dataSize);
      const auto nul = std::find(field.begin(), field.end(), uint8_t{0});
      if (nul == field.end()) return ReplyCheck::BadText;
      out.data = field.first(static_cast<std::size_t>(nul - field.begin()));
      out.extra = body.subspan(rule->dataSize);
      return ReplyCheck::Ok;
    }
  }
  return ReplyCheck::UnknownType;
}

std::optional<std::vector<uint8_t>> EncodeReplyPayload(uint16_t dataType, int32_t arg1,
                                                       int32_t arg2, std::span<const uint8_t> data,
                                                       std::span<const uint8_t> extra) {
  const ReplyRule* rule = ReplyRuleOf(dataType);
  if (!rule) return std::nullopt;
  std::vector<uint8_t> payload;
  auto putArgs = [&](int32_t first) {
    if (rule->argBytes >= 1) payload.push_back(static_cast<uint8_t>(first));
    if (rule->argBytes >= 2) payload.push_back(static_cast<uint8_t>(arg2));
  };
  switch (rule->shape) {
    case S::Plain:
      if (data.size() != rule->dataSize || extra.size() != rule->extraSize) return std::nullopt;
      putArgs(arg1);
      payload.insert(payload.end(), data.begin(), data.end());
      payload.insert(payload.end(), extra.begin(), extra.end());
      break;
    case S::Count3:
      if (data.size() % 3 != 0 || data.size() / 3 > 255 || !extra.empty()) return std::nullopt;
      putArgs(static_cast<int32_t>(data.size() / 3));
      payload.insert(payload.end(), data.begin(), data.end());
      break;
    case S::Rest:
      if (data.empty() || !extra.empty()) return std::nullopt;
      putArgs(arg1);
      payload.insert(payload.end(), data.begin(), data.end());
      break;
    case S::Text16:
      if (data.size() > kIdentityTextMax || extra.size() != rule->extraSize) return std::nullopt;
      if (std::find(data.begin(), data.end(), uint8_t{0}) != data.end()) return std::nullopt;
      payload.assign(rule->dataSize, 0);
      std::copy(data.begin(), data.end(), payload.begin());
      payload.insert(payload.end(), extra.begin(), extra.end());
      break;
  }
  if (payload.size() > kMaxPayload) return std::nullopt;
  return payload;
}

std::vector<uint8_t> EncodeReplyFrame(uint8_t sourceAddress, uint16_t dataType, int32_t arg1,
                                      int32_t arg2, std::span<const uint8_t> data,
                                      std::span<const uint8_t> extra) {
  auto payload = EncodeReplyPayload(dataType, arg1, arg2, data, extra);
  if (!payload) return {};
  return EncodeFrame(sourceAddress, FrameKind::Reply, dataType, *payload);
}

std::vector<uint8_t> EncodeIdentityFrame(uint8_t sourceAddress, std::string_view ipv4,
                                         std::span<const uint8_t, kMacSize> mac) {
  const auto* text = reinterpret_cast<const uint8_t*>(ipv4.data());
  return EncodeReplyFrame(sourceAddress, 27, 0, 0, std::span(text, ipv4.size()), mac);
}

}  // namespace orv::wire
