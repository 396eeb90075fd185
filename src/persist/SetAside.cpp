#include "persist/SetAside.h"

#include <QCoreApplication>

#include <QFile>
#include <QFileInfo>

#include "document/FileOps.h"

QString SetAsideOversized(const QString& fileName, qint64 maxSize) {
  if (CheckFileSize(fileName) <= maxSize) return QString();
  for (int n = 1; n < 1000; ++n) {
    const QString name = fileName + QStringLiteral(".large") + (n > 1 ? QString::number(n) : QString());
    // A name taken by an earlier file is passed over, never replaced.
    if (QFileInfo::exists(name)) continue;
    if (QFile::rename(fileName, name)) return name;
    break;
  }
  return QString();
}

QString SetAsideOversizedFiles(const QStringList& fileNames) {
  QString text;
  for (const QString& fileName : fileNames) {
    const QString name = SetAsideOversized(fileName);
    if (name.isEmpty()) continue;
    text += QCoreApplication::translate("SetAside", "%1 は設定ﾌｧｲﾙとしては大きすぎるため、%2 に名前を変えて残しました。\r\n")
                .arg(ExtractFileName(fileName), ExtractFileName(name));
  }
  if (!text.isEmpty()) text += QCoreApplication::translate("SetAside", "既定の設定で起動します。");
  return text;
}
