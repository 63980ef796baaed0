#include "MPIPDlg.h"

#include "ArtIds.h"
#include "CDropList.h"
#include "CGdipButton.h"
#include "CSxGroupBox.h"
#include "CommandEncoder.h"
#include "DeviceState.h"
#include "DialogTexts.h"
#include "MessageIds.h"
#include "Messages.h"
#include "PageWidgets.h"
#include "oBitmapSlider.h"
#include "oSliderEdit.h"

namespace orv {

namespace {

constexpr int kPipOnOffChanged = 0x5AA;
// SDI cannot feed a PIP: its entry is listed but cannot be chosen.
constexpr int kSdiInput = 5;
constexpr int kGroupTop = 40;
constexpr int kGroupStep = 148;

QRect GroupRect(int p) {
  return {10, kGroupTop + p * kGroupStep, 300, 140};
}

// Shows the entry of input `code`; a code the list lacks leaves the entry shown.
void ShowCode(CDropButton* drop, int64_t code) {
  if (code >= 0 && drop->FindByData(static_cast<uint32_t>(code)) >= 0)
    drop->SelectByData(static_cast<uint32_t>(code));
}

QString PipCaption(int p) {
  return QStringLiteral("PIP-%1").arg(p + 1);
}

}  // namespace

MPIPDlg::MPIPDlg(QWidget* parent)
    : MSettingsPage(kTemplateId, parent, QStringLiteral("PIP Settings")) {}

bool MPIPDlg::OnInitDialog() {
  MSettingsPage::OnInitDialog();
  BuildControls();
  ApplyControlFont();
  RefillSources();
  for (int p = 0; p < kPips; ++p) {
    PipDefault d{};
    { d = State()->PIP_DEFAULT[p]; }
    ShowSwitch(switches_[Index(p)], false);
    lists_[Index(p)]->SelectByData(d.input);
    alphaEdits_[Index(p)]->SetValue(static_cast<float>(d.alpha));
    EnablePip(p, true, d.enabled > 0, d.enabled > 0);
  }
  return true;
}

void MPIPDlg::BuildControls() {
  for (int p = 0; p < kPips; ++p) {
    const QRect g = GroupRect(p);
    const std::size_t i = Index(p);
    groups_[i] = MakePageGroup(this, kFirstGroup + p, PipCaption(p), g);
    switches_[i] = MakePageSwitch(this, kFirstSwitch + p, {g.left() + 14, g.top() + 22});
    connect(switches_[i], &QAbstractButton::clicked, this, [this, p] { SwitchPip(p, true); });
    MakePageLabel(this, kFirstInputLabel + p, QStringLiteral("Input :"),
                  {g.left() + 14, g.top() + 56, 80, 22});
    lists_[i] = MakePageDropList(this, kFirstListId + p, {g.left() + 96, g.top() + 56, 190, 22});
    MakePageLabel(this, kFirstAlphaLabel + p, QStringLiteral("Alpha :"),
                  {g.left() + 14, g.top() + 86, 80, 22});
    auto* slider = new oBitmapSlider(this, kFirstAlphaSlider + p);
    slider->LoadChannel(art::kSliderChannel, art::kSliderChannelActive);
    slider->LoadThumb(art::kSliderThumb, art::kSliderThumbActive);
    slider->move(g.left() + 14, g.top() + 114);
    sliders_[i] = slider;
    auto* edit = new oSliderEdit(this, kFirstAlphaEdit + p);
    edit->Setup(kAlphaMax, 0, false, kAlphaMax, QStringLiteral("%d"));
    edit->setGeometry(g.left() + 226, g.top() + 108, 56, 24);
    edit->Bind(slider);
    alphaEdits_[i] = edit;
  }
}

void MPIPDlg::ReloadTexts() {
  MSettingsPage::ReloadTexts();
  ApplyDialogTexts(this, TemplateId());
  if (lists_[0] == nullptr) return;  // the base calls this before the controls exist
  RefillSources();
  UpdateForPreviewMode();
}

void MPIPDlg::RefillSources() {
  std::array<InputEntry, kInputCodes> inputs;
  std::array<int, kPips> chosen{};
  {
    auto s = State();
    inputs = s->INPUT_TABLE;
    for (int p = 0; p < kPips; ++p) chosen[Index(p)] = s->block.CHNLDATA[p + 1].CHNLINPUT;
  }
  for (int p = 0; p < kPips; ++p) {
    CDropButton* drop = lists_[Index(p)];
    const int shownRow = drop->GetCurSel();
    const int64_t shown = shownRow >= 0 ? drop->List()->GetItemData(shownRow) : -1;
    drop->ResetContent();
    for (int code = 0; code < kInputCodes; ++code) {
      const InputEntry& e = inputs[static_cast<std::size_t>(code)];
      if (e.enabled <= 0) continue;
      const int row = drop->List()->AddString(QString::fromStdString(e.name));
      drop->List()->SetItemData(row, static_cast<uint32_t>(code));
      drop->List()->SetItemFlags(
          row, code == kSdiInput ? CDropList::kUnavailable : CDropList::kAvailable);
    }
    ShowCode(drop, shown);
    ShowCode(drop, chosen[Index(p)]);
  }
}

void MPIPDlg::RefreshFromDevice() {
  NoteRefresh();
  if (!Created()) return;
  RefillSources();
  for (int p = 0; p < kPips; ++p) ShowPip(p);
  UpdateForPreviewMode();
}

void MPIPDlg::ShowPip(int p) {
  ChannelData ch{};
  bool logo = false;
  {
    auto s = State();
    ch = s->block.CHNLDATA[p + 1];
    logo = s->block.LOGOINFO.LOGOUSAGE == 1;
  }
  const std::size_t i = Index(p);
  ShowCode(lists_[i], ch.CHNLINPUT);
  ShowEditValue(alphaEdits_[i], ch.CHNLALPHA);
  ShowSwitch(switches_[i], ch.CHNLONOFF != 0);
  if (p == 2) lists_[i]->setEnabled(!logo);
  SwitchPip(p, false);
  PostMsg(NotifyWindow(this), UM_LAYER_INPUT, p + 1, 0);
}

void MPIPDlg::EnablePip(int p, bool toggle, bool alpha, bool list) {
  const std::size_t i = Index(p);
  switches_[i]->setEnabled(toggle);
  alphaEdits_[i]->setEnabled(alpha);
  lists_[i]->setEnabled(list);
}

void MPIPDlg::SwitchPip(int p, bool send) {
  bool logo = false;
  { logo = State()->block.LOGOINFO.LOGOUSAGE == 1; }
  const std::size_t i = Index(p);
  if (p == 2 && logo) {
    // The logo holds PIP-3: the press is undone and nothing is stored or sent.
    if (send) ShowSwitch(switches_[i], !switches_[i]->IsChecked());
    return;
  }
  const bool on = switches_[i]->IsChecked();
  alphaEdits_[i]->setEnabled(on);
  lists_[i]->setEnabled(on);
  {
    // One guard over the change and its send: a report decoded in between would undo it.
    auto s = State();
    s->block.CHNLDATA[p + 1].CHNLONOFF = on ? 1 : 0;
    if (send) SendCommand(SET_LAYER_ONOFF, p);
  }
  SendMsg(NotifyWindow(this), UM_PAGE_REQUEST, kPipOnOffChanged, p);
}

void MPIPDlg::RefreshOnOff(int p) {
  if (p < 0 || p >= kPips || !Created()) return;
  bool on = false;
  bool alphaUsable = false;
  bool logo = false;
  {
    auto s = State();
    on = s->block.CHNLDATA[p + 1].CHNLONOFF != 0;
    alphaUsable = s->block.PVWMODEINFO.PVWMODE == 0;
    logo = s->block.LOGOINFO.LOGOUSAGE == 1;
  }
  ShowSwitch(switches_[Index(p)], on);
  alphaEdits_[Index(p)]->setEnabled(on && alphaUsable);
  lists_[Index(p)]->setEnabled(on);
  if (p == 2 && logo) EnablePip(p, false, false, false);
}

void MPIPDlg::UpdateForPreviewMode() {
  PvwModeInfo mode{};
  std::array<bool, kPips> on{};
  bool logo = false;
  {
    auto s = State();
    mode = s->block.PVWMODEINFO;
    for (int p = 0; p < kPips; ++p) on[Index(p)] = s->block.CHNLDATA[p + 1].CHNLONOFF != 0;
    logo = s->block.LOGOINFO.LOGOUSAGE == 1;
  }
  if (mode.PVWMODE == 2) return;
  if (mode.PVWMODE == 1) {
    switches_[0]->setEnabled(false);
    alphaEdits_[0]->setEnabled(false);
    if (mode.PGMSTATE[1]) {
      groups_[0]->SetText(QStringLiteral("PGM"));
      lists_[0]->setEnabled(false);
    } else if (mode.PVWSTATE[1]) {
      groups_[0]->SetText(QStringLiteral("PVW"));
      lists_[0]->setEnabled(true);
    }
    for (int p = 1; p < kPips; ++p) {
      const bool program = mode.PGMSTATE[p + 1] != 0;
      EnablePip(p, !program, false, !program && on[Index(p)]);
    }
  } else {
    groups_[0]->SetText(PipCaption(0));
    for (int p = 0; p < kPips; ++p) EnablePip(p, true, on[Index(p)], on[Index(p)]);
  }
  if (logo) EnablePip(2, false, false, false);
  update();
}

void MPIPDlg::SelectLayerInput(int layer) {
  NoteRefresh();
  if (layer < 1 || layer > kPips || !Created()) return;
  int code = 0;
  { code = State()->block.CHNLDATA[layer].CHNLINPUT; }
  ShowCode(lists_[Index(layer - 1)], code);
}

void MPIPDlg::AlphaCommitted(int p) {
  const int alpha = static_cast<int>(alphaEdits_[Index(p)]->Value());
  auto s = State();
  s->block.CHNLDATA[p + 1].CHNLALPHA = static_cast<uint8_t>(alpha);
  SendCommand(SET_LAYER_ONOFF, p);
}

void MPIPDlg::SourceChosen(int p, int index) {
  CDropList* list = lists_[Index(p)]->List();
  if (index < 0 || index >= list->GetCount() || !list->IsAvailable(index)) return;
  const uint32_t code = list->GetItemData(index);
  if (!DeviceState::ValidInputCode(static_cast<int>(code))) return;
  { State()->block.CHNLDATA[p + 1].CHNLINPUT = static_cast<uint8_t>(code); }
  // At once, not queued: a report decoded meanwhile would put the old input
  // back into the record before the main window sends it.
  SendMsg(NotifyWindow(this), UM_LAYER_INPUT, p + 1, 1);
}

intptr_t MPIPDlg::OnMessage(const Message& message) {
  if (message.id == UM_LIST_SELECT) {
    const int p = static_cast<int>(message.wParam) - kFirstListId;
    if (p >= 0 && p < kPips) SourceChosen(p, static_cast<int>(message.lParam));
    return 1;
  }
  if (message.id == UM_VALUE_COMMITTED) {
    const int p = static_cast<int>(message.wParam) - kFirstAlphaEdit;
    if (p >= 0 && p < kPips) AlphaCommitted(p);
    return 1;
  }
  return MSettingsPage::OnMessage(message);
}

}  // namespace orv
