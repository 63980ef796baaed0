// The pages with the real library and virtual processors on loopback: the
// search finds three processors on the test's own subnet (TestNet.h, hosts
// 2..4), Connect reads one back, the
// liveness follows their reports; a pseudo-terminal stands in for a serial
// adapter that is connected, disconnected and pulled out.
//
// The sink does for data types 0, 23 and 27 what the main window's refresh
// dispatcher does: it captures the reply fields on the reply thread and hands
// the copy to the search window on the GUI thread.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <stdexcept>
#include <thread>

#include <QCoreApplication>
#include <QPointer>
#include <QTest>

#include "CDropList.h"
#include "CGdipButton.h"
#include "ConnectTestSupport.h"
#include "Decoders.h"
#include "MConnectDlg.h"
#include "MSearchMachineDlg.h"
#include "MachineReport.h"
#include "OrvComm.h"
#include "SerialPortWatcher.h"
#include "SerialPorts.h"
#include "TestNet.h"
#include "VirtualProcessor.h"

namespace orv {
namespace {

using test::kReqDestinationIp;
using test::kReqOnline;
using test::Requests;
using test::TestIp;

class SearchSink : public NullReplySink {
 public:
  void SetWindow(MSearchMachineDlg* window) { window_ = window; }
  void RefreshAfterReply(int type, int) override {
    if (type == kReportHello || type == kReportAnswer || type == kReportIdentity) {
      const MachineReport report = CaptureMachineReport(type);
      QPointer<MSearchMachineDlg> window = window_;
      RunOnGuiThread([window, report] {
        if (window) window->OnMachineReport(report);
      });
      // Counted once the hand-over is queued: a test that sees the count
      // finds the report in the GUI thread's queue.
      std::lock_guard lock(mutex_);
      if (type == kReportIdentity) identities_.push_back(report.ip);
      if (type == kReportHello) ++hellos_[report.replyAddress];
    }
    if (type == 2) ++fullReadBacks;
  }
  void BusyOff() override { ++busyOff; }
  std::vector<std::string> Identities() const {
    std::lock_guard lock(mutex_);
    return identities_;
  }
  // Hellos captured so far, per sender address.
  std::map<uint8_t, int> Hellos() const {
    std::lock_guard lock(mutex_);
    return hellos_;
  }

  std::atomic<int> fullReadBacks{0};
  std::atomic<int> busyOff{0};

 private:
  QPointer<MSearchMachineDlg> window_;
  mutable std::mutex mutex_;
  std::vector<std::string> identities_;
  std::map<uint8_t, int> hellos_;
};

// Runs the GUI thread's queue until `done` holds.
bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 10000) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    QCoreApplication::processEvents();
    DeliverPostedMessages();
    if (done()) return true;
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

void PumpFor(int ms) {
  PumpUntil([] { return false; }, ms);
}

std::size_t GetAllsReceived(sim::VirtualProcessor& p) {
  std::size_t n = 0;
  for (const auto& r : p.Requests().Entries()) {
    n += r.kind == wire::FrameKind::Command && r.type == GET_ALL;
  }
  return n;
}

class EndToEnd : public test::PageFixture {
 protected:
  void SetUp() override {
    PageFixture::SetUp();
    SetCommLibrary(&comm);
    RegisterReplyFunctions(comm);
    SetReplySink(&sink);
    // The only local address on offer is the loopback one.
    search =
        new MSearchMachineDlg(&main, [] { return std::vector<std::string>{test::TestLocalIp()}; });
    ASSERT_TRUE(search->Create());
    sink.SetWindow(search);
  }
  void TearDown() override {
    for (int t = 0; t < kReplyDataTypes; ++t) comm.RegisterReply(nullptr, t);
    comm.CloseAll();
    comm.Sync(10000);
    SetReplySink(nullptr);
    ClearExtraSerialDevices();
    PageFixture::TearDown();
  }
  void StartProcessors(int selfReportMs) {
    for (int host = 2; host <= 4; ++host) {
      sim::ProcessorConfig config;
      config.ip = TestIp(host);
      config.selfReportMs = selfReportMs;
      processors.push_back(std::make_unique<sim::VirtualProcessor>(config));
      std::string error;
      ASSERT_TRUE(processors.back()->Start(&error)) << error;
    }
  }
  sim::VirtualProcessor& ProcessorOf(const std::string& ip) {
    for (auto& p : processors) {
      if (p->config().ip == ip) return *p;
    }
    throw std::runtime_error("no processor at " + ip);
  }
  const Machine& At(int i) const { return search->Machines().At(i); }
  bool AllOnline() const {
    for (const Machine& m : search->Machines().Machines()) {
      if (!m.online) return false;
    }
    return true;
  }
  // One liveness period on the manual clock, then a report from each
  // processor but the stopped one: the period ends once every one of them
  // has been heard again, however long the machine takes.
  void LivenessPeriod(int stopped = -1) {
    const auto before = sink.Hellos();
    AdvanceManualTime(search->LivenessPeriodMs());
    ASSERT_TRUE(PumpUntil([&] {
      const auto now = sink.Hellos();
      for (const auto& p : processors) {
        if (p->address() == stopped) continue;
        const auto was = before.find(p->address());
        const auto is = now.find(p->address());
        if (is == now.end() || (was != before.end() && is->second <= was->second)) return false;
      }
      return true;
    }));
    PumpUntil([] { return false; }, 0);
  }

