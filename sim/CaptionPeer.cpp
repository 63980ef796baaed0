#include "CaptionPeer.h"

#include <algorithm>

#include "CaptionUpload.h"
#include "WireFormat.h"

namespace orv::sim {

namespace {

std::array<uint8_t, 8> EventBytes(uint8_t kind, std::initializer_list<uint8_t> rest) {
  std::array<uint8_t, 8> e{kind};
  std::copy_n(rest.begin(), std::min<std::size_t>(rest.size(), 7), e.begin() + 1);
  return e;
}

CaptionAnswer Ack(uint8_t status) {
  CaptionAnswer a;
  a.ackStatus = status;
  return a;
}

CaptionAnswer Event(std::array<uint8_t, 8> bytes) {
  CaptionAnswer a;
  a.event = bytes;
  return a;
}

uint16_t U16(std::span<const uint8_t, 32> b, int at) {
  return static_cast<uint16_t>(b[at] | (b[at + 1] << 8));
}

}  // namespace

bool CaptionPicture::Bit(int x, int y) const {
  if (x < 0 || y < 0 || x >= width || y >= height) return false;
  const auto at = static_cast<std::size_t>(y * CaptionStride(width) + x / 8);
  return (rows[at] >> (7 - x % 8)) & 1;
}

void CaptionPeer::Reset() {
  for (int c = 0; c < 4; ++c) {
    auto& r = records_[c];
    r = {};
    wire::PutU16(&r[0], 600);
    wire::PutU16(&r[2], 60);
    wire::PutU16(&r[8], 1920);
    r[14] = static_cast<uint8_t>(c);
    wire::PutU32(&r[16], 0x0000FF);
    r[24] = 1;
    r[25] = 1;
    r[28] = static_cast<uint8_t>(c);
    pictures_[c].reset();
  }
  intake_ = {};
}

// [1] 0 announces an upload (event kind 12: [1] 0 go ahead, 1 refused),
// 1 completes it (size, place, on), 2 places the caption.
CaptionAnswer CaptionPeer::CaptionA(std::span<const uint8_t, 32> b) {
  const int n = b[0];
  if (n >= 4) return Ack(1);
  auto& r = records_[n];
  switch (b[1]) {
    case 0: {
      const uint16_t w = U16(b, 2), h = U16(b, 4);
      const bool ok = !faults.refuseAnnounce && w >= 1 && w <= kCaptionMaxWidth && h >= 1 &&
                      h <= kCaptionMaxHeight;
      intake_ = {};
      if (ok) {
        intake_.active = true;
        intake_.caption = n;
        intake_.width = w;
        intake_.height = h;
        intake_.bytes.assign(static_cast<std::size_t>(CaptionStride(w)) * h, 0);
        intake_.rowIn.assign(h, false);
      }
      return Event(EventBytes(12, {static_cast<uint8_t>(ok ? 0 : 1)}));
    }
    case 1:
      wire::PutU16(&r[0], U16(b, 2));
      wire::PutU16(&r[2], U16(b, 4));
      wire::PutU16(&r[4], U16(b, 6));
      wire::PutU16(&r[6], U16(b, 8));
      r[12] = 1;
      intake_.active = false;
      return Ack(0);
    case 2:
      wire::PutU16(&r[4], U16(b, 2));
      wire::PutU16(&r[6], U16(b, 4));
      wire::PutU16(&r[8], U16(b, 6));
      return Ack(0);
    default:
      return Ack(1);
  }
}

// [1] 0 speed and direction, 1 save (event kind 8), 2 on/off, 3 colours and
// background, 4 outputs, 5 reset all (event kind 10, [0] is 0x55).
CaptionAnswer CaptionPeer::CaptionB(std::span<const uint8_t, 32> b) {
  if (b[1] == 5) {
    Reset();
    return Event(EventBytes(10, {}));
  }
  const int n = b[0];
  if (n >= 4) return Ack(1);
  auto& r = records_[n];
  switch (b[1]) {
    case 0:
      if (b[2] > 3 || b[3] > 1) return Ack(1);
      r[10] = b[2];
      r[11] = b[3];
      return Ack(0);
    case 1:
      return Event(EventBytes(8, {static_cast<uint8_t>(n)}));
    case 2:
      r[12] = b[2] ? 1 : 0;
      return Ack(0);
    case 3:
      if (b[9] > 2) return Ack(1);
      wire::PutU32(&r[16], b[2] | (b[3] << 8) | (b[4] << 16));
      wire::PutU32(&r[20], b[6] | (b[7] << 8) | (b[8] << 16));
      r[13] = b[9];
      return Ack(0);
    case 4:
      for (int k = 0; k < 4; ++k) r[24 + k] = b[2 + k] ? 1 : 0;
      return Ack(0);
    default:
      return Ack(1);
  }
}

// Taken: whole rows of the announced picture, at most 1344 bytes, inside it.
// The acknowledge (event kind 7: [1-2] length, [3] 1 taken / 0 refused,
// [4-7] position) then meets the faults the control lines asked for.
std::optional<CaptionAnswer> CaptionPeer::Chunk(uint32_t position, std::span<const uint8_t> bytes) {
  const std::size_t length = bytes.size();
  const auto stride = static_cast<std::size_t>(CaptionStride(intake_.width));
  const bool taken = intake_.active && length > 0 && length <= kCaptionChunkCapacity &&
                     position % stride == 0 && length % stride == 0 &&
                     position <= intake_.bytes.size() && length <= intake_.bytes.size() - position;
  if (taken) {
    std::copy(bytes.begin(), bytes.end(), intake_.bytes.begin() + position);
    intake_.received = std::max<std::size_t>(intake_.received, position + length);
    std::fill_n(intake_.rowIn.begin() + static_cast<std::ptrdiff_t>(position / stride),
                length / stride, true);
    ++counters_.chunksTaken;
    if (std::all_of(intake_.rowIn.begin(), intake_.rowIn.end(), [](bool in) { return in; })) {
      ApplyPicture();
    }
  } else {
    ++counters_.chunksRefused;
  }
  if (faults.drop > 0) {
    --faults.drop;
    ++counters_.acksDropped;
    return std::nullopt;
  }
  uint32_t named = position;
  if (faults.misaddress > 0) {
    --faults.misaddress;
    ++counters_.acksMisaddressed;
    named = position + 1;
  }
  auto answer =
      Event(EventBytes(7, {static_cast<uint8_t>(length), static_cast<uint8_t>(length >> 8),
                           static_cast<uint8_t>(taken ? 1 : 0)}));
  wire::PutU32(answer.event->data() + 4, named);
  if (faults.delayMs > 0) {
    answer.delayMs = faults.delayMs;
    ++counters_.acksDelayed;
  }
  return answer;
}

// The last row is in: the picture becomes the caption's, its size the record's.
void CaptionPeer::ApplyPicture() {
  auto picture = std::make_shared<CaptionPicture>();
  picture->width = intake_.width;
  picture->height = intake_.height;
  picture->rows = intake_.bytes;
  pictures_[intake_.caption] = std::move(picture);
  auto& r = records_[intake_.caption];
  wire::PutU16(&r[0], intake_.width);
  wire::PutU16(&r[2], intake_.height);
  ++counters_.picturesApplied;
}

std::array<CaptionView, 4> CaptionPeer::Views() const {
  std::array<CaptionView, 4> views;
  for (int c = 0; c < 4; ++c) views[c] = {records_[c], pictures_[c]};
  return views;
}

}  // namespace orv::sim
