#pragma once
// The upload of a caption picture to the device in acknowledged chunks
// through library function 14. A chunk holds whole picture rows, top to
// bottom, at most 1344 bytes; the next chunk goes out only after the device
// acknowledged the one in flight (event kind 7 naming its byte offset). A
// chunk whose acknowledge does not come is sent again unchanged, at most
// three times per upload; then the upload is abandoned.
//
// The object keeps the order of these steps only; the caller owns the
// acknowledge timer and calls TimedOut() when it expires. The rows are read
// from their source one chunk at a time, so the picture is never held whole.
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace orv {

inline constexpr int kCaptionChunkCapacity = 1344;
inline constexpr int kCaptionMaxWidth = 3840;
inline constexpr int kCaptionMaxHeight = 128;
inline constexpr int kCaptionResendLimit = 3;

// Bytes of one picture row of `width` one-bit pixels, padded to 4 bytes.
constexpr int CaptionStride(int width) {
  return (width + 31) / 32 * 4;
}
// Whole rows that fit one chunk, at most `height`; 0 when not even one row fits.
int CaptionRowsPerChunk(int width, int height);
// How many chunks a picture takes; 0 when it cannot be sent.
int CaptionChunkCount(int width, int height);

// Where the rows of a picture come from.
class CaptionRows {
 public:
  virtual ~CaptionRows() = default;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  // Row n (1 = the top row) into `out` (CaptionStride(Width()) bytes).
  virtual bool ReadRow(int n, std::span<uint8_t> out) = 0;
};

class CaptionUpload {
 public:
  enum class Step {
    Sent,       // a chunk is in flight (first send or resend)
    Ignored,    // nothing changed: an acknowledge for another chunk, or nothing running
    Complete,   // every row is acknowledged; the source is released
    Abandoned,  // no acknowledge after the resends; the source is released
    Failed,     // the rows cannot be read or do not fit a chunk; the source is released
  };

  // Takes the rows and sends the first chunk; `swap` inverts every byte sent.
  Step Begin(std::unique_ptr<CaptionRows> rows, bool swap);
  // The device took the chunk at byte `position`.
  Step Acknowledged(uint32_t position);
  // The acknowledge time ran out: resend the chunk in flight, or give up.
  Step TimedOut();
  // Drops the upload (the source is released).
  void Cancel();

  bool Running() const { return rows_ != nullptr; }
  bool Waiting() const { return waiting_; }
  int ChunkCount() const { return chunkCount_; }
  int ChunksAcknowledged() const { return chunksAcknowledged_; }
  int Resends() const { return resends_; }
  uint32_t InFlightOffset() const { return inFlightOffset_; }

 private:
  Step SendNextChunk();
  void Transmit();
  void Release();

  std::unique_ptr<CaptionRows> rows_;
  bool swap_ = false;
  int stride_ = 0;
  int rowsPerChunk_ = 0;
  int chunkCount_ = 0;
  int nextRow_ = 1;
  uint32_t nextOffset_ = 0;
  std::vector<uint8_t> inFlight_;
  uint32_t inFlightOffset_ = 0;
  bool waiting_ = false;
  int resends_ = 0;
  int chunksAcknowledged_ = 0;
};

}  // namespace orv
