// The link watch end to end: a connected panel whose processor drops the
// connection, hangs, and is killed and restarted on the same address (over
// TCP and over a pty); each time the indicator shows the loss, the panel
// reconnects without a click, reads the processor back and the video returns.
#include <QElapsedTimer>
#include <filesystem>

#include "CCell.h"
#include "CMyEdit.h"
#include "CPictureCtrl.h"
#include "CommandEncoder.h"
#include "ConnectLink.h"
#include "DeviceState.h"
#include "LinkIndicator.h"
#include "LinkSupervisor.h"
#include "MConnectDlg.h"
#include "MMainDlg.h"
#include "MainPageCells.h"
#include "MessageIds.h"
#include "Messages.h"
#include "ProcessorWindowFixture.h"
#include "SerialPorts.h"
#include "ShowControlAdapter.h"
#include "ShowState.h"
#include "StartConnection.h"
#include "TestNet.h"
#include "WaitBox.h"

namespace orv::test {
namespace {

class LinkRecovery : public ProcessorWindowTest {
 protected:
  LinkSupervisor& Link() { return *Window().Link(); }
  const LinkStatus& Status() { return Link().Status(); }
  QString Indicator() { return Window().LinkState()->Text(); }

  // Waits for the loss to show: indicator, stale-video cover, refused commands.
  void ExpectLossShown(const char* cause) {
    SCOPED_TRACE(cause);
    ASSERT_TRUE(PumpUntil([&] { return Status().Reconnecting(); }));
    EXPECT_TRUE(Indicator().contains(QStringLiteral("link lost, reconnecting")))
        << Indicator().toStdString();
    EXPECT_TRUE(Window().MainPage()->LinkLostShown());
    EXPECT_FALSE(Window().MainPage()->Canvas()->VideoEnabled()) << "no frozen picture";
  }

  // Waits until the panel reconnected by itself and the read-back finished.
  void ExpectReconnected(int64_t after, const char* cause, bool video = true) {
    SCOPED_TRACE(cause);
    ASSERT_TRUE(PumpUntil([&] {
      return Status().phase == LinkPhase::Connected && Status().reconnectedAtMs > after &&
             !Window().Wait().Shown();
    }));
    EXPECT_TRUE(Indicator().contains(QStringLiteral("reconnected at")))
        << Indicator().toStdString();
    EXPECT_FALSE(Window().MainPage()->LinkLostShown());
    if (video) {
      EXPECT_TRUE(PumpUntil([&] { return Window().MainPage()->Canvas()->VideoEnabled(); }))
          << "the live video returns";
    }
    EXPECT_EQ(Boxes().size(), boxesBefore_) << "no message: the reconnect needs no click";
  }

  // A new processor on the same address; its layout differs: PIP-1 shows input 5.
  void RestartProcessor() {
    const sim::ProcessorConfig config = processor_->config();
    processor_ = std::make_unique<sim::VirtualProcessor>(config);
    std::string error;
    ASSERT_TRUE(processor_->Start(&error)) << error;
    processor_->WithModel([](sim::DeviceModel& m) {
      m.image().CHNLDATA[1].CHNLINPUT = 5;
      return 0;
    });
    processor_->SetPreviewOffered(true);
  }

