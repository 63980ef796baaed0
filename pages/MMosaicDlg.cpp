#include "MMosaicDlg.h"

#include <QMouseEvent>
#include <QPainter>

#include "ArtIds.h"
#include "CGdipButton.h"
#include "CSxGroupBox.h"
#include "CommandEncoder.h"
#include "DeviceState.h"
#include "DialogTexts.h"
#include "LayerTabs.h"
#include "MessageIds.h"
#include "Messages.h"
#include "PageWidgets.h"
#include "Skin.h"
#include "oRealEdit.h"

namespace orv {

namespace {

constexpr int kMosaicModeRequest = 0x5B4;
constexpr int kArrangementRequest = 0x5B5;
constexpr int kTextAutomatic = 5;
constexpr int kTextManual = 6;
constexpr int kTextWait = 65;
// "Panel x 3" and "Panel x 4" stay greyed: those layouts come only from the device.
constexpr int kFirstFixedLayout = 3;
constexpr int kLogoBarredMode = 5;

const char* const kLayoutCaptions[kMosaicLayouts] = {"Panel x 1", "Panel x 2", "Panel x2_1",
                                                     "Panel x 3", "Panel x 4"};
const QRect kLayoutRects[kMosaicLayouts] = {
    {20, 86, 88, 26}, {114, 86, 88, 26}, {208, 86, 88, 26}, {20, 118, 88, 26}, {114, 118, 88, 26}};

struct EditSpec {
  const char* caption;
  QRect label;
  QRect edit;
};
// In MosaicEdit order.
const EditSpec kEditSpecs[MMosaicDlg::kEdits] = {
    {"H Start :", {20, 326, 80, 24}, {100, 326, 56, 24}},
    {"V Start :", {164, 326, 80, 24}, {244, 326, 56, 24}},
    {"Width :", {20, 358, 80, 24}, {100, 358, 56, 24}},
    {"Height :", {164, 358, 80, 24}, {244, 358, 56, 24}},
    {"H Total :", {20, 390, 80, 24}, {100, 390, 56, 24}},
    {"V Total :", {164, 390, 80, 24}, {244, 390, 56, 24}},
};

// The six layer fields, in MosaicEdit order.
int32_t (MosaicSett::*const kFields[MMosaicDlg::kEdits])[4] = {
    &MosaicSett::HPOS, &MosaicSett::VPOS,   &MosaicSett::HACT,
    &MosaicSett::VACT, &MosaicSett::HTOTAL, &MosaicSett::VTOTAL};

// Panels across and down in the picture of each arrangement part.
constexpr std::array<std::pair<int, int>, kMosaicParts> kPartGrid = {
    {{2, 1}, {1, 2}, {3, 1}, {3, 1}, {1, 3}, {2, 2}, {4, 1}, {1, 4}}};

constexpr int kPictureLeft = 38;
constexpr int kPictureStep = 94;
constexpr int kPictureSize = 64;
constexpr int kCaptionTop = 152;
constexpr int kCaptionHeight = 16;

MosaicValues ToValues(const std::array<int, MMosaicDlg::kEdits>& a) {
  return {a[0], a[1], a[2], a[3], a[4], a[5]};
}

std::array<int, MMosaicDlg::kEdits> FromValues(const MosaicValues& v) {
  return {v.hpos, v.vpos, v.hact, v.vact, v.htotal, v.vtotal};
}

}  // namespace

MMosaicDlg::MMosaicDlg(QWidget* parent)
    : MSettingsPage(kTemplateId, parent, QStringLiteral("Misc Settings")) {}

MMosaicDlg::~MMosaicDlg() = default;

bool MMosaicDlg::OnInitDialog() {
  MSettingsPage::OnInitDialog();
  BuildControls();
  ApplyControlFont();
  std::array<int, kEdits> first{};
  {
    auto s = State();
    on_ = s->MOSAIC_H1 != 0;
    // The first switch-on sends the pressed layout: it must be one the page
    // offers, never a greyed one (whose "Panel x 4" would also clear the logo).
    layout_ = s->MOSAIC_ROWS < kFirstFixedLayout ? s->MOSAIC_ROWS : 0;
    for (int e = 0; e < kEdits; ++e) first[static_cast<std::size_t>(e)] = s->MOSAIC_HOSTGEOM[e][0];
  }
  for (int e = 0; e < kEdits; ++e)
    ShowEditValue(edits_[static_cast<std::size_t>(e)], first[static_cast<std::size_t>(e)]);
  ApplyEnabling();
  return true;
}

void MMosaicDlg::BuildControls() {
  autoGroup_ = MakePageGroup(this, kAutoGroup, UiQText(kTextAutomatic), {10, 36, 300, 226});
  manualGroup_ = MakePageGroup(this, kManualGroup, UiQText(kTextManual), {10, 270, 300, 246});
  MakePageLabel(this, kSwitchLabel, QStringLiteral("ON/OFF"), {20, 54, 120, 24});
  switch_ = MakePageSwitch(this, kSwitch, {150, 54});
  connect(switch_, &QAbstractButton::clicked, this, [this] { SwitchPressed(); });
  for (int i = 0; i < kMosaicLayouts; ++i) {
    CGdipButton* b = MakePageButton(this, kFirstLayout + i, QString::fromLatin1(kLayoutCaptions[i]),
                                    kLayoutRects[i]);
    b->LoadAltImage(art::kFaceButtonActive);
    connect(b, &QAbstractButton::clicked, this, [this, i] { LayoutPressed(i); });
    layouts_[static_cast<std::size_t>(i)] = b;
  }
  tabs_ =
      std::make_unique<LayerTabRow>(this, kFirstTab, 14, 290, [this](int l) { LayerSelected(l); });
  for (int e = 0; e < kEdits; ++e) {
    const EditSpec& spec = kEditSpecs[e];
    MakePageLabel(this, kFirstLabel + e, QString::fromLatin1(spec.caption), spec.label);
    edits_[static_cast<std::size_t>(e)] =
        MakePageEdit(this, kFirstEdit + e, spec.edit, 0, kMosaicMaxValue, 0);
  }
  reset_ = MakePageButton(this, kReset, QStringLiteral("Reset"), {204, 430, 96, 28});
  connect(reset_, &QAbstractButton::clicked, this, [this] { ResetPressed(); });
}

void MMosaicDlg::ReloadTexts() {
  MSettingsPage::ReloadTexts();
  ApplyDialogTexts(this, TemplateId());
  if (switch_ == nullptr) return;  // the base calls this before the controls exist
  autoGroup_->SetText(UiQText(kTextAutomatic));
  manualGroup_->SetText(UiQText(kTextManual));
  update();
}

int MMosaicDlg::Mode() const {
  return on_ ? layout_ + 1 : 0;
}

void MMosaicDlg::ApplyEnabling() {
  ShowSwitch(switch_, on_);
  for (int i = 0; i < kMosaicLayouts; ++i) {
    CGdipButton* b = layouts_[static_cast<std::size_t>(i)];
    const bool usable = on_ && i < kFirstFixedLayout;
    b->SetChecked(i == layout_);
    b->SetTextColor(i == layout_ ? skin::kOrange : skin::kText);
    b->setEnabled(usable);
    b->SetDisabledLook(!usable);
    b->update();
  }
  for (oRealEdit* e : edits_) e->setEnabled(on_);
  reset_->setEnabled(on_);
  reset_->SetDisabledLook(!on_);
  update();
}

void MMosaicDlg::ShowLayer() {
  std::array<int, kEdits> v{};
  {
    auto s = State();
    const MosaicSett& m = s->block.MOSAICSETT;
    for (int e = 0; e < kEdits; ++e) v[static_cast<std::size_t>(e)] = (m.*kFields[e])[layer_];
  }
  for (int e = 0; e < kEdits; ++e)
    ShowEditValue(edits_[static_cast<std::size_t>(e)], v[static_cast<std::size_t>(e)]);
}

MosaicValues MMosaicDlg::EditValues() const {
  std::array<int, kEdits> v{};
  for (int e = 0; e < kEdits; ++e)
    v[static_cast<std::size_t>(e)] = static_cast<int>(edits_[static_cast<std::size_t>(e)]->Value());
  return ToValues(v);
}

void MMosaicDlg::AskMainWindow(int subCode, int arg, bool post) {
  if (post) {
    PostMsg(NotifyWindow(this), UM_PAGE_REQUEST, subCode, arg);
  } else {
    SendMsg(NotifyWindow(this), UM_PAGE_REQUEST, subCode, arg);
  }
}

void MMosaicDlg::ShowWait() {
  // Queued before the command whose device event hides it.
  PostMsg(NotifyWindow(this), UM_WAIT, 1, 0, UiQText(kTextWait));
}

// Callers hold one state guard over their change and this send: a mosaic
// report decoded in between would otherwise undo the change before it goes out.
void MMosaicDlg::SendMosaic(int layer, int mode) {
  SendCommand(SET_MOSAIC, layer, mode);
}

void MMosaicDlg::SwitchPressed() {
  on_ = switch_->IsChecked();
  ApplyEnabling();
  const int mode = Mode();
  if (mode == kLogoBarredMode) {
    { State()->block.LOGOINFO.LOGOUSAGE = 0; }
    PostMsg(NotifyWindow(this), UM_LOGO_LAYER, 1, 0);
  }
  if (on_) ShowWait();
  SendCommand(GET_KEYER, 1);
  SendCommand(GET_KEYER, 3);
  {
    auto s = State();
    s->block.MOSAICSETT.MOSAICMODE = mode;
    s->MOSAIC_BYTE28 = 0;
    // The new mode goes out with the part chosen so far; none is chosen
    // afterwards, until the operator picks one of the new layout.
    SendMosaic(layer_, 0);
    if (on_) s->MOSAIC_BYTE2 = kNoMosaicPart;
  }
  AskMainWindow(kMosaicModeRequest, mode, false);
  if (on_) {
    selected_.fill(false);
    AskMainWindow(kArrangementRequest, PreselectedMosaicPart(mode), true);
    chosenPart_ = kNoMosaicPart;
    for (int l = 0; l < kLayers; ++l) SendCommand(GET_CROP, l);
  }
  SendCommand(GET_MOSAIC);
  for (int l = 0; l < kLayers; ++l) SendCommand(GET_LAYER_WINDOW, l);
  update();
}

void MMosaicDlg::LayoutPressed(int index) {
  if (index == layout_ || index < 0 || index >= kMosaicLayouts) {
    ApplyEnabling();  // the pressed button stays pressed
    return;
  }
  layout_ = index;
  ApplyEnabling();
  const int mode = index + 1;
  {
    auto s = State();
    s->block.MOSAICSETT.MOSAICMODE = mode;
    s->MOSAIC_BYTE28 = 0;
    if (mode == kLogoBarredMode) s->block.LOGOINFO.LOGOUSAGE = 0;
    ShowWait();
    SendMosaic(layer_, 0);  // with the part chosen so far, as the switch does
    s->MOSAIC_BYTE2 = kNoMosaicPart;
  }
  AskMainWindow(kMosaicModeRequest, mode, false);
  SendCommand(QUERY73);
  SendCommand(GET_KEYER, 3);
  SendCommand(GET_KEYER, 1);
  AskMainWindow(kArrangementRequest, PreselectedMosaicPart(mode), true);
  selected_.fill(false);
  if (mode == kLogoBarredMode) PostMsg(NotifyWindow(this), UM_LOGO_LAYER, 1, 0);
  chosenPart_ = kNoMosaicPart;
  update();
}

QRect MMosaicDlg::PartRect(int part) const {
  const std::span<const int> parts = MosaicPartsOf(layout_ + 1);
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (parts[i] != part) continue;
    const int x = kPictureLeft + static_cast<int>(i) * kPictureStep;
    return {x, kCaptionTop, kPictureSize, kCaptionHeight + 2 + kPictureSize};
  }
  return {};
}

