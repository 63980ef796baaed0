#include <gtest/gtest.h>

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include "ControlId.h"

using namespace orv;

TEST(ControlId, IdsAreFoundBreadthFirstAndRelabelled) {
  QWidget page;
  QWidget box(&page);
  auto* deep = new QPushButton(QStringLiteral("deep"), &box);
  SetControlId(deep, 1002);
  auto* label = new QLabel(QStringLiteral("label"), &page);
  SetControlId(label, 1180);
  auto* direct = new QPushButton(QStringLiteral("direct"), &page);
  SetControlId(direct, 1002);
  auto* group = new QGroupBox(QStringLiteral("Loop-Out"), &page);
  SetControlId(group, 1255);

  EXPECT_EQ(ControlId(direct), 1002);
  EXPECT_EQ(ControlId(&box), 0);
  EXPECT_EQ(FindControl(&page, 1002), direct) << "direct children come before grandchildren";
  EXPECT_EQ(FindControl(&box, 1002), deep);
  EXPECT_EQ(FindControl(&page, 4711), nullptr);
  EXPECT_EQ(FindControl(&page, 0), nullptr);

  EXPECT_TRUE(SetControlText(&page, 1180, QStringLiteral("Sync Mode")));
  EXPECT_EQ(label->text(), QStringLiteral("Sync Mode"));
  EXPECT_TRUE(SetControlText(&page, 1255, QStringLiteral("Loop")));
  EXPECT_EQ(group->title(), QStringLiteral("Loop"));
  EXPECT_EQ(WidgetText(group), QStringLiteral("Loop"));
  EXPECT_TRUE(SetControlText(&page, 1002, QStringLiteral("Close")));
  EXPECT_EQ(direct->text(), QStringLiteral("Close"));
  EXPECT_EQ(deep->text(), QStringLiteral("deep"));
  EXPECT_FALSE(SetControlText(&page, 4711, QStringLiteral("x")));

  EXPECT_TRUE(SetWidgetText(&box, QStringLiteral("plain")));
  EXPECT_EQ(WidgetText(&box), QStringLiteral("plain"));
}
