#include "MSearchMachineDlg.h"

#include <algorithm>

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScrollBar>
#include <QWheelEvent>

#include "ArtIds.h"
#include "CDropList.h"
#include "CGdipButton.h"
#include "CMyEdit.h"
#include "CSxGroupBox.h"
#include "CommandEncoder.h"
#include "ConnectLink.h"
#include "ConnectTexts.h"
#include "DeviceState.h"
#include "DialogTexts.h"
#include "Ipv4.h"
#include "LocalAddresses.h"
#include "MessageBox.h"
#include "MessageIds.h"
#include "ReadBack.h"
#include "ReplySink.h"
#include "Skin.h"

namespace orv {

namespace {

// Sub-codes of UM_PAGE_REQUEST this window sends.
constexpr intptr_t kReqOnline = 0x5C0;
constexpr intptr_t kReqConnectionState = 0x5BA;
constexpr intptr_t kReqSearchWindow = 0x5BB;
constexpr intptr_t kReqDestinationIp = 0x5C1;
constexpr intptr_t kSearchWindowHide = 3;

constexpr char kRenameStartText[] = "My Q10";

struct ButtonSpec {
  int id;
  const char* caption;
  void (MSearchMachineDlg::*action)();
};

const ButtonSpec kButtons[] = {
    {MSearchMachineDlg::kSearchButton, "SEARCH", &MSearchMachineDlg::Search},
    {MSearchMachineDlg::kConnectButton, "Connect", &MSearchMachineDlg::ConnectSelected},
    {MSearchMachineDlg::kRefreshButton, "\u21BB", &MSearchMachineDlg::RefreshLocalAddresses},
};

// Four tiles a row and three rows.
const QSize kWindowSize(860, 360);
constexpr int kWheelStep = 30;

}  // namespace

MSearchMachineDlg::MSearchMachineDlg(QWidget* parent, LocalAddressSource source)
    : MBaseDialog(kTemplateId, parent, false), source_(std::move(source)) {}

bool MSearchMachineDlg::OnInitDialog() {
  MBaseDialog::OnInitDialog();
  resize(kWindowSize);
  SetTitleText(PageText(kTextSearchMachines));
  BuildControls();
  LayoutControls();
  CreateTitleButtons();
  ApplyControlFont();
  RefreshLocalAddresses();
  return true;
}

void MSearchMachineDlg::BuildControls() {
  localGroup_ = new CSxGroupBox(PageText(kTextLocalIpAddress), this, kLocalGroup);
  localGroup_->SetCaptionColor(skin::kOrange);
  localGroup_->SetCaptionFont(skin::ControlFont());
  localGroup_->SetColors(QColor(90, 90, 90), QColor(30, 30, 30), QColor(60, 60, 60),
                         QColor(30, 30, 30));

  localList_ = new CDropButton;
  localList_->Create(QString(), this, kLocalList, skin::kPageBack, skin::kPageBack, skin::kText,
                     nullptr, QColor(255, 255, 255), QRect());
  localList_->SetListColor(skin::kListFill);

  for (const ButtonSpec& b : kButtons) {
    auto* button = new CGdipButton(this, b.id);
    button->LoadImage(art::kFaceButton);
    button->SetTextColor(skin::kText);
    button->setText(QString::fromUtf8(b.caption));
    connect(button, &QAbstractButton::clicked, this,
            [this, action = b.action] { (this->*action)(); });
  }

  scroll_ = new QScrollBar(Qt::Vertical, this);
  scroll_->setSingleStep(kWheelStep);
  scroll_->hide();
  connect(scroll_, &QScrollBar::valueChanged, this, [this] {
    if (renaming_ >= 0) CommitRename();
    update();
  });

  renameEdit_ = new CMyEdit(this, kRenameEdit);
  renameEdit_->setMaxLength(kRenameLimit);
  renameEdit_->setText(QString::fromLatin1(kRenameStartText));
  renameEdit_->hide();
}

void MSearchMachineDlg::LayoutControls() {
  layout_ = SearchWindowLayout::For(size());
  if (localGroup_ == nullptr) return;
  localGroup_->setGeometry(layout_.group);
  localList_->setGeometry(layout_.list);
  Control(kRefreshButton)->setGeometry(layout_.refresh);
  Control(kSearchButton)->setGeometry(layout_.search);
  Control(kConnectButton)->setGeometry(layout_.connect);
  scroll_->setGeometry(layout_.scrollBar);
  if (renaming_ >= 0) CommitRename();
  machines_.Layout(layout_.tilesPerRow, layout_.tileOrigin);
  UpdateScrollRange();
  update();
}

void MSearchMachineDlg::UpdateScrollRange() {
  const int contentBottom = machines_.Bottom() + MachineTilePainter::kBorder + 8;
  const int hidden = std::max(contentBottom - height(), 0);
  scroll_->setRange(0, hidden);
  scroll_->setPageStep(std::max(layout_.tileArea.height(), 1));
  scroll_->setVisible(hidden > 0);
}

int MSearchMachineDlg::ScrollOffset() const {
  return scroll_ != nullptr ? scroll_->value() : 0;
}

int MSearchMachineDlg::TileAtPoint(const QPoint& at) const {
  if (!layout_.tileArea.contains(at)) return -1;
  return machines_.TileAt(at + QPoint(0, ScrollOffset()));
}

QRect MSearchMachineDlg::OnWindow(const QRect& content) const {
  return content.translated(0, -ScrollOffset());
}

void MSearchMachineDlg::ReloadTexts() {
  ApplyDialogTexts(this, TemplateId());
  SetTitleText(PageText(kTextSearchMachines));
  if (localGroup_) localGroup_->SetText(PageText(kTextLocalIpAddress));
  update();
}

void MSearchMachineDlg::ClosePage() {
  ShowPage(false);
  PostRequest(kReqSearchWindow, kSearchWindowHide);
}

void MSearchMachineDlg::SetLivenessPeriodMs(int ms) {
  livenessMs_ = ms > 0 ? ms : kDefaultLivenessMs;
}

// --- Local addresses ------------------------------------------------------------

void MSearchMachineDlg::RefreshLocalAddresses() {
  const std::vector<std::string> entries =
      LocalAddressEntries(source_ ? source_() : SystemIpv4Addresses());
  localList_->ResetContent();
  for (const std::string& entry : entries) {
    localList_->List()->AddString(QString::fromStdString(entry));
  }
  localList_->SetCurSel(0);
  if (CommLibrary* library = GetCommLibrary()) library->SelectLocalInterface(entries[0].c_str());
}

void MSearchMachineDlg::ChooseLocalAddress(int index) {
  CDropList* list = localList_->List();
  if (index < 0 || index >= list->GetCount()) return;
  const std::string text = list->GetText(index).toStdString();
  if (CommLibrary* library = GetCommLibrary()) library->SelectLocalInterface(text.c_str());
  EmptyMachineList();
}

// --- Search --------------------------------------------------------------------

void MSearchMachineDlg::EmptyMachineList() {
  // Timers of machines that are gone would fire for whoever takes their
  // number next.
  for (const Machine& m : machines_.Machines()) KillTimer(static_cast<uint32_t>(m.timerId));
  KillTimer(kSettleTimer);
  CancelRename();
  machines_.Clear();
  UpdateScrollRange();
  readBackPending_ = false;
  autoConnectPending_ = false;
  update();
}

void MSearchMachineDlg::Search() {
  EmptyMachineList();
  StartDeviceSearch();
  PostMsg(NotifyWindow(this), UM_WAIT, 1, 0, PageText(kWaitTextSearching));
  SetTimer(kSearchTimeoutTimer, kSearchTimeoutMs);
}

void MSearchMachineDlg::SearchTimedOut() {
  KillTimer(kSearchTimeoutTimer);
  // The search ends when its answer time is over: its own box goes, whatever
  // answered meanwhile (a machine that did not answer is simply not listed).
  // A wait box with another text (a read-back started meanwhile) stays.
  QWidget* mainWindow = NotifyWindow(this);
  PostMsg(mainWindow, UM_WAIT, 0, 0, PageText(kWaitTextSearching));
  if (!machines_.Empty()) return;
  // Queued behind the hide, so the main window is enabled again when the box shows.
  QPointer<MSearchMachineDlg> self(this);
  RunOnGuiThread([self] {
    if (self) ShowMessageBox(self, NoMachineFoundText(), PageText(kTextTips));
  });
}

void MSearchMachineDlg::OnMachineReport(const MachineReport& report) {
  switch (report.type) {
    case kReportIdentity:
      MachineIdentity(report.ip, report.mac);
      break;
    case kReportHello:
      MachineSeen(1, report.replyAddress, report.replyKind);
      break;
    case kReportAnswer:
      MachineSeen(0, report.replyAddress, report.replyKind);
      break;
    default:
      break;
  }
}

void MSearchMachineDlg::MachineIdentity(const std::string& ip, const MacAddress& mac) {
  const int index = machines_.Add(ip, mac, StoredMachineName(mac));
  if (index < 0) return;
  // The first answer starts the settle; a machine answering after the settle
  // ran starts it again, so that it gets its link and its address is served.
  if (!IsTimerActive(kSettleTimer)) SetTimer(kSettleTimer, kSettleMs);
  UpdateScrollRange();
  RepaintTile(index);
}

void MSearchMachineDlg::Settle() {
  KillTimer(kSettleTimer);
  CommLibrary* library = GetCommLibrary();
  if (library != nullptr && !machines_.Empty()) {
    const std::vector<uint8_t> addresses = machines_.Addresses();
    library->SetAddressList(static_cast<int>(addresses.size()), addresses.data());
    for (const Machine& m : machines_.Machines()) {
      // The machine's own text, never the command send buffer the reply
      // thread may be filling at the same time.
      if (ParseIpv4(m.ip)) library->OpenNetLink(m.ip.c_str(), kDevicePort);
    }
  }
  bool changed = false;
  {
    auto s = State();
    changed = s->NET_MODE != 1;
    s->NET_MODE = 1;
  }
  if (changed) PostRequest(kReqConnectionState, 0);

  if (autoConnectPending_) {
    autoConnectPending_ = false;
    if (machines_.Size() == 1 && machines_.Connected() < 0) {
      MakeConnected(0);
      machines_.SelectOnly(0);
      if (machines_.At(0).online) {
        PostRequest(kReqOnline, 1);
        ReadBack(0);
      }
    }
  }
  if (readBackPending_) {
    readBackPending_ = false;
    const int connected = machines_.Connected();
    if (connected >= 0 && machines_.At(connected).online) ReadBack(connected);
  }
}

// --- Liveness ------------------------------------------------------------------

void MSearchMachineDlg::MachineSeen(int first, uint8_t replyAddress, int32_t replyKind) {
  // A single listed machine announcing itself is connected; a reply from
  // any other address changes nothing in the list. Within the settle second
  // other machines may still answer the same search (their answers arrive
  // milliseconds apart), so the choice waits for the settle.
  if (first == 1 && machines_.Size() == 1 && !machines_.At(0).connected &&
      MachineAddress(machines_.At(0).ip) == replyAddress) {
    if (IsTimerActive(kSettleTimer)) {
      autoConnectPending_ = true;
    } else {
      MakeConnected(0);
      machines_.SelectOnly(0);
    }
  }
  const uint8_t answers = replyKind != 0 ? 1 : 0;
  for (int i = 0; i < machines_.Size(); ++i) {
    Machine& m = machines_.At(i);
    if (MachineAddress(m.ip) != replyAddress) continue;
    m.misses = 0;
    if (answers != m.online) {
      m.online = answers;
      m.online2 = answers;
      RepaintTile(i);
      if (m.connected) {
        PostRequest(kReqOnline, answers);
        if (first == 1 && answers == 1) ReadBack(i);
      }
    }
    SetTimer(static_cast<uint32_t>(m.timerId), livenessMs_);
  }
}

void MSearchMachineDlg::LivenessTimeout(int index) {
  Machine& m = machines_.At(index);
  if (++m.misses < kMissesUntilOffline) return;
  m.online = 0;
  if (m.online2 || firstTimeout_) {
    m.online2 = 0;
    firstTimeout_ = false;
    RepaintTile(index);
    if (m.connected && State()->NET_MODE != 0) PostRequest(kReqOnline, 0);
  }
  m.misses = 0;
}

// --- Connect -------------------------------------------------------------------

void MSearchMachineDlg::MakeConnected(int index) {
  machines_.ConnectOnly(index);
  SetDeviceAddress(MachineAddress(machines_.At(index).ip));
  update();
}

void MSearchMachineDlg::ReadBack(int index) {
  // Before the settle the machine has no link yet: GET_ALL would go nowhere
  // and leave the wait box up.
  if (IsTimerActive(kSettleTimer)) {
    readBackPending_ = true;
    return;
  }
  const Machine& m = machines_.At(index);
  if (CommLibrary* library = GetCommLibrary()) library->SetTargetMachine(m.ip.c_str());
  WatchLink(NetworkTarget(m.ip, m.name));
  RememberNetworkAddress(m.ip);
  // The wait first: the answer that hides it may arrive before this returns.
  PostMsg(NotifyWindow(this), UM_WAIT, 1, 0, PageText(kWaitTextGettingData));
  SendCommand(GET_ALL);
  PostRequest(kReqOnline, m.online);
  PostRequest(kReqDestinationIp, 0, QString::fromStdString(m.ip));
}

void MSearchMachineDlg::ConnectSelected() {
  const int selected = machines_.Selected();
  if (selected >= 0) ConnectMachine(selected);
}

void MSearchMachineDlg::ConnectMachine(int index) {
  if (!machines_.Valid(index)) return;
  if (!machines_.At(index).online) {
    MakeConnected(index);
    const std::string ip = machines_.At(index).ip;
    CommLibrary* library = GetCommLibrary();
    if (library != nullptr && ParseIpv4(ip)) {
      library->OpenNetLink(ip.c_str(), kDevicePort);
      // Watched like any link: when the machine answers again it is read back.
      WatchLink(NetworkTarget(ip, machines_.At(index).name));
    }
    return;
  }
  if (!machines_.At(index).connected) {
    const std::string ip = machines_.At(index).ip;
    if (ShowMessageBox(this, PageText(kTextSelectMachine), PageText(kTextTips),
                       MsgButtons::OkCancel) != kIdOk) {
      return;
    }
    // The list may have changed while the question was open.
    index = machines_.FindIp(ip);
    if (index < 0) return;
    MakeConnected(index);
  }
  ReadBack(index);
}

// --- Rename --------------------------------------------------------------------

void MSearchMachineDlg::OpenRename(int index) {
  if (!machines_.Valid(index)) return;
  renaming_ = index;
  const Machine& m = machines_.At(index);
  renameEdit_->setText(QString::fromStdString(m.name).left(kRenameLimit));
  renameEdit_->setGeometry(OnWindow(MachineTilePainter::NameLineRect(m.tile)));
  renameEdit_->show();
  renameEdit_->raise();
  renameEdit_->setFocus();
  renameEdit_->selectAll();
}

void MSearchMachineDlg::CommitRename() {
  const int index = renaming_;
  renaming_ = -1;
  if (renameEdit_->isHidden() || !machines_.Valid(index)) {
    renameEdit_->hide();
    return;
  }
  renameEdit_->hide();
  Machine& m = machines_.At(index);
  m.name = renameEdit_->text().toStdString();
  StoreMachineName(m.mac, m.name);
  RepaintTile(index);
}

void MSearchMachineDlg::CancelRename() {
  renaming_ = -1;
  if (renameEdit_) renameEdit_->hide();
}

// --- Window events -------------------------------------------------------------

void MSearchMachineDlg::OnTimer(uint32_t id) {
  if (id == kSettleTimer) {
    Settle();
  } else if (id == kSearchTimeoutTimer) {
    SearchTimedOut();
  } else if (const int index = machines_.FindTimer(id); index >= 0) {
    LivenessTimeout(index);
  } else {
    KillTimer(id);
  }
}

intptr_t MSearchMachineDlg::OnMessage(const Message& message) {
  if (message.id == UM_LIST_SELECT && message.wParam == kLocalList) {
    ChooseLocalAddress(static_cast<int>(message.lParam));
  }
  return 0;
}

bool MSearchMachineDlg::eventFilter(QObject* watched, QEvent* event) {
  // The rename edit's keys and focus loss are handled as they happen: the
  // edit's posted notification of an earlier session could otherwise arrive
  // after the next rename opened and commit that one.
  if (watched == renameEdit_ && renaming_ >= 0) {
    if (event->type() == QEvent::KeyPress) {
      const int key = static_cast<QKeyEvent*>(event)->key();
      if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        CommitRename();
        return true;
      }
      if (key == Qt::Key_Escape) {
        CancelRename();
        return true;
      }
    } else if (event->type() == QEvent::FocusOut) {
      CommitRename();
    }
  }
  return MBaseDialog::eventFilter(watched, event);
}