void MMosaicDlg::PartClicked(const QPoint& at) {
  const int mode = Mode();
  if (!on_ || mode == 1) return;
  for (const int part : MosaicPartsOf(mode)) {
    if (!PartRect(part).contains(at) || part == chosenPart_) continue;
    chosenPart_ = part;
    selected_.fill(false);
    selected_[static_cast<std::size_t>(part)] = true;
    {
      auto s = State();
      s->MOSAIC_BYTE2 = static_cast<uint8_t>(part);
      s->block.MOSAICSETT.MOSAICAUTOARR = part;
      ShowWait();
      SendMosaic(0, 1);
    }
    AskMainWindow(kArrangementRequest, part, true);
    update();
    return;
  }
}

void MMosaicDlg::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) PartClicked(event->position().toPoint());
  MSettingsPage::mousePressEvent(event);
}

void MMosaicDlg::LayerSelected(int layer) {
  if (layer == layer_) return;
  layer_ = layer;
  ShowLayer();
}

void MMosaicDlg::EditCommitted(int id) {
  if (!isVisible()) return;
  const auto edited = static_cast<MosaicEdit>(id - kFirstEdit);
  const MosaicValues v = ClampMosaicEdit(EditValues(), edited);
  const std::array<int, kEdits> a = FromValues(v);
  {
    auto s = State();
    MosaicSett& m = s->block.MOSAICSETT;
    for (int e = 0; e < kEdits; ++e) (m.*kFields[e])[layer_] = a[static_cast<std::size_t>(e)];
    SendMosaic(layer_, 2);
  }
  for (int e = 0; e < kEdits; ++e)
    ShowEditValue(edits_[static_cast<std::size_t>(e)], a[static_cast<std::size_t>(e)]);
}

