// The main window against a virtual processor on loopback, with the real
// library: a silent processor never traps the operator behind the wait box,
// and an answering one ends the wait with its read-back.
#include <chrono>
#include <memory>
#include <thread>

#include "AppTestSupport.h"
#include "CommandEncoder.h"
#include "DeviceState.h"
#include "MSearchMachineDlg.h"
#include "MSettingsPage.h"
#include "MachineList.h"
#include "MessageIds.h"
#include "Messages.h"
#include "OrvComm.h"
#include "PageTable.h"
#include "ReadBack.h"
#include "TestNet.h"
#include "Timers.h"
#include "VirtualProcessor.h"
#include "WaitBox.h"

namespace orv::test {
namespace {

class ProcessorRun : public ConnectedWindowTest {
 protected:
  // The link is opened, nothing is read back: each test starts that itself.
  void StartWith(const std::string& ip, bool silent, bool discoverable = false) {
    sim::ProcessorConfig config = ProcessorAt(ip);
    config.udp = discoverable;
    ASSERT_NO_FATAL_FAILURE(StartProcessor(config));
    processor_->SetSilent(silent);
    if (discoverable) return;
    ASSERT_NE(comm_->OpenNetLink(ip.c_str(), kDevicePort), 0);
    SetDeviceAddress(processor_->address());
  }
  // Delivers queued calls until `done` or ten seconds pass.
  template <class Done>
  bool DeliverUntil(Done done) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < end) {
      DeliverPostedMessages();
      if (done()) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
  }
};

TEST_F(ProcessorRun, SilentProcessorEndsInAMessageNotATrap) {
  StartWith(TestIp(61), true);
  StartFullReadBack();
  DeliverPostedMessages();
  ASSERT_TRUE(Window().Wait().Shown());
  EXPECT_FALSE(Window().ContentEnabled());
  // The request arrived and was not answered; whatever the library holds is
  // handed on before the box is looked at again.
  ASSERT_TRUE(processor_->Requests().WaitForSize(1, std::chrono::seconds(10)));
  ASSERT_TRUE(comm_->Sync(10000));
  DeliverPostedMessages();
  EXPECT_TRUE(Window().Wait().Shown());  // nothing came back
  AdvanceManualTime(WaitBox::kDefaultTimeoutMs);
  EXPECT_FALSE(Window().Wait().Shown());
  EXPECT_TRUE(Window().ContentEnabled());
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_TRUE(Boxes()[0].text.contains(QStringLiteral("did not answer")));
}

TEST_F(ProcessorRun, AnsweringProcessorEndsTheWaitWithItsImage) {
  StartWith(TestIp(62), false);
  auto* picture = static_cast<MSettingsPage*>(Window().ColumnPage(0));
  const int before = picture->RefreshCount();
  StartFullReadBack();
  DeliverPostedMessages();
  EXPECT_TRUE(DeliverUntil([this] { return !Window().Wait().Shown(); }));
  EXPECT_TRUE(Window().ContentEnabled());
  EXPECT_TRUE(Boxes().empty());
  EXPECT_GT(picture->RefreshCount(), before);
}

TEST_F(ProcessorRun, SearchFindsConnectsAndReadsBackThroughTheWindow) {
  StartWith(TestIp(2), false, true);
  MSearchMachineDlg* search = Window().SearchWindow();
  auto* picture = static_cast<MSettingsPage*>(Window().ColumnPage(0));
  const int before = picture->RefreshCount();
  SendMsg(&Window(), UM_PAGE_REQUEST, request::kSearchWindow, 0);
  ASSERT_TRUE(search->isVisible());
  search->Search();
  EXPECT_EQ(DeviceAddress(), 0xFF);
  ASSERT_TRUE(DeliverUntil([&] { return search->Machines().Size() == 1; }));
  // After the settle second the only machine gets its link and is read back.
  AdvanceManualTime(MSearchMachineDlg::kSettleMs);
  ASSERT_TRUE(DeliverUntil([&] { return picture->RefreshCount() > before; }));
  EXPECT_EQ(DeviceAddress(), 2);
  EXPECT_TRUE(DeliverUntil([&] { return Window().ConnectionIndicator(); }));
  EXPECT_TRUE(DeliverUntil([&] { return !Window().Wait().Shown(); }));
  EXPECT_TRUE(Window().ContentEnabled());
  EXPECT_TRUE(Boxes().empty());
}

}  // namespace
}  // namespace orv::test
