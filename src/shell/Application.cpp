#include "shell/Application.h"

#include <QFont>

#include "plugins/PictureFormats.h"
#include "shell/ErrorReport.h"
#include "shell/QtTranslation.h"

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName(QStringLiteral("Tomaru"));
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
