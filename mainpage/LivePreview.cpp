#include "LivePreview.h"

#include <QScreen>
#include <QWidget>

#include "CCell.h"
#include "DeviceState.h"
#include "Ini.h"
#include "MShowVideoDlg.h"
#include "MessageIds.h"
#include "Messages.h"
#include "VideoPreview.h"

namespace orv::mainpage {

namespace {

constexpr int kVideoWindowWidth = 820;
constexpr int kVideoWindowHeight = 626;

// The preview works on a snapshot: SDL rebuilds must not hold the record's
// lock against the reply thread.
DeviceState Snapshot() {
  return *State();
}

}  // namespace

LivePreview::LivePreview(QWidget* page)
    : page_(page),
      preview_(std::make_unique<preview::VideoPreview>(preview::VideoPreview::SurfaceForPlatform(),
                                                       DataFolder() + "arial.ttf")),
      window_(std::make_unique<preview::MShowVideoDlg>(page)) {
  window_->Create();
  window_->resize(kVideoWindowWidth, kVideoWindowHeight);
  window_->hide();
  // The views exist and draw only while the window is up: four software
  // renderers would otherwise convert every picture for a closed window.
  window_->SetShownHook(
      [this](bool shown) { preview_->AttachVideoWindow(shown ? window_.get() : nullptr); });
  // The notice fires at most once until the page has rebuilt the renderers.
  preview_->SetResetHandler([this] { SendMsg(page_, UM_PREVIEW_RESET); });
}

// The views leave the decoder tables before the contexts stop for good.
LivePreview::~LivePreview() {
  window_->SetShownHook({});
  preview_->AttachVideoWindow(nullptr);
  preview_->Switch(false);
  window_.reset();
  preview_.reset();
}

void LivePreview::StartContexts() {
  preview_->Switch(true);
}

void LivePreview::StopContexts() {
  preview_->Switch(false);
}

CPictureCtrl::CellVideoFactory LivePreview::CellVideoFactory() {
  return preview_->CellFactory();
}

void LivePreview::RegisterCell(CCell* cell) {
  if (cell != nullptr) preview_->RegisterCell(cell->ZKey());
}

void LivePreview::CropLayer(int layer) {
  preview_->CropLayer(layer, Snapshot());
}

void LivePreview::SetPreviewSize(int code) {
  preview_->SetPreviewSize(code, Snapshot());
}

void LivePreview::RecreateRenderers() {
  preview_->RecreatePreview(Snapshot());
}

void LivePreview::ToggleVideoWindow() {
  if (window_->isVisible()) {
    window_->ClosePage();
    return;
  }
  if (!windowPlaced_) {
    // First showing: centred over the main window, as a dialog would be.
    const QWidget* top = page_->window();
    const QRect over = top->isVisible() ? top->geometry()
                       : top->screen()  ? top->screen()->availableGeometry()
                                        : QRect(0, 0, kVideoWindowWidth, kVideoWindowHeight);
    window_->move(over.center() - window_->rect().center());
    windowPlaced_ = true;
  }
  window_->show();
  window_->raise();
  window_->activateWindow();
}

void LivePreview::FeedPacket(int channel, std::span<const uint8_t> bytes) {
  preview_->FeedPacket(channel, bytes);
}

}  // namespace orv::mainpage
