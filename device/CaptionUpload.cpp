#include "CaptionUpload.h"

#include <algorithm>

#include "CommandEncoder.h"
#include "DeviceState.h"

namespace orv {

int CaptionRowsPerChunk(int width, int height) {
  if (width <= 0 || height <= 0) return 0;
  return std::min(kCaptionChunkCapacity / CaptionStride(width), height);
}

int CaptionChunkCount(int width, int height) {
  const int rows = CaptionRowsPerChunk(width, height);
  return rows > 0 ? (height + rows - 1) / rows : 0;
}

CaptionUpload::Step CaptionUpload::Begin(std::unique_ptr<CaptionRows> rows, bool swap) {
  Release();
  if (!rows) return Step::Failed;
  rows_ = std::move(rows);
  swap_ = swap;
  stride_ = CaptionStride(rows_->Width());
  rowsPerChunk_ = CaptionRowsPerChunk(rows_->Width(), rows_->Height());
  chunkCount_ = CaptionChunkCount(rows_->Width(), rows_->Height());
  nextRow_ = 1;
  nextOffset_ = 0;
  resends_ = 0;
  chunksAcknowledged_ = 0;
  // A row wider than a chunk would make every chunk empty and the upload endless.
  if (rowsPerChunk_ <= 0) {
    Release();
    return Step::Failed;
  }
  return SendNextChunk();
}

CaptionUpload::Step CaptionUpload::Acknowledged(uint32_t position) {
  if (!Running() || !waiting_ || position != inFlightOffset_) return Step::Ignored;
  waiting_ = false;
  ++chunksAcknowledged_;
  if (nextRow_ > rows_->Height()) {
    Release();
    return Step::Complete;
  }
  return SendNextChunk();
}

CaptionUpload::Step CaptionUpload::TimedOut() {
  if (!Running() || !waiting_) return Step::Ignored;
  if (resends_ >= kCaptionResendLimit) {
    Release();
    return Step::Abandoned;
  }
  ++resends_;
  Transmit();
  return Step::Sent;
}

void CaptionUpload::Cancel() {
  Release();
}

CaptionUpload::Step CaptionUpload::SendNextChunk() {
  const int height = rows_->Height();
  const int take = std::min(rowsPerChunk_, height - nextRow_ + 1);
  std::vector<uint8_t> chunk(static_cast<std::size_t>(take) * static_cast<std::size_t>(stride_));
  for (int i = 0; i < take; ++i) {
    const auto row = std::span(chunk).subspan(static_cast<std::size_t>(i * stride_),
                                              static_cast<std::size_t>(stride_));
    if (!rows_->ReadRow(nextRow_ + i, row)) {
      Release();
      return Step::Failed;
    }
  }
  if (swap_) {
    for (uint8_t& b : chunk) b = static_cast<uint8_t>(~b);
  }
  inFlightOffset_ = nextOffset_;
  inFlight_ = std::move(chunk);
  nextRow_ += take;
  nextOffset_ += static_cast<uint32_t>(inFlight_.size());
  Transmit();
  return Step::Sent;
}

// A send the library refuses (no link) is a lost chunk like any other: the
// acknowledge time-out sends it again and, in the end, abandons the upload.
void CaptionUpload::Transmit() {
  waiting_ = true;
  if (CommLibrary* library = GetCommLibrary()) {
    library->SendBulk(inFlightOffset_, static_cast<uint16_t>(inFlight_.size()), inFlight_.data(),
                      DeviceAddress());
  }
}

void CaptionUpload::Release() {
  rows_.reset();
  inFlight_.clear();
  waiting_ = false;
}

}  // namespace orv
