#include "MPicSettingDlg.h"

#include <cmath>

#include <QLabel>

#include "ArtIds.h"
#include "CDropList.h"
#include "CGdipButton.h"
#include "CSxGroupBox.h"
#include "CommandEncoder.h"
#include "DeviceState.h"
#include "DialogTexts.h"
#include "LayerTabs.h"
#include "MessageIds.h"
#include "OutputRules.h"
#include "PageWidgets.h"
#include "UiTexts.h"
#include "oBitmapSlider.h"
#include "oSliderEdit.h"

namespace orv {

namespace {

constexpr int kTextPictureMode = 0;
constexpr int kTextColorTemperature = 1;
constexpr int kTextUserTemp = 42;
constexpr int kTextFirstMode = 57;  // " Standard " .. " User ": 57..64
constexpr int kModes = 8;
constexpr int kColorTemps = 9;
constexpr float kLeastGamma = 0.1f;

struct AdjustSpec {
  int labelId;  // 0: the label sits in the switch row above
  const char* caption;
  int y;  // the row of slider and edit
  const char* format;
  float max;
  uint8_t PicSet::*field;  // null for bright level and gamma
};

using A = MPicSettingDlg;
const AdjustSpec kAdjustSpecs[A::kAdjusts] = {
    {0, "", 118, "%d", 16, nullptr},
    {0, "", 166, "%.1f", 5.0f, nullptr},
    {A::kFirstAdjustLabel, "Brightness :", 234, "%d", 100, &PicSet::BRIGHTNESS},
    {A::kFirstAdjustLabel + 1, "Contrast :", 258, "%d", 100, &PicSet::CONTRAST},
    {A::kFirstAdjustLabel + 2, "Saturation :", 282, "%d", 100, &PicSet::SATURATION},
    {A::kFirstAdjustLabel + 3, "Hue :", 306, "%d", 100, &PicSet::HUE},
    {A::kFirstAdjustLabel + 4, "Sharpness :", 330, "%d", 24, &PicSet::SHARPNESS},
    {A::kFirstAdjustLabel + 5, "Red :", 400, "%d", 255, &PicSet::COLORRED},
    {A::kFirstAdjustLabel + 6, "Green :", 424, "%d", 255, &PicSet::COLORGREEN},
    {A::kFirstAdjustLabel + 7, "Blue :", 448, "%d", 255, &PicSet::COLORBLUE},
};

constexpr int kLabelLeft = 10;
constexpr int kLabelWidth = 78;
constexpr int kSliderLeft = 88;
constexpr int kEditLeft = 288;
constexpr int kEditWidth = 30;
constexpr int kRowSliderLeft = 16;  // bright level and gamma: slider under the switch row
constexpr int kRowEditLeft = 226;

const QRect kModeGroupRect(8, 74, 304, 124);
const QRect kModeListRect(146, 64, 160, 22);
const QRect kBrightLabelRect(16, 94, 100, 22);
const QPoint kBrightSwitchAt(120, 93);
const QRect kGammaLabelRect(16, 142, 100, 22);
const QPoint kGammaSwitchAt(120, 141);
const QRect kGammaHintRect(188, 142, 100, 22);
const QRect kInputLabelRect(16, 206, 56, 22);
const QRect kInputButtonRect(74, 203, 132, 26);
const QRect kAllButtonRect(214, 203, 64, 26);
const QRect kSharpnessHintRect(272, 352, 46, 16);
const QRect kColorTempGroupRect(8, 382, 304, 94);
const QRect kColorTempListRect(146, 372, 160, 22);
const QRect kResetRect(16, 484, 84, 28);
const QRect kResetPictureRect(108, 484, 196, 28);

bool IsColour(int which) {
  return which >= A::kRed;
}

}  // namespace

MPicSettingDlg::MPicSettingDlg(QWidget* parent)
    : MSettingsPage(kTemplateId, parent, QStringLiteral("Picture Setting")) {}

MPicSettingDlg::~MPicSettingDlg() = default;

bool MPicSettingDlg::OnInitDialog() {
  MSettingsPage::OnInitDialog();
  BuildControls();
  ApplyControlFont();
  FillLists();
  modeList_->SetCurSel(0);
  colorTempList_->SetCurSel(0);
  float first[kAdjusts] = {};
  {
    auto s = State();
    first[kBrightLevel] = s->PICDEFAULT_USER.BRIGHTLEVEL;
    first[kGamma] = s->PICDEFAULT_USER.GAMMA;
    // The grid row lists bright level, gamma, then the eight adjustments.
    const uint8_t* grid = s->PICDEFAULT_GRID[0];
    for (int i = kBrightness; i < kAdjusts; ++i) first[i] = grid[i];
  }
  for (int i = 0; i < kAdjusts; ++i) {
    oSliderEdit* e = edits_[static_cast<std::size_t>(i)];
    e->SetValue(std::clamp(first[i], 0.0f, e->Maximum()));
    e->setEnabled(i > kGamma);
  }
  ShowSwitchState(brightSwitch_, false);
  ShowSwitchState(gammaSwitch_, false);
  ShowApplyTo();
  return true;
}

void MPicSettingDlg::BuildControls() {
  tabs_ = std::make_unique<LayerTabRow>(this, kFirstTab, 14, 36, [this](int l) { SelectLayer(l); });
  modeGroup_ = MakePageGroup(this, kModeGroup, UiQText(kTextPictureMode), kModeGroupRect);
  colorTempGroup_ =
      MakePageGroup(this, kColorTempGroup, UiQText(kTextColorTemperature), kColorTempGroupRect);
  MakePageLabel(this, kBrightLevelLabel, QStringLiteral("Bright Level :"), kBrightLabelRect);
  MakePageLabel(this, kGammaLabel, QStringLiteral("Gamma :"), kGammaLabelRect);
  MakePageLabel(this, kGammaHint, QStringLiteral("(0~5.0)  "), kGammaHintRect);
  brightSwitch_ = MakePageSwitch(this, kBrightLevelSwitch, kBrightSwitchAt);
  gammaSwitch_ = MakePageSwitch(this, kGammaSwitch, kGammaSwitchAt);
  connect(brightSwitch_, &QAbstractButton::clicked, this, [this] { SwitchPressed(false); });
  connect(gammaSwitch_, &QAbstractButton::clicked, this, [this] { SwitchPressed(true); });

  MakePageLabel(this, kInputLabel, QStringLiteral("Input :"), kInputLabelRect);
  inputButton_ = MakePageButton(this, kInputButton, QString(), kInputButtonRect);
  allButton_ = MakePageButton(this, kAllButton, QStringLiteral("ALL"), kAllButtonRect);
  for (CGdipButton* b : {inputButton_, allButton_}) {
    b->LoadAltImage(art::kFaceButtonActive);
    b->SetStayPushed(true);
  }
  connect(inputButton_, &QAbstractButton::clicked, this, [this] { ApplyToChosen(false); });
  connect(allButton_, &QAbstractButton::clicked, this, [this] { ApplyToChosen(true); });

  for (int i = 0; i < kAdjusts; ++i) {
    const AdjustSpec& a = kAdjustSpecs[i];
    const bool row = a.labelId == 0;
    if (!row) {
      MakePageLabel(this, a.labelId, QString::fromLatin1(a.caption),
                    QRect(kLabelLeft, a.y, kLabelWidth, 22));
    }
    auto* slider = new oBitmapSlider(this, kFirstSlider + i);
    slider->LoadChannel(art::kSliderChannel, art::kSliderChannelActive);
    slider->LoadThumb(art::kSliderThumb, art::kSliderThumbActive);
    slider->move(row ? kRowSliderLeft : kSliderLeft, a.y + 3);
    auto* edit = new oSliderEdit(this, kFirstEdit + i);
    edit->Setup(0, 0, true, a.max, QString::fromLatin1(a.format));
    edit->setGeometry(row ? kRowEditLeft : kEditLeft, a.y, row ? 48 : kEditWidth, 22);
    edit->Bind(slider);
    edits_[static_cast<std::size_t>(i)] = edit;
  }
  MakePageLabel(this, kSharpnessHint, QStringLiteral("\u226424"), kSharpnessHintRect)
      ->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  modeList_ = MakePageDropList(this, kModeListId, kModeListRect);
  colorTempList_ = MakePageDropList(this, kColorTempListId, kColorTempListRect);
  reset_ = MakePageButton(this, kReset, QStringLiteral("Reset"), kResetRect);
  resetPicture_ = MakePageButton(this, kResetPicture, QStringLiteral("Reset Picture Settings"),
                                 kResetPictureRect);
  connect(reset_, &QAbstractButton::clicked, this, [this] { ResetColour(); });
  connect(resetPicture_, &QAbstractButton::clicked, this, [this] { ResetPicture(); });
}

void MPicSettingDlg::FillLists() {
  modeList_->ResetContent();
  for (int m = 0; m < kModes; ++m) {
    const int i = modeList_->List()->AddString(UiQText(kTextFirstMode + m));
    modeList_->List()->SetItemData(i, static_cast<uint32_t>(m));
  }
  colorTempList_->ResetContent();
  auto s = State();
  for (int t = 0; t < kColorTemps; ++t) {
    const int i = colorTempList_->List()->AddString(QString::fromStdString(s->COLORTEMP_TABLE[t]));
    colorTempList_->List()->SetItemData(i, static_cast<uint32_t>(t));
  }
}

void MPicSettingDlg::ReloadTexts() {
  MSettingsPage::ReloadTexts();
  ApplyDialogTexts(this, TemplateId());
  if (modeGroup_ == nullptr) return;  // the base calls this before the controls exist
  modeGroup_->SetText(UiQText(kTextPictureMode));
  colorTempGroup_->SetText(UiQText(kTextColorTemperature));
  int mode = 0;
  {
    auto s = State();
    s->COLORTEMP_TABLE[kUserColorTemp] = UiText(kTextUserTemp);
    mode = s->block.PICCOMMSETT.PICMODE;
  }
  const int temp = colorTempList_->GetCurSel();
  FillLists();
  if (mode >= 0 && mode < kModes) modeList_->SetCurSel(mode);
  colorTempList_->SetCurSel(temp);
  ShowApplyTo();
  update();
}

void MPicSettingDlg::ShowSwitchState(CGdipButton* button, bool on) {
  ShowSwitch(button, on);
  button->setText(on ? QStringLiteral("0n") : QStringLiteral("0ff"));
}

void MPicSettingDlg::ApplyEnabling(bool user) {
  edits_[kBrightLevel]->setEnabled(user && brightSwitch_->IsChecked());
  edits_[kGamma]->setEnabled(user && gammaSwitch_->IsChecked());
  for (int i = kBrightness; i <= kSharpness; ++i)
    edits_[static_cast<std::size_t>(i)]->setEnabled(user);
  brightSwitch_->setEnabled(user);
  gammaSwitch_->setEnabled(user);
  colorTempList_->setEnabled(user);
  // The gains belong to the user colour temperature alone.
  const bool gains = user && colorTempList_->GetCurSel() == kUserColorTemp;
  for (int i = kRed; i <= kBlue; ++i) edits_[static_cast<std::size_t>(i)]->setEnabled(gains);
}

void MPicSettingDlg::ShowApplyTo() {
  bool all = false;
  QString source;
  {
    auto s = State();
    all = s->PICSET_FLAG[layer_] != 0;
    source = QString::fromStdString(s->InputEntryOf(s->block.CHNLDATA[layer_].CHNLINPUT).name);
  }
  inputButton_->setText(source.trimmed());
  inputButton_->SetChecked(!all);
  allButton_->SetChecked(all);
  inputButton_->update();
  allButton_->update();
}

void MPicSettingDlg::RefreshFromDevice() {
  NoteRefresh();
  if (!Created()) return;
  // The dispatcher refreshes this page after a full read-back and when the
  // program/preview assignment changed; the tabs follow only a new assignment,
  // so a picture read-back never moves the operator's chosen tab.
  PvwModeInfo mode{};
  { mode = State()->block.PVWMODEINFO; }
  std::array<uint8_t, 9> from{mode.PVWMODE};
  std::copy(std::begin(mode.PGMSTATE), std::end(mode.PGMSTATE), from.begin() + 1);
  std::copy(std::begin(mode.PVWSTATE), std::end(mode.PVWSTATE), from.begin() + 5);
  if (!tabsLabelled_ || from != tabsFrom_) {
    tabsLabelled_ = true;
    tabsFrom_ = from;
    UpdateLayerTabs();
  }
  PicCommSett common{};
  PicSet pic{};
  PictureDefault preset{};
  {
    auto s = State();
    common = s->block.PICCOMMSETT;
    pic = s->PicSetOf(InputGroupOfLayer(*s, layer_), layer_);
    if (common.PICMODE >= 0 && common.PICMODE < kUserMode) preset = s->PICDEFAULT[common.PICMODE];
  }
  ShowApplyTo();
  // A mode outside the table (from a device or a project) changes nothing shown.
  if (common.PICMODE < 0 || common.PICMODE >= kModes) return;
  modeList_->SetCurSel(common.PICMODE);
  const bool user = common.PICMODE == kUserMode;
  const float gamma = std::isfinite(common.GAMMA) ? common.GAMMA : 0.0f;
  float values[kAdjusts] = {};
  if (user) {
    values[kBrightLevel] = static_cast<float>(common.BRIGHTLEVEL);
    values[kGamma] = gamma;
    for (int i = kBrightness; i < kAdjusts; ++i) values[i] = pic.*kAdjustSpecs[i].field;
    ShowSwitchState(brightSwitch_, common.BRIGHTLEVEL != kBrightLevelOff);
    ShowSwitchState(gammaSwitch_, gamma != 0.0f);
    if (pic.COLORTEMP >= 0 && pic.COLORTEMP < kColorTemps) colorTempList_->SetCurSel(pic.COLORTEMP);
  } else {
    // A preset's gamma byte is read in tenths, the unit gamma travels in.
    const uint8_t bytes[kAdjusts] = {
        preset.brightLevel, preset.gamma,     preset.brightness, preset.contrast, preset.saturation,
        preset.hue,         preset.sharpness, preset.red,        preset.green,    preset.blue};
    for (int i = 0; i < kAdjusts; ++i) values[i] = bytes[i];
    values[kGamma] = preset.gamma / 10.0f;
    ShowSwitchState(brightSwitch_, preset.brightLevel != kBrightLevelOff);
    ShowSwitchState(gammaSwitch_, preset.gamma != 0);
    colorTempList_->SetCurSel(kUserColorTemp);
  }
  for (int i = 0; i < kAdjusts; ++i) {
    oSliderEdit* e = edits_[static_cast<std::size_t>(i)];
    e->SetValue(std::clamp(values[i], 0.0f, e->Maximum()));
  }
  ApplyEnabling(user);
}

void MPicSettingDlg::UpdateLayerTabs() {
  if (!Created()) return;
  PvwModeInfo mode{};
  { mode = State()->block.PVWMODEINFO; }
  const LayerTabLook look = LayerTabsFor(mode, true);
  tabs_->Apply(look);
  if (look.select >= 0) SelectLayer(look.select);
}

void MPicSettingDlg::RefreshForLayer(int layer) {
  if (layer == layer_) RefreshFromDevice();
}

void MPicSettingDlg::SelectLayer(int layer) {
  if (!DeviceState::ValidLayer(layer) || !Created()) return;
  tabs_->Select(layer);
  if (layer == layer_) return;
  layer_ = layer;
  RefreshFromDevice();
}

void MPicSettingDlg::SendPicture() {
  SendCommand(SET_PICTURE, layer_);
}

void MPicSettingDlg::ValueCommitted(int editId) {
  const int which = editId - kFirstEdit;
  if (which < 0 || which >= kAdjusts || !isVisible()) return;
  const float value = edits_[static_cast<std::size_t>(which)]->Value();
  {
    auto s = State();
    const int group = InputGroupOfLayer(*s, layer_);
    const bool all = s->PICSET_FLAG[layer_] != 0;
    if (which == kBrightLevel) {
      s->block.PICCOMMSETT.BRIGHTLEVEL = static_cast<int32_t>(value);
    } else if (which == kGamma) {
      s->block.PICCOMMSETT.GAMMA = value;
    } else {
      const auto byte = static_cast<uint8_t>(value);
      for (int g = all ? 0 : group; g <= (all ? kInputGroups - 1 : group); ++g) {
        s->PicSetOf(g, layer_).*kAdjustSpecs[which].field = byte;
      }
      if (IsColour(which)) s->PicSetOf(group, layer_).COLORTEMP = kUserColorTemp;
    }
    if (!IsColour(which)) s->block.PICCOMMSETT.PICMODE = kUserMode;
  }
  if (IsColour(which)) {
    colorTempList_->SetCurSel(kUserColorTemp);
  } else {
    modeList_->SetCurSel(kUserMode);
  }
  SendPicture();
}

void MPicSettingDlg::SwitchPressed(bool gamma) {
  CGdipButton* button = gamma ? gammaSwitch_ : brightSwitch_;
  const bool on = button->IsChecked();
  ShowSwitchState(button, on);
  oSliderEdit* edit = edits_[gamma ? kGamma : kBrightLevel];
  edit->setEnabled(on);
  modeList_->SetCurSel(kUserMode);
  {
    auto s = State();
    PicCommSett& c = s->block.PICCOMMSETT;
    c.PICMODE = kUserMode;
    if (gamma) {
      // 0.0 is how the device says "off": an "on" from 0.0 takes the least
      // gamma instead, or the read-back would switch it off again.
      if (on && TenthsOf(edit->Value()) == 0) edit->SetValue(kLeastGamma);
      c.GAMMA = on ? edit->Value() : 0.0f;
    } else {
      c.BRIGHTLEVEL = on ? static_cast<int32_t>(edit->Value()) : kBrightLevelOff;
    }
  }
  SendPicture();
}

void MPicSettingDlg::ModeChosen(int index) {
  if (index < 0 || index >= kModes) return;
  { State()->block.PICCOMMSETT.PICMODE = index; }
  ApplyEnabling(index == kUserMode);
  SendPicture();
  RefreshFromDevice();
}

void MPicSettingDlg::ColorTempChosen(int index) {
  if (index < 0 || index >= kColorTemps) return;
  {
    auto s = State();
    s->block.PICCOMMSETT.PICMODE = kUserMode;
    s->PicSetOf(InputGroupOfLayer(*s, layer_), layer_).COLORTEMP = index;
  }
  SendPicture();
  RefreshFromDevice();
}

void MPicSettingDlg::ApplyToChosen(bool all) {
  { State()->PICSET_FLAG[layer_] = all ? 1 : 0; }
  ShowApplyTo();
}

void MPicSettingDlg::ResetColour() {
  colorTempList_->SetCurSel(kUserColorTemp);
  { State()->PICSET_BYTE15 = 1; }
  SendPicture();
  SendCommand(GET_PICTURE, layer_);
}

void MPicSettingDlg::ResetPicture() {
  {
    auto s = State();
    const PictureDefaultUser& d = s->PICDEFAULT_USER;
    for (int layer = 0; layer < kLayers; ++layer) {
      for (int g = 0; g < kInputGroups; ++g) {
        PicSet& p = s->PicSetOf(g, layer);
        p.BRIGHTNESS = d.BRIGHTNESS;
        p.CONTRAST = d.CONTRAST;
        p.SATURATION = d.SATURATION;
        p.SHARPNESS = d.SHARPNESS;
        p.HUE = d.HUE;
        p.COLORTEMP = d.COLORTEMP;
        p.COLORRED = d.COLORRED;
        p.COLORGREEN = d.COLORGREEN;
        p.COLORBLUE = d.COLORBLUE;
      }
    }
    s->PICSET_BYTE0 = 0;
  }
  SendPicture();
  SendCommand(GET_PICTURE, layer_);
}

intptr_t MPicSettingDlg::OnMessage(const Message& message) {
  if (message.id == UM_LIST_SELECT) {
    const int index = static_cast<int>(message.lParam);
    if (message.wParam == kModeListId) ModeChosen(index);
    if (message.wParam == kColorTempListId) ColorTempChosen(index);
    return 1;
  }
  if (message.id == UM_VALUE_COMMITTED) {
    ValueCommitted(static_cast<int>(message.wParam));
    return 1;
  }
  if (message.id == UM_EDIT_KEY) {
    ValueCommitted(static_cast<int>(message.lParam));
    return 1;
  }
  return MSettingsPage::OnMessage(message);
}

}  // namespace orv
