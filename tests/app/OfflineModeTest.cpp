// Offline mode end to end: the connection page's Work Offline starts the
// panel's built-in virtual processor; the pages edit it as a processor; Save
// As writes a project whose image holds the edits and that loads back into
// a new offline session; the processor listens only on its private loopback
// address and is gone when the window closes or connects elsewhere.
#include <QTest>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "CDropList.h"
#include "CGdipButton.h"
#include "CommandEncoder.h"
#include "ControlId.h"
#include "DeviceState.h"
#include "FileChooser.h"
#include "LayerTabs.h"
#include "LinkIndicator.h"
#include "LinkSupervisor.h"
#include "MConnectDlg.h"
#include "MKeyerDlg.h"
#include "MMiscDlg.h"
#include "MOutputDlg.h"
#include "MessageIds.h"
#include "Messages.h"
#include "OfflineProcessor.h"
#include "PageTable.h"
#include "ProjectFile.h"
#include "StartConnection.h"
#include "TestNet.h"
#include "VirtualProcessor.h"
#include "WaitBox.h"
#include "WindowFixture.h"

namespace orv::test {
namespace {

// How many requests of `type` the processor received.
std::size_t Count(sim::VirtualProcessor& processor, uint16_t type) {
  std::size_t n = 0;
  for (const sim::ReceivedRequest& r : processor.Requests().Entries()) n += r.type == type ? 1 : 0;
  return n;
}

struct Listener {
  std::string ip;
  uint16_t port;
};

// The IPv4 sockets of /proc/net/<kind> bound to `port` (TCP: listening only).
std::vector<Listener> SocketsOnPort(const char* kind, uint16_t port) {
  std::ifstream table(std::string("/proc/net/") + kind);
  std::string line;
  std::getline(table, line);  // the heading
  std::vector<Listener> found;
  while (std::getline(table, line)) {
    unsigned slot = 0, address = 0, localPort = 0, remote = 0, remotePort = 0, state = 0;
    if (std::sscanf(line.c_str(), " %u: %8X:%4X %8X:%4X %2X", &slot, &address, &localPort, &remote,
                    &remotePort, &state) != 6) {
      continue;
    }
    const bool tcp = std::string(kind) == "tcp";
    if (localPort != port || (tcp && state != 0x0A)) continue;
    // The kernel prints the address in host byte order of a little-endian machine.
    const std::string ip =
        std::to_string(address & 0xFF) + "." + std::to_string((address >> 8) & 0xFF) + "." +
        std::to_string((address >> 16) & 0xFF) + "." + std::to_string(address >> 24);
    found.push_back({ip, static_cast<uint16_t>(localPort)});
  }
  return found;
}

class OfflineMode : public ConnectedWindowTest {
 protected:
  void SetUp() override {
    ConnectedWindowTest::SetUp();
    comm_ = std::make_unique<OrvComm>();
    SetCommLibrary(comm_.get());
    MakeWindow(comm_.get());
    Window().resize(1600, 1000);
  }

  sim::VirtualProcessor& Offline() { return *Window().Offline()->Processor(); }

  // Until the offline processor was read back: its image is in the record.
  void AwaitOfflineReadBack() {
    ASSERT_TRUE(PumpUntil([&] {
      return Window().IsOffline() && !Window().Wait().Shown() && Count(Offline(), GET_ALL) > 0 &&
             Window().Link()->Status().phase == LinkPhase::Connected;
    }));
    ASSERT_TRUE(PumpUntil([&] {
      const ParamBlock image = Offline().Image();
      auto s = State();
      return s->block.OUTPUTRESO.RESOINDEX == image.OUTPUTRESO.RESOINDEX &&
             s->block.CHNLDATA[1].HPOS == image.CHNLDATA[1].HPOS;
    }));
  }

  // The connection page's button, as the operator presses it.
  void PressWorkOffline() {
    Window().ShowPageByIndex(10, false);
    auto* button =
        dynamic_cast<CGdipButton*>(FindControl(Window().ConnectPage(), MConnectDlg::kWorkOffline));
    ASSERT_NE(button, nullptr);
    ASSERT_TRUE(button->isVisible());
    QTest::mouseClick(button, Qt::LeftButton);
    ASSERT_NO_FATAL_FAILURE(AwaitOfflineReadBack());
  }

