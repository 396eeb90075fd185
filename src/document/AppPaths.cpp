#include "document/AppPaths.h"

#include <QDir>
#include <QFileInfo>

static QString WithSlash(QString dir) {
  if (!dir.isEmpty() && !dir.endsWith(QLatin1Char('/'))) dir += QLatin1Char('/');
  return dir;
}

TAppPaths TAppPaths::ForAppDir(const QString& appDir) {
  TAppPaths p;
  p.AppDir = WithSlash(appDir);
  const QFileInfo data(p.AppDir + QStringLiteral("data"));
  const bool portable = data.exists() ? data.isDir() && data.isWritable() : QFileInfo(p.AppDir).isWritable();
  if (portable) {
    p.DataDir = p.AppDir + QStringLiteral("data/");
  } else {
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty()) base = QDir::homePath() + QStringLiteral("/.local/share");
    p.DataDir = WithSlash(base) + QStringLiteral("tomaru/data/");
  }
  return p;
}
