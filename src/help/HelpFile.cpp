#include "help/HelpFile.h"

#include <QCoreApplication>
#include <QFileInfo>

#include "document/AppPaths.h"

namespace {
const QString kScheme = QStringLiteral("chm");
}

QString HelpFilePath(const QString& appDir) {
  // The help file of the interface's language: the English translation names help_en.chm.
  return ShippedFile(appDir, InstalledDataDir(appDir), QCoreApplication::translate("HelpFile", "help.chm"));
}

QString HelpTopicPath(const QString& topic) { return QStringLiteral("html/") + topic; }

std::optional<THelpRequest> HelpTopicRequest(const QString& appDir, const QString& topic) {
  const QString file = HelpFilePath(appDir);
  if (!QFileInfo(file).isFile()) return std::nullopt;
  return THelpRequest{file, HelpTopicPath(topic)};
}

QUrl HelpPageUrl(const QString& pathInside) {
  QUrl url;
  url.setScheme(kScheme);
  url.setPath(pathInside.startsWith(QLatin1Char('/')) ? pathInside : QLatin1Char('/') + pathInside,
              QUrl::DecodedMode);
  return url;
}

std::optional<QString> PathInsideHelp(const QUrl& url) {
  if (url.scheme() != kScheme) return std::nullopt;
  QString path = url.path(QUrl::FullyDecoded);
  while (path.startsWith(QLatin1Char('/'))) path.remove(0, 1);
  return path;
}
