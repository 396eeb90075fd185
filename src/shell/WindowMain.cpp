// The window's entry: the main window, the palette window, the first
// argument. The program calls it from this module, loaded only when it is
// started without a command-line option.
#include <QtWebEngineCore/qtwebenginecoreglobal.h>

#include "shell/Application.h"
#include "shell/ErrorReport.h"
#include "shell/MainForm.h"

extern "C" int TomaruWindowMain(int argc, char** argv) {
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  TApplication app(argc, argv);
  TMainForm MainForm;
  const QStringList args = app.arguments();
  if (args.size() > 1) Guarded([&] { MainForm.FileOpen(args.at(1)); });
  MainForm.show();
  return app.exec();
}
