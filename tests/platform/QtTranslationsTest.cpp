#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QMessageBox>

#include "QtTranslations.h"

using namespace orv;

namespace {

struct Buttons {
  QString ok, cancel;
};

Buttons BoxButtons() {
  QMessageBox box(QMessageBox::NoIcon, QString(), QString(), QMessageBox::Ok | QMessageBox::Cancel);
  return {box.button(QMessageBox::Ok)->text(), box.button(QMessageBox::Cancel)->text()};
}

}  // namespace

TEST(QtTranslations, MessageBoxButtonsFollowTheLanguageBothWays) {
  const Buttons english{QStringLiteral("OK"), QStringLiteral("Cancel")};
  const Buttons chinese{QString::fromUtf8("确定"), QString::fromUtf8("取消")};
  struct Step {
    const char* language;
    bool installed;
    Buttons expected;
  };
  // Switching twice to the same language must not stack translators, and an
  // unknown language falls back to Qt's English.
  const Step steps[] = {
      {"Chinese", true, chinese}, {"English", false, english}, {"Chinese", true, chinese},
      {"Chinese", true, chinese}, {"Klingon", false, english},
  };
  for (const Step& s : steps) {
    ASSERT_EQ(UseQtTranslationsFor(s.language), s.installed)
        << s.language << ": Qt's translations missing? (qt6-translations-l10n, scripts/setup)";
    const Buttons shown = BoxButtons();
    EXPECT_EQ(shown.ok, s.expected.ok) << s.language;
    EXPECT_EQ(shown.cancel, s.expected.cancel) << s.language;
  }
}