void MSearchMachineDlg::mousePressEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  if (renaming_ >= 0) CommitRename();
  const int index = TileAtPoint(at);
  if (index < 0) {
    MBaseDialog::mousePressEvent(event);
    return;
  }
  if (OnWindow(MachineTilePainter::RenameIconRect(machines_.At(index).tile)).contains(at)) {
    OpenRename(index);
  } else {
    machines_.SelectOnly(index);
    update();
  }
  event->accept();
}

void MSearchMachineDlg::mouseDoubleClickEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  const int index = TileAtPoint(at);
  if (index < 0 ||
      OnWindow(MachineTilePainter::RenameIconRect(machines_.At(index).tile)).contains(at)) {
    MBaseDialog::mouseDoubleClickEvent(event);
    return;
  }
  event->accept();
  if (!machines_.At(index).online) {
    ShowMessageBox(this, PageText(kTextMachineOffline), PageText(kTextTips));
    return;
  }
  ConnectMachine(index);
}

void MSearchMachineDlg::wheelEvent(QWheelEvent* event) {
  if (scroll_->isVisible()) {
    QCoreApplication::sendEvent(scroll_, event);
    return;
  }
  MBaseDialog::wheelEvent(event);
}

void MSearchMachineDlg::resizeEvent(QResizeEvent* event) {
  MBaseDialog::resizeEvent(event);
  if (Created()) LayoutControls();
}

void MSearchMachineDlg::PaintPage(QPainter& p) {
  p.save();
  p.setClipRect(layout_.tileArea);
  p.translate(0, -ScrollOffset());
  for (const Machine& m : machines_.Machines()) painter_.Paint(p, m);
  p.restore();
}

void MSearchMachineDlg::RepaintTile(int index) {
  if (!machines_.Valid(index)) return;
  const int border = MachineTilePainter::kBorder;
  update(OnWindow(machines_.At(index).tile.adjusted(-border, -border, border, border)));
}

void MSearchMachineDlg::PostRequest(intptr_t subCode, intptr_t argument, QVariant payload) {
  PostMsg(NotifyWindow(this), UM_PAGE_REQUEST, subCode, argument, std::move(payload));
}

}  // namespace orv
