#include "cli/OutputPlan.h"

#include <QCoreApplication>

#include <QDir>
#include <QFileInfo>
#include <set>
#include <sys/stat.h>

#include "document/FileOps.h"

namespace {

bool IsBmp(const QString& path) { return ExtractFileExt(path).toLower() == QLatin1String(".bmp"); }

// Identity of a place on disk: the file's device and inode when it exists
// (so links to one file are one place), else its cleaned absolute path.
struct TPlace {
  dev_t Dev = 0;
  ino_t Ino = 0;
  QString Path;
  bool operator<(const TPlace& o) const {
    return std::tie(Dev, Ino, Path) < std::tie(o.Dev, o.Ino, o.Path);
  }
};

TPlace PlaceOf(const QString& path) {
  struct stat st;
  if (::stat(QFile::encodeName(path).constData(), &st) == 0) return {st.st_dev, st.st_ino, QString()};
  return {0, 0, QDir::cleanPath(QFileInfo(path).absoluteFilePath())};
}

QString TargetOf(const QString& input, const TOutputRequest& request, bool intoDirectory) {
  if (request.InPlace) return input;
  const QFileInfo info(input);
  if (request.SuffixSet) return info.dir().filePath(info.completeBaseName() + request.Suffix + QStringLiteral(".gif"));
  if (intoDirectory) return QDir(request.Output).filePath(OutputFileName(input));
  return request.Output;
}

QString Quoted(const QString& path) { return QCoreApplication::translate("OutputPlan", "「%1」").arg(path); }

}  // namespace

QString OutputFileName(const QString& input) {
  const QFileInfo info(input);
  return IsBmp(input) ? info.completeBaseName() + QStringLiteral(".gif") : info.fileName();
}

TOutputPlan PlanOutputs(const QStringList& inputs, const TOutputRequest& request) {
  TOutputPlan plan;
  const bool toOutput = !request.InPlace && !request.SuffixSet;
  const bool intoDirectory = toOutput && DirectoryExists(request.Output);
  if (toOutput && !intoDirectory) {
    if (inputs.size() > 1) {
      plan.UsageError = QCoreApplication::translate("OutputPlan", "出力先のフォルダ%1が存在しません。").arg(Quoted(request.Output));
      return plan;
    }
    const QString parent = QFileInfo(request.Output).path();
    if (!DirectoryExists(parent)) {
      plan.UsageError = QCoreApplication::translate("OutputPlan", "出力先のフォルダ%1が存在しません。").arg(Quoted(parent));
      return plan;
    }
  }
  std::set<TPlace> inputPlaces, targets;
  for (const QString& input : inputs) inputPlaces.insert(PlaceOf(input));
  for (const QString& input : inputs) {
    if (request.InPlace && IsBmp(input)) {
      plan.UsageError = QCoreApplication::translate("OutputPlan", "BMP ファイル%1は GIF で置き換えられません。-o か --suffix を使ってください。")
                            .arg(Quoted(input));
      return plan;
    }
    const QString target = TargetOf(input, request, intoDirectory);
    const TPlace place = PlaceOf(target);
    if (!request.InPlace && inputPlaces.count(place)) {
      plan.UsageError = QCoreApplication::translate("OutputPlan", "出力先%1は入力ファイルです。入力を置き換えるのは --in-place のときだけです。")
                            .arg(Quoted(target));
      return plan;
    }
    if (!targets.insert(place).second) {
      plan.UsageError = QCoreApplication::translate("OutputPlan", "出力先%1に複数の入力が書かれます。").arg(Quoted(target));
      return plan;
    }
    plan.Files.push_back({input, target});
  }
  return plan;
}
