// The three pages as the operator sees them, connected to a processor, in
// English and after the switch to Chinese: every text of the pages follows
// the language. With ORV_PAGES_SCREENSHOT=<folder> the main window is saved
// with each page shown (keyer-en.png ... feather-zh.png); run under Xvfb for
// the platform's fonts (docs/screenshots.md).
#include <QDir>
#include <QLabel>
#include <QRegularExpression>

#include "CDropList.h"
#include "CGdipButton.h"
#include "ControlId.h"
#include "MCropDlg.h"
#include "MKeyerDlg.h"
#include "MessageIds.h"
#include "Orv_FeatherDlg.h"
#include "PageRun.h"
#include "PageTable.h"

namespace orv::test {
namespace {

using Screenshot = PageRun;

void Save(QWidget& window, const QString& name) {
  const QByteArray folder = qgetenv("ORV_PAGES_SCREENSHOT");
  if (folder.isEmpty()) return;
  QDir().mkpath(QString::fromLocal8Bit(folder));
  EXPECT_TRUE(window.grab().save(QString::fromLocal8Bit(folder) + QLatin1Char('/') + name));
}

TEST_F(Screenshot, ThreePagesInBothLanguages) {
  ASSERT_NO_FATAL_FAILURE(Connect(TestIp(14), [](sim::DeviceModel& m) {
    ParamBlock& p = m.image();
    p.MOSAICSETT.MOSAICMODE = 3;
    p.CHNLDATA[3].CHNLONOFF = 1;
    p.KEYERINFO.KEYER[0].KEYERONOFF = 1;
    Crop& crop = p.CROP[GroupLayerIndex(p.CHNLDATA[0].CHNLINPUT, 0)];
    crop.CROPONOFF = 1;
    crop.HPOS = crop.HTOTAL / 4;
    crop.VPOS = crop.VTOTAL / 8;
    crop.HACT = crop.HTOTAL / 2;
    crop.VACT = crop.VTOTAL / 2;
  }));
  Window().resize(1280, 728);
  const auto setFeather = [this](int32_t on) {
    {
      auto s = State();
      const int32_t feather[9] = {on, 0, 2, 1, 0, 0, 1, 2, 3};
      std::copy(std::begin(feather), std::end(feather), std::begin(s->FEATHER));
    }
    SendCommand(SET_FEATHER, 3);
    ASSERT_TRUE(
        PumpUntil([&] { return Window().FeatherPage()->Switch()->IsChecked() == (on == 1); }));
  };

  MKeyerDlg* keyer = Window().KeyerPage();
  auto* crop = static_cast<MCropDlg*>(Window().ColumnPage(5));
  Orv_FeatherDlg* feather = Window().FeatherPage();
  const auto shoot = [&](const QString& language) {
    if (crop->isVisible()) Window().ShowPageByIndex(5, true);
    SendMsg(&Window(), UM_PAGE_REQUEST, request::kMiscTab, 0, QVariantList{1, 1});
    Save(Window(), QStringLiteral("keyer-") + language + QStringLiteral(".png"));
    SendMsg(&Window(), UM_PAGE_REQUEST, request::kMiscTab, 0, QVariantList{1, 0});
    Window().ShowPageByIndex(5, false);
    Save(Window(), QStringLiteral("crop-") + language + QStringLiteral(".png"));
    Window().ShowPageByIndex(5, true);
    setFeather(1);
    SendMsg(&Window(), UM_PAGE_REQUEST, request::kFeather, 0);
    Save(Window(), QStringLiteral("feather-") + language + QStringLiteral(".png"));
    SendMsg(&Window(), UM_PAGE_REQUEST, request::kFeather, 3);
    setFeather(0);
  };
  shoot(QStringLiteral("en"));
  EXPECT_EQ(keyer->TitleText(), QStringLiteral("Chroma Keyer Settings"));
  EXPECT_FALSE(crop->PreviewRect().isEmpty());

  SendMsg(&Window(), UM_LANGUAGE, 1);
  shoot(QStringLiteral("zh"));
  EXPECT_EQ(keyer->TitleText(), QStringLiteral("色键抠像设置"));
  EXPECT_EQ(crop->TitleText(), QStringLiteral("图像裁剪"));
  EXPECT_EQ(feather->TitleText(), QStringLiteral("边缘羽化"));
  EXPECT_EQ(keyer->ModeList()->List()->GetText(1), QStringLiteral(" 黑底白字1"));
  EXPECT_EQ(feather->List(Orv_FeatherDlg::kShape1List)->List()->GetText(0), QStringLiteral("矩形"));
  EXPECT_TRUE(crop->SourceText().startsWith(QStringLiteral("输入源\n")));
  // No English left on the labels (the source label names the input itself).
  for (QWidget* page : std::initializer_list<QWidget*>{keyer, crop, feather}) {
    for (const QLabel* label : page->findChildren<QLabel*>()) {
      if (ControlId(label) == MCropDlg::kSourceLabel) continue;
      EXPECT_FALSE(label->text().contains(QRegularExpression(QStringLiteral("[A-Za-z]"))))
          << label->text().toStdString();
    }
  }
}

}  // namespace
}  // namespace orv::test
