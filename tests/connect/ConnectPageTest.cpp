// The connection page against the recording library: serial Connect and
// DisConnect, the "Com" list and its hot-plug rules, the network DisConnect,
// the search button, the messages to the main window and the language texts.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>

#include "CDropList.h"
#include "CGdipButton.h"
#include "CMyEdit.h"
#include "CSxGroupBox.h"
#include "ConnectTestSupport.h"
#include "ControlId.h"
#include "Ini.h"
#include "MConnectDlg.h"
#include "Skin.h"
#include "oRealEdit.h"

namespace orv {
namespace {

using test::FakeMainWindow;
using test::kReqConnectionState;
using test::kReqOnline;
using test::kReqSearchWindow;
using test::Requests;
using test::Waits;

class ConnectPage : public test::PageFixture {
 protected:
  MConnectDlg* Open() {
    page = new MConnectDlg(&main, [this] { return ports; });
    EXPECT_TRUE(page->Create());
    return page;
  }
  QString ChosenText() const { return page->ComList()->text(); }
  int ChosenPort() const {
    const int index = page->ComList()->GetCurSel();
    return index < 0 ? -1 : static_cast<int>(page->ComList()->List()->GetItemData(index));
  }
  void StorePort(int port) { WriteProfileString("COM", "port", std::to_string(port), Settings()); }

