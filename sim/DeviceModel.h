#pragma once
// The processor itself, without any transport: its parameter image and the
// rest of its state (presets, captions, VGA adjustments, encoder, clock), and
// what it answers to every frame the host sends. Requests are dispatched
// through one table of handlers (RequestHandlers.cpp); adding a request means
// adding a row there.
//
// Every method appends the frames to send back, in order, to an Out list;
// the caller (VirtualProcessor) decides where they go.
#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "CaptionPeer.h"
#include "DeviceClock.h"
#include "DeviceState.h"
#include "FrameParser.h"
#include "ParamBlock.h"

namespace orv::sim {

using Frames = std::vector<std::vector<uint8_t>>;
using Mac = std::array<uint8_t, 6>;

// One command as the handlers see it: the wire bytes in a 32-byte buffer
// whose remaining bytes are 0x55, as the host filled it.
struct Command {
  uint16_t type = 0;
  uint8_t address = 0;
  std::array<uint8_t, 32> b{};
  uint16_t U16(int at) const { return static_cast<uint16_t>(b[at] | (b[at + 1] << 8)); }
  uint32_t U32(int at) const {
    return static_cast<uint32_t>(b[at]) | (static_cast<uint32_t>(b[at + 1]) << 8) |
           (static_cast<uint32_t>(b[at + 2]) << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
  }
};

struct VgaAdjustRecord {
  int32_t v1 = 1344, v2 = 16;
  int8_t b1 = 0, b2 = 0;
  std::array<uint16_t, 6> w{128, 128, 128, 128, 128, 128};  // W1..W6
  bool ddc = true;
};

// Work the processor finishes later (the VGA automatic adjustment and the
// converter calibration): `finish` runs `ms` after the command, on the
// processor's own thread, and appends what the processor then reports.
struct Deferred {
  int ms = 0;
  std::function<void(Frames&)> finish;
};

// The editing rectangle the processor draws over its output while the logo
// page marks a logo (SET_LOGO operation 3).
struct LogoMark {
  bool drawn = false;
  uint16_t x = 0, y = 0, w = 0, h = 0;
};

// One key the media player received (MEDIA): key code 1..7, U-disk 0 or 1.
struct MediaKey {
  uint8_t key = 0;
  uint8_t disk = 0;
};

// The system information record (data type 19), as the wire carries it.
using SysInfoRecord = std::array<uint8_t, 18>;

struct ModelCounters {
  uint64_t commands = 0;         // command, block and bulk frames handled
  uint64_t malformed = 0;        // wrong length for the type, bad bulk header, wrong kind
  uint64_t unknownCommands = 0;  // types without a handler
  uint64_t ignored = 0;          // addressed to another unit (datagrams)
};

class DeviceModel {
 public:
  DeviceModel(const std::array<uint8_t, 4>& ip, const Mac& mac);

  // A frame from the host. `shared` is true for frames from a shared medium
  // (discovery datagrams): those are answered only when addressed to this
  // unit or to every unit.
  void Handle(const wire::FrameView& frame, bool shared, Frames& out);

  // Unsolicited reports.
  void SelfReport(Frames& out);  // data type 0, then the input state (22)
  void SetSignal(int slot, bool on, uint16_t width, uint16_t height, uint16_t fpsHundredths,
                 bool interlaced, Frames& out);
  void Event(std::span<const uint8_t> bytes, Frames& out);  // data type 24, up to 8 bytes

  // Sends any reply built from its parts (control channel, tests).
  bool Reply(uint16_t dataType, int32_t arg1, int32_t arg2, std::span<const uint8_t> data,
             std::span<const uint8_t> extra, Frames& out) const;

