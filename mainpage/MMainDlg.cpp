#include "MMainDlg.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QWheelEvent>

#include "CPictureCtrl.h"
#include "CommandEncoder.h"
#include "DeviceState.h"
#include "LivePreview.h"
#include "MShowVideoDlg.h"
#include "MainPageCells.h"
#include "MessageIds.h"
#include "NoLinkOverlay.h"
#include "UiTexts.h"

namespace orv {

using mainpage::ReadPageRecord;

namespace {

// Sub-codes the page posts to the main window.
constexpr intptr_t kSelectOutputLayer = 0x5AC;  // with UM_LAYER_WINDOW
constexpr intptr_t kTopButtonsRequest = 0x5C5;  // with UM_PAGE_REQUEST
constexpr int kLogoFromMainPage = 3;            // SET_LOGO operation

}  // namespace

MMainDlg::MMainDlg(QWidget* parent) : MBaseDialog(kTemplateId, parent) {}

// Decoding stops before the cells (and their video) go; the canvas goes
// before the preview that made its cells' video.
MMainDlg::~MMainDlg() {
  if (preview_) preview_->StopContexts();
  cells_.reset();
  delete canvas_;
  canvas_ = nullptr;
  preview_.reset();
}

bool MMainDlg::OnInitDialog() {
  MBaseDialog::OnInitDialog();
  canvas_ = new CPictureCtrl(this);
  canvas_->setGeometry(0, 0, kCanvasSize, kCanvasSize);
  canvas_->SetContextMenuHook([this](const QPoint& at) { ShowContextMenu(at, canvas_); });
  cells_ = std::make_unique<mainpage::MainPageCells>(
      *canvas_, [this](int layer, bool added) { LayerPlaced(layer, added); });
  cells_->Create(ReadPageRecord());
  canvas_->show();
  if (!preview_) preview_ = std::make_unique<mainpage::LivePreview>(this);
  return true;
}

void MMainDlg::SetPreview(std::unique_ptr<MainPagePreview> preview) {
  if (preview_) preview_->StopContexts();
  preview_ = std::move(preview);
}

void MMainDlg::ToggleVideoWindow() {
  if (preview_) preview_->ToggleVideoWindow();
}

void MMainDlg::FeedVideoPacket(int channel, std::span<const uint8_t> bytes) {
  if (preview_) preview_->FeedPacket(channel, bytes);
}

QWidget* MMainDlg::MainWindow() {
  return NotifyWindow(this);
}

void MMainDlg::LayerPlaced(int layer, bool added) {
  if (!preview_) return;
  if (added) preview_->RegisterCell(cells_->Layer(layer));
  preview_->CropLayer(layer);
}

// --- Operations of the main window ---------------------------------------------

void MMainDlg::ShowLayerCell(int layer, bool show) {
  if (cells_) cells_->ShowLayerCell(layer, show);
}

void MMainDlg::RelabelLayer(int layer) {
  if (cells_) cells_->RelabelLayer(layer, ReadPageRecord());
}

void MMainDlg::PlaceLayer(int layer) {
  if (cells_) cells_->PlaceLayer(layer, ReadPageRecord());
}

void MMainDlg::UpdateLogoLayer(int w) {
  if (cells_) cells_->UpdateLogoLayer(w, ReadPageRecord());
}

void MMainDlg::LayoutLayers() {
  if (cells_) cells_->LayoutLayers(ReadPageRecord());
}

void MMainDlg::LayoutAfterReadBack() {
  if (!cells_) return;
  // The image brings the output resolution too: the areas take its size.
  const auto record = ReadPageRecord();
  cells_->OutputResolutionChanged(record, size());
  cells_->LayoutLayers(record);
  cells_->ShowLayersByRecord(record);
}

void MMainDlg::PlaceOutputAreas(int part) {
  if (cells_) cells_->PlaceOutputAreas(part, ReadPageRecord());
}

void MMainDlg::CheckPreviewFlag() {
  if (!canvas_) return;
  int flag = 0;
  { flag = State()->REPLY1_FLAG; }
  if ((flag != 0) != canvas_->VideoEnabled()) SendMsg(this, kPreviewSwitched, flag, 0);
}

void MMainDlg::ShowLinkLost(bool lost, const QString& text) {
  if (!canvas_) return;
  if (!noLink_) noLink_ = new NoLinkOverlay(this);
  // The video window carries its own cover while it exists.
  auto* live = dynamic_cast<mainpage::LivePreview*>(preview_.get());
  QWidget* videoWindow = live != nullptr ? live->VideoWindow() : nullptr;
  if (videoWindow != nullptr && !videoNoLink_) videoNoLink_ = new NoLinkOverlay(videoWindow);
  if (lost) {
    // No frozen picture: the decoders stop, the cells and the video window's
    // views lose their video.
    if (canvas_->VideoEnabled()) OnPreviewSwitched(false);
    for (NoLinkOverlay* cover : {noLink_.data(), videoNoLink_.data()}) {
      if (cover == nullptr) continue;
      cover->SetText(text);
      cover->setGeometry(cover->parentWidget()->rect());
      cover->show();
      cover->raise();
    }
    return;
  }
  noLink_->hide();
  if (videoNoLink_) videoNoLink_->hide();
  CheckPreviewFlag();
}

bool MMainDlg::LinkLostShown() const {
  return noLink_ != nullptr && !noLink_->isHidden();
}

void MMainDlg::LockOutputAreas(bool locked, bool applyLayers) {
  if (cells_) cells_->LockOutputAreas(locked, applyLayers, ReadPageRecord());
}

void MMainDlg::SetPreviewSize(int code) {
  if (preview_) preview_->SetPreviewSize(code);
}

void MMainDlg::OutputResolutionChanged() {
  if (cells_) cells_->OutputResolutionChanged(ReadPageRecord(), size());
}

void MMainDlg::LockLayerCells(bool locked) {
  layerCellsLocked_ = locked;
  if (cells_) cells_->LockLayerCells(locked);
}

void MMainDlg::BringLayerToFront(int layer) {
  CCell* cell = cells_ ? cells_->Layer(layer) : nullptr;
  if (cell == nullptr) return;
  canvas_->Select(cell);
  SendMsg(this, UM_CELL_ACTIVATED, reinterpret_cast<intptr_t>(cell), 0);
  canvas_->update();
  SetTimer(kZOrderTimer, kTimerMs);
}

// --- Messages ------------------------------------------------------------------

intptr_t MMainDlg::OnMessage(const Message& m) {
  switch (m.id) {
    case UM_PVW_MODE_CHANGED:
      ArrangeProgramPreview();
      return 1;
    case UM_OUTPUT_CHANGED:
      OutputResolutionChanged();
      return 1;
    case UM_PREVIEW_RESET:
      if (preview_) preview_->RecreateRenderers();
      return 1;
    case kPreviewSwitched:
      OnPreviewSwitched(m.wParam != 0);
      return 1;
    case UM_CELL_MOVED:
      OnLayerMoved(m.lParam != 0);
      return 1;
    case UM_CELL_ACTIVATED:
      OnLayerActivated(m.wParam);
      return 1;
    case UM_SHOW_TOP_BUTTONS:
      PostMsg(MainWindow(), UM_PAGE_REQUEST, kTopButtonsRequest, 1);
      SetTimer(kTopButtonsTimer, kTimerMs);
      return 1;
    default:
      return MBaseDialog::OnMessage(m);
  }
}

void MMainDlg::ArrangeProgramPreview() {
  if (cells_) cells_->ArrangeProgramPreview(ReadPageRecord(), size());
}

void MMainDlg::OnLayerMoved(bool wasArea) {
  if (!cells_) return;
  const auto record = ReadPageRecord();
  if (wasArea) {
    cells_->LayoutLayers(record);
    return;
  }
  CCell* cell = cells_->Layer(currentLayer_);
  if (cell == nullptr) return;
  const auto window =
      mainpage::LayerWindowFromDevice(cell->DeviceRect(), cell->Origin().x, cell->Origin().y);
  {
    auto s = State();
    ChannelData& c = s->block.CHNLDATA[currentLayer_];
    c.HPOS = window.hpos;
    c.VPOS = window.vpos;
    c.HACT = window.hact;
    c.VACT = window.vact;
  }
  SendCommand(SET_LAYER_WINDOW, currentLayer_);
  PostMsg(MainWindow(), UM_LAYER_WINDOW, kSelectOutputLayer, currentLayer_);
  if (preview_) preview_->CropLayer(currentLayer_);
  SetTimer(kZOrderTimer, kTimerMs);
}

void MMainDlg::OnLayerActivated(intptr_t cellValue) {
  if (!cells_) return;
  // The value is only compared with the page's own cells, never followed.
  const int layer = cells_->LayerIndexOf(reinterpret_cast<const CCell*>(cellValue));
  if (layer >= 0) currentLayer_ = layer;
  if (CCell* cell = cells_->Layer(currentLayer_)) canvas_->BringToFront(cell);
  bool logoPending = false;
  {
    auto s = State();
    s->ACTIVE_LAYER = static_cast<uint8_t>(currentLayer_);
    logoPending = s->MAIN_LOGO_FLAG != 0;
  }
  PostMsg(MainWindow(), UM_LAYER_SELECTED, currentLayer_, 0);
  SetTimer(kZOrderTimer, kTimerMs);
  PostMsg(MainWindow(), UM_LAYER_WINDOW, kSelectOutputLayer, currentLayer_);
  if (logoPending) {
    SendCommand(SET_LOGO, kLogoFromMainPage);
    State()->MAIN_LOGO_FLAG = 0;
  }
}

void MMainDlg::OnPreviewSwitched(bool on) {
  if (!cells_) return;
  // Seam of the live preview: the decoder contexts start or stop there, and
  // the factory it gives makes each new layer cell's video.
  if (preview_) {
    if (on) {
      preview_->StartContexts();
    } else {
      preview_->StopContexts();
    }
  }
  canvas_->SetVideoEnabled(on);
  canvas_->SetVideoFactory(on && preview_ ? preview_->CellVideoFactory()
                                          : CPictureCtrl::CellVideoFactory{});
  cells_->RebuildLayers(ReadPageRecord());
  SendMsg(this, UM_PVW_MODE_CHANGED);
}

void MMainDlg::OnTimer(uint32_t id) {
  if (id == kZOrderTimer) {
    KillTimer(kZOrderTimer);
    if (!canvas_) return;
    canvas_->SortByZKey();
    canvas_->ApplyZOrder();
    canvas_->update();
  } else if (id == kTopButtonsTimer) {
    KillTimer(kTopButtonsTimer);
    PostMsg(MainWindow(), UM_PAGE_REQUEST, kTopButtonsRequest, 0);
  } else {
    MBaseDialog::OnTimer(id);
  }
}

// --- Window events ---------------------------------------------------------------

void MMainDlg::paintEvent(QPaintEvent*) {}

void MMainDlg::resizeEvent(QResizeEvent* event) {
  MBaseDialog::resizeEvent(event);
  if (noLink_) noLink_->setGeometry(rect());
  if (canvas_) SendMsg(this, UM_PVW_MODE_CHANGED);
}

void MMainDlg::wheelEvent(QWheelEvent* event) {
  int mode = 0;
  { mode = State()->block.PVWMODEINFO.PVWMODE; }
  // Exactly Ctrl: no other key and no mouse button.
  const bool onlyCtrl =
      event->modifiers() == Qt::ControlModifier && event->buttons() == Qt::NoButton;
  const int delta = event->angleDelta().y();
  if (mode != 0 || !onlyCtrl || delta == 0 || !cells_) {
    event->ignore();
    return;
  }
  cells_->ZoomStep(delta, ReadPageRecord());
  event->accept();
}

QString MMainDlg::TopSettingText() {
  const std::string text = GetRawText("IDS_TOPMEN_TOPSET");
  return text.empty() ? QStringLiteral("TopSetting") : QString::fromStdString(text);
}

void MMainDlg::contextMenuEvent(QContextMenuEvent* event) {
  ShowContextMenu(event->globalPos(), this);
  event->accept();
}

void MMainDlg::ShowContextMenu(const QPoint& globalPos, QWidget* clicked) {
  QMenu menu(this);
  QAction* topSetting = menu.addAction(TopSettingText());
  if (menu.exec(globalPos) != topSetting) return;
  // The canvas turns the item into UM_SHOW_TOP_BUTTONS; the page itself has no command for it.
  if (clicked == canvas_ && canvas_) canvas_->MenuCommand(CPictureCtrl::kTopSettingCommand);
}

}  // namespace orv
