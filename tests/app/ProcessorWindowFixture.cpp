#include "ProcessorWindowFixture.h"

#include "CommandEncoder.h"
#include "SerialPorts.h"
#include "StartConnection.h"
#include "TestNet.h"
#include "WaitBox.h"

namespace orv::test {

void ProcessorWindowTest::StartProcessor(int host, bool serialPty) {
  ip_ = TestIp(host);
  sim::ProcessorConfig config;
  config.ip = ip_;
  config.udp = false;
  config.serialPty = serialPty;
  config.selfReportMs = 0;
  processor_ = std::make_unique<sim::VirtualProcessor>(config);
  std::string error;
  ASSERT_TRUE(processor_->Start(&error)) << error;
  comm_ = std::make_unique<OrvComm>();
  SetCommLibrary(comm_.get());
  MakeWindow(comm_.get());
  Window().resize(1600, 1000);
}

void ProcessorWindowTest::TearDown() {
  DestroyWindow();
  SetCommLibrary(nullptr);
  comm_.reset();
  if (processor_) processor_->Stop();
  ClearExtraSerialDevices();
  MainWindowTest::TearDown();
}

void ProcessorWindowTest::ConnectAndReadBack() {
  ASSERT_TRUE(ConnectAtStart(Window(), {ip_, ""}));
  ASSERT_TRUE(PumpUntil([&] { return !Window().Wait().Shown(); }));
  ASSERT_TRUE(Boxes().empty());
}

std::size_t ProcessorWindowTest::Sent(int type) const {
  std::size_t n = 0;
  for (const auto& r : processor_->Requests().Entries()) {
    if (r.kind == wire::FrameKind::Command && r.type == type) ++n;
  }
  return n;
}

}  // namespace orv::test
