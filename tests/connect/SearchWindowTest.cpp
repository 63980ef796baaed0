// The search window against the recording library: local addresses, SEARCH
// and its own end, identity tiles, the settle, automatic and chosen
// connections, liveness, renaming and the tile painting.
#include <gtest/gtest.h>

#include <QScrollBar>
#include <QTest>

#include "CDropList.h"
#include "CGdipButton.h"
#include "CMyEdit.h"
#include "CSxGroupBox.h"
#include "ConnectTestSupport.h"
#include "MSearchMachineDlg.h"
#include "MachineTilePainter.h"
#include "Skin.h"

namespace orv {
namespace {

using test::kReqConnectionState;
using test::kReqDestinationIp;
using test::kReqOnline;
using test::kReqSearchWindow;
using test::Requests;
using test::Waits;

MacAddress Mac(uint8_t last) {
  return {0x02, 0x51, 0x20, 0x00, 0x00, last};
}

std::string Ip(int n) {
  return "127.0.0." + std::to_string(n);
}

class SearchWindow : public test::PageFixture {
 protected:
  void SetUp() override {
    PageFixture::SetUp();
    // Only the loopback interface is ever offered here.
    window = new MSearchMachineDlg(&main, [this] { return localAddresses; });
    ASSERT_TRUE(window->Create());
    library.ClearRecords();
  }
  void Identify(int n) { window->MachineIdentity(Ip(n), Mac(static_cast<uint8_t>(n))); }
  void Hello(int n, int32_t kind = 1) { window->MachineSeen(1, static_cast<uint8_t>(n), kind); }
  void Answer(int n) { window->MachineSeen(0, static_cast<uint8_t>(n), 1); }
  const Machine& At(int index) const { return window->Machines().At(index); }
  void Settle() { AdvanceManualTime(MSearchMachineDlg::kSettleMs); }
  QPoint Middle(int index) const {
    const QRect tile = At(index).tile;
    return QPoint(tile.left() + 60, tile.bottom() - 10);
  }
  void ShowWindow() {
    main.show();
    window->ShowPage(true);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
  }

