// The language the panel shows: what a run-time switch leaves on every page,
// and which language a start takes.
#include <QAbstractButton>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QTableWidget>

#include <cstdlib>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "AppTestSupport.h"
#include "CGdipButton.h"
#include "CSxGroupBox.h"
#include "Ini.h"
#include "MBaseDialog.h"
#include "MKeyerDlg.h"
#include "MMediaPlayerDlg.h"
#include "MSearchMachineDlg.h"
#include "MSubTitleDlg.h"
#include "MTaskDlg.h"
#include "MTstPatternDlg.h"
#include "MVideoSettingDlg.h"
#include "MessageIds.h"
#include "Messages.h"
#include "OrvDlg.h"
#include "Orv_FeatherDlg.h"
#include "UiTexts.h"

namespace orv::test {
namespace {

// Every page and window the main window holds, by a name for the messages.
std::map<std::string, MBaseDialog*> Pages(OrvDlg& w) {
  std::map<std::string, MBaseDialog*> pages;
  for (int i = 0; i < 11; ++i) pages["column page " + std::to_string(i)] = w.ColumnPage(i);
  pages["search window"] = w.SearchWindow();
  pages["keyer"] = w.KeyerPage();
  pages["test pattern"] = w.TestPatternPage();
  pages["tasks"] = w.TaskPage();
  pages["captions"] = w.CaptionPage();
  pages["video settings"] = w.VideoSettingsPage();
  pages["media player"] = w.MediaPlayerPage();
  pages["feathering"] = w.FeatherPage();
  return pages;
}

// What a page shows in words: its title and the texts of its controls, in
// creation order. Edits keep their content whatever the language.
std::vector<std::string> TextsOf(MBaseDialog& page) {
  std::vector<std::string> texts{"title: " + page.TitleText().toStdString(),
                                 "window: " + page.windowTitle().toStdString()};
  auto add = [&](const QWidget* w, const QString& kind, const QString& text) {
    texts.push_back(
        QStringLiteral("%1 %2 %3: %4")
            .arg(QString::fromLatin1(w->metaObject()->className()), w->objectName(), kind, text)
            .toStdString());
  };
  for (const QWidget* w : page.findChildren<QWidget*>()) {
    if (const auto* group = qobject_cast<const CSxGroupBox*>(w))
      add(w, QStringLiteral("caption"), group->Text());
    if (const auto* button = qobject_cast<const QAbstractButton*>(w)) {
      add(w, QStringLiteral("text"), button->text());
    }
    if (const auto* image = qobject_cast<const CGdipButton*>(w)) {
      add(w, QStringLiteral("tip"), image->ToolTipText());
    }
    if (const auto* label = qobject_cast<const QLabel*>(w))
      add(w, QStringLiteral("label"), label->text());
    if (const auto* list = qobject_cast<const QListWidget*>(w)) {
      for (int i = 0; i < list->count(); ++i)
        add(w, QStringLiteral("entry"), list->item(i)->text());
    }
    if (const auto* table = qobject_cast<const QTableWidget*>(w)) {
      for (int c = 0; c < table->columnCount(); ++c) {
        const QTableWidgetItem* h = table->horizontalHeaderItem(c);
        add(w, QStringLiteral("column"), h ? h->text() : QString());
      }
    }
  }
  return texts;
}

std::map<std::string, std::vector<std::string>> AllTexts(OrvDlg& w) {
  std::map<std::string, std::vector<std::string>> all;
  for (const auto& [name, page] : Pages(w)) {
    if (page != nullptr) all[name] = TextsOf(*page);
  }
  return all;
}

void ExpectSameTexts(const std::map<std::string, std::vector<std::string>>& fresh,
                     const std::map<std::string, std::vector<std::string>>& switched,
                     const char* language) {
  ASSERT_EQ(fresh.size(), switched.size());
  for (const auto& [name, texts] : fresh) {
    const std::vector<std::string>& other = switched.at(name);
    ASSERT_EQ(texts.size(), other.size()) << name << " in " << language;
    for (std::size_t i = 0; i < texts.size(); ++i) {
      EXPECT_EQ(other[i], texts[i]) << name << " after the switch to " << language;
    }
  }
}

using LanguageOfPages = MainWindowTest;

TEST_F(LanguageOfPages, AfterASwitchEveryPageShowsWhatAStartInThatLanguageShows) {
  SelectLanguage("Chinese");
  ReloadUiTexts();
  MakeWindow();
  const auto chinese = AllTexts(Window());
  SelectLanguage("English");
  ReloadUiTexts();
  MakeWindow();
  const auto english = AllTexts(Window());
  // The PIP page has a title of its own in each language.
  ASSERT_NE(chinese.at("column page 4")[0], english.at("column page 4")[0]);

  SendMsg(&Window(), UM_LANGUAGE, 1);
  ExpectSameTexts(chinese, AllTexts(Window()), "Chinese");
  SendMsg(&Window(), UM_LANGUAGE, 0);
  ExpectSameTexts(english, AllTexts(Window()), "English");
}

// Sets LC_ALL for one test and puts it back.
class ScopedLocale {
 public:
  explicit ScopedLocale(const char* locale) {
    if (const char* was = std::getenv("LC_ALL")) saved_ = was;
    setenv("LC_ALL", locale, 1);
  }
  ~ScopedLocale() {
    if (saved_) {
      setenv("LC_ALL", saved_->c_str(), 1);
    } else {
      unsetenv("LC_ALL");
    }
  }
  void Set(const char* locale) { setenv("LC_ALL", locale, 1); }

 private:
  std::optional<std::string> saved_;
};

using StartLanguage = MainWindowTest;

TEST_F(StartLanguage, TheOperatorsChoiceOutlastsARestartTheSystemDecidesOnlyWithoutOne) {
  // A settings file in which nobody chose a language.
  DestroyWindow();
  std::ofstream(Settings(), std::ios::trunc) << "[Remote]\r\nEnabled=0\r\n";
  ScopedLocale locale("zh_CN.UTF-8");
  auto restart = [&] {
    DestroyWindow();
    SelectStartLanguage();
    ReloadUiTexts();
    MakeWindow();
  };
  const std::string englishTips(BuiltInUiText(38));

  restart();
  EXPECT_EQ(ActiveLanguageName(), "Chinese");
  EXPECT_NE(UiText(38), englishTips);
  EXPECT_EQ(GetProfileString("Setting", "Language", "", 100, Settings()), "")
      << "the system's language is not the operator's choice";

  SendMsg(&Window(), UM_LANGUAGE, 0);  // the operator chooses English
  restart();
  EXPECT_EQ(ActiveLanguageName(), "English");
  EXPECT_EQ(UiText(38), englishTips);

  SendMsg(&Window(), UM_LANGUAGE, 1);  // and Chinese, on an English system
  locale.Set("en_US.UTF-8");
  restart();
  EXPECT_EQ(ActiveLanguageName(), "Chinese");
  EXPECT_NE(UiText(38), englishTips);
  EXPECT_EQ(Window().ColumnPage(4)->TitleText().toStdString(), GetRawText("IDD150_Title"));
}

}  // namespace
}  // namespace orv::test
