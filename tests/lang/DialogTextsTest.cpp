// Dialog titles and control captions from the language file, and the inline
// rename commit, on real widgets (offscreen platform).
#include <gtest/gtest.h>

#include <QApplication>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QWidget>

#include "ControlId.h"
#include "DialogTexts.h"
#include "Ini.h"
#include "InlineRename.h"
#include "LangTestSupport.h"
#include "Messages.h"
#include "UiTexts.h"

namespace orv {
namespace {

QString Q(const char* utf8) {
  return QString::fromUtf8(utf8);
}

template <typename W>
W* Control(QWidget* parent, int id, const char* text) {
  auto* w = new W(parent);
  SetControlId(w, id);
  w->setProperty("text", Q(text));
  return w;
}

// A page inside the dialog: it takes messages, so it is a window of its own.
class NestedPage : public QWidget, public MessageTarget {
 public:
  explicit NestedPage(QWidget* parent) : QWidget(parent) {}
  intptr_t OnMessage(const Message&) override { return 0; }
};

// Counts hide and show events of one control.
class ShowCounter : public QObject {
 public:
  int hides = 0;
  int shows = 0;
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Hide) ++hides;
    if (e->type() == QEvent::Show) ++shows;
    return false;
  }
};

class DialogTexts : public test::ProgramFolder {
 protected:
  void UseLanguage(const std::string& strings) {
    WriteLanguageFile("Test.ini", "[Setting]\r\nLanguage=Test\r\n[String]\r\n" + strings);
    SelectLanguage("Test");
  }
};

TEST_F(DialogTexts, TitleAndCaptionsComeFromTheFileAndEditsKeepTheirText) {
  UseLanguage(
      "IDD127_Title=Verbindung\r\nIDS_1710=Verbinden\r\nIDS_1701=Ziel-IP :\r\n"
      "IDS_1702=192.168.0.1\r\nIDS_1707=9600\r\nIDS_1705=Seriell\r\nIDS_1021=A\\nB\r\n"
      "IDS_1706=\r\n");
  QWidget dialog;
  dialog.setWindowTitle(Q("Connection"));
  auto* connect = Control<QPushButton>(&dialog, 1710, "Connect");
  auto* label = Control<QLabel>(&dialog, 1701, "Destination IP :");
  auto* edit = Control<QLineEdit>(&dialog, 1702, "10.0.0.110");
  auto* spin = new QSpinBox(&dialog);
  SetControlId(spin, 1707);
  spin->setRange(0, 200000);
  spin->setValue(115200);
  auto* group = new QGroupBox(Q("Com Connection"), &dialog);
  SetControlId(group, 1705);
  auto* com = Control<QLabel>(group, 1706, "Com");
  auto* pageButton = Control<QPushButton>(&dialog, 1021, "PICTURE");
  auto* untouched = Control<QPushButton>(&dialog, 1999, "Other");

  ApplyDialogTexts(&dialog, 127);
  EXPECT_EQ(dialog.windowTitle(), Q("Verbindung"));
  EXPECT_EQ(connect->text(), Q("Verbinden"));
  EXPECT_EQ(label->text(), Q("Ziel-IP :"));
  EXPECT_EQ(group->title(), Q("Seriell"));
  EXPECT_EQ(edit->text(), Q("10.0.0.110"));
  EXPECT_EQ(spin->value(), 115200);
  EXPECT_EQ(com->text(), Q("Com"));  // an empty value keeps the caption
  EXPECT_EQ(untouched->text(), Q("Other"));
  // Dialog and control texts are used as they stand: four characters.
  EXPECT_EQ(pageButton->text(), Q("A\\nB"));
  EXPECT_EQ(pageButton->text().size(), 4);
}

TEST_F(DialogTexts, MissingKeysKeepTheTemplateCaptions) {
  UseLanguage("SIDS_38=Tips\r\n");
  QWidget dialog;
  dialog.setWindowTitle(Q("Search Machines"));
  auto* search = Control<QPushButton>(&dialog, 1720, "SEARCH");
  ApplyDialogTexts(&dialog, 179);
  EXPECT_EQ(dialog.windowTitle(), Q("Search Machines"));
  EXPECT_EQ(search->text(), Q("SEARCH"));
}

TEST_F(DialogTexts, ShownControlsAreHiddenAndShownAgainHiddenOnesStayHidden) {
  UseLanguage("IDS_1710=Verbinden\r\nIDS_1712=Netz\r\nIDS_1711=Trennen\r\n");
  QWidget dialog;
  auto* shown = Control<QPushButton>(&dialog, 1710, "Connect");
  auto* hidden = Control<QPushButton>(&dialog, 1712, "Connect");
  hidden->hide();
  auto* other = Control<QPushButton>(&dialog, 1711, "DisConnect");
  dialog.show();
  shown->setFocus();
  QApplication::processEvents();
  ShowCounter counter;
  shown->installEventFilter(&counter);
  ShowCounter hiddenCounter;
  hidden->installEventFilter(&hiddenCounter);

  ApplyDialogTexts(&dialog, 127);
  EXPECT_EQ(counter.hides, 1);
  EXPECT_EQ(counter.shows, 1);
  EXPECT_TRUE(shown->isVisible());
  EXPECT_FALSE(hidden->isVisible());
  EXPECT_TRUE(hidden->isHidden());
  EXPECT_EQ(hiddenCounter.shows, 0);
  EXPECT_EQ(hidden->text(), Q("Netz"));
  EXPECT_EQ(other->text(), Q("Trennen"));
  EXPECT_TRUE(other->isVisible());
  // The control that had the keyboard focus keeps it.
  EXPECT_TRUE(shown->hasFocus() || QApplication::focusWidget() == shown);
}

