#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "GifWalker.h"
#include "TestSupport.h"

using namespace orv;
using namespace orv::test;

namespace {
std::optional<GifLayout> Walk(const QByteArray& bytes) {
  return WalkGif(reinterpret_cast<const uint8_t*>(bytes.constData()),
                 static_cast<size_t>(bytes.size()));
}
}  // namespace

TEST(GifWalker, CountsFramesAndReadsDelaysDisposalAndPlacement) {
  art::GifWriter gif(40, 30, FourColours());
  gif.LoopExtension();
  gif.Comment("made in a test");
  gif.GraphicControl(0, 1);
  gif.Image(0, 0, 40, 30, Solid(40, 30, 0));
  gif.GraphicControl(7, 2);
  gif.Comment("between the control block and its image");
  gif.Image(5, 6, 10, 8, Solid(10, 8, 1), {qRgb(1, 2, 3), qRgb(4, 5, 6)});
  gif.Image(1, 2, 3, 4, Solid(3, 4, 2));  // no graphic control extension
  gif.GraphicControl(50, 3);
  gif.PlainText(0, 0, 16, 8, "hi");
  gif.Trailer();
  const auto layout = Walk(gif.Bytes());
  ASSERT_TRUE(layout);
  EXPECT_EQ(layout->width, 40);
  EXPECT_EQ(layout->height, 30);
  EXPECT_EQ(layout->headerSize, 13u + 12u);
  ASSERT_EQ(layout->frames.size(), 4u);
  const auto& f = layout->frames;
  EXPECT_TRUE(f[0].hasControl);
  EXPECT_EQ(f[0].delayHundredths, 0);
  EXPECT_EQ(f[0].disposal, 1);
  EXPECT_EQ(f[1].delayHundredths, 7);
  EXPECT_EQ(f[1].disposal, 2);
  EXPECT_EQ(f[1].left, 5);
  EXPECT_EQ(f[1].top, 6);
  EXPECT_EQ(f[1].width, 10);
  EXPECT_EQ(f[1].height, 8);
  EXPECT_FALSE(f[2].hasControl);
  EXPECT_EQ(static_cast<uint8_t>(gif.Bytes()[static_cast<qsizetype>(f[2].start)]), 0x2C);
  EXPECT_TRUE(f[3].plainText);
  EXPECT_EQ(f[3].disposal, 3);
  EXPECT_EQ(f[3].delayHundredths, 50);
  // Frames follow each other without overlap, and the last ends at the trailer.
  for (size_t i = 1; i < f.size(); ++i) EXPECT_GE(f[i].start, f[i - 1].end);
  EXPECT_EQ(f.back().end, static_cast<size_t>(gif.Bytes().size()) - 1);
}

TEST(GifWalker, FrameGifDecodesToTheFramesPixels) {
  const QByteArray bytes = BuildGif(20, 10, {{0, 0, 20, 10, 1, 0, 1}, {4, 2, 6, 5, 2, 0, 1}});
  const auto layout = Walk(bytes);
  ASSERT_TRUE(layout);
  ASSERT_EQ(layout->frames.size(), 2u);
  const auto* data = reinterpret_cast<const uint8_t*>(bytes.constData());
  const QByteArray second = FrameGif(data, *layout, layout->frames[1]);
  EXPECT_EQ(second.left(6), QByteArray("GIF89a"));
  EXPECT_EQ(static_cast<uint8_t>(second.back()), 0x3B);
  const QImage img = QImage::fromData(second, "GIF");
  ASSERT_FALSE(img.isNull());
  EXPECT_EQ(img.pixelColor(5, 3), QColor(0, 255, 0));
}

TEST(GifWalker, DisplayTimeOfDelays) {
  GifFrameInfo f;
  f.hasControl = true;
  for (int d : {0, 1, 2, 3, 4}) {
    f.delayHundredths = d;
    EXPECT_EQ(FrameDisplayMs(f), 100) << "delay " << d;
  }
  f.delayHundredths = 5;
  EXPECT_EQ(FrameDisplayMs(f), 50);
  f.delayHundredths = 50;
  EXPECT_EQ(FrameDisplayMs(f), 500);
  f.delayHundredths = 1000;
  EXPECT_EQ(FrameDisplayMs(f), 10000);
  f.hasControl = false;
  EXPECT_EQ(FrameDisplayMs(f), 100) << "a frame without a control block shows 100 ms";
}

TEST(GifWalker, TruncatedDataNeverReadsPastItsEnd) {
  const QByteArray bytes =
      BuildGif(30, 20, {{0, 0, 30, 20, 1, 0, 1}, {2, 2, 9, 9, 2, 5, 2}, {3, 3, 5, 5, 3, 9, 3}});
  const auto full = Walk(bytes);
  ASSERT_TRUE(full);
  ASSERT_EQ(full->frames.size(), 3u);
  for (qsizetype n = 0; n < bytes.size(); ++n) {
    // An exact-size copy: any read past n would leave the allocation.
    std::unique_ptr<uint8_t[]> copy(new uint8_t[static_cast<size_t>(std::max<qsizetype>(n, 1))]);
    std::memcpy(copy.get(), bytes.constData(), static_cast<size_t>(n));
    const auto layout = WalkGif(copy.get(), static_cast<size_t>(n));
    size_t complete = 0;
    for (const auto& f : full->frames) complete += f.end <= static_cast<size_t>(n) ? 1 : 0;
    if (complete == 0) {
      EXPECT_FALSE(layout) << "cut at " << n;
    } else {
      ASSERT_TRUE(layout) << "cut at " << n;
      EXPECT_EQ(layout->frames.size(), complete) << "cut at " << n;
      for (const auto& f : layout->frames) EXPECT_LE(f.end, static_cast<size_t>(n));
    }
  }
}

TEST(GifWalker, GarbageAndOddHeadersAreRejected) {
  const uint8_t junk[] = "PNG\x89 not a gif at all";
  EXPECT_FALSE(IsGifData(junk, sizeof junk));
  EXPECT_FALSE(WalkGif(junk, sizeof junk));
  EXPECT_FALSE(WalkGif(nullptr, 0));
  // A header that claims a colour table longer than the data.
  uint8_t header[] = {'G', 'I', 'F', '8', '9', 'a', 10, 0, 10, 0, 0x87, 0, 0, 0, 0, 0};
  EXPECT_TRUE(IsGifData(header, sizeof header));
  EXPECT_FALSE(WalkGif(header, sizeof header));
  // A valid header followed by an unknown block: the walk ends with no frame.
  uint8_t unknown[] = {'G', 'I', 'F', '8', '7', 'a', 1, 0, 1, 0, 0, 0, 0, 0x99, 1, 2, 3};
  EXPECT_FALSE(WalkGif(unknown, sizeof unknown));
  // A sub-block length running past the end.
  uint8_t runaway[] = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0,   0, 0, 0x2C,
                       0,   0,   0,   0,   1,   0,   1, 0, 0, 2, 200, 1, 2};
  EXPECT_FALSE(WalkGif(runaway, sizeof runaway));
  // An unknown block after a good frame keeps that frame.
  QByteArray good = BuildGif(4, 4, {{0, 0, 4, 4, 1, 0, 1}, {0, 0, 2, 2, 2, 0, 1}});
  good.chop(1);
  good.append("\x21\x42garbage", 9);
  const auto layout = Walk(good);
  ASSERT_TRUE(layout);
  EXPECT_EQ(layout->frames.size(), 2u);
}
