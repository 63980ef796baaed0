#pragma once
// Helpers of the connection tests: a stand-in for the main window that
// records what the pages post to it, and a fixture with a temporary program
// folder, the recording library, manual timers and answered message boxes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <QWidget>

#include "CommandEncoder.h"
#include "DeviceState.h"
#include "FakeCommLibrary.h"
#include "Ini.h"
#include "MessageBox.h"
#include "MessageIds.h"
#include "Messages.h"
#include "RecordingWindow.h"
#include "ReplySink.h"
#include "Timers.h"
#include "UiTexts.h"

namespace orv::test {

inline constexpr intptr_t kReqOnline = 0x5C0;
inline constexpr intptr_t kReqConnectionState = 0x5BA;
inline constexpr intptr_t kReqSearchWindow = 0x5BB;
inline constexpr intptr_t kReqDestinationIp = 0x5C1;

// The window the pages report to, as the main window is.
class FakeMainWindow : public RecordingWindow {
 public:
  FakeMainWindow() { resize(1000, 600); }
};

// The page requests (0x5A4) with one sub-code, in order.
inline std::vector<Message> Requests(const std::vector<Message>& all, intptr_t subCode) {
  std::vector<Message> out;
  for (const Message& m : all) {
    if (m.id == UM_PAGE_REQUEST && m.wParam == subCode) out.push_back(m);
  }
  return out;
}

inline std::vector<Message> Waits(const std::vector<Message>& all) {
  std::vector<Message> out;
  for (const Message& m : all) {
    if (m.id == UM_WAIT) out.push_back(m);
  }
  return out;
}

class PageFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/connect-test-XXXXXX";
    const char* made = mkdtemp(pattern);
    ASSERT_NE(made, nullptr);
    folder_ = std::string(made) + "/";
    SetAppFolderForTesting(folder_);
    UiTexts::ResetToBuiltIn();
    SetCommLibrary(&library);
    SetManualTimers(true);
    {
      auto s = State();
      s->NET_MODE = 1;
      s->REPLY_ADDR = 0;
      s->REPLY_KIND = 0;
      s->DEVICE_IP.clear();
    }
    SetDeviceAddress(110);
  }
  void TearDown() override {
    DeliverPostedMessages();
    SetCommLibrary(nullptr);
    SetManualTimers(false);
    std::error_code error;
    std::filesystem::remove_all(folder_, error);
    UiTexts::ResetToBuiltIn();
  }

  std::string Settings() const { return folder_ + "Info.ini"; }
  std::string Folder() const { return folder_; }
  std::string Setting(const char* section, const char* key) const {
    return ReadSetting(section, key, Settings());
  }
  // Copies the shipped language files and makes `language` the active one.
  void UseLanguage(const char* language) {
    const std::string dir = folder_ + "Language/";
    std::filesystem::create_directories(dir);
    for (const char* name : {"English.ini", "Chinese.ini"}) {
      std::filesystem::copy_file(std::string(ORV_LANGUAGE_SOURCE_DIR) + "/" + name, dir + name,
                                 std::filesystem::copy_options::overwrite_existing);
    }
    SelectLanguage(language);
    ReloadUiTexts();
  }
  // The texts of the message boxes asked so far.
  std::vector<QString> BoxTexts() const {
    std::vector<QString> out;
    for (const auto& r : boxes.Requests()) out.push_back(r.text);
    return out;
  }

  FakeCommLibrary library;
  ScopedMessageBoxAnswer boxes{kIdOk};
  FakeMainWindow main;

 private:
  std::string folder_;
};

}  // namespace orv::test