  std::size_t boxesBefore_ = 0;
};

TEST_F(LinkRecovery, TcpDropHangAndRestartAreRecoveredWithoutAClick) {
  StartProcessor(61);
  processor_->SetPreviewOffered(true);
  ConnectAndReadBack();
  ASSERT_NE(Window().Link(), nullptr);
  EXPECT_EQ(Status().target.ip, ip_);
  EXPECT_TRUE(Indicator().contains(QString::fromStdString(ip_ + " - connected")));
  ASSERT_TRUE(PumpUntil([&] { return Window().MainPage()->Canvas()->VideoEnabled(); }));

  // Show control reports the link; subscribers get an event for each change.
  ShowControlAdapter showControl(Window(), remote::ServerOptions{});
  const remote::ShowState up = showControl.Snapshot();
  EXPECT_EQ(up.link, "up");

  // The processor drops the connection.
  processor_->DropLinks(sim::VirtualProcessor::LinkSet::Tcp);
  ExpectLossShown("drop");
  const remote::ShowState lost = showControl.Snapshot();
  EXPECT_EQ(lost.link, "lost");
  const auto events = remote::ChangeEvents(up, lost);
  ASSERT_FALSE(events.empty());
  EXPECT_EQ(events[0].Find("event")->AsString(), "link");
  EXPECT_EQ(events[0].Find("link")->AsString(), "lost");
  boxesBefore_ = Boxes().size();
  ExpectReconnected(-1, "drop");
  EXPECT_EQ(showControl.Snapshot().link, "up");

  // The processor hangs: its connection stays open but nothing comes back.
  int64_t before = Status().reconnectedAtMs;
  processor_->SetHung(true);
  ExpectLossShown("hang");
  processor_->SetHung(false);
  ExpectReconnected(before, "hang");

  // The processor is killed and started again on the same address, with
  // another layout: the panel shows the processor's layout.
  before = Status().reconnectedAtMs;
  const QString pipName = Window().MainPage()->Cells()->Layer(1)->Name();
  processor_->Stop();
  ExpectLossShown("kill");
  // While nobody answers, a command is refused with a message, not a wait.
  EXPECT_TRUE(Status().Down());
  EXPECT_EQ(SendCommand(TAKE, 0), 0);
  ASSERT_TRUE(PumpUntil([&] { return Boxes().size() > boxesBefore_; }));
  EXPECT_TRUE(Boxes().back().text.contains(QStringLiteral("command was not sent")));
  EXPECT_FALSE(Window().Wait().Shown());
  boxesBefore_ = Boxes().size();
  RestartProcessor();
  ExpectReconnected(before, "restart");
  EXPECT_EQ(State()->block.CHNLDATA[1].CHNLINPUT, 5);
  EXPECT_NE(Window().MainPage()->Cells()->Layer(1)->Name(), pipName)
      << "the PIP-1 cell names the input the restarted processor shows";
}

TEST_F(LinkRecovery, OperatorDisconnectStopsTheReconnects) {
  StartProcessor(62);
  ConnectAndReadBack();
  StopWatchingLink(LinkTarget::Kind::Network, ip_);
  comm_->CloseNetLink(ip_.c_str());
  EXPECT_EQ(Status().phase, LinkPhase::Closed);
  EXPECT_TRUE(Indicator().contains(QStringLiteral("disconnected by the operator")));
  const std::size_t accepted = processor_->Stats().tcpAccepted;
  // Longer than the first backoffs: nothing reconnects.
  QElapsedTimer clock;
  clock.start();
  PumpUntil([&] { return clock.elapsed() > 2500; });
  EXPECT_EQ(processor_->Stats().tcpAccepted, accepted);
  EXPECT_FALSE(Window().MainPage()->LinkLostShown());
}

TEST_F(LinkRecovery, SerialAdapterUnpluggedAndPluggedBackUnderTheSameName) {
  StartProcessor(63, true);
  // A stable name for the adapter, as /dev/serial/by-id gives one.
  const std::string byId = Folder() + "usb-Adapter_1234-if00";
  std::filesystem::create_symlink(processor_->PtyPath(), byId);
  // The port joins the list before the window fills its port list, as at start-up.
  ASSERT_TRUE(SerialPortNumberOf(byId).has_value());
  DestroyWindow();
  MakeWindow(comm_.get());
  ASSERT_TRUE(ConnectAtStart(Window(), {"", byId}));
  ASSERT_TRUE(PumpUntil([&] { return !Window().Wait().Shown(); }));
  ASSERT_EQ(Status().target.kind, LinkTarget::Kind::Serial);
  EXPECT_EQ(Status().target.serialName, byId);

  // Unplugged: the device node disappears and the line fails.
  processor_->DropLinks(sim::VirtualProcessor::LinkSet::Serial);
  std::filesystem::remove(byId);
  ExpectLossShown("unplugged");
  const std::string pty = processor_->ReopenPty();
  ASSERT_FALSE(pty.empty());
  std::filesystem::create_symlink(pty, byId);
  ExpectReconnected(-1, "plugged back", false);
  EXPECT_EQ(Status().target.serialName, byId);
}

TEST_F(LinkRecovery, TypedAddressConnectsAProcessorDiscoveryCannotSee) {
  StartProcessor(64);  // no UDP: a search never finds it
  MConnectDlg* page = Window().ConnectPage();
  ASSERT_NE(page, nullptr);
  Window().ShowPageByIndex(10, false);

  // Bad input changes nothing and says why.
  const uint8_t addressBefore = DeviceAddress();
  const int netModeBefore = State()->NET_MODE;
  for (const char* bad : {"192.168.1", "300.1.1.1", "abc", "127.0.0.1.5"}) {
    SCOPED_TRACE(bad);
    page->IpEdit()->setText(QString::fromLatin1(bad));
    const std::size_t boxes = Boxes().size();
    page->NetworkConnect();
    ASSERT_EQ(Boxes().size(), boxes + 1);
    EXPECT_TRUE(Boxes().back().text.contains(QStringLiteral("not an IPv4 address")));
  }
  // Nobody answers at this address of the test's subnet.
  page->IpEdit()->setText(QString::fromStdString(TestIp(65)));
  page->NetworkConnect();
  EXPECT_TRUE(Boxes().back().text.contains(QStringLiteral("No processor answers")));
  EXPECT_EQ(DeviceAddress(), addressBefore);
  EXPECT_EQ(Status().phase, LinkPhase::Idle);
  EXPECT_EQ(State()->NET_MODE, netModeBefore);
  const std::size_t boxes = Boxes().size();

  page->IpEdit()->setText(QString::fromStdString(ip_));
  page->NetworkConnect();
  ASSERT_TRUE(PumpUntil([&] { return Sent(0) > 0 && !Window().Wait().Shown(); }));
  EXPECT_EQ(Boxes().size(), boxes);
  EXPECT_EQ(DeviceAddress(), 64);
  EXPECT_EQ(State()->NET_MODE, 1);
  EXPECT_EQ(State()->DEVICE_IP, ip_);
  EXPECT_EQ(Status().phase, LinkPhase::Connected);
  EXPECT_EQ(LastNetworkAddress(), ip_);
  EXPECT_TRUE(ReadFile(Settings()).find("[NET]") != std::string::npos);
}

}  // namespace
}  // namespace orv::test

namespace orv::test {
namespace {

using SearchWaitEnd = MainWindowTest;

TEST_F(SearchWaitEnd, AHideNamingItsTextLeavesAnotherWaitShown) {
  const QString searching = QStringLiteral("Search Desitination Machine... ");
  const QString reading = QStringLiteral("Getting Data From Desitination... ");
  SendMsg(&Window(), UM_WAIT, 1, 0, reading);
  SendMsg(&Window(), UM_WAIT, 0, 0, searching);
  EXPECT_TRUE(Window().Wait().Shown()) << "the read-back's box is not the search's";
  SendMsg(&Window(), UM_WAIT, 1, 0, searching);
  SendMsg(&Window(), UM_WAIT, 0, 0, searching);
  EXPECT_FALSE(Window().Wait().Shown());
}

}  // namespace
}  // namespace orv::test
