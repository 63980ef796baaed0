#include "MOutputDlg.h"

#include <QLabel>
#include <QPainter>

#include "ArtIds.h"
#include "CDropList.h"
#include "CGdipButton.h"
#include "CSxGroupBox.h"
#include "CommandEncoder.h"
#include "ControlId.h"
#include "DeviceState.h"
#include "DialogTexts.h"
#include "LayerTabs.h"
#include "MessageIds.h"
#include "PageWidgets.h"
#include "UiTexts.h"
#include "oRealEdit.h"

namespace orv {

namespace {

constexpr int kTextOutputResolution = 2;
constexpr int kTextRotate = 3;
constexpr int kTextCustomResolution = 96;
// UM_LAYER_WINDOW sub-code: the main page re-places the layer's window.
constexpr intptr_t kLayerWindowReplace = 0x5AB;

const EditRow kSizeRows[3] = {
    {MOutputDlg::kWidthLabel,
     "H Active :",
     {16, 70, 78, 22},
     MOutputDlg::kWidthEdit,
     {94, 70, 60, 22},
     640,
     4080},
    {MOutputDlg::kWidthLabel + 1,
     "V Active :",
     {164, 70, 78, 22},
     MOutputDlg::kHeightEdit,
     {242, 70, 60, 22},
     480,
     4080},
    {MOutputDlg::kWidthLabel + 2,
     "FPS :",
     {16, 98, 78, 22},
     MOutputDlg::kRateEdit,
     {94, 98, 60, 22},
     23,
     120},
};

// H total, V total, H sync, V sync, Hbp, Vbp, in the order of TimingEdit.
const EditRow kTimingRows[MOutputDlg::kTimingEdits] = {
    {MOutputDlg::kFirstTimingLabel,
     "H total :",
     {16, 130, 78, 22},
     MOutputDlg::kFirstTimingEdit,
     {94, 130, 60, 22},
     680,
     4094},
    {MOutputDlg::kFirstTimingLabel + 1,
     "V total :",
     {164, 130, 78, 22},
     MOutputDlg::kFirstTimingEdit + 1,
     {242, 130, 60, 22},
     492,
     4094},
    {MOutputDlg::kFirstTimingLabel + 2,
     "H sync :",
     {16, 158, 78, 22},
     MOutputDlg::kFirstTimingEdit + 2,
     {94, 158, 60, 22},
     4,
     128},
    {MOutputDlg::kFirstTimingLabel + 3,
     "V sync :",
     {164, 158, 78, 22},
     MOutputDlg::kFirstTimingEdit + 3,
     {242, 158, 60, 22},
     4,
     128},
    {MOutputDlg::kFirstTimingLabel + 4,
     "Hbp :",
     {16, 186, 78, 22},
     MOutputDlg::kFirstTimingEdit + 4,
     {94, 186, 60, 22},
     4,
     512},
    {MOutputDlg::kFirstTimingLabel + 5,
     "Vbp :",
     {164, 186, 78, 22},
     MOutputDlg::kFirstTimingEdit + 5,
     {242, 186, 60, 22},
     4,
     512},
};
const QRect kHPolLabel(16, 214, 78, 22);
const QRect kVPolLabel(164, 214, 78, 22);
const QRect kHPolList(94, 214, 60, 22);
const QRect kVPolList(242, 214, 60, 22);

const EditRow kWindowRows[4] = {
    {MOutputDlg::kFirstWindowLabel,
     "H Start :",
     {16, 294, 78, 22},
     MOutputDlg::kFirstWindowEdit,
     {94, 294, 60, 22},
     0,
     9999},
    {MOutputDlg::kFirstWindowLabel + 1,
     "V Start :",
     {164, 294, 78, 22},
     MOutputDlg::kFirstWindowEdit + 1,
     {242, 294, 60, 22},
     0,
     9999},
    {MOutputDlg::kFirstWindowLabel + 2,
     "Width :",
     {16, 322, 78, 22},
     MOutputDlg::kFirstWindowEdit + 2,
     {94, 322, 60, 22},
     1,
     9999},
    {MOutputDlg::kFirstWindowLabel + 3,
     "Height :",
     {164, 322, 78, 22},
     MOutputDlg::kFirstWindowEdit + 3,
     {242, 322, 60, 22},
     1,
     9999},
};

const QRect kResolutionGroupRect(8, 42, 304, 208);
const QRect kResolutionListRect(138, 32, 176, 22);
const QRect kMoreRect(164, 96, 66, 26);
const QRect kApplyRect(236, 96, 66, 26);
constexpr int kTabsTop = 258;
const QRect kFullRect(16, 352, 62, 40);  // narrow, so "Full Screen" wraps onto two lines
const QRect kHalfRect(88, 352, 104, 40);
const QRect kQuarterRect(200, 352, 104, 40);
const QRect kRotateGroupRect(8, 404, 304, 116);
const QRect kPreviewRect(196, 420, 108, 94);

QRect RotationRect(int mode) {
  return {16 + (mode % 2) * 88, 422 + (mode / 2) * 24, 84, 22};
}

// The preview's sample: a picture whose every rotation and flip looks different.
QImage MakeSample() {
  QImage image(80, 60, QImage::Format_RGB32);
  image.fill(QColor(40, 70, 140));
  QPainter p(&image);
  p.fillRect(0, 0, 40, 30, QColor(239, 156, 0));
  p.fillRect(40, 30, 40, 30, QColor(60, 140, 60));
  p.setPen(QPen(Qt::white, 3));
  p.drawLine(48, 8, 48, 26);  // an "F": stem, top bar, middle bar
  p.drawLine(48, 8, 62, 8);
  p.drawLine(48, 17, 58, 17);
  return image;
}

QImage Rotated(const QImage& source, int mode) {
  const RotationMode& r = kRotationTable[mode];
  QImage out = r.clockwiseDegrees == 0
                   ? source
                   : source.transformed(QTransform().rotate(r.clockwiseDegrees));
  return r.mirrorAfter ? out.mirrored(true, false) : out;
}

void SetEditInt(oRealEdit* edit, int value) {
  ShowEditValue(edit, value);
}

int EditInt(const oRealEdit* edit) {
  return static_cast<int>(edit->Value());
}

}  // namespace

MOutputDlg::MOutputDlg(QWidget* parent)
    : MSettingsPage(kTemplateId, parent, QStringLiteral("Output Setting")) {}

MOutputDlg::~MOutputDlg() = default;

bool MOutputDlg::OnInitDialog() {
  MSettingsPage::OnInitDialog();
  BuildControls();
  ApplyControlFont();
  FillResolutionList();
  {
    auto s = State();
    const CustomReso& c = s->CUSTOM_RESO;
    resolutionList_->SetCurSel(c.index <= kCustomIndex ? c.index : kCustomIndex);
    SetEditInt(sizeEdits_[0], c.values[0]);
    SetEditInt(sizeEdits_[1], c.values[4]);
    sizeEdits_[2]->SetValue(std::clamp(static_cast<float>(c.b1), 23.0f, 120.0f));
    const int timing[kTimingEdits] = {c.values[1], c.values[5], c.values[2],
                                      c.values[6], c.values[3], c.values[7]};
    for (int i = 0; i < kTimingEdits; ++i) SetEditInt(timingEdits_[i], timing[i]);
    hPolList_->SetCurSel(c.b2 ? 1 : 0);
    vPolList_->SetCurSel(c.b3 ? 1 : 0);
    const LayerDefault& d = s->LAYER_DEFAULT[0];
    const int window[4] = {d.x, d.y, d.w, d.h};
    for (std::size_t i = 0; i < 4; ++i) SetEditInt(windowEdits_[i], window[i]);
  }
  SelectResolution(10, false);
  sample_ = MakeSample();
  ShowRotation(0);
  return true;
}

void MOutputDlg::BuildControls() {
  resolutionGroup_ =
      MakePageGroup(this, kResolutionGroup, UiQText(kTextOutputResolution), kResolutionGroupRect);
  rotateGroup_ = MakePageGroup(this, kRotateGroup, UiQText(kTextRotate), kRotateGroupRect);
  for (std::size_t i = 0; i < 3; ++i) {
    const EditRow& row = kSizeRows[i];
    MakePageLabel(this, row.labelId, QString::fromLatin1(row.caption), row.label);
    sizeEdits_[i] = MakePageEdit(this, row.editId, row.edit, row.min, row.max, row.min);
  }
  sizeEdits_[2]->Setup(60, 23, true, 120, QStringLiteral("%0.2f"));
  more_ = MakePageButton(this, kMore, QStringLiteral("More >"), kMoreRect);
  more_->LoadAltImage(art::kFaceButtonActive);
  more_->SetClickToggle(true);
  connect(more_, &QAbstractButton::clicked, this, [this] { ShowTimingRows(more_->IsChecked()); });
  apply_ = MakePageButton(this, kApply, QStringLiteral("Apply"), kApplyRect);
  connect(apply_, &QAbstractButton::clicked, this, [this] { ApplyCustom(); });
  for (std::size_t i = 0; i < kTimingEdits; ++i) {
    const EditRow& row = kTimingRows[i];
    timingLabels_[i] =
        MakePageLabel(this, row.labelId, QString::fromLatin1(row.caption), row.label);
    timingEdits_[i] = MakePageEdit(this, row.editId, row.edit, row.min, row.max, row.min);
  }
  timingLabels_[6] =
      MakePageLabel(this, kFirstTimingLabel + 6, QStringLiteral("H pol :"), kHPolLabel);
  timingLabels_[7] =
      MakePageLabel(this, kFirstTimingLabel + 7, QStringLiteral("V pol :"), kVPolLabel);
  resolutionList_ = MakePageDropList(this, kResolutionListId, kResolutionListRect);
  hPolList_ = MakePageDropList(this, kHPolListId, kHPolList);
  vPolList_ = MakePageDropList(this, kVPolListId, kVPolList);
  for (CDropButton* list : {hPolList_, vPolList_}) {
    for (const char* name : {"N(-)", "P(+)"}) list->List()->AddString(QString::fromLatin1(name));
  }

  tabs_ = std::make_unique<LayerTabRow>(this, kFirstTab, 14, kTabsTop,
                                        [this](int l) { SelectLayer(l); });
  for (std::size_t i = 0; i < 4; ++i) {
    const EditRow& row = kWindowRows[i];
    MakePageLabel(this, row.labelId, QString::fromLatin1(row.caption), row.label);
    windowEdits_[i] = MakePageEdit(this, row.editId, row.edit, row.min, row.max, row.min);
  }
  connect(MakePageButton(this, kFullScreen, QStringLiteral("Full Screen"), kFullRect),
          &QAbstractButton::clicked, this, [this] { FullScreen(); });
  connect(MakePageButton(this, kHalf, QStringLiteral("1/2"), kHalfRect), &QAbstractButton::clicked,
          this, [this] { HalfOrQuarter(false); });
  connect(MakePageButton(this, kQuarter, QStringLiteral("1/4"), kQuarterRect),
          &QAbstractButton::clicked, this, [this] { HalfOrQuarter(true); });
  for (int m = 0; m < kRotationModes; ++m) {
    CGdipButton* b = MakePageButton(this, kFirstRotation + m,
                                    QString::fromUtf8(kRotationTable[m].caption), RotationRect(m));
    b->LoadAltImage(art::kFaceButtonActive);
    b->SetStayPushed(true);
    connect(b, &QAbstractButton::clicked, this, [this, m] { Rotate(m); });
    rotations_[static_cast<std::size_t>(m)] = b;
  }
}

CGdipButton* MOutputDlg::Button(int id) const {
  return qobject_cast<CGdipButton*>(FindControl(this, id));
}

void MOutputDlg::FillResolutionList() {
  resolutionList_->ResetContent();
  auto s = State();
  for (int i = 0; i <= kCustomIndex; ++i) {
    const int row =
        resolutionList_->List()->AddString(QString::fromStdString(s->RESO_TABLE[i].name));
    resolutionList_->List()->SetItemData(row, static_cast<uint32_t>(i));
  }
}

void MOutputDlg::ReloadTexts() {
  MSettingsPage::ReloadTexts();
  ApplyDialogTexts(this, TemplateId());
  if (resolutionGroup_ == nullptr) return;  // the base calls this before the controls exist
  resolutionGroup_->SetText(UiQText(kTextOutputResolution));
  rotateGroup_->SetText(UiQText(kTextRotate));
  int index = 0;
  {
    auto s = State();
    s->RESO_TABLE[kCustomIndex].name = UiText(kTextCustomResolution);
    index = s->block.OUTPUTRESO.RESOINDEX;
  }
  FillResolutionList();
  if (index >= 0 && index <= kCustomIndex) resolutionList_->SetCurSel(index);
  update();
}

void MOutputDlg::SelectResolution(int index, bool send) {
  if (index < 0 || index > kCustomIndex) return;
  bool logo = false;
  bool pvw = false;
  OutputReso shown{};
  {
    auto s = State();
    OutputReso& o = s->block.OUTPUTRESO;
    const ResoEntry& e = s->RESO_TABLE[index];
    shown = o;
    shown.HRESO = e.width;
    shown.VRESO = e.height;
    shown.FPS = e.refresh;
    // The custom entry only opened in the list is shown, not yet stored: the
    // record keeps the timing of the resolution still applied, so that a
    // project saved meanwhile stays true.
    if (index != kCustomIndex || o.RESOINDEX == kCustomIndex) {
      o.RESOINDEX = index;
      o.HRESO = e.width;
      o.VRESO = e.height;
      o.FPS = e.refresh;
    }
    logo = s->block.LOGOINFO.LOGOUSAGE == 1;
    pvw = s->block.PVWMODEINFO.PVWMODE != 0;
  }
  ShowTiming(shown);
  more_->SetChecked(false);
  ShowTimingRows(false);
  const bool custom = index == kCustomIndex;
  for (oRealEdit* e : sizeEdits_) e->setEnabled(custom);
  apply_->setEnabled(custom);
  more_->setEnabled(custom);
  resolutionList_->SetCurSel(index);
  if (send) {
    SendCommand(SET_OUTPUT_TIMING);
    for (int layer = 0; layer < 4; ++layer) SendCommand(GET_LAYER_WINDOW, layer);
    if (pvw) SendCommand(GET_LAYERS);
    if (logo) SendCommand(GET_LOGO);
    SendCommand(GET_CAPTION, 0);
  }
  if (!custom) PostMsg(NotifyWindow(this), UM_OUTPUT_CHANGED, 0, 0);
}

// A timing on the edits and polarity lists.
void MOutputDlg::ShowTiming(const OutputReso& o) {
  SetEditInt(sizeEdits_[0], o.HRESO);
  SetEditInt(sizeEdits_[1], o.VRESO);
  sizeEdits_[2]->SetValue(std::clamp(o.FPS / 100.0f, 23.0f, 120.0f));
  const int timing[kTimingEdits] = {o.HTOTAL, o.VTOTAL, o.HSYNC, o.VSYNC, o.HBP, o.VBP};
  for (int i = 0; i < kTimingEdits; ++i) SetEditInt(timingEdits_[i], timing[i]);
  // A polarity outside the two entries leaves the list as it was.
  if (o.HPOL <= 1) hPolList_->SetCurSel(o.HPOL);
  if (o.VPOL <= 1) vPolList_->SetCurSel(o.VPOL);
}

void MOutputDlg::ShowTimingRows(bool shown) {
  rowsShown_ = shown;
  for (QWidget* w : timingLabels_) w->setVisible(shown);
  for (oRealEdit* e : timingEdits_) e->setVisible(shown);
  hPolList_->setVisible(shown);
  vPolList_->setVisible(shown);
}

void MOutputDlg::RefreshTiming() {
  RefreshFromDevice();
}

void MOutputDlg::RefreshFromDevice() {
  NoteRefresh();
  if (!Created()) return;
  int index = 0;
  {
    auto s = State();
    OutputReso& o = s->block.OUTPUTRESO;
    index = o.RESOINDEX;
    if (index == kCustomIndex) {
      ResoEntry& e = s->RESO_TABLE[kCustomIndex];
      e.width = o.HRESO;
      e.height = o.VRESO;
      e.refresh = o.FPS;
    }
  }
  // An index outside the table changes nothing but the numbers shown.
  SelectResolution(index, false);
  OutputReso o{};
  { o = State()->block.OUTPUTRESO; }
  ShowTiming(o);
  PostMsg(NotifyWindow(this), UM_OUTPUT_CHANGED, 0, 0);
}

void MOutputDlg::ShowPage(bool show) {
  if (!show && Created()) {
    int index = 0;
    { index = State()->block.OUTPUTRESO.RESOINDEX; }
    SelectResolution(index, false);
  }
  MSettingsPage::ShowPage(show);
}

void MOutputDlg::ApplyCustom() {
  bool pvw = false;
  {
    auto s = State();
    OutputReso& o = s->block.OUTPUTRESO;
    ResoEntry& e = s->RESO_TABLE[kCustomIndex];
    o.RESOINDEX = kCustomIndex;
    o.HRESO = e.width = static_cast<uint16_t>(EditInt(sizeEdits_[0]));
    o.VRESO = e.height = static_cast<uint16_t>(EditInt(sizeEdits_[1]));
    o.FPS = e.refresh = static_cast<uint16_t>(HundredthsOf(sizeEdits_[2]->Value()));
    uint16_t* fields[kTimingEdits] = {&o.HTOTAL, &o.VTOTAL, &o.HSYNC, &o.VSYNC, &o.HBP, &o.VBP};
    for (int i = 0; i < kTimingEdits; ++i) {
      *fields[i] = static_cast<uint16_t>(EditInt(timingEdits_[i]));
    }
    o.HPOL = static_cast<uint8_t>(std::max(hPolList_->GetCurSel(), 0));
    o.VPOL = static_cast<uint8_t>(std::max(vPolList_->GetCurSel(), 0));
    s->OUTPUT_DETAIL = rowsShown_ ? 1 : 0;
    pvw = s->block.PVWMODEINFO.PVWMODE != 0;
  }
  SendCommand(SET_OUTPUT_TIMING);
  for (int layer = 0; layer < 4; ++layer) SendCommand(GET_LAYER_WINDOW, layer);
  PostMsg(NotifyWindow(this), UM_OUTPUT_CHANGED, 0, 0);
  if (pvw) SendCommand(GET_LAYERS);
}

// The rules of a committed timing or size edit. They only lower the edited
// value or raise a total; nothing is sent until "Apply".
void MOutputDlg::TimingCommitted(int id) {
  const int w = EditInt(sizeEdits_[0]);
  const int h = EditInt(sizeEdits_[1]);
  const int rate = HundredthsOf(sizeEdits_[2]->Value());
  auto timing = [this](int which) {
    return EditInt(timingEdits_[static_cast<std::size_t>(which)]);
  };
  const int ht = timing(kHTotal), vt = timing(kVTotal);
  const int hs = timing(kHSync), vs = timing(kVSync);
  const int hb = timing(kHbp), vb = timing(kVbp);
  auto raiseHTotal = [&] {
    if (MinHTotal(w, timing(kHSync), timing(kHbp)) > timing(kHTotal))
      SetEditInt(timingEdits_[kHTotal], MinHTotal(w, timing(kHSync), timing(kHbp)));
  };
  auto raiseVTotal = [&] {
    if (MinVTotal(h, timing(kVSync), timing(kVbp)) > timing(kVTotal))
      SetEditInt(timingEdits_[kVTotal], MinVTotal(h, timing(kVSync), timing(kVbp)));
  };
  switch (id) {
    case kFirstTimingEdit + kHTotal:
      raiseHTotal();
      break;
    case kFirstTimingEdit + kVTotal:
      raiseVTotal();
      break;
    case kFirstTimingEdit + kHSync:
    case kFirstTimingEdit + kHbp: {
      auto s = State();
      (id == kFirstTimingEdit + kHSync ? s->block.OUTPUTRESO.HSYNC : s->block.OUTPUTRESO.HBP) =
          static_cast<uint16_t>(timing(id - kFirstTimingEdit));
      raiseHTotal();
      break;
    }
    case kFirstTimingEdit + kVSync:
    case kFirstTimingEdit + kVbp: {
      auto s = State();
      (id == kFirstTimingEdit + kVSync ? s->block.OUTPUTRESO.VSYNC : s->block.OUTPUTRESO.VBP) =
          static_cast<uint16_t>(timing(id - kFirstTimingEdit));
      raiseVTotal();
      break;
    }
    case kWidthEdit: {
      const int limit = rowsShown_ ? ShownWidthLimit(vt, rate, hs, hb, w)
                                   : EstimateWidthLimit(w, h, rate / 100 * 100);
      if (w > limit) SetEditInt(sizeEdits_[0], limit);
      break;
    }
    case kHeightEdit: {
      int newW = w;
      const int limit = rowsShown_ ? ShownHeightLimit(ht, rate, vs, vb, h)
                                   : EstimateHeightLimit(newW, h, rate / 100 * 100);
      if (newW != w) SetEditInt(sizeEdits_[0], newW);
      if (h > limit) SetEditInt(sizeEdits_[1], limit);
      break;
    }
    case kRateEdit: {
      const int limit = rowsShown_ ? ShownRateLimit(ht, vt, rate) : EstimateRateLimit(w, h, rate);
      if (rate > limit) sizeEdits_[2]->SetValue(std::clamp(limit / 100.0f, 23.0f, 120.0f));
      break;
    }
    default:
      break;
  }
}

LayerWindow MOutputDlg::WindowValues() const {
  return {EditInt(windowEdits_[0]), EditInt(windowEdits_[1]), EditInt(windowEdits_[2]),
          EditInt(windowEdits_[3])};
}

void MOutputDlg::WindowCommitted(int which) {
  const LayerWindow v =
      FitWindowEdit(WindowValues(), which, EditInt(sizeEdits_[0]), EditInt(sizeEdits_[1]));
  const int values[4] = {v.left, v.top, v.width, v.height};
  SetEditInt(windowEdits_[static_cast<std::size_t>(which)], values[which]);
  {
    auto s = State();
    ChannelData& ch = s->block.CHNLDATA[layer_];
    int32_t* fields[4] = {&ch.HPOS, &ch.VPOS, &ch.HACT, &ch.VACT};
    *fields[which] = EditInt(windowEdits_[static_cast<std::size_t>(which)]);
  }
  SendLayerWindow();
}

void MOutputDlg::SetWindow(const LayerWindow& w) {
  {
    auto s = State();
    ChannelData& ch = s->block.CHNLDATA[layer_];
    ch.HPOS = w.left;
    ch.VPOS = w.top;
    ch.HACT = w.width;
    ch.VACT = w.height;
  }
  const int values[4] = {w.left, w.top, w.width, w.height};
  for (std::size_t i = 0; i < 4; ++i) SetEditInt(windowEdits_[i], values[i]);
}

void MOutputDlg::SendLayerWindow() {
  SendCommand(SET_LAYER_WINDOW, layer_);
  PostMsg(NotifyWindow(this), UM_LAYER_WINDOW, kLayerWindowReplace, layer_);
}

void MOutputDlg::FullScreen() {
  int hreso = 0;
  int vreso = 0;
  {
    auto s = State();
    hreso = s->block.OUTPUTRESO.HRESO;
    vreso = s->block.OUTPUTRESO.VRESO;
    s->LAYER_DEFAULT[layer_].FULLSCREEN_REQ = 1;
  }
  SetWindow({0, 0, hreso, vreso});
  SendLayerWindow();
}

void MOutputDlg::HalfOrQuarter(bool quarter) {
  int hreso = 0;
  int vreso = 0;
  LayerWindow current{};
  {
    auto s = State();
    hreso = s->block.OUTPUTRESO.HRESO;
    vreso = s->block.OUTPUTRESO.VRESO;
    const ChannelData& ch = s->block.CHNLDATA[layer_];
    current = {ch.HPOS, ch.VPOS, ch.HACT, ch.VACT};
  }
  SetWindow(quarter ? QuarterWindow(current, hreso, vreso) : HalfWindow(current, hreso, vreso));
  SendLayerWindow();
}

void MOutputDlg::Rotate(int mode) {
  {
    auto s = State();
    ChannelData& ch = s->block.CHNLDATA[layer_];
    if (ch.CHNLROTATION == mode) {
      ShowRotation(mode);  // a click toggled the button's look; put it back
      return;
    }
    ch.CHNLROTATION = mode;
  }
  ShowRotation(mode);
  SendCommand(SET_LAYER_WINDOW, layer_);
}

// The preview turned to `mode` and the button of that mode pressed; a mode
// outside the table (from a device or a project) shows the picture unturned
// with no button pressed.
void MOutputDlg::ShowRotation(int mode) {
  const bool known = mode >= 0 && mode < kRotationModes;
  previewMode_ = known ? mode : 0;
  preview_ = Rotated(sample_, previewMode_);
  for (int m = 0; m < kRotationModes; ++m) {
    rotations_[static_cast<std::size_t>(m)]->SetChecked(known && m == mode);
    rotations_[static_cast<std::size_t>(m)]->update();
  }
  update(kRotateGroupRect);
}

QRect MOutputDlg::PreviewArea() const {
  return kPreviewRect;
}

void MOutputDlg::LoadLayerWindow() {
  ChannelData ch{};
  { ch = State()->block.CHNLDATA[layer_]; }
  const int values[4] = {ch.HPOS, ch.VPOS, ch.HACT, ch.VACT};
  for (std::size_t i = 0; i < 4; ++i) SetEditInt(windowEdits_[i], values[i]);
  ShowRotation(ch.CHNLROTATION);
}

void MOutputDlg::ReloadSelectedLayer() {
  NoteRefresh();
  if (Created()) LoadLayerWindow();
}

void MOutputDlg::SelectLayer(int layer) {
  if (!DeviceState::ValidLayer(layer) || !Created()) return;
  tabs_->Select(layer);
  if (layer == layer_) return;
  layer_ = layer;
  LoadLayerWindow();
}

void MOutputDlg::UpdateLayerTabs() {
  NoteRefresh();
  if (!Created()) return;
  PvwModeInfo mode{};
  { mode = State()->block.PVWMODEINFO; }
  const LayerTabLook look = LayerTabsFor(mode, false);
  tabs_->Apply(look);
  if (look.select >= 0) SelectLayer(look.select);
}

intptr_t MOutputDlg::OnMessage(const Message& message) {
  if (message.id == UM_LIST_SELECT) {
    const int index = static_cast<int>(message.lParam);
    if (message.wParam == kResolutionListId) SelectResolution(index, index != kCustomIndex);
    if (message.wParam == kHPolListId && (index == 0 || index == 1))
      State()->block.OUTPUTRESO.HPOL = static_cast<uint8_t>(index);
    if (message.wParam == kVPolListId && (index == 0 || index == 1))
      State()->block.OUTPUTRESO.VPOL = static_cast<uint8_t>(index);
    return 1;
  }
  if (message.id == UM_VALUE_COMMITTED) {
    if (!isVisible()) return 1;
    const int id = static_cast<int>(message.wParam);
    if (id >= kFirstWindowEdit && id < kFirstWindowEdit + 4) {
      WindowCommitted(id - kFirstWindowEdit);
    } else {
      TimingCommitted(id);
    }
    return 1;
  }
  return MSettingsPage::OnMessage(message);
}

void MOutputDlg::PaintPage(QPainter& p) {
  MSettingsPage::PaintPage(p);
  if (preview_.isNull()) return;
  const QRect area = PreviewArea();
  const QSize size = preview_.size().scaled(area.size(), Qt::KeepAspectRatio);
  const QRect target(area.center() - QPoint(size.width() / 2, size.height() / 2), size);
  p.drawImage(target, preview_);
}

}  // namespace orv
