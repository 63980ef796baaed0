// The misc page and the media player page: their rules against the recording
// library, bad project files, and one run against a virtual processor that
// saves a project, changes the device, opens the project again and writes it
// back.
#include <QApplication>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string_view>

#include "CGdipButton.h"
#include "FileChooser.h"
#include "LinkSupervisor.h"
#include "MKeyerDlg.h"
#include "MMediaPlayerDlg.h"
#include "MMiscDlg.h"
#include "MTstPatternDlg.h"
#include "MessageBox.h"
#include "MessageIds.h"
#include "Orv_FeatherDlg.h"
#include "PageRun.h"
#include "PageWidgets.h"
#include "ParamBlock.h"
#include "ParamFields.h"
#include "ProjectReview.h"
#include "ReviewDialog.h"
#include "Skin.h"

namespace orv::test {
namespace {

using MiscRules = MainWindowTest;
using MediaRules = MainWindowTest;
class MiscRun : public PageRun {
 protected:
  // Waits for the review of "Set Data To Machine".
  ReviewDialog* AwaitReview() {
    ProjectReview* review = Window().Review();
    if (!PumpUntil([review] { return review->Dialog() != nullptr; })) return nullptr;
    return review->Dialog();
  }
  // "Send All" on the review, then the write and its check; returns the
  // check's message.
  QString SendAllAfterReview() {
    ReviewDialog* dialog = AwaitReview();
    if (dialog == nullptr) return QStringLiteral("no review");
    const std::size_t boxes = Boxes().size();
    QTest::mouseClick(dialog->SendButton(), Qt::LeftButton);
    if (!PumpUntil([&] { return Boxes().size() > boxes; })) return QStringLiteral("no check");
    return Boxes().back().text;
  }
};

void Click(QWidget* w) {
  QTest::mouseClick(w, Qt::LeftButton);
  DeliverPostedMessages();
}

// Answers every file dialog with `path` while alive.
class ScopedChooser {
 public:
  explicit ScopedChooser(const std::string& path)
      : previous_(SetFileChooser([this](QWidget*, const FileRequest& r) {
          requests_.push_back(r);
          return QString::fromStdString(path_);
        })),
        path_(path) {}
  ~ScopedChooser() { SetFileChooser(previous_); }
  void Use(const std::string& path) { path_ = path; }
  const std::vector<FileRequest>& Requests() const { return requests_; }

 private:
  FileChooser previous_;
  std::string path_;
  std::vector<FileRequest> requests_;
};

MMiscDlg* ShowMisc(OrvDlg& window) {
  window.ShowPageByIndex(9, false);
  DeliverPostedMessages();
  return window.MiscPage();
}

TEST_F(MiscRules, FactoryResetNeedsTheStepsInOrderAndAnyReleaseStartsAgain) {
  MMiscDlg* page = ShowMisc(Window());
  Click(page->ResetStep(1));  // "2>" before "1>"
  EXPECT_FALSE(page->ResetStep(1)->IsChecked());
  for (int k = 0; k < 3; ++k) Click(page->ResetStep(k));
  EXPECT_TRUE(page->ResetStep(2)->IsChecked());
  Click(page->ResetStep(2));  // releasing "3>" releases all five
  for (int k = 0; k < MMiscDlg::kResetSteps; ++k) EXPECT_FALSE(page->ResetStep(k)->IsChecked());
  Click(page->ResetStep(1));
  EXPECT_FALSE(page->ResetStep(1)->IsChecked());
  EXPECT_TRUE(Library().TypedSendsOf(FACTORY_RESET).empty());

  for (int k = 0; k < MMiscDlg::kResetSteps; ++k) Click(page->ResetStep(k));
  EXPECT_EQ(Library().TypedSendsOf(FACTORY_RESET).size(), 1u);
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].text, QStringLiteral("Restart The Machine"));
  EXPECT_EQ(Boxes()[0].caption, QStringLiteral("Tips"));
  for (int k = 0; k < MMiscDlg::kResetSteps; ++k) EXPECT_FALSE(page->ResetStep(k)->IsChecked());
}

