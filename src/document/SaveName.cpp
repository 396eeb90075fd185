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

QString FormatSuffix(TSaveFormat format) {
  switch (format) {
    case TSaveFormat::WebP: return QStringLiteral("webp");
    case TSaveFormat::Png: return QStringLiteral("png");
    case TSaveFormat::Gif: break;
  }
  return QStringLiteral("gif");
}

std::optional<TSaveFormat> FormatOfName(const QString& path) {
  const QString suffix = QFileInfo(path).suffix().toLower();
  for (const TSaveFormat f : {TSaveFormat::Gif, TSaveFormat::WebP, TSaveFormat::Png})
    if (suffix == FormatSuffix(f)) return f;
  return std::nullopt;
}

QString NameInFormat(const QString& name, TSaveFormat format) {
  if (name.isEmpty()) return name;
  const QString base = FormatOfName(name) ? name.left(name.size() - QFileInfo(name).suffix().size() - 1) : name;
  return base + QLatin1Char('.') + FormatSuffix(format);
}

QString PngHoldsOneFrameText() {
  return QCoreApplication::translate(
      "SaveName", "PNGに保存できるのは1ｺﾏだけです。ｱﾆﾒｰｼｮﾝはWebPを選んで保存して下さい。何も保存していません。");
}
