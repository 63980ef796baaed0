#include "MSwitcherDlg.h"

#include "ArtIds.h"
#include "CDropList.h"
#include "CGdipButton.h"
#include "CSxGroupBox.h"
#include "CommandEncoder.h"
#include "DeviceState.h"
#include "DialogTexts.h"
#include "MessageBox.h"
#include "MessageIds.h"
#include "PageWidgets.h"

namespace orv {

namespace {

constexpr int kTextSwitchMode = 28;
constexpr int kTextTips = 38;
constexpr int kTextWaitOperation = 65;
constexpr int kTextMultiMachine = 90;
constexpr int kTextSerialNoTake = 136;

constexpr int kKeyerChannels[] = {1, 3};
const QColor kPanelCaption(0x10, 0x10, 0x10);

const QRect kSwitchGroupRect(10, 36, 300, 150);
const QRect kSwitchLabelRect(24, 64, 120, 24);
const QPoint kModeSwitchAt(150, 64);
const std::array<QRect, 2> kPanelRects{QRect(24, 102, 130, 28), QRect(164, 102, 130, 28)};
const QRect kFadeLabelRect(24, 146, 120, 22);
const QRect kSecondsLabelRect(262, 146, 36, 22);
const QRect kMultiGroupRect(10, 200, 300, 72);
const QPoint kMultiSwitchAt(24, 232);

// The list sits from 2 pixels right of the label to 5 pixels left of "sec",
// from 2 pixels above the label, 20 pixels high.
QRect FadeListRect() {
  return {kFadeLabelRect.right() + 1 + 2, kFadeLabelRect.top() - 2,
          kSecondsLabelRect.left() - 5 - (kFadeLabelRect.right() + 1 + 2), 20};
}

}  // namespace

MSwitcherDlg::MSwitcherDlg(QWidget* parent)
    : MSettingsPage(kTemplateId, parent, QStringLiteral("Switcher Mode")) {}

bool MSwitcherDlg::OnInitDialog() {
  MSettingsPage::OnInitDialog();
  BuildControls();
  ApplyControlFont();
  ReloadTexts();
  FillFadeList();
  ShowPanel(0);
  ShowSwitch(modeSwitch_, false);
  ShowSwitch(multiSwitch_, false);
  EnableModeControls(false);
  return true;
}

void MSwitcherDlg::BuildControls() {
  switchGroup_ = MakePageGroup(this, kSwitchGroup, UiQText(kTextSwitchMode), kSwitchGroupRect);
  multiGroup_ = MakePageGroup(this, kMultiGroup, UiQText(kTextMultiMachine), kMultiGroupRect);
  MakePageLabel(this, kSwitchLabel, QStringLiteral("ON/OFF"), kSwitchLabelRect);
  modeSwitch_ = MakePageSwitch(this, kModeSwitch, kModeSwitchAt);
  connect(modeSwitch_, &QAbstractButton::clicked, this, [this] { ModeSwitched(); });
  const QString captions[2] = {QStringLiteral("Panel x 1"), QStringLiteral("Panel x 2")};
  for (int k = 0; k < 2; ++k) {
    // The light faces of the page column carry the dark caption; the chosen
    // panel stays pressed until the other is chosen.
    CGdipButton* b = MakePageButton(this, kPanel1 + k, captions[k], kPanelRects[k]);
    b->LoadImage(art::kFacePage);
    b->LoadAltImage(art::kFacePageActive);
    b->SetStayPushed(true);
    b->SetTextColor(kPanelCaption);
    connect(b, &QAbstractButton::clicked, this, [this, k] { PanelPressed(k); });
    panels_[static_cast<std::size_t>(k)] = b;
  }
  MakePageLabel(this, kFadeLabel, QStringLiteral("Fade Duration :"), kFadeLabelRect);
  MakePageLabel(this, kSecondsLabel, QStringLiteral("sec"), kSecondsLabelRect);
  fadeList_ = MakePageDropList(this, kFadeListId, FadeListRect());
  multiSwitch_ = MakePageSwitch(this, kMultiSwitch, kMultiSwitchAt);
  connect(multiSwitch_, &QAbstractButton::clicked, this, [this] { MultiSwitched(); });
}

void MSwitcherDlg::FillFadeList() {
  fadeList_->ResetContent();
  for (std::size_t i = 0; i < kFadeTenths.size(); ++i) {
    const int tenths = kFadeTenths[i];
    const int row =
        fadeList_->List()->AddString(QStringLiteral("%1.%2").arg(tenths / 10).arg(tenths % 10));
    fadeList_->List()->SetItemData(row, static_cast<uint32_t>(i));
  }
}

void MSwitcherDlg::ReloadTexts() {
  MSettingsPage::ReloadTexts();
  ApplyDialogTexts(this, TemplateId());
  if (switchGroup_ == nullptr) return;  // the base calls this before the controls exist
  switchGroup_->SetText(UiQText(kTextSwitchMode));
  multiGroup_->SetText(UiQText(kTextMultiMachine));
  update();
}

void MSwitcherDlg::EnableModeControls(bool on) {
  ShowSwitch(modeSwitch_, on);
  for (CGdipButton* b : panels_) {
    b->setEnabled(on);
    b->SetDisabledLook(!on);
  }
  fadeList_->setEnabled(on);
  // The dual layout is never chosen here.
  panels_[1]->setEnabled(false);
  panels_[1]->SetDisabledLook(true);
}

void MSwitcherDlg::ShowPanel(int k) {
  for (int i = 0; i < 2; ++i) {
    panels_[static_cast<std::size_t>(i)]->SetChecked(i == k);
    panels_[static_cast<std::size_t>(i)]->update();
  }
}

void MSwitcherDlg::ModeSwitched() {
  const bool on = modeSwitch_->IsChecked();
  EnableModeControls(on);
  const int mode = on ? panel_ + 1 : 0;
  {
    auto s = State();
    s->block.PVWMODEINFO.PVWMODE = static_cast<uint8_t>(mode);
    if (mode == 2) s->block.LOGOINFO.LOGOUSAGE = 0;
  }
  // The device's answer ends the wait; the box is queued before the command.
  PostMsg(NotifyWindow(this), UM_WAIT, 1, 0, UiQText(kTextWaitOperation));
  SendCommand(SET_PVW_MODE);
  PostModeRequests(on ? 1 : 0);
  for (int channel : kKeyerChannels) SendCommand(GET_KEYER, channel);
}

void MSwitcherDlg::PanelPressed(int k) {
  if (k == panel_) return;
  ShowPanel(k);
  panel_ = k;
  const int mode = k + 1;
  {
    auto s = State();
    s->block.PVWMODEINFO.PVWMODE = static_cast<uint8_t>(mode);
    if (mode == 2) s->block.LOGOINFO.LOGOUSAGE = 0;
  }
  if (mode == 2) {
    for (int channel : kKeyerChannels) SendCommand(GET_KEYER, channel);
  }
  PostMsg(NotifyWindow(this), UM_WAIT, 1, 0, UiQText(kTextWaitOperation));
  SendCommand(SET_PVW_MODE);
  PostModeRequests(1);
  SendCommand(GET_PVW_MODE);
}

void MSwitcherDlg::PostModeRequests(int switchState) {
  int mosaic = 0;
  { mosaic = State()->block.MOSAICSETT.MOSAICMODE; }
  PostMsg(NotifyWindow(this), UM_PAGE_REQUEST, kSwitchStateRequest, switchState);
  PostMsg(NotifyWindow(this), UM_PAGE_REQUEST, kMosaicModeRequest, mosaic);
}

void MSwitcherDlg::FadeChosen(int index) {
  CDropList* list = fadeList_->List();
  if (index < 0 || index >= list->GetCount()) return;
  const auto fade = static_cast<int32_t>(list->GetItemData(index));
  { State()->block.PVWMODEINFO.PVWDTIME = fade; }
  SendCommand(SET_TRANSITION_TIME);
}

void MSwitcherDlg::MultiSwitched() {
  const bool on = multiSwitch_->IsChecked();
  bool network = false;
  {
    auto s = State();
    network = s->NET_MODE != 0;
    if (network) s->SWITCH_MODE = on ? 1 : 0;
  }
  if (network) return;
  ShowSwitch(multiSwitch_, false);
  ShowMessageBox(this, UiQText(kTextSerialNoTake), UiQText(kTextTips));
}

void MSwitcherDlg::SetMultiMachineEnabled(bool enabled) {
  NoteRefresh();
  if (!Created()) return;
  multiSwitch_->setEnabled(enabled);
  multiSwitch_->SetDisabledLook(!enabled);
  // Over a serial line the take mode is off (the main window clears it).
  if (!enabled) ShowSwitch(multiSwitch_, false);
}

void MSwitcherDlg::RefreshFromDevice() {
  NoteRefresh();
  if (!Created()) return;
  int mode = 0;
  int fade = 0;
  {
    auto s = State();
    mode = s->block.PVWMODEINFO.PVWMODE;
    fade = s->block.PVWMODEINFO.PVWDTIME;
  }
  // A mode the device cannot be in changes nothing on the page.
  if (mode > 2) return;
  EnableModeControls(mode != 0);
  if (mode != 0) {
    panel_ = mode - 1;
    ShowPanel(panel_);
  }
  if (fade >= 0 && fade < static_cast<int>(kFadeTenths.size())) fadeList_->SetCurSel(fade);
  PostMsg(NotifyWindow(this), UM_PAGE_REQUEST, kSwitchStateRequest, mode);
}

intptr_t MSwitcherDlg::OnMessage(const Message& message) {
  if (message.id == UM_LIST_SELECT && message.wParam == kFadeListId) {
    FadeChosen(static_cast<int>(message.lParam));
    return 1;
  }
  return MSettingsPage::OnMessage(message);
}

}  // namespace orv