TEST_F(MiscRules, SystemInformationTexts) {
  struct Case {
    uint16_t voltage;
    uint8_t version2Valid;
    const char* shown;
  };
  const Case cases[] = {
      {1205, 0, "Video Processor\nVersion:Q20S-   2-  1f-1234\nsystem Voltage:12.05 V"},
      {5, 1, "Video Processor\nVersion:Q20S-   2-  1f-1234\nVersion2:  a0\nsystem Voltage:0.05 V"},
  };
  for (const Case& c : cases) {
    SysInfo info{};
    info.VOLTAGE = c.voltage;
    std::memcpy(info.MODEL_TAG, "Q20S", 4);
    info.VERSION[0] = 2;
    info.VERSION[1] = 0x1F;
    info.VERSION[2] = 0x1234;
    info.VERSION2 = 0xA0;
    info.VERSION2_VALID = c.version2Valid;
    EXPECT_EQ(MMiscDlg::SystemInfoText(info), QString::fromLatin1(c.shown));
  }
  EXPECT_EQ(Window().MiscPage()->ProgramInfoShown(),
            QStringLiteral("Q20 VideoProcessor,1.27\nSysDLL:1.00"));
}

TEST_F(MiscRules, TabsLanguageAndTheThreeWindows) {
  MMiscDlg* page = ShowMisc(Window());
  const std::size_t sent = Library().TypedSends().size();
  Click(page->Tab(0));  // the current tab changes nothing
  EXPECT_EQ(page->CurrentTab(), 0);
  Click(page->Tab(2));
  EXPECT_TRUE(Window().TestPatternPage()->isVisible());
  EXPECT_TRUE(page->Tab(2)->IsChecked());
  EXPECT_FALSE(page->Tab(0)->IsChecked());
  Click(page->Tab(1));
  EXPECT_TRUE(Window().KeyerPage()->isVisible());
  EXPECT_FALSE(Window().TestPatternPage()->isVisible());

  // The current language label sends nothing.
  Click(page->LanguageLabel(MMiscDlg::kEnglishLabel));
  EXPECT_EQ(page->CurrentLanguageLabel(), MMiscDlg::kEnglishLabel);
  EXPECT_EQ(Library().TypedSends().size(), sent);

  // "Feathering" twice: shown, orange, then hidden, grey.
  CGdipButton* feather = page->WindowButton(MMiscDlg::kFeatherWindow);
  Click(feather);
  EXPECT_TRUE(Window().FeatherPage()->isVisible());
  EXPECT_EQ(feather->TextColor(), skin::kOrange);
  Click(page->WindowButton(MMiscDlg::kMediaWindow));  // the others give way
  EXPECT_FALSE(Window().FeatherPage()->isVisible());
  EXPECT_FALSE(feather->IsChecked());
  EXPECT_TRUE(Window().MediaPlayerPage()->isVisible());
  Click(feather);
  Click(feather);
  EXPECT_FALSE(Window().FeatherPage()->isVisible());
  EXPECT_EQ(feather->TextColor(), skin::kText);

  // Closed by its own button, the window releases its misc button; the misc
  // page stays.
  Click(feather);
  Window().FeatherPage()->ClosePage();
  DeliverPostedMessages();
  EXPECT_FALSE(feather->IsChecked());
  EXPECT_TRUE(page->isVisible());

  // Hiding the misc page hides its sub-page and windows.
  Click(feather);
  Window().ShowPageByIndex(9, true);
  DeliverPostedMessages();
  EXPECT_FALSE(Window().KeyerPage()->isVisible());
  EXPECT_FALSE(Window().FeatherPage()->isVisible());
  EXPECT_FALSE(feather->IsChecked());
}

