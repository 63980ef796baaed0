// Drawing on SDL's software renderer: what a cell or view shows for a
// picture, the label, the reset notice, the preview sizes and the video
// window's geometry.
#include <gtest/gtest.h>

#include <SDL.h>

#include <QCoreApplication>
#include <QWidget>

#include <algorithm>
#include <thread>

#include <cstdlib>
#include <fstream>

#include "Ini.h"
#include "MShowVideoDlg.h"
#include "RendererReset.h"
#include "SdlTarget.h"
#include "VideoPreview.h"
#include "VideoWindowLayout.h"

namespace orv::preview {
namespace {

struct Rgb {
  int r, g, b;
};

// BT.601 studio range, as the decoder's pictures carry it.
void ToYuv(Rgb c, uint8_t& y, uint8_t& u, uint8_t& v) {
  y = static_cast<uint8_t>(16 + 0.257 * c.r + 0.504 * c.g + 0.098 * c.b + 0.5);
  u = static_cast<uint8_t>(128 - 0.148 * c.r - 0.291 * c.g + 0.439 * c.b + 0.5);
  v = static_cast<uint8_t>(128 + 0.439 * c.r - 0.368 * c.g - 0.071 * c.b + 0.5);
}

// A picture whose left half is `left` and right half `right`.
FramePicture TwoColours(int width, int height, Rgb left, Rgb right) {
  FramePicture p;
  p.width = width;
  p.height = height;
  p.lumaStride = width + 16;  // padded rows, as the decoder hands them over
  p.chromaStride = (width + 1) / 2 + 8;
  const int chromaRows = (height + 1) / 2;
  p.y.assign(static_cast<std::size_t>(p.lumaStride) * height, 0);
  p.u.assign(static_cast<std::size_t>(p.chromaStride) * chromaRows, 0);
  p.v.assign(p.u.size(), 0);
  uint8_t ly, lu, lv, ry, ru, rv;
  ToYuv(left, ly, lu, lv);
  ToYuv(right, ry, ru, rv);
  for (int row = 0; row < height; ++row) {
    for (int x = 0; x < width; ++x) p.y[row * p.lumaStride + x] = x < width / 2 ? ly : ry;
  }
  for (int row = 0; row < chromaRows; ++row) {
    for (int x = 0; x < (width + 1) / 2; ++x) {
      p.u[row * p.chromaStride + x] = x < width / 4 ? lu : ru;
      p.v[row * p.chromaStride + x] = x < width / 4 ? lv : rv;
    }
  }
  return p;
}

::testing::AssertionResult Near(std::optional<uint32_t> pixel, Rgb want, int tolerance = 24) {
  if (!pixel) return ::testing::AssertionFailure() << "no pixel";
  const Rgb got{static_cast<int>(*pixel >> 16 & 0xFF), static_cast<int>(*pixel >> 8 & 0xFF),
                static_cast<int>(*pixel & 0xFF)};
  if (std::abs(got.r - want.r) <= tolerance && std::abs(got.g - want.g) <= tolerance &&
      std::abs(got.b - want.b) <= tolerance) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure()
         << "got (" << got.r << ", " << got.g << ", " << got.b << "), want (" << want.r << ", "
         << want.g << ", " << want.b << ")";
}

constexpr Rgb kRed{220, 30, 30};
constexpr Rgb kBlue{30, 40, 220};
constexpr FrameSize kFrame{352, 240};

TEST(SdlTarget, TheCropFillsTheTargetWhateverThePictureSize) {
  struct Case {
    const char* name;
    int pictureWidth, pictureHeight;
  };
  // The frame size the target was built for, a larger picture (the device
  // changed its encoder first), and odd sizes.
  for (const Case c :
       {Case{"as built", 352, 240}, Case{"larger", 640, 480}, Case{"odd", 353, 241}}) {
    SdlTarget target(TextureKind::Iyuv, std::string());
    ASSERT_TRUE(target.BuildOnSurface(120, 80, kFrame)) << SDL_GetError();
    target.SetVisible(true);
    target.SetSource(PixelRect{176, 0, 176, 120});  // the right half's top
    target.Draw(TwoColours(c.pictureWidth, c.pictureHeight, kRed, kBlue));
    EXPECT_EQ(target.drawnCount(), 1) << c.name;
    EXPECT_TRUE(Near(target.PixelAt(5, 5), kBlue)) << c.name;
    EXPECT_TRUE(Near(target.PixelAt(115, 75), kBlue)) << c.name;
  }
}

TEST(SdlTarget, HiddenOrUnbuiltTargetsDrawNothing) {
  SdlTarget unbuilt(TextureKind::Iyuv, std::string());
  unbuilt.SetVisible(true);
  unbuilt.Draw(TwoColours(352, 240, kRed, kBlue));
  EXPECT_EQ(unbuilt.drawnCount(), 0);

  SdlTarget hidden(TextureKind::Yv12, std::string());
  ASSERT_TRUE(hidden.BuildOnSurface(40, 40, kFrame));
  hidden.Draw(TwoColours(352, 240, kRed, kBlue));
  EXPECT_EQ(hidden.drawnCount(), 0);
  // A picture of no size is not drawn either.
  hidden.SetVisible(true);
  hidden.Draw(FramePicture{});
  EXPECT_EQ(hidden.drawnCount(), 0);
}

TEST(SdlTarget, TheLabelIsRedAtTheTopLeftWhenTheFontExists) {
  const std::string font = AppFolder() + "arial.ttf";
  ASSERT_TRUE(std::ifstream(font).good()) << "the build copies the font to " << font;
  const Rgb grey{128, 128, 128};
  for (const bool withFont : {true, false}) {
    SdlTarget target(TextureKind::Iyuv, withFont ? font : std::string("/nonexistent/arial.ttf"));
    ASSERT_TRUE(target.BuildOnSurface(300, 100, kFrame));
    target.SetVisible(true);
    target.SetLabel("Main : DVI-1 ##########");
    target.Draw(TwoColours(352, 240, grey, grey));
    int red = 0;
    for (int y = 0; y < 40; ++y) {
      for (int x = 0; x < 300; ++x) red += Near(target.PixelAt(x, y), {255, 0, 0}, 40) ? 1 : 0;
    }
    EXPECT_EQ(red > 50, withFont) << red << " red pixels";
    EXPECT_TRUE(Near(target.PixelAt(299, 99), grey)) << "the picture shows without the label";
  }
}

// A PIP window at the starting zoom (720 x 405 device pixels at 6.0) and a
// main layer: the whole label shows, inside the cell, in the band along the
// top, clear of the picture's middle.
TEST(SdlTarget, TheLabelFitsItsCellAndKeepsOffThePicturesMiddle) {
  const std::string font = AppFolder() + "arial.ttf";
  ASSERT_TRUE(std::ifstream(font).good()) << "the build copies the font to " << font;
  const Rgb grey{128, 128, 128};
  struct Case {
    int width, height;
  };
  for (const Case c : {Case{120, 67}, Case{320, 180}}) {
    SdlTarget target(TextureKind::Iyuv, font);
    ASSERT_TRUE(target.BuildOnSurface(c.width, c.height, kFrame));
    target.SetOutputSize(c.width, c.height);
    target.SetVisible(true);
    target.SetLabel("PIP-1 : DVI-1");
    target.Draw(TwoColours(352, 240, grey, grey));
    int lowest = -1, rightmost = -1, red = 0;
    for (int y = 0; y < c.height; ++y) {
      for (int x = 0; x < c.width; ++x) {
        if (!Near(target.PixelAt(x, y), {255, 0, 0}, 60)) continue;
        ++red;
        lowest = std::max(lowest, y);
        rightmost = std::max(rightmost, x);
      }
    }
    EXPECT_GT(red, 30) << c.width;
    EXPECT_LT(lowest, c.height / 3) << c.width << ": the label reaches the picture's middle";
    EXPECT_LT(rightmost, c.width - 2) << c.width << ": the label is cut at the cell's edge";
    EXPECT_TRUE(Near(target.PixelAt(c.width / 2, c.height / 2), grey)) << c.width;
  }
}

TEST(RendererReset, TwoNoticesRebuildOnceUntilRearmed) {
  ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_EVENTS), 0) << SDL_GetError();
  int posts = 0;
  RendererResetNotice notice([&] { ++posts; });
  ASSERT_TRUE(notice.Watch());
  SDL_Event reset{};
  reset.type = SDL_RENDER_TARGETS_RESET;
  SDL_PushEvent(&reset);
  reset.type = SDL_RENDER_DEVICE_RESET;
  SDL_PushEvent(&reset);
  EXPECT_EQ(posts, 1);
  notice.Rearm();
  EXPECT_EQ(notice.Notify(), 0);
  EXPECT_EQ(posts, 2);
  SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
  SDL_QuitSubSystem(SDL_INIT_EVENTS);
}

