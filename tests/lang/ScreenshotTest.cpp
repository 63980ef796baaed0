// A skinned page switched to Chinese at run time. The texts are checked here;
// with ORV_LANG_SCREENSHOT=<file.png> the page is also saved as a picture to
// look at (run under Xvfb, docs/languages.md has the command).
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QScreen>

#include "ArtIds.h"
#include "CGdipButton.h"
#include "CMyEdit.h"
#include "CSxGroupBox.h"
#include "ControlId.h"
#include "DialogTexts.h"
#include "LangTestSupport.h"
#include "MBaseDialog.h"
#include "Skin.h"
#include "UiTexts.h"

namespace orv {
namespace {

QString Q(const char* utf8) {
  return QString::fromUtf8(utf8);
}

// A page laid out like the connection page: captions from its template,
// replaced by the language file; group captions and the title band from the
// UI texts, as a page's ReloadTexts does.
class DemoConnectPage : public MBaseDialog {
 public:
  DemoConnectPage() : MBaseDialog(127, nullptr) {}

  CSxGroupBox* network = nullptr;
  CSxGroupBox* serial = nullptr;
  QLabel* ipLabel = nullptr;
  CMyEdit* ipEdit = nullptr;
  CGdipButton* disconnectNet = nullptr;
  CGdipButton* search = nullptr;
  QLabel* comLabel = nullptr;
  QLabel* baudLabel = nullptr;
  CMyEdit* baudEdit = nullptr;
  CGdipButton* connect = nullptr;
  CGdipButton* disconnect = nullptr;

  void ReloadTexts() override {
    ApplyDialogTexts(this, TemplateId());
    network->SetText(QString::fromStdString(UiText(92)));
    serial->SetText(QString::fromStdString(UiText(91)));
    SetTitleText(QString::fromStdString(UiText(93)));
    update();
  }

 protected:
  bool OnInitDialog() override {
    MBaseDialog::OnInitDialog();
    resize(320, 330);
    network = Group(1700, Q("Network"), QRect(10, 40, 300, 120));
    ipLabel = Label(1701, Q("Destination IP :"), QRect(24, 66, 120, 22));
    ipEdit = new CMyEdit(this, 1702);
    ipEdit->setGeometry(150, 66, 140, 22);
    ipEdit->setText(Q("192.168.1.110"));
    disconnectNet = Button(1703, Q("DisConnect"), QRect(24, 100, 120, 28));
    search = Button(1704, Q("Search Machines >>>"), QRect(150, 100, 150, 28));
    serial = Group(1705, Q("Com"), QRect(10, 176, 300, 140));
    comLabel = Label(1706, Q("Com"), QRect(24, 202, 120, 22));
    baudLabel = Label(1708, Q("Baud Rate"), QRect(24, 236, 120, 22));
    baudEdit = new CMyEdit(this, 1709);
    baudEdit->setGeometry(150, 236, 140, 22);
    baudEdit->setText(Q("115200"));
    connect = Button(1710, Q("Connect"), QRect(24, 274, 120, 28));
    disconnect = Button(1711, Q("DisConnect"), QRect(170, 274, 120, 28));
    CreateTitleButtons();
    ApplyControlFont();
    return true;
  }

 private:
  CSxGroupBox* Group(int id, const QString& caption, QRect where) {
    auto* box = new CSxGroupBox(caption, this, id);
    box->setGeometry(where);
    box->SetCaptionColor(skin::kText);
    box->SetCaptionFont(skin::ControlFont());
    return box;
  }
  QLabel* Label(int id, const QString& text, QRect where) {
    auto* label = new QLabel(text, this);
    SetControlId(label, id);
    label->setGeometry(where);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, skin::kText);
    label->setPalette(palette);
    return label;
  }
  CGdipButton* Button(int id, const QString& text, QRect where) {
    auto* button = new CGdipButton(this, id);
    button->LoadImage(art::kFaceButton);
    button->SetTextColor(skin::kText);
    button->setText(text);
    button->setGeometry(where);
    return button;
  }
};

using ChineseScreenshot = test::ProgramFolder;

TEST_F(ChineseScreenshot, PageShowsChineseAfterARunTimeSwitch) {
  InstallShippedLanguages();
  SelectLanguage("English");
  ReloadUiTexts();
  DemoConnectPage page;
  ASSERT_TRUE(page.Create());
  page.ReloadTexts();
  page.ShowPage(true);
  EXPECT_EQ(page.TitleText(), Q("Connection Setting"));
  EXPECT_EQ(page.connect->text(), Q("Connect"));

  // The misc page's language label sends 0x5B3 with 1.
  SelectLanguage(*LanguageNameForSwitch(1));
  ReloadUiTexts();
  page.ReloadTexts();

  EXPECT_EQ(page.TitleText(), Q("连接设置"));
  EXPECT_EQ(page.windowTitle(), Q("连接设置"));
  EXPECT_EQ(page.network->Text(), Q("网络连接"));
  EXPECT_EQ(page.serial->Text(), Q("串口连接"));
  EXPECT_EQ(page.ipLabel->text(), Q("目标 IP："));
  EXPECT_EQ(page.search->text(), Q("搜索设备 >>>"));
  EXPECT_EQ(page.connect->text(), Q("连接"));
  EXPECT_EQ(page.disconnect->text(), Q("断开"));
  EXPECT_EQ(page.baudLabel->text(), Q("波特率"));
  EXPECT_EQ(page.ipEdit->text(), Q("192.168.1.110"));
  EXPECT_EQ(page.baudEdit->text(), Q("115200"));
  EXPECT_TRUE(page.connect->isVisible());

  // A font that can draw Simplified Chinese must be present, or the texts
  // would show as empty boxes.
  EXPECT_FALSE(QFontDatabase::families(QFontDatabase::SimplifiedChinese).isEmpty());

  const QString shot = qEnvironmentVariable("ORV_LANG_SCREENSHOT");
  if (!shot.isEmpty()) {
    page.move(20, 20);
    page.raise();
    for (int i = 0; i < 20; ++i) QApplication::processEvents();
    QPixmap picture;
    if (QGuiApplication::platformName() == QStringLiteral("xcb")) {
      picture = page.screen()->grabWindow(page.winId());  // what the X server shows
    } else {
      picture = page.grab();
    }
    EXPECT_TRUE(picture.save(shot));
  }
}

}  // namespace
}  // namespace orv
