#include <gtest/gtest.h>

#include <chrono>
#include <mutex>

#include <QBuffer>
#include <QElapsedTimer>
#include <QTest>

#include "CPictureEx.h"
#include "ResourceRegistry.h"
#include "TestSupport.h"

using namespace orv;
using namespace orv::test;

namespace {

// Follows the animation thread: every frame shown and how long it stays,
// with a copy of the surface taken while the frame shows.
struct Trace {
  std::mutex mutex;
  std::vector<int> frames;
  std::vector<int> waits;
  std::vector<QImage> surfaces;
  void Attach(CPictureEx& pic) {
    pic.SetFrameObserver([this, &pic](int frame, int ms) {
      QImage s = pic.Surface();
      std::lock_guard lock(mutex);
      frames.push_back(frame);
      waits.push_back(ms);
      surfaces.push_back(s);
    });
  }
  size_t Count() {
    std::lock_guard lock(mutex);
    return frames.size();
  }
};

bool WaitForFrames(Trace& t, size_t n, int ms = 10000) {
  return QTest::qWaitFor([&] { return t.Count() >= n; }, ms);
}

}  // namespace

TEST(PictureEx, PlaysFramesWithTheirDelays) {
  CPictureEx pic;
  const QByteArray gif = BuildGif(8, 8,
                                  {{0, 0, 8, 8, 1, 0, 1},
                                   {0, 0, 8, 8, 2, 4, 1},
                                   {0, 0, 8, 8, 3, 5, 1},
                                   {0, 0, 8, 8, 1, 30, 1}});
  ASSERT_TRUE(pic.Load(gif));
  EXPECT_TRUE(pic.IsGif());
  EXPECT_EQ(pic.PictureSize(), QSize(8, 8));
  EXPECT_EQ(pic.size(), QSize(8, 8)) << "the control takes the picture's size";
  ASSERT_EQ(pic.Frames().size(), 4u);
  Trace t;
  t.Attach(pic);
  EXPECT_EQ(pic.Draw(), 0) << "an animation reports 0 and plays on its thread";
  ASSERT_TRUE(WaitForFrames(t, 5));
  pic.Stop();
  EXPECT_FALSE(pic.Playing());
  std::lock_guard lock(t.mutex);
  EXPECT_EQ(std::vector<int>(t.frames.begin(), t.frames.begin() + 5),
            (std::vector<int>{0, 1, 2, 3, 0}));
  EXPECT_EQ(std::vector<int>(t.waits.begin(), t.waits.begin() + 4),
            (std::vector<int>{100, 100, 50, 300}));
  EXPECT_EQ(t.surfaces[1].pixelColor(3, 3), QColor(0, 255, 0));
  EXPECT_EQ(t.surfaces[2].pixelColor(3, 3), QColor(0, 0, 255));
}

TEST(PictureEx, DisposalRestoresBackgroundOrPrevious) {
  CPictureEx pic;
  // Frame 0 paints all red; frame 1 (disposal 2) a green block that must be
  // cleared to the background; frame 2 (disposal 3) a blue block that must be
  // undone to what was under it; frame 3 a tiny black block far away.
  const QByteArray gif = BuildGif(20, 10,
                                  {{0, 0, 20, 10, 1, 0, 1},
                                   {0, 0, 5, 5, 2, 0, 2},
                                   {10, 0, 5, 5, 3, 0, 3},
                                   {19, 9, 1, 1, 0, 0, 1}});
  ASSERT_TRUE(pic.Load(gif));
  pic.SetBackgroundColor(QColor(10, 20, 30));
  Trace t;
  t.Attach(pic);
  pic.Draw();
  ASSERT_TRUE(WaitForFrames(t, 4));
  pic.Stop();
  std::lock_guard lock(t.mutex);
  const QImage& during1 = t.surfaces[1];
  EXPECT_EQ(during1.pixelColor(2, 2), QColor(0, 255, 0));
  const QImage& during2 = t.surfaces[2];
  EXPECT_EQ(during2.pixelColor(2, 2), QColor(10, 20, 30)) << "disposal 2: background";
  EXPECT_EQ(during2.pixelColor(12, 2), QColor(0, 0, 255));
  const QImage& during3 = t.surfaces[3];
  EXPECT_EQ(during3.pixelColor(12, 2), QColor(255, 0, 0)) << "disposal 3: what was before";
  EXPECT_EQ(during3.pixelColor(2, 2), QColor(10, 20, 30));
  EXPECT_EQ(during3.pixelColor(19, 9), QColor(0, 0, 0));
}