TEST(VideoPreview, ResetNoticesFromAnyThreadRebuildOnceUntilTheRebuildRan) {
  VideoPreview preview(DrawingSurface::Memory, std::string());
  int rebuilds = 0;
  preview.SetResetHandler([&] { ++rebuilds; });
  std::thread library([&] {
    preview.resetNotice().Notify();
    preview.resetNotice().Notify();
  });
  library.join();
  EXPECT_EQ(rebuilds, 0) << "the rebuild runs on the user-interface thread";
  QCoreApplication::processEvents();
  EXPECT_EQ(rebuilds, 1);
  preview.resetNotice().Notify();  // re-armed after the rebuild
  QCoreApplication::processEvents();
  EXPECT_EQ(rebuilds, 2);
}

TEST(VideoPreview, PreviewSizeCodes) {
  DeviceState state;
  state.REPLY1_FLAG = 1;
  VideoPreview preview(DrawingSurface::Memory, std::string());
  QWidget canvas;
  auto cell = preview.CellFactory()(&canvas, 1, 0);
  ASSERT_TRUE(cell);
  preview.Switch(true);
  preview.RegisterCell(1);
  EXPECT_EQ(preview.context(0).TargetCount(), 1);

  EXPECT_FALSE(preview.SetPreviewSize(2, state));
  EXPECT_EQ(preview.frameSize(), (FrameSize{352, 240}));
  EXPECT_TRUE(preview.context(0).decoding()) << "an unknown code rebuilds nothing";

  ASSERT_TRUE(preview.SetPreviewSize(17, state));
  EXPECT_EQ(preview.frameSize(), (FrameSize{1920, 1080}));
  EXPECT_EQ(preview.context(0).decoderSize(), (FrameSize{1920, 1080}));
  EXPECT_TRUE(preview.context(0).decoding());
  EXPECT_EQ(preview.context(0).TargetCount(), 1) << "the cell is registered again";
  EXPECT_FALSE(preview.context(1).decoding());

  cell.reset();
  EXPECT_EQ(preview.context(0).TargetCount(), 0) << "a destroyed cell leaves the table";
  EXPECT_EQ(preview.Cell(1), nullptr);
  preview.Switch(false);
  EXPECT_FALSE(preview.context(0).decoding());
}