  std::vector<std::string> localAddresses{"127.0.0.1"};
  MSearchMachineDlg* window = nullptr;
};

TEST_F(SearchWindow, LocalAddressListOffersTheSourcesAddresses) {
  EXPECT_EQ(window->LocalAddressList()->text(), QStringLiteral("127.0.0.1"));
  EXPECT_EQ(window->TitleText(), QStringLiteral("Search Machines"));

  localAddresses = {"0.0.0.0", "127.0.0.1", "127.0.0.9"};
  window->RefreshLocalAddresses();
  CDropList* list = window->LocalAddressList()->List();
  ASSERT_EQ(list->GetCount(), 2);
  EXPECT_EQ(list->GetText(1), QStringLiteral("127.0.0.9"));
  EXPECT_EQ(library.LocalInterfaces(), (std::vector<std::string>{"127.0.0.1"}));

  localAddresses.clear();
  window->RefreshLocalAddresses();
  EXPECT_EQ(window->LocalAddressList()->text(), QStringLiteral("N/A"));
  EXPECT_EQ(library.LocalInterfaces().back(), "N/A");
}

TEST_F(SearchWindow, ChoosingAnotherAddressEmptiesTheListAndStopsItsTimers) {
  localAddresses = {"127.0.0.1", "127.0.0.9"};
  window->RefreshLocalAddresses();
  Identify(2);
  Identify(3);
  Hello(2);
  Hello(3);
  ASSERT_TRUE(window->IsTimerActive(2735));
  ASSERT_TRUE(window->IsTimerActive(2736));
  ASSERT_TRUE(window->IsTimerActive(MSearchMachineDlg::kSettleTimer));

  SendMsg(window, UM_LIST_SELECT, MSearchMachineDlg::kLocalList, 1);
  EXPECT_EQ(library.LocalInterfaces().back(), "127.0.0.9");
  EXPECT_TRUE(window->Machines().Empty());
  EXPECT_FALSE(window->IsTimerActive(2735));
  EXPECT_FALSE(window->IsTimerActive(2736));
  EXPECT_FALSE(window->IsTimerActive(MSearchMachineDlg::kSettleTimer));

  // A new machine takes the first number again and nothing else fires.
  Identify(4);
  EXPECT_EQ(At(0).timerId, 2735);
  EXPECT_EQ(At(0).name, "Q20-1");
  main.Take();
  AdvanceManualTime(100000);
  EXPECT_EQ(library.OpenedNetLinks().size(), 1u);
  EXPECT_TRUE(Requests(main.Take(), kReqOnline).empty());
}

TEST_F(SearchWindow, SearchEmptiesTheListAndAsksEveryUnit) {
  Identify(2);
  Hello(2);
  ASSERT_TRUE(window->IsTimerActive(2735));
  main.Take();
  static_cast<CGdipButton*>(window->Control(MSearchMachineDlg::kSearchButton))->click();
  EXPECT_TRUE(window->Machines().Empty());
  EXPECT_FALSE(window->IsTimerActive(2735));
  EXPECT_EQ(DeviceAddress(), 0xFF);
  const auto searches = library.TypedSendsOf(SEARCH);
  ASSERT_EQ(searches.size(), 1u);
  EXPECT_EQ(searches[0].address, 0xFF);
  EXPECT_EQ(searches[0].bytes[0], 0xFF);
  const auto waits = Waits(main.Take());
  ASSERT_EQ(waits.size(), 1u);
  EXPECT_EQ(waits[0].wParam, 1);
  EXPECT_EQ(waits[0].data.toString(), QStringLiteral("Search Desitination Machine... "));
}

TEST_F(SearchWindow, ASearchNobodyAnswersEndsItsOwnWaitBox) {
  UseLanguage("Chinese");
  window->Search();
  main.Take();
  AdvanceManualTime(MSearchMachineDlg::kSearchTimeoutMs - 1);
  EXPECT_TRUE(main.Take().empty());
  EXPECT_TRUE(boxes.Requests().empty());
  AdvanceManualTime(1);
  const auto waits = Waits(main.Take());
  ASSERT_EQ(waits.size(), 1u);
  EXPECT_EQ(waits[0].wParam, 0);
  ASSERT_EQ(boxes.Requests().size(), 1u);
  EXPECT_EQ(boxes.Requests()[0].text, QStringLiteral("未找到设备"));
  EXPECT_EQ(boxes.Requests()[0].caption, QStringLiteral("提示"));
  EXPECT_FALSE(window->IsTimerActive(MSearchMachineDlg::kSearchTimeoutTimer));
}

TEST_F(SearchWindow, ASearchEndsWhenItsAnswerTimeIsOverWhoeverAnswered) {
  // One machine answers, another (hung) never does: at the end of the
  // answer time the search's own box is ended, without a message.
  window->Search();
  Identify(2);
  main.Take();
  AdvanceManualTime(MSearchMachineDlg::kSearchTimeoutMs - 1);
  EXPECT_TRUE(Waits(main.Take()).empty());
  AdvanceManualTime(1);
  const auto waits = Waits(main.Take());
  ASSERT_EQ(waits.size(), 1u);
  EXPECT_EQ(waits[0].wParam, 0);
  // Only the search's box: a read-back's box shown meanwhile stays.
  EXPECT_EQ(waits[0].data.toString(), QStringLiteral("Search Desitination Machine... "));
  EXPECT_TRUE(boxes.Requests().empty());
  EXPECT_EQ(window->Machines().Size(), 1);

  // Without a language file the message is the English one.
  window->Search();
  AdvanceManualTime(MSearchMachineDlg::kSearchTimeoutMs);
  main.Take();
  ASSERT_EQ(boxes.Requests().size(), 1u);
  EXPECT_EQ(boxes.Requests()[0].text, QStringLiteral("No Machine Found"));
}

TEST_F(SearchWindow, IdentitiesBecomeTilesNamedFromTheSettings) {
  StoreMachineName(Mac(5), "Hall B");
  for (int n = 2; n <= 10; ++n) Identify(n);
  Identify(3);  // again: listed once
  ASSERT_EQ(window->Machines().Size(), 9);
  EXPECT_EQ(At(8).tile, QRect(10, 260, 200, 80));
  EXPECT_EQ(At(1).name, "Q20-2");
  EXPECT_EQ(At(2).name, "Q20-3");
  EXPECT_EQ(At(3).name, "Hall B");
  EXPECT_EQ(At(8).timerId, 2743);
  EXPECT_TRUE(window->IsTimerActive(MSearchMachineDlg::kSettleTimer));
  EXPECT_FALSE(window->IsTimerActive(2735)) << "liveness starts with the first answer";
}

TEST_F(SearchWindow, SettleOpensALinkToEveryMachineAndServesTheirAddresses) {
  State()->NET_MODE = 0;
  Identify(2);
  window->MachineIdentity("300.1.1.1", Mac(44));
  Identify(3);
  AdvanceManualTime(MSearchMachineDlg::kSettleMs - 1);
  EXPECT_TRUE(library.AddressLists().empty());
  AdvanceManualTime(1);
  ASSERT_EQ(library.AddressLists().size(), 1u);
  EXPECT_EQ(library.AddressLists()[0], (std::vector<uint8_t>{2, 0, 3}));
  const auto links = library.OpenedNetLinks();
  ASSERT_EQ(links.size(), 2u);
  EXPECT_EQ(links[0].ipv4, "127.0.0.2");
  EXPECT_EQ(links[1].ipv4, "127.0.0.3");
  EXPECT_EQ(links[0].port, 61213);
  EXPECT_FALSE(window->IsTimerActive(MSearchMachineDlg::kSettleTimer));
  EXPECT_EQ(State()->NET_MODE, 1);
  const auto state = Requests(main.Take(), kReqConnectionState);
  ASSERT_EQ(state.size(), 1u);
  EXPECT_EQ(state[0].lParam, 0);

  // Once more (a late answer): the links are asked for again, the mode stays.
  Identify(4);
  Settle();
  EXPECT_EQ(library.AddressLists().back(), (std::vector<uint8_t>{2, 0, 3, 4}));
  EXPECT_EQ(library.OpenedNetLinks().back().ipv4, "127.0.0.4");
  EXPECT_TRUE(Requests(main.Take(), kReqConnectionState).empty());
}

// A library whose link opening is interleaved with a send from another
// place, as the reply thread may do at any moment.
class InterleavingLibrary : public test::FakeCommLibrary {
 public:
  int OpenNetLink(const char* ipv4, uint16_t port) override {
    const std::string before = ipv4;
    SendCommand(GET_LAYERS);
    seen.emplace_back(before, ipv4);
    return FakeCommLibrary::OpenNetLink(ipv4, port);
  }
  std::vector<std::pair<std::string, std::string>> seen;
};

TEST_F(SearchWindow, SettleKeepsTheAddressTextOutOfTheSendBuffer) {
  InterleavingLibrary interleaving;
  SetCommLibrary(&interleaving);
  Identify(2);
  Identify(3);
  Settle();
  ASSERT_EQ(interleaving.seen.size(), 2u);
  for (const auto& [before, after] : interleaving.seen) EXPECT_EQ(before, after);
  EXPECT_EQ(interleaving.seen[1].second, "127.0.0.3");
  EXPECT_EQ(interleaving.TypedSendsOf(GET_LAYERS).size(), 2u);
  SetCommLibrary(&library);
}

TEST_F(SearchWindow, ASingleMachineIsConnectedAndReadBackOnceTheAnswersSettled) {
  Identify(2);
  Hello(2);
  EXPECT_TRUE(At(0).online);
  EXPECT_FALSE(At(0).connected) << "others may still answer";
  EXPECT_TRUE(library.TypedSendsOf(GET_ALL).empty()) << "no link before the settle";
  EXPECT_TRUE(Requests(main.Take(), kReqOnline).empty());

  Settle();
  EXPECT_TRUE(At(0).connected);
  EXPECT_TRUE(At(0).selected);
  EXPECT_EQ(DeviceAddress(), 2);
  EXPECT_EQ(library.OpenedNetLinks().size(), 1u);
  EXPECT_EQ(library.TargetMachines(), (std::vector<std::string>{"127.0.0.2"}));
  const auto getAll = library.TypedSendsOf(GET_ALL);
  ASSERT_EQ(getAll.size(), 1u);
  EXPECT_EQ(getAll[0].address, 2);
  const auto got = main.Take();
  const auto waits = Waits(got);
  ASSERT_EQ(waits.size(), 1u);
  EXPECT_EQ(waits[0].data.toString(), QStringLiteral("Getting Data From Desitination... "));
  const auto ip = Requests(got, kReqDestinationIp);
  ASSERT_EQ(ip.size(), 1u);
  EXPECT_EQ(ip[0].data.toString(), QStringLiteral("127.0.0.2"));
  const auto online = Requests(got, kReqOnline);
  ASSERT_FALSE(online.empty());
  for (const Message& m : online) EXPECT_EQ(m.lParam, 1);

  // Its later reports change nothing.
  Hello(2);
  Answer(2);
  EXPECT_EQ(library.TypedSendsOf(GET_ALL).size(), 1u);
}

TEST_F(SearchWindow, AfterTheSettleTheAutomaticReadBackStartsAtOnce) {
  Identify(2);
  Settle();
  Hello(2);
  EXPECT_TRUE(At(0).connected);
  EXPECT_EQ(library.TypedSendsOf(GET_ALL).size(), 1u);
  EXPECT_EQ(library.TargetMachines(), (std::vector<std::string>{"127.0.0.2"}));
}

TEST_F(SearchWindow, TheFirstOfSeveralAnsweringMachinesIsNotConnected) {
  // Each machine answers with identity and hello, one machine after the
  // other: the first hello comes while only one machine is listed.
  Identify(2);
  Hello(2);
  Identify(3);
  Hello(3);
  Settle();
  EXPECT_EQ(window->Machines().Connected(), -1);
  EXPECT_TRUE(library.TypedSendsOf(GET_ALL).empty());
  EXPECT_EQ(DeviceAddress(), 110);
}

TEST_F(SearchWindow, TwoListedMachinesAreNotConnectedAutomatically) {
  Identify(2);
  Identify(3);
  Hello(2);
  Hello(3);
  Settle();
  EXPECT_EQ(window->Machines().Connected(), -1);
  EXPECT_TRUE(At(0).online);
  EXPECT_TRUE(At(1).online);
  EXPECT_TRUE(library.TargetMachines().empty());
  EXPECT_TRUE(library.TypedSendsOf(GET_ALL).empty());
  EXPECT_TRUE(Requests(main.Take(), kReqOnline).empty()) << "only the connected one drives it";
}

TEST_F(SearchWindow, AReplyFromAnUnlistedAddressChangesNothing) {
  Identify(2);
  Hello(9);
  Answer(9);
  EXPECT_FALSE(At(0).connected);
  EXPECT_FALSE(At(0).online);
  EXPECT_FALSE(window->IsTimerActive(2735));
  EXPECT_EQ(DeviceAddress(), 110);
}

TEST_F(SearchWindow, ASilentConnectedMachineTurnsOfflineAfterThreePeriods) {
  Identify(2);
  Identify(3);
  Hello(2);
  Hello(3);
  Settle();
  window->ConnectMachine(1);  // asks first; answered OK
  main.Take();
  AdvanceManualTime(3 * MSearchMachineDlg::kDefaultLivenessMs - MSearchMachineDlg::kSettleMs - 1);
  EXPECT_TRUE(At(1).online);
  EXPECT_TRUE(main.Take().empty());
  AdvanceManualTime(1);
  EXPECT_FALSE(At(1).online);
  EXPECT_FALSE(At(1).online2);
  EXPECT_FALSE(At(0).online);
  const auto online = Requests(main.Take(), kReqOnline);
  ASSERT_EQ(online.size(), 1u) << "only for the connected machine";
  EXPECT_EQ(online[0].lParam, 0);

  // It answers again: online, and the indicator comes back.
  Answer(3);
  EXPECT_TRUE(At(1).online);
  const auto back = Requests(main.Take(), kReqOnline);
  ASSERT_EQ(back.size(), 1u);
  EXPECT_EQ(back[0].lParam, 1);
}

TEST_F(SearchWindow, APeriodIsInjectableAndTheSerialInterfaceKeepsTheIndicator) {
  window->SetLivenessPeriodMs(100);
  Identify(2);
  Settle();
  Hello(2);
  EXPECT_EQ(window->TimerIntervalMs(2735), 100);
  State()->NET_MODE = 0;
  main.Take();
  AdvanceManualTime(300);
  EXPECT_FALSE(At(0).online);
  EXPECT_TRUE(Requests(main.Take(), kReqOnline).empty());
}

TEST_F(SearchWindow, AMachineThatKeepsAnsweringStaysOnline) {
  Identify(2);
  Hello(2);
  Settle();
  // An answer every 15 s: one missed period each time, never three in a row.
  for (int i = 0; i < 8; ++i) {
    AdvanceManualTime(15000);
    ASSERT_TRUE(At(0).online) << "after " << (i + 1) * 15 << " s";
    Answer(2);
    EXPECT_EQ(At(0).misses, 0);
  }
}

TEST_F(SearchWindow, ConnectAsksBeforeSwitchingMachines) {
  Identify(2);
  Identify(3);
  Hello(2);
  Hello(3);
  Settle();
  main.Take();
  window->ConnectSelected();
  EXPECT_TRUE(boxes.Requests().empty()) << "nothing selected";

  boxes.SetAnswer(kIdCancel);
  window->ConnectMachine(1);
  ASSERT_EQ(boxes.Requests().size(), 1u);
  EXPECT_EQ(boxes.Requests()[0].text, QStringLiteral("Select the Machine ?"));
  EXPECT_EQ(boxes.Requests()[0].buttons, MsgButtons::OkCancel);
  EXPECT_EQ(window->Machines().Connected(), -1);
  EXPECT_TRUE(library.TypedSendsOf(GET_ALL).empty());

  boxes.SetAnswer(kIdOk);
  window->ConnectMachine(1);
  EXPECT_EQ(window->Machines().Connected(), 1);
  EXPECT_EQ(DeviceAddress(), 3);
  EXPECT_EQ(library.TargetMachines(), (std::vector<std::string>{"127.0.0.3"}));
  ASSERT_EQ(library.TypedSendsOf(GET_ALL).size(), 1u);
  EXPECT_EQ(library.TypedSendsOf(GET_ALL)[0].address, 3);
  auto got = main.Take();
  ASSERT_EQ(Requests(got, kReqDestinationIp).size(), 1u);
  EXPECT_EQ(Requests(got, kReqDestinationIp)[0].data.toString(), QStringLiteral("127.0.0.3"));
  EXPECT_EQ(Requests(got, kReqOnline)[0].lParam, 1);

  // The connected one again: no question, another read-back.
  window->ConnectMachine(1);
  EXPECT_EQ(boxes.Requests().size(), 2u);
  EXPECT_EQ(library.TypedSendsOf(GET_ALL).size(), 2u);
}

TEST_F(SearchWindow, ConnectingAnOfflineMachineOnlyOpensItsLink) {
  Identify(2);
  window->MachineIdentity("300.1.1.1", Mac(44));
  Settle();
  library.ClearRecords();
  window->ConnectMachine(0);
  EXPECT_EQ(window->Machines().Connected(), 0);
  EXPECT_EQ(DeviceAddress(), 2);
  ASSERT_EQ(library.OpenedNetLinks().size(), 1u);
  EXPECT_EQ(library.OpenedNetLinks()[0].ipv4, "127.0.0.2");
  EXPECT_TRUE(library.TypedSendsOf(GET_ALL).empty());
  EXPECT_TRUE(boxes.Requests().empty());

  window->ConnectMachine(1);
  EXPECT_EQ(window->Machines().Connected(), 1);
  EXPECT_EQ(DeviceAddress(), 0) << "never 44";
  EXPECT_EQ(library.OpenedNetLinks().size(), 1u);
}

TEST_F(SearchWindow, ClicksSelectDoubleClicksConnect) {
  Identify(2);
  Identify(3);
  Hello(3);
  Settle();
  ShowWindow();
  QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier, Middle(0));
  EXPECT_EQ(window->Machines().Selected(), 0);
  QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier, Middle(1));
  EXPECT_EQ(window->Machines().Selected(), 1);
  EXPECT_FALSE(At(0).selected);
  QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier, QPoint(600, 300));
  EXPECT_EQ(window->Machines().Selected(), 1) << "outside every tile";

  QTest::mouseDClick(window, Qt::LeftButton, Qt::NoModifier, Middle(0));
  ASSERT_EQ(boxes.Requests().size(), 1u);
  EXPECT_EQ(boxes.Requests()[0].text, QStringLiteral("The Machine Is Offline"));
  EXPECT_EQ(window->Machines().Connected(), -1);

  QTest::mouseDClick(window, Qt::LeftButton, Qt::NoModifier, Middle(1));
  ASSERT_EQ(boxes.Requests().size(), 2u);
  EXPECT_EQ(boxes.Requests()[1].text, QStringLiteral("Select the Machine ?"));
  EXPECT_EQ(window->Machines().Connected(), 1);
  EXPECT_EQ(library.TypedSendsOf(GET_ALL).size(), 1u);

  static_cast<CGdipButton*>(window->Control(MSearchMachineDlg::kConnectButton))->click();
  EXPECT_EQ(library.TypedSendsOf(GET_ALL).size(), 2u) << "Connect on the selected machine";
}

