#include "MachineList.h"

#include <algorithm>

#include "Ipv4.h"

namespace orv {

uint8_t MachineAddress(std::string_view ip) {
  const auto parts = ParseIpv4(ip);
  return parts ? (*parts)[3] : 0;
}

QRect MachineList::TileFor(int n, int perRow, const QPoint& origin) {
  perRow = std::max(perRow, 1);
  const int column = n % perRow;
  const int row = n / perRow;
  return QRect(origin.x() + column * (kTileWidth + kTileGap),
               origin.y() + row * (kTileHeight + kTileGap), kTileWidth, kTileHeight);
}

void MachineList::Layout(int perRow, const QPoint& origin) {
  perRow_ = std::max(perRow, 1);
  origin_ = origin;
  for (int i = 0; i < Size(); ++i) machines_[i].tile = TileFor(i, perRow_, origin_);
}

int MachineList::Bottom() const {
  return machines_.empty() ? origin_.y() : machines_.back().tile.bottom() + 1;
}

int MachineList::Add(const std::string& ip, const MacAddress& mac, const std::string& storedName) {
  if (FindIp(ip) >= 0) return -1;
  Machine m;
  m.ip = ip;
  m.mac = mac;
  const int n = Size();
  m.tile = TileFor(n, perRow_, origin_);
  m.name = storedName.empty() ? "Q20-" + std::to_string(n + 1) : storedName;
  m.timerId = n > 0 ? machines_.back().timerId + 1 : kFirstLivenessTimer;
  machines_.push_back(std::move(m));
  return n;
}

int MachineList::FindIp(std::string_view ip) const {
  for (int i = 0; i < Size(); ++i) {
    if (machines_[i].ip == ip) return i;
  }
  return -1;
}

int MachineList::FindTimer(uint32_t timerId) const {
  for (int i = 0; i < Size(); ++i) {
    if (static_cast<uint32_t>(machines_[i].timerId) == timerId) return i;
  }
  return -1;
}

int MachineList::TileAt(const QPoint& point) const {
  for (int i = 0; i < Size(); ++i) {
    if (machines_[i].tile.contains(point)) return i;
  }
  return -1;
}

int MachineList::Connected() const {
  for (int i = 0; i < Size(); ++i) {
    if (machines_[i].connected) return i;
  }
  return -1;
}

int MachineList::Selected() const {
  for (int i = 0; i < Size(); ++i) {
    if (machines_[i].selected) return i;
  }
  return -1;
}

void MachineList::ConnectOnly(int index) {
  for (int i = 0; i < Size(); ++i) machines_[i].connected = i == index ? 1 : 0;
}

void MachineList::SelectOnly(int index) {
  for (int i = 0; i < Size(); ++i) machines_[i].selected = i == index ? 1 : 0;
}

std::vector<uint8_t> MachineList::Addresses() const {
  std::vector<uint8_t> out;
  out.reserve(machines_.size());
  for (const Machine& m : machines_) out.push_back(MachineAddress(m.ip));
  return out;
}

}  // namespace orv
