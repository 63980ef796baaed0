// The main window's side of the link watch: the indicator, the stale-video
// cover, refused commands and the read-back after a reconnect.
#include "AppTexts.h"
#include "ChangesControl.h"
#include "CommandEncoder.h"
#include "ConfirmationTracker.h"
#include "DeviceState.h"
#include "LinkIndicator.h"
#include "LinkSupervisor.h"
#include "MMainDlg.h"
#include "MessageBox.h"
#include "OrvDlg.h"
#include "ProjectReview.h"
#include "ReadBack.h"
#include "UiTexts.h"
#include "WaitBox.h"

namespace orv {

namespace {

const QRect kIndicatorRect(84, 701, 620, 22);
constexpr uint8_t kAnyAddress = 0xFF;

}  // namespace

void OrvDlg::StartLinkWatch() {
  linkIndicator_ = new LinkIndicator(content_);
  linkIndicator_->setGeometry(kIndicatorRect);
  linkIndicator_->show();
  if (options_.library == nullptr) return;
  LinkSupervisor::Hooks hooks;
  hooks.changed = [this](const LinkStatus& status) { OnLinkStatus(status); };
  hooks.resync = [this](const LinkTarget& target) { ResyncLink(target); };
  hooks.refused = [this] { OnCommandRefused(); };
  link_ = std::make_unique<LinkSupervisor>(options_.library, std::move(hooks));
}

void OrvDlg::OnLinkStatus(const LinkStatus& status) {
  FollowLinkOffline(status);
  ForgetUndoOnAnotherProcessor(status.target);
  linkIndicator_->Show(status);
  if (confirmations_) {
    const bool serial = status.target.kind == LinkTarget::Kind::Serial;
    confirmations_->SetSerialBaud(serial ? status.target.baud : 0);
  }
  // A wait for an answer that cannot come (the read-back of a reconnect
  // that failed, a command sent just before the loss) ends now.
  if (status.Down()) waitBox_->Hide();
  if (status.Down() && review_) review_->WaitTimedOut();
  const bool lost = status.Reconnecting();
  if (lost == linkLostShown_) return;
  linkLostShown_ = lost;
  main_->ShowLinkLost(lost, AppTextOf(AppText::kNoLink));
}

// Undo sends old values; they belong to the processor they were taken from.
void OrvDlg::ForgetUndoOnAnotherProcessor(const LinkTarget& target) {
  if (target.kind == LinkTarget::Kind::None) return;
  const bool network = target.kind == LinkTarget::Kind::Network;
  const std::string processor =
      network ? target.ip + ":" + std::to_string(target.port) + (target.offline ? " offline" : "")
              : "serial " + target.serialName;
  if (!undoProcessor_.empty() && processor != undoProcessor_ && changes_) changes_->ForgetSteps();
  undoProcessor_ = processor;
}

void OrvDlg::ResyncLink(const LinkTarget& target) {
  CommLibrary* library = options_.library;
  const bool network = target.kind == LinkTarget::Kind::Network;
  if (library != nullptr) {
    if (network) {
      library->SetAddressList(1, &target.deviceAddress);
      library->SetTargetMachine(target.ip.c_str());
    } else {
      library->SetAddressList(1, &kAnyAddress);
    }
  }
  {
    auto s = State();
    s->NET_MODE = network ? 1 : 0;
    if (network) s->DEVICE_IP = target.ip;
  }
  SetDeviceAddress(target.deviceAddress);
  // The processor's state is the truth: everything is read back and every
  // page, the canvas and the preview follow it.
  StartFullReadBack();
}

void OrvDlg::OnCommandRefused() {
  ShowMessageBox(this, AppTextOf(AppText::kLinkRefused), QString::fromStdString(UiText(38)));
}

}  // namespace orv