void MMosaicDlg::ResetPressed() {
  constexpr std::array<int, kEdits> kResetValues = {0, 0, 1920, 1080, 1920, 1080};
  {
    auto s = State();
    MosaicSett& m = s->block.MOSAICSETT;
    for (int e = 0; e < kEdits; ++e)
      (m.*kFields[e])[layer_] = kResetValues[static_cast<std::size_t>(e)];
    s->MOSAIC_BYTE28 = 1;
    SendMosaic(layer_, 2);
    s->MOSAIC_BYTE28 = 0;
  }
  for (int e = 0; e < kEdits; ++e)
    ShowEditValue(edits_[static_cast<std::size_t>(e)], kResetValues[static_cast<std::size_t>(e)]);
}

void MMosaicDlg::RefreshKind(int) {
  RefreshFromDevice();
}

void MMosaicDlg::RefreshFromDevice() {
  NoteRefresh();
  if (!Created()) return;
  int mode = 0;
  int part = kNoMosaicPart;
  bool logoCleared = false;
  {
    auto s = State();
    mode = s->block.MOSAICSETT.MOSAICMODE;
    // A mode outside the table changes nothing.
    if (mode < 0 || mode > kMosaicLayouts) return;
    part = s->block.MOSAICSETT.MOSAICAUTOARR;
    if (part < 0 || part >= kMosaicParts) part = kNoMosaicPart;
    if (part != kNoMosaicPart) s->MOSAIC_BYTE2 = static_cast<uint8_t>(part);
    if (mode == kLogoBarredMode && s->block.LOGOINFO.LOGOUSAGE != 0) {
      s->block.LOGOINFO.LOGOUSAGE = 0;
      logoCleared = true;
    }
  }
  on_ = mode != 0;
  if (on_) layout_ = mode - 1;
  ApplyEnabling();
  ShowLayer();
  AskMainWindow(kMosaicModeRequest, mode, false);
  selected_.fill(false);
  chosenPart_ = part;
  if (part != kNoMosaicPart) selected_[static_cast<std::size_t>(part)] = true;
  if (logoCleared) PostMsg(NotifyWindow(this), UM_LOGO_LAYER, 1, 0);
  AskMainWindow(kArrangementRequest, part, true);
  update();
}

