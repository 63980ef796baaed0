#pragma once
// The connection page ("Connection Setting"): opens and closes the serial
// link (port list, baud rate, [COM] port in the settings file), closes a
// network link by its address, connects a typed address, follows serial adapters being plugged in
// and out, and opens the network search window through the main window.
//
// It reports to the main window with UM_PAGE_REQUEST (0x5A4): 0x5C0 the
// online indicator, 0x5BA the connection state, 0x5BB the search window
// (0 toggles, 3 hides), 0x5C6 offline mode; and with UM_WAIT (0x5B1) for the wait box.
#include <functional>
#include <vector>

#include "MBaseDialog.h"
#include "SerialPorts.h"

class QLabel;

namespace orv {

class CDropButton;
class CGdipButton;
class CMyEdit;
class CSxGroupBox;
class oRealEdit;

class MConnectDlg : public MBaseDialog {
  Q_OBJECT
 public:
  static constexpr int kTemplateId = 127;

  // Control ids of the page template.
  enum ControlId : int {
    kNetworkGroup = 1700,
    kIpLabel = 1701,
    kIpEdit = 1702,
    kNetDisconnect = 1703,
    kSearchButton = 1704,
    kComGroup = 1705,
    kComLabel = 1706,
    kComList = 1707,
    kBaudLabel = 1708,
    kBaudEdit = 1709,
    kSerialConnect = 1710,
    kSerialDisconnect = 1711,
    // The network "Connect" by typed address.
    kNetConnect = 1712,
    // Kept hidden: the local address list and a machine list.
    kLocalIpLabel = 1713,
    kLocalIpList = 1714,
    kRefreshButton = 1715,
    kMachineList = 1716,
    kSelectAll = 1717,
    // Offline mode: the panel's built-in virtual processor.
    kWorkOffline = 1718,
  };

  static constexpr int kDefaultBaud = 115200;
  static constexpr int kMinimumBaud = 38400;
  static constexpr int kIpTextLimit = 15;

  // The serial ports the page offers; empty = the system's list.
  using PortSource = std::function<std::vector<SerialPortEntry>()>;

  explicit MConnectDlg(QWidget* parent, PortSource ports = {});

  // Hiding the page also hides the search window (0x5BB, 3).
  void ShowPage(bool show) override;
  void ReloadTexts() override;

  // A serial port appeared (arrival) or disappeared; forwarded by the main window.
  void OnSerialDeviceChange(bool arrival);
  // The connected machine's address, handed on by the main window (0x5C1).
  void SetDestinationIp(const QString& ip);
  // The connection state changed while the network interface is in use (0x5BA).
  void RefreshConnectionControls();
  // Whether the main window shows the search window; colours the search button.
  void SetSearchWindowShown(bool shown);

  // The buttons' operations.
  void SerialConnect();
  // Chooses the port with COM number `number` and connects it as the
  // operator's Connect does; false when the port list does not hold it.
  bool ConnectPort(int number);
  void SerialDisconnect();
  void NetworkDisconnect();
  void NetworkConnect();
  void SearchMachines();
  // Asks the main window for offline mode (0x5C6).
  void WorkOffline();

  int LinkHandle() const { return linkHandle_; }
  bool SearchWindowShown() const { return searchShown_; }
  CDropButton* ComList() const { return comList_; }
  CMyEdit* IpEdit() const { return ipEdit_; }
  oRealEdit* BaudEdit() const { return baudEdit_; }
  CGdipButton* SearchButton() const { return searchButton_; }

 protected:
  bool OnInitDialog() override;

 private:
  enum class Refill { Opening, Arrival, Removal };

  void BuildControls();
  void BuildHiddenControls();
  void FillComList(Refill reason);
  // The port number of the chosen "Com" entry; -1 when nothing is chosen.
  int SelectedPort() const;
  // Whether the link watch is watching the serial link (and will reconnect it).
  bool SerialLinkWatched() const;
  void UpdateSearchButton();
  void PostRequest(intptr_t subCode, intptr_t argument);
  void PostWait(int textId);

  PortSource ports_;
  int linkHandle_ = 0;
  bool searchShown_ = false;
  CSxGroupBox* networkGroup_ = nullptr;
  CSxGroupBox* comGroup_ = nullptr;
  CMyEdit* ipEdit_ = nullptr;
  CGdipButton* searchButton_ = nullptr;
  CDropButton* comList_ = nullptr;
  oRealEdit* baudEdit_ = nullptr;
};

}  // namespace orv
