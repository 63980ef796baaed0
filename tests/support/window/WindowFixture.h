#pragma once
// The one fixture of the main-window tests: a main window on a temporary
// program folder with the shipped language files, a recording library,
// manual timers and recorded message boxes (`MainWindowTest`), and the same
// window with the real library connected to a virtual processor on this test
// process's own loopback subnet and read back, as `--connect` does
// (`ConnectedWindowTest`).
#include <gtest/gtest.h>

#include <QString>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "CDropList.h"
#include "FakeCommLibrary.h"
#include "MessageBox.h"
#include "OrvComm.h"
#include "OrvDlg.h"
#include "RequestLog.h"
#include "VirtualProcessor.h"
#include "oRealEdit.h"


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

// Without StartProcessor this is a MainWindowTest; its tear-down stops what
// StartProcessor started.
class ConnectedWindowTest : public MainWindowTest {
 protected:
  void TearDown() override;

  // A processor at `ip` that is not discoverable and reports nothing by itself.
  static sim::ProcessorConfig ProcessorAt(const std::string& ip);
  // Starts the processor, then the real library and the window. Nothing is
  // sent yet: the processor's model can be prepared before connecting.
  void StartProcessor(const sim::ProcessorConfig& config);
  // The processor at `ip`, with a pty too when `serialPty`.
  void StartProcessor(const std::string& ip, bool serialPty = false);
  // The same on host `host` of the subnet, the window sized 1600 x 1000.
  void StartProcessor(int host, bool serialPty = false);
  // Connects as `--connect` does and reads the processor back: waits until
  // the wait box is down and `done` (when given) holds.
  void ConnectUntil(const std::function<bool()>& done = {});
  // ConnectUntil, and no message box came up.
  void ConnectAndReadBack();
  // StartProcessor, `prepare` on the model, ConnectUntil, then a quiet link
  // and an empty request log: each page test reads only its own requests.
  void Connect(const std::string& ip, const std::function<void(sim::DeviceModel&)>& prepare);

  // Until neither the request log nor the delivered replies moved for 300 ms
  // (10 s at most).
  void AwaitQuiet();
  // How many commands of `type` the processor has received, and which.
  std::size_t Sent(int type) const;
  std::vector<sim::ReceivedRequest> Received(uint16_t type) const;
  // Waits for the `n`th request (1-based) and returns it.
  sim::ReceivedRequest Request(std::size_t n);
  // The first `count` payload bytes of the `n`th request.
  std::vector<uint8_t> Head(std::size_t n, std::size_t count);
  ParamBlock Image() { return processor_->Image(); }

  // Opens a drop list with the mouse and clicks entry `index`.
  void Choose(CDropButton* drop, int index);
  // Types `text` over an edit's content and commits it with Enter.
  void Type(oRealEdit* edit, const QString& text);

  std::string ip_;
  std::unique_ptr<sim::VirtualProcessor> processor_;
  std::unique_ptr<OrvComm> comm_;
};

}  // namespace orv::test
