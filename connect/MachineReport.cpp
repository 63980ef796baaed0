#include "MachineReport.h"

#include <algorithm>

#include "DeviceState.h"

namespace orv {

MachineReport CaptureMachineReport(int type) {
  MachineReport report;
  report.type = type;
  auto s = State();
  report.replyAddress = s->REPLY_ADDR;
  report.replyKind = s->REPLY_KIND;
  if (type == kReportIdentity) {
    report.ip = s->DEVICE_IP;
    std::copy(std::begin(s->DEVICE_MAC), std::end(s->DEVICE_MAC), report.mac.begin());
  }
  return report;
}

}  // namespace orv
