#include "shell/QtTranslation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

bool InstallQtTranslation(QCoreApplication& app, TLanguage language) {
  static const char* const kName = "tomaruQtTranslator";
  if (language != TLanguage::Japanese) {
    delete app.findChild<QTranslator*>(QLatin1String(kName));  // uninstalls itself
    return true;
  }
  if (app.findChild<QTranslator*>(QLatin1String(kName))) return true;
  auto* translator = new QTranslator(&app);
  translator->setObjectName(QLatin1String(kName));
  const QLocale japanese(QLocale::Japanese, QLocale::Japan);
  const QStringList places{QLibraryInfo::path(QLibraryInfo::TranslationsPath),
                           QCoreApplication::applicationDirPath() + QStringLiteral("/translations")};
  for (const QString& dir : places) {
    if (translator->load(japanese, QStringLiteral("qtbase"), QStringLiteral("_"), dir) &&
        app.installTranslator(translator))
      return true;
  }
  delete translator;
  return false;
}

void InstallTranslations(QCoreApplication& app, TLanguage language, const QString& appDir) {
  InstallProgramTranslation(app, language, appDir);
  InstallQtTranslation(app, language);
}
