#include "QtTranslations.h"

#include <memory>

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace orv {

namespace {

struct LanguageLocale {
  std::string_view language;
  std::string_view locale;
};

constexpr LanguageLocale kLocales[] = {
    {"Chinese", "zh_CN"},
};

std::unique_ptr<QTranslator>& Installed() {
  static std::unique_ptr<QTranslator> translator;
  return translator;
}

}  // namespace

std::string QtLocaleOfLanguage(std::string_view languageName) {
  for (const LanguageLocale& row : kLocales) {
    if (row.language == languageName) return std::string(row.locale);
  }
  return {};
}

bool UseQtTranslationsFor(std::string_view languageName) {
  std::unique_ptr<QTranslator>& installed = Installed();
  if (installed) {
    QCoreApplication::removeTranslator(installed.get());
    installed.reset();
  }
  const std::string locale = QtLocaleOfLanguage(languageName);
  if (locale.empty()) return false;
  auto translator = std::make_unique<QTranslator>();
  const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  if (!translator->load(QLocale(QString::fromStdString(locale)), QStringLiteral("qtbase"),
                        QStringLiteral("_"), folder)) {
    return false;
  }
  QCoreApplication::installTranslator(translator.get());
  installed = std::move(translator);
  return true;
}

}  // namespace orv
