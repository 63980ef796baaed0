// The caption page's bytes and arithmetic without a window: the monochrome
// BMP file byte for byte, hostile BMP headers, the chunk plan, the upload's
// order of chunks, acknowledges, resends and abandon against the recording
// library, and the clamps of the page's edits.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "CaptionRules.h"
#include "CaptionUpload.h"
#include "CommandEncoder.h"
#include "DeviceState.h"
#include "FakeCommLibrary.h"
#include "MonoBmp.h"

namespace orv::test {
namespace {

namespace fs = std::filesystem;

TEST(MonoBmp, FileIsByteExact) {
  MonoBitmap b(10, 2);  // stride 4
  b.Set(0, 0, true);    // top row, first pixel
  b.Set(9, 1, true);    // bottom row, tenth pixel
  const std::vector<uint8_t> f = EncodeMonoBmp(b);
  const std::vector<uint8_t> want = {'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 62, 0, 0,
                                     0,  // file header: size 62 + 8,
                                         // offset 62
                                     40, 0, 0, 0, 10, 0, 0, 0, 2, 0, 0, 0, 1, 0, 1,
                                     0,  // size, width, height, planes, bits
                                     0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                     0,                       // compression, image size, resolution
                                     0, 0, 0, 0, 0, 0, 0, 0,  // colour counts
                                     0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0,  // black, white
                                     0x00, 0x40, 0, 0,                 // bottom row first
                                     0x80, 0x00, 0, 0};
  EXPECT_EQ(f, want);
}

struct HeaderCase {
  const char* name;
  int32_t width, height;
  uint16_t bits;
  int64_t cutBytes;  // taken off the end of the file
  BmpProblem parse;
  BmpProblem caption;
};

std::vector<uint8_t> FileWith(const HeaderCase& c) {
  MonoBitmap ok(16, 4);
  std::vector<uint8_t> f = EncodeMonoBmp(ok);
  auto put32 = [&](std::size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) f[at + i] = static_cast<uint8_t>(v >> (8 * i));
  };
  put32(18, static_cast<uint32_t>(c.width));
  put32(22, static_cast<uint32_t>(c.height));
  f[28] = static_cast<uint8_t>(c.bits);
  f.resize(static_cast<std::size_t>(static_cast<int64_t>(f.size()) - c.cutBytes));
  return f;
}

TEST(MonoBmp, HostileHeadersAreRefusedWithTheirReason) {
  const HeaderCase cases[] = {
      {"good", 16, 4, 1, 0, BmpProblem::None, BmpProblem::None},
      {"truncated", 16, 4, 1, 1, BmpProblem::Truncated, BmpProblem::Truncated},
      {"zero height", 16, 0, 1, 0, BmpProblem::BadHeight, BmpProblem::BadHeight},
      {"top-down", 16, -4, 1, 0, BmpProblem::None, BmpProblem::None},
      {"lowest height", 16, INT32_MIN, 1, 0, BmpProblem::BadHeight, BmpProblem::BadHeight},
      {"zero width", 0, 4, 1, 0, BmpProblem::BadWidth, BmpProblem::BadWidth},
      {"eight bits", 4, 4, 8, 0, BmpProblem::None, BmpProblem::NotOneBit},
      {"odd depth", 16, 4, 3, 0, BmpProblem::NotBmp, BmpProblem::NotBmp},
      // 20000 pixels: wider than a chunk holds and than a caption may be.
      {"wide", 20000, 1, 1, -2500, BmpProblem::None, BmpProblem::TooLarge},
      {"huge claim", 0x7FFFFFFF, 0x7FFFFFFF, 1, 0, BmpProblem::Truncated, BmpProblem::Truncated},
  };
  const std::string path = (fs::temp_directory_path() / "orv-caption-hostile.bmp").string();
  for (const HeaderCase& c : cases) {
    const std::vector<uint8_t> f = FileWith(c);
    EXPECT_EQ(ParseBmpHeader(f, f.size(), nullptr), c.parse) << c.name;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(f.data()), static_cast<std::streamsize>(f.size()));
    BmpProblem problem = BmpProblem::None;
    EXPECT_EQ(CaptionBmpFile::Open(path, &problem) != nullptr, c.caption == BmpProblem::None);
    EXPECT_EQ(problem, c.caption) << c.name;
  }
  const std::vector<uint8_t> notBmp(80, 'x');
  EXPECT_EQ(ParseBmpHeader(notBmp, notBmp.size(), nullptr), BmpProblem::NotBmp);
  EXPECT_EQ(ParseBmpHeader(std::span(notBmp).first(20), 20, nullptr), BmpProblem::NotBmp);
  BmpProblem missing = BmpProblem::None;
  EXPECT_EQ(CaptionBmpFile::Open(path + ".none", &missing), nullptr);
  EXPECT_EQ(missing, BmpProblem::CannotOpen);
  fs::remove(path);
}

