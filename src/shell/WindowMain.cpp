// Program entry: the main window, the palette window, the first argument;
// or, with a command-line option, a batch with no window at all.
#include <QtWebEngineCore/qtwebenginecoreglobal.h>

#include "cli/CommandLine.h"
#include "shell/Application.h"
#include "shell/ErrorReport.h"
#include "shell/MainForm.h"

int main(int argc, char** argv) {
  if (IsCommandLineRun(argc, argv)) return RunCommandLine(argc, argv);
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  TApplication app(argc, argv);
  TMainForm MainForm;
  const QStringList args = app.arguments();
  if (args.size() > 1) Guarded([&] { MainForm.FileOpen(args.at(1)); });
  MainForm.show();
  return app.exec();
}
