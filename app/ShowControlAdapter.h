#pragma once
// The panel's side of show control: the server's target. Requests arrive on
// the server's thread and are carried out on the user-interface thread
// through the operations the operator's clicks use (the control strip's
// buttons, the input refresh, the canvas placement, the preset sequences),
// so the panel and a remote surface never disagree. The state clients see is
// read from the device state record; a poll on the user-interface thread
// publishes it whenever it changed, from whichever side.
#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>

#include <QObject>
#include <QTimer>

#include "ControlServer.h"
#include "WriteEvents.h"

namespace orv {

class OrvDlg;

class ShowControlAdapter : public QObject, public remote::ShowControlTarget {
 public:
  static constexpr int kPollMs = 100;

  // The server of [Remote] in the settings file, listening; null when it is
  // switched off, a setting cannot be used or it cannot listen (the reason
  // goes to stderr).
  static std::unique_ptr<ShowControlAdapter> StartFromSettings(OrvDlg& window,
                                                               const std::string& settingsPath);

  ShowControlAdapter(OrvDlg& window, remote::ServerOptions options);
  ~ShowControlAdapter() override;

  bool Listen(std::string* error);
  uint16_t Port() const { return server_->Port(); }
  const remote::ControlServer& Server() const { return *server_; }

  // The state as the panel knows it now (user-interface thread).
  remote::ShowState Snapshot() const;

  // ShowControlTarget (server thread): queued to the user-interface thread.
  void Execute(const remote::ShowRequest& request,
               std::function<void(remote::ActionResult)> done) override;

 private:
  remote::ActionResult Act(const remote::ShowRequest& request);
  remote::ActionResult UndoStep(bool redo);
  std::optional<remote::ActionResult> InputSwitch(int layer, int input);
  std::optional<remote::ActionResult> LayerWindow(const remote::ShowRequest& r);
  std::optional<remote::ActionResult> LayerOnOff(int layer, bool on);
  std::optional<remote::ActionResult> Take();
  std::optional<remote::ActionResult> PresetLoad(int number);
  std::optional<remote::ActionResult> Freeze(bool on);
  std::optional<remote::ActionResult> TestPattern(bool on, int pattern);
  void PublishIfChanged();
  // Refused, disagreeing or unanswered writes go to the client whose request
  // sent them (found by the serials sent while it ran) and to subscribers.
  void ReportWriteOutcome(const WriteOutcome& outcome);

  // The serials of the commands one request sent.
  struct SentBy {
    uint64_t first = 0;
    uint64_t last = 0;
    uint64_t client = 0;
    remote::Json id;
  };
  static constexpr std::size_t kRememberedRequests = 64;

  OrvDlg& window_;
  std::unique_ptr<remote::ControlServer> server_;
  QTimer poll_;
  std::optional<remote::ShowState> published_;
  std::atomic<uint64_t> lastSerial_{0};
  std::deque<SentBy> sentBy_;  // user-interface thread
  int sendObserver_ = 0;
  int outcomeObserver_ = 0;
};

}  // namespace orv
