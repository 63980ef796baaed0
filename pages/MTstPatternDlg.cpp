#include "MTstPatternDlg.h"

#include <algorithm>
#include <cmath>

#include "ArtIds.h"
#include "CGdipButton.h"
#include "CSxGroupBox.h"
#include "CommandEncoder.h"
#include "DeviceState.h"
#include "DialogTexts.h"
#include "GrabSwatch.h"
#include "MessageIds.h"
#include "PageWidgets.h"
#include "oBitmapSlider.h"
#include "oSliderEdit.h"

namespace orv {

namespace {

constexpr int kTextTestPattern = 20;
constexpr int kTextPixelGrab = 21;

// The switch's captions: on, off by itself, off because another control took over.
const QString kCaptionOn = QStringLiteral("0n");
const QString kCaptionOff = QStringLiteral("0ff");
const QString kCaptionReleased = QStringLiteral("Off");

const QColor kCaptionButtonText(0xEB, 0xEB, 0xEB);

const QRect kPatternGroupRect(10, 36, 300, 124);
const QRect kPatternSwitchRect(24, 62, 96, 28);
const QRect kPatternEditRect(140, 64, 60, 24);
const QRect kPreviousRect(20, 112, 36, 26);
const QPoint kSliderAt(60, 117);
const QRect kNextRect(264, 112, 36, 26);
const QRect kGrabGroupRect(10, 172, 300, 190);
const QPoint kGrabSwitchAt(24, 196);
const QRect kHStartLabelRect(24, 232, 90, 22);
const QRect kHStartEditRect(120, 232, 90, 22);
const QRect kVStartLabelRect(24, 262, 90, 22);
const QRect kVStartEditRect(120, 262, 90, 22);
const QRect kSwatchRect(20, 296, 280, 56);
const QRect kCaptionButtonRect(10, 374, 140, 30);

constexpr int kCoordinateMin = -1;
constexpr int kCoordinateMax = 9999;

}  // namespace

// --- Page -----------------------------------------------------------------------

MTstPatternDlg::MTstPatternDlg(QWidget* parent)
    : MSettingsPage(kTemplateId, parent, QStringLiteral("Test Pattern")) {}

bool MTstPatternDlg::OnInitDialog() {
  MSettingsPage::OnInitDialog();
  BuildControls();
  ApplyControlFont();
  ReloadTexts();
  patternSwitch_->setText(kCaptionOff);
  EnablePatternControls(false);
  EnableCoordinates(false);
  return true;
}

void MTstPatternDlg::BuildControls() {
  patternGroup_ = MakePageGroup(this, kPatternGroup, UiQText(kTextTestPattern), kPatternGroupRect);
  grabGroup_ = MakePageGroup(this, kGrabGroup, UiQText(kTextPixelGrab), kGrabGroupRect);

  patternSwitch_ = MakePageButton(this, kPatternSwitch, kCaptionOff, kPatternSwitchRect);
  patternSwitch_->LoadAltImage(art::kFaceButtonActive);
  patternSwitch_->SetClickToggle(true);
  connect(patternSwitch_, &QAbstractButton::clicked, this, [this] { PatternSwitched(); });
  previous_ = MakePageButton(this, kPrevious, QStringLiteral("<<"), kPreviousRect);
  connect(previous_, &QAbstractButton::clicked, this, [this] { Step(-1); });
  next_ = MakePageButton(this, kNext, QStringLiteral(">>"), kNextRect);
  connect(next_, &QAbstractButton::clicked, this, [this] { Step(1); });

  patternEdit_ = new oSliderEdit(this, kPatternEdit);
  patternEdit_->setGeometry(kPatternEditRect);
  patternEdit_->Setup(kFirstPattern, kFirstPattern, true, kLastPattern, QStringLiteral("%d"));
  slider_ = new oBitmapSlider(this, kPatternSlider);
  slider_->LoadChannel(art::kSliderChannel, art::kSliderChannelActive);
  slider_->LoadThumb(art::kSliderThumb, art::kSliderThumbActive);
  slider_->move(kSliderAt);
  patternEdit_->Bind(slider_);

  grabSwitch_ = MakePageSwitch(this, kGrabSwitch, kGrabSwitchAt);
  connect(grabSwitch_, &QAbstractButton::clicked, this, [this] { GrabSwitched(); });
  MakePageLabel(this, kHStartLabel, QStringLiteral("H Start : "), kHStartLabelRect);
  MakePageLabel(this, kVStartLabel, QStringLiteral("V Start : "), kVStartLabelRect);
  int16_t h = 0;
  int16_t v = 0;
  {
    auto s = State();
    h = static_cast<int16_t>(s->TESTPATTERN_ARGS[0]);
    v = static_cast<int16_t>(s->TESTPATTERN_ARGS[1]);
  }
  hStart_ = MakePageEdit(this, kHStartEdit, kHStartEditRect, kCoordinateMin, kCoordinateMax, 0);
  vStart_ = MakePageEdit(this, kVStartEdit, kVStartEditRect, kCoordinateMin, kCoordinateMax, 0);
  ShowEditValue(hStart_, h);
  ShowEditValue(vStart_, v);
  swatch_ = new GrabSwatch(this, kSwatch);
  swatch_->setGeometry(kSwatchRect);

  captionButton_ = new CGdipButton(this, kCaptionButton);
  captionButton_->LoadImage(art::kCaptionButton);
  captionButton_->SetTextColor(kCaptionButtonText);
  captionButton_->setText(QStringLiteral("字幕设置"));
  captionButton_->setGeometry(kCaptionButtonRect);
  connect(captionButton_, &QAbstractButton::clicked, this, [this] { CaptionPressed(); });
}

void MTstPatternDlg::ReloadTexts() {
  MSettingsPage::ReloadTexts();
  ApplyDialogTexts(this, TemplateId());
  if (patternGroup_ == nullptr) return;  // the base calls this before the controls exist
  patternGroup_->SetText(UiQText(kTextTestPattern));
  grabGroup_->SetText(UiQText(kTextPixelGrab));
  update();
}

void MTstPatternDlg::ShowPage(bool show) {
  if (!show && patternInUse_ != 0 && Created()) ReleasePatternSwitch(true);
  MSettingsPage::ShowPage(show);
}

intptr_t MTstPatternDlg::OnMessage(const Message& message) {
  if (message.id == UM_TEST_PATTERN_REFRESH) {
    NoteRefresh();
    if (Created()) ShowGrabResult();
    return 1;
  }
  if (message.id == UM_VALUE_COMMITTED) {
    // Commits reach the device only from the page the operator sees.
    if (!isVisible()) return 1;
    const auto id = static_cast<int>(message.wParam);
    if (id == kPatternEdit) PatternCommitted();
    if (id == kHStartEdit || id == kVStartEdit) CoordinateCommitted();
    return 1;
  }
  return MSettingsPage::OnMessage(message);
}

// --- Test pattern -----------------------------------------------------------------

void MTstPatternDlg::PatternSwitched() {
  const bool on = patternSwitch_->IsChecked();
  patternSwitch_->setText(on ? kCaptionOn : kCaptionOff);
  EnablePatternControls(on);
  UsePattern(on ? static_cast<int>(std::lround(patternEdit_->Value())) : 0);
  PostLock(patternInUse_ != 0);
  // The two exclude each other: the grab is released without a command.
  ShowSwitch(grabSwitch_, false);
  EnableCoordinates(false);
  PostCaptionPage(false);
}

void MTstPatternDlg::Step(int delta) {
  const int value = std::clamp(static_cast<int>(std::lround(patternEdit_->Value())) + delta,
                               kFirstPattern, kLastPattern);
  patternEdit_->SetValue(static_cast<float>(value));
  UsePattern(value);
}

void MTstPatternDlg::PatternCommitted() {
  UsePattern(static_cast<int>(std::lround(patternEdit_->Value())));
}

void MTstPatternDlg::UsePattern(int pattern) {
  patternInUse_ = pattern;
  { State()->TESTPATTERN_ID = static_cast<uint8_t>(pattern); }
  SendCommand(SET_TEST_PATTERN);
}

void MTstPatternDlg::RefreshFromRecord() {
  int pattern = 0;
  { pattern = State()->TESTPATTERN_ID; }
  if (!Created() || pattern == patternInUse_) return;
  patternInUse_ = pattern;
  const bool on = pattern != 0;
  patternSwitch_->SetChecked(on);
  patternSwitch_->setText(on ? kCaptionOn : kCaptionOff);
  patternSwitch_->update();
  if (on) patternEdit_->SetValue(static_cast<float>(pattern));
  EnablePatternControls(on);
  PostLock(on);
}

void MTstPatternDlg::ReleasePatternSwitch(bool stopPattern) {
  patternSwitch_->SetChecked(false);
  patternSwitch_->setText(kCaptionReleased);
  patternSwitch_->update();
  EnablePatternControls(false);
  if (!stopPattern) return;
  UsePattern(0);
  PostLock(false);
}

void MTstPatternDlg::EnablePatternControls(bool on) {
  patternEdit_->setEnabled(on);
  for (CGdipButton* b : {previous_, next_}) {
    b->setEnabled(on);
    b->SetDisabledLook(!on);
  }
}

// --- Pixel grab ---------------------------------------------------------------------

void MTstPatternDlg::GrabSwitched() {
  const bool on = grabSwitch_->IsChecked();
  EnableCoordinates(on);
  SendGrab(on);
  if (on && patternSwitch_->IsChecked()) {
    // The pattern stays on the device (and the layers locked) until it is switched off.
    ReleasePatternSwitch(false);
    PostCaptionPage(false);
  }
}

void MTstPatternDlg::CoordinateCommitted() {
  int hreso = 0;
  int vreso = 0;
  {
    auto s = State();
    hreso = s->block.OUTPUTRESO.HRESO;
    vreso = s->block.OUTPUTRESO.VRESO;
  }
  const int h = std::min(static_cast<int>(std::lround(hStart_->Value())), hreso - 1);
  const int v = std::min(static_cast<int>(std::lround(vStart_->Value())), vreso - 1);
  ShowEditValue(hStart_, h);
  ShowEditValue(vStart_, v);
  {
    auto s = State();
    s->TESTPATTERN_ARGS[0] = static_cast<uint16_t>(std::lround(hStart_->Value()));
    s->TESTPATTERN_ARGS[1] = static_cast<uint16_t>(std::lround(vStart_->Value()));
  }
  SendGrab(true);
}

void MTstPatternDlg::SendGrab(bool on) {
  SendCommand(SET_PIXEL_GRAB, on ? 1 : 0);
}

void MTstPatternDlg::EnableCoordinates(bool on) {
  hStart_->setEnabled(on);
  vStart_->setEnabled(on);
}

void MTstPatternDlg::ShowGrabResult() {
  uint16_t rgb[3]{};
  {
    auto s = State();
    std::copy(std::begin(s->PIXEL_GRAB), std::end(s->PIXEL_GRAB), rgb);
  }
  swatch_->ShowGrab(rgb[0], rgb[1], rgb[2]);
}

// --- Caption page -------------------------------------------------------------------

void MTstPatternDlg::CaptionPressed() {
  PostCaptionPage(true);
  if (patternSwitch_->IsChecked()) ReleasePatternSwitch(true);
  if (grabSwitch_->IsChecked()) {
    ShowSwitch(grabSwitch_, false);
    EnableCoordinates(false);
    SendGrab(false);
  }
}

void MTstPatternDlg::PostLock(bool lock) {
  PostMsg(NotifyWindow(this), UM_LOCK_LAYERS, 0, lock ? 1 : 0);
}

void MTstPatternDlg::PostCaptionPage(bool show) {
  PostMsg(NotifyWindow(this), UM_PAGE_REQUEST, kMiscTabRequest, 0,
          QVariantList{kCaptionTab, show ? 1 : 0});
}

}  // namespace orv
