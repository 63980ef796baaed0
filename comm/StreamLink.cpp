#include "StreamLink.h"

#include <algorithm>

namespace orv {

StreamLink::StreamLink(asio::io_context& io, std::string name, std::size_t maxQueuedBytes)
    : io_(io),
      name_(std::move(name)),
      maxQueuedBytes_(maxQueuedBytes),
      paceTimer_(io),
      stallTimer_(io) {}

bool StreamLink::Send(std::vector<uint8_t> bytes) {
  if (IsClosed() || bytes.empty()) return false;
  const std::size_t size = bytes.size();
  if (queuedBytes_.fetch_add(size) + size > maxQueuedBytes_) {
    queuedBytes_.fetch_sub(size);
    return false;
  }
  asio::post(io_, [self = shared_from_this(), frame = std::move(bytes)]() mutable {
    if (self->IsClosed()) {
      self->queuedBytes_.fetch_sub(frame.size());
      return;
    }
    self->queue_.push_back(std::move(frame));
    if (self->started_ && !self->writing_) self->WriteNext();
  });
  return true;
}

void StreamLink::Close() {
  asio::post(io_, [self = shared_from_this()] { self->DoClose(); });
}

void StreamLink::Start(FrameHandler onFrame, ClosedHandler onClosed, StatsHandler onStats) {
  onFrame_ = std::move(onFrame);
  onClosed_ = std::move(onClosed);
  onStats_ = std::move(onStats);
  if (IsClosed()) return;
  state_ = State::Open;
  started_ = true;
  ReadNext();
  if (!queue_.empty() && !writing_) WriteNext();
}

// Runs one parser step (new bytes, or a stalled frame given up), handing each
// frame on, then re-arms the stall timer for whatever is left incomplete.
template <class Step>
void StreamLink::ParseWith(Step step) {
  inFeed_ = true;
  step([this](const wire::FrameView& frame) {
    ++framesReceived_;
    if (onFrame_) onFrame_(*this, frame);
    if (closing_) parser_.Stop();
  });
  inFeed_ = false;
  PublishStats();
  if (closing_) {
    FinishClose();
    return;
  }
  ArmStallTimer();
}

void StreamLink::ReadNext() {
  AsyncReadSome(asio::buffer(readBuffer_), [self = shared_from_this()](const asio::error_code& ec,
                                                                       std::size_t n) {
    if (self->IsClosed()) return;
    if (ec) {
      self->DoClose();
      return;
    }
    const std::span bytes(self->readBuffer_.data(), n);
    self->ParseWith([&](const wire::FrameParser::Handler& h) { self->parser_.Feed(bytes, h); });
    if (!self->IsClosed()) self->ReadNext();
  });
}

void StreamLink::ArmStallTimer() {
  ++stallGeneration_;
  const std::size_t missing = parser_.Missing();
  if (missing == 0) {
    stallTimer_.cancel();
    return;
  }
  // Every arrival restarts the wait: a frame is stalled only when its bytes
  // stop coming, never because the line is slow.
  const int baud = receiveBaud_.load();
  const auto lineTime =
      baud > 0 ? std::chrono::microseconds(static_cast<int64_t>(missing) * 10 * 1'000'000 / baud)
               : std::chrono::microseconds(0);
  stallTimer_.expires_after(std::chrono::milliseconds(kStallQuietMs) + lineTime);
  stallTimer_.async_wait(
      [self = shared_from_this(), generation = stallGeneration_](const asio::error_code& ec) {
        if (ec || self->IsClosed() || generation != self->stallGeneration_) return;
        self->ParseWith([&](const wire::FrameParser::Handler& h) { self->parser_.DropStalled(h); });
      });
}

void StreamLink::WriteNext() {
  if (queue_.empty() || IsClosed()) {
    writing_ = false;
    return;
  }
  writing_ = true;
  const int baud = baud_.load();
  if (baud <= 0) {
    WriteChunk(queue_.front().size() - frontOffset_);
    return;
  }
  // A paced line hands over each chunk (about ten milliseconds of line time,
  // at least one byte) only when its last bit would have left a UART.
  const std::size_t chunk =
      std::min<std::size_t>(queue_.front().size() - frontOffset_, std::max(1, baud / 1000));
  const auto lineTime =
      std::chrono::nanoseconds(static_cast<int64_t>(chunk) * 10 * 1'000'000'000LL / baud);
  lineFreeAt_ = std::max(lineFreeAt_, std::chrono::steady_clock::now()) + lineTime;
  paceTimer_.expires_at(lineFreeAt_);
  paceTimer_.async_wait([self = shared_from_this(), chunk](const asio::error_code&) {
    if (!self->IsClosed()) self->WriteChunk(chunk);
  });
}

void StreamLink::WriteChunk(std::size_t chunk) {
  const auto& front = queue_.front();
  AsyncWrite(asio::buffer(front.data() + frontOffset_, chunk),
             [self = shared_from_this(), chunk](const asio::error_code& ec, std::size_t) {
               if (self->IsClosed()) return;
               if (ec) {
                 self->DoClose();
                 return;
               }
               self->bytesWritten_ += chunk;
               self->queuedBytes_.fetch_sub(chunk);
               self->frontOffset_ += chunk;
               if (self->frontOffset_ == self->queue_.front().size()) {
                 self->queue_.pop_front();
                 self->frontOffset_ = 0;
               }
               self->WriteNext();
             });
}

void StreamLink::DoClose() {
  if (closing_ || IsClosed()) return;
  closing_ = true;
  CloseTransport();
  paceTimer_.cancel();
  stallTimer_.cancel();
  std::size_t dropped = 0;
  for (const auto& f : queue_) dropped += f.size();
  queuedBytes_.fetch_sub(dropped - frontOffset_);
  queue_.clear();
  frontOffset_ = 0;
  writing_ = false;
  // Inside a frame callback the parser's buffer is in use; the read handler
  // finishes the close once the callback has returned.
  if (!inFeed_) FinishClose();
}

// The bytes of an unfinished frame are counted before the link shows as
// closed: whoever sees the link gone also sees what it dropped.
void StreamLink::FinishClose() {
  parser_.Reset();
  PublishStats();
  state_ = State::Closed;
  if (onClosed_) {
    auto handler = std::move(onClosed_);
    onClosed_ = nullptr;
    handler(*this);
  }
}

void StreamLink::PublishStats() {
  if (!onStats_) return;
  const auto& now = parser_.Stats();
  wire::ParseStats delta;
  delta.bytesIn = now.bytesIn - published_.bytesIn;
  delta.frames = now.frames - published_.frames;
  delta.garbageBytes = now.garbageBytes - published_.garbageBytes;
  delta.badHeader = now.badHeader - published_.badHeader;
  delta.badVersion = now.badVersion - published_.badVersion;
  delta.badKind = now.badKind - published_.badKind;
  delta.oversize = now.oversize - published_.oversize;
  delta.badCrc = now.badCrc - published_.badCrc;
  delta.truncated = now.truncated - published_.truncated;
  delta.stalled = now.stalled - published_.stalled;
  published_ = now;
  onStats_(delta);
}

}  // namespace orv
