// The main window's control strip: the input strip, the layer buttons and
// their program/preview states, TAKE, the signal switch, the preset row and
// the inline rename. The rules live in InputStrip and StripModes; this file
// connects them to the record, the commands and the pages.
#include <QMouseEvent>
#include <QPainter>

#include "CGdipButton.h"
#include "CMyEdit.h"
#include "CSxGroupBox.h"
#include "CommandEncoder.h"
#include "DeviceState.h"
#include "MKeyerDlg.h"
#include "MLogoDlg.h"
#include "MMainDlg.h"
#include "MMiscDlg.h"
#include "MPIPDlg.h"
#include "MSubTitleDlg.h"
#include "MTstPatternDlg.h"
#include "MessageBox.h"
#include "OrvDlg.h"
#include "PageTable.h"
#include "ReadBack.h"
#include "ReplySink.h"
#include "Skin.h"
#include "StripModes.h"
#include "UiTexts.h"

namespace orv {

namespace {

QString Text(int n) {
  return QString::fromStdString(UiText(n));
}

QRect ToQRect(const strip::SlotRect& r) {
  return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

}  // namespace

// --- Input strip -----------------------------------------------------------

void OrvDlg::LayoutInputStrip() {
  inputStrip_.Layout().Layout(QPoint(0, 0), static_cast<float>(scale_));
}

void OrvDlg::RelayoutInputStrip() {
  int32_t kind6 = 0;
  { kind6 = State()->block.INPUTINFO.INPUTSRC[6]; }
  inputStrip_.Layout().AfterReadBack(kind6);
}

void OrvDlg::RedrawSlot(int slot) {
  if (slot < 0 || slot >= strip::kSlots) return;
  update(ToQRect(inputStrip_.Layout().PaintArea(slot)));
}

bool OrvDlg::SelectInputSlot(QPoint point) {
  strip::StripSnapshot view;
  { view = strip::TakeSnapshot(*State(), currentLayer_); }
  const int slot = inputStrip_.Layout().HitTest(point, view.enabled);
  if (slot < 0) return false;
  if (testPattern_->PatternActive()) return true;
  const int active = main_->CurrentLayer();
  if (slot == view.selectedInput && currentLayer_ == active) return true;
  currentLayer_ = active;
  int old = -1;
  {
    auto s = State();
    const PvwModeInfo& pv = s->block.PVWMODEINFO;
    // A layer on program keeps its input; only the preview may change.
    if (pv.PVWMODE != 0 && pv.PGMSTATE[active] != 0) return true;
    old = s->block.CHNLDATA[active].CHNLINPUT;
    s->block.CHNLDATA[active].CHNLINPUT = static_cast<uint8_t>(slot);
  }
  OnLayerInput(active, true);
  RedrawSlot(old);
  RedrawSlot(slot);
  return true;
}

bool OrvDlg::BeginRenameAt(QPoint point) {
  for (int i = 0; i < 10; ++i) {
    const QRect area = PresetNameArea(i);
    if (!area.contains(point)) continue;
    int group = 0;
    { group = PresetGroupOf(*State()); }
    renameEdit_->setGeometry(area);
    renameEdit_->setText(QString::fromStdString(presets_.Name(group, i)));
    rename_.BeginPreset(i);
    renameEdit_->show();
    renameEdit_->raise();
    renameEdit_->setFocus();
    return true;
  }
  std::array<bool, strip::kSlots> enabled{};
  {
    auto s = State();
    for (int i = 0; i < strip::kSlots; ++i) enabled[i] = s->INPUT_TABLE[i].enabled != 0;
  }
  const int slot = inputStrip_.Layout().LabelHit(point, enabled);
  if (slot < 0) return false;
  const strip::SlotRect& r = inputStrip_.Layout().Slot(slot);
  renameEdit_->setGeometry(r.left, r.bottom + 16, r.right - r.left, 16);
  renameEdit_->setText(QString::fromStdString(remarks_.Remark(slot)));
  rename_.BeginRemark(slot);
  renameEdit_->show();
  renameEdit_->raise();
  renameEdit_->setFocus();
  return true;
}

void OrvDlg::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && BeginRenameAt(event->position().toPoint())) return;
  event->ignore();
}

