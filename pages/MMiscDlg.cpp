#include "MMiscDlg.h"

#include <functional>
#include <tuple>
#include <utility>

#include <QLabel>
#include <QMouseEvent>

#include "ArtIds.h"
#include "CGdipButton.h"
#include "CSxGroupBox.h"
#include "CommLibrary.h"
#include "CommandEncoder.h"
#include "ControlId.h"
#include "DeviceState.h"
#include "DialogTexts.h"
#include "FileChooser.h"
#include "MessageBox.h"
#include "MessageIds.h"
#include "Messages.h"
#include "PageWidgets.h"
#include "ReadBack.h"
#include "Skin.h"
#include "UiTexts.h"

namespace orv {

namespace {

constexpr int kTextLoopOut = 27;
constexpr int kTextSystemInfo = 29;
constexpr int kTextFactoryReset = 30;
constexpr int kTextTips = 38;
constexpr int kTextRestart = 56;
constexpr int kTextWaitOperation = 65;
constexpr int kTextFileSetting = 89;

// Sub-codes of UM_PAGE_REQUEST and UM_PROJECT_FILE the page sends.
constexpr int kMiscTabRequest = 0x5A2;
constexpr int kLoopOutFrameRequest = 0x5A9;
constexpr int kWindowRequests[3] = {0x5BC, 0x5BD, 0x5BE};
constexpr int kToggleWindow = 0;
constexpr int kHideWindow = 3;
constexpr int kProjectOpen = 0x5B7;
constexpr int kProjectSave = 0x5B8;
constexpr int kProjectSaveAs = 0x5B9;

const char* const kProjectFilter = "Orv File(*.pro)";
const char* const kProgramName = "Q20 VideoProcessor,1.27";

const char* const kTabCaptions[MMiscDlg::kTabs] = {"Setting", "Keyer", "TEST PATTERN", "TIME/TASK"};
const char* const kLoopOutCaptions[MMiscDlg::kLoopOutInputs] = {
    "DVI-1", "HDMI-1", "DVI-2", "HDMI-2", "DP1", "SDI", "Ext-1", "Ext-2"};
const char* const kWindowCaptions[3] = {"Video Setting >>", "Media Player >>", "Feathering"};
const char* const kResetCaptions[MMiscDlg::kResetSteps] = {"1>", "2>", "3>", "4>", ">OK"};

constexpr int kTabWidth = 80;
constexpr int kTabHeight = 33;
constexpr int kTabTop = 26;

const QRect kLanguageGroupRect(10, 62, 300, 42);
const QRect kEnglishRect(50, 80, 90, 20);
const QRect kSeparatorRect(152, 80, 16, 20);
const QRect kChineseRect(190, 80, 90, 20);
const QRect kFileGroupRect(10, 108, 300, 104);
const QRect kOpenRect(20, 126, 90, 24);
const QRect kSaveRect(115, 126, 90, 24);
const QRect kSaveAsRect(210, 126, 90, 24);
const QRect kGetDataRect(20, 154, 280, 24);
const QRect kSetDataRect(20, 182, 280, 24);
const QRect kLoopOutGroupRect(10, 216, 300, 80);
constexpr int kLoopOutLeft = 18;
constexpr int kLoopOutTop = 236;
constexpr int kLoopOutWidth = 69;
constexpr int kButtonHeight = 24;
constexpr int kLoopOutStep = 72;
constexpr int kLoopOutRowStep = 28;
const QRect kWindowRects[3] = {{10, 302, 114, 26}, {126, 302, 104, 26}, {232, 302, 82, 26}};
const QRect kSystemGroupRect(10, 332, 300, 132);
// Five lines when the second version is valid.
const QRect kSystemInfoRect(20, 350, 285, 76);
const QRect kProgramInfoRect(20, 428, 285, 32);
const QRect kResetGroupRect(10, 468, 300, 50);
constexpr int kResetLeft = 18;
constexpr int kResetTop = 486;
constexpr int kResetWidth = 54;
constexpr int kResetStep = 58;

// A label that reports a left click (the two language labels).
class ClickLabel : public QLabel {
 public:
  ClickLabel(const QString& text, QWidget* parent, std::function<void()> clicked)
      : QLabel(text, parent), clicked_(std::move(clicked)) {}

