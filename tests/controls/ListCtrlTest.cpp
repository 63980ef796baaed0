#include <gtest/gtest.h>

#include <QTest>

#include "CListCtrlCl.h"
#include "TestSupport.h"

using namespace orv;
using namespace orv::test;

TEST(ListCtrl, HeaderGradientReachesBlackAfterFourteenRows) {
  EXPECT_EQ(CHeaderCtrlCl::GradientRow(QColor(83, 83, 83), 6, 0), QColor(83, 83, 83));
  EXPECT_EQ(CHeaderCtrlCl::GradientRow(QColor(83, 83, 83), 6, 13), QColor(5, 5, 5));
  EXPECT_EQ(CHeaderCtrlCl::GradientRow(QColor(83, 83, 83), 6, 14), QColor(0, 0, 0));
  EXPECT_EQ(CHeaderCtrlCl::GradientRow(QColor(171, 199, 235), 8, 22), QColor(0, 23, 59));

  CListCtrlCl list(nullptr, 1166);
  list.resize(400, 150);
  list.Header()->SetGradient(QColor(83, 83, 83), 6);
  list.Header()->SetTextColor(QColor(235, 235, 235));
  list.InsertColumn(0, QStringLiteral("Name"), QLatin1Char('0'), 120);
  list.InsertColumn(1, QStringLiteral("IP"), QLatin1Char('0'), 120);
  EXPECT_EQ(list.Header()->ColumnTexts(),
            (QStringList{QStringLiteral("Name"), QStringLiteral("IP")}));
  EXPECT_EQ(list.Header()->AlignmentString(), QStringLiteral("00"));
  list.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
  const QImage img = list.Header()->viewport()->grab().toImage();
  ASSERT_GE(img.height(), 15);
  // A column's left pixel column is left out; sample inside, away from text,
  // and right of the last column where the same gradient continues.
  for (int x : {115, 300}) {
    EXPECT_EQ(img.pixelColor(x, 0), QColor(83, 83, 83)) << x;
    EXPECT_EQ(img.pixelColor(x, 13), QColor(5, 5, 5)) << x;
    EXPECT_EQ(img.pixelColor(x, 14), QColor(0, 0, 0)) << x;
  }
}

TEST(ListCtrl, CellColoursTakeListThenColumnThenCell) {
  CListCtrlCl list;
  list.InsertColumn(0, QStringLiteral("A"), QLatin1Char('1'), 50);
  list.InsertColumn(1, QStringLiteral("B"), QLatin1Char('2'), 50);
  list.InsertItem(0, QStringLiteral("r0"));
  list.InsertItem(1, QStringLiteral("r1"));
  EXPECT_TRUE(list.SetItemText(1, 1, QStringLiteral("x")));
  EXPECT_FALSE(list.SetItemText(5, 0, QStringLiteral("x")));
  EXPECT_EQ(list.GetItemText(1, 1), QStringLiteral("x"));
  list.SetBkColor(QColor(16, 16, 16));
  list.SetTextColor(QColor(235, 235, 235));
  EXPECT_EQ(list.CellFill(0, 0, false), QColor(16, 16, 16));
  list.SetColumnFill(1, QColor(1, 1, 1));
  list.SetCellFill(1, 1, QColor(2, 2, 2));
  list.SetColumnTextColor(0, QColor(3, 3, 3));
  list.SetCellTextColor(0, 0, QColor(4, 4, 4));
  EXPECT_EQ(list.CellFill(0, 1, false), QColor(1, 1, 1));
  EXPECT_EQ(list.CellFill(1, 1, false), QColor(2, 2, 2));
  EXPECT_EQ(list.CellFill(1, 1, true), QColor(80, 80, 80)) << "selected rows ignore the rest";
  EXPECT_EQ(list.CellTextColor(1, 0, false), QColor(3, 3, 3));
  EXPECT_EQ(list.CellTextColor(0, 0, false), QColor(4, 4, 4));
  EXPECT_EQ(list.CellTextColor(1, 1, false), QColor(235, 235, 235));
  EXPECT_EQ(list.CellTextColor(0, 0, true), QColor(235, 235, 235));
  EXPECT_EQ(CHeaderCtrlCl::AlignmentOf(QLatin1Char('0')), Qt::AlignLeft);
  EXPECT_EQ(CHeaderCtrlCl::AlignmentOf(QLatin1Char('2')), Qt::AlignRight);
  EXPECT_EQ(CHeaderCtrlCl::AlignmentOf(QLatin1Char('7')), Qt::AlignHCenter);
  const int base = list.Header()->sizeHint().height();
  list.Header()->SetHeightFactor(1.5);
  EXPECT_EQ(list.Header()->sizeHint().height(), static_cast<int>(base * 1.5));
}