  void Click(QWidget* w) {
    QTest::mouseClick(w, Qt::LeftButton);
    DeliverPostedMessages();
  }
};

TEST_F(OfflineMode, EditsSaveAsAndLoadBackWithAPrivateProcessorThatEndsWithTheWindow) {
  ASSERT_NO_FATAL_FAILURE(PressWorkOffline());
  const std::string ip = Window().Offline()->Ip();
  const uint16_t port = Window().Offline()->Port();
  EXPECT_EQ(ip.rfind("127.", 0), 0u) << ip;
  EXPECT_NE(ip.rfind("127.0.0.", 0), 0u) << ip;

  // Listening on its own loopback address only, and nothing by datagram.
  const std::vector<Listener> tcp = SocketsOnPort("tcp", port);
  ASSERT_EQ(tcp.size(), 1u);
  EXPECT_EQ(tcp[0].ip, ip);
  EXPECT_TRUE(SocketsOnPort("udp", port).empty());

  // The output: a fixed resolution chosen on the output page.
  MOutputDlg* output = Window().OutputPage();
  Window().ShowPageByIndex(1, false);
  ASSERT_TRUE(output->isVisible());
  Choose(output->ResolutionList(), 9);
  ASSERT_TRUE(PumpUntil([&] { return Offline().Image().OUTPUTRESO.RESOINDEX == 9; }));

  // A layer window: PIP-1's left edge typed on the same page.
  Click(output->Tabs().Tab(1));
  Type(output->WindowEdit(0), QStringLiteral("300"));
  ASSERT_TRUE(PumpUntil([&] { return Offline().Image().CHNLDATA[1].HPOS == 300; }));

  // A keyer: PIP-3 switched on by its layer button, then its keyer.
  Click(Window().Button(strip::kPgmFirst + 3));
  ASSERT_TRUE(PumpUntil([&] { return Offline().Image().CHNLDATA[3].CHNLONOFF == 1; }));
  MKeyerDlg* keyer = Window().KeyerPage();
  keyer->ShowPage(true);
  keyer->raise();
  ASSERT_FALSE(keyer->Switch()->IsChecked());
  Click(keyer->Switch());
  ASSERT_TRUE(PumpUntil([&] { return Offline().Image().KEYERINFO.KEYER[0].KEYERONOFF == 1; }));
  keyer->ShowPage(false);

  // Save As on the misc page: the file written becomes the project.
  const std::string saved = Folder() + "Shows/offline-show.pro";
  std::filesystem::create_directories(Folder() + "Shows");
  const FileChooser previous = SetFileChooser(
      [&saved](QWidget*, const FileRequest&) { return QString::fromStdString(saved); });
  Window().ShowPageByIndex(9, false);
  Click(Window().MiscPage()->SaveAsButton());
  SetFileChooser(previous);
  EXPECT_EQ(Window().ProjectPath(), saved);
  EXPECT_TRUE(ReadFile(Settings()).find(saved) != std::string::npos);
  EXPECT_TRUE(Boxes().empty());

  // The file holds the edits and loads whole.
  {
    auto s = State();
    s->block.OUTPUTRESO.RESOINDEX = 0;
    s->block.CHNLDATA[1].HPOS = 0;
    s->block.KEYERINFO.KEYER[0].KEYERONOFF = 0;
  }
  ASSERT_EQ(LoadWholeProject(saved, [](int, int) {}), ProjectLoad::Loaded);
  {
    auto s = State();
    EXPECT_EQ(s->block.OUTPUTRESO.RESOINDEX, 9);
    EXPECT_EQ(s->block.CHNLDATA[1].HPOS, 300);
    EXPECT_EQ(s->block.KEYERINFO.KEYER[0].KEYERONOFF, 1);
  }

  // Closing the window ends the processor.
  DestroyWindow();
  EXPECT_TRUE(SocketsOnPort("tcp", port).empty());

  // A new panel started with --offline and that file: its processor holds the show.
  {
    auto s = State();
    *s = DeviceState();
  }
  SetCommLibrary(nullptr);
  comm_ = std::make_unique<OrvComm>();
  SetCommLibrary(comm_.get());
  MakeWindow(comm_.get());
  ASSERT_TRUE(ConnectAtStart(Window(), {"", "", true, saved}));
  ASSERT_NO_FATAL_FAILURE(AwaitOfflineReadBack());
  EXPECT_EQ(Window().ProjectPath(), saved);
  const ParamBlock image = Offline().Image();
  EXPECT_EQ(image.OUTPUTRESO.RESOINDEX, 9);
  EXPECT_EQ(image.CHNLDATA[1].HPOS, 300);
  EXPECT_EQ(image.KEYERINFO.KEYER[0].KEYERONOFF, 1);
}

TEST_F(OfflineMode, TitleAndIndicatorSayOfflineInBothLanguagesUntilConnectedElsewhere) {
  ASSERT_NO_FATAL_FAILURE(PressWorkOffline());
  const QString english = Window().windowTitle();
  EXPECT_TRUE(english.startsWith(QStringLiteral("OFFLINE - "))) << english.toStdString();
  EXPECT_TRUE(Window().LinkState()->Text().startsWith(QStringLiteral("OFFLINE - built-in")))
      << Window().LinkState()->Text().toStdString();

  SendMsg(&Window(), UM_LANGUAGE, 1);
  EXPECT_TRUE(Window().windowTitle().startsWith(QStringLiteral("离线 OFFLINE - ")))
      << Window().windowTitle().toStdString();
  EXPECT_TRUE(Window().LinkState()->Text().contains(QStringLiteral("内置虚拟处理器")))
      << Window().LinkState()->Text().toStdString();
  SendMsg(&Window(), UM_LANGUAGE, 0);

  // Connecting a processor on the network ends the session; the link watch
  // follows the new processor and nothing reconnects the old one.
  const uint16_t port = Window().Offline()->Port();
  sim::VirtualProcessor wall(ProcessorAt(TestIp(31)));
  ASSERT_TRUE(wall.Start());
  ASSERT_TRUE(ConnectAtStart(Window(), {TestIp(31), ""}));
  ASSERT_TRUE(PumpUntil([&] { return !Window().Wait().Shown() && Count(wall, GET_ALL) > 0; }));
  EXPECT_FALSE(Window().IsOffline());
  EXPECT_TRUE(SocketsOnPort("tcp", port).empty());
  EXPECT_FALSE(Window().windowTitle().contains(QStringLiteral("OFFLINE")));
  EXPECT_FALSE(Window().LinkState()->Text().contains(QStringLiteral("OFFLINE")));
  EXPECT_EQ(Window().Link()->Status().target.ip, TestIp(31));
  EXPECT_FALSE(Window().Link()->Status().target.offline);
  DestroyWindow();
  wall.Stop();
}

}  // namespace
}  // namespace orv::test
