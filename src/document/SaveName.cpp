#include "document/SaveName.h"

#include <QCoreApplication>
#include <QFileInfo>

#include "document/FileOpen.h"
#include "document/FileOps.h"

QString ProposedSaveName(const QString& caption, const QString& tempGif, const QString& opened,
                         const QString& previous) {
  if (caption == tempGif && !IsConvertedOnOpen(opened)) return previous;
  const QString name = ExtractFileName(opened);
  const QString ext = ExtractFileExt(opened);
  return ExtractFilePath(opened) + name.left(name.size() - ext.size()) + QStringLiteral(".gif");
}

bool AsksBeforeReplacing(const QString& chosen, const QString& opened) {
  const QFileInfo target(chosen);
  if (!target.exists()) return false;
  // The same file by any name (a link, a relative path) is the opened one.
  return opened.isEmpty() || target.canonicalFilePath() != QFileInfo(opened).canonicalFilePath();
}

QString ReplaceQuestion(const QString& path) {
  return QCoreApplication::translate("SaveName", "ファイル「%1」は既にあります。置き換えますか?").arg(path);
}