TEST(VideoPreview, WithoutDrawingEverythingElseWorks) {
  EXPECT_EQ(VideoPreview::SurfaceForPlatform(), DrawingSurface::Memory) << "offscreen platform";
  DeviceState state;
  state.REPLY1_FLAG = 1;
  state.block.CHNLDATA[0].CHNLONOFF = 1;
  VideoPreview preview(DrawingSurface::None, std::string());
  QWidget canvas;
  auto cell = preview.CellFactory()(&canvas, 0, 0);
  cell->SetGeometry(0, 0, 100, 60);
  cell->SetLabel("Main : DVI-1");
  preview.Switch(true);
  preview.RegisterCell(0);
  preview.CropLayer(0, state);
  EXPECT_FALSE(preview.Cell(0)->target().built());
  const uint8_t junk[] = {0, 0, 0, 1, 0x65, 0x88, 0x84};
  preview.FeedPacket(0, junk);
  preview.FeedPacket(3, junk);  // a context that never runs
  preview.FeedPacket(7, junk);  // no such context
  EXPECT_TRUE(preview.SetPreviewSize(16, state));
  EXPECT_TRUE(preview.context(0).decoding());
  EXPECT_EQ(preview.context(3).Counters().packetsIgnored, 1u);
}

TEST(VideoWindow, ViewsAndCaptionsFollowTheWindowSize) {
  struct Case {
    int i, width, height;
    Box view, caption;
  };
  const Case cases[] = {
      {0, 820, 626, {10, 46, 400, 280}, {10, 26, 80, 20}},
      {1, 820, 626, {410, 46, 400, 280}, {410, 26, 80, 20}},
      {2, 820, 626, {10, 346, 400, 280}, {10, 326, 80, 20}},
      {3, 320, 250, {160, 158, 150, 92}, {160, 138, 80, 20}},
  };
  for (const auto& c : cases) {
    const ViewPlace p = PlaceView(c.i, c.width, c.height);
    EXPECT_EQ(p.view, c.view) << c.i;
    EXPECT_EQ(p.caption, c.caption) << c.i;
  }
}

TEST(VideoWindow, HitTestFirstMatchWins) {
  struct Case {
    int x, y;
    HitZone zone;
  };
  const Case cases[] = {
      {0, 0, HitZone::TopLeft},      {19, 19, HitZone::TopLeft},       {399, 5, HitZone::TopRight},
      {2, 299, HitZone::BottomLeft}, {399, 299, HitZone::BottomRight}, {1, 100, HitZone::Left},
      {398, 100, HitZone::Right},    {100, 2, HitZone::Top},           {100, 298, HitZone::Bottom},
      {100, 20, HitZone::Caption},   {100, 26, HitZone::Client},       {20, 3, HitZone::Caption},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(HitTest(c.x, c.y, 400, 300), c.zone) << c.x << ", " << c.y;
  }
}

TEST(VideoWindow, CaptionsAndMinimumSize) {
  QWidget page;
  MShowVideoDlg window(&page);
  window.Create();
  EXPECT_EQ(window.minimumSize(), QSize(320, 250));
  for (int i = 0; i < 4; ++i) {
    auto* caption = window.Control(MShowVideoDlg::kFirstCaptionId + i);
    ASSERT_NE(caption, nullptr);
    EXPECT_EQ(caption->property("text").toString(), QStringLiteral("DVI-%1:").arg(i + 1));
  }
}

}  // namespace
}  // namespace orv::preview
