#include "MVgaDlg.h"

#include <QLabel>

#include "CGdipButton.h"
#include "CSxGroupBox.h"
#include "CommandEncoder.h"
#include "DeviceState.h"
#include "DialogTexts.h"
#include "MEdidVgaParts.h"
#include "MessageBox.h"
#include "MessageIds.h"
#include "UiTexts.h"
#include "oRealEdit.h"

namespace orv {

namespace {

using namespace edidvga;

constexpr int kTextInputSource = 4;
constexpr int kTextDisplayAdjustment = 17;
constexpr int kTextAdcAdjustment = 18;
constexpr int kTextDdcSetting = 19;
constexpr int kTextVgaAdjustment = 34;
constexpr int kTextPasswordError = 35;
constexpr int kTextWaitOperation = 65;
constexpr int kTextOk = 66;
constexpr int kTextFailed = 67;

constexpr int kPortVga = 3;

// SET_VGA_ADJUST (operation, argument).
constexpr uint8_t kOpDisplay = 0;
constexpr uint8_t kOpConverter = 1;
constexpr uint8_t kOpDdc = 2;
constexpr uint8_t kArgValues = 0;
constexpr uint8_t kArgAutoAdjust = 1;
constexpr uint8_t kArgCalibrate = 1;
constexpr uint8_t kArgResetConverter = 2;

struct EditSpec {
  int labelId;
  const char* caption;
  int editId;
  int low, high;
  QRect label, edit;
};

constexpr int kRow = 22;

// Clock, phase, horizontal and vertical position (V1, V2, B1, B2).
const EditSpec kDisplayEdits[] = {
    {MVgaDlg::kClockLabel,
     "Clock :",
     MVgaDlg::kClockEdit,
     500,
     4096,
     {24, 90, 124, kRow},
     {150, 90, 140, kRow}},
    {MVgaDlg::kPhaseLabel,
     "Phase :",
     MVgaDlg::kPhaseEdit,
     0,
     63,
     {24, 116, 124, kRow},
     {150, 116, 140, kRow}},
    {MVgaDlg::kHPositionLabel,
     "H Position :",
     MVgaDlg::kHPositionEdit,
     -100,
     100,
     {24, 142, 124, kRow},
     {150, 142, 140, kRow}},
    {MVgaDlg::kVPositionLabel,
     "V Position :",
     MVgaDlg::kVPositionEdit,
     -16,
     16,
     {24, 168, 124, kRow},
     {150, 168, 140, kRow}},
};

// W1..W6: offsets in the left column, gains in the right.
const EditSpec kAdcEdits[] = {
    {MVgaDlg::kRedOffsetLabel,
     "Red Offset",
     MVgaDlg::kRedOffsetEdit,
     0,
     1023,
     {18, 322, 96, kRow},
     {114, 322, 42, kRow}},
    {MVgaDlg::kRedGainLabel,
     "Red Gain",
     MVgaDlg::kRedGainEdit,
     0,
     1023,
     {164, 322, 94, kRow},
     {258, 322, 42, kRow}},
    {MVgaDlg::kGreenOffsetLabel,
     "Green Offset",
     MVgaDlg::kGreenOffsetEdit,
     0,
     1023,
     {18, 348, 96, kRow},
     {114, 348, 42, kRow}},
    {MVgaDlg::kGreenGainLabel,
     "Green Gain",
     MVgaDlg::kGreenGainEdit,
     0,
     1023,
     {164, 348, 94, kRow},
     {258, 348, 42, kRow}},
    {MVgaDlg::kBlueOffsetLabel,
     "Blue Offset",
     MVgaDlg::kBlueOffsetEdit,
     0,
     1023,
     {18, 374, 96, kRow},
     {114, 374, 42, kRow}},
    {MVgaDlg::kBlueGainLabel,
     "Blue Gain",
     MVgaDlg::kBlueGainEdit,
     0,
     1023,
     {164, 374, 94, kRow},
     {258, 374, 42, kRow}},
};

const QRect kDisplayGroupRect(10, 32, 300, 196);
const QRect kAdcGroupRect(10, 236, 300, 80);
const QRect kDdcGroupRect(10, 324, 300, 46);
const QRect kInputSourceRect(24, 50, 266, 36);
const QRect kAutoAdjustRect(150, 196, 140, 26);
const QRect kCodeLabelRect(20, 256, 168, kRow);
const QRect kCodeEditRect(190, 256, 100, kRow);
const QRect kEnterRect(20, 284, 96, 26);
const QRect kLockSwitchRect(230, 285, 60, 24);
const QRect kCalibrateRect(20, 406, 110, 28);
const QRect kResetRect(140, 406, 110, 28);
const QRect kDdcSwitchRect(150, 340, 60, 24);

QString Text(int n) {
  return QString::fromStdString(UiText(n));
}

// The input slot whose converter serves an input code: the split halves
// belong to their port's slot.
int SlotOfInput(int code) {
  if (code >= 0 && code < kInputSlots) return code;
  if (code == 8 || code == 9) return 4;
  if (code == 10 || code == 11) return 6;
  return -1;
}

void Shift(QWidget* w, int dy) {
  w->move(w->x(), w->y() + dy);
}

}  // namespace

MVgaDlg::MVgaDlg(QWidget* parent)
    : MSettingsPage(kTemplateId, parent, QStringLiteral("VGA Adjustment")) {}

bool MVgaDlg::OnInitDialog() {
  MBaseDialog::OnInitDialog();
  resize(320, 526);
  BuildControls();
  CreateTitleButtons();
  ApplyControlFont();
  ReloadTexts();
  return true;
}

void MVgaDlg::BuildControls() {
  displayGroup_ = MakeGroup(this, kDisplayGroup, Text(kTextDisplayAdjustment), kDisplayGroupRect);
  adcGroup_ = MakeGroup(this, kAdcGroup, Text(kTextAdcAdjustment), kAdcGroupRect);
  ddcGroup_ = MakeGroup(this, kDdcGroup, Text(kTextDdcSetting), kDdcGroupRect);

  inputSource_ = MakeLabel(this, kInputSourceLabel, Text(kTextInputSource), kInputSourceRect);
  for (int i = 0; i < kDisplayEditCount; ++i) {
    const EditSpec& e = kDisplayEdits[i];
    MakeLabel(this, e.labelId, QString::fromLatin1(e.caption), e.label);
    display_[i] = MakeEdit(this, e.editId, e.low, e.high, 0, e.edit);
    inFlight_.Watch(display_[i]);
  }
  CGdipButton* autoAdjust =
      MakeButton(this, kAutoAdjustButton, QStringLiteral("Auto Adjust"), kAutoAdjustRect);
  connect(autoAdjust, &QAbstractButton::clicked, this, &MVgaDlg::AutoAdjust);

  MakeLabel(this, kCodeLabel, QStringLiteral("Please Enter Password :"), kCodeLabelRect);
  code_ = MakeEdit(this, kCodeEdit, 0, 9999, 0, kCodeEditRect);
  code_->setEchoMode(QLineEdit::Password);
  enter_ = MakeButton(this, kEnterButton, QStringLiteral("enter"), kEnterRect);
  connect(enter_, &QAbstractButton::clicked, this, &MVgaDlg::EnterCode);
  // Enabled only while unlocked: releasing it is the only thing it does.
  lock_ = MakeSwitch(this, kLockSwitch, kLockSwitchRect);
  connect(lock_, &QAbstractButton::clicked, this, &MVgaDlg::Lock);

  for (int i = 0; i < kAdcEditCount; ++i) {
    const EditSpec& e = kAdcEdits[i];
    adcLabels_[i] = MakeLabel(this, e.labelId, QString::fromLatin1(e.caption), e.label);
    adc_[i] = MakeEdit(this, e.editId, e.low, e.high, 0, e.edit);
    inFlight_.Watch(adc_[i]);
  }
  calibrate_ = MakeButton(this, kCalibrateButton, QStringLiteral("Calibrate"), kCalibrateRect);
  connect(calibrate_, &QAbstractButton::clicked, this, &MVgaDlg::Calibrate);
  reset_ = MakeButton(this, kResetButton, QStringLiteral("Rest"), kResetRect);
  connect(reset_, &QAbstractButton::clicked, this, &MVgaDlg::ResetConverter);

  ddc_ = MakeSwitch(this, kDdcSwitch, kDdcSwitchRect);
  // The page keeps the state itself: a click by keyboard does not flip the
  // switch's own picture state.
  connect(ddc_, &QAbstractButton::clicked, this, [this] {
    ddcOn_ = !ddcOn_;
    ddc_->SetChecked(ddcOn_);
    SendCommand(SET_VGA_ADJUST, kOpDdc, ddcOn_ ? 1 : 0);
  });

  ShowConverterControls(false);
  lock_->setEnabled(false);
  lock_->SetDisabledLook(true);
  UpdateCodeControls();
}

void MVgaDlg::ReloadTexts() {
  MSettingsPage::ReloadTexts();
  if (!Created()) return;
  const QString source = inputSource_->text();
  ApplyDialogTexts(this, TemplateId());
  // The input line is the page's own, not the template's caption.
  const qsizetype lineEnd = source.indexOf(QLatin1Char('\n'));
  inputSource_->setText(lineEnd < 0 ? Text(kTextInputSource)
                                    : Text(kTextInputSource) + source.mid(lineEnd));
  displayGroup_->SetText(Text(kTextDisplayAdjustment));
  adcGroup_->SetText(Text(kTextAdcAdjustment));
  ddcGroup_->SetText(Text(kTextDdcSetting));
}

void MVgaDlg::ShowPage(bool show) {
  if (!show && adcUnlocked_) Lock();
  MSettingsPage::ShowPage(show);
}

void MVgaDlg::RefreshFromDevice() {
  NoteRefresh();
  if (!Created()) return;
  VgaAdjust v{};
  { v = State()->VGA; }
  const int displayValues[kDisplayEditCount] = {v.V1, v.V2, v.B1, v.B2};
  for (int i = 0; i < kDisplayEditCount; ++i)
    ShowDeviceValue(display_[i], displayValues[i], inFlight_);
  const int adcValues[kAdcEditCount] = {v.W1, v.W2, v.W3, v.W4, v.W5, v.W6};
  for (int i = 0; i < kAdcEditCount; ++i) ShowDeviceValue(adc_[i], adcValues[i], inFlight_);
}

void MVgaDlg::ShowLayer(int layer) {
  NoteRefresh();
  if (!Created() || !DeviceState::ValidLayer(layer)) return;
  int slot = -1;
  bool vga = false;
  QString name;
  {
    auto s = State();
    slot = SlotOfInput(s->block.CHNLDATA[layer].CHNLINPUT);
    if (slot >= 0) vga = s->block.INPUTINFO.INPUTSRC[slot] == kPortVga;
    if (vga) {
      s->VGA.ADJ_TARGET = static_cast<uint8_t>(slot);
      name = QString::fromStdString(s->INPUT_TABLE[slot].name);
    }
  }
  if (!vga) {
    // Another layer's input says nothing about the one adjusted; the
    // adjusted layer leaving its VGA input ends the converter access.
    if (layer == targetLayer_) {
      targetLayer_ = -1;
      Lock();
      UpdateCodeControls();
    }
    return;
  }
  SendCommand(GET_VGA_ADJUST, static_cast<uint8_t>(slot));
  inputSource_->setText(Text(kTextInputSource) + QLatin1Char('\n') + name);
  targetLayer_ = layer;
  // Only the main layer's input may have its converter unlocked.
  if (layer != 0) Lock();
  UpdateCodeControls();
}

void MVgaDlg::UpdateCodeControls() {
  const bool mayUnlock = targetLayer_ == 0 && !adcUnlocked_;
  code_->setEnabled(mayUnlock);
  enter_->setEnabled(mayUnlock);
  enter_->SetDisabledLook(!mayUnlock);
}

void MVgaDlg::CommitDisplayValues() {
  {
    auto s = State();
    s->VGA.V1 = static_cast<int32_t>(display_[0]->Value());
    s->VGA.V2 = static_cast<int32_t>(display_[1]->Value());
    s->VGA.B1 = static_cast<int8_t>(display_[2]->Value());
    s->VGA.B2 = static_cast<int8_t>(display_[3]->Value());
  }
  SendCommand(SET_VGA_ADJUST, kOpDisplay, kArgValues);
}

void MVgaDlg::CommitConverterValues() {
  {
    auto s = State();
    uint16_t* words[kAdcEditCount] = {&s->VGA.W1, &s->VGA.W2, &s->VGA.W3,
                                      &s->VGA.W4, &s->VGA.W5, &s->VGA.W6};
    for (int i = 0; i < kAdcEditCount; ++i) *words[i] = static_cast<uint16_t>(adc_[i]->Value());
  }
  SendCommand(SET_VGA_ADJUST, kOpConverter, kArgValues);
}

// Queued before the command goes out, so that the event that hides the box
// can never be handled before the box is shown.
void MVgaDlg::ShowWaitBox() {
  PostMsg(NotifyWindow(this), UM_WAIT, 1, 0, Text(kTextWaitOperation));
}

void MVgaDlg::AutoAdjust() {
  ShowWaitBox();
  SendCommand(SET_VGA_ADJUST, kOpDisplay, kArgAutoAdjust);
  uint8_t target = 0;
  { target = State()->VGA.ADJ_TARGET; }
  SendCommand(GET_VGA_ADJUST, target);
}

void MVgaDlg::Calibrate() {
  ShowWaitBox();
  SendCommand(SET_VGA_ADJUST, kOpConverter, kArgCalibrate);
}

// Reads back the slot just reset (not slot 0, which may be another input).
void MVgaDlg::ResetConverter() {
  SendCommand(SET_VGA_ADJUST, kOpConverter, kArgResetConverter);
  uint8_t target = 0;
  { target = State()->VGA.ADJ_TARGET; }
  SendCommand(GET_VGA_ADJUST, target);
}

void MVgaDlg::EnterCode() {
  code_->Commit(false);
  if (static_cast<int>(code_->Value()) != kAccessCode) {
    ShowMessageBox(this, Text(kTextPasswordError), QString());
    return;
  }
  Unlock();
}

void MVgaDlg::ShowConverterControls(bool show) {
  for (int i = 0; i < kAdcEditCount; ++i) {
    adcLabels_[i]->setVisible(show);
    adc_[i]->setVisible(show);
  }
  calibrate_->setVisible(show);
  reset_->setVisible(show);
}

void MVgaDlg::Unlock() {
  if (adcUnlocked_) return;
  adcUnlocked_ = true;
  lock_->setEnabled(true);
  lock_->SetDisabledLook(false);
  lock_->SetChecked(true);
  ShowConverterControls(true);
  adcGroup_->resize(adcGroup_->width(), adcGroup_->height() + kAdcGrowth);
  Shift(ddcGroup_, kAdcGrowth);
  Shift(ddc_, kAdcGrowth);
  UpdateCodeControls();
  update();
}

void MVgaDlg::Lock() {
  if (!adcUnlocked_) return;
  adcUnlocked_ = false;
  ShowConverterControls(false);
  adcGroup_->resize(adcGroup_->width(), adcGroup_->height() - kAdcGrowth);
  Shift(ddcGroup_, -kAdcGrowth);
  Shift(ddc_, -kAdcGrowth);
  lock_->SetChecked(false);
  lock_->setEnabled(false);
  lock_->SetDisabledLook(true);
  code_->SetValue(0);
  UpdateCodeControls();
  update();
}

void MVgaDlg::AdjustResult() {
  NoteRefresh();
  bool ok = false;
  { ok = State()->EVENT_ARG1 != 0; }
  const QString text =
      QStringLiteral("%1 %2").arg(Text(kTextVgaAdjustment), Text(ok ? kTextOk : kTextFailed));
  ShowMessageBox(this, text, QString());
}

intptr_t MVgaDlg::OnMessage(const Message& message) {
  if (message.id != UM_VALUE_COMMITTED) return MSettingsPage::OnMessage(message);
  const int id = static_cast<int>(message.wParam);
  inFlight_.Arrived(id);
  for (const EditSpec& e : kDisplayEdits) {
    if (e.editId == id) {
      CommitDisplayValues();
      return 0;
    }
  }
  for (const EditSpec& e : kAdcEdits) {
    if (e.editId == id) {
      CommitConverterValues();
      return 0;
    }
  }
  return 0;
}

}  // namespace orv
