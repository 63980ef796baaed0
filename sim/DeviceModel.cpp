#include "DeviceModel.h"

#include <algorithm>
#include <cstring>

#include "CommandLayout.h"
#include "Ipv4.h"
#include "ReplyLayout.h"
#include "WireFormat.h"

namespace orv::sim {

DeviceModel::DeviceModel(const std::array<uint8_t, 4>& ip, const Mac& mac)
    : ip_(ip), mac_(mac), address_(ip[3]) {
  ResetToFactory();
  // System information: supply 12.00 V, model tag, firmware 1.2.3.
  sysinfo_ = {0, 0, 0xB0, 0x04, 'Q', '2', '0', 'S', 0x02, 0x01, 0x03, 0x00, 0x10, 0x00, 0, 0, 0, 0};
}

void DeviceModel::ResetToFactory() {
  state_.block = StartImage();
  presets_ = {};
  presetFlags_ = {};
  captions_.Reset();
  vga_ = {};
  feather_ = {};
}

std::string DeviceModel::ipText() const {
  return FormatIpv4(ip_);
}

void DeviceModel::Handle(const wire::FrameView& frame, bool shared, Frames& out) {
  if (shared && frame.address != address_ && frame.address != wire::kBroadcastAddress) {
    ++counters_.ignored;
    return;
  }
  switch (frame.kind) {
    case wire::FrameKind::Command: {
      if (frame.payload.size() != wire::CommandWireLength(frame.type)) {
        ++counters_.malformed;
        return;
      }
      Command command;
      command.type = frame.type;
      command.address = frame.address;
      command.b.fill(0x55);
      std::copy(frame.payload.begin(), frame.payload.end(), command.b.begin());
      // Discovery datagrams carry searches only.
      if (shared && command.type != 69) {
        ++counters_.ignored;
        return;
      }
      HandleCommand(command, out);
      return;
    }
    case wire::FrameKind::Block:
      if (shared || frame.type != wire::kBlockFrameType ||
          frame.payload.size() != kParamBlockSize) {
        ++counters_.malformed;
        return;
      }
      HandleBlock(frame.payload, out);
      return;
    case wire::FrameKind::BulkChunk:
      if (shared) {
        ++counters_.malformed;
        return;
      }
      HandleBulk(frame.payload, out);
      return;
    case wire::FrameKind::Reply:
      ++counters_.malformed;
      return;
  }
}

void DeviceModel::HandleCommand(const Command& command, Frames& out) {
  const Handler handler = HandlerOf(command.type);
  if (!handler) {
    ++counters_.unknownCommands;
    return;
  }
  ++counters_.commands;
  Command taken = command;
  if (FollowOrder(taken, out)) return;
  (this->*handler)(taken, out);
}

bool DeviceModel::FollowOrder(Command& command, Frames& out) {
  const auto it = std::find_if(orders_.begin(), orders_.end(), [&command](const CommandOrder& o) {
    return o.type == command.type;
  });
  if (it == orders_.end()) return false;
  const CommandOrder order = *it;
  orders_.erase(it);
  switch (order.kind) {
    case CommandOrder::Kind::Refuse:
      Ack(command.type, 1, out, order.reason);
      return true;
    case CommandOrder::Kind::Ignore:
      return true;
    case CommandOrder::Kind::Alter:
      ++command.b[order.at % command.b.size()];
      return false;
  }
  return false;
}

// WRITE_ALL: the host's image replaces the device's; the device reports the
// end of the write with event kind 2, which closes the host's wait box.
void DeviceModel::HandleBlock(std::span<const uint8_t> payload, Frames& out) {
  ++counters_.commands;
  std::memcpy(&state_.block, payload.data(), kParamBlockSize);
  EventKind(2, {0}, out);
}

// One caption chunk: the caption peer takes it (or not) and says how the
// acknowledge (event kind 7) goes out: at once, later, or not at all.
void DeviceModel::HandleBulk(std::span<const uint8_t> payload, Frames& out) {
  if (payload.size() < wire::kBulkHeaderSize ||
      wire::GetU16(payload.data() + 4) != payload.size() - wire::kBulkHeaderSize) {
    ++counters_.malformed;
    return;
  }
  ++counters_.commands;
  const auto answer =
      captions_.Chunk(wire::GetU32(payload.data()), payload.subspan(wire::kBulkHeaderSize));
  if (answer) Answer(0, *answer, out);
}

// An acknowledge or an event; a late event is handed to the caller's timer.
void DeviceModel::Answer(uint16_t type, const CaptionAnswer& answer, Frames& out) {
  if (answer.ackStatus) Ack(type, *answer.ackStatus, out);
  if (!answer.event) return;
  if (answer.delayMs > 0) {
    deferred_.push_back(
        {answer.delayMs, [this, event = *answer.event](Frames& later) { Event(event, later); }});
    return;
  }
  Event(*answer.event, out);
}

void DeviceModel::SelfReport(Frames& out) {
  const uint8_t hello[] = {1};
  Reply(0, 0, 0, hello, {}, out);
  Reply(22, 0, 0, state_.block.INPUTINFO.INPUTSTATE, {}, out);
}

void DeviceModel::SetSignal(int slot, bool on, uint16_t width, uint16_t height,
                            uint16_t fpsHundredths, bool interlaced, Frames& out) {
  if (slot < 0 || slot >= kInputSlots) return;
  auto& info = state_.block.INPUTINFO;
  info.INPUTSTATE[slot] = on ? 1 : 0;
  info.INPUTRESO[slot] = {static_cast<uint8_t>(slot),
                          0,
                          on ? width : uint16_t{0},
                          on ? height : uint16_t{0},
                          on ? fpsHundredths : uint16_t{0},
                          static_cast<uint8_t>(on && interlaced),
                          0};
  Reply(22, 0, 0, info.INPUTSTATE, {}, out);
  ReplyInputTiming(slot, out);
}

void DeviceModel::Event(std::span<const uint8_t> bytes, Frames& out) {
  uint8_t data[8] = {};
  std::copy_n(bytes.begin(), std::min<std::size_t>(bytes.size(), 8), data);
  Reply(24, 0, 0, data, {}, out);
}

bool DeviceModel::Reply(uint16_t dataType, int32_t arg1, int32_t arg2,
                        std::span<const uint8_t> data, std::span<const uint8_t> extra,
                        Frames& out) const {
  auto frame = wire::EncodeReplyFrame(address_, dataType, arg1, arg2, data, extra);
  if (frame.empty()) return false;
  out.push_back(std::move(frame));
  return true;
}

void DeviceModel::Ack(uint16_t type, uint8_t status, Frames& out, uint8_t reason) const {
  const uint8_t ack[4] = {static_cast<uint8_t>(type), static_cast<uint8_t>(type >> 8), status,
                          status != 0 ? reason : uint8_t{0}};
  Reply(23, 0, 0, ack, {}, out);
}

void DeviceModel::EventKind(uint8_t kind, std::initializer_list<uint8_t> rest, Frames& out) const {
  uint8_t data[8] = {kind};
  std::copy_n(rest.begin(), std::min<std::size_t>(rest.size(), 7), data + 1);
  Reply(24, 0, 0, data, {}, out);
}

void DeviceModel::ReplyInputTiming(int slot, Frames& out) const {
  ReplyRecord(4, 0, state_.block.INPUTINFO.INPUTRESO[slot], out);
}

void DeviceModel::ReplyPicture(int layer, Frames& out) const {
  const auto& common = state_.block.PICCOMMSETT;
  const auto& record = state_.block.PICSET[GroupLayerIndex(GroupOf(layer), layer)];
  Reply(8, layer, 0, std::span(reinterpret_cast<const uint8_t*>(&common), sizeof common),
        std::span(reinterpret_cast<const uint8_t*>(&record), sizeof record), out);
}

void DeviceModel::ReplyLayerWindow(int layer, Frames& out) const {
  const auto& c = state_.block.CHNLDATA[layer];
  uint8_t record[20];
  const int32_t values[5] = {c.HPOS, c.VPOS, c.HACT, c.VACT, c.CHNLROTATION};
  std::memcpy(record, values, sizeof record);
  Reply(10, layer, 0, record, {}, out);
}

void DeviceModel::ReplyCrop(int layer, Frames& out) const {
  ReplyRecord(11, layer, state_.block.CROP[GroupLayerIndex(GroupOf(layer), layer)], out);
}

void DeviceModel::ReplyLayers(Frames& out) const {
  uint8_t data[3 * kLayers];
  for (int n = 0; n < kLayers; ++n) {
    const auto& c = state_.block.CHNLDATA[n];
    data[3 * n] = c.CHNLONOFF;
    data[3 * n + 1] = c.CHNLALPHA;
    data[3 * n + 2] = c.CHNLINPUT;
  }
  Reply(14, kLayers, 0, data, {}, out);
}

void DeviceModel::ReplyVga(int slot, Frames& out) const {
  const auto& v = vga_[slot];
  uint8_t data[28] = {static_cast<uint8_t>(slot)};
  wire::PutU32(data + 4, static_cast<uint32_t>(v.v1));
  wire::PutU32(data + 8, static_cast<uint32_t>(v.v2));
  data[12] = static_cast<uint8_t>(v.b1);
  data[13] = static_cast<uint8_t>(v.b2);
  for (int i = 0; i < 6; ++i) wire::PutU16(data + 14 + 2 * i, v.w[i]);
  Reply(5, 0, 0, data, {}, out);
}

void DeviceModel::ReplyEdid(uint8_t code, Frames& out) const {
  EdidInfo e{};
  e.INPUTSRC = code;
  for (const auto& slot : state_.block.EDIDINFO) {
    if (slot.INPUTSRC == code) {
      e = slot;
      break;
    }
  }
  ReplyRecord(6, 0, e, out);
}

void DeviceModel::ReplyKeyer(uint8_t channel, Frames& out) const {
  Keyer k{};
  k.KEYERCHNL = channel;
  if (channel == 3) k = state_.block.KEYERINFO.KEYER[0];
  if (channel == 1) k = state_.block.KEYERINFO.KEYER[1];
  ReplyRecord(16, 0, k, out);
}

// Encoder reports: kind 0 its address, kind 1 its version, kind 2 its
// settings (frame rate, resolution code, bit rate high byte first).
void DeviceModel::ReplyEncoder(uint8_t kind, Frames& out) const {
  uint8_t data[10] = {kind};
  switch (kind) {
    case 0:
      std::copy(ip_.begin(), ip_.end(), data + 5);
      break;
    case 1:
      data[1] = 0x01;
      data[2] = 0x02;
      break;
    case 2:
      data[2] = vencFps_;
      data[3] = vencCode_;
      data[4] = static_cast<uint8_t>(vencKbps_ >> 8);
      data[5] = static_cast<uint8_t>(vencKbps_);
      break;
    default:
      break;
  }
  Reply(28, 0, 0, data, {}, out);
}

}  // namespace orv::sim