  ParamBlock& image() { return state_.block; }
  const ParamBlock& image() const { return state_.block; }
  uint8_t address() const { return address_; }
  std::string ipText() const;
  const Mac& mac() const { return mac_; }
  const ModelCounters& counters() const { return counters_; }
  const std::array<uint8_t, kPresets>& presetFlags() const { return presetFlags_; }
  const std::array<CaptionRecord, 4>& captions() const { return captions_.Records(); }
  const CaptionIntake& upload() const { return captions_.Intake(); }
  CaptionPeer& Captions() { return captions_; }
  uint8_t testPattern() const { return testPattern_; }
  const std::vector<MediaKey>& mediaKeys() const { return mediaKeys_; }
  SysInfoRecord& sysinfo() { return sysinfo_; }
  const LogoMark& logoMark() const { return logoMark_; }
  const std::array<ResoEntry, 19>& resolutions() const { return state_.RESO_TABLE; }
  // FLAG1 answer: offered from the start, as a real processor with an encoder does.
  bool previewOffered = true;
  struct EncoderSetting {
    int fps, resolutionCode, kbps;
  };
  EncoderSetting encoder() const { return {vencFps_, vencCode_, vencKbps_}; }

  bool edidRefuses = false;  // SET_EDID is answered "refused" and changes nothing
  // Orders of the control line for the next command of a type: refuse it
  // (ack status 1 with `reason`, nothing stored, nothing else sent), ignore
  // it (no answer at all), or alter it (byte `at` of its payload plus one
  // before it is applied, so the report disagrees with what was sent).
  struct CommandOrder {
    enum class Kind : uint8_t { Refuse, Ignore, Alter };
    Kind kind = Kind::Refuse;
    uint16_t type = 0;
    uint8_t reason = 5;
    uint8_t at = 1;
  };
  void Order(const CommandOrder& order) { orders_.push_back(order); }
  std::size_t OrdersLeft() const { return orders_.size(); }
  bool vgaAdjustFails = false;  // automatic adjustment and calibration end "failed"
  int autoAdjustMs = 1500;      // how long the automatic adjustment takes
  int calibrateMs = 3000;       // how long the converter calibration takes
  const VgaAdjustRecord& Vga(int slot) const { return vga_[slot]; }
  // The work started by the last commands; the caller runs it when due.
  std::vector<Deferred> TakeDeferred() { return std::exchange(deferred_, {}); }

  // The clock and the scheduled tasks (TaskHandlers.cpp). Setting the clock
  // starts the task schedule afresh from the new time, so a jump forward
  // fires none of the tasks it skips.
  bool SetClock(const ClockBytes& t);
  ClockBytes ReadClock() const { return clock_.Read(); }
  // Fires the tasks that fell due since the last call: each loads its preset
  // and the processor reports its whole image (data type 2), as after a
  // recall from its front panel.
  void RunTasks(Frames& out);
  uint64_t tasksFired() const { return tasksFired_; }

  // The handlers (RequestHandlers.cpp) ------------------------------------
  using Handler = void (DeviceModel::*)(const Command&, Frames&);
  static Handler HandlerOf(uint16_t type);

  void GetAll(const Command&, Frames&);
  void Preset(const Command&, Frames&);
  void SetOutputTiming(const Command&, Frames&);
  void SetPicture(const Command&, Frames&);
  void SetLayerWindow(const Command&, Frames&);
  void SetCrop(const Command&, Frames&);
  void SetMosaic(const Command&, Frames&);
  void SetLayerInput(const Command&, Frames&);
  void SetLayerOnOff(const Command&, Frames&);
  void SetLogo(const Command&, Frames&);
  void SetEdid(const Command&, Frames&);
  void SetKeyer(const Command&, Frames&);
  void SetTestPattern(const Command&, Frames&);
  void SetPixelGrab(const Command&, Frames&);
  void SetVgaAdjust(const Command&, Frames&);
  void SetPvwMode(const Command&, Frames&);
  void SetTransitionTime(const Command&, Frames&);
  void SetTask(const Command&, Frames&);
  void SetLoopOut(const Command&, Frames&);
  void FactoryReset(const Command&, Frames&);
  void Take(const Command&, Frames&);
  void SetSync(const Command&, Frames&);
  void SignalSwitch(const Command&, Frames&);
  void CaptionA(const Command&, Frames&);
  void CaptionB(const Command&, Frames&);
  void SetVideoEncoder(const Command&, Frames&);
  void AckOnly(const Command&, Frames&);
  void Media(const Command&, Frames&);
  void SetFeather(const Command&, Frames&);
  void Freeze(const Command&, Frames&);
  void GetInputTiming(const Command&, Frames&);
  void GetVgaAdjust(const Command&, Frames&);
  void GetEdid(const Command&, Frames&);
  void GetTasks(const Command&, Frames&);
  void GetPicture(const Command&, Frames&);
  void GetLayerWindow(const Command&, Frames&);
  void GetCrop(const Command&, Frames&);
  void GetMosaic(const Command&, Frames&);
  void GetLogo(const Command&, Frames&);
  void GetKeyer(const Command&, Frames&);
  void GetLayers(const Command&, Frames&);
  void Query62(const Command&, Frames&);
  void GetPvwMode(const Command&, Frames&);
  void Query65(const Command&, Frames&);
  void VideoEncoderCtrl(const Command&, Frames&);
  void Query67(const Command&, Frames&);
  void Query68(const Command&, Frames&);
  void Search(const Command&, Frames&);
  void GetCaption(const Command&, Frames&);
  void Query73(const Command&, Frames&);

