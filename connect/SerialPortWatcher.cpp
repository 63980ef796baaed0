#include "SerialPortWatcher.h"

#include <algorithm>
#include <utility>

namespace orv {

namespace {

bool Contains(const std::vector<SerialPortEntry>& list, const SerialPortEntry& entry) {
  return std::any_of(list.begin(), list.end(), [&](const SerialPortEntry& e) {
    return e.number == entry.number && e.name == entry.name;
  });
}

// Whether `b` holds a port that `a` does not.
bool HasNew(const std::vector<SerialPortEntry>& a, const std::vector<SerialPortEntry>& b) {
  return std::any_of(b.begin(), b.end(), [&](const SerialPortEntry& e) { return !Contains(a, e); });
}

}  // namespace

SerialPortWatcher::SerialPortWatcher(ChangeHandler onChange, Enumerator enumerate)
    : onChange_(std::move(onChange)), enumerate_(std::move(enumerate)) {
  ports_ = Read();
  SetTimer(kPollTimer, kPollMs);
}

std::vector<SerialPortEntry> SerialPortWatcher::Read() const {
  if (enumerate_) return enumerate_();
  std::vector<SerialPortEntry> list;
  EnumerateSerialPorts(list);
  return list;
}

void SerialPortWatcher::Poll() {
  std::vector<SerialPortEntry> now = Read();
  const bool removed = HasNew(now, ports_);
  const bool arrived = HasNew(ports_, now);
  ports_ = std::move(now);
  if (!onChange_) return;
  if (removed) onChange_(false);
  if (arrived) onChange_(true);
}

void SerialPortWatcher::OnTimer(uint32_t id) {
  if (id == kPollTimer) Poll();
}

}  // namespace orv
