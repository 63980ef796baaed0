#include "ShutdownSignals.h"

#include <fcntl.h>
#include <unistd.h>

#include <QSocketNotifier>

#include <atomic>
#include <cerrno>
#include <iterator>

namespace orv {
namespace {

// The handler's only state: where to write. One instance at a time owns it.
std::atomic<int> gWriteFd{-1};

void OnSignal(int signal) {
  const int saved = errno;
  const int fd = gWriteFd.load();
  if (fd >= 0) {
    const unsigned char number = static_cast<unsigned char>(signal);
    // A full pipe already holds a request to end; one more changes nothing.
    [[maybe_unused]] const ssize_t written = write(fd, &number, 1);
  }
  errno = saved;
}

}  // namespace

ShutdownSignals::ShutdownSignals(std::function<void(int)> onSignal, QObject* parent)
    : QObject(parent), onSignal_(std::move(onSignal)) {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) return;
  readFd_ = fds[0];
  writeFd_ = fds[1];
  int expected = -1;
  if (!gWriteFd.compare_exchange_strong(expected, writeFd_)) return;  // another instance owns it
  notifier_ = new QSocketNotifier(readFd_, QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, [this] { ReadPipe(); });
  struct sigaction action = {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  installed_ = true;
  for (std::size_t i = 0; i < std::size(kSignals); ++i) {
    if (sigaction(kSignals[i], &action, &previous_[i]) != 0) installed_ = false;
  }
}

ShutdownSignals::~ShutdownSignals() {
  if (gWriteFd.load() == writeFd_ && writeFd_ >= 0) {
    for (std::size_t i = 0; i < std::size(kSignals); ++i) {
      sigaction(kSignals[i], &previous_[i], nullptr);
    }
    gWriteFd.store(-1);
  }
  delete notifier_;
  if (readFd_ >= 0) close(readFd_);
  if (writeFd_ >= 0) close(writeFd_);
}

void ShutdownSignals::ReadPipe() {
  unsigned char number = 0;
  while (read(readFd_, &number, 1) == 1) {
    if (onSignal_) onSignal_(number);
  }
}

}  // namespace orv