TEST(PictureEx, OneFrameGifIsAStillPictureWithoutAThread) {
  CPictureEx pic;
  ASSERT_TRUE(pic.Load(BuildGif(6, 4, {{0, 0, 6, 4, 2, 0, 1}})));
  EXPECT_TRUE(pic.Frames().empty());
  EXPECT_EQ(pic.Draw(), 1);
  EXPECT_FALSE(pic.Playing());
  EXPECT_EQ(pic.Surface().pixelColor(1, 1), QColor(0, 255, 0));
  EXPECT_EQ(Grab(pic).pixelColor(1, 1), QColor(0, 255, 0)) << "painting copies the surface";
}

TEST(PictureEx, StopReturnsAtOnceDuringALongFrame) {
  CPictureEx pic;
  ASSERT_TRUE(pic.Load(BuildGif(4, 4, {{0, 0, 4, 4, 1, 1000, 1}, {0, 0, 4, 4, 2, 1000, 1}})));
  Trace t;
  t.Attach(pic);
  pic.Draw();
  ASSERT_TRUE(WaitForFrames(t, 1));
  EXPECT_TRUE(pic.Playing());
  QElapsedTimer clock;
  clock.start();
  pic.Stop();
  EXPECT_LT(clock.elapsed(), 1000) << "the 10-second wait is cut short";
  EXPECT_FALSE(pic.Playing());
  EXPECT_EQ(t.Count(), 1u);
  // It can be started again after a stop, from the frame it was on.
  pic.Draw();
  ASSERT_TRUE(WaitForFrames(t, 2));
  pic.UnLoad();
  EXPECT_FALSE(pic.Prepared());
  EXPECT_EQ(pic.BackgroundColor(), QColor(255, 255, 255));
}

TEST(PictureEx, StillPicturesAreSizedFromTheirResolution) {
  QImage img(200, 100, QImage::Format_RGB32);
  img.fill(Qt::red);
  img.setDotsPerMeterX(static_cast<int>(192 / 0.0254 + 0.5));  // 192 DPI
  img.setDotsPerMeterY(static_cast<int>(192 / 0.0254 + 0.5));
  EXPECT_EQ(CPictureEx::StillPictureSize(img, Dpi{96, 96}), QSize(100, 50));
  EXPECT_EQ(CPictureEx::StillPictureSize(img, Dpi{192, 192}), QSize(200, 100));
  QByteArray bmp;
  QBuffer buffer(&bmp);
  buffer.open(QIODevice::WriteOnly);
  img.save(&buffer, "BMP");
  SetDpiOverride(Dpi{96, 96});
  CPictureEx pic;
  ASSERT_TRUE(pic.Load(bmp));
  EXPECT_FALSE(pic.IsGif());
  EXPECT_EQ(pic.PictureSize(), QSize(100, 50));
  EXPECT_EQ(pic.Draw(), 1);
  SetDpiOverride(std::nullopt);
}

TEST(PictureEx, BadDataLeavesTheControlEmpty) {
  CPictureEx pic;
  EXPECT_FALSE(pic.Load(QByteArray("definitely not a picture")));
  EXPECT_FALSE(pic.Prepared());
  EXPECT_EQ(pic.Draw(), 0);
  QByteArray cut = BuildGif(4, 4, {{0, 0, 4, 4, 1, 0, 1}, {0, 0, 2, 2, 2, 0, 1}});
  EXPECT_FALSE(pic.Load(cut.left(20))) << "a GIF cut before its first frame";
  EXPECT_FALSE(pic.Load(99999)) << "a GIF number the program does not have";
  ASSERT_EQ(MissingResources().size(), 1u);
  ClearMissingResources();  // asked for on purpose
}
