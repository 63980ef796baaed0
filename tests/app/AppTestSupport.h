#pragma once
// A main window on a temporary program folder with the shipped language
// files, a recording library, manual timers and recorded message boxes.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "FakeCommLibrary.h"
#include "MessageBox.h"
#include "OrvDlg.h"

namespace orv::test {

std::string ReadFile(const std::string& path);

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Builds and initialises the window (SetUp calls it; tests that prepare
  // the settings file first call ResetWindow afterwards).
  void MakeWindow(CommLibrary* library = nullptr);
  void DestroyWindow();

  std::string Folder() const { return folder_; }
  std::string Settings() const { return folder_ + "Info.ini"; }
  OrvDlg& Window() { return *window_; }
  FakeCommLibrary& Library() { return library_; }
  const std::vector<MessageBoxRequest>& Boxes() const { return answers_->Requests(); }
  ScopedMessageBoxAnswer& Answers() { return *answers_; }

  bool libraryStopped_ = false;
  std::string projectAtStop_;  // the project file's content when the library stopped

 private:
  std::string folder_;
  FakeCommLibrary library_;
  std::unique_ptr<ScopedMessageBoxAnswer> answers_;
  std::unique_ptr<OrvDlg> window_;
};

// Runs the GUI thread's queues and the posted messages until `done` holds
// (10 s at most).
bool PumpUntil(const std::function<bool()>& done);

// With ORV_PAGE_SCREENSHOT naming a folder, the page is saved there to be
// looked at.
void SavePicture(QWidget& page, const char* name);

}  // namespace orv::test
