#pragma once
// What the reply decoders ask of the user interface. The main window
// implements this interface; tests install a recording one. Every call
// arrives on the communication library's reply thread: an implementation
// must hand widget work to the user-interface thread (queued, in arrival
// order) and must never block the reply thread waiting for it.
#include <cstdint>
#include <span>

namespace orv {

// Numbers of the wait-box texts in the UI text table; the main window looks
// the number up in the active language.
enum WaitText : int {
  kWaitTextOperation = 65,    // "Waitting Operation ..."
  kWaitTextGettingData = 82,  // "Getting Data From Desitination... "
  kWaitTextSearching = 83,    // "Search Desitination Machine... "
  kWaitTextSettingData = 84,  // "Set Data To Desitination..."
};

class ReplySink {
 public:
  virtual ~ReplySink() = default;

  // The refresh dispatcher: the pages concerned by reply data type `type`
  // re-read the record. `arg` is 0 unless a data type passes one (10: layer,
  // 12: mosaic kind, 25: caption index). Type 23 = "a reply was acknowledged".
  virtual void RefreshAfterReply(int type, int arg) = 0;

  // Wait box shown (message 0x5B1 wParam 1) with the UI text of that number;
  // the main window is disabled while it shows.
  virtual void BusyOn(int waitText) = 0;
  // Wait box hidden (message 0x5B1 wParam 0). Must not block.
  virtual void BusyOff() = 0;

  // Page operations the decoders call directly.
  virtual void EdidApplyResult() = 0;            // device event kind 0
  virtual void VgaAdjustResult() = 0;            // device event kind 1
  virtual void CaptionChunkAcknowledged() = 0;   // event kind 7: send the next caption chunk
  virtual void EnableCaptionPage() = 0;          // event kinds 8 and 10
  virtual void CaptionUploadStart(bool ok) = 0;  // event kind 12
  virtual void RefreshVideoSettings() = 0;       // data type 28
  // Data type 29, in this order: PIP page refresh, the 12 input slots
  // redrawn, the port-switch rule texts, EDID page refresh, the board
  // controls shown or hidden by CMPBOARDEXIST, misc page refresh, the input
  // refresh of layers 0..3 without sending, the signal-switch button enabled.
  virtual void BoardRefresh() = 0;
  // Data type 26: one H.264 packet for preview channel 0..3. The bytes are
  // only valid during the call.
  virtual void FeedVideoPacket(int channel, std::span<const uint8_t> bytes) = 0;
};

// A sink that does nothing; the decoders use it while none is installed.
class NullReplySink : public ReplySink {
 public:
  void RefreshAfterReply(int, int) override {}
  void BusyOn(int) override {}
  void BusyOff() override {}
  void EdidApplyResult() override {}
  void VgaAdjustResult() override {}
  void CaptionChunkAcknowledged() override {}
  void EnableCaptionPage() override {}
  void CaptionUploadStart(bool) override {}
  void RefreshVideoSettings() override {}
  void BoardRefresh() override {}
  void FeedVideoPacket(int, std::span<const uint8_t>) override {}
};

// Installs the sink the decoders and sequences call (nullptr = none). The
// sink must outlive every reply delivered while it is installed.
void SetReplySink(ReplySink* sink);
ReplySink& GetReplySink();

}  // namespace orv
