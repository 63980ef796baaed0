#include "OrvDlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QMouseEvent>
#include <QPainter>

#include "AppTexts.h"
#include "CDropList.h"
#include "CGdipButton.h"
#include "CMyEdit.h"
#include "CSxGroupBox.h"
#include "ChangesControl.h"
#include "CommandEncoder.h"
#include "ConfirmationTracker.h"
#include "ControlId.h"
#include "Decoders.h"
#include "DeviceState.h"
#include "DialogTexts.h"
#include "Dpi.h"
#include "Ini.h"
#include "LinkIndicator.h"
#include "LinkSupervisor.h"
#include "MConnectDlg.h"
#include "MCropDlg.h"
#include "MEdidDlg.h"
#include "MKeyerDlg.h"
#include "MLogoDlg.h"
#include "MMainDlg.h"
#include "MMediaPlayerDlg.h"
#include "MMiscDlg.h"
#include "MMosaicDlg.h"
#include "MOutputDlg.h"
#include "MPIPDlg.h"
#include "MPicSettingDlg.h"
#include "MSearchMachineDlg.h"
#include "MSubTitleDlg.h"
#include "MSwitcherDlg.h"
#include "MTaskDlg.h"
#include "MTstPatternDlg.h"
#include "MVgaDlg.h"
#include "MVideoSettingDlg.h"
#include "MessageBox.h"
#include "MessageIds.h"
#include "OfflineProcessor.h"
#include "Orv_FeatherDlg.h"
#include "OwnEnabledState.h"
#include "PageTable.h"
#include "ProjectFile.h"
#include "ProjectReview.h"
#include "ReadBack.h"
#include "ResourceRegistry.h"
#include "SerialPortWatcher.h"
#include "ShowControlAdapter.h"
#include "Skin.h"
#include "UiTexts.h"
#include "WaitBox.h"
#include "WriteOutcomeLine.h"

namespace orv {

namespace {

const QString kWindowTitle = QStringLiteral("Q20 VideoProcessor");
const QColor kSeparator(20, 20, 20);

// The area that holds every control and page of the main window. It is the
// window the pages and controls report to; it hands their messages to the
// main window, and it is what the wait box disables.
class ContentArea : public QWidget, public MessageTarget {
 public:
  ContentArea(QWidget* parent, MessageTarget* hub) : QWidget(parent), hub_(hub) {
    setAttribute(Qt::WA_NoSystemBackground);
    // Disabled only to block input: the controls inside keep their looks.
    MarkInputBlocker(*this);
  }
  intptr_t OnMessage(const Message& message) override { return hub_->OnMessage(message); }