TEST_F(MiscRules, ABadProjectFileIsRefusedAndChangesNothing) {
  MMiscDlg* page = ShowMisc(Window());
  const std::string good = Folder() + "good.pro";
  { State()->block.CHNLDATA[1].HPOS = 1280; }
  ScopedChooser chooser(good);
  Click(page->SaveButton());
  ASSERT_TRUE(std::filesystem::exists(good));
  EXPECT_TRUE(chooser.Requests().back().save);
  EXPECT_EQ(chooser.Requests().back().filter, QStringLiteral("Orv File(*.pro)"));
  const std::string text = ReadFile(good);

  const std::string cut = Folder() + "cut.pro";
  std::ofstream(cut, std::ios::binary) << text.substr(0, text.size() / 2);
  const std::string other = Folder() + "notes.pro";
  std::ofstream(other, std::ios::binary) << "[Shopping]\r\nMILK=2\r\n";
  const std::string folder = Folder() + "folder.pro";
  std::filesystem::create_directory(folder);

  { State()->block.CHNLDATA[1].HPOS = 1920; }
  const std::string before = Window().ProjectPath();
  const QString reasons[] = {QStringLiteral("is incomplete"), QStringLiteral("is not a project"),
                             QStringLiteral("cannot be read")};
  int n = 0;
  for (const std::string& bad : {cut, other, folder}) {
    chooser.Use(bad);
    Click(page->OpenButton());
    ASSERT_EQ(Boxes().size(), static_cast<std::size_t>(n + 1));
    EXPECT_TRUE(Boxes()[n].text.contains(reasons[n])) << Boxes()[n].text.toStdString();
    EXPECT_EQ(State()->block.CHNLDATA[1].HPOS, 1920);
    EXPECT_EQ(Window().ProjectPath(), before);
    EXPECT_FALSE(Window().Wait().Shown());
    ++n;
  }
  chooser.Use(good);
  Click(page->OpenButton());
  EXPECT_EQ(State()->block.CHNLDATA[1].HPOS, 1280);
  EXPECT_EQ(Window().ProjectPath(), good);
  EXPECT_FALSE(chooser.Requests().back().save);
}

TEST_F(MediaRules, KeysCarryTheirCodeAndTheChosenDisk) {
  MMediaPlayerDlg* page = Window().MediaPlayerPage();
  SendMsg(&Window(), UM_PAGE_REQUEST, 0x5BD, 0);
  DeliverPostedMessages();
  auto lastMedia = [this] {
    const auto b = Library().TypedSendsOf(MEDIA).back().bytes;
    return std::pair<int, int>(b[0], b[1]);
  };
  // Each key's code is its place in the row OK, Return, switch, up, down, left, right.
  for (int code = 1; code <= MMediaPlayerDlg::kKeys; ++code) {
    Click(page->KeyButton(code));
    EXPECT_EQ(lastMedia(), std::pair(code, 0));
  }
  // Only slot 7 a U-disk input: UDISK2 is chosen.
  {
    auto s = State();
    s->block.INPUTINFO.INPUTSRC[6] = 3;
    s->block.INPUTINFO.INPUTSRC[7] = 9;
  }
  page->RefreshFromDevice();
  EXPECT_FALSE(page->DiskButton(0)->isEnabled());
  EXPECT_TRUE(page->DiskButton(1)->isEnabled());
  // The chosen disk shows its pressed face, the other one does not.
  page->DiskButton(1)->grab();
  EXPECT_EQ(page->DiskButton(1)->CurrentLook(), CGdipButton::Look::Alternate);
  page->DiskButton(0)->grab();
  EXPECT_EQ(page->DiskButton(0)->CurrentLook(), CGdipButton::Look::Disabled);
  Click(page->KeyButton(4));
  EXPECT_EQ(lastMedia(), std::pair(4, 1));
  // No U-disk input: both disabled, the keys still send with the last choice.
  { State()->block.INPUTINFO.INPUTSRC[7] = 1; }
  page->RefreshFromDevice();
  EXPECT_FALSE(page->DiskButton(1)->isEnabled());
  Click(page->KeyButton(2));
  EXPECT_EQ(lastMedia(), std::pair(2, 1));
}