  std::vector<SerialPortEntry> ports;
  MConnectDlg* page = nullptr;
};

TEST_F(ConnectPage, OpeningListsThePortsAndSelectsTheStoredOne) {
  ports = {{"COM3", 3}, {"COM5", 5}, {"com7", 7}};
  StorePort(5);
  Open();
  CDropList* list = page->ComList()->List();
  ASSERT_EQ(list->GetCount(), 3);
  EXPECT_EQ(list->GetText(2), QStringLiteral("com7"));
  EXPECT_EQ(list->GetItemData(2), 7u);
  EXPECT_EQ(ChosenPort(), 5);
  EXPECT_EQ(ChosenText(), QStringLiteral("COM5"));
  EXPECT_EQ(page->IpEdit()->text(), QStringLiteral("192.168.1.110"));
  EXPECT_EQ(page->IpEdit()->maxLength(), 15);
  EXPECT_EQ(page->BaudEdit()->Value(), 115200.0f);
  EXPECT_EQ(page->BaudEdit()->Minimum(), 38400.0f);
  EXPECT_EQ(page->BaudEdit()->Maximum(), 115200.0f);
  EXPECT_TRUE(page->ComList()->isEnabled());
  EXPECT_EQ(page->TitleText(), QStringLiteral("Connection Setting"));
}

TEST_F(ConnectPage, HiddenTemplateControlsStayHidden) {
  Open();
  page->ShowPage(true);
  for (int id : {MConnectDlg::kLocalIpLabel, MConnectDlg::kLocalIpList, MConnectDlg::kRefreshButton,
                 MConnectDlg::kMachineList, MConnectDlg::kSelectAll}) {
    QWidget* control = page->Control(id);
    ASSERT_NE(control, nullptr) << id;
    EXPECT_TRUE(control->isHidden()) << id;
  }
  for (int id : {MConnectDlg::kNetConnect, MConnectDlg::kNetDisconnect, MConnectDlg::kSearchButton,
                 MConnectDlg::kSerialConnect, MConnectDlg::kSerialDisconnect, MConnectDlg::kIpEdit,
                 MConnectDlg::kComList, MConnectDlg::kBaudEdit}) {
    ASSERT_NE(page->Control(id), nullptr) << id;
    EXPECT_FALSE(page->Control(id)->isHidden()) << id;
  }
}

TEST_F(ConnectPage, ConnectWithNAPassesPortZero) {
  Open();
  ASSERT_EQ(page->ComList()->List()->GetCount(), 1);
  EXPECT_EQ(ChosenText(), QStringLiteral("N/A"));
  page->ControlAs<CGdipButton>(MConnectDlg::kSerialConnect)->click();
  ASSERT_EQ(library.SerialOpens().size(), 1u);
  EXPECT_EQ(library.SerialOpens()[0].port, 0);
  EXPECT_EQ(library.SerialOpens()[0].baud, 115200);
  ASSERT_EQ(library.AddressLists().size(), 1u);
  EXPECT_EQ(library.AddressLists()[0], (std::vector<uint8_t>{0xFF}));
}

TEST_F(ConnectPage, FailedOpenSaysConnectFailedAndChangesNothing) {
  ports = {{"COM3", 3}};
  library.openSerialResult = 0;
  Open();
  page->SerialConnect();
  const auto got = main.Take();
  const auto online = Requests(got, kReqOnline);
  ASSERT_EQ(online.size(), 1u);
  EXPECT_EQ(online[0].lParam, 0);
  EXPECT_TRUE(Waits(got).empty());
  ASSERT_EQ(boxes.Requests().size(), 1u);
  EXPECT_EQ(boxes.Requests()[0].text, QStringLiteral("Connect Failed!"));
  EXPECT_EQ(boxes.Requests()[0].caption, QStringLiteral("Tips"));
  EXPECT_TRUE(library.TypedSendsOf(GET_ALL).empty());
  EXPECT_EQ(page->LinkHandle(), 0);
  EXPECT_TRUE(page->ComList()->isEnabled());
  EXPECT_EQ(State()->NET_MODE, 1) << "still the network interface";
  EXPECT_EQ(Setting("COM", "port"), "");
}

TEST_F(ConnectPage, ConnectReadsBackRemembersThePortAndLeavesNetworkMode) {
  ports = {{"COM3", 3}, {"COM4", 4}};
  Open();
  page->ComList()->SelectByData(4);
  page->BaudEdit()->setText(QStringLiteral("9600"));  // below the range: clamped
  page->SerialConnect();
  ASSERT_EQ(library.SerialOpens().size(), 1u);
  EXPECT_EQ(library.SerialOpens()[0].port, 4);
  EXPECT_EQ(library.SerialOpens()[0].baud, 38400);
  EXPECT_EQ(library.TypedSendsOf(GET_ALL).size(), 1u);
  EXPECT_NE(page->LinkHandle(), 0);
  EXPECT_FALSE(page->ComList()->isEnabled());
  EXPECT_EQ(State()->NET_MODE, 0);
  EXPECT_EQ(Setting("COM", "port"), "4");
  EXPECT_EQ(Setting("COM", "timeout"), "1");

  const auto got = main.Take();
  ASSERT_EQ(got.size(), 3u);
  EXPECT_EQ(got[0].id, UM_PAGE_REQUEST);
  EXPECT_EQ(got[0].wParam, kReqOnline);
  EXPECT_EQ(got[0].lParam, 1);
  EXPECT_EQ(got[1].id, UM_WAIT);
  EXPECT_EQ(got[1].wParam, 1);
  EXPECT_EQ(got[1].data.toString(), QStringLiteral("Getting Data From Desitination... "));
  EXPECT_EQ(got[2].wParam, kReqConnectionState);
  EXPECT_EQ(got[2].lParam, 0);

  // Already on the serial interface: no second connection-state message.
  page->SerialDisconnect();
  main.Take();
  page->SerialConnect();
  EXPECT_TRUE(Requests(main.Take(), kReqConnectionState).empty());
}

TEST_F(ConnectPage, DisconnectClosesTheSerialPort) {
  ports = {{"COM3", 3}};
  Open();
  page->SerialConnect();
  main.Take();
  page->ControlAs<CGdipButton>(MConnectDlg::kSerialDisconnect)->click();
  EXPECT_EQ(library.CloseSerialCount(), 1);
  EXPECT_EQ(page->LinkHandle(), 0);
  EXPECT_TRUE(page->ComList()->isEnabled());
  auto online = Requests(main.Take(), kReqOnline);
  ASSERT_EQ(online.size(), 1u);
  EXPECT_EQ(online[0].lParam, 0);

  // While the network interface is in use the indicator is the search window's.
  State()->NET_MODE = 1;
  page->SerialDisconnect();
  EXPECT_EQ(library.CloseSerialCount(), 2);
  EXPECT_TRUE(Requests(main.Take(), kReqOnline).empty());
}

TEST_F(ConnectPage, NetworkDisconnectNeedsStrictIpv4Text) {
  Open();
  auto disconnect = [this](const char* text) {
    page->IpEdit()->setText(QString::fromLatin1(text));
    page->ControlAs<CGdipButton>(MConnectDlg::kNetDisconnect)->click();
  };
  disconnect("192.168.1");
  disconnect("300.1.1.1");
  disconnect("1.2.3.4.5");
  disconnect("");
  EXPECT_TRUE(library.ClosedNetLinks().empty());
  disconnect("127.0.0.3");
  EXPECT_EQ(library.ClosedNetLinks(), (std::vector<std::string>{"127.0.0.3"}));
  // The network Connect follows the same rule, and says so.
  page->IpEdit()->setText(QStringLiteral("192.168.1"));
  page->NetworkConnect();
  EXPECT_TRUE(library.OpenedNetLinks().empty());
  ASSERT_EQ(boxes.Requests().size(), 1u);
  EXPECT_EQ(boxes.Requests()[0].text,
            QStringLiteral("\"192.168.1\" is not an IPv4 address (four numbers 0..255 separated "
                           "by dots)."));
}

TEST_F(ConnectPage, TheLastConnectedAddressIsOfferedAtTheNextStart) {
  WriteProfileString("NET", "ip", "127.0.0.7", Settings());
  Open();
  EXPECT_EQ(page->IpEdit()->text(), QStringLiteral("127.0.0.7"));
  WriteProfileString("NET", "ip", "not an address", Settings());
  Open();
  EXPECT_EQ(page->IpEdit()->text(), QStringLiteral("192.168.1.110"));
}

TEST_F(ConnectPage, PlugInWhileConnectedKeepsTheSelection) {
  ports = {{"COM3", 3}};
  Open();
  page->SerialConnect();
  StorePort(7);  // another port remembered meanwhile
  ports.push_back({"COM7", 7});
  page->OnSerialDeviceChange(true);
  EXPECT_EQ(page->ComList()->List()->GetCount(), 2);
  EXPECT_EQ(ChosenPort(), 3);
  EXPECT_EQ(library.CloseSerialCount(), 0);

  // Without an open link an arrival selects the remembered port.
  page->SerialDisconnect();
  StorePort(7);
  ports.push_back({"COM8", 8});
  page->OnSerialDeviceChange(true);
  EXPECT_EQ(ChosenPort(), 7);
}

TEST_F(ConnectPage, PullingOutTheOpenPortDisconnects) {
  ports = {{"COM3", 3}, {"COM4", 4}};
  Open();
  page->ComList()->SelectByData(4);
  page->SerialConnect();
  main.Take();

  // Another adapter goes: the link stays.
  ports = {{"COM4", 4}};
  page->OnSerialDeviceChange(false);
  EXPECT_EQ(library.CloseSerialCount(), 0);
  EXPECT_NE(page->LinkHandle(), 0);
  EXPECT_EQ(ChosenPort(), 4);

  ports.clear();
  page->OnSerialDeviceChange(false);
  EXPECT_EQ(library.CloseSerialCount(), 1);
  EXPECT_EQ(page->LinkHandle(), 0);
  EXPECT_TRUE(page->ComList()->isEnabled());
  EXPECT_EQ(ChosenText(), QStringLiteral("N/A"));
  EXPECT_EQ(Requests(main.Take(), kReqOnline).size(), 1u);

  // A removal without an open link only refills the list.
  ports = {{"COM5", 5}};
  page->OnSerialDeviceChange(false);
  EXPECT_EQ(library.CloseSerialCount(), 1);
}

TEST_F(ConnectPage, SearchButtonAndHidingTalkToTheMainWindow) {
  Open();
  CGdipButton* search = page->SearchButton();
  EXPECT_EQ(search->TextColor(), skin::kText);
  search->click();
  auto requests = Requests(main.Take(), kReqSearchWindow);
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].lParam, 0) << "toggle";

