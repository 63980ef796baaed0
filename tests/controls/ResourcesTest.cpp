#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <random>

#include "CPictureEx.h"
#include "GifWalker.h"
#include "MissingArtCheck.h"
#include "ResourceRegistry.h"
#include "TestSupport.h"

using namespace orv;
using art::ArtType;

TEST(Resources, EveryTableRowIsInTheBundleAtItsSize) {
  ClearMissingResources();
  for (const art::ArtRow& row : art::ArtTable()) {
    SCOPED_TRACE(row.label);
    ASSERT_TRUE(HasResource(row.type, row.id)) << row.id;
    if (row.type == ArtType::Gif) {
      const QByteArray bytes = LoadResourceBytes(row.type, row.id);
      const auto layout = WalkGif(reinterpret_cast<const uint8_t*>(bytes.constData()),
                                  static_cast<size_t>(bytes.size()));
      ASSERT_TRUE(layout);
      EXPECT_EQ(layout->width, row.width);
      EXPECT_EQ(layout->height, row.height);
      continue;
    }
    const QImage img = LoadResourceImage(row.type, row.id);
    ASSERT_FALSE(img.isNull()) << row.id;
    EXPECT_EQ(img.size(), QSize(row.width, row.height)) << row.id;
  }
  EXPECT_TRUE(MissingResources().empty());
}

TEST(Resources, ThePicturesTheControlsAskForExist) {
  struct Need {
    ArtType type;
    int id;
  };
  const Need needs[] = {
      {ArtType::Bitmap, 106}, {ArtType::Png, 107},     {ArtType::Png, 1561},
      {ArtType::Png, 1562},   {ArtType::Gif, 171},     {ArtType::Icon, 103},
      {ArtType::Png, 113},    {ArtType::Png, 114},     {ArtType::Png, 129},
      {ArtType::Png, 147},    {ArtType::Bitmap, 1531}, {ArtType::Bitmap, 1532},
      {ArtType::Png, 135},    {ArtType::Png, 136},     {ArtType::Png, 137},
      {ArtType::Png, 138},    {ArtType::Png, 139},     {ArtType::Png, 140},
      {ArtType::Png, 141},    {ArtType::Png, 143},     {ArtType::Png, 151},
      {ArtType::Png, 153},    {ArtType::Png, 1585},    {ArtType::Png, 99},
      {ArtType::Png, 155},    {ArtType::Png, 157},
  };
  for (const Need& n : needs) EXPECT_TRUE(HasResource(n.type, n.id)) << n.id;
  // Types are separate name spaces.
  EXPECT_FALSE(HasResource(ArtType::Png, 106));
}

TEST(Resources, AMissingNumberIsRecorded) {
  ClearMissingResources();
  EXPECT_TRUE(ResourcePath(ArtType::Png, 4242).isEmpty());
  EXPECT_TRUE(LoadResourceImage(ArtType::Png, 4242).isNull());
  EXPECT_TRUE(LoadResourceBytes(ArtType::Gif, 107).isEmpty());
  const auto missing = MissingResources();
  ASSERT_EQ(missing.size(), 2u) << "each missing picture once";
  EXPECT_EQ(missing[0], std::make_pair(ArtType::Png, 4242));
  EXPECT_EQ(missing[1], std::make_pair(ArtType::Gif, 107));
  ClearMissingResources();
}

TEST(Resources, AMissingPictureFailsTheTestThatAskedForIt) {
  // The check every GUI test executable installs: run by hand here on a
  // lookup of a number the bundle lacks.
  test::MissingArtCheck check;
  const auto& self = *::testing::UnitTest::GetInstance()->current_test_info();
  check.OnTestEnd(self);  // nothing missing: no failure
  EXPECT_TRUE(LoadResourceImage(ArtType::Png, 4243).isNull());
  EXPECT_NONFATAL_FAILURE(check.OnTestEnd(self), "png/4243");
  EXPECT_TRUE(MissingResources().empty()) << "reported once, then forgotten";
}

TEST(Resources, WaitAnimationIsTwelveFramesOfTheBar) {
  const QByteArray bytes = LoadResourceBytes(ArtType::Gif, art::kWaitAnimation);
  const auto layout = WalkGif(reinterpret_cast<const uint8_t*>(bytes.constData()),
                              static_cast<size_t>(bytes.size()));
  ASSERT_TRUE(layout);
  EXPECT_EQ(layout->width, 126);
  EXPECT_EQ(layout->height, 22);
  ASSERT_EQ(layout->frames.size(), 12u);
  const int lefts[] = {0, 4, 14, 24, 34, 44, 54, 64, 74, 84, 94, 4};
  for (int i = 0; i < 12; ++i) {
    const auto& f = layout->frames[i];
    EXPECT_EQ(f.delayHundredths, 0);
    EXPECT_EQ(f.disposal, 1);
    EXPECT_EQ(f.left, lefts[i]) << i;
    const QSize expected = i == 0 ? QSize(126, 22) : i == 11 ? QSize(122, 14) : QSize(28, 14);
    EXPECT_EQ(QSize(f.width, f.height), expected) << i;
    if (i > 0) {
      EXPECT_EQ(f.top, 4);
    }
  }
  CPictureEx pic;
  ASSERT_TRUE(pic.Load(art::kWaitAnimation));
  EXPECT_EQ(pic.Frames().size(), 12u) << "every frame decodes";
  for (const auto& f : pic.Frames()) EXPECT_EQ(f.displayMs, 100);
}

TEST(Resources, LzwCoderRoundTripsThroughTheStandardDecoder) {
  // Large, noisy pictures fill the code table several times over, which
  // exercises code widening and the clear code.
  std::mt19937 rng(7);
  for (int colours : {2, 4, 16, 256}) {
    std::vector<QRgb> palette;
    for (int i = 0; i < colours; ++i) palette.push_back(qRgb(i, 255 - i, (i * 37) & 255));
    const int w = 173, h = 97;
    std::vector<uint8_t> pixels(static_cast<size_t>(w) * h);
    for (size_t i = 0; i < pixels.size(); ++i) {
      // Runs and noise mixed, so both long and short strings occur.
      pixels[i] = static_cast<uint8_t>((i % 50 < 20) ? (i / 50) % colours : rng() % colours);
    }
    art::GifWriter gif(w, h, palette);
    gif.Image(0, 0, w, h, pixels);
    gif.Trailer();
    const QImage img = QImage::fromData(gif.Bytes(), "GIF");
    ASSERT_FALSE(img.isNull()) << colours;
    ASSERT_EQ(img.size(), QSize(w, h));
    int wrong = 0;
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        wrong += img.pixel(x, y) != (palette[pixels[static_cast<size_t>(y) * w + x]] | 0xFF000000u);
      }
    }
    EXPECT_EQ(wrong, 0) << colours << " colours";
  }
}