// Save, change the device, open, "Set Data To Machine": the processor holds
// the saved image again, byte for byte. Media keys reach its player; the
// factory reset brings back its start image, which the page reads back.
TEST_F(MiscRun, ProjectRoundTripThroughTheDeviceMediaKeysAndFactoryReset) {
  Connect(TestIp(26), [](sim::DeviceModel& m) {
    m.image().INPUTINFO.INPUTSRC[6] = 9;
    m.image().INPUTINFO.INPUTSRC[7] = 9;
    m.sysinfo()[2] = 0xB5;  // 12.05 V
  });
  MMiscDlg* page = ShowMisc(Window());
  EXPECT_TRUE(page->SystemInfoShown().endsWith(QStringLiteral("system Voltage:12.05 V")))
      << page->SystemInfoShown().toStdString();

  const std::string path = Folder() + "show.pro";
  ScopedChooser chooser(path);
  Click(page->SaveButton());
  ParamBlock saved;
  { saved = State()->block; }

  // The device changes (its own panel), and the panel reads it back.
  processor_->WithModel([](sim::DeviceModel& m) {
    m.image().CHNLDATA[0].CHNLALPHA = 77;
    m.image().CHNLDATA[1].HPOS = 40;
    m.image().LOOPINFO.LOOPOUTIP = 3;
    return 0;
  });
  Click(page->GetDataButton());
  ASSERT_TRUE(PumpUntil([this] { return !Window().Wait().Shown(); }));
  AwaitQuiet();
  EXPECT_EQ(State()->block.CHNLDATA[1].HPOS, 40);
  EXPECT_TRUE(page->LoopOutButton(3)->IsChecked());
  const ParamBlock changed = processor_->Image();
  EXPECT_NE(std::memcmp(&saved, &changed, kParamBlockSize), 0);

  Click(page->OpenButton());
  AwaitQuiet();  // the project's own requests (VGA adjustments) are answered first
  processor_->Requests().Clear();
  Click(page->SetDataButton());
  EXPECT_EQ(SendAllAfterReview(), QStringLiteral("The processor holds what was sent."));
  const ParamBlock written = processor_->Image();
  EXPECT_EQ(std::memcmp(&saved, &written, kParamBlockSize), 0);
  const auto requests = processor_->Requests().Entries();
  ASSERT_GE(requests.size(), 3u);
  EXPECT_EQ(requests[0].type, GET_ALL);  // the review's read
  EXPECT_EQ(requests[1].type, SET_FEATHER);
  EXPECT_EQ(requests[2].kind, wire::FrameKind::Block);
  EXPECT_EQ(requests[2].size, kParamBlockSize);

  // Media keys for the second disk.
  SendMsg(&Window(), UM_PAGE_REQUEST, 0x5BD, 0);
  MMediaPlayerDlg* media = Window().MediaPlayerPage();
  Click(media->DiskButton(1));
  Click(media->KeyButton(7));
  ASSERT_TRUE(PumpUntil([this] {
    return processor_->WithModel([](sim::DeviceModel& m) { return m.mediaKeys().size(); }) == 1;
  }));
  const auto key = processor_->WithModel([](sim::DeviceModel& m) { return m.mediaKeys()[0]; });
  EXPECT_EQ(key.key, 7);
  EXPECT_EQ(key.disk, 1);

  // Factory reset: the start image comes back and the panel reads it.
  for (int k = 0; k < MMiscDlg::kResetSteps; ++k) Click(page->ResetStep(k));
  ASSERT_TRUE(PumpUntil([] { return State()->block.INPUTINFO.INPUTSRC[6] == 3; }));
  const ParamBlock start = sim::StartImage();
  const ParamBlock reset = processor_->Image();
  EXPECT_EQ(std::memcmp(&start, &reset, kParamBlockSize), 0);
  EXPECT_EQ(Boxes().back().text, QStringLiteral("Restart The Machine"));
}