// A one-bit file whose rows are stored top-down reads in picture order.
TEST(MonoBmp, TopDownRowsReadInPictureOrder) {
  MonoBitmap picture(16, 3);
  picture.Set(0, 0, true);
  picture.Set(15, 2, true);
  std::vector<uint8_t> f = EncodeMonoBmp(picture);
  const std::size_t stride = 4;
  for (int y = 0; y < picture.height; ++y) {  // top row first
    std::copy_n(picture.rows.begin() + static_cast<std::ptrdiff_t>(y * stride), stride,
                f.begin() + static_cast<std::ptrdiff_t>(kMonoBmpHeaderBytes + y * stride));
  }
  const uint32_t height = static_cast<uint32_t>(-3);
  for (int i = 0; i < 4; ++i) f[22 + i] = static_cast<uint8_t>(height >> (8 * i));
  const std::string path = (fs::temp_directory_path() / "orv-caption-topdown.bmp").string();
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(f.data()), static_cast<std::streamsize>(f.size()));
  BmpProblem problem = BmpProblem::NotBmp;
  const auto read = ReadMonoBmp(path, &problem);
  fs::remove(path);
  ASSERT_TRUE(read.has_value());
  EXPECT_EQ(read->height, 3);
  EXPECT_EQ(read->rows, picture.rows);
}

TEST(CaptionChunks, PlanOfWholeRows) {
  struct Case {
    int width, height, stride, rows, chunks;
  } const cases[] = {
      {3840, 128, 480, 2, 64},  // two rows a chunk, the largest picture
      {600, 60, 76, 17, 4},
      {32, 1, 4, 1, 1},      // everything in one chunk
      {64, 100, 8, 100, 1},  // all rows fit: one chunk
      {10752, 1, 1344, 1, 1},
      {10753, 1, 1348, 0, 0},  // a row wider than a chunk: nothing can be sent
      {0, 10, 0, 0, 0},
  };
  for (const Case& c : cases) {
    if (c.width > 0) {
      EXPECT_EQ(CaptionStride(c.width), c.stride) << c.width;
    }
    EXPECT_EQ(CaptionRowsPerChunk(c.width, c.height), c.rows) << c.width;
    EXPECT_EQ(CaptionChunkCount(c.width, c.height), c.chunks) << c.width;
  }
}

// Rows whose first byte is the row number (1 = top).
class NumberedRows : public CaptionRows {
 public:
  NumberedRows(int w, int h) : w_(w), h_(h) {}
  int Width() const override { return w_; }
  int Height() const override { return h_; }
  bool ReadRow(int n, std::span<uint8_t> out) override {
    std::fill(out.begin(), out.end(), uint8_t{0});
    out[0] = static_cast<uint8_t>(n);
    return true;
  }

 private:
  int w_, h_;
};

class Upload : public ::testing::Test {
 protected:
  void SetUp() override { SetCommLibrary(&library); }
  void TearDown() override { SetCommLibrary(nullptr); }
  FakeCommLibrary library;
  CaptionUpload upload;
};

TEST_F(Upload, LargestPictureInSixtyFourAcknowledgedChunks) {
  using Step = CaptionUpload::Step;
  ASSERT_EQ(upload.Begin(std::make_unique<NumberedRows>(3840, 128), false), Step::Sent);
  for (int chunk = 0; chunk < 63; ++chunk) {
    // An acknowledge for another offset changes nothing.
    EXPECT_EQ(upload.Acknowledged(upload.InFlightOffset() + 480), Step::Ignored);
    ASSERT_EQ(upload.Acknowledged(static_cast<uint32_t>(chunk) * 960), Step::Sent);
  }
  EXPECT_EQ(upload.Acknowledged(63 * 960), Step::Complete);
  EXPECT_FALSE(upload.Running());
  const auto sends = library.BulkSends();
  ASSERT_EQ(sends.size(), 64u);
  for (std::size_t i = 0; i < sends.size(); ++i) {
    EXPECT_EQ(sends[i].position, i * 960);
    EXPECT_EQ(sends[i].length, 960);
    EXPECT_EQ(sends[i].bytes[0], 2 * i + 1);  // rows top to bottom
    EXPECT_EQ(sends[i].bytes[480], 2 * i + 2);
  }
  EXPECT_EQ(sends.back().bytes[480], 128);  // the last chunk ends with the bottom row
}

