#include "document/Language.h"

#include <QCoreApplication>
#include <QLocale>
#include <QTranslator>

#include "document/AppPaths.h"

TLanguage ChooseLanguage(const QStringList& uiLanguages) {
  for (const QString& language : uiLanguages) {
    const QString code = language.section(QLatin1Char('-'), 0, 0).section(QLatin1Char('_'), 0, 0).toLower();
    if (code == QLatin1String("ja")) return TLanguage::Japanese;
    if (code == QLatin1String("en")) return TLanguage::English;
  }
  return TLanguage::English;
}

TLanguage SystemLanguage() { return ChooseLanguage(QLocale::system().uiLanguages()); }

QString ProgramTranslationFile(const QString& appDir) {
  return ShippedFile(appDir, InstalledDataDir(appDir), QStringLiteral("translations/tomaru_en.qm"));
}

bool InstallProgramTranslation(QCoreApplication& app, TLanguage language, const QString& appDir) {
  static const QLatin1String kName("tomaruTranslator");
  delete app.findChild<QTranslator*>(kName);  // uninstalls itself
  if (language == TLanguage::Japanese) return true;
  auto* translator = new QTranslator(&app);
  translator->setObjectName(kName);
  if (translator->load(ProgramTranslationFile(appDir)) && app.installTranslator(translator)) return true;
  delete translator;
  return false;
}
