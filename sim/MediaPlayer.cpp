// The built-in players of the U-disk inputs: MEDIA carries a key and the disk
// it is meant for.
#include "DeviceModel.h"

namespace orv::sim {

// A key 1..7 for disk 0 or 1 is logged and acknowledged; anything else is
// refused (status 1) and not logged.
void DeviceModel::Media(const Command& c, Frames& out) {
  const uint8_t key = c.b[0];
  const uint8_t disk = c.b[1];
  if (key < 1 || key > 7 || disk > 1) {
    Ack(c.type, 1, out);
    return;
  }
  mediaKeys_.push_back({key, disk});
  Ack(c.type, 0, out);
}

}  // namespace orv::sim
