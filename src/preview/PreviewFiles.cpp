#include "preview/PreviewFiles.h"

#include "document/FileOps.h"

void EnsurePreviewFiles(const TAppPaths& paths, const QByteArray& page, const QByteArray& css) {
  const QString html = paths.Work(QStringLiteral("preview.html"));
  const QString style = paths.Work(QStringLiteral("bg.css"));
  if (!FileExists(html)) SaveStringToFile(html, page);
  if (!FileExists(style)) SaveStringToFile(style, css);
}