void MMosaicDlg::PaintPage(QPainter& p) {
  MSettingsPage::PaintPage(p);
  const std::span<const int> parts = MosaicPartsOf(layout_ + 1);
  p.setFont(skin::ControlFont());
  int position = 0;
  for (const int part : parts) {
    ++position;  // the pictures are numbered left to right
    const QRect r = PartRect(part);
    const QRect caption(r.left(), r.top(), r.width(), kCaptionHeight);
    const QRect picture(r.left(), r.top() + kCaptionHeight + 2, kPictureSize, kPictureSize);
    const bool chosen = selected_[static_cast<std::size_t>(part)];
    p.setPen(chosen ? skin::kOrange : skin::kText);
    p.drawText(caption, Qt::AlignCenter, QString::number(position));
    p.fillRect(picture, QColor(46, 46, 46));
    // The panels of the arrangement, this device's part in the active colour.
    const auto [across, down] = kPartGrid[static_cast<std::size_t>(part)];
    const int cw = (kPictureSize - 8) / across;
    const int ch = (kPictureSize - 8) / down;
    const int left = picture.left() + (kPictureSize - cw * across) / 2;
    const int top = picture.top() + (kPictureSize - ch * down) / 2;
    for (int y = 0; y < down; ++y) {
      for (int x = 0; x < across; ++x) {
        const QRect cell(left + x * cw, top + y * ch, cw - 2, ch - 2);
        p.fillRect(cell, chosen && on_ ? skin::kOrange : QColor(110, 110, 110));
      }
    }
    p.setPen(QPen(chosen ? skin::kOrange : QColor(90, 90, 90), chosen ? 2 : 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(picture.adjusted(0, 0, -1, -1));
  }
}

intptr_t MMosaicDlg::OnMessage(const Message& message) {
  if (message.id == UM_VALUE_COMMITTED) {
    const int id = static_cast<int>(message.wParam);
    if (id >= kFirstEdit && id < kFirstEdit + kEdits) EditCommitted(id);
    return 1;
  }
  return MSettingsPage::OnMessage(message);
}

}  // namespace orv