TEST_F(SearchWindow, RenameEditsTheNameLineAndStoresTheName) {
  Identify(2);
  Identify(3);
  ShowWindow();
  CMyEdit* edit = window->RenameEdit();
  EXPECT_EQ(edit->maxLength(), 13);
  EXPECT_FALSE(edit->isVisible());

  const QRect icon = MachineTilePainter::RenameIconRect(At(1).tile);
  EXPECT_EQ(icon.size(), QSize(24, 24));
  EXPECT_EQ(icon.left(), At(1).tile.left() + 200 - 29);
  QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier, icon.center());
  ASSERT_TRUE(edit->isVisible());
  EXPECT_EQ(window->Renaming(), 1);
  EXPECT_EQ(edit->geometry(), MachineTilePainter::NameLineRect(At(1).tile));
  EXPECT_EQ(edit->text(), QStringLiteral("Q20-2"));
  EXPECT_EQ(edit->selectedText(), QStringLiteral("Q20-2"));

  QTest::keyClicks(edit, QStringLiteral("ControlRoom-12345"));
  QTest::keyClick(edit, Qt::Key_Return);
  DeliverPostedMessages();
  EXPECT_FALSE(edit->isVisible());
  EXPECT_EQ(At(1).name, "ControlRoom-1") << "13 characters at most";
  EXPECT_EQ(Setting("2-51-20-0-0-3", "MachineName"), "ControlRoom-1");

  // Escape keeps the old name; a click elsewhere commits.
  QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier,
                    MachineTilePainter::RenameIconRect(At(0).tile).center());
  QTest::keyClicks(edit, QStringLiteral("Nope"));
  QTest::keyClick(edit, Qt::Key_Escape);
  DeliverPostedMessages();
  EXPECT_EQ(At(0).name, "Q20-1");
  QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier,
                    MachineTilePainter::RenameIconRect(At(0).tile).center());
  QTest::keyClicks(edit, QStringLiteral("Stage"));
  QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier, Middle(1));
  DeliverPostedMessages();
  EXPECT_EQ(At(0).name, "Stage");
  EXPECT_EQ(window->Machines().Selected(), 1);

  // A later search finds the stored names.
  window->Search();
  Identify(3);
  Identify(2);
  EXPECT_EQ(At(0).name, "ControlRoom-1");
  EXPECT_EQ(At(1).name, "Stage");
}

