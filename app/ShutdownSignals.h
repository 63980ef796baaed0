#pragma once
// Turns the requests to end the process from outside (SIGTERM from kill or a
// service manager, SIGINT from a terminal, SIGHUP when the terminal or the
// session goes) into one call on the user-interface thread. The signal
// handler only writes the signal number into a pipe; a socket notifier reads
// it in the event loop, where the panel can close as its close button does.
#include <QObject>

#include <csignal>
#include <functional>

class QSocketNotifier;

namespace orv {

class ShutdownSignals : public QObject {
  Q_OBJECT
 public:
  // `onSignal` runs on this object's thread with the signal's number, once
  // per signal received (a logout sends SIGTERM and SIGHUP back to back; the
  // receiver closes once). Replaces the handlers of the three signals until
  // destruction, which puts the previous ones back.
  explicit ShutdownSignals(std::function<void(int signal)> onSignal, QObject* parent = nullptr);
  ~ShutdownSignals() override;
  ShutdownSignals(const ShutdownSignals&) = delete;
  ShutdownSignals& operator=(const ShutdownSignals&) = delete;

  // False when the pipe or a handler could not be set up (the signals then
  // keep their previous effect).
  bool installed() const { return installed_; }

  static constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

 private:
  void ReadPipe();

  std::function<void(int)> onSignal_;
  int readFd_ = -1;
  int writeFd_ = -1;
  QSocketNotifier* notifier_ = nullptr;
  struct sigaction previous_[std::size(kSignals)] = {};
  bool installed_ = false;
};

}  // namespace orv
