#include <gtest/gtest.h>

#include <QTest>

#include "CDropList.h"
#include "MessageIds.h"
#include "TestSupport.h"

using namespace orv;
using namespace orv::test;

namespace {

struct DropOnPage : ::testing::Test {
  void SetUp() override {
    drop = new CDropButton;
    ASSERT_TRUE(drop->Create(QString(), &page, 0xAFC0, QColor(16, 16, 16), QColor(16, 16, 16),
                             QColor(235, 235, 235), nullptr, QColor(255, 255, 255),
                             QRect(20, 20, 150, 22)));
    drop->SetListColor(QColor(46, 46, 46));
    page.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
  }
  void Fill(int n) {
    drop->ResetContent();
    for (int i = 0; i < n; ++i) {
      const int index = drop->List()->AddString(QStringLiteral("%1x1080").arg(1920 + i));
      drop->List()->SetItemData(index, 100 + i);
    }
  }
  void Open() {
    QTest::mouseClick(drop, Qt::LeftButton);
    ASSERT_TRUE(drop->PopupShown());
  }
  // With the list open the pop-up has the mouse: a click on the button
  // reaches the pop-up first, as the window system delivers it.
  void ClickButtonWhileOpen() {
    CListWnd* popup = drop->Popup();
    const QPoint onButton = popup->mapFromGlobal(drop->mapToGlobal(drop->rect().center()));
    QTest::mouseClick(popup, Qt::LeftButton, Qt::NoModifier, onButton);
  }
  void ClickEntry(int index) {
    CDropList* list = drop->List();
    const QRect r = list->visualItemRect(list->item(index));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, r.center());
  }
  RecordingPage page;
  CDropButton* drop = nullptr;
};

}  // namespace

TEST_F(DropOnPage, OpenedHeightFollowsTheEntryCount) {
  EXPECT_EQ(drop->List()->ItemHeight(), 15) << "the button's own font, Arial height 15";
  struct Case {
    int entries;
    int height;
  };
  for (const Case& c : {Case{3, 45}, Case{6, 90}, Case{7, 100}, Case{12, 100}, Case{0, 100}}) {
    Fill(c.entries);
    Open();
    EXPECT_EQ(drop->List()->height(), c.height) << c.entries << " entries";
    const QPoint buttonBottomLeft = drop->mapToGlobal(QPoint(0, drop->height() - 1));
    EXPECT_EQ(drop->Popup()->geometry().topLeft(), buttonBottomLeft) << "directly below";
    EXPECT_EQ(drop->Popup()->width(), drop->width());
    ClickButtonWhileOpen();  // a second click closes it
    EXPECT_FALSE(drop->PopupShown());
  }
  EXPECT_EQ(CDropButton::DropHeight(6, 15), 90);
  EXPECT_EQ(CDropButton::DropHeight(7, 15), 100);
}

TEST_F(DropOnPage, MouseChoicePostsListIdAndIndex) {
  Fill(5);
  Open();
  ClickEntry(3);
  EXPECT_FALSE(drop->PopupShown());
  EXPECT_EQ(drop->text(), QStringLiteral("1923x1080"));
  auto got = page.Take();
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].id, UM_LIST_SELECT);
  EXPECT_EQ(got[0].wParam, 0xAFC0);
  EXPECT_EQ(got[0].lParam, 3);
  EXPECT_EQ(drop->List()->CommittedIndex(), 3);
  EXPECT_EQ(drop->List()->GetItemData(3), 103u);
  // Choosing the entry already chosen closes the list and reports it again.
  Open();
  ClickEntry(3);
  EXPECT_FALSE(drop->PopupShown());
  EXPECT_EQ(page.Take().size(), 1u);
}

TEST_F(DropOnPage, KeyboardChangeIsUndoneAndReportsNothing) {
  Fill(5);
  Open();
  ClickEntry(2);
  page.Take();
  Open();
  drop->List()->setFocus();
  QTest::keyClick(drop->List(), Qt::Key_Down);
  EXPECT_FALSE(drop->PopupShown());
  EXPECT_EQ(drop->List()->GetCurSel(), 2) << "back to the committed entry";
  EXPECT_EQ(drop->text(), QStringLiteral("1922x1080"));
  EXPECT_TRUE(page.Take().empty());
}

