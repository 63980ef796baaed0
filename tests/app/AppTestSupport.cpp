#include "AppTestSupport.h"

#include <QApplication>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "CommandEncoder.h"
#include "DeviceState.h"
#include "Ini.h"
#include "Messages.h"
#include "ReadBack.h"
#include "ReplySink.h"
#include "TestNet.h"
#include "Timers.h"
#include "UiTexts.h"

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

}  // namespace orv::test
