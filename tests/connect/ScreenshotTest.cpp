// Both pages as the operator sees them, with found machines on the search
// window. With ORV_CONNECT_SCREENSHOT=<folder> the pictures are also saved
// (connect-page.png, search-window.png) to look at; run under Xvfb for the
// platform's own fonts (docs/architecture.md, "Connection and search").
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QTest>

#include "CDropList.h"
#include "CGdipButton.h"
#include "ConnectTestSupport.h"
#include "MConnectDlg.h"
#include "MSearchMachineDlg.h"
#include "Skin.h"

namespace orv {
namespace {

using Screenshot = test::PageFixture;

void Save(const QImage& image, const char* name) {
  const QByteArray folder = qgetenv("ORV_CONNECT_SCREENSHOT");
  if (folder.isEmpty()) return;
  QDir().mkpath(QString::fromLocal8Bit(folder));
  EXPECT_TRUE(
      image.save(QString::fromLocal8Bit(folder) + QStringLiteral("/") + QString::fromLatin1(name)));
}

bool HasColour(const QImage& image, const QRect& area, QColor colour) {
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      if (image.pixelColor(x, y) == colour) return true;
    }
  }
  return false;
}

TEST_F(Screenshot, BothPagesWithFoundMachines) {
  auto* page = new MConnectDlg(&main, [] {
    return std::vector<SerialPortEntry>{{"COM3", 3}, {"COM61", 61}};
  });
  ASSERT_TRUE(page->Create());
  page->SetSearchWindowShown(true);
  page->move(0, 0);
  page->ShowPage(true);

  StoreMachineName({0x02, 0x51, 0x20, 0, 0, 4}, "Stage left");
  auto* search = new MSearchMachineDlg(&main, [] { return std::vector<std::string>{"127.0.0.1"}; });
  ASSERT_TRUE(search->Create());
  search->move(330, 0);
  search->ShowPage(true);
  for (uint8_t n = 2; n <= 6; ++n) {
    search->MachineIdentity("127.0.0." + std::to_string(n), {0x02, 0x51, 0x20, 0, 0, n});
  }
  AdvanceManualTime(MSearchMachineDlg::kSettleMs);
  for (uint8_t n = 2; n <= 5; ++n) search->MachineSeen(1, n, 1);
  search->ConnectMachine(1);
  main.resize(1200, 560);
  main.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
  const QRect third = search->Machines().At(2).tile;
  QTest::mouseClick(search, Qt::LeftButton, Qt::NoModifier, third.center() + QPoint(0, 20));

  const QImage connect = page->grab().toImage().convertToFormat(QImage::Format_RGB32);
  const QImage window = search->grab().toImage().convertToFormat(QImage::Format_RGB32);
  Save(connect, "connect-page.png");
  Save(window, "search-window.png");

  // Five tiles in two rows, the fifth below the first.
  EXPECT_EQ(search->Machines().At(4).tile.topLeft(), QPoint(10, 170));

  // In the main window's page column.
  search->resize(320, 526);
  Save(search->grab().toImage(), "search-window-column.png");
  EXPECT_EQ(search->Layout().tilesPerRow, 1);

  // The orange title text in the title band and on the active search button.
  EXPECT_TRUE(HasColour(connect, QRect(0, 0, connect.width(), 26), skin::kOrange));
  EXPECT_TRUE(HasColour(window, QRect(0, 0, window.width(), 26), skin::kOrange));
  const QRect searchButton = page->SearchButton()->geometry();
  EXPECT_TRUE(HasColour(connect, searchButton.adjusted(4, 4, -4, -4), skin::kOrange));
  EXPECT_EQ(search->Machines().At(2).name, "Stage left");
}

}  // namespace
}  // namespace orv
