#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
  // The web view shares GL contexts; this must be set before the application exists.
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