// An opened project differs from the processor in the output, PIP-1's window
// and keyer 1. "Set Data To Machine" reads the processor back and lists
// exactly those changes by page; cancel writes nothing; "Send All" writes,
// and the processor then holds the project outside the fields it owns.
TEST_F(MiscRun, SetDataReviewsTheChangesAndWritesOnlyOnSendAll) {
  Connect(TestIp(61), [](sim::DeviceModel& m) {
    // Dates a project keeps as they are (it makes a month or day 0 into 1).
    for (Task& task : m.image().TASKEINFO.TASK) task.MONTH = task.DAY = 1;
    m.image().OUTPUTRESO.RESOINDEX = 10;
    m.image().OUTPUTRESO.HRESO = 1920;
    m.image().OUTPUTRESO.VRESO = 1080;
    m.image().OUTPUTRESO.FPS = 6000;
    ChannelData& pip1 = m.image().CHNLDATA[1];
    pip1.HPOS = 0;
    pip1.VPOS = 0;
    pip1.HACT = 960;
    pip1.VACT = 540;
    m.image().KEYERINFO.KEYER[0].KEYERONOFF = 0;
  });
  MMiscDlg* page = ShowMisc(Window());
  const ParamBlock device = processor_->Image();
  {
    auto s = State();
    // An output of the resolution table: opening the project takes its timing from there.
    s->block.OUTPUTRESO.RESOINDEX = 15;
    s->block.OUTPUTRESO.HRESO = 2048;
    s->block.OUTPUTRESO.VRESO = 1152;
    s->block.OUTPUTRESO.FPS = 6000;
    ChannelData& pip1 = s->block.CHNLDATA[1];
    pip1.HPOS = 1140;
    pip1.VPOS = 60;
    pip1.HACT = 720;
    pip1.VACT = 405;
    s->block.KEYERINFO.KEYER[0].KEYERONOFF = 1;
  }
  const std::string path = Folder() + "review.pro";
  ScopedChooser chooser(path);
  Click(page->SaveButton());
  Click(page->GetDataButton());
  ASSERT_TRUE(PumpUntil([this] { return !Window().Wait().Shown(); }));
  AwaitQuiet();
  Click(page->OpenButton());
  AwaitQuiet();
  ParamBlock project;
  { project = State()->block; }

  const QStringList expected = {
      QStringLiteral("Layers"),
      QStringLiteral("    PIP-1 window: 0,0 960x540 → 1140,60 720x405"),
      QStringLiteral("Output"),
      QStringLiteral("    Output: 1920x1080 60 Hz → 2048x1152 60 Hz, RESOINDEX 10 → 15"),
      QStringLiteral("Keyer"),
      QStringLiteral("    Keyer 1: off → on"),
  };
  const auto written = [this] {
    const auto entries = processor_->Requests().Entries();
    return std::count_if(entries.begin(), entries.end(), [](const sim::ReceivedRequest& r) {
      return r.type == SET_FEATHER || r.kind == wire::FrameKind::Block;
    });
  };

  // Cancel: the processor was only asked for its image.
  processor_->Requests().Clear();
  Click(page->SetDataButton());
  ReviewDialog* dialog = AwaitReview();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->Lines(), expected) << dialog->Lines().join(QLatin1Char('|')).toStdString();
  EXPECT_EQ(written(), 0);
  QTest::mouseClick(dialog->CancelButton(), Qt::LeftButton);
  AwaitQuiet();
  EXPECT_EQ(written(), 0);
  EXPECT_EQ(Sent(GET_ALL), 1u);
  const ParamBlock untouched = processor_->Image();
  EXPECT_EQ(std::memcmp(&device, &untouched, kParamBlockSize), 0);
  EXPECT_EQ(Window().Review()->CurrentStep(), ProjectReview::Step::Idle);

  // Send all: the write, then the read that checks it.
  processor_->Requests().Clear();
  Click(page->SetDataButton());
  ASSERT_NE(AwaitReview(), nullptr);
  EXPECT_EQ(AwaitReview()->Lines(), expected)
      << AwaitReview()->Lines().join(QLatin1Char('|')).toStdString();
  EXPECT_EQ(SendAllAfterReview(), QStringLiteral("The processor holds what was sent."));
  std::vector<uint16_t> types;
  for (const auto& r : processor_->Requests().Entries()) {
    if (r.type == GET_ALL || r.type == SET_FEATHER || r.kind == wire::FrameKind::Block)
      types.push_back(r.kind == wire::FrameKind::Block ? uint16_t{WRITE_ALL} : r.type);
  }
  EXPECT_EQ(types, (std::vector<uint16_t>{GET_ALL, SET_FEATHER, WRITE_ALL, GET_ALL}));
  const ParamBlock after = processor_->Image();
  const auto* a = reinterpret_cast<const uint8_t*>(&after);
  const auto* p = reinterpret_cast<const uint8_t*>(&project);
  for (const ImageField& field : ImageFields()) {
    if (field.processorOwned) continue;
    EXPECT_EQ(std::memcmp(a + field.offset, p + field.offset, field.size), 0) << field.name;
  }
}

