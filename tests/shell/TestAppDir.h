#pragma once
// A program directory for a test window: empty but for the shipped GIF decoder,
// so opened GIFs reach the left pane as in the installed program.
#include <QFile>
#include <QTemporaryDir>

inline QString MakeAppDir(const QTemporaryDir& dir) {
  const QString appDir = dir.path() + QStringLiteral("/");
  QFile::copy(QStringLiteral(TOMARU_BIN_DIR "/tomaru_gif.spi"), appDir + QStringLiteral("tomaru_gif.spi"));
  return appDir;
}
