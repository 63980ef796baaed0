#pragma once
// The processor's captions: the four caption records it reports as data type
// 25, the picture upload that arrives in bulk chunks, and the pictures it
// lays over its output. CAPTION_A announces, completes and places a caption;
// CAPTION_B sets its motion, on/off, colours and outputs, saves it and resets
// all four. Each chunk is taken only as whole rows of the announced picture,
// at most 1344 bytes, and acknowledged with event kind 7; once every row is
// in, the picture becomes the caption's picture.
//
// Control lines make the acknowledges misbehave (dropped, late, naming
// another position) and the announce refused, so the host's resend and
// time-out paths can be driven.
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace orv::sim {

using CaptionRecord = std::array<uint8_t, 32>;

// A caption picture as the processor holds it: one bit per pixel, rows top
// to bottom, each padded to 4 bytes, 1 = text.
struct CaptionPicture {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rows;
  bool Bit(int x, int y) const;
};

// What the composed preview needs of one caption.
struct CaptionView {
  CaptionRecord record{};
  std::shared_ptr<const CaptionPicture> picture;
};

// The picture being received.
struct CaptionIntake {
  bool active = false;
  int caption = 0;
  uint16_t width = 0, height = 0;
  std::vector<uint8_t> bytes;  // stride x height
  std::vector<bool> rowIn;     // which rows arrived
  std::size_t received = 0;    // end of the furthest chunk taken
};

// How the acknowledges misbehave (control line "caption").
struct CaptionFaults {
  int drop = 0;        // the next n acknowledges are not sent
  int misaddress = 0;  // the next n name the position plus one
  int delayMs = 0;     // every acknowledge is sent this late
  bool refuseAnnounce = false;
};

struct CaptionCounters {
  uint64_t chunksTaken = 0;
  uint64_t chunksRefused = 0;
  uint64_t acksDropped = 0;
  uint64_t acksMisaddressed = 0;
  uint64_t acksDelayed = 0;
  uint64_t picturesApplied = 0;
};

// The processor's answer to a caption command or chunk.
struct CaptionAnswer {
  std::optional<uint8_t> ackStatus;             // an ACK (23) with this status
  std::optional<std::array<uint8_t, 8>> event;  // a device event (24)
  int delayMs = 0;                              // the event is sent this late
};

class CaptionPeer {
 public:
  CaptionPeer() { Reset(); }
  // Factory state: four default records, no pictures, nothing being received.
  void Reset();

  CaptionAnswer CaptionA(std::span<const uint8_t, 32> b);
  CaptionAnswer CaptionB(std::span<const uint8_t, 32> b);
  // A bulk chunk: `position`, and its bytes; nullopt answer = dropped.
  std::optional<CaptionAnswer> Chunk(uint32_t position, std::span<const uint8_t> bytes);

  const CaptionRecord& Record(int caption) const { return records_[caption]; }
  const std::array<CaptionRecord, 4>& Records() const { return records_; }
  const CaptionIntake& Intake() const { return intake_; }
  std::shared_ptr<const CaptionPicture> Picture(int caption) const { return pictures_[caption]; }
  std::array<CaptionView, 4> Views() const;
  const CaptionCounters& Counters() const { return counters_; }

  CaptionFaults faults;

 private:
  void ApplyPicture();

  std::array<CaptionRecord, 4> records_{};
  std::array<std::shared_ptr<const CaptionPicture>, 4> pictures_{};
  CaptionIntake intake_;
  CaptionCounters counters_;
};

}  // namespace orv::sim