// A processor that falls silent during the review's read: the wait ends with
// a message that says nothing was sent, and nothing was.
TEST_F(MiscRun, SilentProcessorEndsTheReviewWithAMessage) {
  Connect(TestIp(62), [](sim::DeviceModel&) {});
  MMiscDlg* page = ShowMisc(Window());
  const ParamBlock device = processor_->Image();
  { State()->block.CHNLDATA[2].HPOS += 10; }
  Window().Wait().SetTimeoutMs(3000);
  processor_->SetSilent(true);
  Click(page->SetDataButton());
  const QString silent =
      QStringLiteral("The processor did not send its settings for the review. Nothing was sent.");
  ASSERT_TRUE(PumpUntil([&] {
    return std::any_of(Boxes().begin(), Boxes().end(),
                       [&](const MessageBoxRequest& b) { return b.text == silent; });
  }));
  EXPECT_EQ(Window().Review()->CurrentStep(), ProjectReview::Step::Idle);
  EXPECT_EQ(Window().Review()->Dialog(), nullptr);
  processor_->SetSilent(false);
  EXPECT_EQ(Sent(SET_FEATHER), 0u);
  const ParamBlock untouched = processor_->Image();
  EXPECT_EQ(std::memcmp(&device, &untouched, kParamBlockSize), 0);
  // The next read-back takes the processor's image into the record again.
  ASSERT_TRUE(PumpUntil([this] {
    return !Window().Wait().Shown() && Window().Link()->Status().phase == LinkPhase::Connected;
  }));
  Click(page->GetDataButton());
  EXPECT_TRUE(
      PumpUntil([&] { return State()->block.CHNLDATA[2].HPOS == device.CHNLDATA[2].HPOS; }));
}

