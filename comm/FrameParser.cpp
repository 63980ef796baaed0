#include "FrameParser.h"

#include "Crc.h"

namespace orv::wire {

void FrameParser::Skip(std::size_t count) {
  start_ += count;
  stats_.garbageBytes += count;
}

void FrameParser::Compact() {
  if (start_ == buffer_.size()) {
    buffer_.clear();
    start_ = 0;
  } else if (start_ > 0 && start_ >= buffer_.size() / 2) {
    buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(start_));
    start_ = 0;
  }
}

void FrameParser::Feed(std::span<const uint8_t> bytes, const Handler& onFrame) {
  stats_.bytesIn += bytes.size();
  buffer_.insert(buffer_.end(), bytes.begin(), bytes.end());
  Parse(onFrame);
}

std::size_t FrameParser::Missing() const {
  const std::size_t available = buffer_.size() - start_;
  if (available == 0) return 0;
  if (available < kHeaderSize) return kHeaderSize - available;
  // Parse() leaves a complete header in front only when it passed its checks.
  const std::size_t need = kFrameOverhead + GetU16(buffer_.data() + start_ + 7);
  return need > available ? need - available : 0;
}

void FrameParser::DropStalled(const Handler& onFrame) {
  if (Buffered() == 0) return;
  ++stats_.stalled;
  Skip(1);
  Parse(onFrame);
}

void FrameParser::Parse(const Handler& onFrame) {
  stopped_ = false;
  while (!stopped_) {
    // Find the next sync pair; a lone first sync byte at the end is kept.
    std::size_t p = start_;
    const std::size_t end = buffer_.size();
    while (p < end && !(buffer_[p] == kSync0 && (p + 1 == end || buffer_[p + 1] == kSync1))) ++p;
    if (p > start_) Skip(p - start_);
    const std::size_t available = end - start_;
    if (available < kHeaderSize) break;

    const uint8_t* h = buffer_.data() + start_;
    if (Crc8(std::span(h + 2, 7)) != h[9]) {
      ++stats_.badHeader;
      Skip(1);
      continue;
    }
    if (h[2] != kProtocolVersion) {
      ++stats_.badVersion;
      Skip(1);
      continue;
    }
    if (!ValidFrameKind(h[4])) {
      ++stats_.badKind;
      Skip(1);
      continue;
    }
    const std::size_t length = GetU16(h + 7);
    if (length > kMaxPayload) {
      ++stats_.oversize;
      Skip(1);
      continue;
    }
    const std::size_t need = kFrameOverhead + length;
    if (available < need) break;
    const uint16_t crc = Crc16(std::span(h + 2, kHeaderSize - 2 + length));
    if (crc != GetU16(h + kHeaderSize + length)) {
      ++stats_.badCrc;
      Skip(1);
      continue;
    }
    FrameView frame;
    frame.version = h[2];
    frame.address = h[3];
    frame.kind = static_cast<FrameKind>(h[4]);
    frame.type = GetU16(h + 5);
    frame.payload = std::span(h + kHeaderSize, length);
    ++stats_.frames;
    // Consume before the callback: it may feed or reset this parser again.
    start_ += need;
    onFrame(frame);
  }
  Compact();
}

void FrameParser::Reset() {
  stats_.truncated += buffer_.size() - start_;
  buffer_.clear();
  start_ = 0;
}

}  // namespace orv::wire
