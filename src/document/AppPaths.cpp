#include "document/AppPaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdlib>

#include "BuildInfo.h"

static QString WithSlash(QString dir) {
  if (!dir.isEmpty() && !dir.endsWith(QLatin1Char('/'))) dir += QLatin1Char('/');
  return dir;
}

TAppPaths TAppPaths::ForAppDir(const QString& appDir) {
  TAppPaths p;
  p.AppDir = WithSlash(appDir);
  const QFileInfo data(p.AppDir + QStringLiteral("data"));
  const bool writable = data.exists() ? data.isDir() && data.isWritable() : QFileInfo(p.AppDir).isWritable();
  const bool portable = writable && !IsInstalledAppDir(p.AppDir);
  if (portable) {
    p.DataDir = p.AppDir + QStringLiteral("data/");
  } else {
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty()) base = QDir::homePath() + QStringLiteral("/.local/share");
    p.DataDir = WithSlash(base) + QStringLiteral("tomaru/data/");
  }
  return p;
}

static QString Below(const QString& appDir, const char* relative) {
  return WithSlash(QDir::cleanPath(WithSlash(appDir) + QLatin1String(relative)));
}

QString InstalledPluginDir(const QString& appDir) { return Below(appDir, TOMARU_PLUGIN_DIR_FROM_BIN); }

QString InstalledDataDir(const QString& appDir) { return Below(appDir, TOMARU_DATA_DIR_FROM_BIN); }

bool IsInstalledAppDir(const QString& appDir) { return QFileInfo(InstalledDataDir(appDir)).isDir(); }

QString ShippedFile(const QString& appDir, const QString& installedDir, const QString& name) {
  const QString beside = WithSlash(appDir) + name;
  if (QFileInfo::exists(beside)) return beside;
  const QString installed = installedDir + name;
  return QFileInfo::exists(installed) ? installed : beside;
}

QString MakeWorkFolder(const QString& dataDir) {
  const auto made = [](const QString& base) {
    QByteArray name = QFile::encodeName(WithSlash(base) + QStringLiteral("tomaru-XXXXXX"));
    return ::mkdtemp(name.data()) ? WithSlash(QFile::decodeName(name)) : QString();
  };
  const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
  if (!runtime.isEmpty())
    if (const QString dir = made(runtime); !dir.isEmpty()) return dir;
  QDir().mkpath(dataDir);  // a first start: the data folder may not be there yet
  return made(dataDir);
}

void RemoveWorkFolder(const QString& workDir) {
  if (!workDir.isEmpty()) QDir(workDir).removeRecursively();
}
