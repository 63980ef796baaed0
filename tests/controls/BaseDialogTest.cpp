#include <gtest/gtest.h>

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "CGdipButton.h"
#include "ControlId.h"
#include "Keys.h"
#include "MBaseDialog.h"
#include "MessageIds.h"
#include "ResourceRegistry.h"
#include "Skin.h"
#include "TestSupport.h"
#include "oRealEdit.h"

using namespace orv;
using namespace orv::test;

namespace {

class Main : public RecordingPage, public KeyPreTranslator {
 public:
  bool PreTranslateKey(QKeyEvent* e) override {
    if (e->key() != Qt::Key_Control) keyUps.push_back(e->key());
    return true;
  }
  std::vector<int> keyUps;
};

class SamplePage : public MBaseDialog {
 public:
  SamplePage(QWidget* parent, bool notify) : MBaseDialog(122, parent, notify) {}
  int inits = 0;
  QLineEdit* edit = nullptr;

 protected:
  bool OnInitDialog() override {
    MBaseDialog::OnInitDialog();
    ++inits;
    edit = new QLineEdit(this);
    SetControlId(edit, 1201);
    edit->setGeometry(20, 40, 100, 22);
    CreateTitleButtons(false);
    SetTitleText(QStringLiteral("Image Crop"));
    return true;
  }
};

}  // namespace

TEST(BaseDialog, CreateRunsInitialisationOnceAndThePageStartsHidden) {
  Main main;
  SamplePage page(&main, false);
  EXPECT_TRUE(page.Create());
  EXPECT_TRUE(page.Create());
  EXPECT_EQ(page.inits, 1);
  main.show();
  EXPECT_FALSE(page.isVisible());
  page.ShowPage(true);
  EXPECT_TRUE(page.isVisible());
  EXPECT_EQ(page.TemplateId(), 122);
  EXPECT_EQ(page.Control(1201), page.edit);
  EXPECT_EQ(page.ControlAs<CGdipButton>(MBaseDialog::kCloseButtonId), page.CloseButton());
  EXPECT_TRUE(page.SetControlText(1201, QStringLiteral("text")));
  EXPECT_EQ(page.edit->text(), QStringLiteral("text"));
  EXPECT_EQ(page.TitleFont().pixelSize(), skin::TitleFont().pixelSize());
  EXPECT_TRUE(page.TitleFont().bold());
  page.ApplyControlFont();
  EXPECT_EQ(page.edit->font(), page.ControlFont());
}

TEST(BaseDialog, TitleBandGradientRows) {
  ClearMissingResources();
  Main main;
  SamplePage page(&main, false);
  page.Create();
  page.setGeometry(0, 0, 300, 200);
  page.ShowPage(true);
  const QImage img = Grab(page);
  auto at = [&](int y) { return img.pixelColor(2, y); };
  EXPECT_EQ(at(0), QColor(83, 83, 83));
  EXPECT_EQ(at(6), QColor(65, 65, 65));  // 83 - 36 * 6 / 12
  EXPECT_EQ(at(12), QColor(47, 47, 47));
  EXPECT_EQ(at(13), QColor(23, 23, 23));
  EXPECT_EQ(at(19), QColor(15, 15, 15));  // 23 - 16 * 6 / 12
  EXPECT_EQ(at(25), QColor(7, 7, 7));
  EXPECT_EQ(at(26), QColor(16, 16, 16)) << "the background picture below the band";
  EXPECT_EQ(at(199), QColor(16, 16, 16));
  for (int y = 1; y < 13; ++y) EXPECT_LE(at(y).red(), at(y - 1).red());
  // The title is orange and centred in the band.
  int minX = 300, maxX = -1;
  for (int y = 0; y < 26; ++y) {
    for (int x = 0; x < 300 - 30; ++x) {
      const QColor c = img.pixelColor(x, y);
      if (c.red() > 150 && c.green() > 80 && c.blue() < 60) {
        minX = std::min(minX, x);
        maxX = std::max(maxX, x);
      }
    }
  }
  ASSERT_LT(minX, maxX);
  EXPECT_NEAR((minX + maxX) / 2.0, 150, 3);
  EXPECT_TRUE(MissingResources().empty());
}

