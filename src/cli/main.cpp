// Program entry: with a command-line option, a batch that starts with Qt Core
// alone; without one, the window, loaded from its module only then.
#include <QCoreApplication>
#include <cstdio>
#include <string>

#include "cli/CommandLine.h"
#include "cli/ProgramModule.h"
#include "document/Language.h"

namespace {

using TWindowMain = int (*)(int argc, char** argv);

int RunWindow(int argc, char** argv) {
  std::string error;
  if (auto windowMain = reinterpret_cast<TWindowMain>(ProgramModuleEntry("tomaru-window", "TomaruWindowMain", error)))
    return windowMain(argc, argv);
  QCoreApplication app(argc, argv);
  InstallProgramTranslation(app, SystemLanguage(), QCoreApplication::applicationDirPath());
  const QString message = QCoreApplication::translate("main", "tomaru: ウィンドウを開けませんでした。(%1)")
                              .arg(QString::fromLocal8Bit(error.c_str()));
  std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (IsCommandLineRun(argc, argv)) return RunCommandLine(argc, argv);
  return RunWindow(argc, argv);
}