 private:
  void HandleCommand(const Command& command, Frames& out);
  // Carries out the first order for the command's type; true when it took the command.
  bool FollowOrder(Command& command, Frames& out);
  void HandleBlock(std::span<const uint8_t> payload, Frames& out);
  void HandleBulk(std::span<const uint8_t> payload, Frames& out);

  // Reply helpers.
  void Ack(uint16_t type, uint8_t status, Frames& out, uint8_t reason = 0) const;
  void EventKind(uint8_t kind, std::initializer_list<uint8_t> rest, Frames& out) const;
  template <class T>
  void ReplyRecord(uint16_t dataType, int32_t arg1, const T& record, Frames& out) const {
    Reply(dataType, arg1, 0, std::span(reinterpret_cast<const uint8_t*>(&record), sizeof record),
          {}, out);
  }
  void ReplyInputTiming(int slot, Frames& out) const;
  void ReplyPicture(int layer, Frames& out) const;
  void ReplyLayerWindow(int layer, Frames& out) const;
  void ReplyCrop(int layer, Frames& out) const;
  void ReplyLayers(Frames& out) const;
  void ReplyVga(int slot, Frames& out) const;
  void ReplyEdid(uint8_t code, Frames& out) const;
  bool IsVgaSlot(int slot) const;
  void StartAdjustment(int slot, bool automatic, Frames& out);
  void FinishAdjustment(int slot, bool automatic, Frames& out);
  void ReplyKeyer(uint8_t channel, Frames& out) const;
  void ReplyEncoder(uint8_t kind, Frames& out) const;
  void Answer(uint16_t type, const CaptionAnswer& answer, Frames& out);
  int GroupOf(int layer) const { return InputGroupOfLayer(state_, layer); }
  void ResetToFactory();
  // Loads preset n; the freeze state and the task schedule are the unit's
  // own and stay.
  void RestorePreset(int n);
  // SET_LOGO by operation (LayerFeatureHandlers.cpp); false: refused.
  bool ApplyLogo(const Command& c);

  DeviceState state_;  // only `block` and the group lookup are used
  std::array<uint8_t, 4> ip_;
  Mac mac_;
  uint8_t address_;
  ModelCounters counters_;
  std::array<ParamBlock, kPresets> presets_{};
  std::array<uint8_t, kPresets> presetFlags_{};
  CaptionPeer captions_;
  LogoMark logoMark_;
  std::array<VgaAdjustRecord, kInputSlots> vga_{};
  std::vector<Deferred> deferred_;
  std::vector<CommandOrder> orders_;
  DeviceClock clock_{{26, 1, 1, 12, 0, 0}};
  int64_t tasksCheckedTo_ = clock_.Now();
  uint64_t tasksFired_ = 0;
  std::array<int32_t, 9> feather_{};
  uint8_t testPattern_ = 0;
  uint8_t vencFps_ = 15, vencCode_ = 7;
  uint16_t vencKbps_ = 3072;
  SysInfoRecord sysinfo_{};
  std::vector<MediaKey> mediaKeys_;
};

// The believable image a processor starts with.
ParamBlock StartImage();

}  // namespace orv::sim
