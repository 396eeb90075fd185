#pragma once
// Qt's own translation, so the standard dialogs (open, save, colour, the
// message-box buttons) speak the program's language: qtbase_ja.qm for
// Japanese; for English Qt's built-in texts.
#include "document/Language.h"

class QCoreApplication;

// Installs qtbase_ja from Qt's translation directory, or from "translations/"
// beside the program; false when neither holds it (the dialogs then stay in
// Qt's English). Installing twice adds nothing. For English it removes the
// Japanese one.
bool InstallQtTranslation(QCoreApplication& app, TLanguage language = TLanguage::Japanese);

// The program's translation and Qt's, both for language.
void InstallTranslations(QCoreApplication& app, TLanguage language, const QString& appDir);