 protected:
  void mousePressEvent(QMouseEvent* event) override {
    if (event->button() == Qt::LeftButton) clicked_();
  }

 private:
  std::function<void()> clicked_;
};

void ShowPressed(CGdipButton* button, bool pressed) {
  button->SetChecked(pressed);
  button->SetTextColor(pressed ? skin::kOrange : skin::kText);
  button->update();
}

CGdipButton* MakeToggle(QWidget* page, int id, const QString& caption, const QRect& where) {
  // No alternate face: the orange caption alone marks a pressed button, as on
  // the tab row (an orange caption on the orange face would be unreadable).
  CGdipButton* button = MakePageButton(page, id, caption, where);
  button->LoadImage(art::kFaceTab);
  button->SetClickToggle(true);
  return button;
}

void SetLabelColour(QLabel* label, const QColor& colour) {
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, colour);
  label->setPalette(palette);
}

// A character of the model tag as text; bytes that are no printable ASCII show as '?'.
char TagChar(char c) {
  return c >= 0x20 && c <= 0x7E ? c : '?';
}

}  // namespace

MMiscDlg::MMiscDlg(QWidget* parent)
    : MSettingsPage(kTemplateId, parent, QStringLiteral("Misc Settings")) {}

bool MMiscDlg::OnInitDialog() {
  MSettingsPage::OnInitDialog();
  BuildControls();
  ApplyControlFont();
  ReloadTexts();
  uint8_t version[2]{};
  if (CommLibrary* library = GetCommLibrary()) library->GetVersion(version, 2);
  programInfo_->setText(ProgramInfoText(version[0], version[1]));
  return true;
}

