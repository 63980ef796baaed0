#pragma once
// The main window with the real library and a virtual processor on this test
// process's own loopback subnet, connected and read back as `--connect` does.
#include <cstddef>
#include <memory>
#include <string>

#include "AppTestSupport.h"
#include "OrvComm.h"
#include "VirtualProcessor.h"

namespace orv::test {

class ProcessorWindowTest : public MainWindowTest {
 protected:
  // Starts the processor on host `host` of the subnet (a pty too when
  // `serialPty`), then the library and the window.
  void StartProcessor(int host, bool serialPty = false);
  void TearDown() override;
  // Connects to it, waits until the read-back's wait box is down and asserts
  // that no message box came up.
  void ConnectAndReadBack();
  // How many commands of `type` the processor has received.
  std::size_t Sent(int type) const;

  std::string ip_;
  std::unique_ptr<sim::VirtualProcessor> processor_;
  std::unique_ptr<OrvComm> comm_;
};

}  // namespace orv::test
