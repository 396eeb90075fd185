// The least a Qt program pays to start: QCoreApplication and nothing else.
// bench/cli_side_by_side.sh times the command line's small runs against it.
#include <QCoreApplication>

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  return 0;
}
