#include "persist/DropFiles.h"

#include <QCoreApplication>

#include "document/FileOps.h"

QString DropExtension(const QString& path) {
  QString ext = ExtractFileExt(path);
  for (QChar& c : ext)
    if (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) c = QChar(c.unicode() + ('a' - 'A'));
  return ext;
}

bool IsDropAccepted(const QString& extension) {
  return extension == QLatin1String(".bmp") || extension == QLatin1String(".gif") ||
         extension == QLatin1String(".png") || extension == QLatin1String(".jpg") ||
         extension == QLatin1String(".jpeg");
}

QString DropRefusalMessage(const QString& extension) {
  return QCoreApplication::translate("DropFiles", "拡張子「%1」のファイルは処理できません。").arg(extension);
}

void DropFiles(const QStringList& paths, const std::function<void(const QString&)>& Open,
               const std::function<void(const QString&)>& ShowMessage) {
  for (const QString& path : paths) {
    const QString ext = DropExtension(path);
    if (!IsDropAccepted(ext)) {
      ShowMessage(DropRefusalMessage(ext));
      return;
    }
    Open(path);
  }
}
