// The processor's captions: which chunks it takes, how its acknowledges
// misbehave when told to, the picture it applies after the last row, and the
// caption scrolling over its composed preview.
#include <gtest/gtest.h>

#include <vector>

#include "CaptionOverlay.h"
#include "CaptionPeer.h"
#include "PreviewPicture.h"
#include "WireFormat.h"

namespace orv::sim {
namespace {

std::array<uint8_t, 32> Args(std::initializer_list<uint8_t> bytes) {
  std::array<uint8_t, 32> b;
  b.fill(0x55);
  std::copy(bytes.begin(), bytes.end(), b.begin());
  return b;
}

// Announces caption 2 of w x h and returns the event's "go ahead" byte.
int Announce(CaptionPeer& peer, int w, int h) {
  const CaptionAnswer a =
      peer.CaptionA(Args({2, 0, static_cast<uint8_t>(w), static_cast<uint8_t>(w >> 8),
                          static_cast<uint8_t>(h), 0, 0}));
  return a.event.value()[1];
}

struct ChunkCase {
  const char* name;
  uint32_t position;
  std::size_t length;
  bool taken;
};

TEST(CaptionPeer, TakesWholeRowsOfTheAnnouncedPictureOnly) {
  CaptionPeer peer;
  EXPECT_FALSE(peer.Chunk(0, std::vector<uint8_t>(8, 1))->event.value()[3]);  // nothing announced
  ASSERT_EQ(Announce(peer, 64, 4), 0);                                        // 8 bytes a row
  const ChunkCase cases[] = {
      {"first two rows", 0, 16, true}, {"half a row", 16, 4, false}, {"not at a row", 20, 8, false},
      {"past the end", 24, 16, false}, {"empty", 8, 0, false},       {"last row", 24, 8, true},
  };
  for (const ChunkCase& c : cases) {
    const auto a = peer.Chunk(c.position, std::vector<uint8_t>(c.length, 0xA5));
    ASSERT_TRUE(a && a->event) << c.name;
    const auto& e = *a->event;
    EXPECT_EQ(e[0], 7);
    EXPECT_EQ(wire::GetU16(&e[1]), c.length) << c.name;
    EXPECT_EQ(e[3], c.taken ? 1 : 0) << c.name;
    EXPECT_EQ(wire::GetU32(&e[4]), c.position) << c.name;
  }
  EXPECT_EQ(peer.Picture(2), nullptr);  // row 3 is still missing
  peer.Chunk(16, std::vector<uint8_t>(8, 0x80));
  ASSERT_NE(peer.Picture(2), nullptr);
  EXPECT_TRUE(peer.Picture(2)->Bit(0, 2));
  EXPECT_FALSE(peer.Picture(2)->Bit(1, 2));
  EXPECT_EQ(wire::GetU16(&peer.Record(2)[0]), 64);
  EXPECT_EQ(wire::GetU16(&peer.Record(2)[2]), 4);
  // More than 1344 bytes is refused even when it is whole rows of the picture.
  ASSERT_EQ(Announce(peer, 3840, 128), 0);
  EXPECT_EQ(peer.Chunk(0, std::vector<uint8_t>(1440, 0))->event.value()[3], 0);
  EXPECT_EQ(peer.Chunk(0, std::vector<uint8_t>(960, 0))->event.value()[3], 1);
  EXPECT_EQ(Announce(peer, 3840, 129), 1);
}

TEST(CaptionPeer, AcknowledgesDroppedMisaddressedOrLateWhenTold) {
  CaptionPeer peer;
  Announce(peer, 32, 3);
  peer.faults.drop = 1;
  peer.faults.misaddress = 1;
  EXPECT_FALSE(peer.Chunk(0, std::vector<uint8_t>(4, 0)).has_value());
  EXPECT_EQ(wire::GetU32(&peer.Chunk(4, std::vector<uint8_t>(4, 0))->event.value()[4]), 5u);
  peer.faults.delayMs = 700;
  const auto late = peer.Chunk(8, std::vector<uint8_t>(4, 0));
  EXPECT_EQ(late->delayMs, 700);
  EXPECT_EQ(wire::GetU32(&late->event.value()[4]), 8u);
  EXPECT_EQ(peer.Counters().chunksTaken, 3u);  // every chunk was taken all the same
  peer.faults.refuseAnnounce = true;
  EXPECT_EQ(Announce(peer, 32, 3), 1);
}

TEST(CaptionOverlay, ScrollPositions) {
  struct Case {
    int speed, direction;
    int64_t ms;
    int want;
  } const cases[] = {
      {0, 0, 5000, 0},    // frozen
      {1, 0, 0, 600},     // scrolling left: enters at the right edge
      {1, 0, 1000, 480},  // 120 pixels a second
      {3, 0, 1000, 120},  // 480 pixels a second
      {1, 1, 0, -100},    // scrolling right: enters from the left
      {2, 1, 1000, 140},  // 240 pixels a second
      {1, 0, 6000, 580},  // 720 pixels: one period (700) and 20 more
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CaptionScrollX(100, 600, c.speed, c.direction, c.ms), c.want)
        << c.speed << " " << c.direction << " " << c.ms;
  }
}

TEST(CaptionOverlay, CaptionDrawnOverTheOutput) {
  ParamBlock image{};
  image.OUTPUTRESO.HRESO = 1920;
  image.OUTPUTRESO.VRESO = 1080;
  CaptionView view;
  auto picture = std::make_shared<CaptionPicture>();
  picture->width = 960;
  picture->height = 120;
  picture->rows.assign(static_cast<std::size_t>(120) * 120, 0);
  for (int y = 0; y < 120; ++y) picture->rows[static_cast<std::size_t>(y) * 120] = 0xFF;  // 8 px
  view.picture = picture;
  CaptionRecord& r = view.record;
  wire::PutU16(&r[4], 0);     // horizontal start
  wire::PutU16(&r[6], 960);   // vertical start
  wire::PutU16(&r[8], 1920);  // display width
  r[12] = 1;                  // on, frozen, opaque
  r[24] = 1;
  wire::PutU32(&r[16], 0xFFFFFF);  // white text
  wire::PutU32(&r[20], 0x0000FF);  // red background
  YuvImage out;
  out.Resize(320, 180);  // 160 x 90 per quadrant: 1/12 of the output
  ComposePreview(image, 0, out, 0, std::span(&view, 1));
  auto luma = [&](int x, int y) { return out.y[static_cast<std::size_t>(y) * out.width + x]; };
  EXPECT_EQ(luma(0, 80), ToYuv({255, 255, 255}).y);        // the text's first columns
  EXPECT_EQ(luma(40, 85), ToYuv({255, 0, 0}).y);           // the background around it
  EXPECT_EQ(luma(40, 70), 16);                             // above the area: black
  EXPECT_EQ(luma(160 + 0, 80), ToYuv({255, 255, 255}).y);  // in every quadrant of mode 0
  r[12] = 0;                                               // off: nothing drawn
  ComposePreview(image, 0, out, 0, std::span(&view, 1));
  EXPECT_EQ(luma(0, 80), 16);
}

}  // namespace
}  // namespace orv::sim
