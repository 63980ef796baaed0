#include "MLogoDlg.h"

#include <QLabel>
#include <QPainter>

#include "ArtIds.h"
#include "CGdipButton.h"
#include "CSxGroupBox.h"
#include "CommandEncoder.h"
#include "CropRules.h"
#include "DeviceState.h"
#include "DialogTexts.h"
#include "MessageBox.h"
#include "MessageIds.h"
#include "Messages.h"
#include "PageWidgets.h"
#include "Skin.h"
#include "oRealEdit.h"

namespace orv {

namespace {

constexpr int kPipOnOffChanged = 0x5AA;
constexpr int kPlaceLayerWindow = 0x5AB;
constexpr int kPip3 = 3;
constexpr int kTextTips = 38;
constexpr int kTextWait = 65;
constexpr int kTextLoad = 80;
constexpr int kTextSave = 81;
constexpr int kTextPositionChanged = 99;
constexpr int kTextNoSignal = 160;
constexpr int kTextClear = 10;
const QString kEmptySlot = QStringLiteral("O");

const QColor kSlotCurrent(0, 200, 0);
const QColor kSlotEmpty(200, 200, 200);
const QColor kPreviewFill(239, 156, 0);

struct GroupSpec {
  const char* caption;  // until the language texts are applied
  int text;             // the UI text that replaces it
  QRect where;
};
const GroupSpec kGroups[6] = {
    {"PIP-3 Usage", 8, {10, 36, 300, 52}}, {"Setting", 9, {10, 110, 300, 80}},
    {"Clear", 10, {10, 198, 80, 160}},     {"Files", 11, {96, 198, 110, 160}},
    {"Opeate", 12, {212, 198, 98, 160}},   {"Setting", 97, {10, 364, 300, 46}},
};

struct EditSpec {
  const char* caption;
  QRect label;
  QRect edit;
  int min;
};
const EditSpec kEditSpecs[MLogoDlg::kEdits] = {
    {"H Start :", {20, 128, 76, 24}, {98, 128, 56, 24}, 0},
    {"V Start :", {164, 128, 76, 24}, {242, 128, 56, 24}, 0},
    {"Width :", {20, 158, 76, 24}, {98, 158, 56, 24}, kLogoMinSize},
    {"Height :", {164, 158, 76, 24}, {242, 158, 56, 24}, kLogoMinSize},
};

QRect SlotRow(int column, int k) {
  static constexpr int kLeft[3] = {18, 106, 220};
  static constexpr int kWidth[3] = {64, 90, 82};
  return {kLeft[column], 220 + k * 34, kWidth[column], 28};
}

QRect Pip3Window(const DeviceState& s) {
  const ChannelData& ch = s.block.CHNLDATA[kPip3];
  return {ch.HPOS, ch.VPOS, ch.HACT, ch.VACT};
}

void StoreHostRect(DeviceState& s, int slot, int x, int y, int w, int h) {
  const std::size_t k = static_cast<std::size_t>(std::clamp(slot, 0, kLogoSlots - 1));
  s.LOGO_HOSTPOS[0][k] = static_cast<uint16_t>(std::clamp(x, 0, 0xFFFF));
  s.LOGO_HOSTPOS[1][k] = static_cast<uint16_t>(std::clamp(y, 0, 0xFFFF));
  s.LOGO_HOSTPOS[2][k] = static_cast<uint16_t>(std::clamp(w, 0, 0xFFFF));
  s.LOGO_HOSTPOS[3][k] = static_cast<uint16_t>(std::clamp(h, 0, 0xFFFF));
}

// The pressed one of a pair of choice buttons: its face and its caption in the active colour.
void ShowPressed(CGdipButton* b, bool pressed) {
  b->SetChecked(pressed);
  b->SetTextColor(pressed ? skin::kOrange : skin::kText);
  b->update();
}

// Enabled state and look together, so that a disabled button reads as one.
void Enable(CGdipButton* b, bool on) {
  b->setEnabled(on);
  b->SetDisabledLook(!on);
}

bool Pip3OnProgram(const DeviceState& s) {
  return s.block.PVWMODEINFO.PGMSTATE[kPip3] != 0;
}

}  // namespace

MLogoDlg::MLogoDlg(QWidget* parent)
    : MSettingsPage(kTemplateId, parent, QStringLiteral("Logo Settings")) {}

bool MLogoDlg::OnInitDialog() {
  MSettingsPage::OnInitDialog();
  BuildControls();
  ApplyControlFont();
  BuildModeView(true);
  return true;
}

void MLogoDlg::BuildControls() {
  for (std::size_t g = 0; g < groups_.size(); ++g) {
    groups_[g] = MakePageGroup(this, kFirstGroup + static_cast<int>(g),
                               QString::fromLatin1(kGroups[g].caption), kGroups[g].where);
  }
  normal_ = MakePageButton(this, kNormal, QStringLiteral("Normal"), {20, 54, 76, 26});
  logo_ = MakePageButton(this, kLogo, QStringLiteral("Logo"), {102, 54, 76, 26});
  for (CGdipButton* b : {normal_, logo_}) b->LoadAltImage(art::kFaceButtonActive);
  connect(normal_, &QAbstractButton::clicked, this, [this] { UsagePressed(false); });
  connect(logo_, &QAbstractButton::clicked, this, [this] { UsagePressed(true); });
  MakePageLabel(this, kSwitchLabel, QStringLiteral("ON/OFF"), {184, 56, 56, 22});
  switch_ = MakePageSwitch(this, kSwitch, {242, 56});
  connect(switch_, &QAbstractButton::clicked, this, [this] { SwitchPressed(); });
  status_ = MakePageLabel(this, kStatus, QString(), {20, 90, 280, 18});
  QPalette palette = status_->palette();
  palette.setColor(QPalette::WindowText, skin::kOrange);
  status_->setPalette(palette);
  for (int e = 0; e < kEdits; ++e) {
    const EditSpec& spec = kEditSpecs[e];
    MakePageLabel(this, kFirstLabel + e, QString::fromLatin1(spec.caption), spec.label);
    edits_[Index(e)] =
        MakePageEdit(this, kFirstEdit + e, spec.edit, spec.min, kLogoMaxValue, spec.min);
  }
  for (int k = 0; k < kLogoSlots; ++k) {
    clears_[Index(k)] = MakePageButton(this, kFirstClear + k, kEmptySlot, SlotRow(0, k));
    slots_[Index(k)] =
        MakePageButton(this, kFirstSlot + k, QStringLiteral("LOGO%1").arg(k + 1), SlotRow(1, k));
    saveLoads_[Index(k)] =
        MakePageButton(this, kFirstSaveLoad + k, UiQText(kTextSave), SlotRow(2, k));
    connect(clears_[Index(k)], &QAbstractButton::clicked, this, [this, k] { ClearPressed(k); });
    connect(slots_[Index(k)], &QAbstractButton::clicked, this, [this, k] { SlotPressed(k); });
    connect(saveLoads_[Index(k)], &QAbstractButton::clicked, this, [this, k] {
      if (logoMode_) {
        LoadSlot(k);
      } else {
        SavePressed(k);
      }
    });
  }
  MakePageLabel(this, kTopLabel, QStringLiteral("Logo Top"), {20, 382, 70, 22});
  top_ = MakePageSwitch(this, kTop, {90, 380});
  MakePageLabel(this, kBorderLabel, QStringLiteral("Logo Border"), {158, 382, 88, 22});
  border_ = MakePageSwitch(this, kBorder, {246, 380});
  connect(top_, &QAbstractButton::clicked, this, [this] { TopPressed(); });
  connect(border_, &QAbstractButton::clicked, this, [this] { BorderPressed(); });
}

void MLogoDlg::ReloadTexts() {
  MSettingsPage::ReloadTexts();
  ApplyDialogTexts(this, TemplateId());
  if (normal_ == nullptr) return;  // the base calls this before the controls exist
  for (std::size_t g = 0; g < groups_.size(); ++g) groups_[g]->SetText(UiQText(kGroups[g].text));
  BuildModeView(false);
  ShowSlotLooks();
}

QRect MLogoDlg::PreviewArea() const {
  return {10, 416, 300, 100};
}

// Callers that change the record for the command hold one guard over the
// change and the send: a report of an earlier command, decoded on the reply
// thread in between, would otherwise overwrite the change before it is sent.
void MLogoDlg::Send(Operation op, int b) {
  SendCommand(SET_LOGO, static_cast<int>(op), b);
}

void MLogoDlg::ShowWait() {
  // Queued before the command whose device event hides it.
  PostMsg(NotifyWindow(this), UM_WAIT, 1, 0, UiQText(kTextWait));
}

void MLogoDlg::NotifyLayer() {
  PostMsg(NotifyWindow(this), UM_LOGO_LAYER, 1, 0);
  SendMsg(NotifyWindow(this), UM_PAGE_REQUEST, kPipOnOffChanged, 2);
}

void MLogoDlg::RemoveMark() {
  bool drawn = false;
  {
    auto s = State();
    drawn = s->MAIN_LOGO_FLAG != 0;
    s->MAIN_LOGO_FLAG = 0;
  }
  if (drawn) Send(Operation::Mark, 0);
}

void MLogoDlg::ShowEdits(const LogoRect& r) {
  const int v[kEdits] = {r.x, r.y, r.w, r.h};
  for (int e = 0; e < kEdits; ++e) ShowEditValue(edits_[Index(e)], v[e]);
}

LogoRect MLogoDlg::EditRect() const {
  auto v = [this](LogoEdit e) { return static_cast<int>(Edit(e)->Value()); };
  return {v(LogoEdit::HStart), v(LogoEdit::VStart), v(LogoEdit::Width), v(LogoEdit::Height)};
}

void MLogoDlg::BuildModeView(bool fresh) {
  bool logo = false;
  { logo = State()->block.LOGOINFO.LOGOUSAGE == 1; }
  // A usage change always starts afresh.
  if (logo != logoMode_) fresh = true;
  if (logo) {
    ShowLogoMode(fresh);
  } else {
    ShowNormalMode(fresh);
  }
  UpdatePreview();
}

void MLogoDlg::ShowNormalMode(bool fresh) {
  logoMode_ = false;
  ShowPressed(normal_, true);
  ShowPressed(logo_, false);
  ShowSwitch(switch_, false);
  Enable(switch_, false);
  QRect pip;
  bool pipOn = false;
  LogoRect mark = EditRect();
  {
    auto s = State();
    pip = Pip3Window(*s);
    pipOn = s->block.CHNLDATA[kPip3].CHNLONOFF != 0;
    // The device reports after every mark; the operator's mark survives it.
    mark = fresh ? LogoRect{0, 0, pip.width(), pip.height()}
                 : ClampLogoMark(mark, LogoEdit::Width, pip.width(), pip.height());
    StoreHostRect(*s, selected_, pip.left() + mark.x, pip.top() + mark.y, mark.w, mark.h);
  }
  ShowEdits(mark);
  for (CGdipButton* b : saveLoads_) b->setText(UiQText(kTextSave));
  EnableNormalControls(pipOn);
  status_->setVisible(!pipOn);
  update();
}

void MLogoDlg::EnableNormalControls(bool p) {
  LogoInfo logo{};
  int hreso = 0;
  int vreso = 0;
  {
    auto s = State();
    logo = s->block.LOGOINFO;
    hreso = s->block.OUTPUTRESO.HRESO;
    vreso = s->block.OUTPUTRESO.VRESO;
  }
  for (oRealEdit* e : edits_) e->setEnabled(p);
  for (int k = 0; k < kLogoSlots; ++k) {
    const bool mine = k == selected_;
    Enable(saveLoads_[Index(k)], mine && p);
    Enable(clears_[Index(k)], mine && p && LogoSlotUsable(logo, k, hreso, vreso));
    Enable(slots_[Index(k)], p);
  }
}

void MLogoDlg::ShowLogoMode(bool fresh) {
  logoMode_ = true;
  ShowPressed(normal_, false);
  ShowPressed(logo_, true);
  LogoInfo logo{};
  int k = 0;
  int hreso = 0;
  int vreso = 0;
  {
    auto s = State();
    if (s->LOGO_EDIT_ID >= kLogoSlots) s->LOGO_EDIT_ID = 0;
    k = s->LOGO_EDIT_ID;
    LogoInfo& l = s->block.LOGOINFO;
    hreso = s->block.OUTPUTRESO.HRESO;
    vreso = s->block.OUTPUTRESO.VRESO;
    // A placement that would leave the output starts at its edge instead.
    if (l.HPOS[k] + l.HACT[k] > hreso) l.HPOS[k] = 0;
    if (l.VPOS[k] + l.VACT[k] > vreso) l.VPOS[k] = 0;
    logo = l;
  }
  // A placement not loaded yet stays on the edits until it is loaded or given up.
  const LogoRect shown = fresh || !positionChanged_
                             ? LogoRect{logo.HPOS[k], logo.VPOS[k], logo.HACT[k], logo.VACT[k]}
                             : EditRect();
  { StoreHostRect(*State(), selected_, shown.x, shown.y, shown.w, shown.h); }
  ShowEdits(shown);
  for (int i = 0; i < kLogoSlots; ++i) {
    const bool usable = LogoSlotUsable(logo, i, hreso, vreso);
    saveLoads_[Index(i)]->setText(UiQText(kTextLoad));
    Enable(saveLoads_[Index(i)], i == k && usable);
    Enable(clears_[Index(i)], i == k && usable);
    Enable(slots_[Index(i)], usable);
  }
  const bool holds = logo.LOGOVALID[k] != 0;
  Enable(switch_, holds);
  Edit(LogoEdit::HStart)->setEnabled(true);
  Edit(LogoEdit::VStart)->setEnabled(true);
  Edit(LogoEdit::Width)->setEnabled(false);
  Edit(LogoEdit::Height)->setEnabled(false);
  status_->setVisible(false);
  update();
}

void MLogoDlg::ShowSlotLooks() {
  LogoInfo logo{};
  { logo = State()->block.LOGOINFO; }
  for (int k = 0; k < kLogoSlots; ++k) {
    const bool valid = logo.LOGOVALID[k] != 0;
    clears_[Index(k)]->setText(valid ? UiQText(kTextClear) : kEmptySlot);
    const QColor look = k == logo.LOGOCURID ? kSlotCurrent : (valid ? skin::kOrange : kSlotEmpty);
    slots_[Index(k)]->SetTextColor(look);
    slots_[Index(k)]->update();
  }
}

void MLogoDlg::UsagePressed(bool logo) {
  if (logo == logoMode_) {
    ShowPressed(logo ? logo_ : normal_, true);  // the pressed button stays pressed
    return;
  }
  {
    auto s = State();
    LogoInfo& l = s->block.LOGOINFO;
    l.LOGOONOFF = 0;
    l.LOGOUSAGE = logo ? 1 : 0;
    if (logo) {
      if (l.LOGOCURID >= kLogoSlots) l.LOGOCURID = 0;
      s->LOGO_EDIT_ID = l.LOGOCURID;
      selected_ = l.LOGOCURID;
    }
    Send(Operation::Usage);
  }
  BuildModeView(true);
  NotifyLayer();
  RemoveMark();
}

void MLogoDlg::SwitchPressed() {
  const bool on = switch_->IsChecked();
  bool refused = false;
  {
    auto s = State();
    refused = s->block.PVWMODEINFO.PVWMODE != 0 && Pip3OnProgram(*s);
  }
  if (refused) {
    ShowSwitch(switch_, !on);
    return;
  }
  RemoveMark();
  if (on && positionChanged_) {
    const int answer = ShowMessageBox(this, UiQText(kTextPositionChanged), UiQText(kTextTips),
                                      MsgButtons::OkCancel);
    if (answer != kIdOk) {
      int current = 0;
      {
        auto s = State();
        current = std::min<int>(s->block.LOGOINFO.LOGOCURID, kLogoSlots - 1);
        s->LOGO_EDIT_ID = static_cast<uint8_t>(current);
      }
      selected_ = current;
      positionChanged_ = false;
      BuildModeView(true);
      PostMsg(NotifyWindow(this), UM_LAYER_WINDOW, kPlaceLayerWindow, kPip3);
      ShowSwitch(switch_, false);
      positionChanged_ = false;
      return;
    }
    LoadSlot(selected_);
  }
  if (on) ShowWait();
  {
    auto s = State();
    s->block.LOGOINFO.LOGOONOFF = on ? 1 : 0;
    Send(Operation::OnOff);
  }
  SendMsg(NotifyWindow(this), UM_PAGE_REQUEST, kPipOnOffChanged, 2);
}

void MLogoDlg::SlotPressed(int k) {
  selected_ = k;
  bool redraw = false;
  int current = 0;
  {
    auto s = State();
    // Operations 2 and 3 address LOGO_EDIT_ID: it follows the slot being edited.
    s->LOGO_EDIT_ID = static_cast<uint8_t>(k);
    redraw = s->block.LOGOINFO.LOGO_OPT != 0 && s->MAIN_LOGO_FLAG == 1;
    current = s->block.LOGOINFO.LOGOCURID;
  }
  BuildModeView(true);
  if (redraw) Send(Operation::Mark, 1);
  if (logoMode_) {
    PostMsg(NotifyWindow(this), UM_LAYER_WINDOW, kPlaceLayerWindow, kPip3);
    positionChanged_ = k != current;
  }
}

void MLogoDlg::SavePressed(int k) {
  bool signal = false;
  {
    auto s = State();
    const int code = s->block.CHNLDATA[kPip3].CHNLINPUT;
    signal = DeviceState::ValidInputCode(code) &&
             s->block.INPUTINFO.INPUTSTATE[WireInputPair(code) / 10] != 0;
  }
  if (!signal) {
    ShowMessageBox(this, UiQText(kTextNoSignal), UiQText(kTextTips));
    return;
  }
  const LogoRect r = EditRect();
  {
    auto s = State();
    const QRect pip = Pip3Window(*s);
    s->block.LOGOINFO.LOGOVALID[k] = 1;
    StoreHostRect(*s, selected_, pip.left() + r.x, pip.top() + r.y, r.w, r.h);
    s->LOGO_EDIT_ID = static_cast<uint8_t>(k);
    s->block.LOGOINFO.HPOS[k] = 0;
    s->block.LOGOINFO.VPOS[k] = 0;
    s->MAIN_LOGO_FLAG = 0;
  }
  clears_[Index(k)]->setText(UiQText(kTextClear));
  Send(Operation::Mark, 0);
  ShowWait();
  Send(Operation::Save);
}

void MLogoDlg::LoadSlot(int k) {
  const LogoRect r = EditRect();
  {
    auto s = State();
    s->LOGO_EDIT_ID = static_cast<uint8_t>(k);
    s->MAIN_LOGO_FLAG = 0;
  }
  Send(Operation::Mark, 0);
  ShowWait();
  {
    auto s = State();
    s->block.LOGOINFO.HPOS[k] = static_cast<uint16_t>(r.x);
    s->block.LOGOINFO.VPOS[k] = static_cast<uint16_t>(r.y);
    s->block.LOGOINFO.LOGOCURID = static_cast<uint8_t>(k);
    Send(Operation::Load);
  }
  ShowSlotLooks();
  PostMsg(NotifyWindow(this), UM_LAYER_WINDOW, kPlaceLayerWindow, kPip3);
  positionChanged_ = false;
}

void MLogoDlg::ClearPressed(int k) {
  clears_[Index(k)]->setText(kEmptySlot);
  Enable(clears_[Index(k)], false);
  {
    auto s = State();
    s->block.LOGOINFO.LOGOVALID[k] = 0;
    Send(Operation::Clear, k);
  }
  if (logoMode_) {
    Enable(slots_[Index(k)], false);
  }
}

void MLogoDlg::TopPressed() {
  auto s = State();
  s->block.LOGOINFO.LOGOPOS = top_->IsChecked() ? 0 : 1;
  Send(Operation::Top);
}

void MLogoDlg::BorderPressed() {
  auto s = State();
  s->block.LOGOINFO.LOGO_OPT = border_->IsChecked() ? 1 : 0;
  Send(Operation::Border);
}

void MLogoDlg::EditCommitted(int id) {
  if (!isVisible()) return;
  LogoRect r = EditRect();
  int border = 0;
  {
    auto s = State();
    border = s->block.LOGOINFO.LOGO_OPT;
    if (logoMode_) {
      r = ClampLogoPlacement(r, s->block.OUTPUTRESO.HRESO, s->block.OUTPUTRESO.VRESO);
      StoreHostRect(*s, selected_, r.x, r.y, r.w, r.h);
    } else {
      const QRect pip = Pip3Window(*s);
      r = ClampLogoMark(r, static_cast<LogoEdit>(id - kFirstEdit), pip.width(), pip.height());
      StoreHostRect(*s, selected_, pip.left() + r.x, pip.top() + r.y, r.w, r.h);
    }
    s->MAIN_LOGO_FLAG = border ? 1 : 0;
  }
  if (logoMode_) positionChanged_ = true;
  ShowEdits(r);
  Send(Operation::Mark, border);
  UpdatePreview();
}

void MLogoDlg::ReloadPip3Window() {
  NoteRefresh();
  if (!Created() || logoMode_) return;
  ShowNormalMode(true);
  UpdatePreview();
}

void MLogoDlg::RefreshFromDevice() {
  NoteRefresh();
  if (!Created()) return;
  LogoInfo logo{};
  {
    auto s = State();
    LogoInfo& l = s->block.LOGOINFO;
    if (l.LOGOCURID >= kLogoSlots) l.LOGOCURID = 0;
    if (l.LOGOUSAGE == 1) s->LOGO_EDIT_ID = l.LOGOCURID;
    logo = l;
  }
  selected_ = logo.LOGOCURID;
  ShowSwitch(top_, logo.LOGOPOS == 0);
  ShowSwitch(border_, logo.LOGO_OPT != 0);
  ShowSlotLooks();
  BuildModeView(false);
  ShowSwitch(switch_, logoMode_ && logo.LOGOONOFF != 0);
  UpdateForPreviewMode();
  NotifyLayer();
}

void MLogoDlg::UpdateForPreviewMode() {
  if (!Created()) return;
  bool f = true;
  bool pipOn = false;
  int mode = 0;
  {
    auto s = State();
    mode = s->block.PVWMODEINFO.PVWMODE;
    f = !Pip3OnProgram(*s);
    pipOn = s->block.CHNLDATA[kPip3].CHNLONOFF != 0;
  }
  if (mode != 0) {
    EnableNormalControls(logoMode_ ? f : f && pipOn);
    if (logoMode_) {
      Edit(LogoEdit::Width)->setEnabled(false);
      Edit(LogoEdit::Height)->setEnabled(false);
    }
  } else {
    BuildModeView(false);
    f = true;
  }
  for (CGdipButton* b : {normal_, logo_, top_, border_}) {
    Enable(b, f);
  }
}

void MLogoDlg::ShowPage(bool show) {
  if (!show) RemoveMark();
  MSettingsPage::ShowPage(show);
  if (show && !logoMode_) {
    bool pipOn = false;
    { pipOn = State()->block.CHNLDATA[kPip3].CHNLONOFF != 0; }
    status_->setVisible(!pipOn);
  }
  RefreshFromDevice();
}

void MLogoDlg::UpdatePreview() {
  const LogoRect r = EditRect();
  int width = 0;
  int height = 0;
  {
    auto s = State();
    if (logoMode_) {
      width = s->block.OUTPUTRESO.HRESO;
      height = s->block.OUTPUTRESO.VRESO;
    } else {
      width = s->block.CHNLDATA[kPip3].HACT;
      height = s->block.CHNLDATA[kPip3].VACT;
    }
  }
  preview_ = QRect();
  if (width > 0 && height > 0 && r.w <= width && r.h <= height) {
    preview_ = CropPreviewRect(PreviewArea(), {r.x, r.y, r.w, r.h}, width, height);
  }
  update();
}

void MLogoDlg::PaintPage(QPainter& p) {
  MSettingsPage::PaintPage(p);
  PaintPreviewBox(p, PreviewArea(), kPreviewFill, preview_);
}

intptr_t MLogoDlg::OnMessage(const Message& message) {
  if (message.id == UM_VALUE_COMMITTED) {
    const int id = static_cast<int>(message.wParam);
    if (id >= kFirstEdit && id < kFirstEdit + kEdits) EditCommitted(id);
    return 1;
  }
  return MSettingsPage::OnMessage(message);
}

}  // namespace orv