void MMiscDlg::BuildControls() {
  for (int k = 0; k < kTabs; ++k) {
    CGdipButton* tab = MakePageButton(this, kFirstTab + k, QString::fromLatin1(kTabCaptions[k]),
                                      QRect(k * kTabWidth, kTabTop, kTabWidth, kTabHeight));
    tab->LoadImage(art::kFaceTab);
    tab->LoadAltImage(art::kFaceTabActive);
    connect(tab, &QAbstractButton::clicked, this, [this, k] { TabClicked(k); });
    tabs_[static_cast<std::size_t>(k)] = tab;
  }
  ShowPressed(tabs_[0], true);

  MakePageGroup(this, kLanguageGroup, QStringLiteral("Language / 语言"), kLanguageGroupRect);
  english_ =
      new ClickLabel(QStringLiteral("English"), this, [this] { LanguageClicked(kEnglishLabel); });
  chinese_ =
      new ClickLabel(QStringLiteral("中 文"), this, [this] { LanguageClicked(kChineseLabel); });
  for (auto [label, id, where] : {std::tuple{english_, kEnglishLabel, kEnglishRect},
                                  std::tuple{chinese_, kChineseLabel, kChineseRect}}) {
    SetControlId(label, id);
    label->setGeometry(where);
    label->setAlignment(Qt::AlignCenter);
    label->setCursor(Qt::PointingHandCursor);
  }
  MakePageLabel(this, kLanguageSeparator, QStringLiteral("|"), kSeparatorRect)
      ->setAlignment(Qt::AlignCenter);

  fileGroup_ = MakePageGroup(this, kFileGroup, UiQText(kTextFileSetting), kFileGroupRect);
  open_ = MakePageButton(this, kOpenProject, QStringLiteral("Open Project"), kOpenRect);
  save_ = MakePageButton(this, kSaveProject, QStringLiteral("Save Project"), kSaveRect);
  saveAs_ = MakePageButton(this, kSaveProjectAs, QStringLiteral("Save As"), kSaveAsRect);
  getData_ = MakePageButton(this, kGetData, QStringLiteral("Get Data From Machine"), kGetDataRect);
  setData_ = MakePageButton(this, kSetData, QStringLiteral("Set Data To Machine"), kSetDataRect);
  connect(open_, &QAbstractButton::clicked, this, [this] { OpenProject(); });
  connect(save_, &QAbstractButton::clicked, this, [this] { SaveProject(); });
  connect(saveAs_, &QAbstractButton::clicked, this, [this] { SaveProjectAs(); });
  connect(getData_, &QAbstractButton::clicked, this, [] { StartFullReadBack(); });
  connect(setData_, &QAbstractButton::clicked, this, [this] {
    if (writeBack_) {
      writeBack_();
    } else {
      FullWriteBack();
    }
  });

  loopOutGroup_ = MakePageGroup(this, kLoopOutGroup, UiQText(kTextLoopOut), kLoopOutGroupRect);
  for (int k = 0; k < kLoopOutInputs; ++k) {
    const QRect where(kLoopOutLeft + (k % 4) * kLoopOutStep,
                      kLoopOutTop + (k / 4) * kLoopOutRowStep, kLoopOutWidth, kButtonHeight);
    CGdipButton* b =
        MakeToggle(this, kFirstLoopOut + k, QString::fromLatin1(kLoopOutCaptions[k]), where);
    // The page shows the loop-out input; it never changes it.
    b->setEnabled(false);
    loopOut_[static_cast<std::size_t>(k)] = b;
  }

  for (int w = 0; w < 3; ++w) {
    const int ids[3] = {kVideoSettings, kMediaPlayer, kFeathering};
    CGdipButton* b =
        MakeToggle(this, ids[w], QString::fromLatin1(kWindowCaptions[w]), kWindowRects[w]);
    connect(b, &QAbstractButton::clicked, this,
            [this, w] { WindowClicked(static_cast<Window>(w)); });
    windows_[static_cast<std::size_t>(w)] = b;
  }

  systemGroup_ = MakePageGroup(this, kSystemGroup, UiQText(kTextSystemInfo), kSystemGroupRect);
  systemInfo_ = MakePageLabel(this, kSystemInfo, QString(), kSystemInfoRect);
  systemInfo_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  programInfo_ = MakePageLabel(this, kProgramInfo, QString(), kProgramInfoRect);
  programInfo_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

  resetGroup_ = MakePageGroup(this, kResetGroup, UiQText(kTextFactoryReset), kResetGroupRect);
  for (int k = 0; k < kResetSteps; ++k) {
    CGdipButton* b =
        MakeToggle(this, kFirstResetStep + k, QString::fromLatin1(kResetCaptions[k]),
                   QRect(kResetLeft + k * kResetStep, kResetTop, kResetWidth, kButtonHeight));
    connect(b, &QAbstractButton::clicked, this, [this, k] { ResetStepClicked(k); });
    resetSteps_[static_cast<std::size_t>(k)] = b;
  }
}

void MMiscDlg::ReloadTexts() {
  MSettingsPage::ReloadTexts();
  ApplyDialogTexts(this, TemplateId());
  if (fileGroup_ == nullptr) return;  // the base calls this before the controls exist
  loopOutGroup_->SetText(UiQText(kTextLoopOut));
  systemGroup_->SetText(UiQText(kTextSystemInfo));
  resetGroup_->SetText(UiQText(kTextFactoryReset));
  fileGroup_->SetText(UiQText(kTextFileSetting));
  // The open button shares its id with a main-window control; its text has a key of its own.
  open_->setText(KeyedQText("MISC_OpenProject", "Open Project"));
  // The loop-out names of the extension inputs follow the input table, not the file.
  RefreshLoopOutInputs();
  // The label follows the language in use, whoever switched it.
  languageLabel_ = ActiveLanguageName() == "Chinese" ? kChineseLabel : kEnglishLabel;
  ShowLanguage();
  update();
}

