// The order in which a closing link settles its counts and its state.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "GoldenFrames.h"
#include "StreamLink.h"

namespace orv {
namespace {

// A transport that delivers a fixed run of bytes and then ends, and that
// records, when the link closes it, what an observer could see right then.
class ScriptedLink final : public StreamLink {
 public:
  ScriptedLink(asio::io_context& io, std::vector<uint8_t> bytes)
      : StreamLink(io, "scripted", 1 << 16), bytes_(std::move(bytes)) {}

  uint64_t truncatedPublished = 0;
  bool closedWhileCountsMissing = false;

 protected:
  void AsyncReadSome(asio::mutable_buffer buffer, IoHandler handler) override {
    if (delivered_) {
      asio::post(io(), [handler] { handler(asio::error::eof, 0); });
      return;
    }
    delivered_ = true;
    std::memcpy(buffer.data(), bytes_.data(), bytes_.size());
    asio::post(io(), [handler, n = bytes_.size()] { handler({}, n); });
  }
  void AsyncWrite(asio::const_buffer buffer, IoHandler handler) override {
    asio::post(io(), [handler, n = buffer.size()] { handler({}, n); });
  }
  void CloseTransport() override {
    if (IsClosed() && truncatedPublished == 0) closedWhileCountsMissing = true;
  }

 private:
  std::vector<uint8_t> bytes_;
  bool delivered_ = false;
};

// Other threads read IsClosed() at any moment; once it reads true, the bytes
// of the frame the peer broke off must already be counted.
TEST(StreamLinkClose, CountsTheBrokenFrameBeforeItShowsClosed) {
  asio::io_context io;
  const auto frame = golden::Hex(golden::kIdentityFrom2);
  auto link =
      std::make_shared<ScriptedLink>(io, std::vector<uint8_t>(frame.begin(), frame.begin() + 20));
  uint64_t truncatedAtClosedHandler = 0;
  link->Start([](StreamLink&, const wire::FrameView&) {},
              [&](StreamLink&) { truncatedAtClosedHandler = link->truncatedPublished; },
              [&](const wire::ParseStats& d) { link->truncatedPublished += d.truncated; });
  io.run();
  EXPECT_TRUE(link->IsClosed());
  EXPECT_FALSE(link->closedWhileCountsMissing);
  EXPECT_EQ(truncatedAtClosedHandler, 20u);
  EXPECT_EQ(link->truncatedPublished, 20u);
}

}  // namespace
}  // namespace orv
