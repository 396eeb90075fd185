#pragma once
// Qt's own Japanese translation (qtbase_ja.qm), so the standard dialogs (open,
// save, colour, the message-box buttons) speak the program's language.
class QCoreApplication;

// Installs qtbase_ja from Qt's translation directory, or from "translations/"
// beside the program; false when neither holds it (the dialogs then stay in
// Qt's English). Installing twice adds nothing.
bool InstallQtTranslation(QCoreApplication& app);
