#pragma once
// Watches the serial port list: polls it once a second and reports a port
// that appeared (arrival) or disappeared (removal), as the system's device
// change notifications would. The main window owns one and forwards the
// reports to the connection page. GUI thread only.
#include <functional>
#include <vector>

#include "SerialPorts.h"
#include "Timers.h"

namespace orv {

class SerialPortWatcher : public TimerClient {
 public:
  static constexpr int kPollMs = 1000;
  static constexpr uint32_t kPollTimer = 1;

  using ChangeHandler = std::function<void(bool arrival)>;
  using Enumerator = std::function<std::vector<SerialPortEntry>()>;

  // Takes the current list and starts polling. Without an enumerator the
  // system's port list is read.
  explicit SerialPortWatcher(ChangeHandler onChange, Enumerator enumerate = {});

  // Compares the list with the last one now. A poll that finds ports both
  // gone and new reports the removal first, then the arrival.
  void Poll();
  const std::vector<SerialPortEntry>& Ports() const { return ports_; }

 protected:
  void OnTimer(uint32_t id) override;

 private:
  std::vector<SerialPortEntry> Read() const;

  ChangeHandler onChange_;
  Enumerator enumerate_;
  std::vector<SerialPortEntry> ports_;
};

}  // namespace orv
