// Offline mode: the main window's side of the built-in virtual processor. The
// processor is started for this panel alone and connected through the one
// connection path, so every page, the canvas, TAKE, presets and the live
// preview work against it as against a processor on the network.
#include <filesystem>
#include <optional>

#include "AppTexts.h"
#include "ConnectLink.h"
#include "DeviceState.h"
#include "LinkSupervisor.h"
#include "MConnectDlg.h"
#include "MessageBox.h"
#include "OfflineProcessor.h"
#include "OrvDlg.h"
#include "PageTable.h"
#include "UiTexts.h"

namespace orv {

namespace {

// A project file EnsureProjectPath has only prepared holds its byte-order
// mark and nothing else: no configuration was ever saved there.
constexpr std::uintmax_t kPreparedProjectBytes = 2;

bool HoldsConfiguration(const std::string& projectPath) {
  std::error_code ec;
  const std::uintmax_t bytes = std::filesystem::file_size(projectPath, ec);
  return !ec && bytes > kPreparedProjectBytes;
}

}  // namespace

bool OrvDlg::IsOffline() const {
  return offline_ != nullptr && offline_->Running();
}

bool OrvDlg::WorkOffline(const std::string& projectFile) {
  // A file that is no whole project is refused with its message and the
  // current configuration goes offline instead, as an Open keeps it.
  if (!projectFile.empty()) OnProjectFile(kProjectOpen, QString::fromStdString(projectFile));
  // The record holds the show once a project was saved or opened, or a
  // processor was read back; before that the processor keeps its factory image.
  const bool readBack = link_ != nullptr && link_->Status().phase != LinkPhase::Idle;
  std::optional<ParamBlock> image;
  if (readBack || HoldsConfiguration(projectPath_)) image = State()->block;

  LeaveConnectedProcessor();
  if (!offline_) offline_ = std::make_unique<OfflineProcessor>();
  std::string error;
  if (!offline_->Start(image, &error) || !ConnectOffline(this, offline_->Ip(), offline_->Port())) {
    if (error.empty()) error = "no link to " + offline_->Ip();
    StopOffline();
    ShowMessageBox(this, AppTextOf(AppText::kOfflineCannotStart).arg(QString::fromStdString(error)),
                   QString::fromStdString(UiText(38)));
    return false;
  }
  ShowTitle();
  return true;
}

void OrvDlg::LeaveConnectedProcessor() {
  // Offline means no wall: the link to a processor on the network or the
  // serial line is closed first, so no edit can reach it by mistake.
  if (link_ == nullptr || options_.library == nullptr) return;
  const LinkTarget target = link_->Status().target;
  if (target.offline) return;
  if (target.kind == LinkTarget::Kind::Network) {
    link_->Watch().OperatorDisconnect();
    options_.library->CloseNetLink(target.ip.c_str());
  } else if (target.kind == LinkTarget::Kind::Serial) {
    connect_->SerialDisconnect();
  }
}

void OrvDlg::FollowLinkOffline(const LinkStatus& status) {
  if (!IsOffline()) return;
  const LinkTarget& target = status.target;
  const bool ours =
      target.offline && target.ip == offline_->Ip() && target.port == offline_->Port();
  // Connected elsewhere, or disconnected by the operator: the session ends.
  if (!ours || status.phase == LinkPhase::Closed) StopOffline();
}

void OrvDlg::StopOffline() {
  if (offline_ == nullptr) return;
  const bool wasRunning = offline_->Running();
  offline_->Stop();
  if (wasRunning) ShowTitle();
}

}  // namespace orv
