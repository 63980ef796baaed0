#pragma once
// The machines the network search found, in the order their identity
// replies arrived, with their tiles on the search window, their liveness
// timer numbers and their connection and selection marks. GUI thread only.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <QPoint>
#include <QRect>

#include "MachineNames.h"

namespace orv {

struct Machine {
  uint8_t online = 0;     // answers (from REPLY_KIND of its last reply)
  uint8_t online2 = 0;    // copy of online, set together with it
  uint8_t connected = 0;  // the machine the system works with (at most one)
  uint8_t selected = 0;   // chosen by a click (at most one)
  std::string name;
  std::string ip;
  QRect tile;  // 200 x 80 on the search window
  MacAddress mac{};
  int32_t timerId = 0;  // its liveness timer
  int32_t misses = 0;   // liveness periods without an answer
};

// The device address byte of a machine: the last number of its IPv4 text;
// 0 when the text is not four decimal numbers 0..255.
uint8_t MachineAddress(std::string_view ip);

class MachineList {
 public:
  static constexpr int kTileWidth = 200;
  static constexpr int kTileHeight = 80;
  static constexpr int kTileGap = 10;
  static constexpr int kTilesPerRow = 4;  // in a window wide enough for four
  static constexpr int kFirstTileLeft = 10;
  static constexpr int kFirstTileTop = 80;
  static constexpr int32_t kFirstLivenessTimer = 2735;

  // Appends a machine for an identity reply and returns its index; -1 when a
  // machine with that IPv4 text is listed already. Without a stored name it is
  // called "Q20-n", n counting the machines including this one.
  int Add(const std::string& ip, const MacAddress& mac, const std::string& storedName);
  void Clear() { machines_.clear(); }

  int Size() const { return static_cast<int>(machines_.size()); }
  bool Empty() const { return machines_.empty(); }
  bool Valid(int index) const { return index >= 0 && index < Size(); }
  Machine& At(int index) { return machines_.at(static_cast<std::size_t>(index)); }
  const Machine& At(int index) const { return machines_.at(static_cast<std::size_t>(index)); }
  const std::vector<Machine>& Machines() const { return machines_; }

  // Index of the machine, or -1.
  int FindIp(std::string_view ip) const;
  int FindTimer(uint32_t timerId) const;
  int TileAt(const QPoint& point) const;
  int Connected() const;
  int Selected() const;

  // Marks one machine and clears the mark on every other one (-1: none).
  void ConnectOnly(int index);
  void SelectOnly(int index);

  // One device address per machine, in list order (0 for non-IPv4 text).
  std::vector<uint8_t> Addresses() const;

  // The tile of machine n (0-based): the first at `origin`; each next one to
  // the right of the last, 10 pixels apart, except that every `perRow`-th
  // starts a new row at the first tile's left, 10 pixels below the last one.
  static QRect TileFor(int n, int perRow, const QPoint& origin);
  // Places every tile again for a window that holds `perRow` tiles a row.
  void Layout(int perRow, const QPoint& origin);
  int TilesPerRow() const { return perRow_; }
  QPoint Origin() const { return origin_; }
  // The bottom edge of the last tile (the origin's y when the list is empty).
  int Bottom() const;

 private:
  std::vector<Machine> machines_;
  int perRow_ = kTilesPerRow;
  QPoint origin_{kFirstTileLeft, kFirstTileTop};
};

}  // namespace orv
