#pragma once
// The network search window: chooses the local interface, searches for
// processors (SEARCH to every unit), shows each one that answers as a tile
// (named from the settings file or "Q20-n"), opens the links to all of them
// once the answers settled, watches each one's liveness, and connects the
// chosen one: it becomes the target of all sends and a full read-back starts.
//
// Replies reach it as MachineReports on the GUI thread (the main window's
// refresh dispatcher captures them on the reply thread): identity (27),
// hello (0, "seen" with first = 1) and acknowledged replies (23, first = 0).
// Everything here runs on the GUI thread.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "MBaseDialog.h"
#include "MachineList.h"
#include "MachineReport.h"
#include "MachineTilePainter.h"
#include "SearchWindowLayout.h"

class QScrollBar;

namespace orv {

class CDropButton;
class CGdipButton;
class CMyEdit;
class CSxGroupBox;

class MSearchMachineDlg : public MBaseDialog {
  Q_OBJECT
 public:
  static constexpr int kTemplateId = 179;

  enum ControlId : int {
    kSearchButton = 1720,
    kConnectButton = 1721,
    kLocalGroup = 1722,
    kRefreshButton = 1723,
    kRenameEdit = 1724,
    kLocalList = 0xFF70,
  };

  // Timers: the settle timer runs once, one second after the first answer;
  // each machine has a liveness timer (2735 upward); the search time-out ends
  // the wait box when nothing answered.
  static constexpr uint32_t kSearchTimeoutTimer = 2733;
  static constexpr uint32_t kSettleTimer = 2734;
  static constexpr int kSettleMs = 1000;
  static constexpr int kSearchTimeoutMs = 3000;
  static constexpr int kDefaultLivenessMs = 10000;
  // A machine turns offline when this many periods passed without an answer.
  static constexpr int kMissesUntilOffline = 3;
  static constexpr int kRenameLimit = 13;

  // IPv4 texts of the local interfaces.
  using LocalAddressSource = std::function<std::vector<std::string>()>;

  // Without a source the system's addresses are offered (SystemIpv4Addresses).
  explicit MSearchMachineDlg(QWidget* parent, LocalAddressSource source = {});

  void ReloadTexts() override;
  // Hides the window and tells the main window, which marks it hidden (0x5BB, 3).
  void ClosePage() override;

  // A reply captured for this window: identity, hello or acknowledged reply.
  void OnMachineReport(const MachineReport& report);
  void MachineIdentity(const std::string& ip, const MacAddress& mac);
  void MachineSeen(int first, uint8_t replyAddress, int32_t replyKind);

  void SetLivenessPeriodMs(int ms);
  int LivenessPeriodMs() const { return livenessMs_; }

  // The buttons and the local address list.
  void Search();
  void ConnectSelected();
  void RefreshLocalAddresses();
  void ChooseLocalAddress(int index);

  // "Connect" for one machine (the button, or a double click on its tile).
  void ConnectMachine(int index);
  void OpenRename(int index);
  void CommitRename();
  void CancelRename();

  const MachineList& Machines() const { return machines_; }
  int Renaming() const { return renaming_; }
  CDropButton* LocalAddressList() const { return localList_; }
  CMyEdit* RenameEdit() const { return renameEdit_; }
  QScrollBar* ScrollBar() const { return scroll_; }
  const SearchWindowLayout& Layout() const { return layout_; }

 protected:
  bool OnInitDialog() override;
  void PaintPage(QPainter& p) override;
  void OnTimer(uint32_t id) override;
  intptr_t OnMessage(const Message& message) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void BuildControls();
  // Places the controls and the tiles for the window's size.
  void LayoutControls();
  void UpdateScrollRange();
  int ScrollOffset() const;
  // The machine whose tile is under a window point, or -1.
  int TileAtPoint(const QPoint& at) const;
  // A rectangle of the tile area (tile coordinates) on the window.
  QRect OnWindow(const QRect& content) const;
  void EmptyMachineList();
  void Settle();
  void SearchTimedOut();
  void LivenessTimeout(int index);
  // Makes the machine the target, sends GET_ALL, shows the wait box and tells
  // the main window; waits for the settle when the links are not open yet.
  void ReadBack(int index);
  void MakeConnected(int index);
  void RepaintTile(int index);
  void PostRequest(intptr_t subCode, intptr_t argument, QVariant payload = {});

  LocalAddressSource source_;
  MachineList machines_;
  MachineTilePainter painter_;
  int livenessMs_ = kDefaultLivenessMs;
  bool firstTimeout_ = true;
  bool readBackPending_ = false;
  bool autoConnectPending_ = false;
  int renaming_ = -1;
  CSxGroupBox* localGroup_ = nullptr;
  CDropButton* localList_ = nullptr;
  CMyEdit* renameEdit_ = nullptr;
  QScrollBar* scroll_ = nullptr;
  SearchWindowLayout layout_;
};

}  // namespace orv