TEST(BaseDialog, TitleButtonsSitInTheTopRightCorner) {
  Main main;
  SamplePage page(&main, false);
  page.Create();
  page.setGeometry(0, 0, 300, 200);
  main.show();
  page.ShowPage(true);
  EXPECT_EQ(page.CloseButton()->geometry(), QRect(276, 1, 24, 24));
  page.CreateTitleButtons(true);
  ASSERT_NE(page.SecondTitleButton(), nullptr);
  EXPECT_EQ(ControlId(page.SecondTitleButton()), 61438);
  EXPECT_EQ(page.SecondTitleButton()->geometry(), QRect(244, 1, 24, 24));
  EXPECT_TRUE(page.SecondTitleButton()->HasAlternate());
  EXPECT_TRUE(page.SecondButtonToggleMode());
  EXPECT_FALSE(page.Maximised());
  page.resize(500, 200);
  EXPECT_EQ(page.CloseButton()->geometry(), QRect(476, 1, 24, 24));
  EXPECT_EQ(page.SecondTitleButton()->geometry(), QRect(444, 1, 24, 24));
  CGdipButton* first = page.CloseButton();
  page.CreateTitleButtons(true);
  EXPECT_EQ(page.CloseButton(), first) << "created only once";
}

TEST(BaseDialog, CloseButtonHidesAndNotifiesOnlyWhenAsked) {
  Main main;
  main.show();
  SamplePage notifying(&main, true);
  SamplePage quiet(&main, false);
  for (SamplePage* p : {&notifying, &quiet}) {
    p->Create();
    p->setGeometry(0, 0, 300, 200);
    p->ShowPage(true);
  }
  QTest::mouseClick(notifying.CloseButton(), Qt::LeftButton);
  EXPECT_FALSE(notifying.isVisible());
  auto got = main.Take();
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].id, 0x5A1u);
  EXPECT_EQ(got[0].wParam, 0);
  EXPECT_EQ(got[0].lParam, 0);
  QTest::mouseClick(quiet.CloseButton(), Qt::LeftButton);
  EXPECT_FALSE(quiet.isVisible());
  EXPECT_TRUE(main.Take().empty());
}

TEST(BaseDialog, EnterAndEscapeNeitherCloseTheHostNorPressItsDefaultButton) {
  QDialog host;
  host.resize(400, 300);
  auto* ok = new QPushButton(QStringLiteral("OK"), &host);
  ok->setDefault(true);
  int okClicks = 0;
  QObject::connect(ok, &QPushButton::clicked, [&] { ++okClicks; });
  SamplePage page(&host, false);
  page.Create();
  page.setGeometry(0, 30, 300, 200);
  page.ShowPage(true);
  auto* numeric = new oRealEdit(&page, 1300);
  numeric->Setup(5, 0, true, 255, QStringLiteral("%d"));
  numeric->setGeometry(20, 80, 60, 22);
  numeric->show();
  host.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
  for (QWidget* target : {static_cast<QWidget*>(page.edit), static_cast<QWidget*>(numeric)}) {
    target->setFocus();
    QTest::keyClick(target, Qt::Key_Return);
    QTest::keyClick(target, Qt::Key_Enter, Qt::KeypadModifier);
    QTest::keyClick(target, Qt::Key_Escape);
  }
  QTest::keyClick(&page, Qt::Key_Escape);
  EXPECT_TRUE(host.isVisible());
  EXPECT_EQ(host.result(), 0);
  EXPECT_TRUE(page.isVisible());
  EXPECT_EQ(okClicks, 0);
}

TEST(BaseDialog, KeyUpsAreOfferedToTheMainWindowOnce) {
  Main main;
  main.show();
  SamplePage page(&main, false);
  page.Create();
  page.ShowPage(true);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
  QTest::keyRelease(page.edit, Qt::Key_S, Qt::ControlModifier);
  QTest::keyRelease(page.edit, Qt::Key_3, Qt::ControlModifier);
  EXPECT_EQ(main.keyUps, (std::vector<int>{Qt::Key_S, Qt::Key_3}));
  QTest::keyPress(page.edit, Qt::Key_A);
  EXPECT_EQ(main.keyUps.size(), 2u) << "key-downs are not offered";
}
