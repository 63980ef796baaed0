#include <gtest/gtest.h>

#include <QLabel>
#include <QTest>

#include "CPictureEx.h"
#include "CProgressDlg.h"
#include "ControlId.h"
#include "ResourceRegistry.h"

using namespace orv;

TEST(WaitBox, LaysOutTextAndAnimationAndPlays) {
  ClearMissingResources();
  SetDpiOverride(Dpi{96, 96});
  Orv_PrograssDlg box;
  ASSERT_TRUE(box.InitDialog());
  const QSize client = CProgressDlg::TemplateClientSize();
  EXPECT_EQ(client, QSize(382, 154));
  EXPECT_EQ(box.size(), client);
  const int a = client.width() / 3;
  const int b = client.height() / 3;
  QWidget* text = FindControl(&box, CProgressDlg::kMessageId);
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text->geometry(), QRect(a, b, a, client.height() / 2));
  EXPECT_EQ(box.MessageText(), QStringLiteral("TEST"));
  CPictureEx* anim = box.Animation();
  ASSERT_EQ(FindControl(&box, CProgressDlg::kAnimationId), anim);
  EXPECT_EQ(anim->pos(), QPoint(a, b - 30));
  EXPECT_EQ(anim->size(), QSize(126, 22)) << "resized to the picture";
  EXPECT_EQ(anim->Frames().size(), 12u);
  EXPECT_TRUE(QTest::qWaitFor([&] { return anim->Playing(); }, 10000));
  EXPECT_FALSE(box.windowIcon().isNull());
  box.SetMessageText(QStringLiteral("Waitting Operation ..."));
  EXPECT_EQ(box.MessageText(), QStringLiteral("Waitting Operation ..."));
  // It keeps playing while hidden and while shown.
  box.show();
  const int first = anim->CurrentFrame();
  EXPECT_TRUE(QTest::qWaitFor([&] { return anim->CurrentFrame() != first; }, 10000));
  box.hide();
  EXPECT_TRUE(anim->Playing());
  EXPECT_TRUE(box.InitDialog()) << "a second initialisation creates nothing new";
  EXPECT_EQ(box.findChildren<QLabel*>().size(), 1);
  EXPECT_TRUE(MissingResources().empty());
  SetDpiOverride(std::nullopt);
}