void OrvDlg::FrameLoopOutSlot(int slot) {
  if (slot < 0 || slot >= strip::kSlots) return;
  const QRect old = loopOutGroup_->geometry();
  const strip::SlotRect& r = inputStrip_.Layout().Slot(slot);
  loopOutGroup_->setGeometry(r.left - 16, old.top(), r.right - r.left + 32, old.height());
  update(old.adjusted(-2, -2, 2, 2));
  update(loopOutGroup_->geometry().adjusted(-2, -2, 2, 2));
}

// --- Layer buttons, TAKE, signal switch -------------------------------------

void OrvDlg::OnLayerButton(int layer, bool program) {
  CGdipButton* b = program ? pgmButtons_[layer] : pvwButtons_[layer];
  const bool on = b->IsChecked();
  if (layer == 3) {
    int usage = 0;
    bool logoValid = false;
    {
      auto s = State();
      usage = s->block.LOGOINFO.LOGOUSAGE;
      logoValid = s->block.LOGOINFO.LOGOVALID[3] != 0;
    }
    if (program && usage == 1) {
      // PIP-3 shows the logo: usable only while a logo picture is loaded.
      b->SetDisabledLook(!logoValid);
      if (!logoValid) {
        b->SetChecked(!on);
        return;
      }
    }
    logo_->RefreshFromDevice();
    if (program && usage != 0) return;
  }
  { State()->block.CHNLDATA[layer].CHNLONOFF = on ? 1 : 0; }
  pip_->RefreshFromDevice();
  main_->ShowLayerCell(layer, on);
  SendCommand(SET_LAYER_ONOFF, layer - 1);
}

void OrvDlg::OnTake() {
  // The box is asked for before the send: on loopback the event that ends
  // it can arrive before the line after the send runs.
  OnWait(true, Text(kWaitTextOperation));
  SendCommand(TAKE);
}

void OrvDlg::OnSignalSwitch() {
  int active = 0;
  { active = State()->block.COMPOSITEBOARD.CMPBOARDACTNOSRC; }
  // The other of the board's two sources; any other value sends nothing.
  if (active == 0) SendCommand(SIGNAL_SWITCH, 0, 1);
  if (active == 1) SendCommand(SIGNAL_SWITCH, 0, 0);
  Pause(50);
  SendCommand(QUERY67);
  Button(strip::kSignalSwitch)->setEnabled(false);
}

void OrvDlg::ApplyModeEnabling() {
  int mode = 0;
  int mosaic = 0;
  std::array<bool, 4> onProgram{};
  std::array<bool, 4> onPreview{};
  std::array<bool, 4> layerOn{};
  int logoUsage = 0;
  {
    auto s = State();
    const PvwModeInfo& pv = s->block.PVWMODEINFO;
    mode = pv.PVWMODE;
    mosaic = s->block.MOSAICSETT.MOSAICMODE;
    for (std::size_t i = 0; i < 4; ++i) {
      onProgram[i] = pv.PGMSTATE[i] != 0;
      onPreview[i] = pv.PVWSTATE[i] != 0;
      layerOn[i] = s->block.CHNLDATA[i].CHNLONOFF != 0;
    }
    logoUsage = s->block.LOGOINFO.LOGOUSAGE;
  }
  const strip::ModeControls c = strip::ModeControlsFor(mode, onProgram, onPreview, mosaic);
  const bool plain = mode != 1 && mode != 2;
  for (std::size_t i = 0; i < 4; ++i) {
    const auto apply = [](CGdipButton* b, const strip::LayerButtonState& st) {
      b->setVisible(st.visible);
      b->setEnabled(st.enabled);
      if (st.checked) b->SetChecked(*st.checked);
      b->SetDisabledLook(st.dark);
      b->update();
    };
    apply(pgmButtons_[i], c.pgm[i]);
    apply(pvwButtons_[i], c.pvw[i]);
    // Without program/preview the PIP buttons show whether their layer is on
    // (PIP-3 only while it is not the logo's).
    if (plain && i >= 1 && (i < 3 || logoUsage == 0)) pgmButtons_[i]->SetChecked(layerOn[i]);
  }
  Button(strip::kTake)->setVisible(c.takeVisible);
  Button(strip::kLockOutput)->setVisible(c.lockOutputVisible);
  PlaceStripRow();
  PageButton(2)->setEnabled(c.mosaicPage);
  PageButton(4)->setEnabled(c.pipPage);
  PageButton(6)->setEnabled(c.logoPage);
  EnableKeyer(c.logoPage);
  EnableTestPattern(c.testPattern);
  if (c.hideCaptionPage) caption_->ShowPage(false);
  if (c.lockOutputAreas) main_->LockOutputAreas(true, false);
  // While the test pattern holds the layers, their buttons and TAKE stay off.
  if (LayersLocked()) {
    for (CGdipButton* b : pgmButtons_) b->setEnabled(false);
    for (CGdipButton* b : pvwButtons_) b->setEnabled(false);
    Button(strip::kTake)->setEnabled(false);
  }
}

