#include "document/SaveName.h"

#include "document/FileOpen.h"
#include "document/FileOps.h"

QString ProposedSaveName(const QString& caption, const QString& tempGif, const QString& opened,
                         const QString& previous) {
  if (caption == tempGif && !IsConvertedOnOpen(opened)) return previous;
  const QString name = ExtractFileName(opened);
  const QString ext = ExtractFileExt(opened);
  return ExtractFilePath(opened) + name.left(name.size() - ext.size()) + QStringLiteral(".gif");
}