// The review's dialog in both languages, built from a difference of two
// images. With ORV_PAGES_SCREENSHOT=<folder> it is saved there
// (review-en.png, review-zh.png).
TEST(ReviewDialogLook, BothLanguagesListPagesGroupsAndTheProcessorsOwn) {
  ParamBlock before{};
  before.OUTPUTRESO = {0, 1920, 1080, 6000, 2200, 1125, 44, 5, 148, 36, 1, 1};
  before.CHNLDATA[1] = {1, 255, 2, 0, 0, 0, 960, 540, 0};
  before.INPUTINFO.INPUTSTATE[2] = 1;
  ParamBlock after = before;
  after.OUTPUTRESO.HRESO = 3840;
  after.OUTPUTRESO.VRESO = 2160;
  after.OUTPUTRESO.FPS = 3000;
  after.CHNLDATA[1] = {1, 255, 2, 0, 1140, 60, 720, 405, 0};
  after.KEYERINFO.KEYER[0].KEYERONOFF = 1;
  after.INPUTINFO.INPUTSTATE[2] = 0;
  for (const ImageLanguage language : {ImageLanguage::English, ImageLanguage::Chinese}) {
    ReviewDialog dialog(nullptr, DiffImages(before, after, language), language);
    const bool chinese = language == ImageLanguage::Chinese;
    const QStringList lines = dialog.Lines();
    ASSERT_EQ(lines.size(), 10) << lines.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(lines[0], chinese ? QStringLiteral("图层") : QStringLiteral("Layers"));
    EXPECT_EQ(lines[6], QString());
    EXPECT_EQ(lines[7], ReviewTextOf(ReviewText::kOwned, language));
    EXPECT_EQ(lines[9], chinese ? QStringLiteral("    输入槽 3: INPUTSTATE 1 → 0")
                                : QStringLiteral("    Input slot 3: INPUTSTATE 1 → 0"));
    EXPECT_EQ(dialog.SendButton()->text(),
              chinese ? QStringLiteral("全部发送") : QStringLiteral("Send All"));
    dialog.show();
    const QByteArray folder = qgetenv("ORV_PAGES_SCREENSHOT");
    if (!folder.isEmpty()) {
      QDir().mkpath(QString::fromLocal8Bit(folder));
      dialog.grab().save(QString::fromLocal8Bit(folder) + (chinese
                                                               ? QStringLiteral("/review-zh.png")
                                                               : QStringLiteral("/review-en.png")));
    }
  }
}

// The operator has not yet answered "Restart The Machine" when the reset's
// read-back runs (here with a wait box, shown and hidden as a read-back does):
// the real box stays usable under the wait box and is on top once it is gone.
// In English, then in Chinese. With ORV_PAGES_SCREENSHOT=<folder> the screen
// is saved under the wait box and after it (restart-wait-en.png ...
// restart-zh.png); run under a window manager to see the stacking.
TEST_F(MiscRun, RestartBoxOutlivesTheReadBackOfTheReset) {
  Connect(TestIp(28), [](sim::DeviceModel&) {});
  MMiscDlg* page = ShowMisc(Window());
  const auto saveScreen = [](const QString& name) {
    const QByteArray folder = qgetenv("ORV_PAGES_SCREENSHOT");
    if (folder.isEmpty()) return;
    QDir().mkpath(QString::fromLocal8Bit(folder));
    QGuiApplication::primaryScreen()->grabWindow(0).save(QString::fromLocal8Bit(folder) +
                                                         QLatin1Char('/') + name);
  };
  const auto count = [this](uint16_t type) {
    const auto entries = processor_->Requests().Entries();
    return std::count_if(entries.begin(), entries.end(),
                         [type](const sim::ReceivedRequest& r) { return r.type == type; });
  };
  const MessageBoxHandler recording = SetMessageBoxHandler({});  // the real box
  for (const char* language : {"en", "zh"}) {
    SCOPED_TRACE(language);
    if (std::string_view(language) == "zh") Click(page->LanguageLabel(MMiscDlg::kChineseLabel));
    processor_->Requests().Clear();
    // The processor takes the reset but reports nothing until the box is up.
    processor_->SetSilent(true);
    struct Seen {
      QString text;
      bool waitShown = false;
      bool usableUnderWait = false;
      bool onTopAfter = false;
    } seen;
    QPointer<QMessageBox> box;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
      if (box.isNull()) {
        box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box.isNull()) return;
        seen.text = box->text();
        SendMsg(&Window(), UM_WAIT, 1, 0, UiQText(65));
        seen.waitShown = Window().Wait().Shown();
        seen.usableUnderWait = box->isVisible() && box->isEnabled();
        QTest::qWait(300);  // drawn by the platform
        saveScreen(QStringLiteral("restart-wait-%1.png").arg(QLatin1String(language)));
        processor_->SetSilent(false);
        processor_->RaiseEvent({6, 1});  // "read everything again"
        return;
      }
      if (Window().Wait().Shown()) return;  // the read-back's answer hides it
      watch.stop();
      QTest::qWait(300);
      seen.onTopAfter = box->isVisible() && box->isEnabled() &&
                        QApplication::activeModalWidget() == box &&
                        QApplication::activeWindow() == box;
      saveScreen(QStringLiteral("restart-%1.png").arg(QLatin1String(language)));
      box->accept();
    });
    QTimer::singleShot(20000, [&] {
      if (!box.isNull()) box->reject();  // never hang the run
    });
    watch.start(10);
    for (int k = 0; k < MMiscDlg::kResetSteps; ++k) Click(page->ResetStep(k));
    watch.stop();

    EXPECT_EQ(seen.text, UiQText(56));
    EXPECT_TRUE(seen.waitShown);
    EXPECT_TRUE(seen.usableUnderWait) << "the wait box disabled the restart box";
    EXPECT_TRUE(seen.onTopAfter) << "the end of the read-back took the restart box off the top";
    EXPECT_FALSE(Window().Wait().Shown());
    EXPECT_TRUE(Window().ContentEnabled());
    EXPECT_EQ(count(FACTORY_RESET), 1);
    EXPECT_GE(count(GET_ALL), 1);
  }
  SetMessageBoxHandler(recording);
  EXPECT_NE(UiQText(56), QStringLiteral("Restart The Machine"));
}

