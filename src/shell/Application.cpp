#include "shell/Application.h"

#include <QFont>

#include "BuildInfo.h"

#include "plugins/PictureFormats.h"
#include "shell/ErrorReport.h"
#include "shell/QtTranslation.h"

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
  // The window's class (WM_CLASS) is the application name, the Wayland app id
  // the desktop file name: both the application id, so the desktop matches
  // the window to its entry and icon.
  setApplicationName(QStringLiteral(TOMARU_APP_ID));
  setDesktopFileName(QStringLiteral(TOMARU_APP_ID));
  ApplyProgramFont(*this);
  SetPictureAllocationLimit();
  InstallTranslations(*this, SystemLanguage(), applicationDirPath());
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& e) {
    ReportException(e);
  }
  return false;
}

void ApplyProgramFont(QApplication& app) {
  QFont font = app.font();
  font.setPixelSize(11);
  font.setFamilies({font.family(), QStringLiteral("Noto Sans CJK JP")});
  app.setFont(font);
}
