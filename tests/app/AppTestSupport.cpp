#include "AppTestSupport.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

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

}  // namespace orv::test