TEST_F(SearchWindow, InThePageColumnTilesStackAndScroll) {
  // The main window gives the search window the page column's size.
  window->resize(320, 526);
  ShowWindow();
  const SearchWindowLayout& layout = window->Layout();
  EXPECT_EQ(layout.tilesPerRow, 1);
  for (int id : {MSearchMachineDlg::kSearchButton, MSearchMachineDlg::kConnectButton,
                 MSearchMachineDlg::kRefreshButton, MSearchMachineDlg::kLocalGroup}) {
    EXPECT_TRUE(window->rect().contains(window->Control(id)->geometry())) << id;
  }
  for (int n = 2; n <= 7; ++n) Identify(n);
  EXPECT_EQ(At(0).tile.topLeft(), QPoint(10, 120));
  EXPECT_EQ(At(5).tile.topLeft(), QPoint(10, 120 + 5 * 90));
  EXPECT_GT(At(0).tile.top(),
            window->Control(MSearchMachineDlg::kSearchButton)->geometry().bottom());
  ASSERT_TRUE(window->ScrollBar()->isVisible());

  window->ScrollBar()->setValue(window->ScrollBar()->maximum());
  const int offset = window->ScrollBar()->value();
  EXPECT_GE(At(5).tile.bottom() - offset, 0);
  EXPECT_LE(At(5).tile.bottom() - offset, window->height());
  QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier, Middle(5) - QPoint(0, offset));
  EXPECT_EQ(window->Machines().Selected(), 5);
  QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier,
                    MachineTilePainter::RenameIconRect(At(5).tile).center() - QPoint(0, offset));
  EXPECT_EQ(window->Renaming(), 5);
  EXPECT_EQ(window->RenameEdit()->geometry(),
            MachineTilePainter::NameLineRect(At(5).tile).translated(0, -offset));
  // Above the tile area a click reaches no tile, even with tiles scrolled under it.
  QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
  EXPECT_EQ(window->Machines().Selected(), 5);

  // Wide again: four a row from (10, 80).
  window->resize(860, 360);
  EXPECT_EQ(At(3).tile.topLeft(), QPoint(640, 80));
  EXPECT_EQ(At(4).tile.topLeft(), QPoint(10, 170));
  EXPECT_FALSE(window->ScrollBar()->isVisible());
}

