#include "MEdidDlg.h"

#include <string>

#include <QLabel>

#include "CDropList.h"
#include "CGdipButton.h"
#include "CSxGroupBox.h"
#include "CommandEncoder.h"
#include "DeviceState.h"
#include "DialogTexts.h"
#include "MEdidVgaParts.h"
#include "MessageBox.h"
#include "MessageIds.h"
#include "Skin.h"
#include "UiTexts.h"
#include "oRealEdit.h"

namespace orv {

namespace {

using namespace edidvga;

constexpr int kTextEdidSelect = 15;
constexpr int kTextMore = 16;
constexpr int kTextEdidApply = 33;
constexpr int kTextTips = 38;
constexpr int kTextWaitOperation = 65;
constexpr int kTextOk = 66;
constexpr int kTextFailed = 67;

constexpr int kFpsScale = 100;  // the record keeps hundredths of a hertz
constexpr int kPortSdi = 7;
constexpr int kPortHdmi = 6;
constexpr int kPortDp = 8;
constexpr int kPortUsbDisk = 9;
constexpr int kSdiSlot = 5;  // has no EDID of its own

struct EditSpec {
  int labelId;
  const char* caption;
  int editId;
  int low, high;
  int y;
};

// In edit order: H Active, V Active, FPS, H Blank, V Blank.
constexpr EditSpec kEdits[] = {
    {MEdidDlg::kHActiveLabel, "H Active :", MEdidDlg::kHActiveEdit, 240, 3840, 96},
    {MEdidDlg::kVActiveLabel, "V Active :", MEdidDlg::kVActiveEdit, 240, 3840, 122},
    {MEdidDlg::kFpsLabel, "FPS :", MEdidDlg::kFpsEdit, 20, 121, 148},
    {MEdidDlg::kHBlankLabel, "H Blank :", MEdidDlg::kHBlankEdit, 0, 9999, 262},
    {MEdidDlg::kVBlankLabel, "V Blank :", MEdidDlg::kVBlankEdit, 0, 9999, 288},
};

const QRect kSelectGroupRect(10, 36, 300, 192);
const QRect kMoreGroupRect(10, 238, 300, 84);
const QRect kInputListRect(24, 60, 266, 24);
constexpr int kLabelX = 24, kLabelWidth = 124, kEditX = 150, kEditWidth = 140, kRowHeight = 22;

struct ButtonSpec {
  int id;
  const char* caption;
  QRect where;
  void (MEdidDlg::*action)();
};

const ButtonSpec kButtons[] = {
    {MEdidDlg::kApplyButton, "Apply", {20, 188, 86, 28}, &MEdidDlg::Apply},
    {MEdidDlg::kRestoreButton, "Restore", {114, 188, 86, 28}, &MEdidDlg::Restore},
    {MEdidDlg::kMoreButton, "More >", {208, 188, 86, 28}, &MEdidDlg::ToggleMore},
};

QString Text(int n) {
  return QString::fromStdString(UiText(n));
}

// Whether input slot `slot` belongs in the list (the device's port types).
bool Listed(const DeviceState& s, int slot) {
  if (slot == kSdiSlot) return false;
  const int port = s.block.INPUTINFO.INPUTSRC[slot];
  if (port < 0 || port > kPortUsbDisk || port == kPortSdi || port == kPortUsbDisk) return false;
  if (slot <= 4) return true;
  const bool split = (port == kPortDp || port == kPortHdmi) && s.block.DPMDE[1] == 1;
  return s.INPUT_TABLE[slot].enabled != 0 || split;
}

}  // namespace

MEdidDlg::MEdidDlg(QWidget* parent)
    : MSettingsPage(kTemplateId, parent, QStringLiteral("EDID Settings")) {}

bool MEdidDlg::OnInitDialog() {
  MBaseDialog::OnInitDialog();
  resize(320, 526);
  BuildControls();
  CreateTitleButtons();
  ApplyControlFont();
  ReloadTexts();
  RebuildInputList();
  UpdateButtons();
  return true;
}

void MEdidDlg::BuildControls() {
  selectGroup_ = MakeGroup(this, kSelectGroup, Text(kTextEdidSelect), kSelectGroupRect);
  moreGroup_ = MakeGroup(this, kMoreGroup, Text(kTextMore), kMoreGroupRect);
  inputList_ = new CDropButton;
  inputList_->Create(QString(), this, kInputList, skin::kPageBack, skin::kPageBack, skin::kText,
                     nullptr, QColor(255, 255, 255), kInputListRect);
  inputList_->SetListColor(skin::kListFill);
  for (int e = 0; e < kEditCount; ++e) {
    const EditSpec& spec = kEdits[e];
    labels_[e] = MakeLabel(this, spec.labelId, QString::fromLatin1(spec.caption),
                           QRect(kLabelX, spec.y, kLabelWidth, kRowHeight));
    edits_[e] = MakeEdit(this, spec.editId, spec.low, spec.high, spec.low,
                         QRect(kEditX, spec.y, kEditWidth, kRowHeight));
    inFlight_.Watch(edits_[e]);
  }
  for (const ButtonSpec& b : kButtons) {
    CGdipButton* button = MakeButton(this, b.id, QString::fromLatin1(b.caption), b.where);
    connect(button, &QAbstractButton::clicked, this,
            [this, action = b.action] { (this->*action)(); });
    if (b.id == kApplyButton) apply_ = button;
    if (b.id == kRestoreButton) restore_ = button;
  }
  // "More" mode starts off: the blanking is the device's business.
  moreGroup_->hide();
  for (int e : {kHBlank, kVBlank}) {
    labels_[e]->hide();
    edits_[e]->hide();
  }
}

void MEdidDlg::ReloadTexts() {
  MSettingsPage::ReloadTexts();
  if (!Created()) return;
  ApplyDialogTexts(this, TemplateId());
  selectGroup_->SetText(Text(kTextEdidSelect));
  moreGroup_->SetText(Text(kTextMore));
}

void MEdidDlg::RefreshFromDevice() {
  NoteRefresh();
  if (!Created()) return;
  RebuildInputList();
  ShowSelectedEdid();
  UpdateButtons();
}

void MEdidDlg::RebuildInputList() {
  CDropList* list = inputList_->List();
  list->ResetContent();
  {
    auto s = State();
    for (int slot = 0; slot < kInputSlots; ++slot) {
      if (!Listed(*s, slot)) continue;
      const int position = list->AddString(QString::fromStdString(s->INPUT_TABLE[slot].name));
      list->SetItemData(position, static_cast<uint32_t>(slot));
      s->INPUT_TABLE[slot].code = position;
    }
  }
  // The chosen input stays chosen; when it left the list the first entry
  // is chosen instead, so that the page never acts on an input it hides.
  const int at = inputList_->FindByData(static_cast<uint32_t>(selectedInput_));
  if (at >= 0) {
    inputList_->SetCurSel(at);
  } else if (list->GetCount() > 0) {
    inputList_->SetCurSel(0);
    selectedInput_ = static_cast<int>(list->GetItemData(0));
  }
}

void MEdidDlg::ShowSelectedEdid() {
  EdidInfo edid{};
  bool found = false;
  {
    auto s = State();
    for (const EdidInfo& e : s->block.EDIDINFO) {
      if (e.INPUTSRC == selectedInput_) {
        edid = e;
        found = true;
        break;
      }
    }
  }
  if (!found) return;
  ShowDeviceValue(edits_[kHActive], edid.HACT, inFlight_);
  ShowDeviceValue(edits_[kVActive], edid.VACT, inFlight_);
  ShowDeviceValue(edits_[kFps], edid.FPS / kFpsScale, inFlight_);
  ShowDeviceValue(edits_[kHBlank], edid.HBLANK, inFlight_);
  ShowDeviceValue(edits_[kVBlank], edid.VBLANK, inFlight_);
}

bool MEdidDlg::SelectedSlotKnown() const {
  if (!inputList_ || inputList_->FindByData(static_cast<uint32_t>(selectedInput_)) < 0) {
    return false;
  }
  auto s = State();
  return s->IMAGE_FROM_DEVICE != 0 &&
         s->block.EDIDINFO[EdidSlotOfInput(selectedInput_)].INPUTSRC == selectedInput_;
}

void MEdidDlg::UpdateButtons() {
  const bool known = SelectedSlotKnown();
  for (CGdipButton* b : {apply_, restore_}) {
    b->setEnabled(known);
    b->SetDisabledLook(!known);
  }
}

// Queued before the command goes out, so that the answer that hides the box
// can never be handled before the box is shown.
void MEdidDlg::ShowWaitBox() {
  PostMsg(NotifyWindow(this), UM_WAIT, 1, 0, Text(kTextWaitOperation));
}

void MEdidDlg::Apply() {
  if (!SelectedSlotKnown()) return;
  for (oRealEdit* edit : edits_) edit->Commit(false);
  {
    auto s = State();
    EdidInfo& e = s->block.EDIDINFO[EdidSlotOfInput(selectedInput_)];
    e.HACT = static_cast<uint16_t>(edits_[kHActive]->Value());
    e.VACT = static_cast<uint16_t>(edits_[kVActive]->Value());
    e.FPS = static_cast<uint16_t>(edits_[kFps]->Value() * static_cast<float>(kFpsScale));
    e.HBLANK = static_cast<uint16_t>(edits_[kHBlank]->Value());
    e.VBLANK = static_cast<uint16_t>(edits_[kVBlank]->Value());
  }
  ShowWaitBox();
  SendCommand(SET_EDID, static_cast<uint8_t>(selectedInput_),
              static_cast<uint8_t>(moreMode_ ? kModeApplyWithBlanking : kModeApply));
}

void MEdidDlg::Restore() {
  if (!SelectedSlotKnown()) return;
  const auto input = static_cast<uint8_t>(selectedInput_);
  ShowWaitBox();
  SendCommand(SET_EDID, input, static_cast<uint8_t>(kModeRestore));
  SendCommand(GET_EDID, input);
}

void MEdidDlg::ToggleMore() {
  moreMode_ = !moreMode_;
  moreGroup_->setVisible(moreMode_);
  for (int e : {kHBlank, kVBlank}) {
    labels_[e]->setVisible(moreMode_);
    edits_[e]->setVisible(moreMode_);
  }
}

void MEdidDlg::ApplyResult() {
  NoteRefresh();
  bool ok = false;
  { ok = State()->EVENT_ARG2 != 0; }
  const QString text =
      QStringLiteral("%1 %2").arg(Text(kTextEdidApply), Text(ok ? kTextOk : kTextFailed));
  ShowMessageBox(this, text, Text(kTextTips));
  // Apply wrote the refused values into the record: read the device's back.
  if (!ok && SelectedSlotKnown()) SendCommand(GET_EDID, static_cast<uint8_t>(selectedInput_));
}

intptr_t MEdidDlg::OnMessage(const Message& message) {
  if (message.id == UM_VALUE_COMMITTED) {
    inFlight_.Arrived(static_cast<int>(message.wParam));
    return 0;
  }
  if (message.id == UM_LIST_SELECT && message.wParam == kInputList) {
    const int index = static_cast<int>(message.lParam);
    CDropList* list = inputList_->List();
    if (index < 0 || index >= list->GetCount()) return 0;
    selectedInput_ = static_cast<int>(list->GetItemData(index));
    ShowSelectedEdid();
    UpdateButtons();
    return 0;
  }
  return MSettingsPage::OnMessage(message);
}

}  // namespace orv
