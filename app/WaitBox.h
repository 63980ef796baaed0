#pragma once
// The wait box of the main window: shows the box with its text while the
// device works and hides it when the answer has come. It is never a trap:
// the operator cannot close it by hand (that would leave the window
// disabled), and when no answer has hidden it within the time-out it hides
// itself and reports that the device did not answer.
#include <functional>
#include <memory>

#include <QObject>
#include <QString>

#include "Timers.h"

class QWidget;

namespace orv {

class Orv_PrograssDlg;

class WaitBox : public QObject, private TimerClient {
  Q_OBJECT
 public:
  static constexpr uint32_t kTimeoutTimerId = 43681;
  static constexpr int kDefaultTimeoutMs = 15000;

  // `owner` is the window the box is centred on. `setBusy` disables (true)
  // or enables (false) the owner's controls; `timedOut` runs after the box
  // hid itself for lack of an answer.
  WaitBox(QWidget* owner, std::function<void(bool busy)> setBusy, std::function<void()> timedOut);
  ~WaitBox() override;

  // Sets the text and shows the box if hidden; (re)starts the time-out.
  void Show(const QString& text);
  // Hides the box if shown; no effect otherwise.
  void Hide();
  bool Shown() const { return shown_; }
  QString Text() const;
  void SetTimeoutMs(int ms) { timeoutMs_ = ms; }
  int TimeoutMs() const { return timeoutMs_; }
  Orv_PrograssDlg* Box() const { return box_.get(); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void OnTimer(uint32_t id) override;
  void Centre();
  void KeepModalBoxOnTop();

  QWidget* owner_;
  std::function<void(bool)> setBusy_;
  std::function<void()> timedOut_;
  std::unique_ptr<Orv_PrograssDlg> box_;
  bool shown_ = false;
  int timeoutMs_ = kDefaultTimeoutMs;
};

}  // namespace orv