// The keyer and test pattern pages are reached from the page column and from
// the misc page's tab row; both ways open and close together.
void OrvDlg::EnableKeyer(bool on) {
  keyer_->setEnabled(on);
  if (CGdipButton* tab = misc_->Tab(MMiscDlg::kKeyerTab)) tab->setEnabled(on);
}

void OrvDlg::EnableTestPattern(bool on) {
  testPattern_->setEnabled(on);
  if (CGdipButton* tab = misc_->Tab(MMiscDlg::kTestPatternTab)) tab->setEnabled(on);
}

// --- Preset row --------------------------------------------------------------

void OrvDlg::RefreshPresetButtons(int highlight) {
  uint8_t flags[10]{};
  {
    auto s = State();
    for (int i = 0; i < 10; ++i) flags[i] = s->PRESET_FLAGS[i];
  }
  for (int i = 0; i < 10; ++i) {
    const strip::PresetLook look = strip::PresetLookFor(presetsMode_, flags[i]);
    CGdipButton* b = presetButtons_[static_cast<std::size_t>(i)];
    b->SetDisabledLook(!look.valid);
    b->SetMarker(look.marker);
    b->SetChecked(i == highlight);
    b->update();
  }
}

void OrvDlg::SetPresetsMode(bool presets) {
  presetsMode_ = presets;
  Button(strip::kPresets)->SetChecked(presets);
  Button(strip::kTemplates)->SetChecked(!presets);
  Button(strip::kSave)->setVisible(presets);
  int group = 0;
  { group = PresetGroupOf(*State()); }
  RefreshPresetButtons(presets ? lastPreset_[static_cast<std::size_t>(group)] : lastTemplate_);
  update();
}

void OrvDlg::OnLoad() {
  if (currentPreset_ < 0) return;
  if (testPattern_->isVisible()) testPattern_->ShowPage(false);
  if (presetsMode_) {
    RecallPresetKey(currentPreset_);
    return;
  }
  RecallPreset(0, currentPreset_);
  lastTemplate_ = currentPreset_;
}

void OrvDlg::OnSave() {
  if (currentPreset_ >= 0) SavePresetKey(currentPreset_);
}

QRect OrvDlg::PresetNameArea(int index) const {
  const QRect b = presetButtons_[static_cast<std::size_t>(index)]->geometry();
  return QRect(b.left() - 10, b.bottom() + 1 + 2, b.width() + 20, 20);
}

void OrvDlg::PaintPresetNames(QPainter& p) {
  if (!presetsMode_) return;
  int group = 0;
  { group = PresetGroupOf(*State()); }
  p.setFont(bold12_);
  p.setPen(skin::kOrange);
  for (int i = 0; i < 10; ++i) {
    p.drawText(PresetNameArea(i), Qt::AlignCenter | Qt::TextSingleLine,
               QString::fromStdString(presets_.Name(group, i)));
  }
}

}  // namespace orv
