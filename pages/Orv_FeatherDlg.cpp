#include "Orv_FeatherDlg.h"

#include "CDropList.h"
#include "CGdipButton.h"
#include "CSxGroupBox.h"
#include "CommandEncoder.h"
#include "DeviceState.h"
#include "DialogTexts.h"
#include "MessageIds.h"
#include "PageWidgets.h"

namespace orv {

namespace {

constexpr int kTextFirstShape = 154;  // "Rectangle" ... "Rectangle Down"
constexpr int kGroup2Layer = 3;
constexpr int kCaptionOnByte = 12;

const QPoint kSwitchAt(130, 44);
const QRect kGroup1Rect(10, 86, 300, 100);
const QRect kGroup2Rect(10, 204, 300, 100);

struct ListSpec {
  int listId;
  int labelId;
  const char* caption;
  QRect label;
  QRect list;
};
// In list id order: group-1 shape, group-2 shape, group-1 level, group-2 level.
const ListSpec kLists[4] = {
    {Orv_FeatherDlg::kShape1List,
     Orv_FeatherDlg::kShape1Label,
     "Sharp",
     {24, 112, 90, 24},
     {120, 113, 180, 22}},
    {Orv_FeatherDlg::kShape2List,
     Orv_FeatherDlg::kShape2Label,
     "Sharp",
     {24, 230, 90, 24},
     {120, 231, 180, 22}},
    {Orv_FeatherDlg::kLevel1List,
     Orv_FeatherDlg::kLevel1Label,
     "Level",
     {24, 148, 90, 24},
     {120, 149, 180, 22}},
    {Orv_FeatherDlg::kLevel2List,
     Orv_FeatherDlg::kLevel2Label,
     "Level",
     {24, 266, 90, 24},
     {120, 267, 180, 22}},
};

bool IsShapeList(int slot) {
  return slot < 2;
}

}  // namespace

Orv_FeatherDlg::Orv_FeatherDlg(QWidget* parent)
    : MSettingsPage(kTemplateId, parent, QStringLiteral("Feathering")) {}

bool Orv_FeatherDlg::SwitchOnAllowed(const DeviceState& s) {
  const ParamBlock& b = s.block;
  const auto on = [&b](int layer) { return b.CHNLDATA[layer].CHNLONOFF != 0; };
  const int mosaic = b.MOSAICSETT.MOSAICMODE;
  const bool layout = (mosaic == 2 && (on(2) || on(3))) || (mosaic == 3 && (on(1) || on(3)));
  bool captionsOff = true;
  for (const auto& caption : s.CAPTION_INFO)
    captionsOff = captionsOff && caption[kCaptionOnByte] == 0;
  const bool keyersOff =
      b.KEYERINFO.KEYER[0].KEYERONOFF == 0 && b.KEYERINFO.KEYER[1].KEYERONOFF == 0;
  const LogoInfo& logo = b.LOGOINFO;
  const bool logoPlain = logo.LOGOUSAGE == 0 || (logo.LOGO_OPT == 0 && logo.LOGOPOS == 0);
  return layout && keyersOff && captionsOff && logoPlain;
}

int Orv_FeatherDlg::Group1LayerFor(int mosaicMode) {
  if (mosaicMode == 2) return 2;
  if (mosaicMode == 3) return 1;
  return -1;
}

bool Orv_FeatherDlg::OnInitDialog() {
  MSettingsPage::OnInitDialog();
  BuildControls();
  ApplyControlFont();
  FillLists();
  ShowSwitch(switch_, false);
  EnableLists(false);
  return true;
}

void Orv_FeatherDlg::BuildControls() {
  switch_ = MakePageSwitch(this, kSwitch, kSwitchAt);
  connect(switch_, &QAbstractButton::clicked, this, [this] { SwitchPressed(); });
  group1_ = MakePageGroup(this, kGroup1, QStringLiteral("PIP2"), kGroup1Rect);
  group2_ = MakePageGroup(this, kGroup2, QStringLiteral("PIP3"), kGroup2Rect);
  for (std::size_t i = 0; i < 4; ++i) {
    const ListSpec& l = kLists[i];
    MakePageLabel(this, l.labelId, QString::fromLatin1(l.caption), l.label);
    lists_[i] = MakePageDropList(this, l.listId, l.list);
  }
}

CDropButton* Orv_FeatherDlg::List(int listId) const {
  const int slot = listId - kShape1List;
  return slot >= 0 && slot < 4 ? lists_[static_cast<std::size_t>(slot)] : nullptr;
}

QString Orv_FeatherDlg::Group1Caption() const {
  return group1_ ? group1_->Text() : QString();
}

void Orv_FeatherDlg::FillLists() {
  for (std::size_t slot = 0; slot < 4; ++slot) {
    CDropButton* drop = lists_[slot];
    const int selected = drop->GetCurSel();
    drop->ResetContent();
    const bool shapes = IsShapeList(static_cast<int>(slot));
    for (int n = 0; n < (shapes ? kShapes : kLevels); ++n) {
      const QString text = shapes ? UiQText(kTextFirstShape + n) : QString::asprintf("%d", n);
      const int i = drop->List()->AddString(text);
      drop->List()->SetItemData(i, static_cast<uint32_t>(n));
    }
    drop->SetCurSel(selected > 0 ? selected : 0);
  }
}

void Orv_FeatherDlg::ReloadTexts() {
  MSettingsPage::ReloadTexts();
  ApplyDialogTexts(this, TemplateId());
  if (group1_ == nullptr) return;  // the base calls this before the controls exist
  FillLists();
  update();
}

void Orv_FeatherDlg::EnableLists(bool on) {
  for (CDropButton* drop : lists_) drop->setEnabled(on);
}

void Orv_FeatherDlg::PostLayerControls(bool disable) {
  PostMsg(NotifyWindow(this), UM_PAGE_REQUEST, kReqLayerControls, disable ? 1 : 0);
}

void Orv_FeatherDlg::RefreshFromDevice() {
  NoteRefresh();
  if (!Created()) return;
  std::array<int32_t, 9> feather{};
  int mosaic = 0;
  {
    auto s = State();
    std::copy(std::begin(s->FEATHER), std::end(s->FEATHER), feather.begin());
    mosaic = s->block.MOSAICSETT.MOSAICMODE;
  }
  // A value outside its list leaves that list as it was.
  const auto select = [](CDropButton* drop, int32_t value, int count) {
    if (value >= 0 && value < count) drop->SetCurSel(value);
  };
  if (const int layer = Group1LayerFor(mosaic); layer > 0) {
    group1Layer_ = layer;
    group1_->SetText(layer == 2 ? QStringLiteral("PIP2") : QStringLiteral("PIP1"));
    select(List(kShape1List), feather[1 + layer], kShapes);
    select(List(kLevel1List), feather[5 + layer], kLevels);
  }
  select(List(kShape2List), feather[1 + kGroup2Layer], kShapes);
  select(List(kLevel2List), feather[5 + kGroup2Layer], kLevels);
  const bool on = feather[0] == 1;
  ShowSwitch(switch_, on);
  EnableLists(on);
  PostLayerControls(on);
}

void Orv_FeatherDlg::SwitchPressed() {
  const bool on = switch_->IsChecked();
  if (on) {
    bool allowed = false;
    { allowed = SwitchOnAllowed(*State()); }
    if (!allowed) {
      ShowSwitch(switch_, false);
      return;
    }
  }
  { State()->FEATHER[0] = on ? 1 : 0; }
  SendCommand(SET_FEATHER, kGroup2Layer);
  EnableLists(on);
  PostLayerControls(on);
}

void Orv_FeatherDlg::ListChosen(int listId, int index) {
  CDropButton* drop = List(listId);
  if (drop == nullptr || index < 0 || index >= drop->List()->GetCount()) return;
  const auto value = static_cast<int32_t>(drop->List()->GetItemData(index));
  const bool group1 = listId == kShape1List || listId == kLevel1List;
  const int layer = group1 ? group1Layer_ : kGroup2Layer;
  const bool shape = listId == kShape1List || listId == kShape2List;
  { State()->FEATHER[(shape ? 1 : 5) + layer] = value; }
  SendCommand(SET_FEATHER, layer);
}

intptr_t Orv_FeatherDlg::OnMessage(const Message& message) {
  if (message.id == UM_LIST_SELECT) {
    ListChosen(static_cast<int>(message.wParam), static_cast<int>(message.lParam));
    return 1;
  }
  return MSettingsPage::OnMessage(message);
}

}  // namespace orv