TEST_F(DialogTexts, ContainersAreLookedThroughNestedPagesAreNot) {
  UseLanguage("IDS_1021=Bild\r\nIDS_1255=Schleife\r\n");
  QWidget dialog;
  auto* container = new QWidget(&dialog);  // a plain frame without an id
  auto* inContainer = Control<QPushButton>(container, 1021, "PICTURE");
  auto* page = new NestedPage(&dialog);
  auto* onPage = Control<QPushButton>(page, 1255, "Loop Out Settings");
  ApplyDialogTexts(&dialog, 102);
  EXPECT_EQ(inContainer->text(), Q("Bild"));
  EXPECT_EQ(onPage->text(), Q("Loop Out Settings"));
  // The page's own call relabels it: ids are shared by all dialogs.
  ApplyDialogTexts(page, 158);
  EXPECT_EQ(onPage->text(), Q("Schleife"));
}

TEST_F(DialogTexts, ChineseCaptionsAfterARunTimeSwitch) {
  InstallShippedLanguages();
  SelectLanguage("English");
  QWidget dialog;
  auto* group = new QGroupBox(&dialog);
  SetControlId(group, 1705);
  auto* connect = Control<QPushButton>(group, 1710, "Connect");
  auto* search = Control<QPushButton>(&dialog, 1704, "Search Machines >>>");
  auto* ip = Control<QLineEdit>(&dialog, 1702, "192.168.1.110");
  ApplyDialogTexts(&dialog, 127);
  EXPECT_EQ(dialog.windowTitle(), Q("Connection Setting"));
  EXPECT_EQ(group->title(), Q("Com Connection"));

  SelectLanguage(*LanguageNameForSwitch(1));
  ReloadUiTexts();
  ApplyDialogTexts(&dialog, 127);
  EXPECT_EQ(dialog.windowTitle(), Q("连接设置"));
  EXPECT_EQ(group->title(), Q("串口连接"));
  EXPECT_EQ(connect->text(), Q("连接"));
  EXPECT_EQ(search->text(), Q("搜索设备 >>>"));
  EXPECT_EQ(ip->text(), Q("192.168.1.110"));
  EXPECT_EQ(QString::fromStdString(UiText(93)), Q("连接设置"));
}

using InlineRenameCommit = test::ProgramFolder;

TEST_F(InlineRenameCommit, EnterOrFocusLossStoresEscapeDrops) {
  QWidget window;
  auto* editor = new QLineEdit(&window);
  window.show();
  PresetNames presets;
  InputRemarks remarks;
  RenameSession session;

  // Enter on a remark of input 4.
  session.BeginRemark(4);
  editor->setText(Q("Stage cam"));
  editor->show();
  auto renamed = CommitInlineRename(editor, session, 0, presets, remarks, Settings());
  EXPECT_EQ(renamed.target, RenameSession::Target::kRemark);
  EXPECT_EQ(renamed.index, 4);
  EXPECT_TRUE(editor->isHidden());
  EXPECT_EQ(remarks.Remark(4), "Stage cam");
  EXPECT_EQ(ReadSetting("InPutSrcRemark-4", "REMARKSTR", Settings()), "Stage cam");

  // The focus-loss notification that follows finds the editor hidden.
  renamed = CommitInlineRename(editor, session, 0, presets, remarks, Settings());
  EXPECT_EQ(renamed.target, RenameSession::Target::kNone);

  // Escape: the main window hides the editor and cancels; nothing is stored.
  session.BeginPreset(3);
  editor->setText(Q("Dropped"));
  editor->show();
  editor->hide();
  session.Cancel();
  renamed = CommitInlineRename(editor, session, 2, presets, remarks, Settings());
  EXPECT_EQ(renamed.target, RenameSession::Target::kNone);
  EXPECT_EQ(presets.Name(2, 3), "2-3");

  // A preset of group 2 with a Chinese name.
  session.BeginPreset(3);
  editor->setText(Q("开场"));
  editor->show();
  renamed = CommitInlineRename(editor, session, 2, presets, remarks, Settings());
  EXPECT_EQ(renamed.target, RenameSession::Target::kPreset);
  EXPECT_EQ(presets.Name(2, 3), "开场");
  EXPECT_EQ(presets.Name(0, 3), "0-3");

  // A shown editor without a rename target stays as it is.
  editor->show();
  renamed = CommitInlineRename(editor, session, 0, presets, remarks, Settings());
  EXPECT_EQ(renamed.target, RenameSession::Target::kNone);
  EXPECT_FALSE(editor->isHidden());
}

}  // namespace
}  // namespace orv
