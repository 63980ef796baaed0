// The preview core without a display: rings, threads, the decoder adapter
// on a real stream from the virtual processor's encoder, and the geometry.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <random>
#include <thread>

#include "DecoderContext.h"
#include "H264Encoder.h"
#include "PacketRing.h"
#include "PreviewGeometry.h"

namespace orv::preview {
namespace {

using namespace std::chrono_literals;

// Records the pictures the render thread draws.
class RecordingTarget : public PreviewTarget {
 public:
  void Draw(const FramePicture& picture) override {
    std::lock_guard lock(mutex_);
    ++count_;
    last_ = picture;
    changed_.notify_all();
  }
  // The last picture once `count` were drawn, or none after 10 s.
  std::optional<FramePicture> WaitFor(int count) {
    std::unique_lock lock(mutex_);
    if (!changed_.wait_for(lock, 10s, [&] { return count_ >= count; })) return std::nullopt;
    return last_;
  }
  int count() {
    std::lock_guard lock(mutex_);
    return count_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  int count_ = 0;
  FramePicture last_;
};

// Access units of a flat picture of one colour, each with a trailing delimiter.
std::vector<std::vector<uint8_t>> EncodeFlat(int width, int height, int frames, uint8_t y) {
  sim::EncoderSettings settings{width, height, 30, 2000};
  std::string error;
  auto encoder = sim::H264Encoder::Open(settings, &error);
  EXPECT_TRUE(encoder) << error;
  std::vector<std::vector<uint8_t>> units;
  if (!encoder) return units;
  sim::YuvImage picture;
  picture.Resize(width, height);
  std::fill(picture.y.begin(), picture.y.end(), y);
  for (int i = 0; i < frames; ++i) {
    auto unit = encoder->Encode(picture);
    unit.insert(unit.end(), {0, 0, 0, 1, 0x09, 0xF0});
    units.push_back(std::move(unit));
  }
  return units;
}

void FeedInPieces(DecoderContext& context, const std::vector<uint8_t>& unit, std::size_t piece) {
  for (std::size_t at = 0; at < unit.size(); at += piece) {
    context.FeedPacket(std::span(unit).subspan(at, std::min(piece, unit.size() - at)));
  }
}

TEST(PacketRing, FullRingDropsTheNewestAndKeepsOrder) {
  PacketRing ring;
  for (int i = 0; i < kPacketSlots; ++i) {
    const uint8_t b = static_cast<uint8_t>(i);
    ASSERT_TRUE(ring.Push(std::span(&b, 1)));
  }
  const uint8_t late = 0xEE;
  EXPECT_FALSE(ring.Push(std::span(&late, 1)));
  ASSERT_NE(ring.Front(), nullptr);
  EXPECT_EQ(ring.Front()->bytes.at(0), 0);
  ring.Pop();
  EXPECT_TRUE(ring.Push(std::span(&late, 1)));
  for (int i = 1; i < kPacketSlots; ++i) {
    ASSERT_NE(ring.Front(), nullptr);
    EXPECT_EQ(ring.Front()->bytes.at(0), i);
    ring.Pop();
  }
  EXPECT_EQ(ring.Front()->bytes.at(0), 0xEE);
  ring.Clear();
  EXPECT_EQ(ring.Front(), nullptr);
}

TEST(DecoderContext, PacketsWithoutARunningDecoderAreIgnored) {
  DecoderContext context;
  const uint8_t b[3] = {0, 0, 1};
  context.FeedPacket(b);
  context.FeedPacket({});
  const auto c = context.Counters();
  EXPECT_EQ(c.packetsIgnored, 1u);
  EXPECT_EQ(c.packetsDroppedInvalid, 1u);
  EXPECT_EQ(c.packetsFed, 0u);
}

TEST(DecoderContext, DecodesAStreamCutIntoWirePiecesAndDrawsItToEveryTarget) {
  const auto units = EncodeFlat(352, 240, 10, 200);
  ASSERT_FALSE(units.empty());
  RecordingTarget cell, view;
  DecoderContext context;
  context.Start();
  ASSERT_TRUE(context.decoding());
  ASSERT_TRUE(context.RegisterTarget(&cell, TargetKind::Cell));
  ASSERT_TRUE(context.RegisterTarget(&cell, TargetKind::Cell));
  ASSERT_TRUE(context.RegisterTarget(&view, TargetKind::View));
  EXPECT_EQ(context.TargetCount(), 2);
  for (const auto& unit : units) FeedInPieces(context, unit, 1000);
  const auto picture = cell.WaitFor(1);
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->width, 352);
  EXPECT_EQ(picture->height, 240);
  EXPECT_NEAR(picture->y[picture->lumaStride * 120 + 176], 200, 3);
  EXPECT_TRUE(view.WaitFor(1));
  context.Stop();
  EXPECT_EQ(context.TargetCount(), 0);
  EXPECT_FALSE(context.decoding());
}

TEST(DecoderContext, APictureOfAnotherSizeThanTheDecoderWasMadeForIsKept) {
  // Odd height: chroma has (h + 1) / 2 rows.
  const auto units = EncodeFlat(640, 362, 3, 90);
  RecordingTarget target;  // outlives the context that draws into it
  DecoderContext context;  // made for 352 x 240
  context.Start();
  context.RegisterTarget(&target, TargetKind::Cell);
  for (const auto& unit : units) context.FeedPacket(unit);
  const auto picture = target.WaitFor(1);
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->width, 640);
  EXPECT_EQ(picture->height, 362);
  EXPECT_EQ(picture->u.size(), static_cast<std::size_t>(picture->chromaStride) * 181);
}

TEST(DecoderContext, StopWhileFeedingAndRestartFromEmpty) {
  const auto units = EncodeFlat(352, 240, 30, 60);
  RecordingTarget target;
  DecoderContext context;
  std::atomic<bool> done{false};
  std::thread feeder([&] {
    std::size_t i = 0;
    while (!done.load()) context.FeedPacket(units[i++ % units.size()]);
  });
  for (int round = 0; round < 40; ++round) {
    context.Start();
    std::this_thread::yield();
    context.Stop();
  }
  done = true;
  feeder.join();
  const auto before = context.Counters();
  EXPECT_GT(before.packetsIgnored + before.packetsFed, 0u);

  // A fresh start decodes from an empty ring: the first unit is an IDR again.
  context.Start();
  context.RegisterTarget(&target, TargetKind::Cell);
  for (const auto& unit : units) context.FeedPacket(unit);
  ASSERT_TRUE(target.WaitFor(1));
  context.Stop();
}

TEST(DecoderContext, CorruptPacketsAreDroppedAndTheStreamRecovers) {
  const auto units = EncodeFlat(352, 240, 30, 150);
  RecordingTarget target;
  DecoderContext context;
  context.Start();
  context.RegisterTarget(&target, TargetKind::Cell);
  std::mt19937 rng(15);
  std::vector<uint8_t> junk;
  for (int i = 0; i < 3000; ++i) {
    junk.resize(1 + rng() % 4095);
    for (auto& b : junk) b = static_cast<uint8_t>(rng());
    if (i % 3 == 0)
      std::copy_n(units[i % units.size()].begin(), std::min<std::size_t>(8, junk.size()),
                  junk.begin());
    if (i % 7 == 0) junk.assign(units[0].begin(), units[0].begin() + units[0].size() / 2);
    context.FeedPacket(junk);
    if (i % 90 == 0) std::this_thread::sleep_for(1ms);  // let the ring drain
  }
  std::vector<uint8_t> huge(kMaxPacketBytes + 1, 0);
  context.FeedPacket(huge);
  // The ring may still be full of junk, dropping what comes: the stream is
  // sent again, from its keyframe, until a picture shows (10 s at most).
  const int drawnBefore = target.count();
  const auto deadline = std::chrono::steady_clock::now() + 10s;
  bool recovered = false;
  while (!recovered && std::chrono::steady_clock::now() < deadline) {
    for (const auto& unit : units) FeedInPieces(context, unit, 4095);
    for (int i = 0; i < 50 && !recovered; ++i) {
      std::this_thread::sleep_for(2ms);
      recovered = target.count() > drawnBefore;
    }
  }
  const auto c = context.Counters();
  EXPECT_TRUE(recovered) << "fed " << c.packetsFed << " full " << c.packetsDroppedFull << " units "
                         << c.decoder.accessUnits << " rejected " << c.decoder.rejectedUnits
                         << " pictures " << c.decoder.pictures;
  EXPECT_GT(c.packetsDroppedFull + c.decoder.rejectedUnits, 0u);
  EXPECT_EQ(c.packetsDroppedInvalid, 1u);
  context.Stop();
}

TEST(DecoderContext, StopReturnsWhileTheDecoderIsBusy) {
  const auto units = EncodeFlat(1920, 1080, 5, 100);
  DecoderContext context;
  context.Start();
  for (int r = 0; r < 20; ++r) {
    for (const auto& unit : units) FeedInPieces(context, unit, 4095);
  }
  const auto begin = std::chrono::steady_clock::now();
  context.Stop();
  EXPECT_LT(std::chrono::steady_clock::now() - begin, 5s);
}

TEST(DecoderAdapter, MutatedStreamsGiveSanePicturesOrNone) {
  const auto units = EncodeFlat(352, 240, 12, 120);
  ASSERT_FALSE(units.empty());
  std::mt19937 rng(1515);
  for (int round = 0; round < 60; ++round) {
    const auto record = MakeCreateRecord(352, 240);
    DecoderHandle decoder = Hi264DecCreate(&record);
    ASSERT_NE(decoder, nullptr);
    for (auto unit : units) {
      // A few bytes changed after the start code, a few cut off the end.
      const int flips = 1 + static_cast<int>(rng() % 6);
      for (int f = 0; f < flips && unit.size() > 5; ++f)
        unit[5 + rng() % (unit.size() - 5)] ^= static_cast<uint8_t>(1 + rng() % 255);
      if (rng() % 4 == 0) unit.resize(unit.size() - rng() % unit.size());
      DecodedPicture picture;
      int calls = 0;
      int r = Hi264DecFrame(decoder, unit.data(), static_cast<uint32_t>(unit.size()), 0, 0,
                            &picture, 0);
      while (r == kDecodePicture) {
        ASSERT_LT(++calls, 100) << "the call-again loop ends";
        EXPECT_TRUE(picture.y && picture.u && picture.v);
        EXPECT_LE(picture.width, static_cast<uint32_t>(kMaxPictureWidth));
        EXPECT_LE(picture.height, static_cast<uint32_t>(kMaxPictureHeight));
        EXPECT_GE(picture.lumaStride, picture.width);
        r = Hi264DecFrame(decoder, nullptr, 0, 0, 0, &picture, 0);
      }
      EXPECT_EQ(r, kDecodeNeedData);
    }
    DecodedPicture picture;
    int r = Hi264DecFrame(decoder, nullptr, 0, 0, 0, &picture, 1);
    while (r == kDecodePicture) r = Hi264DecFrame(decoder, nullptr, 0, 0, 0, &picture, 1);
    EXPECT_EQ(r, kDecodeFlushed);
    Hi264DecDestroy(decoder);
  }
}

TEST(DecoderAdapter, CreationRecordInBlocks) {
  struct Case {
    int width, height, blocksW, blocksH;
  };
  for (const Case c :
       {Case{352, 240, 22, 15}, Case{1920, 1080, 120, 68}, Case{0, 0, 0, 0}, Case{17, 1, 2, 1}}) {
    const auto r = MakeCreateRecord(c.width, c.height);
    EXPECT_EQ(r.widthBlocks, c.blocksW);
    EXPECT_EQ(r.heightBlocks, c.blocksH);
    EXPECT_EQ(r.blockSize, 16);
  }
}

TEST(PreviewGeometry, FrameSizeOfCode) {
  EXPECT_EQ(FrameSizeOfCode(17), (FrameSize{1920, 1080}));
  EXPECT_EQ(FrameSizeOfCode(1), (FrameSize{352, 240}));
  EXPECT_EQ(FrameSizeOfCode(21), (FrameSize{480, 270}));
  EXPECT_FALSE(FrameSizeOfCode(2));
  EXPECT_FALSE(FrameSizeOfCode(0));
}

TEST(PreviewGeometry, LayerCropPerMode) {
  struct Case {
    const char* name;
    uint8_t mode, pgm, pvw;
    int mosaicMode, autoArr;
    int layer;
    std::optional<int> quadrant;
  };
  const Case cases[] = {
      {"mode 0: own quadrant", 0, 0, 0, 0, 0, 2, 2},
      {"mode 0: auto arrangement 3 moves layer 3", 0, 0, 0, 0, 3, 3, 1},
      {"mode 0: mosaic 3 swaps layers 1 and 2", 0, 0, 0, 3, 0, 1, 2},
      {"mode 0: mosaic 3 swaps layers 1 and 2 (2)", 0, 0, 0, 3, 0, 2, 1},
      {"mode 1: program", 1, 1, 0, 0, 0, 3, 1},
      {"mode 1: preview", 1, 0, 0, 0, 0, 3, 0},
      {"mode 2: program left", 2, 1, 0, 0, 0, 2, 2},
      {"mode 2: program right", 2, 1, 1, 0, 0, 1, 3},
      {"mode 2: preview left", 2, 0, 1, 0, 0, 0, 0},
      {"mode 2: preview right", 2, 0, 1, 0, 0, 3, 1},
      {"mode 2: neither keeps the crop", 2, 0, 0, 0, 0, 1, std::nullopt},
  };
  for (const auto& c : cases) {
    DeviceState state;
    state.block.PVWMODEINFO.PVWMODE = c.mode;
    state.block.PVWMODEINFO.PGMSTATE[c.layer] = c.pgm;
    state.block.PVWMODEINFO.PVWSTATE[c.layer] = c.pvw;
    state.block.MOSAICSETT.MOSAICMODE = c.mosaicMode;
    state.block.MOSAICSETT.MOSAICAUTOARR = c.autoArr;
    EXPECT_EQ(QuadrantOfLayer(state, c.layer), c.quadrant) << c.name;
  }
}

TEST(PreviewGeometry, LayerCropScalesTheWindowIntoItsQuadrant) {
  DeviceState state;
  state.block.OUTPUTRESO.HRESO = 1920;
  state.block.OUTPUTRESO.VRESO = 1080;
  state.block.CHNLDATA[1] = ChannelData{1, 255, 2, 0, 1280, 60, 576, 324, 0};
  // 352 x 240: quadrant 1 at (176, 0), 176 x 120.
  EXPECT_EQ(LayerCrop(state, 1, {352, 240}), (PixelRect{176 + 117, 7, 53, 36}));
  // Rounding: 1 x 176 / 1920 = 0.09 -> 0; 11 x 176 / 1920 = 1.008 -> 1.
  state.block.CHNLDATA[0] = ChannelData{1, 255, 0, 0, 11, 0, 1, 1920, 0};
  EXPECT_EQ(LayerCrop(state, 0, {352, 240}), (PixelRect{1, 0, 0, 213}));

  // The logo window for layer 3, vertical parts with integer division.
  state.block.LOGOINFO.LOGOUSAGE = 1;
  state.LOGO_EDIT_ID = 2;
  state.block.LOGOINFO.HPOS[2] = 960;
  state.block.LOGOINFO.HACT[2] = 480;
  state.block.LOGOINFO.VPOS[2] = 539;
  state.block.LOGOINFO.VACT[2] = 100;
  EXPECT_EQ(LayerCrop(state, 3, {352, 240}), (PixelRect{176 + 88, 120 + 59, 44, 11}));

  // No output size: the whole quadrant, no division by zero.
  state.block.OUTPUTRESO.HRESO = 0;
  EXPECT_EQ(LayerCrop(state, 1, {352, 240}), (PixelRect{176, 0, 176, 120}));
  state.block.OUTPUTRESO = {};
  EXPECT_EQ(LayerCrop(state, 2, {0, 0}), (PixelRect{0, 0, 0, 0}));
}

}  // namespace
}  // namespace orv::preview
