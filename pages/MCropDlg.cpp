#include "MCropDlg.h"

#include <QLabel>
#include <QPainter>

#include "CGdipButton.h"
#include "CommandEncoder.h"
#include "DeviceState.h"
#include "LayerTabs.h"
#include "MessageIds.h"
#include "PageWidgets.h"
#include "oRealEdit.h"

namespace orv {

namespace {

constexpr int kTextInputSource = 4;
constexpr uint8_t kCropKeep = 0;
constexpr uint8_t kCropReset = 1;

const EditRow kEditRows[] = {
    {MCropDlg::kHStartLabel,
     "H Start : ",
     {24, 128, 120, 24},
     MCropDlg::kHStartEdit,
     {150, 128, 100, 24},
     0,
     kCropMaxValue},
    {MCropDlg::kVStartLabel,
     "V Start : ",
     {24, 162, 120, 24},
     MCropDlg::kVStartEdit,
     {150, 162, 100, 24},
     0,
     kCropMaxValue},
    {MCropDlg::kWidthLabel,
     "Width : ",
     {24, 196, 120, 24},
     MCropDlg::kWidthEdit,
     {150, 196, 100, 24},
     kCropMinSize,
     kCropMaxValue},
    {MCropDlg::kHeightLabel,
     "Height : ",
     {24, 230, 120, 24},
     MCropDlg::kHeightEdit,
     {150, 230, 100, 24},
     kCropMinSize,
     kCropMaxValue},
};

const QRect kSourceRect(24, 74, 280, 44);
const QRect kSwitchLabelRect(24, 276, 120, 24);
const QPoint kSwitchAt(150, 276);
const QRect kResetRect(24, 330, 84, 28);
const QColor kPreviewFill(255, 174, 0);

CropWindow WindowOf(const Crop& c) {
  return {c.HPOS, c.VPOS, c.HACT, c.VACT};
}

}  // namespace

MCropDlg::MCropDlg(QWidget* parent)
    : MSettingsPage(kTemplateId, parent, QStringLiteral("Image Crop")) {}

MCropDlg::~MCropDlg() = default;

bool MCropDlg::OnInitDialog() {
  MSettingsPage::OnInitDialog();
  BuildControls();
  ApplyControlFont();
  {
    auto s = State();
    group_ = InputGroupOfLayer(*s, 0);
    const CropHost& first = s->CROP_HOST[group_ < 8 ? group_ : 0][0];
    const int values[4] = {first.x, first.y, first.w, first.h};
    for (std::size_t i = 0; i < 4; ++i) ShowEditValue(edits_[i], values[i]);
  }
  ShowSwitch(switch_, false);
  EnableEdits(false);
  ShowSource();
  UpdatePreview();
  return true;
}

void MCropDlg::BuildControls() {
  tabs_ = std::make_unique<LayerTabRow>(this, kFirstTab, 14, 36, [this](int l) { SelectLayer(l); });
  source_ = MakePageLabel(this, kSourceLabel, QString(), kSourceRect);
  source_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  for (std::size_t i = 0; i < 4; ++i) {
    const EditRow& row = kEditRows[i];
    MakePageLabel(this, row.labelId, QString::fromLatin1(row.caption), row.label);
    edits_[i] = MakePageEdit(this, row.editId, row.edit, row.min, row.max, row.min);
  }
  MakePageLabel(this, kSwitchLabel, QStringLiteral("ON/OFF"), kSwitchLabelRect);
  switch_ = MakePageSwitch(this, kSwitch, kSwitchAt);
  connect(switch_, &QAbstractButton::clicked, this, [this] { SwitchPressed(); });
  reset_ = MakePageButton(this, kReset, QStringLiteral("Reset"), kResetRect);
  connect(reset_, &QAbstractButton::clicked, this, [this] { ResetPressed(); });
}

void MCropDlg::ReloadTexts() {
  MSettingsPage::ReloadTexts();
  if (source_ != nullptr) ShowSource();  // the base calls this before the controls exist
}

QString MCropDlg::SourceText() const {
  return source_ ? source_->text() : QString();
}

QRect MCropDlg::PreviewArea() const {
  const QPoint s = kSwitchAt;
  return QRect(QPoint(s.x() - 30, s.y() + 50), QPoint(s.x() + 100 - 1, s.y() + 150 - 1));
}

void MCropDlg::SelectLayer(int layer) {
  if (!DeviceState::ValidLayer(layer)) return;
  tabs_->Select(layer);
  if (layer == layer_) return;
  layer_ = layer;
  ShowSource();
}

void MCropDlg::ShowSource() {
  QString name;
  {
    auto s = State();
    group_ = InputGroupOfLayer(*s, layer_);
    name = QString::fromStdString(s->InputEntryOf(s->block.CHNLDATA[layer_].CHNLINPUT).name);
  }
  source_->setText(UiQText(kTextInputSource) + QLatin1Char('\n') + name.trimmed());
  ShowValues();
}

void MCropDlg::RefreshForLayer(int layer) {
  if (!Created() || layer != layer_) return;
  NoteRefresh();
  ShowSource();
}

void MCropDlg::RefreshFromDevice() {
  NoteRefresh();
  if (!Created()) return;
  UpdateLayerTabs();
  ShowSource();
}

void MCropDlg::UpdateLayerTabs() {
  if (!Created()) return;
  PvwModeInfo mode{};
  { mode = State()->block.PVWMODEINFO; }
  const LayerTabLook look = LayerTabsFor(mode, false);
  tabs_->Apply(look);
  if (look.select >= 0) SelectLayer(look.select);
}

void MCropDlg::ShowValues() {
  Crop crop{};
  { crop = State()->CropOf(group_, layer_); }
  const CropWindow w = WindowOf(crop);
  const int values[4] = {w.x, w.y, w.w, w.h};
  for (std::size_t i = 0; i < 4; ++i) ShowEditValue(edits_[i], values[i]);
  ShowSwitch(switch_, crop.CROPONOFF != 0);
  EnableEdits(crop.CROPONOFF != 0);
  UpdatePreview();
}

void MCropDlg::EnableEdits(bool on) {
  for (oRealEdit* edit : edits_) edit->setEnabled(on);
}

CropWindow MCropDlg::EditValues() const {
  return {static_cast<int>(edits_[0]->Value()), static_cast<int>(edits_[1]->Value()),
          static_cast<int>(edits_[2]->Value()), static_cast<int>(edits_[3]->Value())};
}

void MCropDlg::UpdatePreview() {
  int width = 0;
  int height = 0;
  {
    auto s = State();
    const Crop& crop = s->CropOf(group_, layer_);
    width = crop.HTOTAL;
    height = crop.VTOTAL;
  }
  preview_ = CropPreviewRect(PreviewArea(), EditValues(), width, height);
  update(PreviewArea());
}

void MCropDlg::SwitchPressed() {
  const bool on = switch_->IsChecked();
  EnableEdits(on);
  { State()->CropOf(group_, layer_).CROPONOFF = on ? 1 : 0; }
  SendCommand(SET_CROP, layer_, kCropKeep);
}

void MCropDlg::ResetPressed() {
  // The device answers with the whole source; the page waits for that.
  if (!switch_->IsChecked()) return;
  SendCommand(SET_CROP, layer_, kCropReset);
}

void MCropDlg::EditCommitted(int id) {
  if (!isVisible()) return;
  const int which = id - kHStartEdit;
  if (which < 0 || which > 3) return;
  CropWindow v = EditValues();
  {
    auto s = State();
    Crop& crop = s->CropOf(group_, layer_);
    v = ClampCropEdit(v, static_cast<CropEdit>(which), crop.HTOTAL, crop.VTOTAL);
    crop.HPOS = static_cast<uint16_t>(v.x);
    crop.VPOS = static_cast<uint16_t>(v.y);
    crop.HACT = static_cast<uint16_t>(v.w);
    crop.VACT = static_cast<uint16_t>(v.h);
  }
  const int values[4] = {v.x, v.y, v.w, v.h};
  for (std::size_t i = 0; i < 4; ++i) ShowEditValue(edits_[i], values[i]);
  UpdatePreview();
  SendCommand(SET_CROP, layer_, kCropKeep);
}

intptr_t MCropDlg::OnMessage(const Message& message) {
  if (message.id == UM_VALUE_COMMITTED) {
    EditCommitted(static_cast<int>(message.wParam));
    return 1;
  }
  return MSettingsPage::OnMessage(message);
}

void MCropDlg::PaintPage(QPainter& p) {
  MSettingsPage::PaintPage(p);
  PaintPreviewBox(p, PreviewArea(), kPreviewFill, preview_);
}

}  // namespace orv