void MMiscDlg::ShowPage(bool show) {
  MSettingsPage::ShowPage(show);
  if (!Created()) return;
  QWidget* hub = NotifyWindow(this);
  SendMsg(hub, UM_PAGE_REQUEST, kMiscTabRequest, 0, QVariantList{currentTab_, show ? 1 : 0});
  for (int request : kWindowRequests) SendMsg(hub, UM_PAGE_REQUEST, request, kHideWindow);
  ReleaseWindowButtons();
}

// --- Tabs and language -------------------------------------------------------------

void MMiscDlg::TabClicked(int k) {
  // A click never releases the current tab; it brings its page up again,
  // whatever covered it.
  currentTab_ = k;
  for (int i = 0; i < kTabs; ++i) ShowPressed(tabs_[static_cast<std::size_t>(i)], i == k);
  SendMsg(NotifyWindow(this), UM_PAGE_REQUEST, kMiscTabRequest, 0, QVariantList{k, 1});
}

void MMiscDlg::LanguageClicked(int labelId) {
  if (labelId == languageLabel_) return;
  languageLabel_ = labelId;
  ShowLanguage();
  SendMsg(NotifyWindow(this), UM_LANGUAGE, labelId == kChineseLabel ? 1 : 0);
}

void MMiscDlg::ShowLanguage() {
  SetLabelColour(english_, languageLabel_ == kEnglishLabel ? skin::kOrange : skin::kText);
  SetLabelColour(chinese_, languageLabel_ == kChineseLabel ? skin::kOrange : skin::kText);
}

// --- Project files -----------------------------------------------------------------

void MMiscDlg::OpenProject() {
  const QString path =
      ChooseFile(this, {false, QString::fromLatin1(kProjectFilter), QStringLiteral("pro")});
  if (!path.isEmpty()) SendProjectFile(kProjectOpen, path);
}

void MMiscDlg::SaveProject() {
  const QString path =
      ChooseFile(this, {true, QString::fromLatin1(kProjectFilter), QStringLiteral("pro")});
  if (!path.isEmpty()) SendProjectFile(kProjectSave, path);
}

void MMiscDlg::SaveProjectAs() {
  const QString path =
      ChooseFile(this, {true, QString::fromLatin1(kProjectFilter), QStringLiteral("pro")});
  if (!path.isEmpty()) SendProjectFile(kProjectSaveAs, path);
}

void MMiscDlg::SendProjectFile(int subCode, const QString& path) {
  QWidget* hub = NotifyWindow(this);
  SendMsg(hub, UM_WAIT, 1, 0, UiQText(kTextWaitOperation));
  SendMsg(hub, UM_PROJECT_FILE, subCode, 0, path);
}

// --- Sub-windows -------------------------------------------------------------------

void MMiscDlg::WindowClicked(Window w) {
  CGdipButton* clicked = windows_[static_cast<std::size_t>(w)];
  const bool pressed = clicked->IsChecked();
  QWidget* hub = NotifyWindow(this);
  for (int other = 0; other < 3; ++other) {
    if (other == w) continue;
    ShowPressed(windows_[static_cast<std::size_t>(other)], false);
    SendMsg(hub, UM_PAGE_REQUEST, kWindowRequests[other], kHideWindow);
  }
  ShowPressed(clicked, pressed);
  // A released button hides its window whatever opened it since.
  SendMsg(hub, UM_PAGE_REQUEST, kWindowRequests[w], pressed ? kToggleWindow : kHideWindow);
}

void MMiscDlg::ShowWindowsShown(const std::array<bool, 3>& shown) {
  if (!Created()) return;
  for (std::size_t i = 0; i < windows_.size(); ++i) ShowPressed(windows_[i], shown[i]);
}

void MMiscDlg::ReleaseWindowButtons() {
  for (CGdipButton* b : windows_) ShowPressed(b, false);
}

