#pragma once
// The interface's language. The program's texts are written in Japanese and
// shown as they are to Japanese users; every other user gets the English
// translation (tomaru_en.qm), through QCoreApplication::translate.
#include <QString>
#include <QStringList>

class QCoreApplication;

enum class TLanguage { Japanese, English };

// From the user's languages in order of preference (QLocale::uiLanguages,
// which Qt takes from LANGUAGE, LC_ALL, LC_MESSAGES and LANG): Japanese when a
// Japanese one comes before any English one, English otherwise.
TLanguage ChooseLanguage(const QStringList& uiLanguages);
TLanguage SystemLanguage();

// tomaru_en.qm: beside the program in translations/ (the build tree), else in
// the installed share directory.
QString ProgramTranslationFile(const QString& appDir);

// Installs the program's translation for language (none for Japanese),
// replacing one installed before; false when the English file is missing.
bool InstallProgramTranslation(QCoreApplication& app, TLanguage language, const QString& appDir);
