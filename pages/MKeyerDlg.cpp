#include "MKeyerDlg.h"

#include <QLabel>

#include "CDropList.h"
#include "CGdipButton.h"
#include "CSxGroupBox.h"
#include "CommandEncoder.h"
#include "DeviceState.h"
#include "DialogTexts.h"
#include "MessageBox.h"
#include "MessageIds.h"
#include "PageWidgets.h"
#include "oRealEdit.h"

namespace orv {

namespace {

constexpr int kTextChromaKeyer = 13;
constexpr int kTextKeyerMode = 14;
constexpr int kTextFirstMode = 42;  // " User ", then the twelve fixed modes
constexpr int kTextPip3Off = 55;
constexpr int kTextTips = 38;
constexpr int kTextKeyerOnPip3 = 152;
constexpr int kTextKeyerOnPip1 = 153;

constexpr int kMosaicWithPip1Keyer = 3;

// The nine edits and the keyer fields they show, in the order they are stored.
struct ValueSpec {
  uint8_t Keyer::*field;
  int min;
  int max;
  QRect where;
};
const ValueSpec kValues[MKeyerDlg::kValueEdits] = {
    {&Keyer::KEYERREDL, 0, 255, {100, 214, 70, 24}},
    {&Keyer::KEYERREDH, 0, 255, {200, 214, 70, 24}},
    {&Keyer::KEYERGREENL, 0, 255, {100, 246, 70, 24}},
    {&Keyer::KEYERGREENH, 0, 255, {200, 246, 70, 24}},
    {&Keyer::KEYERBLUEL, 0, 255, {100, 278, 70, 24}},
    {&Keyer::KEYERBLUEH, 0, 255, {200, 278, 70, 24}},
    {&Keyer::KEYERGAININ, 0, 64, {24, 344, 80, 24}},
    {&Keyer::KEYERGAINOUT, 0, 64, {118, 344, 80, 24}},
    {&Keyer::KEYERGAINBND, 0, 255, {212, 344, 80, 24}},
};

struct LabelSpec {
  int id;
  const char* caption;
  QRect where;
};
const LabelSpec kLabels[] = {
    {MKeyerDlg::kSwitchLabel, "ON/OFF", {24, 72, 120, 24}},
    {MKeyerDlg::kRangeHeader, "Color Range", {24, 180, 170, 24}},
    {MKeyerDlg::kRedLabel, "Red :", {24, 214, 74, 24}},
    {MKeyerDlg::kGreenLabel, "Green :", {24, 246, 74, 24}},
    {MKeyerDlg::kBlueLabel, "Blue :", {24, 278, 74, 24}},
    {MKeyerDlg::kRedTilde, " ~ ", {172, 214, 26, 24}},
    {MKeyerDlg::kGreenTilde, " ~ ", {172, 246, 26, 24}},
    {MKeyerDlg::kBlueTilde, " ~ ", {172, 278, 26, 24}},
    {MKeyerDlg::kGainInLabel, "Gain In", {24, 318, 92, 22}},
    {MKeyerDlg::kGainOutLabel, "Gain Out", {118, 318, 92, 22}},
    {MKeyerDlg::kGainBndLabel, "Gain Bnd", {212, 318, 92, 22}},
};

const QRect kKeyerGroupRect(10, 40, 300, 72);
const QRect kKeyerListRect(140, 30, 164, 22);
const QPoint kSwitchAt(150, 72);
const QRect kModeGroupRect(10, 132, 300, 250);
const QRect kModeListRect(140, 122, 164, 22);
const QRect kResetRect(212, 176, 84, 28);

Keyer& KeyerOf(DeviceState& s, int chosen) {
  return s.block.KEYERINFO.KEYER[chosen == 0 ? 0 : 1];
}

}  // namespace

MKeyerDlg::MKeyerDlg(QWidget* parent)
    : MSettingsPage(kTemplateId, parent, QStringLiteral("Chroma Keyer Settings")) {}

bool MKeyerDlg::OnInitDialog() {
  MSettingsPage::OnInitDialog();
  BuildControls();
  ApplyControlFont();
  FillLists();
  ShowSwitch(switch_, false);
  ApplyEnabling();
  return true;
}

void MKeyerDlg::BuildControls() {
  keyerGroup_ = MakePageGroup(this, kKeyerGroup, UiQText(kTextChromaKeyer), kKeyerGroupRect);
  modeGroup_ = MakePageGroup(this, kModeGroup, UiQText(kTextKeyerMode), kModeGroupRect);
  for (const LabelSpec& l : kLabels)
    MakePageLabel(this, l.id, QString::fromLatin1(l.caption), l.where);
  switch_ = MakePageSwitch(this, kSwitch, kSwitchAt);
  connect(switch_, &QAbstractButton::clicked, this, [this] { SwitchPressed(); });
  reset_ = MakePageButton(this, kReset, QStringLiteral("Reset"), kResetRect);
  connect(reset_, &QAbstractButton::clicked, this, [this] { ResetPressed(); });
  for (int i = 0; i < kValueEdits; ++i) {
    const ValueSpec& v = kValues[i];
    edits_[static_cast<std::size_t>(i)] =
        MakePageEdit(this, kFirstValueEdit + i, v.where, v.min, v.max, v.min);
  }
  keyerList_ = MakePageDropList(this, kKeyerListId, kKeyerListRect);
  modeList_ = MakePageDropList(this, kModeListId, kModeListRect);
}

void MKeyerDlg::FillLists() {
  keyerList_->ResetContent();
  for (int text : {kTextKeyerOnPip3, kTextKeyerOnPip1}) {
    const int i = keyerList_->List()->AddString(UiQText(text));
    keyerList_->List()->SetItemData(i, static_cast<uint32_t>(i));
  }
  modeList_->ResetContent();
  for (int m = 0; m < kModeCount; ++m) {
    const int i = modeList_->List()->AddString(UiQText(kTextFirstMode + m));
    modeList_->List()->SetItemData(i, static_cast<uint32_t>(m));
  }
  keyerList_->SetCurSel(chosen_);
  modeList_->SetCurSel(0);
}

void MKeyerDlg::ReloadTexts() {
  MSettingsPage::ReloadTexts();
  ApplyDialogTexts(this, TemplateId());
  if (keyerGroup_ == nullptr) return;  // the base calls this before the controls exist
  keyerGroup_->SetText(UiQText(kTextChromaKeyer));
  modeGroup_->SetText(UiQText(kTextKeyerMode));
  FillLists();
  ShowKeyer();
  update();
}

void MKeyerDlg::RefreshFromDevice() {
  NoteRefresh();
  if (!Created()) return;
  ShowKeyer();
}

void MKeyerDlg::ShowKeyer() {
  int mosaic = 0;
  Keyer k{};
  {
    auto s = State();
    mosaic = s->block.MOSAICSETT.MOSAICMODE;
    if (mosaic != kMosaicWithPip1Keyer) chosen_ = 0;
    k = KeyerOf(*s, chosen_);
  }
  const bool pip1Keyer = mosaic == kMosaicWithPip1Keyer;
  keyerList_->List()->SetItemFlags(1, pip1Keyer ? CDropList::kAvailable : CDropList::kUnavailable);
  keyerList_->SetCurSel(chosen_);
  ShowSwitch(switch_, k.KEYERONOFF != 0);
  // A mode outside the table leaves the list as it was.
  if (k.KEYERMODE >= 0 && k.KEYERMODE < kModeCount) modeList_->SetCurSel(k.KEYERMODE);
  for (int i = 0; i < kValueEdits; ++i) {
    ShowEditValue(edits_[static_cast<std::size_t>(i)], k.*kValues[i].field);
  }
  ApplyEnabling();
}

void MKeyerDlg::ApplyEnabling() {
  bool on = false;
  bool user = false;
  {
    auto s = State();
    const Keyer& k = KeyerOf(*s, chosen_);
    on = k.KEYERONOFF != 0;
    user = k.KEYERMODE == 0;
  }
  modeList_->setEnabled(on);
  reset_->setEnabled(on);
  reset_->SetDisabledLook(!on);
  for (oRealEdit* edit : edits_) edit->setEnabled(on && user);
}

void MKeyerDlg::SendKeyer() {
  // The channel travels in the 32nd argument; the keyer page fills the rest with 0x55.
  constexpr uint8_t F = 0x55;
  SendCommandArgs(SET_KEYER,
                  {F, F, F, F, F, F, F, F, F, F, F, F, F, F, F, F,
                   F, F, F, F, F, F, F, F, F, F, F, F, F, F, F, static_cast<uint8_t>(Channel())});
}

void MKeyerDlg::SwitchPressed() {
  const bool on = switch_->IsChecked();
  const int layer = chosen_ == 0 ? 3 : 1;
  bool layerOn = false;
  { layerOn = State()->block.CHNLDATA[layer].CHNLONOFF != 0; }
  // Only switching on needs the layer: a keyer must stay switchable off.
  if (on && !layerOn) {
    ShowSwitch(switch_, false);
    ShowMessageBox(this, UiQText(kTextPip3Off), UiQText(kTextTips));
    return;
  }
  { KeyerOf(*State(), chosen_).KEYERONOFF = on ? 1 : 0; }
  SendKeyer();
  ApplyEnabling();
}

void MKeyerDlg::KeyerChosen(int index) {
  if (index != 0 && index != 1) return;
  chosen_ = index;
  SendCommand(GET_KEYER, Channel());
}

void MKeyerDlg::ModeChosen(int index) {
  if (index < 0 || index >= kModeCount) return;
  { KeyerOf(*State(), chosen_).KEYERMODE = index; }
  ApplyEnabling();
  SendKeyer();
  pendingReadBackChannel_ = Channel();
  SetTimer(kModeReadBackTimer, kModeReadBackMs);
}

void MKeyerDlg::OnTimer(uint32_t id) {
  if (id != kModeReadBackTimer) return MSettingsPage::OnTimer(id);
  KillTimer(kModeReadBackTimer);
  SendCommand(GET_KEYER, pendingReadBackChannel_);
}

void MKeyerDlg::ValueCommitted() {
  auto s = State();
  Keyer& k = KeyerOf(*s, chosen_);
  for (int i = 0; i < kValueEdits; ++i) {
    k.*kValues[i].field = static_cast<uint8_t>(edits_[static_cast<std::size_t>(i)]->Value());
  }
  SendKeyer();
}

void MKeyerDlg::ResetPressed() {
  {
    auto s = State();
    Keyer& k = KeyerOf(*s, chosen_);
    k.KEYERMODE = 0;
    k.KEYERREDL = k.KEYERGREENL = k.KEYERBLUEL = 0;
    k.KEYERREDH = k.KEYERGREENH = k.KEYERBLUEH = 255;
  }
  for (int i = 0; i < 6; ++i) {
    edits_[static_cast<std::size_t>(i)]->SetValue(i % 2 == 0 ? 0.0f : 255.0f);
  }
  modeList_->SetCurSel(0);
  ApplyEnabling();
  SendKeyer();
}

intptr_t MKeyerDlg::OnMessage(const Message& message) {
  if (message.id == UM_LIST_SELECT) {
    const int index = static_cast<int>(message.lParam);
    if (message.wParam == kKeyerListId) KeyerChosen(index);
    if (message.wParam == kModeListId) ModeChosen(index);
    return 1;
  }
  if (message.id == UM_VALUE_COMMITTED) {
    const int id = static_cast<int>(message.wParam);
    if (id >= kFirstValueEdit && id < kFirstValueEdit + kValueEdits) ValueCommitted();
    return 1;
  }
  return MSettingsPage::OnMessage(message);
}

}  // namespace orv
