#include <gtest/gtest.h>

#include <QLabel>
#include <QTest>

#include "CPictureEx.h"
#include "CProgressDlg.h"
#include "ControlId.h"
#include "ResourceRegistry.h"
#include "Skin.h"

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
  // The text runs across the box (a twelfth of its width free at each side),
  // not only in the middle third, so that Chinese words are not split.
  EXPECT_EQ(text->geometry(), QRect(31, b, 320, client.height() / 2));
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

TEST(WaitBox, EveryWaitTextFitsOnOneLineInBothLanguages) {
  SetDpiOverride(Dpi{96, 96});
  Orv_PrograssDlg box;
  ASSERT_TRUE(box.InitDialog());
  auto* label = static_cast<QLabel*>(FindControl(&box, CProgressDlg::kMessageId));
  ASSERT_NE(label, nullptr);
  for (const char* text : {"Waitting Operation ...", "Getting Data From Desitination... ",
                           "Set Data To Desitination...", "正在处理，请稍候...",
                           "正在从设备读取数据... ", "正在搜索设备... ", "正在向设备写入数据..."}) {
    box.SetMessageText(QString::fromUtf8(text));
    EXPECT_FALSE(label->text().contains(QLatin1Char('\n'))) << text;
    EXPECT_EQ(box.MessageText(), QString::fromUtf8(text)) << "the text is kept as given";
  }
  SetDpiOverride(std::nullopt);
}

TEST(WaitBox, LongTextsBreakBetweenWordsBeforeBreakingInsideThem) {
  const QFontMetrics fm(skin::ArialFont(15, 700));
  auto widthOf = [&](const char* s) { return fm.horizontalAdvance(QString::fromUtf8(s)); };
  struct Case {
    const char* text;
    int width;
    const char* lines;
  };
  const Case cases[] = {
      {"Getting Data From Desitination... ", widthOf("Getting Data From Desi"),
       "Getting Data From\nDesitination... "},
      {"正在处理，请稍候...", widthOf("正在处理，请稍"), "正在处理，\n请稍候..."},
      // Nowhere to break: between characters, each line as full as it goes.
      {"正在从设备读取数据", widthOf("正在从设"), "正在从设\n备读取数\n据"},
      {"Set Data", widthOf("Set Data"), "Set Data"},
      // A character outside the basic plane is never cut in two.
      {"\xF0\xA0\x80\x80\xF0\xA0\x80\x80", widthOf("\xF0\xA0\x80\x80"),
       "\xF0\xA0\x80\x80\n\xF0\xA0\x80\x80"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CProgressDlg::BreakIntoLines(QString::fromUtf8(c.text), fm, c.width),
              QString::fromUtf8(c.lines))
        << c.text;
  }
}