  page->SetSearchWindowShown(true);
  EXPECT_EQ(search->TextColor(), skin::kOrange);
  page->ShowPage(true);
  EXPECT_TRUE(Requests(main.Take(), kReqSearchWindow).empty());
  page->ShowPage(false);
  requests = Requests(main.Take(), kReqSearchWindow);
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].lParam, 3) << "hide";
  EXPECT_FALSE(page->SearchWindowShown());
  EXPECT_EQ(search->TextColor(), skin::kText);
  EXPECT_FALSE(page->isVisible());
}

TEST_F(ConnectPage, DestinationIpAndConnectionControlsFromTheMainWindow) {
  ports = {{"COM3", 3}};
  Open();
  page->SetDestinationIp(QStringLiteral("127.0.0.3"));
  EXPECT_EQ(page->IpEdit()->text(), QStringLiteral("127.0.0.3"));

  page->SerialConnect();
  page->RefreshConnectionControls();
  EXPECT_FALSE(page->ComList()->isEnabled()) << "the serial link is still open";
  page->SerialDisconnect();
  page->ComList()->setEnabled(false);
  page->RefreshConnectionControls();
  EXPECT_TRUE(page->ComList()->isEnabled());
}

TEST_F(ConnectPage, TextsFollowTheLanguage) {
  UseLanguage("Chinese");
  Open();
  page->ShowPage(true);
  page->ReloadTexts();
  EXPECT_EQ(page->TitleText(), QStringLiteral("连接设置"));
  EXPECT_EQ(page->ControlAs<CSxGroupBox>(MConnectDlg::kNetworkGroup)->Text(),
            QStringLiteral("网络连接"));
  EXPECT_EQ(page->ControlAs<CSxGroupBox>(MConnectDlg::kComGroup)->Text(),
            QStringLiteral("串口连接"));
  EXPECT_EQ(page->SearchButton()->text(), QStringLiteral("搜索设备 >>>"));
  EXPECT_EQ(page->ControlAs<CGdipButton>(MConnectDlg::kSerialConnect)->text(),
            QStringLiteral("连接"));
  EXPECT_EQ(page->ControlAs<QLabel>(MConnectDlg::kBaudLabel)->text(), QStringLiteral("波特率"));
  EXPECT_EQ(page->IpEdit()->text(), QStringLiteral("192.168.1.110")) << "edits keep their text";
  EXPECT_EQ(page->ControlAs<CGdipButton>(MConnectDlg::kNetConnect)->text(), QStringLiteral("连接"));

  library.openSerialResult = 0;
  page->SerialConnect();
  ASSERT_EQ(boxes.Requests().size(), 1u);
  EXPECT_EQ(boxes.Requests()[0].text, QStringLiteral("连接失败！"));
  EXPECT_EQ(boxes.Requests()[0].caption, QStringLiteral("提示"));
}

TEST_F(ConnectPage, ClosingByItsButtonTellsTheMainWindow) {
  Open();
  page->ShowPage(true);
  page->CloseButton()->click();
  const auto got = main.Take();
  bool closed = false;
  for (const Message& m : got) closed |= m.id == UM_PAGE_CLOSED;
  EXPECT_TRUE(closed);
  EXPECT_EQ(Requests(got, kReqSearchWindow).size(), 1u) << "the search window goes with it";
}

}  // namespace
}  // namespace orv