TEST_F(Upload, SwapInvertsEveryByteSent) {
  upload.Begin(std::make_unique<NumberedRows>(32, 2), true);
  const auto sent = library.BulkSends().at(0).bytes;
  EXPECT_EQ(sent, (std::vector<uint8_t>{0xFE, 0xFF, 0xFF, 0xFF, 0xFD, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(upload.Acknowledged(0), CaptionUpload::Step::Complete);  // one chunk held it all
}

TEST_F(Upload, ThreeResendsPerUploadThenAbandon) {
  using Step = CaptionUpload::Step;
  for (int run = 0; run < 2; ++run) {  // the count starts again with each upload
    library.ClearRecords();
    upload.Begin(std::make_unique<NumberedRows>(3840, 4), false);
    EXPECT_EQ(upload.TimedOut(), Step::Sent);
    EXPECT_EQ(upload.Acknowledged(0), Step::Sent);  // the second chunk
    EXPECT_EQ(upload.TimedOut(), Step::Sent);
    EXPECT_EQ(upload.TimedOut(), Step::Sent);
    EXPECT_EQ(upload.TimedOut(), Step::Abandoned);
    EXPECT_FALSE(upload.Running());
    const auto sends = library.BulkSends();
    ASSERT_EQ(sends.size(), 5u);
    EXPECT_EQ(sends[0].bytes, sends[1].bytes);  // a resend is the same chunk
    EXPECT_EQ(sends[4].position, 960u);
    EXPECT_EQ(sends[4].bytes, sends[2].bytes);
  }
  EXPECT_EQ(upload.TimedOut(), Step::Ignored);
}

TEST_F(Upload, RowsWiderThanAChunkAreNeverSent) {
  EXPECT_EQ(upload.Begin(std::make_unique<NumberedRows>(20000, 1), false),
            CaptionUpload::Step::Failed);
  EXPECT_TRUE(library.BulkSends().empty());
}

TEST(CaptionRules, EditClamps) {
  struct Case {
    CaptionEdit edit;
    int value;
    CaptionPlace place;
    int want;
  } const cases[] = {
      {CaptionEdit::HStart, 3000, {1920, 1080, 0, 0, 1920, 600, 60}, 0},
      {CaptionEdit::HStart, 500, {1920, 1080, 0, 0, 600, 600, 60}, 500},
      {CaptionEdit::HStart, 1500, {1920, 1080, 0, 0, 600, 600, 60}, 1320},
      {CaptionEdit::VStart, 1070, {1920, 1080, 0, 0, 600, 600, 60}, 1020},
      {CaptionEdit::DisplayWidth, 1920, {1920, 1080, 1000, 0, 600, 600, 60}, 920},
      {CaptionEdit::DisplayWidth, 600, {1280, 720, 1280, 0, 600, 600, 60}, 1},
      {CaptionEdit::Width, 3840, {1920, 1080, 100, 0, 600, 600, 60}, 3740},
      {CaptionEdit::Height, 128, {1920, 1080, 0, 1000, 600, 600, 60}, 80},
      {CaptionEdit::Height, 128, {1920, 1080, 0, 1075, 600, 600, 60}, 10},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ClampCaptionEdit(c.edit, c.value, c.place), c.want) << static_cast<int>(c.edit);
  }
  EXPECT_EQ(RoundUpToFour(97), 100);
  EXPECT_EQ(PreviewDragLimit(1000, 596, false), 404);
  EXPECT_EQ(PreviewDragLimit(1000, 596, true), 205);
  EXPECT_EQ(PreviewDragLimit(100, 596, false), 0);
}

}  // namespace
}  // namespace orv::test
