#pragma once
// The main window connected to a virtual processor over TCP loopback with the
// real library, read back once; each test then drives one page with real
// mouse and key events and reads the processor's request log.
#include <QCoreApplication>
#include <QTest>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>

#include "AppTestSupport.h"
#include "CDropList.h"
#include "CommandEncoder.h"
#include "DeviceState.h"
#include "Messages.h"
#include "OrvComm.h"
#include "ReadBack.h"
#include "TestNet.h"
#include "VirtualProcessor.h"
#include "WaitBox.h"
#include "oRealEdit.h"

namespace orv::test {

class PageRun : public MainWindowTest {
 protected:
  // Each test binds an address of its own on the test process's loopback subnet.
  void Connect(const std::string& ip, const std::function<void(sim::DeviceModel&)>& prepare) {
    sim::ProcessorConfig config;
    config.ip = ip;
    config.udp = false;
    config.selfReportMs = 0;
    processor_ = std::make_unique<sim::VirtualProcessor>(config);
    std::string error;
    ASSERT_TRUE(processor_->Start(&error)) << error;
    processor_->WithModel([&](sim::DeviceModel& m) {
      prepare(m);
      return 0;
    });
    comm_ = std::make_unique<OrvComm>();
    SetCommLibrary(comm_.get());
    MakeWindow(comm_.get());
    ASSERT_EQ(comm_->OpenNetLink(ip.c_str(), kDevicePort), 1);
    SetDeviceAddress(processor_->address());
    // A request sent before the link is up would reach nobody.
    ASSERT_TRUE(PumpUntil([this] { return processor_->TcpLinkCount() == 1; }));
    StartFullReadBack();
    ASSERT_TRUE(PumpUntil([this] { return !Window().Wait().Shown(); }))
        << processor_->Requests().Size() << " requests at the processor, "
        << comm_->Stats().repliesDelivered << " replies delivered";
    AwaitQuiet();
    processor_->Requests().Clear();
  }

  void TearDown() override {
    DestroyWindow();
    SetCommLibrary(nullptr);
    comm_.reset();
    if (processor_) processor_->Stop();
    MainWindowTest::TearDown();
  }

  // Until neither the request log nor the delivered replies moved for 300 ms.
  void AwaitQuiet() {
    auto snapshot = [this] {
      return std::pair(processor_->Requests().Size(), comm_->Stats().repliesDelivered);
    };
    auto last = snapshot();
    auto quietSince = std::chrono::steady_clock::now();
    const auto end = quietSince + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() - quietSince < std::chrono::milliseconds(300) &&
           std::chrono::steady_clock::now() < end) {
      QCoreApplication::processEvents();
      DeliverPostedMessages();
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
      if (const auto now = snapshot(); now != last) {
        last = now;
        quietSince = std::chrono::steady_clock::now();
      }
    }
  }

  // Waits for the `n`th request (1-based) and returns it.
  sim::ReceivedRequest Request(std::size_t n) {
    EXPECT_TRUE(processor_->Requests().WaitForSize(n, std::chrono::seconds(10)))
        << "only " << processor_->Requests().Size() << " requests";
    const auto entries = processor_->Requests().Entries();
    return entries.size() >= n ? entries[n - 1] : sim::ReceivedRequest{};
  }

  // The first `count` payload bytes of the `n`th request.
  std::vector<uint8_t> Head(std::size_t n, std::size_t count) {
    const sim::ReceivedRequest r = Request(n);
    return {r.head.begin(),
            r.head.begin() + static_cast<std::ptrdiff_t>(std::min(count, r.head.size()))};
  }

  ParamBlock Image() { return processor_->Image(); }

  // Opens a drop list with the mouse and clicks entry `index`.
  void Choose(CDropButton* drop, int index) {
    QTest::mouseClick(drop, Qt::LeftButton);
    ASSERT_TRUE(drop->PopupShown());
    CDropList* list = drop->List();
    const QRect r = list->visualItemRect(list->item(index));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, r.center());
    DeliverPostedMessages();
  }

  // Types `text` over an edit's content and commits it with Enter.
  void Type(oRealEdit* edit, const QString& text) {
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Return);
    DeliverPostedMessages();
  }

  std::unique_ptr<sim::VirtualProcessor> processor_;
  std::unique_ptr<OrvComm> comm_;
};

}  // namespace orv::test
