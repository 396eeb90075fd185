#pragma once
// Keeps a screenshot when TOMARU_SHOTS names a directory.
#include <QDir>
#include <QImage>

inline void KeepShot(const QImage& shot, const QString& name) {
  const QString dir = qEnvironmentVariable("TOMARU_SHOTS");
  if (dir.isEmpty()) return;
  QDir().mkpath(dir);
  shot.save(dir + QLatin1Char('/') + name);
}