TEST_F(SearchWindow, TilesShowTheirStateInTheSkin) {
  Identify(2);
  Identify(3);
  Identify(4);
  Hello(2);
  Hello(3);
  Settle();
  window->ConnectMachine(1);
  ShowWindow();
  QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier, Middle(2));
  const QImage image = window->grab().toImage().convertToFormat(QImage::Format_RGB32);
  auto border = [&](int i) {
    return image.pixelColor(At(i).tile.left() - 1, At(i).tile.top() + 40);
  };
  auto frame = [&](int i) { return image.pixelColor(At(i).tile.left(), At(i).tile.top() + 40); };
  EXPECT_EQ(border(1), skin::kOrange) << "connected";
  EXPECT_EQ(border(2).red(), 220) << "selected";
  EXPECT_EQ(border(2).green(), 0);
  EXPECT_EQ(border(0), QColor(0, 0, 0));
  EXPECT_EQ(frame(1).red(), 220) << "the connected tile's frame is red";
  EXPECT_EQ(frame(0), skin::kText);
  // Online and offline lamps differ.
  const QRect lamp0 = MachineTilePainter::LampRect(At(0).tile);
  const QRect lamp2 = MachineTilePainter::LampRect(At(2).tile);
  EXPECT_NE(image.copy(lamp0), image.copy(lamp2));
  EXPECT_EQ(image.copy(lamp0), image.copy(MachineTilePainter::LampRect(At(1).tile)));
}

TEST_F(SearchWindow, ClosingTellsTheMainWindowAndTextsFollowTheLanguage) {
  ShowWindow();
  window->CloseButton()->click();
  EXPECT_FALSE(window->isVisible());
  const auto hide = Requests(main.Take(), kReqSearchWindow);
  ASSERT_EQ(hide.size(), 1u);
  EXPECT_EQ(hide[0].lParam, 3);

  UseLanguage("Chinese");
  window->ReloadTexts();
  EXPECT_EQ(window->TitleText(), QStringLiteral("搜索设备"));
  EXPECT_EQ(window->ControlAs<CSxGroupBox>(MSearchMachineDlg::kLocalGroup)->Text(),
            QStringLiteral("本机 IP 地址"));
  EXPECT_EQ(window->ControlAs<CGdipButton>(MSearchMachineDlg::kSearchButton)->text(),
            QStringLiteral("搜索"));
  EXPECT_EQ(window->LocalAddressList()->text(), QStringLiteral("127.0.0.1"));
}

}  // namespace
}  // namespace orv
