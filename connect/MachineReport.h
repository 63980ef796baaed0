#pragma once
// What one reply told the search window. The reply fields of the device
// state record are overwritten by the next reply, possibly before the GUI
// thread runs, so the main window's refresh dispatcher captures them on the
// reply thread, at the moment the decoder calls it, and hands the copy over.
#include <array>
#include <cstdint>
#include <string>

namespace orv {

// Reply data types that concern the search window.
enum MachineReportType : int {
  kReportHello = 0,      // the machine announced itself: seen, first = 1
  kReportAnswer = 23,    // any acknowledged reply: seen, first = 0
  kReportIdentity = 27,  // IPv4 text and MAC of a machine that answered SEARCH
};

struct MachineReport {
  int type = 0;                  // one of MachineReportType
  uint8_t replyAddress = 0;      // REPLY_ADDR
  int32_t replyKind = 0;         // REPLY_KIND
  std::string ip;                // DEVICE_IP (identity)
  std::array<uint8_t, 6> mac{};  // DEVICE_MAC (identity)
};

// Reads the reply fields under the record's lock; safe on any thread.
MachineReport CaptureMachineReport(int type);

}  // namespace orv
