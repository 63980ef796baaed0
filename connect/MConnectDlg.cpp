#include "MConnectDlg.h"

#include <string>

#include <QCheckBox>
#include <QLabel>

#include "ArtIds.h"
#include "CDropList.h"
#include "CGdipButton.h"
#include "CListCtrlCl.h"
#include "CMyEdit.h"
#include "CSxGroupBox.h"
#include "ComSettings.h"
#include "CommandEncoder.h"
#include "ConnectLink.h"
#include "ConnectTexts.h"
#include "ControlId.h"
#include "DeviceState.h"
#include "DialogTexts.h"
#include "Ipv4.h"
#include "LocalAddresses.h"
#include "MessageBox.h"
#include "MessageIds.h"
#include "PageWidgets.h"
#include "ReplySink.h"
#include "Skin.h"
#include "oRealEdit.h"

namespace orv {

namespace {

// Sub-codes of UM_PAGE_REQUEST this page sends.
constexpr intptr_t kReqOnline = 0x5C0;
constexpr intptr_t kReqConnectionState = 0x5BA;
constexpr intptr_t kReqSearchWindow = 0x5BB;
constexpr intptr_t kReqWorkOffline = 0x5C6;
constexpr intptr_t kSearchWindowToggle = 0;
constexpr intptr_t kSearchWindowHide = 3;

constexpr uint8_t kAnyAddress = 0xFF;
constexpr char kTimeoutValue[] = "1";
// A private address whose last number is the start device address.
constexpr char kDefaultDestination[] = "192.168.1.110";

struct LabelSpec {
  int id;
  const char* caption;
  QRect where;
};

constexpr LabelSpec kLabels[] = {
    {MConnectDlg::kIpLabel, "Destination IP :", {24, 68, 120, 22}},
    {MConnectDlg::kComLabel, "Com", {24, 230, 120, 22}},
    {MConnectDlg::kBaudLabel, "Baud Rate", {24, 264, 120, 22}},
};

struct ButtonSpec {
  int id;
  const char* caption;
  QRect where;
  void (MConnectDlg::*action)();
};

constexpr ButtonSpec kButtons[] = {
    {MConnectDlg::kNetDisconnect,
     "DisConnect",
     {150, 102, 140, 28},
     &MConnectDlg::NetworkDisconnect},
    {MConnectDlg::kSearchButton,
     "Search Machines >>>",
     {24, 140, 266, 28},
     &MConnectDlg::SearchMachines},
    {MConnectDlg::kSerialConnect, "Connect", {24, 304, 120, 28}, &MConnectDlg::SerialConnect},
    {MConnectDlg::kSerialDisconnect,
     "DisConnect",
     {170, 304, 120, 28},
     &MConnectDlg::SerialDisconnect},
    // The network "Connect": connects the typed address.
    {MConnectDlg::kNetConnect, "Connect", {24, 102, 120, 28}, &MConnectDlg::NetworkConnect},
    // Below both groups: no processor at all, the panel's own.
    {MConnectDlg::kWorkOffline, "Work Offline", {10, 358, 300, 30}, &MConnectDlg::WorkOffline},
};

const QRect kNetworkGroupRect(10, 40, 300, 144);
const QRect kComGroupRect(10, 200, 300, 148);
const QRect kIpEditRect(150, 68, 140, 22);
const QRect kComListRect(150, 230, 140, 22);
const QRect kBaudEditRect(150, 264, 140, 22);

// The hidden part of the template, below the visible groups.
const QRect kLocalIpLabelRect(24, 370, 90, 22);
const QRect kLocalIpListRect(120, 370, 120, 22);
const QRect kRefreshRect(246, 370, 60, 22);
const QRect kMachineListRect(10, 400, 300, 90);
const QRect kSelectAllRect(10, 494, 200, 22);

struct ColumnSpec {
  const char* caption;
  QChar alignment;
  int width;
};
const ColumnSpec kMachineColumns[] = {{"NO.", QLatin1Char('1'), 40},
                                      {"Ip Address", QLatin1Char('0'), 150},
                                      {"Status", QLatin1Char('1'), 90}};

}  // namespace

MConnectDlg::MConnectDlg(QWidget* parent, PortSource ports)
    : MBaseDialog(kTemplateId, parent, true), ports_(std::move(ports)) {}

bool MConnectDlg::OnInitDialog() {
  MBaseDialog::OnInitDialog();
  resize(320, 526);
  SetTitleText(PageText(kTextConnectionSetting));
  BuildControls();
  BuildHiddenControls();
  CreateTitleButtons();
  ApplyControlFont();
  FillComList(Refill::Opening);
  UpdateSearchButton();
  return true;
}

void MConnectDlg::BuildControls() {
  networkGroup_ =
      MakePageGroup(this, kNetworkGroup, PageText(kTextNetworkConnection), kNetworkGroupRect);
  comGroup_ = MakePageGroup(this, kComGroup, PageText(kTextComConnection), kComGroupRect);
  for (const LabelSpec& l : kLabels) {
    MakePageLabel(this, l.id, QString::fromLatin1(l.caption), l.where);
  }
  for (const ButtonSpec& b : kButtons) {
    CGdipButton* button = MakePageButton(this, b.id, QString::fromLatin1(b.caption), b.where);
    connect(button, &QAbstractButton::clicked, this,
            [this, action = b.action] { (this->*action)(); });
    if (b.id == kSearchButton) searchButton_ = button;
  }

  ipEdit_ = new CMyEdit(this, kIpEdit);
  ipEdit_->setGeometry(kIpEditRect);
  ipEdit_->setMaxLength(kIpTextLimit);
  const std::string last = LastNetworkAddress();
  ipEdit_->setText(QString::fromStdString(last.empty() ? std::string(kDefaultDestination) : last));

  comList_ = MakePageDropList(this, kComList, kComListRect);

  baudEdit_ = new oRealEdit(this, kBaudEdit);
  baudEdit_->setGeometry(kBaudEditRect);
  baudEdit_->Setup(kDefaultBaud, kMinimumBaud, true, kDefaultBaud, QStringLiteral("%d"));
}

void MConnectDlg::BuildHiddenControls() {
  MakePageLabel(this, kLocalIpLabel, QStringLiteral("Local IP :"), kLocalIpLabelRect)->hide();
  CDropButton* localIps = MakePageDropList(this, kLocalIpList, kLocalIpListRect);
  localIps->List()->AddString(QString::fromLatin1(kNoEntryText));
  localIps->SetCurSel(0);
  localIps->hide();
  MakePageButton(this, kRefreshButton, QStringLiteral("Refresh"), kRefreshRect)->hide();

  auto* machines = new CListCtrlCl(this, kMachineList);
  machines->setGeometry(kMachineListRect);
  int column = 0;
  for (const ColumnSpec& c : kMachineColumns) {
    machines->InsertColumn(column++, QString::fromLatin1(c.caption), c.alignment, c.width);
  }
  machines->hide();

  auto* selectAll = new QCheckBox(QStringLiteral("Select All Machine"), this);
  SetControlId(selectAll, kSelectAll);
  selectAll->setGeometry(kSelectAllRect);
  selectAll->hide();
}

void MConnectDlg::ShowPage(bool show) {
  MBaseDialog::ShowPage(show);
  if (show) return;
  PostRequest(kReqSearchWindow, kSearchWindowHide);
  searchShown_ = false;
  UpdateSearchButton();
}

void MConnectDlg::ReloadTexts() {
  ApplyDialogTexts(this, TemplateId());
  SetTitleText(PageText(kTextConnectionSetting));
  if (networkGroup_) networkGroup_->SetText(PageText(kTextNetworkConnection));
  if (comGroup_) comGroup_->SetText(PageText(kTextComConnection));
  update();
}

int MConnectDlg::SelectedPort() const {
  if (!comList_) return -1;
  const int index = comList_->GetCurSel();
  if (index < 0 || index >= comList_->List()->GetCount()) return -1;
  return static_cast<int>(comList_->List()->GetItemData(index));
}

void MConnectDlg::FillComList(Refill reason) {
  const int remembered = SelectedPort();
  std::vector<SerialPortEntry> ports;
  if (ports_) {
    ports = ports_();
  } else {
    EnumerateSerialPorts(ports);
  }
  comList_->ResetContent();
  CDropList* list = comList_->List();
  for (const SerialPortEntry& port : ports) {
    const int index = list->AddString(QString::fromStdString(port.name));
    list->SetItemData(index, static_cast<uint32_t>(port.number));
  }
  if (ports.empty()) {
    const int index = list->AddString(QString::fromLatin1(kNoEntryText));
    list->SetItemData(index, 0);
  }

  int wanted = remembered;
  if (reason == Refill::Opening || (reason == Refill::Arrival && linkHandle_ == 0)) {
    std::string timeout;
    wanted = ReadComSettings(timeout);
  }
  comList_->SelectByData(static_cast<uint32_t>(wanted));

  // The adapter of the open link was pulled out. A watched link is the link
  // watch's: it reconnects when the adapter comes back.
  if (reason == Refill::Removal && linkHandle_ != 0 &&
      comList_->FindByData(static_cast<uint32_t>(remembered)) < 0 && !SerialLinkWatched()) {
    SerialDisconnect();
  }
}

void MConnectDlg::OnSerialDeviceChange(bool arrival) {
  if (!Created()) return;
  FillComList(arrival ? Refill::Arrival : Refill::Removal);
}

void MConnectDlg::SerialConnect() {
  const int port = SelectedPort();
  if (port < 0) return;
  CommLibrary* library = GetCommLibrary();
  if (library != nullptr) library->SetAddressList(1, &kAnyAddress);
  baudEdit_->Commit(false);
  const auto baud = static_cast<unsigned>(baudEdit_->Value());
  linkHandle_ = library != nullptr ? library->OpenSerial(port, static_cast<int>(baud)) : 0;
  if (linkHandle_ == 0) {
    PostRequest(kReqOnline, 0);
    ShowMessageBox(this, PageText(kTextConnectFailed), PageText(kTextTips));
    return;
  }
  // Serial mode before the request: the answers that come back on the line
  // are the connected device's, whatever address they carry.
  bool wasNetwork = false;
  {
    auto s = State();
    wasNetwork = s->NET_MODE != 0;
    s->NET_MODE = 0;
  }
  // The wait first: the answer that hides it may arrive before this returns.
  PostRequest(kReqOnline, 1);
  PostWait(kWaitTextGettingData);
  SendCommand(GET_ALL);
  if (wasNetwork) PostRequest(kReqConnectionState, 0);
  WriteComSettings(port, kTimeoutValue);
  comList_->setEnabled(false);
  WatchLink(SerialTarget(port, static_cast<int>(baud)));
}

bool MConnectDlg::SerialLinkWatched() const {
  const LinkWatch* watch = GetLinkWatch();
  return watch != nullptr && watch->Status().target.kind == LinkTarget::Kind::Serial &&
         watch->Status().phase != LinkPhase::Closed;
}

bool MConnectDlg::ConnectPort(int number) {
  if (!comList_ || comList_->FindByData(static_cast<uint32_t>(number)) < 0) return false;
  comList_->SelectByData(static_cast<uint32_t>(number));
  SerialConnect();
  return true;
}

void MConnectDlg::SerialDisconnect() {
  StopWatchingLink(LinkTarget::Kind::Serial);
  if (CommLibrary* library = GetCommLibrary()) library->CloseSerial();
  const bool network = State()->NET_MODE != 0;
  if (!network) PostRequest(kReqOnline, 0);
  comList_->setEnabled(true);
  linkHandle_ = 0;
}

void MConnectDlg::NetworkDisconnect() {
  const std::string ip = ipEdit_->text().toStdString();
  const auto address = ParseIpv4(ip);
  if (!address) return;
  StopWatchingLink(LinkTarget::Kind::Network, FormatIpv4(*address));
  if (CommLibrary* library = GetCommLibrary()) library->CloseNetLink(ip.c_str());
}

void MConnectDlg::NetworkConnect() {
  const QString text = ipEdit_->text().trimmed();
  switch (ConnectNetwork(NotifyWindow(this), text.toStdString())) {
    case NetConnect::Connected:
      break;
    case NetConnect::NotIpv4:
      ShowMessageBox(this, ConnectMessageText(ConnectMessage::NotIpv4).arg(text),
                     PageText(kTextTips));
      break;
    case NetConnect::NoAnswer:
      ShowMessageBox(this, ConnectMessageText(ConnectMessage::NoAnswer).arg(text),
                     PageText(kTextTips));
      break;
  }
}

void MConnectDlg::SearchMachines() {
  UpdateSearchButton();
  PostRequest(kReqSearchWindow, kSearchWindowToggle);
}

void MConnectDlg::WorkOffline() {
  PostRequest(kReqWorkOffline, 0);
}

void MConnectDlg::SetDestinationIp(const QString& ip) {
  if (ipEdit_) ipEdit_->setText(ip.left(kIpTextLimit));
}

void MConnectDlg::RefreshConnectionControls() {
  if (!Created()) return;
  // The network interface is in use: the serial port can be chosen again
  // unless its link is still open.
  comList_->setEnabled(linkHandle_ == 0);
  update();
}

void MConnectDlg::SetSearchWindowShown(bool shown) {
  searchShown_ = shown;
  UpdateSearchButton();
}

void MConnectDlg::UpdateSearchButton() {
  if (!searchButton_) return;
  searchButton_->SetTextColor(searchShown_ ? skin::kOrange : skin::kText);
  searchButton_->update();
}

void MConnectDlg::PostRequest(intptr_t subCode, intptr_t argument) {
  PostMsg(NotifyWindow(this), UM_PAGE_REQUEST, subCode, argument);
}

void MConnectDlg::PostWait(int textId) {
  PostMsg(NotifyWindow(this), UM_WAIT, 1, 0, PageText(textId));
}

}  // namespace orv
