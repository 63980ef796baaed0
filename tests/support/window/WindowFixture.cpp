#include "WindowFixture.h"

#include <QApplication>
#include <QTest>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "CDropList.h"
#include "CommandEncoder.h"
#include "DeviceState.h"
#include "Ini.h"
#include "Messages.h"
#include "ReadBack.h"
#include "ReplySink.h"
#include "SerialPorts.h"
#include "StartConnection.h"
#include "TestNet.h"
#include "Timers.h"
#include "UiTexts.h"
#include "WaitBox.h"
#include "oRealEdit.h"

namespace orv::test {

namespace fs = std::filesystem;

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void MainWindowTest::SetUp() {
  std::string pattern = (fs::temp_directory_path() / "orv-app-XXXXXX").string();
  const char* made = mkdtemp(pattern.data());
  ASSERT_NE(made, nullptr);
  folder_ = std::string(made) + "/";
  fs::create_directories(folder_ + "Language");
  for (const char* name : {"English.ini", "Chinese.ini"}) {
    fs::copy_file(fs::path(ORV_LANGUAGE_SOURCE_DIR) / name, folder_ + "Language/" + name);
  }
  SetAppFolderForTesting(folder_);
  // Window tests never listen for show control; its own tests start it on their subnet.
  WriteProfileString("Remote", "Enabled", "0", folder_ + "Info.ini");
  SelectLanguage("English");
  ReloadUiTexts();
  {
    auto s = State();
    *s = DeviceState();
  }
  SetDeviceAddress(110);
  SetManualTimers(true);
  SetPauseFunction([](int) {});
  SetCommLibrary(&library_);
  answers_ = std::make_unique<ScopedMessageBoxAnswer>(kIdOk);
  MakeWindow();
}

void MainWindowTest::MakeWindow(CommLibrary* library) {
  DestroyWindow();
  OrvDlg::Options options;
  options.library = library != nullptr ? library : &library_;
  options.stopLibrary = [this] {
    libraryStopped_ = true;
    projectAtStop_ = ReadFile(window_->ProjectPath());
  };
  options.localAddresses = [] { return std::vector<std::string>{TestLocalIp()}; };
  options.watchSerialPorts = false;
  window_ = std::make_unique<OrvDlg>(std::move(options));
  window_->Initialise();
  window_->show();
  DeliverPostedMessages();
}

void MainWindowTest::DestroyWindow() {
  if (window_) {
    window_->CloseDown();
    DeliverPostedMessages();
    window_.reset();
  }
}

void MainWindowTest::TearDown() {
  DestroyWindow();
  DeliverPostedMessages();
  answers_.reset();
  SetCommLibrary(nullptr);
  SetPauseFunction({});
  SetManualTimers(false);
  SetReplySink(nullptr);
  std::error_code ignored;
  fs::remove_all(folder_, ignored);
}

bool PumpUntil(const std::function<bool()>& done) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (std::chrono::steady_clock::now() < end) {
    QApplication::processEvents();
    DeliverPostedMessages();
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return false;
}

void SavePicture(QWidget& page, const char* name) {
  const QString folder = qEnvironmentVariable("ORV_PAGE_SCREENSHOT");
  if (folder.isEmpty()) return;
  page.repaint();
  EXPECT_TRUE(page.grab().save(folder + QLatin1Char('/') + QString::fromLatin1(name)));
}

sim::ProcessorConfig ConnectedWindowTest::ProcessorAt(const std::string& ip) {
  sim::ProcessorConfig config;
  config.ip = ip;
  config.udp = false;
  config.selfReportMs = 0;
  return config;
}

void ConnectedWindowTest::StartProcessor(const std::string& ip, bool serialPty) {
  sim::ProcessorConfig config = ProcessorAt(ip);
  config.serialPty = serialPty;
  StartProcessor(config);
}

void ConnectedWindowTest::StartProcessor(const sim::ProcessorConfig& config) {
  ip_ = config.ip;
  processor_ = std::make_unique<sim::VirtualProcessor>(config);
  std::string error;
  ASSERT_TRUE(processor_->Start(&error)) << error;
  comm_ = std::make_unique<OrvComm>();
  SetCommLibrary(comm_.get());
  MakeWindow(comm_.get());
}

void ConnectedWindowTest::StartProcessor(int host, bool serialPty) {
  StartProcessor(TestIp(host), serialPty);
  Window().resize(1600, 1000);
}

void ConnectedWindowTest::TearDown() {
  DestroyWindow();
  SetCommLibrary(nullptr);
  comm_.reset();
  if (processor_) processor_->Stop();
  ClearExtraSerialDevices();
  MainWindowTest::TearDown();
}

void ConnectedWindowTest::ConnectUntil(const std::function<bool()>& done) {
  ASSERT_TRUE(ConnectAtStart(Window(), {ip_, ""}));
  ASSERT_TRUE(PumpUntil([&] { return !Window().Wait().Shown() && (!done || done()); }))
      << processor_->Requests().Size() << " requests at the processor, "
      << comm_->Stats().repliesDelivered << " replies delivered";
}

void ConnectedWindowTest::ConnectAndReadBack() {
  ASSERT_NO_FATAL_FAILURE(ConnectUntil());
  ASSERT_TRUE(Boxes().empty());
}

void ConnectedWindowTest::Connect(const std::string& ip,
                                  const std::function<void(sim::DeviceModel&)>& prepare) {
  ASSERT_NO_FATAL_FAILURE(StartProcessor(ip));
  processor_->WithModel([&](sim::DeviceModel& m) {
    // A page run reads its own requests and answers: the processor's video
    // would keep the link busy, so AwaitQuiet would wait out its 10 s.
    m.previewOffered = false;
    prepare(m);
    return 0;
  });
  ASSERT_NO_FATAL_FAILURE(ConnectUntil());
  AwaitQuiet();
  processor_->Requests().Clear();
}

void ConnectedWindowTest::AwaitQuiet() {
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

std::size_t ConnectedWindowTest::Sent(int type) const {
  return Received(static_cast<uint16_t>(type)).size();
}

std::vector<sim::ReceivedRequest> ConnectedWindowTest::Received(uint16_t type) const {
  std::vector<sim::ReceivedRequest> out;
  for (const auto& r : processor_->Requests().Entries()) {
    if (r.kind == wire::FrameKind::Command && r.type == type) out.push_back(r);
  }
  return out;
}

sim::ReceivedRequest ConnectedWindowTest::Request(std::size_t n) {
  EXPECT_TRUE(processor_->Requests().WaitForSize(n, std::chrono::seconds(10)))
      << "only " << processor_->Requests().Size() << " requests";
  const auto entries = processor_->Requests().Entries();
  return entries.size() >= n ? entries[n - 1] : sim::ReceivedRequest{};
}

std::vector<uint8_t> ConnectedWindowTest::Head(std::size_t n, std::size_t count) {
  const sim::ReceivedRequest r = Request(n);
  return {r.head.begin(),
          r.head.begin() + static_cast<std::ptrdiff_t>(std::min(count, r.head.size()))};
}

void ConnectedWindowTest::Choose(CDropButton* drop, int index) {
  QTest::mouseClick(drop, Qt::LeftButton);
  ASSERT_TRUE(drop->PopupShown());
  CDropList* list = drop->List();
  const QRect r = list->visualItemRect(list->item(index));
  QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, r.center());
  DeliverPostedMessages();
}

void ConnectedWindowTest::Type(oRealEdit* edit, const QString& text) {
  edit->setFocus();
  QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClicks(edit, text);
  QTest::keyClick(edit, Qt::Key_Return);
  DeliverPostedMessages();
}

}  // namespace orv::test
