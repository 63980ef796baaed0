// The caption page against a virtual processor over TCP loopback with the
// real library: a typed caption rendered, uploaded in acknowledged chunks and
// reported back; dropped acknowledges resent, then an abandoned upload; a
// hostile BMP refused with a message and no upload; the advanced view read
// back and its edits clamped. With ORV_PAGE_SCREENSHOT=<folder> the page is
// saved in English and Chinese (caption-en.png, caption-zh.png).
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QPainter>

#include <filesystem>
#include <fstream>

#include "CGdipButton.h"
#include "CaptionUpload.h"
#include "ControlChannel.h"
#include "Ini.h"
#include "MSubTitleDlg.h"
#include "MessageIds.h"
#include "MonoBmp.h"
#include "PageRun.h"
#include "PageTable.h"
#include "PageWidgets.h"
#include "Timers.h"

namespace orv::test {
namespace {

namespace fs = std::filesystem;
using D = MSubTitleDlg;

class CaptionRun : public PageRun {
 protected:
  D* Open(int host) {
    Connect(TestIp(host), [](sim::DeviceModel&) {});
    SendMsg(&Window(), UM_PAGE_REQUEST, request::kMiscTab, 0, QVariantList{4, 1});
    D* page = Window().CaptionPage();
    EXPECT_TRUE(page->isVisible());
    return page;
  }
  void Control(const char* line) {
    EXPECT_EQ(sim::ExecuteControlLine(*processor_, line).substr(0, 2), "ok") << line;
  }
  // The bulk chunks the processor received, in order.
  std::vector<sim::ReceivedRequest> Chunks() {
    std::vector<sim::ReceivedRequest> chunks;
    for (const auto& r : processor_->Requests().Entries()) {
      if (r.kind == wire::FrameKind::BulkChunk) chunks.push_back(r);
    }
    return chunks;
  }
  std::vector<uint16_t> CommandTypes() {
    std::vector<uint16_t> types;
    for (const auto& r : processor_->Requests().Entries()) {
      if (r.kind == wire::FrameKind::Command) types.push_back(r.type);
    }
    return types;
  }
  static uint32_t Position(const sim::ReceivedRequest& r) { return wire::GetU32(r.head.data()); }
  bool UploadOver(D* page) {
    return PumpUntil([&] {
      return !page->Upload().Running() && !page->AwaitingStart() && !Window().Wait().Shown();
    });
  }
};

TEST_F(CaptionRun, TypedCaptionUploadedInAcknowledgedChunksAndReportedBack) {
  D* page = Open(60);
  Choose(page->List(D::kCaptionListId), 1);  // caption 2
  ASSERT_TRUE(PumpUntil([&] { return page->CurrentCaption() == 1; }));
  AwaitQuiet();
  processor_->Requests().Clear();

  page->TextEdit()->setFocus();
  QTest::keyClick(page->TextEdit(), Qt::Key_A, Qt::ControlModifier);
  QTest::keyClicks(page->TextEdit(), QStringLiteral("Welcome to the wall - caption 0123456789"));
  const int width = static_cast<int>(page->Edit(D::kWidthEdit)->Value());
  const int height = static_cast<int>(page->Edit(D::kHeightEdit)->Value());
  EXPECT_EQ(width % 4, 0);
  EXPECT_GT(width, 300);
  QTest::mouseClick(page->Button(D::kPreviewButton), Qt::LeftButton);
  ASSERT_TRUE(UploadOver(page));
  AwaitQuiet();

  // Colours (red on black, opaque), motion, the announce, then the chunks.
  EXPECT_EQ(Head(1, 10), (std::vector<uint8_t>{1, 3, 255, 0, 0, 255, 0, 0, 0, 0}));
  EXPECT_EQ(Head(2, 4), (std::vector<uint8_t>{1, 0, 0, 0}));
  EXPECT_EQ(Request(3).type, CAPTION_A);
  EXPECT_EQ(Head(3, 7), (std::vector<uint8_t>{1, 0, static_cast<uint8_t>(width),
                                              static_cast<uint8_t>(width >> 8),
                                              static_cast<uint8_t>(height), 0, 0}));
  const auto chunks = Chunks();
  const int stride = CaptionStride(width);
  ASSERT_EQ(chunks.size(), static_cast<std::size_t>(CaptionChunkCount(width, height)));
  ASSERT_GT(chunks.size(), 1u);
  uint32_t next = 0;
  for (const auto& c : chunks) {
    EXPECT_EQ(Position(c), next);  // in order, each after the acknowledge of the one before
    const uint16_t length = wire::GetU16(c.head.data() + 4);
    EXPECT_LE(length, kCaptionChunkCapacity);
    EXPECT_EQ(length % stride, 0);
    next += length;
  }
  EXPECT_EQ(next, static_cast<uint32_t>(stride * height));
  // Completion: the size and place, the save, and the caption asked for again.
  const std::vector<uint16_t> types = CommandTypes();
  const std::vector<uint16_t> tail(types.end() - 3, types.end());
  EXPECT_EQ(tail, (std::vector<uint16_t>{CAPTION_A, CAPTION_B, GET_CAPTION}));
  const std::size_t n = processor_->Requests().Size();
  EXPECT_EQ(Head(n - 2, 2), (std::vector<uint8_t>{1, 1}));
  EXPECT_EQ(Head(n, 1), (std::vector<uint8_t>{1}));

  // The processor holds the very rows of the caption file.
  EXPECT_EQ(page->CaptionFile(), QString::fromStdString(AppFolder() + "PFile1.BMP"));
  const auto file = ReadMonoBmp(page->CaptionFile().toStdString(), nullptr);
  ASSERT_TRUE(file.has_value());
  const auto held =
      processor_->WithModel([](sim::DeviceModel& m) { return m.Captions().Picture(1); });
  ASSERT_NE(held, nullptr);
  EXPECT_EQ(held->rows, file->rows);
  EXPECT_TRUE(std::any_of(file->rows.begin(), file->rows.end(), [](uint8_t b) { return b != 0; }));
  // The page shows what came back and is usable again.
  EXPECT_EQ(page->CurrentCaption(), 1);
  EXPECT_TRUE(page->Button(D::kSwitch)->IsChecked());
  EXPECT_TRUE(page->isEnabled());
  EXPECT_TRUE(Window().ContentEnabled());
  const auto record = processor_->WithModel([](sim::DeviceModel& m) { return m.captions()[1]; });
  EXPECT_EQ(wire::GetU16(&record[0]), width);
  EXPECT_EQ(record[12], 1);
  EXPECT_EQ(std::memcmp(State()->CAPTION_INFO[1], record.data(), 32), 0);
}

TEST_F(CaptionRun, DroppedAcknowledgeIsResentAndSilenceAbandonsTheUpload) {
  D* page = Open(61);
  Control("caption drop 1");
  // "Welcome" in the starting 600 x 60: four chunks of 17 rows at most.
  QTest::mouseClick(page->Button(D::kPreviewButton), Qt::LeftButton);
  ASSERT_TRUE(PumpUntil([&] { return Chunks().size() == 1; }));
  AwaitQuiet();
  EXPECT_TRUE(page->Upload().Running());
  EXPECT_FALSE(page->isEnabled());
  EXPECT_TRUE(Window().Wait().Shown());
  AdvanceManualTime(D::kAckTimeoutMs);  // no acknowledge: the same chunk again
  ASSERT_TRUE(UploadOver(page));
  const auto sent = Chunks();
  ASSERT_EQ(sent.size(), 5u);
  EXPECT_EQ(sent[0].head, sent[1].head);
  EXPECT_EQ(Position(sent[4]), 3u * 17 * 76);
  EXPECT_TRUE(Boxes().empty());

  // A processor that never acknowledges: three resends, then the message.
  AwaitQuiet();
  processor_->Requests().Clear();
  Control("caption drop 100");
  QTest::mouseClick(page->Button(D::kPreviewButton), Qt::LeftButton);
  ASSERT_TRUE(PumpUntil([&] { return Chunks().size() == 1; }));
  for (int i = 1; i <= kCaptionResendLimit; ++i) {
    AdvanceManualTime(D::kAckTimeoutMs);
    ASSERT_TRUE(PumpUntil([&] { return Chunks().size() == static_cast<std::size_t>(i + 1); }));
  }
  AdvanceManualTime(D::kAckTimeoutMs);
  ASSERT_TRUE(UploadOver(page));
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].text, QStringLiteral("Send Caption Time Out"));
  EXPECT_EQ(Boxes()[0].caption, QStringLiteral("Tips"));
  EXPECT_TRUE(page->isEnabled());
  EXPECT_TRUE(Window().ContentEnabled());
  EXPECT_EQ(Chunks().size(), 4u);