// --- Loop-out and system information -----------------------------------------------

void MMiscDlg::RefreshFromDevice() {
  NoteRefresh();
  if (!Created()) return;
  RefreshLoopOutInputs();
  ShowLoopOut();
}

void MMiscDlg::RefreshLoopOut() {
  NoteRefresh();
  if (Created()) ShowLoopOut();
}

void MMiscDlg::ShowLoopOut() {
  int k = 0;
  { k = State()->block.LOOPINFO.LOOPOUTIP; }
  if (k < 0 || k >= kLoopOutInputs) return;  // outside the table: nothing changes
  for (int i = 0; i < kLoopOutInputs; ++i)
    ShowPressed(loopOut_[static_cast<std::size_t>(i)], i == k);
  PostMsg(NotifyWindow(this), UM_PAGE_REQUEST, kLoopOutFrameRequest, k);
}

void MMiscDlg::RefreshLoopOutInputs() {
  if (loopOut_[6] == nullptr) return;
  QString names[2];
  {
    auto s = State();
    names[0] = QString::fromStdString(s->INPUT_TABLE[6].name);
    names[1] = QString::fromStdString(s->INPUT_TABLE[7].name);
  }
  loopOut_[6]->setText(names[0]);
  loopOut_[7]->setText(names[1]);
  for (CGdipButton* b : loopOut_) b->setEnabled(false);
}

void MMiscDlg::RefreshSystemInfo() {
  NoteRefresh();
  if (!Created()) return;
  SysInfo info{};
  { info = State()->SYSINFO; }
  systemInfo_->setText(SystemInfoText(info));
}

QString MMiscDlg::SystemInfoText(const SysInfo& info) {
  const double volts = info.VOLTAGE / 100.0;
  const char* t = info.MODEL_TAG;
  if (info.VERSION2_VALID != 0) {
    return QString::asprintf(
        "Video Processor\nVersion:%c%c%c%c-%4x-%4x-%4x\nVersion2:%4x\nsystem Voltage:%.2f V",
        TagChar(t[0]), TagChar(t[1]), TagChar(t[2]), TagChar(t[3]), info.VERSION[0],
        info.VERSION[1], info.VERSION[2], info.VERSION2, volts);
  }
  return QString::asprintf("Video Processor\nVersion:%c%c%c%c-%4x-%4x-%4x\nsystem Voltage:%.2f V",
                           TagChar(t[0]), TagChar(t[1]), TagChar(t[2]), TagChar(t[3]),
                           info.VERSION[0], info.VERSION[1], info.VERSION[2], volts);
}

QString MMiscDlg::ProgramInfoText(int major, int minor) {
  return QString::asprintf("%s\nSysDLL:%d.%02d", kProgramName, major, minor);
}

QString MMiscDlg::SystemInfoShown() const {
  return systemInfo_ ? systemInfo_->text() : QString();
}

QString MMiscDlg::ProgramInfoShown() const {
  return programInfo_ ? programInfo_->text() : QString();
}

// --- Factory reset -----------------------------------------------------------------

void MMiscDlg::ResetStepClicked(int k) {
  CGdipButton* step = resetSteps_[static_cast<std::size_t>(k)];
  if (!step->IsChecked()) {
    // Releasing any step cancels the sequence.
    ReleaseResetSteps();
    return;
  }
  if (k > 0 && !resetSteps_[static_cast<std::size_t>(k - 1)]->IsChecked()) {
    ShowPressed(step, false);
    return;
  }
  ShowPressed(step, true);
  if (k != kResetSteps - 1) return;
  SendCommand(FACTORY_RESET);
  ShowMessageBox(this, UiQText(kTextRestart), UiQText(kTextTips));
  ReleaseResetSteps();
}

void MMiscDlg::ReleaseResetSteps() {
  for (CGdipButton* b : resetSteps_) ShowPressed(b, false);
}

}  // namespace orv