 private:
  MessageTarget* hub_;
};

}  // namespace

OrvDlg::OrvDlg(Options options, QWidget* parent)
    : QWidget(parent), options_(std::move(options)), settingsPath_(SettingsPath()) {
  SetControlId(this, kTemplateId);
  setWindowTitle(kWindowTitle);
  bold12_ = skin::ArialFont(12, 700);
  bold15Down_ = skin::ArialFont(15, 700);
  setFocusPolicy(Qt::StrongFocus);
}

OrvDlg::~OrvDlg() {
  if (initialised_ && !closedDown_) CloseDown();
  StopConfirmations();
  if (&GetReplySink() == this) SetReplySink(nullptr);
}

void OrvDlg::Initialise() {
  if (initialised_) return;
  initialised_ = true;
  const Dpi dpi = ScreenDpi();
  scale_ = static_cast<float>(dpi.x / 96.0);
  resize(layout::InitialWindowSize(dpi.x, dpi.y));
  setMinimumSize(layout::kDesignWidth, layout::kDesignHeight);
  background_ = LoadResourceImage(art::ArtType::Bitmap, art::kPageBackground);
  appImage_ = LoadResourceImage(art::ArtType::Icon, art::kAppIcon);
  if (!appImage_.isNull()) setWindowIcon(QPixmap::fromImage(appImage_));

  content_ = new ContentArea(this, this);
  content_->setGeometry(rect());
  content_->show();

  waitBox_ = std::make_unique<WaitBox>(
      this, [this](bool busy) { content_->setEnabled(!busy); }, [this] { OnWaitTimedOut(); });

  CreatePages();
  CreateControls();
  LayoutInputStrip();

  SetReplySink(this);
  if (options_.library != nullptr) RegisterReplyFunctions(*options_.library);

  ApplyTexts();
  presets_.Load(settingsPath_);
  remarks_.Load(settingsPath_);

  // Controls of the template that this panel never shows.
  if (QWidget* dual = FindControl(content_, strip::kDualChannel)) dual->hide();
  portSwitchGroup_->hide();
  portSwitchList_->hide();
  if (CGdipButton* b = Button(strip::kSignalSwitch)) b->hide();

  setWindowTitle(kWindowTitle);

  projectPath_ = StartupProjectPath(settingsPath_);
  LoadProject(projectPath_, [this](int type, int arg) { QueueSteps(RefreshSteps(type), arg); });

  StartLinkWatch();
  StartConfirmations();
  StartChanges();
  RecordBottomRow();
  Relayout();
  SetTimer(kTitleTimerId, kTitleTimerMs);

  if (options_.watchSerialPorts) {
    serialWatcher_ = std::make_unique<SerialPortWatcher>(
        [this](bool arrival) { connect_->OnSerialDeviceChange(arrival); });
  }
  showControl_ = ShowControlAdapter::StartFromSettings(*this, settingsPath_);
}

void OrvDlg::CreatePages() {
  // Creation order of the template: every page hidden.
  picture_ = new MPicSettingDlg(content_);
  output_ = new MOutputDlg(content_);
  crop_ = new MCropDlg(content_);
  mosaic_ = new MMosaicDlg(content_);
  pip_ = new MPIPDlg(content_);
  logo_ = new MLogoDlg(content_);
  keyer_ = new MKeyerDlg(content_);
  edid_ = new MEdidDlg(content_);
  vga_ = new MVgaDlg(content_);
  testPattern_ = new MTstPatternDlg(content_);
  task_ = new MTaskDlg(content_);
  misc_ = new MMiscDlg(content_);
  review_ = std::make_unique<ProjectReview>(this, [this] {
    if (!link_) return false;
    const LinkPhase phase = link_->Status().phase;
    return phase == LinkPhase::Connected || phase == LinkPhase::Probing;
  });
  misc_->SetWriteBackAction([this] { review_->Start(); });
  connect_ = new MConnectDlg(content_);
  search_ = new MSearchMachineDlg(content_, options_.localAddresses);
  switcher_ = new MSwitcherDlg(content_);
  caption_ = new MSubTitleDlg(content_);
  videoSettings_ = new MVideoSettingDlg(content_);
  mediaPlayer_ = new MMediaPlayerDlg(content_);
  feather_ = new Orv_FeatherDlg(content_);
  main_ = new MMainDlg(content_);

  const std::array<MBaseDialog*, 20> all = {
      picture_,  output_,  crop_,          mosaic_,      pip_,     logo_,    keyer_,
      edid_,     vga_,     testPattern_,   task_,        misc_,    connect_, search_,
      switcher_, caption_, videoSettings_, mediaPlayer_, feather_, main_};
  for (MBaseDialog* page : all) {
    page->Create();
    page->hide();
  }
  columnPages_ = {picture_, output_, mosaic_, switcher_, pip_,    crop_,
                  logo_,    edid_,   vga_,    misc_,     connect_};
  caption_->raise();
  main_->show();
}

CGdipButton* OrvDlg::AddButton(int id, int image, int altImage, const QRect& rect) {
  auto* b = new CGdipButton(content_, id);
  b->LoadImage(image);
  if (altImage != 0) b->LoadAltImage(altImage);
  b->setGeometry(rect);
  b->SetTextColor(QColor(20, 20, 20));
  // Buttons with a second picture show it while checked.
  if (altImage != 0) b->SetStayPushed(true);
  b->show();
  buttons_.push_back(b);
  return b;
}

CGdipButton* OrvDlg::Button(int controlId) const {
  for (CGdipButton* b : buttons_) {
    if (ControlId(b) == controlId) return b;
  }
  return nullptr;
}

void OrvDlg::CreateControls() {
  CreatePageButtons();
  CreateStripButtons();
  CreateBottomRow();
  CreateGroupsAndLists();
  renameEdit_ = new CMyEdit(content_, 0);
  renameEdit_->setMaxLength(255);
  renameEdit_->hide();
}

void OrvDlg::CreatePageButtons() {
  for (const PageButtonRow& row : kPageButtons) {
    CGdipButton* b = AddButton(row.buttonId, art::kFacePage, art::kFacePageActive,
                               layout::PageButtonRect(rect(), row.pageIndex));
    b->SetCaptionFont(bold12_);
    pageButtons_[static_cast<std::size_t>(row.pageIndex)] = b;
    const int index = row.pageIndex;
    connect(b, &QAbstractButton::clicked, this, [this, index] { ShowPageByIndex(index, true); });
  }
}

void OrvDlg::CreateStripButtons() {
  const int band = layout::kDesignHeight - 137;
  for (int i = 0; i < 4; ++i) {
    pgmButtons_[i] = AddButton(strip::kPgmFirst + i, art::kFaceLayer, art::kFaceLayerActive,
                               QRect(90 + i * 74, band, 70, 26));
    pvwButtons_[i] = AddButton(strip::kPvwFirst + i, art::kFaceLayer, art::kFaceLayerActive,
                               QRect(396 + i * 74, band, 70, 26));
    pvwButtons_[i]->hide();
    topButtons_[i] = AddButton(strip::kTopFirst + i, art::kFaceButton, art::kFaceButtonActive,
                               QRect(layout::kDesignWidth - 22, 120 + i * 64, 20, 60));
    topButtons_[i]->SetCaptionFont(bold15Down_);
    topButtons_[i]->SetCaptionTurned(true);
    topButtons_[i]->hide();
  }
  // Layer buttons are check buttons: each click flips them.
  for (std::size_t i = 0; i < 4; ++i) {
    for (CGdipButton* b : {pgmButtons_[i], pvwButtons_[i]}) {
      b->SetStayPushed(false);
      b->SetClickToggle(true);
    }
  }
  pgmButtons_[0]->SetChecked(true);
  pgmButtons_[0]->setEnabled(false);
  for (int layer = 1; layer < 4; ++layer) {
    connect(pgmButtons_[layer], &QAbstractButton::clicked, this,
            [this, layer] { OnLayerButton(layer, true); });
    connect(pvwButtons_[layer], &QAbstractButton::clicked, this,
            [this, layer] { OnLayerButton(layer, false); });
  }
  AddButton(strip::kTake, art::kFaceTake, 0, QRect(700, band - 6, 90, 38))->hide();
  AddButton(strip::kLockOutput, art::kFaceButton, art::kFaceButtonActive, QRect(800, band, 96, 28))
      ->hide();
  AddButton(strip::kFreeze, art::kFaceButton, art::kFaceButtonActive, QRect(906, band, 96, 28))
      ->SetStayPushed(false);
  Button(strip::kFreeze)->SetClickToggle(true);
  AddButton(strip::kSwitch, art::kFaceButton, 0, QRect(1012, band, 96, 28));
  AddButton(strip::kPreview, art::kFaceButton, 0, QRect(1118, band, 96, 28));
  AddButton(strip::kSignalSwitch, art::kFaceButton, 0, QRect(744, 66, 96, 28));
  const int lampX = layout::kDesignWidth - 20;
  const int lampY = layout::kDesignHeight - 90;
  AddButton(strip::kSerialLamp, art::kLampOff, art::kLampOn, QRect(lampX, lampY, 16, 16));
  AddButton(strip::kNetworkLamp, art::kLampOff, art::kLampOn, QRect(lampX, lampY, 16, 16))->hide();
  AddButton(strip::kSwitchLamp, art::kLampOff, art::kLampOn, QRect(lampX, lampY + 22, 16, 16))
      ->hide();
  AddButton(strip::kOnlineLamp, art::kLampOff, art::kLampOn, QRect(lampX, lampY + 44, 16, 16));
  for (int id : {strip::kSerialLamp, strip::kNetworkLamp, strip::kSwitchLamp, strip::kOnlineLamp}) {
    // Indicators show a state; a click must not change it.
    Button(id)->setAttribute(Qt::WA_TransparentForMouseEvents);
  }
  Button(strip::kSerialLamp)->SetChecked(true);
  Button(strip::kNetworkLamp)->SetChecked(true);
  Button(strip::kSwitchLamp)->SetChecked(true);

  connect(Button(strip::kFreeze), &QAbstractButton::clicked, this,
          [this] { SendCommand(FREEZE, Button(strip::kFreeze)->IsChecked() ? 1 : 0); });
  connect(Button(strip::kTake), &QAbstractButton::clicked, this, [this] { OnTake(); });
  connect(Button(strip::kSignalSwitch), &QAbstractButton::clicked, this,
          [this] { OnSignalSwitch(); });
  connect(Button(strip::kPreview), &QAbstractButton::clicked, this,
          [this] { main_->ToggleVideoWindow(); });
  // The strip's captions: Arial 15 bold, TAKE 18, dark on the light faces.
  for (int id : {strip::kLockOutput, strip::kFreeze, strip::kSwitch, strip::kPreview,
                 strip::kSignalSwitch}) {
    Button(id)->SetCaptionFont(skin::ControlFont());
  }
  for (std::size_t i = 0; i < 4; ++i) {
    pgmButtons_[i]->SetCaptionFont(skin::ControlFont());
    pvwButtons_[i]->SetCaptionFont(skin::ControlFont());
  }
  Button(strip::kTake)->SetCaptionFont(skin::TitleFont());
  CGdipButton* lockOutput = Button(strip::kLockOutput);
  lockOutput->SetStayPushed(false);
  lockOutput->SetClickToggle(true);
  // The output areas start fixed (mosaic off): the button starts pressed, so
  // that the operator's first click releases them.
  lockOutput->SetChecked(true);
  connect(lockOutput, &QAbstractButton::clicked, this,
          [this, lockOutput] { main_->LockOutputAreas(lockOutput->IsChecked(), true); });
  for (int i = 0; i < 4; ++i) {
    connect(topButtons_[i], &QAbstractButton::clicked, this, [this, i] {
      main_->BringLayerToFront(i);
      for (CGdipButton* b : topButtons_) b->hide();
    });
  }

  auto* dual = new QCheckBox(content_);
  SetControlId(dual, strip::kDualChannel);
  dual->hide();
}

void OrvDlg::CreateBottomRow() {
  const int row = layout::kDesignHeight - 82;
  AddButton(strip::kTemplates, art::kFaceButton, art::kFaceButtonActive, QRect(84, row, 80, 28));
  AddButton(strip::kPresets, art::kFaceButton, art::kFaceButtonActive, QRect(172, row, 80, 28))
      ->SetChecked(true);
  for (int i = 0; i < 10; ++i) {
    presetButtons_[i] = AddButton(strip::kPresetFirst + i, art::kFacePreset, art::kFacePresetActive,
                                  QRect(290 + i * 76, row - 1, 60, 30));
    presetButtons_[i]->setText(QString::number(i + 1));
    presetButtons_[i]->SetDisabledLook(true);
    const int index = i;
    connect(presetButtons_[i], &QAbstractButton::clicked, this, [this, index] {
      currentPreset_ = index;
      RefreshPresetButtons(index);
    });
  }
  AddButton(strip::kLoad, art::kFaceButton, 0, QRect(1060, row, 90, 28));
  AddButton(strip::kSave, art::kFaceButton, 0, QRect(1158, row, 90, 28));
  for (int id : {strip::kTemplates, strip::kPresets, strip::kLoad, strip::kSave})
    Button(id)->SetCaptionFont(skin::ControlFont());
  for (CGdipButton* b : presetButtons_) b->SetCaptionFont(skin::ControlFont());
  connect(Button(strip::kLoad), &QAbstractButton::clicked, this, [this] { OnLoad(); });
  connect(Button(strip::kSave), &QAbstractButton::clicked, this, [this] { OnSave(); });
  connect(Button(strip::kPresets), &QAbstractButton::clicked, this,
          [this] { SetPresetsMode(true); });
  connect(Button(strip::kTemplates), &QAbstractButton::clicked, this,
          [this] { SetPresetsMode(false); });
}

void OrvDlg::CreateGroupsAndLists() {
  loopOutGroup_ = new CSxGroupBox(QString(), content_, strip::kLoopOutGroup);
  loopOutGroup_->setGeometry(107, 4, 100, 96);
  syncGroup_ = new CSxGroupBox(QString(), content_, strip::kSyncGroup);
  syncGroup_->setGeometry(layout::kDesignWidth - 24 - 236, 8, 230, 88);
  portSwitchGroup_ = new CSxGroupBox(QString(), content_, strip::kPortSwitchGroup);
  portSwitchGroup_->setGeometry(syncGroup_->x() - 190, 8, 180, 50);
  for (CSxGroupBox* g : {loopOutGroup_, syncGroup_, portSwitchGroup_}) {
    g->SetCaptionColor(skin::kOrange);
    g->SetCaptionFont(bold12_);
    g->SetFrameStyle(CSxGroupBox::kFlat);
    g->show();
  }
  const std::optional<QColor> fill = skin::kPageBack;
  const std::optional<QColor> text = skin::kText;
  syncLockList_ = new CDropButton();
  syncLockList_->Create(QString(), content_, strip::kSyncLockList, fill, fill, text, nullptr,
                        QColor(255, 255, 255),
                        QRect(syncGroup_->x() + 10, syncGroup_->y() + 38, 140, 20));
  syncModeList_ = new CDropButton();
  syncModeList_->Create(
      QString(), content_, strip::kSyncModeList, fill, fill, text, nullptr, QColor(255, 255, 255),
      QRect(syncGroup_->x() + syncGroup_->width() - 75, syncGroup_->y() + 2, 70, 20));
  portSwitchList_ = new CDropButton();
  portSwitchList_->Create(QString(), content_, strip::kPortSwitchList, fill, fill, text, nullptr,
                          QColor(255, 255, 255),
                          QRect(portSwitchGroup_->x() + 5, portSwitchGroup_->y() + 18,
                                portSwitchGroup_->width() - 10, 20));
  for (CDropButton* list : {syncLockList_, syncModeList_, portSwitchList_}) {
    list->SetListColor(skin::kListFill);
  }
  RefillSyncLists();
}

// --- Layout ---------------------------------------------------------------

void OrvDlg::RecordBottomRow() {
  const QRect design(0, 0, layout::kDesignWidth, layout::kDesignHeight);
  bottomRow_.clear();
  auto anchor = [&](QWidget* w, bool fromRight) {
    if (w != nullptr)
      bottomRow_.emplace_back(w, layout::AnchorOf(w->geometry(), design, fromRight));
  };
  anchor(Button(strip::kTemplates), false);
  anchor(Button(strip::kPresets), false);
  anchor(Button(strip::kLoad), true);
  anchor(Button(strip::kSave), true);
  for (CGdipButton* b : presetButtons_) anchor(b, true);
  // The lamps follow the bottom edge too; the band under the canvas is
  // placed by PlaceStripRow.
  for (int id : {strip::kSerialLamp, strip::kNetworkLamp, strip::kSwitchLamp, strip::kOnlineLamp}) {
    anchor(Button(id), true);
  }
  anchor(linkIndicator_, false);
  anchor(outcomeLine_, false);
}

void OrvDlg::PlaceBottomRow() {
  const QRect client = rect();
  for (auto& [widget, anchor] : bottomRow_)
    widget->setGeometry(layout::PlaceAnchored(anchor, client));
  // The top-right group boxes and the TOP buttons keep their distance from the right edge.
  const int right = client.width();
  syncGroup_->move(right - 24 - syncGroup_->width() - 6, syncGroup_->y());
  syncLockList_->move(syncGroup_->x() + 10, syncGroup_->y() + 38);
  syncModeList_->move(syncGroup_->x() + syncGroup_->width() - 75, syncGroup_->y() + 2);
  portSwitchGroup_->move(syncGroup_->x() - portSwitchGroup_->width() - 10, portSwitchGroup_->y());
  portSwitchList_->move(portSwitchGroup_->x() + 5, portSwitchGroup_->y() + 18);
  for (int i = 0; i < 4; ++i) topButtons_[i]->move(right - 22, 120 + i * 64);
}

void OrvDlg::Relayout() {
  if (content_ == nullptr) return;
  const QRect client = rect();
  content_->setGeometry(client);
  const QRect column = layout::PageColumnRect(client, scale_);
  for (MBaseDialog* page : columnPages_) page->setGeometry(column);
  for (MBaseDialog* page :
       std::initializer_list<MBaseDialog*>{search_, videoSettings_, mediaPlayer_, feather_}) {
    page->setGeometry(column);
  }
  PlaceSubPages(false);
  const QRect mainPage = layout::MainPageRect(client, currentPage_ >= 0, scale_);
  main_->setGeometry(mainPage);
  PlaceStripRow();
  PlaceBottomRow();
  PlaceChanges();
  update();
}

void OrvDlg::PlaceStripRow() {
  if (content_ == nullptr) return;
  const QRect client = rect();
  const QRect mainPage = layout::MainPageRect(client, currentPage_ >= 0, scale_);
  const std::array<CGdipButton*, layout::kStripRightButtons> right = {
      Button(strip::kTake), Button(strip::kLockOutput), Button(strip::kFreeze),
      Button(strip::kSwitch), Button(strip::kPreview)};
  layout::StripRowShown shown;
  for (std::size_t i = 0; i < 4; ++i) {
    shown.layers[i] = !pgmButtons_[i]->isHidden();
    shown.layers[i + 4] = !pvwButtons_[i]->isHidden();
  }
  for (std::size_t i = 0; i < right.size(); ++i) shown.right[i] = !right[i]->isHidden();
  // The layer buttons sit under the canvas, from its left edge; the others
  // close up from the right, so that none covers another.
  const layout::StripRow row = layout::PlaceStripRow(client, mainPage.left(), shown);
  for (std::size_t i = 0; i < 4; ++i) {
    pgmButtons_[i]->setGeometry(row.layers[i]);
    pvwButtons_[i]->setGeometry(row.layers[i + 4]);
  }
  for (std::size_t i = 0; i < right.size(); ++i) right[i]->setGeometry(row.right[i]);
}

void OrvDlg::PlaceSubPages(bool afterMove) {
  // The keyer, test pattern and time/task pages hang below the window's
  // top-left corner; they are children here, so the corner is (0, 0) of the
  // frame translated into client coordinates.
  const QRect frame = frameGeometry();
  const QPoint clientOrigin = mapToGlobal(QPoint(0, 0));
  QRect r = layout::SubPageRect(frame, scale_, afterMove);
  r.translate(-clientOrigin);
  for (MBaseDialog* page : std::initializer_list<MBaseDialog*>{keyer_, testPattern_, task_}) {
    page->setGeometry(r);
  }
}

void OrvDlg::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (!initialised_) return;
  // Window managers normally honour the minimum size; where one does not,
  // the dragged edge is moved back to give exactly the minimum.
  const QRect now = geometry();
  if ((now.width() < layout::kDesignWidth || now.height() < layout::kDesignHeight) && !sizing_ &&
      lastFrame_.isValid()) {
    const bool left = now.left() != lastFrame_.left();
    const bool top = now.top() != lastFrame_.top();
    using E = layout::SizingEdge;
    const E edge = left ? (top ? E::TopLeft : E::BottomLeft) : (top ? E::TopRight : E::BottomRight);
    sizing_ = true;
    setGeometry(layout::ApplyMinimumSize(now, edge));
    sizing_ = false;
  }
  lastFrame_ = geometry();
  Relayout();
}

void OrvDlg::moveEvent(QMoveEvent* event) {
  QWidget::moveEvent(event);
  lastFrame_ = geometry();
  if (initialised_) PlaceSubPages(true);
}

// --- Painting -------------------------------------------------------------

void OrvDlg::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QRect client = rect();
  if (!background_.isNull()) {
    p.drawImage(client, background_);
  } else {
    p.fillRect(client, skin::kPageBack);
  }
  p.setPen(QPen(kSeparator, 2));
  const layout::SeparatorLines lines = layout::Separators(client);
  for (const QLine& l : lines.verticals) p.drawLine(l);
  for (const QLine& l : lines.horizontals) p.drawLine(l);
  {
    strip::StripSnapshot view;
    { view = strip::TakeSnapshot(*State(), currentLayer_); }
    for (int i = 0; i < strip::kSlots; ++i) view.remarks[i] = remarks_.Remark(i);
    inputStrip_.Paint(p, view);
  }
  if (!appImage_.isNull()) p.drawImage(QRect(0, 14, 76, 76), appImage_);
  PaintPresetNames(p);
}

}  // namespace orv