  // A refused announce ends at once.
  Control("caption ok");
  Control("caption refuse on");
  processor_->Requests().Clear();
  QTest::mouseClick(page->Button(D::kPreviewButton), Qt::LeftButton);
  ASSERT_TRUE(UploadOver(page));
  ASSERT_EQ(Boxes().size(), 2u);
  EXPECT_EQ(Boxes()[1].text, QStringLiteral("Caption Invalid"));
  EXPECT_TRUE(Boxes()[1].caption.isEmpty());
  EXPECT_TRUE(Chunks().empty());
  EXPECT_TRUE(page->isEnabled());
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

TEST_F(CaptionRun, HostileBmpGivesAMessageAndNoUpload) {
  D* page = Open(62);
  const std::string folder = AppFolder();
  // A header that promises more rows than the file has.
  std::vector<uint8_t> cut = EncodeMonoBmp(MonoBitmap(64, 40));
  cut.resize(cut.size() - 10);
  WriteBytes(folder + "cut.bmp", cut);
  EXPECT_FALSE(page->TakeBmpFile(QString::fromStdString(folder + "cut.bmp")));
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_TRUE(Boxes()[0].text.contains(QStringLiteral("shorter than its header")));
  EXPECT_FALSE(page->FileMode());

  // A colour picture is taken: converted to one bit, written to the caption file.
  QImage picture(200, 20, QImage::Format_RGB888);
  picture.fill(Qt::black);
  QPainter(&picture).fillRect(10, 5, 30, 10, Qt::white);
  ASSERT_TRUE(picture.save(QString::fromStdString(folder + "picked.bmp"), "BMP"));
  ASSERT_TRUE(page->TakeBmpFile(QString::fromStdString(folder + "picked.bmp")));
  EXPECT_TRUE(page->FileMode());
  EXPECT_EQ(page->Edit(D::kWidthEdit)->Value(), 200);
  EXPECT_EQ(page->Edit(D::kHeightEdit)->Value(), 20);
  const auto mono = ReadMonoBmp(folder + "PFile.BMP", nullptr);
  ASSERT_TRUE(mono.has_value());
  EXPECT_TRUE(mono->Bit(10, 5));
  EXPECT_FALSE(mono->Bit(9, 5));

  // Too large a picture keeps everything as it was.
  QImage(3841, 8, QImage::Format_RGB888).save(QString::fromStdString(folder + "wide.bmp"), "BMP");
  EXPECT_FALSE(page->TakeBmpFile(QString::fromStdString(folder + "wide.bmp")));
  EXPECT_EQ(Boxes().back().text, QStringLiteral("The picture exceeds the 3840*128 limit"));
  EXPECT_EQ(page->Edit(D::kWidthEdit)->Value(), 200);

  // The caption file changed behind the page's back: no announce, no chunk.
  std::vector<uint8_t> deep = EncodeMonoBmp(MonoBitmap(200, 20));
  deep[18] = 20;  // 20 x 20 at eight bits still fits the file
  deep[28] = 8;
  WriteBytes(folder + "PFile.BMP", deep);
  AwaitQuiet();
  processor_->Requests().Clear();
  QTest::mouseClick(page->Button(D::kPreviewButton), Qt::LeftButton);
  EXPECT_TRUE(Boxes().back().text.contains(QStringLiteral("not a one-bit picture")));
  EXPECT_FALSE(Window().Wait().Shown());
  EXPECT_TRUE(page->isEnabled());
  AwaitQuiet();
  EXPECT_EQ(processor_->Requests().Size(), 0u);

  // The picked picture itself goes up, marked as coming from a file.
  ASSERT_TRUE(page->TakeBmpFile(QString::fromStdString(folder + "picked.bmp")));
  QTest::mouseClick(page->Button(D::kPreviewButton), Qt::LeftButton);
  ASSERT_TRUE(UploadOver(page));
  EXPECT_EQ(Request(3).type, CAPTION_A);
  EXPECT_EQ(Request(3).head[6], 1);
  const auto held =
      processor_->WithModel([](sim::DeviceModel& m) { return m.Captions().Picture(0); });
  ASSERT_NE(held, nullptr);
  EXPECT_TRUE(held->Bit(10, 5));
}

// BMP files as two different tools write them (tests/pages/bmp/make-fixtures.py:
// im-* by ImageMagick, py-* by a writer of its own). Every accepted one holds
// the same 24 x 12 picture and becomes the same one-bit caption file; the
// refused ones give the reason and change nothing.
TEST_F(CaptionRun, BmpFilesOfCommonToolsAreTakenAndCompressedOnesRefused) {
  D* page = Open(64);
  MonoBitmap want(24, 12);
  for (int x = 2; x < 10; ++x) want.Set(x, 1, true);
  want.Set(20, 4, true);
  const char* const taken[] = {
      "im-1-v4.bmp",
      "im-1-bmp3.bmp",
      "im-4-v5.bmp",
      "im-8-v5.bmp",
      "im-8-bmp3.bmp",
      "im-24-v5.bmp",
      "im-24-bmp3.bmp",
      "im-32-v5-bitfields.bmp",
      "py-1-info40.bmp",
      "py-1-info40-topdown.bmp",
      "py-4-info40.bmp",
      "py-8-info40.bmp",
      "py-24-info40.bmp",
      "py-24-info40-topdown.bmp",
      "py-24-core12.bmp",
      "py-32-info40.bmp",
      "py-32-info40-bitfields.bmp",
      "py-32-v4-bitfields.bmp",
      "py-32-v5-bitfields-topdown.bmp",
  };
  for (const char* name : taken) {
    SCOPED_TRACE(name);
    fs::remove(AppFolder() + "PFile.BMP");
    const std::size_t boxes = Boxes().size();
    EXPECT_TRUE(page->TakeBmpFile(QStringLiteral(ORV_BMP_FIXTURE_DIR "/") + QLatin1String(name)));
    EXPECT_EQ(Boxes().size(), boxes);
    EXPECT_TRUE(page->FileMode());
    EXPECT_EQ(page->Edit(D::kWidthEdit)->Value(), 24);
    EXPECT_EQ(page->Edit(D::kHeightEdit)->Value(), 12);
    const auto mono = ReadMonoBmp(AppFolder() + "PFile.BMP", nullptr);
    ASSERT_TRUE(mono.has_value());
    EXPECT_EQ(mono->rows, want.rows);
  }

  const QString notUncompressed = QStringLiteral("not an uncompressed BMP picture");
  const struct {
    const char* name;
    QString reason;
  } refused[] = {
      {"bad-im-8-rle8.bmp", notUncompressed},
      {"bad-py-8-rle8.bmp", notUncompressed},
      {"bad-py-4-rle4.bmp", notUncompressed},
      {"bad-py-jpeg-inside.bmp", notUncompressed},
      {"bad-py-png-inside.bmp", notUncompressed},
      {"bad-py-24-bitfields.bmp", notUncompressed},
      {"bad-py-32-info40-bitfields-nomasks.bmp", notUncompressed},
      {"bad-py-24-truncated.bmp", QStringLiteral("shorter than its header says")},
  };
  ShowEditValue(page->Edit(D::kWidthEdit), 600);
  for (const auto& c : refused) {
    SCOPED_TRACE(c.name);
    const std::size_t boxes = Boxes().size();
    EXPECT_FALSE(
        page->TakeBmpFile(QStringLiteral(ORV_BMP_FIXTURE_DIR "/") + QLatin1String(c.name)));
    ASSERT_EQ(Boxes().size(), boxes + 1);
    EXPECT_TRUE(Boxes().back().text.contains(c.reason)) << Boxes().back().text.toStdString();
    EXPECT_EQ(page->Edit(D::kWidthEdit)->Value(), 600);
  }
}

TEST_F(CaptionRun, AdvancedViewShowsTheRecordAndClampsThePlace) {
  D* page = Open(63);
  processor_->WithModel([](sim::DeviceModel& m) {
    std::array<uint8_t, 32> b;
    b.fill(0x55);
    for (auto args : {std::vector<uint8_t>{0, 0, 2, 1},
                      {0, 3, 0, 255, 0, 255, 0, 0, 128, 1},
                      {0, 4, 1, 0, 0, 0}}) {
      std::copy(args.begin(), args.end(), b.begin());
      m.Captions().CaptionB(b);
    }
  });
  QTest::mouseClick(page->Button(D::kAdvanced), Qt::LeftButton);
  EXPECT_EQ(page->height(), D::kOpenedHeight);
  ASSERT_TRUE(PumpUntil([&] { return page->TextColour() == 0x00FF00u; }));
  EXPECT_EQ(page->BackColour(), 0x800000u);
  EXPECT_EQ(page->List(D::kSpeedListId)->GetCurSel(), 2);
  EXPECT_EQ(page->List(D::kDirectionListId)->GetCurSel(), 1);
  EXPECT_EQ(page->List(D::kBackgroundListId)->GetCurSel(), 1);
  EXPECT_EQ(page->Edit(D::kDisplayWidthEdit)->Value(), 1920);
  EXPECT_TRUE(page->Button(D::kFirstOutputToggle)->IsChecked());
  EXPECT_FALSE(page->Button(D::kFirstOutputToggle + 1)->IsChecked());

  // A start of 3000 with a display width of 1920 on a 1920-wide output is lowered to 0.
  Choose(page->List(D::kCaptionListId), 0);  // enables the settings
  AwaitQuiet();
  processor_->Requests().Clear();
  Type(page->Edit(D::kHStartEdit), QStringLiteral("3000"));
  EXPECT_EQ(page->Edit(D::kHStartEdit)->Value(), 0);
  EXPECT_EQ(Head(1, 10), (std::vector<uint8_t>{0, 2, 0, 0, 0, 0, 0x80, 0x07, 0x55, 0x55}));
  // A colour and an output reach the processor's record.
  page->TakeTextColour(0x3366CC);
  EXPECT_EQ(Head(2, 10), (std::vector<uint8_t>{0, 3, 0xCC, 0x66, 0x33, 255, 0, 0, 0x80, 1}));
  QTest::mouseClick(page->Button(D::kFirstOutputToggle + 1), Qt::LeftButton);
  EXPECT_EQ(Head(3, 6), (std::vector<uint8_t>{0, 4, 1, 1, 0, 0}));
  AwaitQuiet();
  const auto held = processor_->WithModel([](sim::DeviceModel& m) { return m.captions()[0]; });
  EXPECT_EQ(wire::GetU32(&held[16]), 0x3366CCu);
  EXPECT_EQ(held[25], 1);

  // Closing the view resets colours and lists and sends nothing.
  AwaitQuiet();
  processor_->Requests().Clear();
  QTest::mouseClick(page->Button(D::kAdvanced), Qt::LeftButton);
  EXPECT_EQ(page->height(), D::kClosedHeight);
  EXPECT_EQ(page->TextColour(), 255u);
  EXPECT_EQ(page->BackColour(), 0u);
  EXPECT_EQ(page->List(D::kSpeedListId)->GetCurSel(), 0);
  AwaitQuiet();
  EXPECT_EQ(processor_->Requests().Size(), 0u);

  QTest::mouseClick(page->Button(D::kAdvanced), Qt::LeftButton);
  ASSERT_TRUE(PumpUntil([&] { return page->TextColour() == 0x3366CCu; }));
  Window().resize(1280, 728);
  SavePicture(Window(), "caption-en.png");
  SendMsg(&Window(), UM_LANGUAGE, 1);
  EXPECT_EQ(page->TitleText(), QStringLiteral("字幕设置"));
  SavePicture(Window(), "caption-zh.png");
}

}  // namespace
}  // namespace orv::test