// The misc page with the media player beside it, in English and, after a
// click on the Chinese label, in Chinese. With ORV_PAGES_SCREENSHOT=<folder>
// the window is saved (misc-en.png ... media-zh.png).
TEST_F(MiscRun, BothLanguagesByTheLanguageLabels) {
  Connect(TestIp(27), [](sim::DeviceModel& m) {
    m.image().INPUTINFO.INPUTSRC[7] = 9;
    m.sysinfo()[14] = 0x21;  // a valid second version: five lines of system information
    m.sysinfo()[16] = 1;
  });
  Window().resize(1280, 728);
  MMiscDlg* page = ShowMisc(Window());
  const auto save = [this](const char* name) {
    const QByteArray folder = qgetenv("ORV_PAGES_SCREENSHOT");
    if (folder.isEmpty()) return;
    QDir().mkpath(QString::fromLocal8Bit(folder));
    EXPECT_TRUE(Window().grab().save(QString::fromLocal8Bit(folder) + QLatin1Char('/') +
                                     QString::fromLatin1(name)));
  };
  save("misc-en.png");
  Click(page->WindowButton(MMiscDlg::kMediaWindow));
  save("media-en.png");
  EXPECT_EQ(page->GetDataButton()->text(), QStringLiteral("Get Data From Machine"));
  EXPECT_EQ(Window().MediaPlayerPage()->KeyButton(3)->text(), QStringLiteral("Switch"));

  Click(page->LanguageLabel(MMiscDlg::kChineseLabel));
  EXPECT_EQ(page->CurrentLanguageLabel(), MMiscDlg::kChineseLabel);
  EXPECT_EQ(page->GetDataButton()->text(), QStringLiteral("从设备读取数据"));
  EXPECT_EQ(page->OpenButton()->text(), QStringLiteral("打开工程"));
  EXPECT_EQ(Window().MediaPlayerPage()->KeyButton(3)->text(), QStringLiteral("切换"));
  save("media-zh.png");
  Click(page->WindowButton(MMiscDlg::kMediaWindow));
  save("misc-zh.png");
  Click(page->LanguageLabel(MMiscDlg::kEnglishLabel));
  EXPECT_EQ(page->OpenButton()->text(), QStringLiteral("Open Project"));
}

}  // namespace
}  // namespace orv::test