TEST_F(DropOnPage, UnavailableEntriesAreGreyAndCannotBeChosen) {
  Fill(4);
  drop->List()->SetItemFlags(1, CDropList::kUnavailable);
  EXPECT_FALSE(drop->List()->IsAvailable(1));
  EXPECT_EQ(drop->List()->GetItemFlags(0), CDropList::kAvailable);
  drop->SetCurSel(1);
  Open();
  ClickEntry(1);
  EXPECT_TRUE(drop->PopupShown()) << "the list stays open";
  EXPECT_TRUE(page.Take().empty());
  // Grey text on the list colour, even though it is the selected entry.
  const QImage img = drop->List()->viewport()->grab().toImage();
  const QRect r = drop->List()->visualItemRect(drop->List()->item(1));
  bool grey = false, selectionFill = false;
  for (int y = r.top(); y <= r.bottom(); ++y) {
    for (int x = r.left(); x <= r.right(); ++x) {
      const QColor c = img.pixelColor(x, y);
      grey |= c == QColor(128, 128, 128);
      selectionFill |= c == QColor(247, 247, 239);
    }
  }
  EXPECT_TRUE(grey);
  EXPECT_FALSE(selectionFill);
  EXPECT_EQ(img.pixelColor(r.right() - 2, r.center().y()), QColor(46, 46, 46));
  drop->CloseList();
}

TEST_F(DropOnPage, SelectionByDataAndItsFailures) {
  EXPECT_EQ(drop->FindByData(100), -1) << "empty list";
  drop->setText(QStringLiteral("kept"));
  drop->SetCurSel(0);
  EXPECT_EQ(drop->text(), QStringLiteral("kept")) << "no entries: the text stays";
  Fill(4);
  EXPECT_EQ(drop->FindByData(102), 2);
  EXPECT_EQ(drop->SelectByData(102), 1);
  EXPECT_EQ(drop->GetCurSel(), 2);
  EXPECT_EQ(drop->text(), QStringLiteral("1922x1080"));
  drop->SelectByData(555);
  EXPECT_EQ(drop->GetCurSel(), 0) << "unknown data selects entry 0";
  EXPECT_EQ(drop->List()->CommittedIndex(), 0) << "selection by the program commits nothing";
  EXPECT_TRUE(page.Take().empty()) << "and reports nothing";
  EXPECT_EQ(drop->List()->DeleteString(4), -1);
  EXPECT_EQ(drop->List()->DeleteString(1), 3);
  EXPECT_EQ(drop->List()->GetText(1), QStringLiteral("1922x1080"));
  CDropButton notCreated;
  EXPECT_EQ(notCreated.SelectByData(1), 0);
  EXPECT_EQ(notCreated.FindByData(1), -1);
}

TEST_F(DropOnPage, ButtonLooksAndArrowGeometry) {
  const QPolygon a = CDropButton::ArrowPoints(QRect(0, 0, 150, 22), 12);
  EXPECT_EQ(a[1].x() - a[0].x(), 11) << "top corners 11 pixels apart";
  EXPECT_EQ(a[0].y(), a[1].y());
  EXPECT_EQ(a[2].y() - a[0].y(), 6) << "tip 6 below";
  EXPECT_EQ(150 - a[1].x(), 6) << "right corner 6 inside the right edge";
  EXPECT_EQ(a[2].x(), a[0].x() + 6);
  Fill(2);
  drop->SetCurSel(1);
  QImage img = Grab(*drop);
  EXPECT_EQ(img.pixelColor(0, 0), QColor(30, 30, 30)) << "border";
  EXPECT_EQ(img.pixelColor(3, 3), QColor(16, 16, 16)) << "face";
  const int w = QFontMetrics(drop->ButtonFont()).horizontalAdvance(QLatin1Char('M'));
  const QPolygon arrow = CDropButton::ArrowPoints(drop->rect(), w);
  EXPECT_EQ(img.pixelColor(arrow[2].x(), arrow[0].y() + 1), QColor(235, 235, 235));
  drop->setEnabled(false);
  img = Grab(*drop);
  EXPECT_EQ(img.pixelColor(3, 3), QColor(46, 46, 46)) << "disabled fill";
}