  OrvComm comm;
  SearchSink sink;
  std::vector<std::unique_ptr<sim::VirtualProcessor>> processors;
  MSearchMachineDlg* search = nullptr;
};

TEST_F(EndToEnd, SearchConnectAndLivenessWithThreeProcessors) {
  constexpr int kReportMs = 200;
  StartProcessors(kReportMs);
  ASSERT_EQ(search->LocalAddressList()->text(), QString::fromStdString(test::TestLocalIp()));
  main.show();
  search->ShowPage(true);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));

  static_cast<CGdipButton*>(search->Control(MSearchMachineDlg::kSearchButton))->click();
  ASSERT_TRUE(PumpUntil([&] { return search->Machines().Size() == 3 && AllOnline(); }));
  PumpFor(100);
  ASSERT_EQ(search->Machines().Size(), 3) << "nobody else answers on loopback";
  // Tiles in arrival order, named by their place.
  const auto arrived = sink.Identities();
  ASSERT_EQ(arrived.size(), 3u);
  std::set<std::string> ips;
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(At(i).ip, arrived[static_cast<std::size_t>(i)]);
    EXPECT_EQ(At(i).name, "Q20-" + std::to_string(i + 1));
    EXPECT_EQ(At(i).tile.topLeft(), QPoint(10 + 210 * i, 80));
    ips.insert(At(i).ip);
  }
  EXPECT_EQ(ips, (std::set<std::string>{TestIp(2), TestIp(3), TestIp(4)}));

  // The settle opens a link to each of them.
  AdvanceManualTime(MSearchMachineDlg::kSettleMs);
  EXPECT_EQ(comm.NetLinkCount(), 3u);
  EXPECT_EQ(State()->NET_MODE, 1);
  EXPECT_TRUE(boxes.Requests().empty()) << "the search found machines: no message";
  // Three answered: none is chosen for the operator.
  EXPECT_EQ(search->Machines().Connected(), -1);
  PumpFor(100);
  EXPECT_EQ(sink.fullReadBacks, 0);

  // Connect the last tile: asked, answered OK, read back.
  const int target = 2;
  const std::string ip = At(target).ip;
  sim::VirtualProcessor& processor = ProcessorOf(ip);
  const std::size_t getAllsBefore = GetAllsReceived(processor);
  main.Take();
  const QRect tile = At(target).tile;
  QTest::mouseClick(search, Qt::LeftButton, Qt::NoModifier, tile.center() + QPoint(0, 20));
  static_cast<CGdipButton*>(search->Control(MSearchMachineDlg::kConnectButton))->click();
  ASSERT_EQ(boxes.Requests().size(), 1u);
  EXPECT_EQ(search->Machines().Connected(), target);
  EXPECT_EQ(DeviceAddress(), MachineAddress(ip));
  ASSERT_TRUE(PumpUntil([&] { return sink.fullReadBacks == 1; }));
  EXPECT_EQ(GetAllsReceived(processor), getAllsBefore + 1);
  ASSERT_TRUE(PumpUntil([&] { return sink.busyOff > 0; })) << "the read-back ends its wait box";
  auto got = main.Take();
  const auto handedOn = Requests(got, kReqDestinationIp);
  ASSERT_EQ(handedOn.size(), 1u);
  EXPECT_EQ(handedOn[0].data.toString().toStdString(), ip);

  // Idle but connected: their reports keep all of them online.
  for (int period = 0; period < 4; ++period) ASSERT_NO_FATAL_FAILURE(LivenessPeriod());
  EXPECT_TRUE(AllOnline());
  for (const Message& m : Requests(main.Take(), kReqOnline)) EXPECT_NE(m.lParam, 0);

  // The target stops answering: offline after three periods, indicator off.
  // Whatever it sent before it stopped is handed on first.
  processor.Stop();
  ASSERT_TRUE(PumpUntil([&] { return !comm.IsNetLinkOpen(ip); }));
  ASSERT_TRUE(comm.Sync(10000));
  PumpUntil([] { return false; }, 0);
  const int gone = processor.address();
  ASSERT_NO_FATAL_FAILURE(LivenessPeriod(gone));
  ASSERT_NO_FATAL_FAILURE(LivenessPeriod(gone));
  EXPECT_TRUE(At(target).online) << "two periods are not enough";
  ASSERT_NO_FATAL_FAILURE(LivenessPeriod(gone));
  EXPECT_FALSE(At(target).online);
  for (int i = 0; i < 3; ++i) {
    if (i != target) {
      EXPECT_TRUE(At(i).online) << i;
    }
  }
  const auto online = Requests(main.Take(), kReqOnline);
  ASSERT_FALSE(online.empty());
  EXPECT_EQ(online.back().lParam, 0);
}

