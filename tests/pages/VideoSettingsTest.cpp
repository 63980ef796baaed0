// The video settings page against the virtual processor: the encoder's
// report on the page, a quality preset's bytes, and the package upload to the
// processor's encoder peer with each way it can fail. With
// ORV_PAGES_SCREENSHOT=<folder> the page is saved in both languages
// (video-en.png, video-zh.png).
#include <QDir>
#include <QLabel>
#include <QProgressBar>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>

#include "CGdipButton.h"
#include "MVideoSettingDlg.h"
#include "MessageIds.h"
#include "PageRun.h"
#include "PageTable.h"
#include "PageWidgets.h"

namespace orv::test {
namespace {

namespace fs = std::filesystem;
using VideoSettings = PageRun;
using sim::EncoderPeerMode;

TEST(VideoSettingsRules, PresetBytesAndPreviewIndex) {
  EXPECT_EQ(EncoderPresetBytes(kQualityPresets[2]),
            (std::array<uint8_t, 9>{0, 7, 16, 0x18, 0x00, 7, 16, 0x18, 0x00}));
  EXPECT_EQ(EncoderPresetBytes(kQualityPresets[0]),
            (std::array<uint8_t, 9>{0, 15, 21, 4, 0, 15, 21, 4, 0}));
  struct Case {
    int code, index;
  } const cases[] = {{21, 0}, {7, 1}, {16, 2}, {17, 3}, {1, -1}, {19, -1}, {255, -1}};
  for (const auto& c : cases) EXPECT_EQ(PreviewSizeIndex(c.code), c.index) << c.code;
}

void Save(QWidget& window, const QString& name) {
  const QByteArray folder = qgetenv("ORV_PAGES_SCREENSHOT");
  if (folder.isEmpty()) return;
  QDir().mkpath(QString::fromLocal8Bit(folder));
  EXPECT_TRUE(window.grab().save(QString::fromLocal8Bit(folder) + QLatin1Char('/') + name));
}

class VideoSettingsRun : public PageRun {
 protected:
  void SetUp() override {
    PageRun::SetUp();
    dir_ = fs::temp_directory_path() / ("orv-venc-page-" + std::to_string(::getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override {
    PageRun::TearDown();
    fs::remove_all(dir_);
  }
  std::vector<uint8_t> WriteFile(const fs::path& path, std::size_t size) {
    std::vector<uint8_t> bytes(size);
    std::mt19937 random(7);
    for (auto& b : bytes) b = static_cast<uint8_t>(random());
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(size));
    return bytes;
  }
  // Clicks "Update" and pumps until the upload has ended (an encoder that
  // never answers takes the page's full answer time).
  QString Upload(MVideoSettingDlg* page) {
    QTest::mouseClick(page->UpdateButton(), Qt::LeftButton);
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (std::chrono::steady_clock::now() < end &&
           (page->Uploading() || page->Progress()->isVisible())) {
      if (page->Progress()->isVisible()) progressSeen_.insert(page->Progress()->value());
      QCoreApplication::processEvents();
      DeliverPostedMessages();
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_FALSE(page->Progress()->isVisible()) << "the upload never ended";
    return page->StatusText();
  }
  fs::path dir_;
  std::set<int> progressSeen_;
};

TEST_F(VideoSettingsRun, ReportPresetAndUploadWithEachFailure) {
  const std::string ip = TestIp(21);
  ASSERT_NO_FATAL_FAILURE(Connect(ip, [](sim::DeviceModel&) {}));
  MVideoSettingDlg* page = Window().VideoSettingsPage();
  SendMsg(&Window(), UM_PAGE_REQUEST, request::kVideoSettings, 1);
  ASSERT_TRUE(page->isVisible());
  // The read-back's encoder exchange: settings, address, version.
  ASSERT_TRUE(PumpUntil([&] { return page->AddressText() == QString::fromStdString(ip); }));
  ASSERT_TRUE(PumpUntil([&] { return page->VersionText() == QStringLiteral("Version:0102"); }));
  EXPECT_EQ(page->QualityList()->GetCurSel(), 1);  // the processor starts at 640*480

  Choose(page->QualityList(), 2);
  EXPECT_EQ(Request(1).type, SET_VIDEO_ENCODER);
  EXPECT_EQ(Head(1, 9), (std::vector<uint8_t>{0, 7, 16, 0x18, 0x00, 7, 16, 0x18, 0x00}));
  AwaitQuiet();
  const auto setting = processor_->WithModel([](sim::DeviceModel& m) { return m.encoder(); });
  EXPECT_EQ(setting.fps, 7);
  EXPECT_EQ(setting.resolutionCode, 16);
  EXPECT_EQ(setting.kbps, 6144);
  EXPECT_EQ(page->QualityList()->GetCurSel(), 2);

  // Only a file of exactly the package's name is taken.
  const fs::path package = dir_ / "VP_venc.tar.gz";
  const auto bytes = WriteFile(package, 5000000);
  WriteFile(dir_ / "vp_venc.tar.gz", 10);
  EXPECT_FALSE(page->TakePackagePath(QString::fromStdString((dir_ / "vp_venc.tar.gz").string())));
  ASSERT_TRUE(page->TakePackagePath(QString::fromStdString(package.string())));

  sim::EncoderPeer* peer = processor_->Encoder();
  ASSERT_NE(peer, nullptr);
  EXPECT_EQ(Upload(page), UiQText(143));
  ASSERT_TRUE(peer->WaitSessionsEnded(1, std::chrono::seconds(10)));
  EXPECT_EQ(peer->Record().package, bytes);
  EXPECT_EQ(page->Progress()->value(), 100);
  EXPECT_FALSE(progressSeen_.empty()) << "the bar was shown while the file went out";
  Save(Window(), QStringLiteral("video-en.png"));

  // Each failure: a message naming it, the bar gone, the button usable, and
  // the encoder keeps the package it had.
  const QString failure = UiQText(142);
  const EncoderPeerMode modes[] = {EncoderPeerMode::Fail, EncoderPeerMode::Short,
                                   EncoderPeerMode::Close, EncoderPeerMode::Split};
  for (const EncoderPeerMode mode : modes) {
    peer->SetMode(mode);
    const QString status = Upload(page);
    if (mode == EncoderPeerMode::Split)
      EXPECT_EQ(status, UiQText(143)) << "an answer in pieces is still an answer";
    else
      EXPECT_TRUE(status.startsWith(failure + QStringLiteral(": "))) << status.toStdString();
    EXPECT_TRUE(page->UpdateButton()->isEnabled());
  }
  ASSERT_TRUE(peer->WaitSessionsEnded(5, std::chrono::seconds(10)));
  EXPECT_EQ(peer->Record().acknowledged, 2);

  // A second start while one runs is refused with its own message.
  peer->SetMode(EncoderPeerMode::Silent);
  QTest::mouseClick(page->UpdateButton(), Qt::LeftButton);
  ASSERT_TRUE(page->Uploading());
  QTest::mouseClick(page->UpdateButton(), Qt::LeftButton);
  ASSERT_TRUE(PumpUntil([&] { return page->StatusText().startsWith(failure); }));
  EXPECT_TRUE(page->Progress()->isVisible()) << "the running upload keeps its bar";
  EXPECT_TRUE(Upload(page).startsWith(failure));

  // Empty and missing files never reach the encoder.
  const int sessions = peer->Record().sessionsEnded;
  WriteFile(dir_ / "empty" / "VP_venc.tar.gz", 0);
  ASSERT_TRUE(
      page->TakePackagePath(QString::fromStdString((dir_ / "empty" / "VP_venc.tar.gz").string())));
  EXPECT_TRUE(Upload(page).startsWith(failure));
  fs::remove(dir_ / "empty" / "VP_venc.tar.gz");
  EXPECT_TRUE(Upload(page).startsWith(failure));
  EXPECT_EQ(peer->Record().sessionsEnded, sessions);
  EXPECT_EQ(peer->Record().package, bytes);

  SendMsg(&Window(), UM_LANGUAGE, 1);
  EXPECT_EQ(page->TitleText(), QStringLiteral("视频显示设置"));
  EXPECT_TRUE(page->StatusText().startsWith(UiQText(142))) << "the result follows the language";
  Save(Window(), QStringLiteral("video-zh.png"));
}

}  // namespace
}  // namespace orv::test