TEST_F(EndToEnd, ASingleProcessorIsConnectedAndReadBackByItself) {
  sim::ProcessorConfig config;
  config.ip = TestIp(2);
  config.selfReportMs = 0;
  processors.push_back(std::make_unique<sim::VirtualProcessor>(config));
  ASSERT_TRUE(processors.back()->Start());
  search->Search();
  ASSERT_TRUE(PumpUntil([&] { return search->Machines().Size() == 1 && AllOnline(); }));
  AdvanceManualTime(MSearchMachineDlg::kSettleMs);
  EXPECT_EQ(search->Machines().Connected(), 0);
  EXPECT_EQ(DeviceAddress(), 2);
  ASSERT_TRUE(PumpUntil([&] { return sink.fullReadBacks == 1 && sink.busyOff > 1; }));
  EXPECT_EQ(GetAllsReceived(*processors.back()), 1u);
  EXPECT_TRUE(boxes.Requests().empty());
}

TEST_F(EndToEnd, SerialConnectReadsBackDisconnectClosesAndUnpluggingDisconnects) {
  constexpr int kPort = 61;
  sim::ProcessorConfig config;
  config.ip = TestIp(6);
  config.serialPty = true;
  config.paceSerial = false;
  config.udp = false;
  config.selfReportMs = 0;
  sim::VirtualProcessor processor(config);
  std::string error;
  ASSERT_TRUE(processor.Start(&error)) << error;
  AddExtraSerialDevice(processor.PtyPath(), kPort);

  auto* page = new MConnectDlg(&main);  // the system's port list, the pty included
  ASSERT_TRUE(page->Create());
  SerialPortWatcher watcher([page](bool arrival) { page->OnSerialDeviceChange(arrival); });
  ASSERT_GE(page->ComList()->FindByData(kPort), 0);
  page->ComList()->SelectByData(kPort);

  page->SerialConnect();
  ASSERT_NE(page->LinkHandle(), 0);
  EXPECT_TRUE(comm.IsSerialOpen());
  ASSERT_TRUE(PumpUntil([&] { return sink.fullReadBacks == 1 && sink.busyOff > 0; }));
  EXPECT_EQ(State()->block.OUTPUTRESO.HRESO, processor.Image().OUTPUTRESO.HRESO);
  EXPECT_EQ(State()->NET_MODE, 0);
  EXPECT_EQ(Setting("COM", "port"), std::to_string(kPort));
  auto online = Requests(main.Take(), kReqOnline);
  ASSERT_EQ(online.size(), 1u);
  EXPECT_EQ(online[0].lParam, 1);

  page->SerialDisconnect();
  EXPECT_FALSE(comm.IsSerialOpen());
  online = Requests(main.Take(), kReqOnline);
  ASSERT_EQ(online.size(), 1u);
  EXPECT_EQ(online[0].lParam, 0);

  // Connected again, then the adapter is pulled out.
  page->SerialConnect();
  ASSERT_TRUE(comm.IsSerialOpen());
  ASSERT_TRUE(PumpUntil([&] { return sink.fullReadBacks == 2; }));
  // The device leaves the port list; the page, not the line, closes the link.
  RemoveExtraSerialDevice(processor.PtyPath());
  EXPECT_TRUE(comm.IsSerialOpen());
  AdvanceManualTime(SerialPortWatcher::kPollMs);
  EXPECT_EQ(page->LinkHandle(), 0);
  EXPECT_FALSE(comm.IsSerialOpen());
  EXPECT_TRUE(page->ComList()->isEnabled());
  EXPECT_LT(page->ComList()->FindByData(kPort), 0);
}

}  // namespace
}  // namespace orv
